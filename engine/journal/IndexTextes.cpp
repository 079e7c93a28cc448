#include "IndexTextes.h"

#include "Ligne.h"

#include <cstring>

namespace vek {

IndexTextes::IndexTextes(std::size_t capaciteMax, bool sansCasse) : sansCasse_(sansCasse) {
    std::size_t taille = 16;
    while (taille * 5 < capaciteMax * 8) // taux de remplissage d'au plus 5/8
        taille *= 2;
    cases_.resize(taille);
    masque_ = taille - 1;
    decalage_ = 0;
    while ((std::size_t{1} << decalage_) < taille)
        ++decalage_;
    debuts_.reserve(capaciteMax + 1);
    Vider();
}

void IndexTextes::Vider() {
    for (auto& c : cases_)
        c = Case{};
    debuts_.assign(1, 0);
    arene_.clear();
}

namespace {

constexpr std::uint64_t Octets(unsigned char c) {
    return 0x0101010101010101ull * c;
}

// Huit octets en majuscules (Windows-1252). Sans octet au-delà de 0x7F, le calcul se fait sur
// le mot entier ; sinon octet par octet avec la table.
std::uint64_t MajusculesMot(std::uint64_t mot) {
    if ((mot & Octets(0x80)) == 0) {
        const std::uint64_t auMoinsA = mot + Octets(0x80 - 'a');
        const std::uint64_t auDelaDeZ = mot + Octets(0x80 - 'z' - 1);
        const std::uint64_t minuscules = auMoinsA & ~auDelaDeZ & Octets(0x80);
        return mot - (minuscules >> 2);
    }
    unsigned char o[8];
    std::memcpy(o, &mot, 8);
    for (auto& c : o)
        c = MajusculeCp1252(c);
    std::memcpy(&mot, o, 8);
    return mot;
}

inline std::uint64_t Lire8(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline std::uint64_t Lire4(const char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Mélange de deux mots par multiplication étendue.
inline std::uint64_t Melanger(std::uint64_t a, std::uint64_t b) {
#ifdef __SIZEOF_INT128__
    const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return static_cast<std::uint64_t>(r) ^ static_cast<std::uint64_t>(r >> 64);
#else
    const std::uint64_t r = (a ^ (b >> 29)) * 0x9E3779B97F4A7C15ull;
    return r ^ (r >> 32) ^ b;
#endif
}

constexpr std::uint64_t K1 = 0xA0761D6478BD642Full;
constexpr std::uint64_t K2 = 0xE7037ED1A0B428DBull;
constexpr std::uint64_t K3 = 0x8EBC6AF09C88C6E3ull;

template <bool SansCasse> std::uint32_t HacherTexte(std::string_view texte) {
    const char* p = texte.data();
    const std::size_t n = texte.size();
    auto mot = [](std::uint64_t v) { return SansCasse ? MajusculesMot(v) : v; };
    std::uint64_t a = 0, b = 0;
    std::uint64_t graine = K3 ^ n;
    if (n >= 8) {
        // Les mots du milieu, puis les deux mots du début et de la fin (qui peuvent se chevaucher).
        for (std::size_t i = 8; i + 8 < n; i += 8)
            graine = Melanger(mot(Lire8(p + i)) ^ K1, graine ^ K2);
        a = mot(Lire8(p));
        b = mot(Lire8(p + n - 8));
    } else if (n >= 4) {
        a = mot(Lire4(p));
        b = mot(Lire4(p + n - 4));
    } else if (n > 0) {
        const auto c = [&](std::size_t i) {
            return static_cast<std::uint64_t>(
                SansCasse ? MajusculeCp1252(static_cast<unsigned char>(p[i]))
                          : static_cast<unsigned char>(p[i]));
        };
        a = c(0) | (c(n / 2) << 8) | (c(n - 1) << 16);
    }
    const std::uint64_t h = Melanger(a ^ K1, b ^ graine);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

} // namespace

std::uint32_t IndexTextes::Hacher(std::string_view texte) const {
    return sansCasse_ ? HacherTexte<true>(texte) : HacherTexte<false>(texte);
}

namespace {

// Égalité exacte de deux textes de même longueur, sans appel pour les textes courts.
inline bool MemesOctets(const char* a, const char* b, std::size_t n) {
    if (n >= 8 && n <= 16)
        return Lire8(a) == Lire8(b) && Lire8(a + n - 8) == Lire8(b + n - 8);
    if (n >= 4 && n < 8)
        return Lire4(a) == Lire4(b) && Lire4(a + n - 4) == Lire4(b + n - 4);
    return n == 0 || std::memcmp(a, b, n) == 0;
}

} // namespace

bool IndexTextes::Egaux(std::string_view a, std::string_view b) const {
    if (a.size() != b.size())
        return false;
    if (MemesOctets(a.data(), b.data(), a.size()))
        return true;
    if (!sansCasse_)
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (MajusculeCp1252(static_cast<unsigned char>(a[i])) !=
            MajusculeCp1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IndexTextes::Contient(std::string_view texte) const {
    const std::uint32_t h = Hacher(texte);
    const auto marque = static_cast<std::uint16_t>(h >> 16);
    for (std::size_t i = (h ^ (h >> decalage_)) & masque_;; i = (i + 1) & masque_) {
        const Case c = cases_[i];
        if (c.id == Libre)
            return false;
        if (c.marque == marque && Egaux(Texte(c.id), texte))
            return true;
    }
}

void IndexTextes::Ajouter(std::string_view texte) {
    const std::uint32_t h = Hacher(texte);
    std::size_t i = (h ^ (h >> decalage_)) & masque_;
    while (cases_[i].id != Libre)
        i = (i + 1) & masque_;
    cases_[i] =
        Case{static_cast<std::uint16_t>(h >> 16), static_cast<std::uint16_t>(debuts_.size() - 1)};
    arene_.append(texte);
    debuts_.push_back(arene_.size());
}

} // namespace vek
