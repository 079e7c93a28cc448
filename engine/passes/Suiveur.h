#pragma once
// Le suivi d'un journal que le jeu écrit pendant la partie, le même pour la ligne de commande
// (--suivre) et la vue « En direct » : veiller le fichier, lire ce qu'il a gagné (la recherche
// de suite du moteur), retenir les lignes de la sélection du moment, les nettoyer comme les
// sorties. Aucune ligne n'est rendue deux fois, aucune ancienne ligne ne revient : une ligne
// rendue avant sa fin de ligne (le journal s'était tu plus que le délai du moteur) puis achevée
// par le jeu revient une seule fois, comme correction ; un journal relu en entier (remplacé,
// tronqué, réécrit) ne rend que ce qui suit la dernière ligne rendue.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

#include "Enregistrement.h"
#include "LignesConnues.h"
#include "Moteur.h"
#include "Nettoyage.h"
#include "Selection.h"

#include "Horloge.h"
#include "VeilleFichier.h"

namespace vek {

// Une ligne retenue, telle que le suivi la rend (textes en Windows-1252, après les modes et le
// nettoyage).
struct LigneSuivie {
    GenreEntree genre = GenreEntree::Autre;
    std::string heure;   // « hh:mm:ss », vide sans heure ou en mode sans date
    std::string channel; // vide hors d'un message de channel ou en mode sans channel
    std::string nom;     // vide quand la ligne n'a pas la forme « Nom : texte »
    std::string texte;
    std::string ligne; // la ligne de LogFinal.txt
    friend bool operator==(const LigneSuivie&, const LigneSuivie&) = default;
};

// La sélection d'un regard : les nœuds cochés, et les cases « tout » (les channels et les
// locuteurs apparus depuis sont retenus aussi, dès leur première ligne).
struct SelectionSuivie {
    Selection selection;
    bool tousChannels = false;
    bool toutLeMonde = false;
    // Le filtre de mots, comme celui des sorties (DemandeSorties::filtre) ; nul : aucun.
    std::shared_ptr<const Requete> filtre = nullptr;
    // Les nœuds que l'appelant montre déjà, retenus ou non selon selection seule : une case
    // « tout » n'ajoute que les autres, apparus depuis (une coche ôtée dans la fenêtre vaut même
    // sa case cochée). Vides : la case ajoute tout le catalogue.
    std::unordered_set<std::string> channelsConnus{}, nomsConnus{};
};

// La sélection d'un regard sur le catalogue du moment : les nœuds cochés, plus, avec une case
// « tout », chaque nœud du catalogue qui n'est pas déjà connu (un locuteur apparu à cette ligne
// même est retenu).
Selection SelectionDuRegard(const SelectionSuivie& selection, const Catalogue& catalogue);

// Ce qu'un regard a trouvé.
struct RegardSuivi {
    ResultatRecherche recherche;
    // La dernière ligne rendue au regard précédent n'était pas achevée ; le jeu l'a achevée :
    // elle est remplacée par correction, ou retirée (correction vide) si elle n'est plus retenue.
    bool corrigee = false;
    std::optional<LigneSuivie> correction;
    std::vector<LigneSuivie> lignes; // les nouvelles lignes retenues (les maximum dernières)
    std::uint64_t total = 0;         // combien il y en avait
    bool derniereProvisoire = false; // la dernière rendue n'a pas encore de fin de ligne
    // Le journal a dû être relu en entier (remplacé, tronqué, réécrit) : pourquoi.
    std::string avis;
};

struct ReglagesSuiveur {
    // Le coup d'œil à la taille du journal, qui double la notification du système (ou la
    // remplace quand elle ne signale pas la croissance d'un fichier).
    std::chrono::milliseconds coupDOeil{1000};
    std::chrono::milliseconds coupDOeilSansNotification{100};
    // Rendre d'abord les lignes déjà dans l'extrait de la période (les maximum dernières), ou
    // seulement ce que le jeu ajoutera.
    bool depuisLeDebut = false;
};

class Suiveur {
public:
    // Le suivi des journaux de la dernière recherche de moteur, sur cette période. veille : la
    // notification du système ; nulle, les attentes sont celles de l'horloge du moteur.
    Suiveur(Moteur& moteur, Journaux journaux, Periode periode, std::unique_ptr<Veille> veille,
            ReglagesSuiveur reglages = {});
    Suiveur(const Suiveur&) = delete;
    Suiveur& operator=(const Suiveur&) = delete;

    // Attend que le journal change, ou que le délai d'une dernière ligne laissée pour plus tard
    // soit passé ; faux si l'arrêt est demandé. Un seul stat par coup d'œil : rien ne tourne
    // quand le journal se tait. D'un seul fil à la fois.
    bool Attendre(std::stop_token arret);
    // Réveille Attendre (de n'importe quel fil).
    void Reveiller();
    // Regarde : la recherche de suite, puis les nouvelles lignes retenues. Pas en même temps
    // qu'une autre passe du moteur.
    Issue<RegardSuivi> Regarder(const SelectionSuivie& selection, const Modes& modes,
                                const ReglagesNettoyage& nettoyage, std::size_t maximum,
                                std::stop_token arret = {});

    const Journaux& Suivis() const { return journaux_; }

private:
    // D'où lire l'extrait après une recherche : là où le regard précédent s'était arrêté, ou, le
    // journal relu en entier, après ce qui avait déjà été rendu.
    std::uint64_t Depuis(const ResultatRecherche& r, RegardSuivi& regard);
    void NoterQueue(std::uint64_t depuis, std::uint64_t fin, const std::string& lues);
    void NoterProvisoire(const ResultatRecherche& r,
                         const std::optional<std::uint64_t>& derniereRendue, std::uint64_t fin,
                         RegardSuivi& regard);
    void LireExtrait(const ResultatRecherche& r, std::uint64_t depuis, bool correction,
                     const SelectionSuivie& selection, const Modes& modes,
                     const ReglagesNettoyage& nettoyage, std::size_t maximum, RegardSuivi& regard);

    Moteur& moteur_;
    Journaux journaux_;
    Periode periode_;
    std::unique_ptr<Veille> veille_;
    ReglagesSuiveur reglages_;
    std::vector<std::optional<EmpreinteFichier>> vu_; // chaque journal, au dernier regard
    std::atomic<bool> revoir_{false}; // une dernière ligne laissée : regarder après le délai

    // Ce qui a été rendu de l'extrait : jusqu'où, et ses derniers octets (pour reconnaître un
    // extrait refait qui ne fait que le prolonger).
    std::uint64_t lu_ = 0;
    std::string queueLue_;
    bool premier_ = true;
    // La dernière ligne rendue, si elle n'était pas achevée : sa place dans l'extrait et ce qui
    // en a été rendu.
    std::optional<std::pair<std::uint64_t, LigneSuivie>> provisoire_;
    // Les lignes de l'extrait déjà lues, sur les dernières minutes : ce qu'un extrait refait en
    // entier ne rend pas une seconde fois.
    LignesConnues connues_;
    bool relecture_ = false; // l'extrait refait est relu depuis son début
};

} // namespace vek
