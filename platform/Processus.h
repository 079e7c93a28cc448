#pragma once
// Démarrage d'un programme détaché du nôtre.

#include <string>
#include <vector>

namespace vek {

// Démarre un programme détaché du nôtre : arguments passés tels quels (sans interpréteur de
// commandes), le premier nomme le programme (cherché dans le PATH s'il n'a pas de « / »).
// Rend la main tout de suite ; faux si le programme n'a pas pu être lancé (erreur reçoit alors
// le code errno, ou le code d'erreur de Windows).
bool DemarrerDetache(const std::vector<std::string>& arguments, int* erreur = nullptr);

} // namespace vek
