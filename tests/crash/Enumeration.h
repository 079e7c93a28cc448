#pragma once
// Le choix des états à vérifier parmi tous ceux qu'une coupure peut laisser. Un état est une
// combinaison : une option par dimension (ce qui est perdu d'une opération, d'un fichier…),
// l'option la plus haute de chaque dimension étant « tout est gardé ».
//
// Au plus seuil combinaisons : toutes quand il n'y en a pas plus ; sinon un échantillon
// déterministe (même graine, même échantillon), qui prend d'abord les combinaisons qui
// isolent chaque perte : rien de perdu, tout de perdu, puis pour chaque dimension et chacune
// de ses options, cette option seule les autres gardées (une seule perte), et cette option
// seule les autres perdues (un seul reste) ; enfin des combinaisons tirées au hasard.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vek::coupure {

using Combinaison = std::vector<std::size_t>;

// Le nombre de combinaisons (plafonné à 2^62, au-delà c'est tout comme).
std::uint64_t NombreDeCombinaisons(const std::vector<std::size_t>& options);
std::vector<Combinaison> Combinaisons(const std::vector<std::size_t>& options, std::size_t seuil,
                                      std::uint64_t graine);

} // namespace vek::coupure
