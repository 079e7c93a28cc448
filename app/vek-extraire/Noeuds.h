#pragma once
// Les nœuds que --channel et --nom désignent dans les arbres bâtis du catalogue, et les plus
// proches quand un texte n'en désigne aucun.

#include <cstddef>
#include <string_view>
#include <vector>

namespace vek {

// Les textes des nœuds d'un arbre, désignés dans le catalogue (Windows-1252).
using Noeuds = std::vector<std::string_view>;

// Indice (à partir de 0) du nœud de channel qui porte le texte, ou -1. Un channel est unique
// sans égard à la casse ; les crochets peuvent être omis.
long TrouverChannel(const Noeuds& noeuds, std::string_view texte);
// Indice du nœud de locuteur qui porte exactement le texte, ou -1 ; à défaut, le seul nœud dont
// le texte sans ses espaces aux bouts est le même (« Vos Whisps reçus »).
long TrouverNom(const Noeuds& noeuds, std::string_view texte);
// Les nœuds les plus proches (au plus cinq), casse ignorée, du plus proche au moins proche
// (ordre de l'arbre à égalité) : d'abord ceux qui contiennent le texte, puis par distance
// d'édition.
Noeuds PlusProches(const Noeuds& noeuds, std::string_view texte);

// Distance d'édition entre deux textes (insertion, suppression ou remplacement d'un octet).
std::size_t DistanceEdition(std::string_view a, std::string_view b);

} // namespace vek
