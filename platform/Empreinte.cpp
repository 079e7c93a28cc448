// L'empreinte du contenu d'une sortie : xxHash64 au fil de l'eau, fichiers lus par grands blocs,
// dossiers décrits élément par élément.

#include "Empreinte.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Chemins.h"
#include "Systeme.h"

namespace vek {

namespace {

constexpr std::uint64_t P1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t P2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t P3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t P4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t P5 = 0x27D4EB2F165667C5ULL;

std::uint64_t Rotation(std::uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

// Les octets sont lus petit-boutistes, quel que soit le processeur (d'un seul chargement sur un
// processeur petit-boutiste).
std::uint64_t Lire64(const unsigned char* p) {
    std::uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, p, sizeof v);
    } else {
        for (int i = 7; i >= 0; --i)
            v = (v << 8) | p[i];
    }
    return v;
}

std::uint64_t Lire32(const unsigned char* p) {
    return static_cast<std::uint64_t>(p[0]) | static_cast<std::uint64_t>(p[1]) << 8 |
           static_cast<std::uint64_t>(p[2]) << 16 | static_cast<std::uint64_t>(p[3]) << 24;
}

std::uint64_t Tour(std::uint64_t acc, std::uint64_t entree) {
    return Rotation(acc + entree * P2, 31) * P1;
}

std::uint64_t Fusion(std::uint64_t acc, std::uint64_t v) {
    return (acc ^ Tour(0, v)) * P1 + P4;
}

// Les éléments d'un dossier au-delà de cette profondeur ne sont pas des pages du programme.
constexpr int ProfondeurMaximale = 16;

std::optional<ContenuSortie> ContenuFichier(const NomFichier& chemin) {
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f)
        return std::nullopt;
    CalculEmpreinte calcul;
    std::vector<char> tampon(std::size_t{256} << 10); // tient dans le cache du processeur
    std::size_t lus = 0;
    while ((lus = std::fread(tampon.data(), 1, tampon.size(), f)) > 0)
        calcul.Ajouter({tampon.data(), lus});
    const bool erreur = std::ferror(f) != 0;
    std::fclose(f);
    if (erreur)
        return std::nullopt;
    return ContenuSortie{false, calcul.Taille(), calcul.Valeur()};
}

void AjouterNombre(CalculEmpreinte& calcul, std::uint64_t n) {
    char octets[8];
    for (char& o : octets) {
        o = static_cast<char>(n & 0xFF);
        n >>= 8;
    }
    calcul.Ajouter({octets, sizeof octets});
}

std::optional<ContenuSortie> ContenuDuNom(const NomFichier& chemin, int profondeur);

std::optional<ContenuSortie> ContenuDossier(const NomFichier& chemin, int profondeur) {
    auto elements = systeme::ListerDossier(chemin);
    if (!elements || profondeur > ProfondeurMaximale)
        return std::nullopt;
    std::sort(elements->begin(), elements->end());
    CalculEmpreinte calcul;
    ContenuSortie total{true, 0, 0};
    for (const std::string& nom : *elements) {
        const auto contenu = ContenuDuNom(JoindreChemin(chemin, nom), profondeur + 1);
        if (!contenu)
            return std::nullopt;
        calcul.Ajouter(contenu->dossier ? "d" : "f");
        calcul.Ajouter({nom.c_str(), nom.size() + 1}); // le nom et son zéro final
        AjouterNombre(calcul, contenu->taille);
        AjouterNombre(calcul, contenu->empreinte);
        total.taille += contenu->taille;
    }
    total.empreinte = calcul.Valeur();
    return total;
}

std::optional<ContenuSortie> ContenuDuNom(const NomFichier& chemin, int profondeur) {
    const auto id = systeme::IdentiteDuNom(chemin);
    if (!id)
        return std::nullopt;
    if (id->ordinaire)
        return ContenuFichier(chemin);
    if (id->dossier)
        return ContenuDossier(chemin, profondeur);
    return std::nullopt;
}

} // namespace

CalculEmpreinte::CalculEmpreinte() : v_{P1 + P2, P2, 0, 0 - P1} {}

void CalculEmpreinte::Bloc(const unsigned char* p) {
    for (int i = 0; i < 4; ++i)
        v_[i] = Tour(v_[i], Lire64(p + 8 * i));
}

void CalculEmpreinte::Ajouter(std::string_view octets) {
    const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
    std::size_t n = octets.size();
    total_ += n;
    if (rempli_ + n < sizeof reste_) {
        if (n > 0)
            std::memcpy(reste_ + rempli_, p, n);
        rempli_ += n;
        return;
    }
    if (rempli_ > 0) {
        const std::size_t complement = sizeof reste_ - rempli_;
        std::memcpy(reste_ + rempli_, p, complement);
        Bloc(reste_);
        p += complement;
        n -= complement;
        rempli_ = 0;
    }
    // Les quatre voies dans des variables locales : écrites dans l'objet à chaque bloc, elles
    // seraient relues de la mémoire (les octets lus pourraient les recouvrir).
    std::uint64_t v0 = v_[0], v1 = v_[1], v2 = v_[2], v3 = v_[3];
    for (; n >= sizeof reste_; p += sizeof reste_, n -= sizeof reste_) {
        v0 = Tour(v0, Lire64(p));
        v1 = Tour(v1, Lire64(p + 8));
        v2 = Tour(v2, Lire64(p + 16));
        v3 = Tour(v3, Lire64(p + 24));
    }
    v_[0] = v0;
    v_[1] = v1;
    v_[2] = v2;
    v_[3] = v3;
    if (n > 0)
        std::memcpy(reste_, p, n);
    rempli_ = n;
}

std::uint64_t CalculEmpreinte::Valeur() const {
    std::uint64_t h = P5;
    if (total_ >= sizeof reste_) {
        h = Rotation(v_[0], 1) + Rotation(v_[1], 7) + Rotation(v_[2], 12) + Rotation(v_[3], 18);
        for (const std::uint64_t v : v_)
            h = Fusion(h, v);
    }
    h += total_;
    const unsigned char* p = reste_;
    std::size_t n = rempli_;
    for (; n >= 8; p += 8, n -= 8)
        h = Rotation(h ^ Tour(0, Lire64(p)), 27) * P1 + P4;
    if (n >= 4) {
        h = Rotation(h ^ (Lire32(p) * P1), 23) * P2 + P3;
        p += 4;
        n -= 4;
    }
    for (; n > 0; ++p, --n)
        h = Rotation(h ^ (*p * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    return h ^ (h >> 32);
}

std::optional<ContenuSortie> LireContenu(const NomFichier& chemin) {
    return ContenuDuNom(chemin, 0);
}

} // namespace vek
