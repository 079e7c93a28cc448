#include "SuiviDirect.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <utility>

#include "ArbresSelection.h"
#include "ChampsDeDate.h"
#include "FrmEnDirect.h"
#include "JournauxDuChamp.h"
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

QString SuiviDirect::NomsSuivis() const {
    QStringList noms;
    for (const vek::NomFichier& chemin : journaux_.chemins)
        noms << QStringLiteral("« %1 »").arg(DepuisNomFichier(chemin));
    const QString dernier = noms.size() > 1 ? noms.takeLast() : QString();
    return noms.join(QStringLiteral(", ")) +
           (dernier.isEmpty() ? QString() : QStringLiteral(" et ") + dernier);
}

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
    actif_ = false;
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
    vek::Journaux journaux = l_.journaux.Journaux();
    if (vek::RognerEspaces(journaux.Premier()).empty()) {
        decocher();
        l_.refuser(QStringLiteral("Choisissez d'abord le journal à suivre."));
        return;
    }
    const auto periode = l_.dates.LirePeriode(l_.refuser);
    if (!periode) {
        decocher();
        return;
    }
    journaux_ = std::move(journaux);
    journaux_.chemins.front() = vek::NomFichier(vek::RognerEspaces(journaux_.Premier()));
    periode_ = *periode;
    textes_ = l_.dates.Textes();
    OuvrirVue();
    actif_ = true;
    MontrerEtat();
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
    if (!actif_)
        return;
    if (l_.passes.EnCours()) {
        regardEnAttente_ = true; // à la fin de la passe
        return;
    }
    LancerRegard();
}

void SuiviDirect::LancerRegard() {
    regardEnAttente_ = false;
    // Les regards cherchent la période des arbres. Un suivi neuf au premier regard, après une
    // recherche de la fenêtre, ou pour une autre période : il naît sur le fil de travail (il lit
    // l'extrait), avec sa veille, faite ici.
    const vek::Periode periode = l_.arbres.Periode().value_or(periode_);
    if (refaire_ || !(periode == periodeSuivie_))
        veilleur_.reset();
    auto suiveur =
        std::make_shared<std::shared_ptr<vek::Suiveur>>(veilleur_ ? veilleur_->Suiveur() : nullptr);
    const bool neuf = !*suiveur;
    // La vue qui s'ouvre vide montre d'abord les dernières lignes de la période ; ensuite,
    // seulement ce que le jeu ajoute.
    const bool ouverture = neuf && vue_->Lignes().isEmpty();
    auto veille = std::make_shared<std::unique_ptr<vek::Veille>>();
    if (neuf)
        *veille = veille_ ? veille_(journaux_.Premier()) : vek::VeilleDuSysteme(journaux_.chemins);
    // Les coches, les modes et le nettoyage de cet instant : un changement vaut dès ce regard.
    auto regard = std::make_shared<const Regard>(
        Regard{l_.arbres.SelectionAVenir(), l_.modes.Lire(), l_.nettoyage,
               ouverture ? std::size_t{FrmEnDirect::LignesAOuverture}
                         : std::size_t{FrmEnDirect::LignesGardees}});
    l_.passes.Discrete<LotDirect>(
        [regard, suiveur, veille, journaux = journaux_, periode,
         ouverture](vek::Moteur& moteur, vek::Progression&, std::stop_token arret) {
            if (!*suiveur) {
                vek::ReglagesSuiveur reglages;
                reglages.depuisLeDebut = ouverture;
                *suiveur = std::make_shared<vek::Suiveur>(moteur, journaux, periode,
                                                          std::move(*veille), reglages);
            }
            return RegarderJournal(**suiveur, *regard, arret);
        },
        [this, numero = numero_, suiveur, neuf, periode](vek::Issue<LotDirect>& issue) {
            // Le résultat d'un suivi précédent n'est pas celui du suivi du moment (autre journal
            // peut-être) : il n'est pas montré et laisse son premier regard au nouveau suivi,
            // que le regard en attente lance aussitôt.
            if (numero != numero_ || !actif_)
                return;
            if (neuf && *suiveur) {
                refaire_ = false;
                periodeSuivie_ = periode;
                veilleur_ = std::make_unique<SuiviJournal>(*suiveur, [this] {
                    // Sur le fil de la veille : la fenêtre regarde quand elle le peut.
                    QMetaObject::invokeMethod(
                        this, [this] { Regarder(); }, Qt::QueuedConnection);
                });
            } else if (veilleur_) {
                veilleur_->Regarde();
            }
            MontrerRegard(issue, neuf);
        });
}

void SuiviDirect::MontrerRegard(vek::Issue<LotDirect>& issue, bool premier) {
    if (!vue_)
        return;
    if (!issue.ok()) {
        // Pas de boîte à chaque regard : le message va dans le fil de la scène.
        vue_->Annoncer(TexteEchec(issue.Echec()));
        vue_->Ajouter({});
        l_.regardEchoue();
        return;
    }
    const vek::RegardSuivi& g = issue->regard;
    const vek::ResultatRecherche& r = g.recherche;
    if (!g.avis.empty() && !premier) {
        vue_->Achever(); // une ligne laissée inachevée par l'ancien fichier reste telle quelle
        vue_->Annoncer(Premiere(DepuisUtf8(g.avis)) +
                       QStringLiteral(" ; le suivi reprend sur le nouveau fichier."));
    }
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
    MontrerLignes(*issue);
}

void SuiviDirect::MontrerLignes(const LotDirect& lot) {
    const vek::RegardSuivi& g = lot.regard;
    // La ligne montrée avant que le jeu l'ait achevée : corrigée en place (retirée si elle n'est
    // plus retenue), ou gardée telle quelle si elle n'a pas changé.
    if (g.corrigee)
        vue_->Corriger(g.correction, lot.teintes);
    else if (g.correction)
        vue_->Achever();
    vue_->Ajouter(g.lignes, lot.teintes, g.derniereProvisoire);
}

void SuiviDirect::MontrerEtat() {
    if (!actif_ || !vue_)
        return; // « Suivi arrêté. » reste
    // Les regards cherchent la période des arbres (celle de la dernière recherche), pas celle
    // que les champs disaient quand la case a été cochée.
    QString etat =
        QStringLiteral("Suivi de %1, %2.")
            .arg(NomsSuivis(),
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
