#pragma once
// Le repli du français en Windows-1252 : casse et accents effacés, ligatures défaites. Deux textes
// repliés de même s'écrivent pareil : « Mariée », « MARIEE » et « mariée » donnent « mariee »,
// « ŒUVRE » et « oeuvre » donnent « oeuvre ».

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "Nettoyage.h"

namespace vek {

// Ce que devient un octet : un ou deux octets ASCII pour une lettre ou un chiffre (é → e,
// œ → oe, ß → ss), l'octet lui-même pour tout autre signe. Les lettres et chiffres sont ceux qui
// bornent un mot (LettreOuChiffre) ; aucun autre octet n'est touché.
struct OctetReplie {
    char octets[2];
    std::uint8_t longueur;
    std::string_view Texte() const { return {octets, longueur}; }
};

// La table des 256 octets.
const std::array<OctetReplie, 256>& TableRepli();

inline OctetReplie Replier(unsigned char c) {
    return TableRepli()[c];
}

// Le texte replié, ajouté à sortie.
void AjouterReplie(std::string_view texte, std::string& sortie);
inline std::string Replie(std::string_view texte) {
    std::string r;
    AjouterReplie(texte, r);
    return r;
}

// Un ensemble d'octets : le bit b du mot b / 64 dit si l'octet b en fait partie.
using EnsembleOctets = std::array<std::uint64_t, 4>;

inline bool Contient(const EnsembleOctets& e, unsigned char b) {
    return (e[b / 64] >> (b % 64)) & 1u;
}

} // namespace vek
