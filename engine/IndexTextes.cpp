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
}

void IndexTextes::Vider() {
    for (auto& c : cases_)
        c = Case{};
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

} // namespace

std::uint32_t IndexTextes::Hacher(std::string_view texte) const {
    // Mélange multiplicatif par mots de huit octets (majuscules quand la casse est ignorée).
    constexpr std::uint64_t K = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = K ^ (texte.size() * 0xC2B2AE3D27D4EB4Full);
    const char* p = texte.data();
    std::size_t reste = texte.size();
    auto melanger = [&](std::uint64_t mot) {
        if (sansCasse_)
            mot = MajusculesMot(mot);
        h = (h ^ mot) * K;
        h ^= h >> 31;
    };
    for (; reste >= 8; reste -= 8, p += 8) {
        std::uint64_t mot;
        std::memcpy(&mot, p, 8);
        melanger(mot);
    }
    if (reste > 0) {
        std::uint64_t mot = 0;
        std::memcpy(&mot, p, reste);
        melanger(mot);
    }
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

bool IndexTextes::Egaux(std::string_view a, std::string_view b) const {
    if (a.size() != b.size())
        return false;
    if (a == b)
        return true;
    if (!sansCasse_)
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (MajusculeCp1252(static_cast<unsigned char>(a[i])) !=
            MajusculeCp1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int IndexTextes::Trouver(std::string_view texte, const std::vector<std::string>& table) const {
    const std::uint32_t h = Hacher(texte);
    for (std::size_t i = h & masque_;; i = (i + 1) & masque_) {
        const Case& c = cases_[i];
        if (c.rang < 0)
            return -1;
        if (c.hachage == h && Egaux(table[static_cast<std::size_t>(c.rang)], texte))
            return c.rang;
    }
}

void IndexTextes::Ajouter(std::string_view texte, int rang) {
    const std::uint32_t h = Hacher(texte);
    std::size_t i = h & masque_;
    while (cases_[i].rang >= 0)
        i = (i + 1) & masque_;
    cases_[i] = Case{h, rang};
}

} // namespace vek
