// FrmPrincipal : la disposition qui suit la taille de la fenêtre, et le suivi de la recherche
// (bornes lues dans les champs, bilan sous les arbres, arbres d'une autre période).

#include "FrmPrincipal.h"

#include "ui_FrmPrincipal.h"

#include <QHash>
#include <QSignalBlocker>

#include "DispositionAncree.h"
#include "SuiviRecherche.h"
#include "TexteQt.h"

namespace {

using Ancre = DispositionAncree::Ancre;

std::string TexteDuChamp(const QLineEdit* champ) {
    return std::string(vek::RognerEspaces(VersCp1252(champ->text())));
}

std::optional<vek::Periode> PeriodeDesChamps(const QLineEdit* debut, const QLineEdit* fin) {
    const auto b = vek::ConvertirBorne(TexteDuChamp(debut));
    const auto f = vek::ConvertirBorne(TexteDuChamp(fin));
    if (!b || !f)
        return std::nullopt;
    return vek::Periode::Entre(*b, *f);
}

} // namespace

void FrmPrincipal::PoserDisposition() {
    // À la taille d'origine, chaque contrôle est à la place du plan. Quand la fenêtre grandit,
    // le cadre et les deux arbres (la moitié du gain de largeur chacun) prennent la place ; ce
    // qui est sous les arbres descend avec le bas de la fenêtre, la bordure droite suit le bord.
    ui->centralwidget->resize(428, 538);
    auto* fenetre = new DispositionAncree(ui->centralwidget);
    const std::pair<QWidget*, Ancre> ancres[] = {
        {ui->cadrePresents, {0, 0, 1, 1}},
        {ui->arbreNoms, {0, 0, 0.5, 1}},
        {ui->arbreChannels, {0.5, 0, 1, 1}},
        {ui->caseTousLesChannels, {0.5, 1, 0.5, 1}},
        {ui->bilanRecherche, {0, 1, 1, 1}},
        {ui->boutonQuitter, DispositionAncree::EnBas},
        {ui->lienSite, DispositionAncree::EnBas},
        {ui->boutonCreerLog, DispositionAncree::EnBasADroite},
        {ui->bordureBas, {0.5, 1, 0.5, 1}},
        {ui->bordureHaut, {0.5, 0, 0.5, 0}},
        {ui->bordureDroite, {1, 0, 1, 0}},
    };
    for (const auto& [controle, ancre] : ancres)
        fenetre->Ancrer(controle, ancre);
    ui->centralwidget->setLayout(fenetre);

    auto* cadre = new DispositionAncree(ui->cadrePresents);
    cadre->Ancrer(ui->legendeChannels, {0.5, 0, 0.5, 0});
    cadre->Ancrer(ui->caseToutLeMonde, DispositionAncree::EnBas);
    ui->cadrePresents->setLayout(cadre);
}

bool FrmPrincipal::LireBorne(const QString& nomChamp, const std::string& texte, vek::Borne& borne) {
    if (const auto convertie = vek::ConvertirBorne(texte)) {
        borne = *convertie;
        return true;
    }
    const QString message =
        texte.empty()
            ? QStringLiteral("Le champ « %1 » est vide. %2.").arg(nomChamp, FormesDeDate())
            : QStringLiteral("Le champ « %1 » ne contient pas une date : « %2 ». %3.")
                  .arg(nomChamp, DepuisCp1252(texte), FormesDeDate());
    AfficherMessage(message, vek::Icone::Stop);
    return false;
}

void FrmPrincipal::MontrerBilan(const vek::ResultatRecherche& resultat) {
    // « Créer le fichier log » n'écrit que depuis une recherche qui a trouvé des lignes.
    const auto vide = RaisonRechercheVide(resultat);
    creerLogActive_ = !vide;
    AppliquerEtatBoutons();
    bilan_ = BilanRecherche(resultat);
    if (const QString limites = TexteLimites(*resultat.catalogue); !limites.isEmpty())
        bilan_ += QLatin1Char('\n') + limites;
    SuivreChampsDeDate();
    if (vide)
        AfficherMessage(*vide, vek::Icone::Aucune);
    else if (resultat.catalogue->LimiteChannelsAtteinte || resultat.catalogue->LimiteNomsAtteinte)
        AfficherMessage(TexteLimites(*resultat.catalogue), vek::Icone::Aucune);
}

bool FrmPrincipal::ArbresAJour() const {
    if (!periodeArbres_)
        return true; // pas encore d'arbres : rien à comparer
    if (ui->dateDebut->text() == debutArbres_ && ui->dateFin->text() == finArbres_)
        return true;
    return PeriodeDesChamps(ui->dateDebut, ui->dateFin) == periodeArbres_;
}

void FrmPrincipal::SuivreChampsDeDate() {
    MontrerEtatSuivi(); // la vue en direct dit aussi si les champs ont changé de période
    if (!periodeArbres_)
        return;
    const QString texte = ArbresAJour() ? bilan_ : TexteArbresPerimes(*periodeArbres_);
    ui->bilanRecherche->setText(texte);
    ui->bilanRecherche->setToolTip(texte);
}

bool FrmPrincipal::RelancerSiPerimes() {
    if (ArbresAJour() || !question_ ||
        !question_(this, QuestionArbresPerimes(*periodeArbres_), DepuisCp1252(vek::TitreMessages)))
        return false;
    LancerRecherche();
    return true;
}

void FrmPrincipal::ProlongerArbres(const vek::Catalogue& catalogue) {
    // Les coches par octets exacts du texte de chaque nœud, et l'état des deux cases.
    const auto coches = [](const QTreeWidget* arbre) {
        QHash<QByteArray, Qt::CheckState> etats;
        for (int i = 0; i < arbre->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* n = arbre->topLevelItem(i);
            etats.insert(n->data(0, Qt::UserRole).toByteArray(), n->checkState(0));
        }
        return etats;
    };
    const auto channels = coches(ui->arbreChannels);
    const auto noms = coches(ui->arbreNoms);
    const Qt::CheckState tousChannels = ui->caseTousLesChannels->checkState();
    const Qt::CheckState toutLeMonde = ui->caseToutLeMonde->checkState();
    RemplirArbres(catalogue);
    const auto retablir = [](QTreeWidget* arbre, const QHash<QByteArray, Qt::CheckState>& etats,
                             Qt::CheckState caseTous) {
        // Un nœud nouveau prend l'état de la case « Sélectionnez… » quand elle est cochée.
        const Qt::CheckState nouveau = caseTous == Qt::Checked ? Qt::Checked : Qt::Unchecked;
        for (int i = 0; i < arbre->topLevelItemCount(); ++i) {
            QTreeWidgetItem* n = arbre->topLevelItem(i);
            n->setCheckState(0, etats.value(n->data(0, Qt::UserRole).toByteArray(), nouveau));
        }
    };
    {
        // Les cases reprennent leur état sans recocher tout l'arbre.
        const QSignalBlocker a(ui->caseTousLesChannels);
        const QSignalBlocker b(ui->caseToutLeMonde);
        ui->caseTousLesChannels->setCheckState(tousChannels);
        ui->caseToutLeMonde->setCheckState(toutLeMonde);
    }
    retablir(ui->arbreChannels, channels, tousChannels);
    retablir(ui->arbreNoms, noms, toutLeMonde);
}
