#pragma once
// Le pilotage des passes du moteur depuis la fenêtre principale : chaque passe (analyse,
// recherche, recherche de mots, écriture des sorties, regard du suivi) tourne sur un fil de
// travail, une à la fois ; le fil de la fenêtre ne fait que peindre et répondre. La progression
// revient par signaux en file d'attente jusqu'à la barre et au compteur ; à la fin, sur le fil de
// la fenêtre, la suite reçoit ce que la passe a trouvé, puis l'échec éventuel est montré.
//
// Un regard du suivi est une passe discrète : les commandes restent actives, et une commande
// lancée pendant qu'il dure attend sa fin au lieu d'être perdue. C'est ici, et dans le suivi, que
// la fenêtre appelle le moteur.

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "Moteur.h"
#include "TrouverScene.h"

class BarreEtat;
class ProgressionFenetre;
class QLabel;
class QProgressBar;
class QWidget;

namespace vek {
enum class Icone { Aucune, Stop }; // l'icône d'une boîte de message
}

class PilotePasses : public QObject {
    Q_OBJECT

public:
    using Action = std::function<void()>;
    using Message = std::function<void(const QString& texte, vek::Icone icone)>;
    // La progression que reçoit chaque passe, tirée de celle de la fenêtre (par défaut,
    // celle-ci) : un remplaçant lui transmet ce qu'il veut voir montré.
    using ProgressionDesPasses = std::function<vek::Progression&(vek::Progression& fenetre)>;
    // Le travail d'une passe, sur le fil de travail.
    template <class T>
    using Travail = std::function<vek::Issue<T>(vek::Moteur&, vek::Progression&, std::stop_token)>;
    template <class T> using Suite = std::function<void(vek::Issue<T>&)>;

    struct Affichage {
        QProgressBar* barre;
        QLabel* compteur;
        // Le fond de la fenêtre, qui garde le focus pendant une passe quand le contrôle qui
        // l'avait est grisé ; il le rend à la fin.
        QWidget* abri;
        // Ce qu'une passe a repris d'elle-même dans le dossier de sortie y est dit, au-dessus de
        // ce que la passe y dit.
        BarreEtat* barreEtat;
    };

    // reglages : ceux du moteur (son dossier, où s'écrivent l'extrait et les sorties).
    PilotePasses(vek::ReglagesMoteur reglages, const Affichage& affichage,
                 QObject* parent = nullptr);
    ~PilotePasses() override;

    // Le moteur ; hors d'une passe seulement (pendant une passe, il est au fil de travail).
    vek::Moteur& Moteur() { return *moteur_; }
    void DefinirProgression(ProgressionDesPasses progression) {
        progressionDesPasses_ = std::move(progression);
    }

    // Ce que la fenêtre fait autour des passes : les messages (avis du dossier, échec) et l'état
    // des commandes (au début et à la fin d'une passe visible).
    Message message;
    Action etatChange;
    // Ce qui attend que plus rien ne tourne (le suivi y regarde le journal) : appelé à la fin de
    // chaque passe, dans l'ordre, jusqu'à ce que l'un lance une passe.
    void QuandAuRepos(Action action) { auRepos_.push_back(std::move(action)); }

    // Une passe tourne ; discrète : un regard du suivi.
    bool EnCours() const { return enCours_; }
    bool Discrete() const { return discrete_; }

    // L'analyse d'un journal, ou de la fusion de plusieurs, les séances coupées aux pauses de
    // plus de pause minutes ; auDebut : quand le journal est ouvert et que la lecture commence.
    void Analyser(const vek::Journaux& journaux, int pause, Suite<vek::ResumeJournal> suite,
                  Action auDebut);
    // La recherche d'une période dans ces journaux.
    void Rechercher(const vek::Journaux& journaux, const vek::Periode& periode,
                    Suite<vek::ResultatRecherche> suite);
    // La recherche d'une requête de mots dans le journal (« Trouver la scène »).
    void Chercher(vek::DemandeScene demande, Suite<vek::ResultatScene> suite);
    // L'écriture de formats pour une sélection ; les modes sont relus pendant l'écriture (une
    // option validée entre-temps s'applique aux lignes suivantes). La page web de la fenêtre est
    // la page unique, et le dossier découpé par jour au-delà d'une page d'entrées. suite reçoit le
    // premier fichier écrit.
    struct Ecriture {
        std::shared_ptr<const vek::Selection> selection;
        const vek::ModesPartages* modes;
        vek::ReglagesNettoyage nettoyage;
        vek::FormatsSortie formats;
    };
    void Ecrire(const Ecriture& ecriture, std::function<void(const std::string& chemin)> suite);
    // Les entrées de la dernière page web écrite.
    std::uint64_t EntreesPage() const { return entreesPage_; }
    // L'extrait est-il encore celui dont l'empreinte est donnée (celui d'où viennent les arbres) ?
    bool ExtraitInchange(const std::optional<vek::EmpreinteFichier>& empreinte) const;
    // Une passe discrète (un regard du suivi) : ni progression, ni commandes grisées, ni échec
    // montré ; la suite décide de tout.
    template <class T> void Discrete(Travail<T> travail, Suite<T> suite);

    // Pendant une passe discrète, une commande de l'utilisateur attend sa fin ; vrai si elle
    // attend (faux hors d'une passe discrète : à l'appelant de la lancer ou de l'ignorer).
    bool Differer(Action commande);
    // La passe visible en cours s'arrête à sa ligne suivante, à la demande de l'utilisateur :
    // sa suite reçoit l'interruption, qui n'est pas montrée comme un échec.
    void Interrompre();
    // Les commandes en attente ne partiront pas.
    void OublierCommandes() { enAttente_.clear(); }
    // Le programme se termine : la passe en cours s'arrête à sa ligne suivante, son fil est
    // attendu, et rien de ce qu'elle a trouvé n'est montré.
    void Arreter();

private:
    template <class T> void Lancer(bool discrete, Travail<T> travail, Suite<T> suite);
    template <class T>
    void Finir(bool discrete, vek::Issue<T>& issue, const Suite<T>& suite,
               const QPointer<QWidget>& focusAvant);
    void Signaler() const;
    // À la fin de toute passe : la première commande en attente, sinon auRepos.
    void ApresPasse();

    std::unique_ptr<vek::Moteur> moteur_;
    std::uint64_t entreesPage_ = 0; // de la dernière page web écrite
    std::unique_ptr<ProgressionFenetre> progression_;
    ProgressionDesPasses progressionDesPasses_;
    Affichage affichage_;
    Action auDebut_; // de la passe en cours
    bool enCours_ = false;
    bool discrete_ = false;
    bool arrete_ = false;
    std::vector<Action> enAttente_;
    std::vector<Action> auRepos_;
    // Le fil de la passe en cours ; il s'arrête et se rejoint avant le reste.
    std::jthread fil_;
};
