#pragma once
// Ce que la console du système donne à vek-extraire : ses arguments en UTF-8, l'arrêt demandé
// (Ctrl+C, SIGINT, SIGTERM, SIGHUP) et ce que vaut sa sortie d'erreur. Un fichier par système.

#include <string>
#include <vector>

#include "Extraire.h"

namespace vek {

// Prépare l'arrêt sur demande et le contexte ; rend les arguments qui suivent le nom du
// programme, en UTF-8.
std::vector<std::string> PreparerConsole(int argc, char** argv, ContexteExtraire& contexte);
// Vrai si la sortie standard est un tube dont le lecteur est parti (« | head » déjà fini) :
// l'échec d'écriture qui s'ensuit n'est pas à dire.
bool SortieStandardRompue();

} // namespace vek
