#include "frmCalendar.h"

#include "ui_frmCalendar.h"

#include "Apparence.h"
#include "Images.h"

#include <QKeyEvent>
#include <QScreen>
#include <QTableView>

namespace {

QDate VersQDate(vek::Date date) {
    return {date.annee, date.mois, date.jour};
}

vek::Date DepuisQDate(QDate date) {
    return {date.year(), date.month(), date.day()};
}

} // namespace

frmCalendar::frmCalendar(std::optional<vek::Date>& dateChoisie,
                         std::optional<vek::Date> dateDuChamp, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmCalendar>()), dateChoisie_(dateChoisie) {
    ui->setupUi(this);
    // Bordure fixe de boîte de dialogue, ni agrandissement ni réduction, pas de légende.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(284, 245);
    // Barre de titre vide : sans légende, Qt y mettrait le nom du programme.
    setWindowTitle(QStringLiteral(" "));
    PoserFondBlanc(this);
    setFont(PoliceSansSerif(8.25));
    PoserImage(ui->bordureHaut, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->bordureBas, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->bordureGauche, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->bordureDroite, QStringLiteral("degrade-vertical.svg"));

    // Noms des mois et des jours en français, semaine commençant le lundi.
    ui->calendrier->setLocale(QLocale(QLocale::French, QLocale::France));

    connect(ui->boutonValider, &QPushButton::clicked, this, &frmCalendar::Valider);
    connect(ui->boutonAnnuler, &QPushButton::clicked, this, &frmCalendar::Annuler);
    // Le double-clic sur un jour fait ce que fait Valider. La vue du calendrier signale aussi
    // la touche Entrée par « activated » : seul le double-clic est retenu.
    if (auto* vue = ui->calendrier->findChild<QTableView*>())
        vue->viewport()->installEventFilter(this);
    connect(ui->calendrier, &QCalendarWidget::activated, this, [this] {
        if (doubleClicEnCours_)
            calendrier_DblClick();
    });

    EtatInitial(dateDuChamp);
    if (const QScreen* ecran = screen())
        move(ecran->availableGeometry().center() - rect().center());
}

frmCalendar::~frmCalendar() = default;

std::optional<vek::Date> frmCalendar::Choisir(QWidget* parent,
                                              std::optional<vek::Date> dateDuChamp) {
    std::optional<vek::Date> dateChoisie;
    frmCalendar boite(dateChoisie, dateDuChamp, parent);
    boite.exec();
    return dateChoisie;
}

void frmCalendar::EtatInitial(std::optional<vek::Date> dateDuChamp) {
    // Ouvert sur la date du champ, pour arriver tout de suite aux dates du journal ; sur la date
    // du jour quand le champ n'en contient pas (ou une que le calendrier ne montre pas).
    const QDate champ = dateDuChamp ? VersQDate(*dateDuChamp) : QDate();
    const bool montrable = champ.isValid() && champ >= ui->calendrier->minimumDate() &&
                           champ <= ui->calendrier->maximumDate();
    ui->calendrier->setSelectedDate(montrable ? champ : VersQDate(vek::Aujourdhui()));
}

void frmCalendar::Valider() {
    const QDate date = ui->calendrier->selectedDate();
    // Un calendrier sans jour choisi vaut une annulation, et le 1er janvier 1900 aussi : c'est
    // la date qui disait « rien de choisi ».
    if (date.isValid() && date != QDate(1900, 1, 1))
        dateChoisie_ = DepuisQDate(date);
    else
        dateChoisie_.reset();
    accept();
}

void frmCalendar::Annuler() {
    dateChoisie_.reset();
    reject();
}

void frmCalendar::calendrier_DblClick() {
    Valider();
}

void frmCalendar::keyPressEvent(QKeyEvent* evenement) {
    // Aucun bouton n'est bouton par défaut ni d'annulation : Entrée et Échap ne font rien.
    switch (evenement->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        evenement->accept();
        return;
    default:
        QDialog::keyPressEvent(evenement);
    }
}

bool frmCalendar::eventFilter(QObject* objet, QEvent* evenement) {
    switch (evenement->type()) {
    case QEvent::MouseButtonDblClick:
        doubleClicEnCours_ = true;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
        doubleClicEnCours_ = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(objet, evenement);
}
