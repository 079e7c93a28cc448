#pragma once
// Index haché des textes d'une table : trouve en O(1) le rang d'un texte déjà enregistré.
// Adressage ouvert, capacité fixe (les tables du module ne grandissent jamais au-delà de leur
// limite) : pas d'allocation par recherche.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vek {

class IndexTextes {
public:
    // sansCasse : les textes sont comparés après passage en majuscules (Windows-1252).
    IndexTextes(std::size_t capaciteMax, bool sansCasse);

    void Vider();
    // Rang du texte dans `table`, ou -1.
    int Trouver(std::string_view texte, const std::vector<std::string>& table) const;
    // Enregistre le rang d'un texte qui n'y est pas encore.
    void Ajouter(std::string_view texte, int rang);

private:
    std::uint32_t Hacher(std::string_view texte) const;
    bool Egaux(std::string_view a, std::string_view b) const;

    struct Case { // 8 octets : l'index des noms tient dans 64 Kio
        std::uint32_t hachage = 0;
        std::int32_t rang = -1;
    };
    std::vector<Case> cases_;
    std::size_t masque_;
    bool sansCasse_;
};

} // namespace vek
