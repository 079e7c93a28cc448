#pragma once
// Accès aux fichiers : erreurs, lecture, écriture et remplacement atomique, noms et chemins.

#include "Chemins.h"
#include "Ecriture.h"
#include "Erreurs.h"
#include "Lecture.h"
