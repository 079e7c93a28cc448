#pragma once
// Ce que contient une sortie, fichier ou dossier, résumé en une taille et une empreinte de 64
// bits : deux sorties de même contenu ont la même empreinte, où qu'elles soient (un dossier
// copié, restauré ou synchronisé donne à ses fichiers de nouveaux nœuds, pas un nouveau
// contenu).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "Encodages.h"

namespace vek {

// L'empreinte d'une suite d'octets, calculée au fil de l'eau : xxHash64 (graine 0), rapide et
// dont le moindre octet changé change le résultat.
class CalculEmpreinte {
public:
    CalculEmpreinte();
    void Ajouter(std::string_view octets);
    std::uint64_t Valeur() const;
    std::uint64_t Taille() const { return total_; }

private:
    void Bloc(const unsigned char* p);
    std::uint64_t v_[4];
    unsigned char reste_[32] = {};
    std::size_t rempli_ = 0;
    std::uint64_t total_ = 0;
};

// Le contenu d'une sortie. Un fichier : ses octets. Un dossier : le nom, le genre et le contenu
// de chacun de ses éléments (sous-dossiers compris), dans l'ordre des noms ; sa taille est celle
// de tous ses fichiers.
struct ContenuSortie {
    bool dossier = false;
    std::uint64_t taille = 0;
    std::uint64_t empreinte = 0;
    friend bool operator==(const ContenuSortie&, const ContenuSortie&) = default;
};

// Lit le contenu de ce que porte le nom, sans suivre de lien : rien pour un lien, un nom libre,
// un fichier qui ne se lit pas ou un dossier qui contient autre chose que des fichiers et des
// dossiers.
std::optional<ContenuSortie> LireContenu(const NomFichier& chemin);

} // namespace vek
