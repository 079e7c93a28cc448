#include "PilotePasses.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <algorithm>

#include "BarreEtat.h"
#include "Chemins.h"
#include "CommandesDePasse.h"
#include "ProgressionFenetre.h"
#include "SuiviJournal.h"
#include "TexteQt.h"

namespace {

// Ce qu'une passe a repris d'elle-même dans le dossier de sortie, réussie ou non.
template <class T> std::string AvisDuDossier(const vek::Issue<T>& issue) {
    if (!issue.ok())
        return issue.Echec().avis;
    if constexpr (requires { issue->avisDossier; })
        return issue->avisDossier;
    else if constexpr (requires { issue->regard.recherche.avisDossier; })
        return issue->regard.recherche.avisDossier; // un regard du suivi
    else
        return {};
}

} // namespace

PilotePasses::PilotePasses(vek::ReglagesMoteur reglages, const Affichage& affichage,
                           QObject* parent)
    : QObject(parent), moteur_(std::make_unique<vek::Moteur>(std::move(reglages))),
      progression_(std::make_unique<ProgressionFenetre>()), affichage_(affichage) {
    // La progression de la passe arrive ici, en file d'attente, dans l'ordre d'émission.
    ProgressionFenetre* progression = progression_.get();
    QProgressBar* barre = affichage_.barre;
    connect(progression, &ProgressionFenetre::MaximumChange, barre, &QProgressBar::setMaximum,
            Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::ValeurChange, barre,
        [barre](int valeur) {
            barre->setValue(std::clamp(valeur, barre->minimum(), barre->maximum()));
        },
        Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::CompteurChange, affichage_.compteur,
        [compteur = affichage_.compteur](quint64 lignes) {
            compteur->setText(QString::number(lignes));
        },
        Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::Commence, this,
        [this] {
            if (auDebut_)
                auDebut_();
        },
        Qt::QueuedConnection);
}

PilotePasses::~PilotePasses() {
    // La passe en cours s'arrête à sa ligne suivante ; le moteur ne part qu'après elle.
    fil_.request_stop();
    if (fil_.joinable())
        fil_.join();
}

void PilotePasses::Analyser(const vek::Journaux& journaux, int pause,
                            Suite<vek::ResumeJournal> suite, Action auDebut) {
    auDebut_ = std::move(auDebut);
    Lancer<vek::ResumeJournal>(
        false,
        [journaux, pause](vek::Moteur& moteur, vek::Progression& progression,
                          std::stop_token arret) {
            return moteur.Analyser({journaux, pause}, progression, arret);
        },
        std::move(suite));
}

void PilotePasses::Rechercher(const vek::Journaux& journaux, const vek::Periode& periode,
                              Suite<vek::ResultatRecherche> suite) {
    auDebut_ = nullptr;
    Lancer<vek::ResultatRecherche>(
        false,
        [journaux, periode](vek::Moteur& moteur, vek::Progression& progression,
                            std::stop_token arret) {
            return moteur.Rechercher({journaux, periode}, progression, arret);
        },
        std::move(suite));
}

void PilotePasses::Chercher(vek::DemandeScene demande, Suite<vek::ResultatScene> suite) {
    auDebut_ = nullptr;
    auto d = std::make_shared<const vek::DemandeScene>(std::move(demande));
    Lancer<vek::ResultatScene>(
        false,
        [d](vek::Moteur&, vek::Progression& progression, std::stop_token arret) {
            return vek::TrouverScene(*d, progression, std::move(arret));
        },
        std::move(suite));
}

void PilotePasses::Ecrire(const Ecriture& ecriture,
                          std::function<void(const std::string& chemin)> suite) {
    // La page web de la fenêtre : la page unique, et le dossier découpé par jour au-delà d'une
    // page d'entrées (son sommaire est alors ouvert).
    auto demande = std::make_shared<const vek::DemandeSorties>(vek::DemandeSorties{
        *ecriture.selection, ecriture.modes, ecriture.nettoyage, ecriture.formats, 0,
        ecriture.formats.Contient("html") ? vek::Decoupage::AuBesoin : vek::Decoupage::Aucun,
        std::nullopt});
    auDebut_ = nullptr;
    Lancer<vek::ResultatSorties>(
        false,
        [demande](vek::Moteur& moteur, vek::Progression& progression, std::stop_token arret) {
            return moteur.EcrireSorties(*demande, progression, arret);
        },
        [this, suite = std::move(suite)](vek::Issue<vek::ResultatSorties>& issue) {
            if (!issue.ok())
                return;
            entreesPage_ = issue->entreesPage;
            if (!issue->chemins.empty() && suite)
                suite(issue->chemins.front());
        });
}

bool PilotePasses::ExtraitInchange(const std::optional<vek::EmpreinteFichier>& empreinte) const {
    return vek::LireEmpreinte(moteur_->CheminExtrait()) == empreinte;
}

template <class T> void PilotePasses::Discrete(Travail<T> travail, Suite<T> suite) {
    Lancer<T>(true, std::move(travail), std::move(suite));
}
template void PilotePasses::Discrete<LotDirect>(Travail<LotDirect>, Suite<LotDirect>);

template <class T> void PilotePasses::Lancer(bool discrete, Travail<T> travail, Suite<T> suite) {
    if (arrete_)
        return;
    if (fil_.joinable())
        fil_.join(); // la passe précédente a fini : son fil n'a plus qu'à sortir
    // Le contrôle qui avait le focus le retrouve à la fin s'il n'a pas d'autre suite.
    QPointer<QWidget> focusAvant;
    if (!discrete)
        focusAvant = affichage_.abri->window()->focusWidget();
    enCours_ = true;
    discrete_ = discrete;
    vek::Progression* progression = progression_.get();
    if (!discrete) {
        Signaler();
        progression_->Commencer();
        if (progressionDesPasses_)
            progression = &progressionDesPasses_(*progression_);
    }
    fil_ = std::jthread([this, travail = std::move(travail), suite = std::move(suite), focusAvant,
                         discrete, progression](std::stop_token arret) mutable {
        std::shared_ptr<vek::Issue<T>> issue;
        try {
            issue = std::make_shared<vek::Issue<T>>(travail(*moteur_, *progression, arret));
        } catch (...) {
            // Une exception ne sort pas du fil : elle devient un échec affiché.
            issue = std::make_shared<vek::Issue<T>>(
                vek::Resultat::Exception("Opération impossible", {}));
        }
        if (!discrete)
            progression_->Terminer();
        // Après les derniers signaux de la passe, dans la même file d'attente.
        QMetaObject::invokeMethod(
            this,
            [this, issue, suite = std::move(suite), focusAvant, discrete] {
                Finir(discrete, *issue, suite, focusAvant);
            },
            Qt::QueuedConnection);
    });
}

template <class T>
void PilotePasses::Finir(bool discrete, vek::Issue<T>& issue, const Suite<T>& suite,
                         const QPointer<QWidget>& focusAvant) {
    if (fil_.joinable())
        fil_.join();
    enCours_ = false;
    discrete_ = false;
    auDebut_ = nullptr;
    if (arrete_)
        return; // le programme se termine : rien d'autre à montrer
    // Une validation interrompue que la passe a reprise dans le dossier : dans une boîte (pas
    // pour un regard du suivi), puis dans la barre d'état, au-dessus de ce que la passe y a dit.
    const QString avis = DepuisUtf8(AvisDuDossier(issue));
    const QString barreAvant = affichage_.barreEtat->Texte();
    if (!discrete) {
        Signaler();
        if (affichage_.abri->window()->focusWidget() == affichage_.abri)
            DonnerFocus(focusAvant);
        if (!avis.isEmpty() && message)
            message(avis, vek::Icone::Aucune);
    }
    if (suite)
        suite(issue);
    if (!discrete && !issue.ok()) {
        // La barre ne reste pas pleine d'une passe qui n'a rien donné ; un arrêt demandé n'est
        // pas un échec à montrer.
        affichage_.barre->setValue(affichage_.barre->minimum());
        if (message && !issue.Echec().interrompu)
            message(TexteEchec(issue.Echec()), vek::Icone::Stop);
    }
    if (const QString dit = affichage_.barreEtat->Texte(); !avis.isEmpty())
        affichage_.barreEtat->Annoncer(dit == barreAvant ? avis : avis + u'\n' + dit);
    ApresPasse();
}

void PilotePasses::Signaler() const {
    if (etatChange)
        etatChange();
}

bool PilotePasses::Differer(Action commande) {
    if (!discrete_)
        return false;
    enAttente_.push_back(std::move(commande));
    return true;
}

void PilotePasses::ApresPasse() {
    if (enCours_ || arrete_)
        return;
    if (!enAttente_.empty()) {
        Action commande = std::move(enAttente_.front());
        enAttente_.erase(enAttente_.begin());
        commande(); // sa passe finie, ApresPasse reprend ce qui attend encore
        if (enCours_)
            return;
    }
    for (const Action& action : auRepos_) {
        action();
        if (enCours_)
            return;
    }
}

void PilotePasses::Interrompre() {
    if (enCours_ && !discrete_)
        fil_.request_stop();
}

void PilotePasses::Arreter() {
    arrete_ = true;
    fil_.request_stop();
    if (fil_.joinable())
        fil_.join();
    enCours_ = false;
    discrete_ = false;
}
