#include "DlgRenommer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Apparence.h"
#include "Cp1252.h"
#include "Ligne.h"
#include "TexteQt.h"

#include <algorithm>
#include <optional>

namespace {

QString Cellule(const QTableWidget* table, int ligne, int colonne) {
    const QTableWidgetItem* c = table->item(ligne, colonne);
    return c ? c->text().trimmed() : QString();
}

// Le premier caractère du texte qui n'existe pas en Windows-1252, la page de code des journaux :
// un tel ancien nom n'y est jamais, un tel nouveau nom ne pourrait pas s'y écrire.
std::optional<QString> HorsCp1252(const QString& texte) {
    for (const char32_t c : texte.toUcs4())
        if (!vek::OctetCp1252(c))
            return QString::fromUcs4(&c, 1);
    return std::nullopt;
}

} // namespace

DlgRenommer::DlgRenommer(vek::ReglagesNettoyage& reglages, QWidget* parent)
    : QDialog(parent), reglages_(reglages) {
    setObjectName(QStringLiteral("DlgRenommer"));
    setWindowTitle(QStringLiteral("Renommer"));
    PoserFondBlanc(this);
    auto* colonne = new QVBoxLayout(this);
    auto* explication =
        new QLabel(QStringLiteral("Chaque ancien nom est remplacé par le nouveau, à sa place de "
                                  "locuteur et en mot entier dans les messages.\nDeux anciens "
                                  "noms peuvent donner le même nouveau."),
                   this);
    explication->setFont(PoliceSansSerif(8.25, false, true));
    colonne->addWidget(explication);

    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(QStringLiteral("tableRenommages"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Ancien nom"), QStringLiteral("Nouveau nom")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->setVisible(false);
    for (const auto& [ancien, nouveau] : reglages_.renommages) {
        const int ligne = table_->rowCount();
        table_->insertRow(ligne);
        table_->setItem(ligne, 0, new QTableWidgetItem(DepuisCp1252(ancien)));
        table_->setItem(ligne, 1, new QTableWidgetItem(DepuisCp1252(nouveau)));
    }
    GarderLigneVide();
    connect(table_, &QTableWidget::itemChanged, this, [this] { GarderLigneVide(); });
    colonne->addWidget(table_);

    avis_ = new QLabel(this);
    avis_->setObjectName(QStringLiteral("avisRenommages"));
    colonne->addWidget(avis_);

    auto* boutons = new QHBoxLayout;
    const QFont police = PoliceDecorative(8.25, true);
    const auto bouton = [&](const char* nom, const QString& texte, void (DlgRenommer::*action)()) {
        auto* b = new QPushButton(texte, this);
        b->setObjectName(QString::fromLatin1(nom));
        b->setFont(police);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        boutons->addWidget(b);
        return b;
    };
    bouton("boutonAjouter", QStringLiteral("Ajouter"), &DlgRenommer::AjouterLigne);
    bouton("boutonRetirer", QStringLiteral("Retirer"), &DlgRenommer::RetirerLigne);
    boutons->addStretch();
    bouton("boutonQuitter", QStringLiteral("Quitter"), &DlgRenommer::reject);
    bouton("boutonValider", QStringLiteral("Valider"), &DlgRenommer::Valider)->setDefault(true);
    colonne->addLayout(boutons);
    resize(420, 300);
}

void DlgRenommer::Ouvrir(vek::ReglagesNettoyage& reglages, QWidget* parent) {
    DlgRenommer dialogue(reglages, parent);
    dialogue.setWindowModality(Qt::ApplicationModal);
    dialogue.exec();
}

void DlgRenommer::GarderLigneVide() {
    const int n = table_->rowCount();
    if (n == 0 || !Cellule(table_, n - 1, 0).isEmpty() || !Cellule(table_, n - 1, 1).isEmpty())
        table_->insertRow(n);
}

void DlgRenommer::AjouterLigne() {
    GarderLigneVide();
    const int derniere = table_->rowCount() - 1;
    table_->setCurrentCell(derniere, 0);
    if (!table_->item(derniere, 0))
        table_->setItem(derniere, 0, new QTableWidgetItem);
    table_->editItem(table_->item(derniere, 0));
}

void DlgRenommer::RetirerLigne() {
    const int ligne = table_->currentRow();
    if (ligne >= 0 && ligne < table_->rowCount())
        table_->removeRow(ligne);
    GarderLigneVide();
}

void DlgRenommer::Valider() {
    // Les lignes à moitié remplies sont refusées ; un ancien nom renommé deux fois, un nom hors de
    // Windows-1252 aussi.
    std::vector<std::pair<std::string, std::string>> renommages;
    for (int i = 0; i < table_->rowCount(); ++i) {
        const QString ancien = Cellule(table_, i, 0);
        const QString nouveau = Cellule(table_, i, 1);
        if (ancien.isEmpty() && nouveau.isEmpty())
            continue;
        if (ancien.isEmpty() || nouveau.isEmpty()) {
            avis_->setText(
                QStringLiteral("Ligne %1 : il faut un ancien et un nouveau nom.").arg(i + 1));
            return;
        }
        for (int col = 0; col < 2; ++col) {
            const QString& nom = col == 0 ? ancien : nouveau;
            if (const auto c = HorsCp1252(nom)) {
                table_->setCurrentCell(i, col);
                avis_->setText(QStringLiteral("Ligne %1 : « %2 » ne s'écrit pas en Windows-1252, "
                                              "la page de code des journaux (« %3 » n'y est pas).")
                                   .arg(i + 1)
                                   .arg(nom, *c));
                return;
            }
        }
        std::string a = vek::TexteCp1252(VersCp1252(ancien));
        const auto deja = std::find_if(renommages.begin(), renommages.end(),
                                       [&](const auto& p) { return p.first == a; });
        if (deja != renommages.end()) {
            avis_->setText(QStringLiteral("« %1 » est renommé deux fois.").arg(ancien));
            return;
        }
        renommages.emplace_back(std::move(a), VersCp1252(nouveau));
    }
    reglages_.renommages = std::move(renommages);
    accept();
}
