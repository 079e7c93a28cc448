#pragma once
// Le catalogue de la recherche à la ligne de commande : ses limites atteintes, et --catalogue,
// qui imprime les nœuds des deux arbres.

#include <ostream>

#include "Catalogue.h"
#include "Messages.h"
#include "Noeuds.h"

namespace vek {

// Dit les channels et les locuteurs que le catalogue n'a pas gardés.
void AvertirLimites(const Catalogue& catalogue, Messages& messages);

// Une ligne par nœud : « canal<TAB>texte », puis « nom<TAB>texte », les textes en UTF-8 et
// échappés (terminal : la sortie est un terminal).
void EcrireCatalogue(std::ostream& sortie, const Noeuds& channels, const Noeuds& noms,
                     bool terminal);

} // namespace vek
