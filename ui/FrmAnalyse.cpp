#include "FrmAnalyse.h"

#include "ui_FrmAnalyse.h"

#include "Apparence.h"
#include "Images.h"
#include "ModeleJournaux.h"
#include "ModeleSessions.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QSpinBox>

#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <algorithm>

FrmAnalyse::FrmAnalyse(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmAnalyse>()), modele_(new ModeleSessions(this)),
      journaux_(new ModeleJournaux(this)) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // Fenêtre outil à bordure fixe simple, ni agrandissement ni réduction : avec la fenêtre
    // principale pour propriétaire, elle reste au-dessus d'elle.
    setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(460, 300);
    PoserFondBlanc(this);
    ui->resume->setFont(PoliceDecorative(9.75, false));
    ui->boutonAnnuler->setFont(PoliceDecorative(8.25, false));
    ui->resume->setTextFormat(Qt::PlainText);
    ui->resume->setWordWrap(false);
    PoserImage(ui->bordureHaut, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->bordureBas, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->bordureGauche, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->bordureDroite, QStringLiteral("degrade-vertical.svg"));
    for (QWidget* controle :
         {static_cast<QWidget*>(ui->boutonChoisir), static_cast<QWidget*>(ui->boutonCeSoir)})
        controle->setFont(PoliceDecorative(8.25, false));
    connect(ui->boutonAnnuler, &QPushButton::clicked, this, &FrmAnalyse::Fermer);
    connect(ui->boutonCeSoir, &QPushButton::clicked, this, &FrmAnalyse::SelectionnerCeSoir);
    connect(ui->boutonChoisir, &QPushButton::clicked, this, &FrmAnalyse::Choisir);
    connect(ui->champPause, &QSpinBox::valueChanged, this, &FrmAnalyse::PauseChangee);
    PreparerListe();
    PreparerTableJournaux();
    if (const QScreen* ecran = screen())
        move(ecran->availableGeometry().center() - rect().center());
}

void FrmAnalyse::PreparerListe() {
    // La liste des séances défile : la fenêtre garde sa taille quel que soit leur nombre.
    ui->listeSessions->setModel(modele_);
    ui->listeSessions->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->listeSessions->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ui->listeSessions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView* entete = ui->listeSessions->header();
    entete->setStretchLastSection(true);
    entete->setSectionsMovable(false);
    const int largeurs[] = {72, 44, 80, 48};
    for (int i = 0; i < 4; ++i)
        entete->resizeSection(i, largeurs[i]);
    connect(ui->listeSessions, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ChoisirSession(index.row()); });
    connect(ui->listeSessions->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ui->boutonChoisir->setEnabled(!RangeesChoisies().empty()); });
}

void FrmAnalyse::PreparerTableJournaux() {
    tableJournaux_ = new QTableView(this);
    tableJournaux_->setObjectName(QStringLiteral("tableJournaux"));
    tableJournaux_->setModel(journaux_);
    tableJournaux_->setAccessibleName(QStringLiteral("Journaux fusionnés"));
    tableJournaux_->verticalHeader()->hide();
    tableJournaux_->setSelectionMode(QAbstractItemView::SingleSelection);
    tableJournaux_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                    QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::AnyKeyPressed);
    tableJournaux_->verticalHeader()->setDefaultSectionSize(20);
    QHeaderView* entete = tableJournaux_->horizontalHeader();
    entete->setStretchLastSection(true);
    entete->resizeSection(ModeleJournaux::Journal, 110);
    entete->resizeSection(ModeleJournaux::Horloge, 190);
    tableJournaux_->hide();
    connect(journaux_, &ModeleJournaux::DonneesChangees, this, &FrmAnalyse::DonneesChangees);
}

void FrmAnalyse::DefinirJournaux(std::vector<vek::JournalDeSource> journaux, bool aTrouver) {
    const int nombre = journaux.size() > 1 ? static_cast<int>(journaux.size()) : 0;
    journaux_->Definir(nombre ? std::move(journaux) : std::vector<vek::JournalDeSource>{},
                       aTrouver);
    // L'en-tête et jusqu'à quatre rangées ; au-delà, le tableau défile.
    Decaler(nombre ? 24 + 20 * std::min(nombre, 4) + 6 : 0);
    tableJournaux_->setVisible(nombre > 0);
}

void FrmAnalyse::Decaler(int hauteur) {
    const int ancien = std::exchange(decalage_, hauteur);
    const int dy = hauteur - ancien;
    const int dessous = ui->listeSessions->y();
    const int haut = dessous - ancien; // le haut du tableau, où commençait la liste
    if (dy != 0) {
        for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w != tableJournaux_ && w->y() >= dessous)
                w->move(w->x(), w->y() + dy);
        for (QWidget* w : {ui->bordureGauche, ui->bordureDroite})
            w->resize(w->width(), w->height() + dy);
        setFixedSize(width(), height() + dy);
    }
    tableJournaux_->setGeometry(ui->listeSessions->x(), haut, ui->listeSessions->width(),
                                std::max(0, hauteur - 4));
}

std::vector<int> FrmAnalyse::RangeesChoisies() const {
    std::vector<int> rangees;
    for (const QModelIndex& index : ui->listeSessions->selectionModel()->selectedRows())
        rangees.push_back(index.row());
    return rangees;
}

FrmAnalyse::~FrmAnalyse() = default;

void FrmAnalyse::DefinirResume(const QString& texte) {
    QString lignes = texte;
    lignes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->resume->setText(lignes);
}

QString FrmAnalyse::Resume() const {
    return ui->resume->text();
}

void FrmAnalyse::DefinirSessions(std::vector<vek::Session> sessions) {
    modele_->Definir(std::move(sessions));
    ui->boutonChoisir->setEnabled(false);
    if (modele_->rowCount() > 0)
        ui->listeSessions->setCurrentIndex(modele_->index(0, 0)); // la plus récente
}

void FrmAnalyse::DefinirPause(int minutes) {
    const QSignalBlocker bloque(ui->champPause);
    ui->champPause->setValue(minutes);
}

int FrmAnalyse::Pause() const {
    return ui->champPause->value();
}

void FrmAnalyse::SelectionnerCeSoir() {
    QItemSelection selection;
    for (const int r : modele_->RangeesDuDernierSoir())
        selection.select(modele_->index(r, 0),
                         modele_->index(r, ModeleSessions::NombreColonnes - 1));
    if (selection.isEmpty())
        return;
    QItemSelectionModel* modele = ui->listeSessions->selectionModel();
    modele->select(selection, QItemSelectionModel::ClearAndSelect);
    modele->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
    ui->listeSessions->scrollTo(selection.last().topLeft());
    ui->listeSessions->setFocus();
}

void FrmAnalyse::Choisir() {
    const auto periode = modele_->PeriodeDes(RangeesChoisies());
    if (!periode)
        return;
    emit PeriodeChoisie(TexteBorneSession(periode->debut), TexteBorneSession(periode->fin));
    close();
}

int FrmAnalyse::NombreSessions() const {
    return modele_->rowCount();
}

void FrmAnalyse::ChoisirSession(int rangee) {
    if (rangee < 0 || rangee >= modele_->rowCount())
        return;
    ui->listeSessions->setCurrentIndex(modele_->index(rangee, 0));
    ui->listeSessions->selectionModel()->select(
        modele_->index(rangee, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Choisir();
}

QPoint FrmAnalyse::Placer(const QRect& principale, const QRect& libre, QSize taille,
                          const QRect& ecran, int rang) {
    constexpr int Marge = 8;
    const QPoint cascade(24 * rang, 24 * rang);
    const QPoint essais[] = {
        {principale.right() + 1 + Marge, principale.top()},
        {principale.left() - Marge - taille.width(), principale.top()},
        {principale.left(), principale.bottom() + 1 + Marge},
        {principale.left(), principale.top() - Marge - taille.height()},
    };
    for (const QPoint& coin : essais) {
        const QRect place(coin + cascade, taille);
        if (ecran.contains(place))
            return place.topLeft();
    }
    // Pas de place autour : dans l'écran, sous les champs de date s'il y a la place.
    int x = std::clamp(principale.left() + cascade.x(), ecran.left(),
                       std::max(ecran.left(), ecran.right() + 1 - taille.width()));
    int y = libre.bottom() + 1 + Marge + cascade.y();
    if (y + taille.height() > ecran.bottom() + 1)
        y = std::max(ecran.top(), ecran.bottom() + 1 - taille.height());
    return {x, y};
}

void FrmAnalyse::Fermer() {
    close();
}

void FrmAnalyse::keyPressEvent(QKeyEvent* evenement) {
    // boutonAnnuler est le bouton d'annulation : Échap l'actionne.
    if (evenement->key() == Qt::Key_Escape) {
        ui->boutonAnnuler->click();
        evenement->accept();
        return;
    }
    QDialog::keyPressEvent(evenement);
}
