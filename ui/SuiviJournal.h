#pragma once
// Le suivi d'un journal que le jeu écrit pendant la partie : un fil qui veille le fichier (la
// notification du système, doublée d'un coup d'œil à son empreinte environ une fois par seconde)
// et dit qu'il a changé ; et la lecture, sur un fil de travail, des lignes retenues que la
// recherche vient d'ajouter à l'extrait. Rien ici ne touche une fenêtre.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "Fichiers.h"
#include "ModuleVEK.h"
#include "Nettoyage.h"
#include "Publication.h"
#include "Selection.h"
#include "VeilleFichier.h"

// Une ligne retenue, telle que la vue en direct la présente (textes en Windows-1252, après les
// modes) : l'heure, le channel, le locuteur et le texte.
struct LigneDirecte {
    vek::GenreEntree genre = vek::GenreEntree::Autre;
    std::string heure;   // « hh:mm:ss », vide sans heure ou en mode sans date
    std::string channel; // vide hors d'un message de channel ou en mode sans channel
    std::string nom;     // vide quand la ligne n'a pas la forme « Nom : texte »
    std::string texte;
};

// Les lignes de l'extrait à partir de la position debut que selection et modes retiennent,
// nettoyées comme les sorties quand nettoyeur est donné (une ligne toute hors role-play tombe) ;
// les maximum dernières seulement (la vue n'en garde pas plus), et combien il y en avait en tout.
// Avec partielle, la première ligne lue commence peut-être avant debut : elle est sautée.
struct LignesRetenues {
    std::vector<LigneDirecte> lignes;
    std::uint64_t total = 0;
};
LignesRetenues LireLignesRetenues(const vek::NomFichier& extrait, std::uint64_t debut,
                                  const vek::Selection& selection, const vek::Modes& modes,
                                  std::size_t maximum, const vek::Nettoyeur* nettoyeur = nullptr,
                                  bool partielle = false);
// Les maximum dernières lignes retenues de tout l'extrait, lues depuis sa fin (un grand extrait
// n'est pas relu en entier pour quelques lignes).
LignesRetenues LireDernieresLignesRetenues(const vek::NomFichier& extrait,
                                           const vek::Selection& selection, const vek::Modes& modes,
                                           std::size_t maximum, const vek::Nettoyeur* nettoyeur);

// La sélection d'un regard, prise sur le fil de la fenêtre : les coches de l'instant, et les
// nœuds que le catalogue du regard apportera, retenus d'avance quand leur case « Sélectionnez… »
// est cochée (ils arriveront cochés dans les arbres) ; la première ligne d'un nouveau locuteur ou
// d'un nouveau channel est ainsi montrée.
struct SelectionFuture {
    vek::Selection cochee;
    std::unordered_set<std::string> noms, channels; // les nœuds déjà dans les arbres
    bool tousLesNoms = false, tousLesChannels = false;
    // La sélection une fois les nœuds du catalogue arrivés dans les arbres.
    vek::Selection Avec(const vek::Catalogue& catalogue) const;
};

// Ce qu'un regard du suivi a trouvé : la recherche (qui n'a lu que la suite du journal, ou tout
// s'il a été remplacé) et les lignes retenues qu'elle a ajoutées.
struct LotDirect {
    vek::ResultatRecherche recherche;
    LignesRetenues retenues;
    // Les teintes des noms de la sélection du regard, comme sur la page.
    std::shared_ptr<const vek::TeintesDesNoms> teintes;
    // Le journal finit par une ligne sans fin de ligne, peut-être laissée pour la suite : son
    // empreinte d'alors (il faudra y revenir une fois le délai passé, même sans changement).
    std::optional<vek::EmpreinteFichier> inachevee;
};

// Ce que demande un regard : le journal, la période, la sélection, les modes et le nettoyage de
// l'instant ; combien de lignes la vue garde ; et, au premier regard d'un suivi, combien des
// dernières lignes retenues de la période montrer à l'ouverture (0 ensuite).
struct Regard {
    vek::NomFichier journal;
    vek::Periode periode;
    SelectionFuture selection;
    vek::Modes modes;
    vek::ReglagesNettoyage nettoyage;
    std::size_t maximum = 0;
    std::size_t ouverture = 0;
};

// La recherche d'un regard, sur le fil de travail : relance la recherche de la période (elle ne
// lit que la suite quand c'est possible) et lit les lignes retenues ajoutées à l'extrait (au
// premier regard, les dernières de tout l'extrait), nettoyées selon le nettoyage du regard, qui
// devient celui du module (les pseudonymes suivent l'ordre du catalogue, qui ne fait que
// s'allonger d'un regard à l'autre).
vek::Issue<LotDirect> RegarderJournal(vek::ModuleVEK& module, const Regard& regard,
                                      std::stop_token arret);

// Veille le journal sur son propre fil et appelle changement (sur ce fil) chaque fois que son
// empreinte (taille, date, identité) n'est plus celle du dernier appel. Entre deux
// notifications, un seul stat par coup d'œil : rien ne tourne quand le journal se tait.
class SuiviJournal {
public:
    static constexpr std::chrono::milliseconds CoupDOeil{1000};

    SuiviJournal(vek::NomFichier journal, std::unique_ptr<vek::Veille> veille,
                 std::function<void()> changement, std::chrono::milliseconds coupDOeil = CoupDOeil);
    ~SuiviJournal();
    SuiviJournal(const SuiviJournal&) = delete;
    SuiviJournal& operator=(const SuiviJournal&) = delete;

    const vek::NomFichier& Journal() const { return journal_; }
    // Le prochain coup d'œil dit un changement même si le journal n'a pas bougé (une dernière
    // ligne laissée pour la suite compte quand il a cessé de grandir).
    void Revoir() { revoir_ = true; }

private:
    void Veiller(std::stop_token arret);

    vek::NomFichier journal_;
    std::unique_ptr<vek::Veille> veille_;
    std::function<void()> changement_;
    std::chrono::milliseconds coupDOeil_;
    std::atomic<bool> revoir_{false};
    // L'empreinte prise à la construction, avant le premier regard de la fenêtre : ce que le jeu
    // écrit ensuite est un changement, même si le fil de la veille démarre en retard.
    std::optional<vek::EmpreinteFichier> vu_;
    std::jthread fil_; // en dernier : il part avant le reste
};
