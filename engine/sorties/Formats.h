#pragma once
// La table des formats de sortie : chaque ligne dit le nom d'un format (celui de --format), le
// fichier qu'il écrit, sa description (l'aide), comment le nommer dans un message et de quoi
// fabriquer sa sortie. La ligne de commande, le verrou du dossier et le nettoyage des
// temporaires orphelins en dérivent ; la fenêtre y ajoute ses entrées de menu, par nom de format
// (ui/EntreesExport.cpp). Un format nouveau est une unité (sa sortie) et une ligne de cette table.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vek {

class Puits;
struct ContexteSortie;

inline constexpr std::string_view NomLogFinal = "LogFinal.txt";

// Le découpage de la page web : une seule page, une page par jour, une page par mois ; au
// besoin, la page unique et, au-delà de EntreesParPage entrées, les pages par jour.
enum class Decoupage { Aucun, Jour, Mois, AuBesoin };

// La page web : au-delà de EntreesParPage entrées, une page continue sur la suivante ; au-delà
// de EntreesPageUniqueMax, la page unique se montre lentement et le découpage est conseillé.
inline constexpr std::uint64_t EntreesParPage = 5000;
inline constexpr std::uint64_t EntreesPageUniqueMax = 50000;

// Le dossier des pages découpées, son sommaire.
inline constexpr std::string_view NomDossierPages = "LogFinal";
inline constexpr std::string_view NomSommaire = "index.html";

struct Format {
    std::string_view nom;         // la valeur de --format
    std::string_view fichier;     // le fichier écrit, dans le dossier de sortie
    std::string_view description; // l'aide de --format (lignes jointes par « \n »)
    std::string_view quoi;        // « le journal final » : « Impossible d'écrire … »
    std::unique_ptr<Puits> (*fabriquer)(const ContexteSortie& contexte) = nullptr;
};

std::span<const Format> TableDesFormats();
// Le rang d'un format par son nom ; -1 s'il n'existe pas.
int RangFormat(std::string_view nom);
// Les noms des formats, séparés par sep (« texte, html, json… »).
std::string NomsDesFormats(std::string_view sep = ", ");

// Les formats qu'écrit une passe, par rang dans la table.
class FormatsSortie {
public:
    FormatsSortie() = default;
    // Les formats nommés ; un nom inconnu est ignoré.
    static FormatsSortie De(std::initializer_list<std::string_view> noms);
    static FormatsSortie Texte() { return De({"texte"}); }
    void Ajouter(std::size_t rang) { bits_ |= std::uint32_t{1} << rang; }
    bool Contient(std::size_t rang) const { return (bits_ >> rang & 1u) != 0; }
    bool Contient(std::string_view nom) const;
    bool Aucun() const { return bits_ == 0; }
    friend bool operator==(const FormatsSortie&, const FormatsSortie&) = default;

private:
    std::uint32_t bits_ = 0;
};

// Les fichiers qu'écrit une passe qui produit ces formats (le texte seul quand aucun n'est
// demandé), dans l'ordre de la table : ceux que la passe remplace sous le verrou du dossier.
std::vector<std::string_view> FichiersDesFormats(FormatsSortie formats);

// Les sorties des cinq formats, une unité chacune.
std::unique_ptr<Puits> FabriquerTexte(const ContexteSortie& contexte);
std::unique_ptr<Puits> FabriquerPage(const ContexteSortie& contexte);
std::unique_ptr<Puits> FabriquerJson(const ContexteSortie& contexte);
std::unique_ptr<Puits> FabriquerForum(const ContexteSortie& contexte);
std::unique_ptr<Puits> FabriquerDiscord(const ContexteSortie& contexte);

} // namespace vek
