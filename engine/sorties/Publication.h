#pragma once
// Ce que partagent les sorties publiées (page web, lignes JSON, forum, Discord) : les couleurs
// stables des noms et des channels, le caractère publié d'un octet Windows-1252, le début et la
// fin de la page, et le tampon où chaque lot est mis en forme.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Date.h"

namespace vek {

class Catalogue;
class Selection;

// Couleurs stables : le rang d'une teinte tiré des seuls octets du texte, le même d'une
// publication à l'autre et d'une version du programme à l'autre.
inline constexpr int TeintesNoms = 24;
inline constexpr int TeintesChannels = 12;
std::uint32_t EmpreinteTexte(std::string_view texte); // FNV-1a sur 32 bits
int TeinteNom(std::string_view nom);
// Un nombre à la française (« 12 345 », une espace fine insécable entre les milliers), en UTF-8.
std::string NombreFr(std::uint64_t n);
int TeinteChannel(std::string_view tag);
// La couleur (« #rrggbb ») d'une teinte de nom et d'une teinte de channel : les mêmes sur la page
// et sur le forum.
std::string_view CouleurTeinteNom(int teinte);
std::string_view CouleurTeinteChannel(int teinte);
inline std::string_view CouleurNom(std::string_view nom) {
    return CouleurTeinteNom(TeinteNom(nom));
}

// Les teintes des noms d'une sortie (une page, un texte pour le forum, la vue en direct) : chaque
// nom reçoit celle que tirent ses octets (TeinteNom) ou, quand un nom venu avant lui l'a déjà, la
// suivante libre ; tant qu'il reste des teintes libres, deux noms n'ont jamais la même. Bâtie
// avant la passe, puis seulement lue, par tous les fils à la fois. Un nom hors de la table garde
// la teinte de ses octets.
class TeintesDesNoms {
public:
    TeintesDesNoms() = default;
    // Les noms dans l'ordre où ils reçoivent leur teinte.
    explicit TeintesDesNoms(const std::vector<std::string_view>& noms);
    // Les noms d'une sélection : d'abord ceux que le catalogue connaît, dans l'ordre où il les a
    // vus la première fois, puis les autres (des noms remplacés) dans l'ordre de la sélection.
    static TeintesDesNoms Pour(const Catalogue& catalogue, const Selection& selection);

    int Teinte(std::string_view nom) const;
    std::string_view Couleur(std::string_view nom) const { return CouleurTeinteNom(Teinte(nom)); }

private:
    struct Hachage {
        using is_transparent = void;
        std::size_t operator()(std::string_view texte) const {
            return std::hash<std::string_view>{}(texte);
        }
    };
    std::unordered_map<std::string, int, Hachage, std::equal_to<>> teintes_;
};

// Le caractère qu'un octet Windows-1252 donne dans une publication : celui de Windows-1252, et
// U+FFFD pour les cinq octets qu'il laisse sans caractère (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t CaracterePublie(unsigned char octet);

// Les octets d'une mise en forme : une zone qui grandit sans mettre à zéro ce qui va y être
// écrit.
class TamponSortie {
public:
    std::size_t Taille() const { return taille_; }
    std::string_view Vue() const { return {octets_.get(), taille_}; }
    // Au moins n octets libres au bout ; rend leur début (Avancer dit combien ont été écrits).
    char* Place(std::size_t n) {
        if (capacite_ - taille_ < n)
            Agrandir(n);
        return octets_.get() + taille_;
    }
    void Avancer(std::size_t n) { taille_ += n; }
    void Ajouter(std::string_view texte) {
        if (texte.empty())
            return;
        std::memcpy(Place(texte.size()), texte.data(), texte.size());
        taille_ += texte.size();
    }
    // Vide ; au-delà de garde octets, rend aussi sa mémoire.
    void Vider(std::size_t garde = std::size_t(-1));

private:
    void Agrandir(std::size_t n);
    std::unique_ptr<char[]> octets_;
    std::size_t taille_ = 0;
    std::size_t capacite_ = 0;
};

} // namespace vek
