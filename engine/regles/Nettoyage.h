#pragma once
// Le nettoyage role-play d'une passe du journal final : le texte hors role-play (« HRP ») retiré,
// des locuteurs renommés, les autres remplacés par « Personne 1 », « Personne 2 »… Il agit une
// fois sur l'enregistrement de chaque ligne retenue, avant toutes les sorties : chaque format
// montre les mêmes lignes nettoyées. Tout éteint, rien n'est touché.

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Enregistrement.h"
#include "Selection.h"

namespace vek {

class Catalogue;

// Les réglages du nettoyage, à côté des modes ; les textes sont en Windows-1252.
struct ReglagesNettoyage {
    bool sansHrp = false;
    bool anonymiser = false;
    // Ancien nom, nouveau nom ; deux anciens peuvent donner le même nouveau.
    std::vector<std::pair<std::string, std::string>> renommages;
    bool Actif() const { return sansHrp || anonymiser || !renommages.empty(); }
    friend bool operator==(const ReglagesNettoyage&, const ReglagesNettoyage&) = default;
};

// Les lettres et chiffres de Windows-1252 : ASCII, š œ ž Š Œ Ž Ÿ ƒ ª µ º, et de À à ÿ sauf × et ÷.
inline constexpr std::array<bool, 256> TableLettres = [] {
    std::array<bool, 256> t{};
    for (int c = '0'; c <= '9'; ++c)
        t[static_cast<std::size_t>(c)] = true;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[static_cast<std::size_t>(c)] = t[static_cast<std::size_t>(c + 32)] = true;
    for (const int c : {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA})
        t[static_cast<std::size_t>(c)] = true;
    for (int c = 0xC0; c <= 0xFF; ++c)
        t[static_cast<std::size_t>(c)] = c != 0xD7 && c != 0xF7;
    return t;
}();

// Vrai pour une lettre ou un chiffre de Windows-1252 (accents compris) : ce qui borne un mot.
inline bool LettreOuChiffre(unsigned char c) {
    return TableLettres[c];
}

// Le message est tout entier hors role-play : rogné, il n'est qu'une partie « ((…)) » (celle qui
// s'ouvre au début se ferme à la fin), ou il commence (casse ignorée) par « HRP », « [HRP] » ou «
// (HRP) » suivi d'une espace, de « : », de « - » ou de la fin.
bool ToutHorsRolePlay(std::string_view message);

// Le message sans ses parties « ((…)) » (parenthèses imbriquées comprises ; un « (( » jamais
// fermé emporte la fin), les espaces autour de chacune réduites à une, rogné. Rend message
// quand il n'y a rien à retirer, sinon une vue sur tampon ; retire dit si du texte est parti.
std::string_view RetirerHorsRolePlay(std::string_view message, std::string& tampon, bool& retire);

// Les noms remplacés d'une passe : les renommages, puis, pour l'anonymisation, un pseudonyme par
// locuteur dans l'ordre de première apparition que le catalogue connaît (puis les locuteurs
// cochés qu'il ne connaît pas), hors les noms des renommages et les lignes du joueur. Bâtie
// avant la passe, elle ne change plus : les fils la lisent tous, sans relire l'extrait.
class TableDesNoms {
public:
    TableDesNoms() = default;
    TableDesNoms(const ReglagesNettoyage& reglages, const Catalogue* catalogue,
                 const Selection* selection);
    // Les entrées sont des vues sur textes_ : une copie désignerait les textes de l'original.
    // Déplacée, la table garde ses textes aux mêmes adresses.
    TableDesNoms(const TableDesNoms&) = delete;
    TableDesNoms& operator=(const TableDesNoms&) = delete;
    TableDesNoms(TableDesNoms&&) = default;
    TableDesNoms& operator=(TableDesNoms&&) = default;
    bool Vide() const { return noms_.empty(); }
    // Le remplaçant d'un locuteur, ou rien.
    std::optional<std::string_view> Remplacant(std::string_view nom) const;
    // Le texte où chaque nom de la table qui y forme un mot entier (ni lettre ni chiffre collé
    // devant ou derrière) est remplacé, qu'il commence par une lettre ou non (« 'Elfe »,
    // « -Loup- »). Un nom sans lettre ni chiffre n'est remplacé qu'à sa place de locuteur. Rend
    // texte quand rien ne change, sinon une vue sur tampon.
    std::string_view RemplacerMentions(std::string_view texte, std::string& tampon) const;

private:
    void Ajouter(std::string_view ancien, std::string_view nouveau);
    // Le rang de l'entrée d'un ancien nom, ou -1 : adressage ouvert, cases serrées (une
    // recherche par ligne retenue, sans saut dans des nœuds épars).
    long Rang(std::string_view nom) const;
    void Ranger(std::size_t rang);
    struct Entree {
        std::string_view ancien, nouveau;
    };
    // L'entrée dont le nom commence au mot qui commence en i, ou rien.
    const Entree* MotCherche(std::string_view texte, std::size_t i) const;
    // L'entrée d'un nom qui ne commence pas par une lettre, trouvé en i (un octet de début), ou
    // rien.
    const Entree* AutreCherche(std::string_view texte, std::size_t i) const;
    std::deque<std::string> textes_; // les textes des entrées (adresses stables)
    std::unordered_map<std::string_view, std::size_t> noms_; // ancien nom -> entrée
    // Premier mot d'un nom -> ses entrées, la plus longue d'abord.
    std::unordered_map<std::string_view, std::vector<std::size_t>> parPremierMot_;
    std::vector<Entree> entrees_;
    // Les noms qui commencent par un autre signe qu'une lettre ou un chiffre (« 'Elfe ») : leurs
    // entrées, la plus longue d'abord.
    std::vector<std::size_t> autres_;
    // Les octets par lesquels commence un nom de la table (premier mot ou autre signe) : le
    // texte est parcouru d'un de ces octets au suivant, sans regarder les autres mots. Un tel
    // octet qui n'est ni lettre ni chiffre commence un nom de autres_.
    std::array<bool, 256> debuts_{};
    struct Case {
        std::uint32_t hachage = 0;
        std::int32_t rang = -1;
    };
    std::vector<Case> cases_; // taille : puissance de deux, au moins quatre fois les entrées
    // Le crible des premiers mots (un bit par hachage sur 16 bits) : la plupart des mots d'un
    // message ne sont pas cherchés dans la table.
    std::array<std::uint64_t, 1024> crible_{};
};

// Zones de travail d'un fil, réutilisées d'une ligne à l'autre ; au-delà de 1 Mio (une ligne
// démesurée), elles rendent leur mémoire.
struct TravailNettoyage {
    std::string hrp, mentions, ligne;
    std::string recompose[2]; // la ligne dont le message ne se retrouve pas
};

class Nettoyeur {
public:
    Nettoyeur(const ReglagesNettoyage& reglages, const Catalogue* catalogue,
              const Selection& selection);
    Nettoyeur(const Nettoyeur&) = delete; // la table des noms ne se copie pas
    Nettoyeur& operator=(const Nettoyeur&) = delete;
    Nettoyeur(Nettoyeur&&) = default;
    Nettoyeur& operator=(Nettoyeur&&) = default;
    bool Actif() const { return actif_; }
    // Faux si la ligne tombe (tout son message est hors role-play). Sinon, l'enregistrement est
    // nettoyé : message, locuteur et ligne de LogFinal.txt ; ses vues désignent alors aussi
    // travail et la table des noms.
    bool Nettoyer(Enregistrement& e, TravailNettoyage& travail) const;
    // La sélection que montrent les sorties (les personnes de la page) : les noms remplacés,
    // chacun une fois, dans l'ordre de la sélection.
    const Selection& SelectionMontree() const { return montree_; }

private:
    // La ligne recomposée autour du message nettoyé texte, le locuteur remplacé par nom.
    void ComposerLigne(const Enregistrement& e, std::string_view texte,
                       std::optional<std::string_view> nom, TravailNettoyage& travail) const;
    // La ligne où le message ne se retrouve pas : tout ce qui suit l'en-tête et le tag est
    // nettoyé comme un message, le locuteur partout remplacé.
    void RecomposerLigne(const Enregistrement& e, std::size_t debutCorps,
                         std::optional<std::string_view> nom, TravailNettoyage& travail) const;
    bool sansHrp_ = false;
    bool actif_ = false;
    TableDesNoms table_;
    Selection montree_;
};

// Les textes d'un enregistrement nettoyé qui sont dans travail passent dans ligne et texte : ils
// restent valables après le travail des lignes suivantes (une ligne démesurée).
void ReprendreNettoyage(TravailNettoyage& travail, Enregistrement& e, std::string& ligne,
                        std::string& texte);

} // namespace vek
