#include "SuiviDirect.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QWidget>

#include <algorithm>
#include <utility>

#include "ArbresSelection.h"
#include "ChampsDeDate.h"
#include "FrmEnDirect.h"
#include "PilotePasses.h"
#include "SuiviRecherche.h"
#include "TexteQt.h"
#include "VeilleFichier.h"

namespace {

QString Premiere(QString texte) {
    if (!texte.isEmpty())
        texte[0] = texte[0].toUpper();
    return texte;
}

} // namespace

SuiviDirect::SuiviDirect(const Liens& liens) : l_(liens) {
    // Quand plus rien ne tourne, le regard qui attendait part.
    l_.passes.QuandAuRepos([suivi = QPointer<SuiviDirect>(this)] {
        if (suivi && suivi->regardEnAttente_)
            suivi->Regarder();
    });
}

SuiviDirect::~SuiviDirect() {
    veilleur_.reset(); // plus aucun changement du journal n'arrive à la fenêtre
}

FrmEnDirect* SuiviDirect::Vue() const {
    return vue_.data();
}

void SuiviDirect::Basculer(bool actif) {
    veilleur_.reset();
    regardEnAttente_ = false;
    ++numero_; // le regard qui tourne encore appartient à l'ancien suivi
    if (!actif) {
        if (vue_)
            vue_->DefinirEtat(QStringLiteral("Suivi arrêté."));
        return;
    }
    const auto decocher = [this] {
        const QSignalBlocker bloque(l_.caseSuivre);
        l_.caseSuivre->setChecked(false);
    };
    const std::string journal(vek::RognerEspaces(VersNomFichier(l_.cheminJournal->text())));
    if (journal.empty()) {
        decocher();
        l_.refuser(QStringLiteral("Choisissez d'abord le journal à suivre."));
        return;
    }
    const auto periode = l_.dates.LirePeriode(l_.refuser);
    if (!periode) {
        decocher();
        return;
    }
    journal_ = journal;
    periode_ = *periode;
    textes_ = l_.dates.Textes();
    OuvrirVue();
    veilleur_ = std::make_unique<SuiviJournal>(
        journal, veille_ ? veille_(journal) : vek::VeilleDuSysteme(journal), [this] {
            // Sur le fil de la veille : la fenêtre regarde quand elle le peut.
            QMetaObject::invokeMethod(
                this, [this] { Regarder(); }, Qt::QueuedConnection);
        });
    MontrerEtat();
    premierRegard_ = true;
    Regarder(); // ce que le jeu a écrit depuis la dernière recherche
}

void SuiviDirect::OuvrirVue() {
    if (!vue_) {
        vue_ = new FrmEnDirect(l_.fenetre);
        connect(vue_, &FrmEnDirect::Fermee, this, [this] { l_.caseSuivre->setChecked(false); });
        // À droite de la fenêtre principale quand l'écran le permet.
        const QScreen* ecran = l_.fenetre->screen();
        const QRect zone = ecran ? ecran->availableGeometry() : QRect();
        QPoint place = l_.fenetre->frameGeometry().topRight() + QPoint(8, 0);
        if (!zone.isEmpty() && place.x() + vue_->width() > zone.right())
            place.setX(std::max(zone.left(), zone.right() - vue_->width()));
        vue_->move(place);
    }
    vue_->show();
    vue_->raise();
}

void SuiviDirect::Regarder() {
    if (!veilleur_)
        return;
    if (l_.passes.EnCours()) {
        regardEnAttente_ = true; // à la fin de la passe
        return;
    }
    LancerRegard();
}

void SuiviDirect::LancerRegard() {
    regardEnAttente_ = false;
    // Les coches, les modes et le nettoyage de cet instant : un changement vaut dès le regard
    // suivant. La vue qui s'ouvre vide montre d'abord les dernières lignes de la période.
    auto regard = std::make_shared<const Regard>(Regard{
        journal_, l_.arbres.Periode().value_or(periode_), l_.arbres.SelectionAVenir(),
        l_.modes.Lire(), l_.nettoyage, FrmEnDirect::LignesGardees,
        premierRegard_ && vue_->Lignes().isEmpty() ? std::size_t{FrmEnDirect::LignesAOuverture}
                                                   : 0});
    l_.passes.Discrete<LotDirect>(
        [regard](vek::ModuleVEK& module, vek::Progression&, std::stop_token arret) {
            return RegarderJournal(module, *regard, arret);
        },
        [this, numero = numero_](vek::Issue<LotDirect>& issue) {
            // Le résultat d'un suivi précédent n'est pas celui du suivi du moment (autre journal
            // peut-être) : il n'est pas montré et laisse son premier regard au nouveau suivi,
            // que le regard en attente lance aussitôt.
            if (numero == numero_)
                MontrerRegard(issue);
        });
}

void SuiviDirect::MontrerRegard(vek::Issue<LotDirect>& issue) {
    if (!veilleur_ || !vue_)
        return; // le suivi s'est arrêté pendant le regard
    const bool premier = std::exchange(premierRegard_, false);
    if (!issue.ok()) {
        // Pas de boîte à chaque regard : le message va dans le fil de la scène.
        vue_->Annoncer(TexteEchec(issue.Echec()));
        vue_->Ajouter({});
        l_.regardEchoue();
        return;
    }
    const vek::ResultatRecherche& r = issue->recherche;
    if (!r.suite && !r.avisComplet.empty() && !premier)
        vue_->Annoncer(Premiere(DepuisUtf8(r.avisComplet)) +
                       QStringLiteral(" ; le suivi reprend sur le nouveau fichier."));
    if (!l_.arbres.Periode())
        l_.arbres.NoterRecherche(r.periode, textes_);
    // Les coches restent, y compris quand le journal a été remplacé ; les nouveaux nœuds
    // arrivent décochés, ou cochés si leur case « Sélectionnez… » l'est. Une suite ne fait
    // qu'ajouter des nœuds : les arbres ne sont pas refaits à chaque ligne.
    if (r.suite)
        l_.arbres.AjouterNouveaux(*r.catalogue);
    else
        l_.arbres.Prolonger(*r.catalogue);
    l_.arbres.NoterBilan(BilanEtLimites(r));
    l_.rechercheMontree(r);
    vue_->Ajouter(issue->retenues.lignes, issue->teintes);
    // Une dernière ligne inachevée : un regard de plus quand le journal aura cessé de grandir
    // (une fois par état du journal, pas indéfiniment pour un journal qui finit ainsi).
    if (issue->inachevee && issue->inachevee != inachevee_) {
        inachevee_ = issue->inachevee;
        veilleur_->Revoir();
    }
}

void SuiviDirect::MontrerEtat() {
    if (!veilleur_ || !vue_)
        return; // « Suivi arrêté. » reste
    // Les regards cherchent la période des arbres (celle de la dernière recherche), pas celle
    // que les champs disaient quand la case a été cochée.
    QString etat =
        QStringLiteral("Suivi de « %1 », %2.")
            .arg(DepuisNomFichier(journal_),
                 DepuisCp1252(vek::TextePeriode(l_.arbres.Periode().value_or(periode_))));
    if (!l_.arbres.AJour(l_.dates))
        etat += QStringLiteral(" C'est la période des arbres : celle des champs de date ne sera "
                               "suivie qu'après une nouvelle recherche.");
    vue_->DefinirEtat(etat);
}

void SuiviDirect::Arreter() {
    l_.passes.OublierCommandes();
    l_.caseSuivre->setChecked(false); // la bascule arrête la veille
    if (vue_)
        vue_->close();
}
