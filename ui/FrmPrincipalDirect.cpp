// FrmPrincipal : « Suivre le journal ». La case cochée ouvre la fenêtre « En direct » et veille
// le journal ; chaque changement relance, sur le fil de travail, la recherche de la période (qui
// ne lit que la suite) puis montre les lignes retenues par les coches et les modes du moment.

#include "FrmPrincipal.h"

#include "ui_FrmPrincipal.h"

#include <QCheckBox>
#include <QScreen>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "FrmEnDirect.h"
#include "SuiviJournal.h"
#include "SuiviRecherche.h"
#include "TexteQt.h"
#include "VeilleFichier.h"

namespace {

std::string TexteDuChampDate(const QLineEdit* champ) {
    return std::string(vek::RognerEspaces(VersCp1252(champ->text())));
}

// Ajoute à l'arbre les nœuds du catalogue qu'il n'a pas encore, à leur place dans l'ordre des
// arbres, dans l'état de leur case « Sélectionnez… » ; les autres nœuds ne bougent pas (coches,
// défilement et nœud courant restent).
void AjouterNouveauxNoeuds(QTreeWidget* arbre, std::vector<std::string_view> textes,
                           const QCheckBox* caseTous) {
    if (static_cast<int>(textes.size()) == arbre->topLevelItemCount())
        return; // rien de nouveau : un regard ordinaire ne trie rien
    TrierNoeuds(textes);
    const Qt::CheckState etat = caseTous->checkState() == Qt::Checked ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < static_cast<int>(textes.size()); ++i) {
        const std::string_view texte = textes[static_cast<std::size_t>(i)];
        const QByteArray octets(texte.data(), static_cast<qsizetype>(texte.size()));
        const QTreeWidgetItem* present = arbre->topLevelItem(i);
        if (present && present->data(0, Qt::UserRole).toByteArray() == octets)
            continue;
        auto* noeud = new QTreeWidgetItem;
        noeud->setText(0, DepuisCp1252(texte));
        noeud->setToolTip(0, noeud->text(0));
        noeud->setData(0, Qt::UserRole, octets);
        noeud->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        noeud->setCheckState(0, etat);
        arbre->insertTopLevelItem(i, noeud);
    }
}

QString Premiere(QString texte) {
    if (!texte.isEmpty())
        texte[0] = texte[0].toUpper();
    return texte;
}

} // namespace

FrmEnDirect* FrmPrincipal::EnDirect() const {
    return enDirect_.data();
}

void FrmPrincipal::BasculerSuivi(bool actif) {
    suivi_.reset();
    regardEnAttente_ = false;
    ++numeroSuivi_; // le regard qui tourne encore appartient à l'ancien suivi
    if (!actif) {
        if (enDirect_)
            enDirect_->DefinirEtat(QStringLiteral("Suivi arrêté."));
        return;
    }
    const auto decocher = [this] {
        const QSignalBlocker bloque(ui->caseSuivre);
        ui->caseSuivre->setChecked(false);
    };
    const std::string journal(vek::RognerEspaces(VersNomFichier(ui->cheminJournal->text())));
    vek::Borne debut, fin;
    if (journal.empty()) {
        decocher();
        AfficherMessage(QStringLiteral("Choisissez d'abord le journal à suivre."),
                        vek::Icone::Stop);
        return;
    }
    if (!LireBorne(QStringLiteral("Date de début"), TexteDuChampDate(ui->dateDebut), debut) ||
        !LireBorne(QStringLiteral("Date de Fin"), TexteDuChampDate(ui->dateFin), fin)) {
        decocher();
        return;
    }
    journalSuivi_ = journal;
    periodeSuivie_ = vek::Periode::Entre(debut, fin);
    std::tie(debutSuivi_, finSuivi_) = std::pair{ui->dateDebut->text(), ui->dateFin->text()};
    if (!enDirect_) {
        enDirect_ = new FrmEnDirect(this);
        connect(enDirect_, &FrmEnDirect::Fermee, this,
                [this] { ui->caseSuivre->setChecked(false); });
        // À droite de la fenêtre principale quand l'écran le permet.
        const QRect ecran = screen() ? screen()->availableGeometry() : QRect();
        QPoint place = frameGeometry().topRight() + QPoint(8, 0);
        if (!ecran.isEmpty() && place.x() + enDirect_->width() > ecran.right())
            place.setX(std::max(ecran.left(), ecran.right() - enDirect_->width()));
        enDirect_->move(place);
    }
    enDirect_->show();
    enDirect_->raise();
    suivi_ = std::make_unique<SuiviJournal>(
        journal, veille_ ? veille_(journal) : vek::VeilleDuSysteme(journal), [this] {
            // Sur le fil de la veille : la fenêtre regarde quand elle le peut.
            QMetaObject::invokeMethod(
                this, [this] { RegarderLeJournal(); }, Qt::QueuedConnection);
        });
    MontrerEtatSuivi();
    premierRegard_ = true;
    RegarderLeJournal(); // ce que le jeu a écrit depuis la dernière recherche
}

void FrmPrincipal::RegarderLeJournal() {
    if (!suivi_ || quitte_)
        return;
    if (passeEnCours_) {
        regardEnAttente_ = true; // à la fin de la passe
        return;
    }
    LancerRegard();
}

void FrmPrincipal::LancerRegard() {
    if (fil_.joinable())
        fil_.join();
    regardEnAttente_ = false;
    passeEnCours_ = true;
    passeDiscrete_ = true;
    // Les coches et les modes de cet instant : un changement vaut dès le regard suivant.
    auto selection = std::make_shared<const vek::Selection>(SelectionCochee());
    const vek::Modes modes = modes_.Lire();
    const vek::Periode periode = periodeArbres_.value_or(periodeSuivie_);
    fil_ = std::jthread([this, selection, modes, periode, journal = journalSuivi_,
                         numero = numeroSuivi_, nettoyage = nettoyage_](std::stop_token arret) {
        std::shared_ptr<vek::Issue<LotDirect>> issue;
        try {
            issue = std::make_shared<vek::Issue<LotDirect>>(
                RegarderJournal(*moteur_, journal, periode, *selection, modes, nettoyage,
                                FrmEnDirect::LignesGardees, arret));
        } catch (...) {
            issue = std::make_shared<vek::Issue<LotDirect>>(
                vek::Resultat::Exception("Opération impossible", {}));
        }
        QMetaObject::invokeMethod(
            this,
            [this, issue, numero] {
                if (fil_.joinable())
                    fil_.join();
                passeEnCours_ = false;
                passeDiscrete_ = false;
                if (quitte_)
                    return;
                // Le résultat d'un suivi précédent n'est pas celui du suivi du moment (autre
                // journal peut-être) : il n'est pas montré et laisse son premier regard au
                // nouveau suivi, que le regard en attente lance aussitôt.
                if (numero == numeroSuivi_)
                    MontrerRegard(*issue);
                ApresPasse();
            },
            Qt::QueuedConnection);
    });
}

void FrmPrincipal::MontrerRegard(vek::Issue<LotDirect>& issue) {
    if (!suivi_ || !enDirect_)
        return; // le suivi s'est arrêté pendant le regard
    const bool premier = std::exchange(premierRegard_, false);
    if (!issue.ok()) {
        // Pas de boîte à chaque regard : le message va dans le fil de la scène.
        enDirect_->Annoncer(TexteEchec(issue.Echec()));
        enDirect_->Ajouter({});
        return;
    }
    const vek::ResultatRecherche& r = issue->recherche;
    if (!r.suite && !r.avisComplet.empty() && !premier)
        enDirect_->Annoncer(Premiere(QString::fromStdString(r.avisComplet)) +
                            QStringLiteral(" ; le suivi reprend sur le nouveau fichier."));
    if (!periodeArbres_) {
        std::tie(debutArbres_, finArbres_) = std::pair{debutSuivi_, finSuivi_};
        periodeArbres_ = r.periode;
    }
    // Les coches restent, y compris quand le journal a été remplacé ; les nouveaux nœuds
    // arrivent décochés, ou cochés si leur case « Sélectionnez… » l'est. Une suite ne fait
    // qu'ajouter des nœuds : les arbres ne sont pas refaits à chaque ligne.
    if (r.suite) {
        AjouterNouveauxNoeuds(ui->arbreChannels, vek::NoeudsChannels(*r.catalogue),
                              ui->caseTousLesChannels);
        AjouterNouveauxNoeuds(ui->arbreNoms, vek::NoeudsNoms(*r.catalogue), ui->caseToutLeMonde);
    } else {
        ProlongerArbres(*r.catalogue);
    }
    creerLogActive_ = r.lignesRetenues > 0;
    AppliquerEtatBoutons();
    bilan_ = BilanRecherche(r);
    if (const QString limites = TexteLimites(*r.catalogue); !limites.isEmpty())
        bilan_ += QLatin1Char('\n') + limites;
    SuivreChampsDeDate();
    enDirect_->Ajouter(issue->retenues.lignes);
    // Une dernière ligne inachevée : un regard de plus quand le journal aura cessé de grandir
    // (une fois par état du journal, pas indéfiniment pour un journal qui finit ainsi).
    if (issue->inachevee && issue->inachevee != inachevee_) {
        inachevee_ = issue->inachevee;
        suivi_->Revoir();
    }
}

void FrmPrincipal::MontrerEtatSuivi() {
    if (!suivi_ || !enDirect_)
        return; // « Suivi arrêté. » reste
    // Les regards cherchent la période des arbres (celle de la dernière recherche), pas celle
    // que les champs disaient quand la case a été cochée.
    QString etat =
        QStringLiteral("Suivi de « %1 », %2.")
            .arg(DepuisNomFichier(journalSuivi_),
                 DepuisCp1252(vek::TextePeriode(periodeArbres_.value_or(periodeSuivie_))));
    if (!ArbresAJour())
        etat += QStringLiteral(" C'est la période des arbres : celle des champs de date ne sera "
                               "suivie qu'après une nouvelle recherche.");
    enDirect_->DefinirEtat(etat);
}

void FrmPrincipal::ArreterSuivi() {
    commandesEnAttente_.clear();
    ui->caseSuivre->setChecked(false); // la bascule arrête la veille
    if (enDirect_)
        enDirect_->close();
}

bool FrmPrincipal::DiffererPendantRegard(Action commande) {
    if (!passeDiscrete_)
        return false;
    commandesEnAttente_.push_back(std::move(commande));
    return true;
}

void FrmPrincipal::ApresPasse() {
    if (passeEnCours_ || quitte_)
        return;
    if (!commandesEnAttente_.empty()) {
        Action commande = std::move(commandesEnAttente_.front());
        commandesEnAttente_.erase(commandesEnAttente_.begin());
        commande(); // sa passe finie, ApresPasse reprend ce qui attend encore
        if (passeEnCours_)
            return;
    }
    if (regardEnAttente_)
        RegarderLeJournal();
}
