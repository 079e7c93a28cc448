#pragma once
// vek-extraire --chercher : la requête cherchée dans tout le journal (ou la fusion de plusieurs),
// dans la période demandée s'il y en a une ; les lignes trouvées sont imprimées à mesure, puis
// les séances où il y en a. Rien trouvé : code 3.

#include "Erreurs.h"
#include "Execution.h"

namespace vek {

Resultat ChercherDesMots(Execution& e);

} // namespace vek
