#include "Affichable.h"

#include <cstdio>

namespace vek {

namespace {

void AjouterCode(std::string& sortie, unsigned code) {
    char texte[8];
    std::snprintf(texte, sizeof texte, "\\x%02X", code);
    sortie += texte;
}

// Le symbole visible d'un contrôle C0 (U+2400 + code) ou de DEL (U+2421), en UTF-8.
void AjouterSymbole(std::string& sortie, unsigned code) {
    const unsigned point = code == 0x7F ? 0x2421 : 0x2400 + code;
    sortie += static_cast<char>(0xE0 | (point >> 12));
    sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    sortie += static_cast<char>(0x80 | (point & 0x3F));
}

} // namespace

std::string TexteAffichable(std::string_view utf8, bool terminal) {
    std::string sortie;
    sortie.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto octet = static_cast<unsigned char>(utf8[i]);
        if (octet == '\t') {
            sortie += "\\t";
        } else if (octet == '\\') {
            sortie += "\\\\";
        } else if (octet < 0x20 || octet == 0x7F) {
            if (terminal)
                AjouterSymbole(sortie, octet);
            else
                AjouterCode(sortie, octet);
        } else if (octet == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) < 0xA0 &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80) {
            AjouterCode(sortie, static_cast<unsigned char>(utf8[++i]));
        } else {
            sortie += utf8[i];
        }
    }
    return sortie;
}

} // namespace vek
