#pragma once
// La fusion de plusieurs journaux en une seule suite de lignes, dans l'ordre du temps de la
// référence (le premier journal), chaque message une fois.
//
// - Chaque autre journal a ses heures ramenées à l'horloge de la référence (son avance, donnée
//   ou estimée : Estimation.h), écrites dans la notation de la ligne ; son corps reste octet
//   pour octet.
// - Ce que le joueur d'un autre journal a dit (« Vous avez dit : … ») s'écrit comme les autres
//   journaux l'écrivent, {Nom}":"… ; sans joueur connu, la ligne reste telle quelle.
// - Les lignes propres à un autre joueur (ses murmures reçus, « X vous appelle », les messages
//   du jeu) sont laissées de côté : elles se liraient comme celles du joueur de la référence.
// - Deux lignes de journaux différents sont le même message quand leur genre, leur tag (casse
//   ignorée), leur locuteur et leur message sont les mêmes et que leurs heures corrigées sont à
//   deux secondes au plus : la ligne du journal de plus petit rang est gardée, à sa place. Un
//   message dit deux fois reste deux messages (chaque ligne n'est appariée qu'une fois par
//   journal).
// - L'ordre : l'heure corrigée, puis le rang du journal, puis l'ordre dans le journal. Une ligne
//   sans date suit la précédente de son journal.
// Chaque journal est lu et préparé d'avance sur son propre fil (JournalPrepare.h). La mémoire ne
// dépend que de l'activité de quelques secondes de jeu, pas de la taille des journaux.

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "JournalPrepare.h"
#include "LigneFusion.h"
#include "SourceFichier.h"
#include "SourceLignes.h"

namespace vek {

// Un message rendu dans les dernières secondes d'une lecture : une suite ne le rend pas une
// seconde fois s'il arrive en retard dans un autre journal.
struct MessageRendu {
    std::int64_t instant = 0;
    std::size_t source = 0;
    CleMessage cle;
    std::vector<bool> apparie; // par journal : une de ses lignes l'a déjà doublé (vide : aucun)
    bool Apparie(std::size_t journal) const { return journal < apparie.size() && apparie[journal]; }
};

struct EtatFusion {
    std::vector<JournalDeSource> journaux; // les horloges et les joueurs en vigueur
    std::vector<DonneesJournal> donnees;   // ce qui avait été donné
    std::int64_t dernierInstant = INT64_MIN;
    std::deque<MessageRendu> recents;
    std::uint64_t octetsEstimes = 0; // la taille des journaux à la dernière estimation
};

class SourceFusion final : public SourceLignes {
public:
    SourceFusion(::vek::Journaux journaux, Horloge& horloge,
                 std::chrono::milliseconds delaiInachevee);
    ~SourceFusion() override;

    const std::vector<NomFichier>& Journaux() const override { return journaux_.chemins; }
    Resultat Ouvrir(const LectureLue* precedente = nullptr) override;
    std::optional<std::string> RaisonDeToutRelire(const LectureLue& precedente) const override;
    bool FinFichier() override;
    std::string_view LireLigne() override;
    bool LigneLongue() const override { return false; }
    std::string CederLigneLongue() override { return {}; }
    std::size_t SourceDeLaLigne() const override { return sourceCourante_; }
    std::uint64_t NumeroDeLaLigne() const override { return numeroCourant_; }
    Resultat Verifier() override;
    std::optional<std::string> ARelireEnEntier() const override { return horsOrdre_; }
    LectureLue Lu() const override;
    void Fermer() override;
    std::vector<JournalDeSource> JournauxLus() const override { return etat_.journaux; }
    std::vector<std::string> Avis() const override;

private:
    struct Entree;
    class HorlogeDesFils;
    JournalPrepare* ProchainFlux();
    // Apparie la ligne de tête de la fenêtre aux mêmes messages des autres journaux ; faux si
    // elle n'est pas celle qui est gardée.
    bool Garder(Entree& tete);
    // Le message rendu, pour qu'une copie en retard ne le soit pas une seconde fois.
    void NoterRendu(const Entree& tete);
    // Prépare la ligne suivante ; faux s'il n'y en a plus.
    bool Preparer();
    // Pour une suite : les horloges et les joueurs estimés de nouveau s'il en manquait et que
    // les journaux ont doublé depuis ; pourquoi tout relire s'ils ont changé.
    std::optional<std::string> Reestimer();

    ::vek::Journaux journaux_;
    Horloge& horloge_;
    std::chrono::milliseconds delai_;
    std::unique_ptr<Horloge> horlogeDesFils_; // nulle : celle de la machine
    std::vector<std::unique_ptr<JournalPrepare>> flux_;
    std::deque<Entree> fenetre_;
    std::vector<Entree*> groupe_; // resservent d'une ligne à l'autre
    std::vector<bool> pris_;
    EtatFusion etat_;
    bool suite_ = false;
    std::optional<std::string> horsOrdre_;
    std::string courante_;
    std::size_t sourceCourante_ = 0;
    std::uint64_t numeroCourant_ = 0;
    bool prete_ = false;
};

} // namespace vek
