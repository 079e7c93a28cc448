#pragma once
// La couture de lecture des passes : les lignes d'un ou de plusieurs journaux, dans l'ordre du
// temps, lues depuis le début ou depuis la fin d'une lecture précédente. Une passe ne sait pas
// d'où viennent ses lignes : d'un seul fichier (SourceFichier), ou de la fusion de plusieurs
// (SourceFusion).

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Erreurs.h"
#include "Fichiers.h"
#include "Horloge.h"

namespace vek {

// Ce que l'utilisateur donne d'un journal qu'il fusionne avec d'autres (--decalage, --joueur).
struct DonneesJournal {
    std::optional<std::int64_t> avance; // secondes ; positif : son horloge est en avance
    std::optional<std::string> joueur;  // en Windows-1252
    friend bool operator==(const DonneesJournal&, const DonneesJournal&) = default;
};

// Les journaux d'une passe, dans l'ordre donné : le premier est la référence d'une fusion (son
// horloge est celle des sorties, son joueur leur « Vous »).
struct Journaux {
    std::vector<NomFichier> chemins;
    std::vector<DonneesJournal> donnees; // par rang ; absent : rien de donné
    Journaux() = default;
    Journaux(NomFichier chemin) : chemins{std::move(chemin)} {}
    Journaux(std::vector<NomFichier> c) : chemins(std::move(c)) {}
    const NomFichier& Premier() const { return chemins.front(); }
    DonneesJournal Donnees(std::size_t i) const {
        return i < donnees.size() ? donnees[i] : DonneesJournal{};
    }
};

// Ce qu'une source dit d'un de ses journaux : pour une fusion, l'avance de son horloge sur la
// référence et son joueur, donnés ou trouvés.
struct JournalDeSource {
    NomFichier chemin;
    // Rien : aucun message en commun avec la référence, fusionné sur sa propre horloge.
    std::optional<std::int64_t> avance;
    bool avanceDonnee = false;
    std::uint64_t communs = 0; // messages en commun qui ont donné l'avance
    std::optional<std::string> joueur;
    bool joueurDonne = false;
    // Le rang du premier journal du même joueur (le sien s'il est le premier) : deux journaux
    // dont les « Vous avez dit » se répondent sont ceux d'un même joueur, même sans son nom.
    std::size_t memeJoueurQue = 0;
    // Le décalage à ajouter à ses heures pour les ramener à l'horloge de la référence.
    std::int64_t Correction() const { return avance ? -*avance : 0; }
};

// Ce qu'une lecture a lu d'un journal : de quoi la prolonger plus tard, si le fichier n'a fait
// que grandir depuis.
struct LuDUnJournal {
    NomFichier chemin;
    EmpreinteFichier identite; // le fichier à l'ouverture
    std::uint64_t fin = 0;     // fin de ce qui a été lu (une ligne inachevée exclue)
    std::string queue;         // les octets (64 Kio au plus) juste avant fin
    // La dernière ligne lue n'avait pas de fin de ligne (le journal s'était tu assez longtemps
    // pour qu'elle compte) : sa position, pour la relire en entier si le jeu la prolonge.
    std::optional<std::uint64_t> debutProvisoire;
};

struct EtatFusion; // ce qu'une fusion garde d'une lecture à la suivante (SourceFusion.h)

// Ce qu'une lecture a lu de chacun de ses journaux, dans l'ordre de la source, et, pour une
// fusion, son état. Vide : la lecture ne pourra pas reprendre (un tube, un fichier sans
// identité).
struct LectureLue {
    std::vector<LuDUnJournal> journaux;
    std::shared_ptr<const EtatFusion> fusion;
    bool Vide() const { return journaux.empty(); }
};

class SourceLignes {
public:
    virtual ~SourceLignes() = default;

    // Les journaux, dans l'ordre donné (le même fichier donné deux fois n'y est qu'une fois).
    virtual const std::vector<NomFichier>& Journaux() const = 0;
    // Ouvre la lecture, depuis le début, ou depuis la fin de precedente quand elle est donnée
    // (RaisonDeToutRelire l'a permis) : seule la suite est lue. Un échec nomme le journal.
    virtual Resultat Ouvrir(const LectureLue* precedente = nullptr) = 0;
    // Rien si une lecture peut reprendre à la fin de precedente (les mêmes fichiers, qui n'ont
    // fait que grandir) ; sinon pourquoi il faut tout relire, en un court avis.
    virtual std::optional<std::string> RaisonDeToutRelire(const LectureLue& precedente) const = 0;

    virtual bool FinFichier() = 0;
    // La ligne suivante, sans sa fin de ligne ; la vue reste valable jusqu'à l'appel suivant.
    virtual std::string_view LireLigne() = 0;
    // La dernière ligne lue ne tenait pas dans le tampon : CederLigneLongue la rend sans copie.
    virtual bool LigneLongue() const = 0;
    virtual std::string CederLigneLongue() = 0;
    // Le rang, dans Journaux(), du journal d'où vient la dernière ligne lue.
    virtual std::size_t SourceDeLaLigne() const { return 0; }
    // Le numéro de la dernière ligne lue dans son propre journal, depuis 1 (0 avant la
    // première) : chaque ligne du fichier compte, même celles qu'une fusion laisse de côté.
    // Compté depuis le début de cette lecture : depuis la première ligne du journal quand elle
    // l'a lu depuis son début, depuis la reprise pour une lecture de suite.
    virtual std::uint64_t NumeroDeLaLigne() const = 0;

    // Une fois la dernière ligne lue : un échec (lecture du journal en cause) si un journal a
    // changé pendant la lecture (tronqué, remplacé, réécrit) ou n'a pas pu être lu.
    virtual Resultat Verifier() = 0;
    // Une suite qui ne peut pas tenir l'ordre du temps (un journal a écrit une ligne plus
    // ancienne que ce qui a déjà été rendu) : pourquoi il faut tout relire ; rien sinon.
    virtual std::optional<std::string> ARelireEnEntier() const { return std::nullopt; }
    // Ce qui a été lu, pour une lecture de suite.
    virtual LectureLue Lu() const = 0;
    virtual void Fermer() = 0;

    // Ce que la source dit de ses journaux (horloges et joueurs d'une fusion), et ce qu'il faut
    // en dire à l'utilisateur (en UTF-8).
    virtual std::vector<JournalDeSource> JournauxLus() const = 0;
    virtual std::vector<std::string> Avis() const { return {}; }
};

// Les journaux donnés, chacun rogné de ses espaces, le même fichier (par le même chemin ou par un
// lien) gardé une fois, à sa première place : ceux que lit SourceDesJournaux, dans son ordre.
Journaux JournauxDistincts(const Journaux& journaux);

// La source qui lit ces journaux (chacun pris rogné de ses espaces) : un seul fichier, ou leur
// fusion ; delaiInachevee : voir SourceFichier. Défini avec la fusion (SourceFusion.cpp).
std::unique_ptr<SourceLignes> SourceDesJournaux(const Journaux& journaux, Horloge& horloge,
                                                std::chrono::milliseconds delaiInachevee);

} // namespace vek
