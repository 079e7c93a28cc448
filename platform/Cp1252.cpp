#include "Cp1252.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vek {

namespace {

// Caractères des octets 0x80 à 0x9F ; les autres octets valent leur propre code.
constexpr std::array<char32_t, 32> Table80a9F = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

// Le chemin inverse : les caractères de 0x80 à 0x9F triés, chacun avec son octet.
struct Inverse {
    char32_t caractere;
    unsigned char octet;
};

constexpr std::array<Inverse, 32> TableInverse() {
    std::array<Inverse, 32> t{};
    for (std::size_t i = 0; i < t.size(); ++i)
        t[i] = {Table80a9F[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(t.begin(), t.end(),
              [](const Inverse& a, const Inverse& b) { return a.caractere < b.caractere; });
    return t;
}

constexpr auto Inverse80a9F = TableInverse();

} // namespace

char32_t CaractereCp1252(unsigned char octet) {
    if (octet >= 0x80 && octet <= 0x9F)
        return Table80a9F[octet - 0x80u];
    return octet;
}

TexteUtf8 Cp1252VersUtf8(VueCp1252 texte) {
    TexteUtf8 sortie;
    sortie.reserve(texte.size() + texte.size() / 8);
    for (const char octet : texte) {
        const auto o = static_cast<unsigned char>(octet);
        if (o < 0x80)
            sortie.push_back(octet);
        else
            AjouterUtf8(sortie, CaractereCp1252(o));
    }
    return sortie;
}

bool Utf8VersCp1252(VueUtf8 texte, TexteCp1252& sortie, std::size_t* positionFautive) {
    TexteCp1252 resultat;
    resultat.reserve(texte.size());
    std::size_t i = 0;
    while (i < texte.size()) {
        const std::size_t debut = i;
        char32_t c = 0;
        std::optional<unsigned char> octet;
        if (LireCaractereUtf8(texte, i, c))
            octet = OctetCp1252(c);
        if (!octet) {
            if (positionFautive != nullptr)
                *positionFautive = debut;
            return false;
        }
        resultat.push_back(static_cast<char>(*octet));
    }
    sortie = std::move(resultat);
    return true;
}

std::optional<unsigned char> OctetCp1252(char32_t caractere) {
    if (caractere < 0x80 || (caractere >= 0xA0 && caractere <= 0xFF))
        return static_cast<unsigned char>(caractere);
    const auto place =
        std::lower_bound(Inverse80a9F.begin(), Inverse80a9F.end(), caractere,
                         [](const Inverse& entree, char32_t c) { return entree.caractere < c; });
    if (place != Inverse80a9F.end() && place->caractere == caractere)
        return place->octet;
    return std::nullopt;
}

void AjouterUtf8(TexteUtf8& sortie, char32_t c) {
    if (c < 0x80) {
        sortie.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        sortie.push_back(static_cast<char>(0xC0 | (c >> 6)));
        sortie.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        sortie.push_back(static_cast<char>(0xE0 | (c >> 12)));
        sortie.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        sortie.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        sortie.push_back(static_cast<char>(0xF0 | (c >> 18)));
        sortie.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        sortie.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        sortie.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool LireCaractereUtf8(VueUtf8 texte, std::size_t& i, char32_t& c) {
    const auto o = [&](std::size_t k) { return static_cast<unsigned char>(texte[k]); };
    const unsigned char premier = o(i);
    std::size_t longueur = 0;
    char32_t minimum = 0;
    if (premier < 0x80) {
        c = premier;
        ++i;
        return true;
    } else if ((premier & 0xE0) == 0xC0) {
        longueur = 2;
        c = premier & 0x1Fu;
        minimum = 0x80;
    } else if ((premier & 0xF0) == 0xE0) {
        longueur = 3;
        c = premier & 0x0Fu;
        minimum = 0x800;
    } else if ((premier & 0xF8) == 0xF0) {
        longueur = 4;
        c = premier & 0x07u;
        minimum = 0x10000;
    } else {
        return false;
    }
    if (i + longueur > texte.size())
        return false;
    for (std::size_t k = 1; k < longueur; ++k) {
        const unsigned char suite = o(i + k);
        if ((suite & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (suite & 0x3Fu);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    i += longueur;
    return true;
}

} // namespace vek
