#pragma once
// Les options de la recherche de mots de vek-extraire : --chercher (la tâche) et --filtre (qui
// restreint une extraction), dont la valeur est une requête (Requete.h).

#include <string>

#include "Erreurs.h"

namespace vek {

struct Arguments;

// Analysent la requête (UTF-8) et la rangent ; une requête mal formée est une erreur
// d'utilisation qui dit quoi corriger.
Resultat RangerChercher(Arguments& a, std::string valeur);
Resultat RangerFiltre(Arguments& a, std::string valeur);

} // namespace vek
