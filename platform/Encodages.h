#pragma once
// Trois encodages circulent dans des std::string ; ces noms disent lequel un texte porte.
//   - TexteCp1252 : les octets des journaux, du catalogue et des lignes écrites (Windows-1252) ;
//   - TexteUtf8 : la console, la ligne de commande, les messages et raisons d'échec ;
//   - NomFichier : les chemins, dans l'encodage des noms de fichiers du système (UTF-8 sous
//     Linux, la page de code active sous Windows).
// Le passage de l'un à l'autre se fait seulement par les fonctions de Cp1252.h (textes) et par
// la fenêtre (noms de fichiers).

#include <string>
#include <string_view>

namespace vek {

using TexteCp1252 = std::string;
using VueCp1252 = std::string_view;
using TexteUtf8 = std::string;
using VueUtf8 = std::string_view;
using NomFichier = std::string;

} // namespace vek
