#pragma once
// Table de textes indexée par hachage : garde chaque texte une seule fois, dans l'ordre
// d'enregistrement (rangs 0 à Taille() - 1), et trouve en O(1) si un texte y est déjà.
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
    bool Contient(std::string_view texte) const;
    // Enregistre un texte qui n'y est pas encore (au plus capaciteMax textes).
    void Ajouter(std::string_view texte);

    std::size_t Taille() const { return debuts_.size() - 1; }
    // Le texte de rang i, tel qu'il a été enregistré.
    std::string_view Texte(std::size_t i) const {
        return std::string_view(arene_).substr(debuts_[i], debuts_[i + 1] - debuts_[i]);
    }

private:
    std::uint32_t Hacher(std::string_view texte) const;
    bool Egaux(std::string_view a, std::string_view b) const;

    // Cases de 4 octets (16 bits du hachage, numéro du texte) et textes côte à côte dans une
    // arène : tout l'index des noms tient dans une centaine de Kio.
    static constexpr std::uint16_t Libre = 0xFFFF;
    struct Case {
        std::uint16_t marque = 0;
        std::uint16_t id = Libre;
    };
    std::vector<Case> cases_;
    std::vector<std::size_t> debuts_; // début de chaque texte dans l'arène, plus la fin
    std::string arene_;
    std::size_t masque_;
    unsigned decalage_; // bits de position dans le hachage
    bool sansCasse_;
};

} // namespace vek
