#pragma once
// Publication d'un extrait : la page web (LogFinal.html) et les lignes JSON (LogFinal.jsonl),
// tirées des lignes que le journal final retient et réécrit, dans la même passe que lui. La page
// est un seul fichier en UTF-8, sans ressource extérieure ni script ; chaque ligne JSON est un
// objet qui se lit seul. Les fils de travail mettent en forme les lignes de chaque lot ; un fil
// par format les écrit ensuite dans l'ordre de l'extrait.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Date.h"
#include "Ligne.h"
#include "Selection.h"

namespace vek {

class EcrivainTexte;
struct Lot;

inline constexpr std::string_view NomPageWeb = "LogFinal.html";
inline constexpr std::string_view NomLignesJson = "LogFinal.jsonl";

// Ce qu'écrit une passe du journal final : LogFinal.txt, la page web, les lignes JSON.
struct FormatsSortie {
    bool texte = true;
    bool html = false;
    bool json = false;
    bool Aucun() const { return !texte && !html && !json; }
    friend bool operator==(const FormatsSortie&, const FormatsSortie&) = default;
};

// Le genre d'une ligne publiée : message de channel, de proximité, ce que vous avez dit, un
// murmure reçu (« Aldric vous appelle : … »), une autre ligne qui contient « vous appelle ».
enum class GenreEntree { Channel, Proximite, Dit, Murmure, Appel, Autre };
// Ce qu'un genre écrit : son nom dans les lignes JSON (« channel », « proximite », « dit »,
// « murmure », « appel », « autre ») et la classe de son entrée sur la page (aucune pour un
// message de channel).
struct NomsDuGenre {
    std::string_view json;
    std::string_view classe;
};
NomsDuGenre NomsGenre(GenreEntree genre);

// Une ligne retenue, découpée pour la publication. Les morceaux sont des positions dans la ligne
// réécrite (celle de LogFinal.txt) : la page les écrit bout à bout, sans rien omettre ni
// ajouter. Les vues désignent la ligne de l'extrait, la ligne réécrite ou des textes fixes.
struct Entree {
    GenreEntree genre = GenreEntree::Autre;
    std::string_view ligne;    // la ligne de l'extrait
    std::string_view reecrite; // la même, telle que LogFinal.txt l'écrit
    std::size_t finEnTete = 0; // [0, finEnTete) : la date et l'heure ; 0 quand elles sont ôtées
    std::size_t debutBadge = 0, finBadge = 0; // le tag du channel, s'il est écrit
    std::size_t debutNom = 0, finNom = 0; // le locuteur (ou « Vous avez dit »), s'il est repéré
    std::size_t debutTexte = 0;           // le message, jusqu'au bout de la ligne
    // Les champs des lignes JSON. La date, l'heure, le channel et le nom viennent de la ligne de
    // l'extrait, quels que soient les modes.
    std::optional<Date> date;
    std::string_view heure;
    std::string_view channel; // suivi de « ] » si crochetAjoute (un tag sans « ] »)
    bool crochetAjoute = false;
    std::string_view nom;

    std::string_view Texte() const { return reecrite.substr(debutTexte); }
};

// Découpe une ligne retenue : ligne est celle de l'extrait, analyse le découpage de son corps,
// reecrite la ligne que FiltrerEtReecrire en a tirée avec ces modes.
Entree DecouperEntree(std::string_view ligne, const Extraction& analyse, std::string_view reecrite,
                      const Modes& modes);

// Couleurs stables : le rang d'une teinte tiré des seuls octets du texte, le même d'une
// publication à l'autre et d'une version du programme à l'autre.
inline constexpr int TeintesNoms = 36;
inline constexpr int TeintesChannels = 12;
std::uint32_t EmpreinteTexte(std::string_view texte); // FNV-1a sur 32 bits
int TeinteNom(std::string_view nom);
int TeinteChannel(std::string_view tag);

// Le caractère qu'un octet Windows-1252 donne dans une publication : celui de Windows-1252, et
// U+FFFD pour les cinq octets qu'il laisse sans caractère (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t CaracterePublie(unsigned char octet);

// La page : son début (styles, en-tête : titre, date d'extraction, période, channels et
// personnes gardés) et sa fin ; les entrées et les titres des jours viennent de Publication.
struct EnTetePage {
    Date extraction;
    std::optional<Date> debut;
    std::optional<Date> fin;
    const Selection* selection = nullptr;
};
std::string DebutPage(const EnTetePage& entete);
std::string FinPage(std::uint64_t entrees);

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

// La mise en forme pendant la passe. Les fils de travail préparent chaque lot (Preparer, puis
// Ajouter pour chaque ligne retenue) ; le fil d'écriture de chaque format écrit ensuite les lots
// dans l'ordre (EcrireHtml, EcrireJson). Les titres des jours qui tombent entre deux lots sont
// décidés à l'écriture. Une ligne démesurée, seule dans son lot, n'est mise en forme qu'à
// l'écriture, par morceaux, directement dans le fichier.
class Publication {
public:
    // lotsEnCirculation : la taille de l'anneau de la chaîne.
    Publication(FormatsSortie formats, std::size_t lotsEnCirculation);

    bool Active() const { return formats_.html || formats_.json; }

    void Preparer(const Lot& lot);
    // ligne : la ligne du lot ; analyse : le découpage de son corps ; reecrite : la ligne
    // réécrite, qui reste valable jusqu'à l'écriture du lot si demesuree.
    void Ajouter(const Lot& lot, std::string_view ligne, const Extraction& analyse,
                 std::string_view reecrite, bool demesuree);

    void EcrireHtml(const Lot& lot, EcrivainTexte& fichier);
    void EcrireJson(const Lot& lot, EcrivainTexte& fichier);
    // Lignes écrites dans la page.
    std::uint64_t EntreesHtml() const { return entreesHtml_; }

private:
    // Chaque lot sur ses propres lignes de cache : deux fils de travail préparent deux lots
    // voisins en même temps.
    struct alignas(64) MiseEnForme {
        std::uint64_t numero = 0; // le lot préparé ici
        TamponSortie html;
        TamponSortie json;
        std::uint64_t entrees = 0;
        std::optional<Date> premierJour; // titre à décider à l'écriture, avant html[avantPremier]
        std::size_t avantPremier = 0;
        std::optional<Date> dernierJour;
        bool sansDate = false;
        std::optional<Entree> demesuree;
    };
    // Lots en circulation : deux lots présents dans la chaîne n'ont jamais le même rang modulo
    // la taille de l'anneau.
    MiseEnForme& Pour(const Lot& lot);
    // L'ordre des lots : un lot arrive à l'écriture préparé pour lui.
    MiseEnForme& Verifier(const Lot& lot);
    void TitreSiNouveauJour(EcrivainTexte& fichier, const std::optional<Date>& jour);

    FormatsSortie formats_;
    std::vector<MiseEnForme> lots_;
    std::optional<Date> jourCourant_; // fil d'écriture de la page seulement
    std::uint64_t entreesHtml_ = 0;
};

} // namespace vek
