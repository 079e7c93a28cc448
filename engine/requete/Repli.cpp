#include "Repli.h"

namespace vek {

namespace {

// Les lettres de 0xC0 à 0xFF, majuscules puis minuscules (0xD7 × et 0xF7 ÷ ne sont pas des
// lettres et restent eux-mêmes) : « * » marque une entrée de deux octets, donnée à part.
constexpr std::string_view LatinUn = "aaaaaa*ceeeeiiii" // À Á Â Ã Ä Å Æ Ç È É Ê Ë Ì Í Î Ï
                                     "dnooooo\xD7ouuuuy**" // Ð Ñ Ò Ó Ô Õ Ö × Ø Ù Ú Û Ü Ý Þ ß
                                     "aaaaaa*ceeeeiiii" // à á â ã ä å æ ç è é ê ë ì í î ï
                                     "dnooooo\xF7ouuuuy*y"; // ð ñ ò ó ô õ ö ÷ ø ù ú û ü ý þ ÿ

static_assert(LatinUn.size() == 64);

constexpr OctetReplie Un(char c) {
    return {{c, 0}, 1};
}
constexpr OctetReplie Deux(char a, char b) {
    return {{a, b}, 2};
}

constexpr std::array<OctetReplie, 256> Construire() {
    std::array<OctetReplie, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[static_cast<std::size_t>(c)] = Un(static_cast<char>(c));
    for (int c = 'A'; c <= 'Z'; ++c)
        t[static_cast<std::size_t>(c)] = Un(static_cast<char>(c + 32));
    for (std::size_t i = 0; i < LatinUn.size(); ++i)
        t[0xC0 + i] = Un(LatinUn[i]);
    t[0xC6] = t[0xE6] = Deux('a', 'e'); // Æ æ
    t[0xDE] = t[0xFE] = Deux('t', 'h'); // Þ þ
    t[0xDF] = Deux('s', 's');           // ß
    t[0x8C] = t[0x9C] = Deux('o', 'e'); // Œ œ
    t[0x83] = Un('f');                  // ƒ
    t[0x8A] = t[0x9A] = Un('s');        // Š š
    t[0x8E] = t[0x9E] = Un('z');        // Ž ž
    t[0x9F] = Un('y');                  // Ÿ
    t[0xAA] = Un('a');                  // ª
    t[0xBA] = Un('o');                  // º
    // µ (0xB5), lettre sans équivalent latin, reste lui-même.
    return t;
}

constexpr std::array<OctetReplie, 256> Table = Construire();

// Chaque lettre et chaque chiffre se replie en lettres minuscules ou chiffres ASCII (µ excepté) ;
// tout autre octet reste lui-même.
constexpr bool TableCoherente() {
    for (int c = 0; c < 256; ++c) {
        const OctetReplie r = Table[static_cast<std::size_t>(c)];
        if (!TableLettres[static_cast<std::size_t>(c)]) {
            if (r.longueur != 1 || r.octets[0] != static_cast<char>(c))
                return false;
            continue;
        }
        for (int i = 0; i < r.longueur; ++i) {
            const char o = r.octets[i];
            if (!((o >= 'a' && o <= 'z') || (o >= '0' && o <= '9') || c == 0xB5))
                return false;
        }
    }
    return true;
}
static_assert(TableCoherente());

} // namespace

const std::array<OctetReplie, 256>& TableRepli() {
    return Table;
}

void AjouterReplie(std::string_view texte, std::string& sortie) {
    for (const char c : texte) {
        const OctetReplie r = Table[static_cast<unsigned char>(c)];
        sortie.append(r.octets, r.longueur);
    }
}

} // namespace vek
