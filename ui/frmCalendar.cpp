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

frmCalendar::frmCalendar(vek::Date& dateChoisie, QWidget* parent)
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
    PoserImage(ui->Image1, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->Image2, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->Image3, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->Image4, QStringLiteral("degrade-vertical.svg"));

    // Noms des mois et des jours en français, semaine commençant le lundi.
    ui->Calendar->setLocale(QLocale(QLocale::French, QLocale::France));

    connect(ui->CmdValider, &QPushButton::clicked, this, &frmCalendar::CmdValider_Click);
    connect(ui->CmdsAnnuler, &QPushButton::clicked, this, &frmCalendar::CmdsAnnuler_Click);
    // Le double-clic sur un jour fait ce que fait Valider. La vue du calendrier signale aussi
    // la touche Entrée par « activated » : seul le double-clic est retenu.
    if (auto* vue = ui->Calendar->findChild<QTableView*>())
        vue->viewport()->installEventFilter(this);
    connect(ui->Calendar, &QCalendarWidget::activated, this, [this] {
        if (doubleClicEnCours_)
            Calendar_DblClick();
    });

    Form_Load();
    if (const QScreen* ecran = screen())
        move(ecran->availableGeometry().center() - rect().center());
}

frmCalendar::~frmCalendar() = default;

std::optional<vek::Date> frmCalendar::Choisir(QWidget* parent) {
    vek::Date dateChoisie = vek::DateSentinelle;
    frmCalendar boite(dateChoisie, parent);
    boite.exec();
    if (dateChoisie == vek::DateSentinelle)
        return std::nullopt;
    return dateChoisie;
}

void frmCalendar::Form_Load() {
    // Toujours ouvert sur la date du jour, quoi que contiennent les champs de date.
    ui->Calendar->setSelectedDate(VersQDate(vek::Aujourdhui()));
}

void frmCalendar::CmdValider_Click() {
    const QDate date = ui->Calendar->selectedDate();
    // Un calendrier sans jour choisi vaut une annulation.
    dateChoisie_ = date.isValid() ? DepuisQDate(date) : vek::DateSentinelle;
    accept();
}

void frmCalendar::CmdsAnnuler_Click() {
    dateChoisie_ = vek::DateSentinelle;
    reject();
}

void frmCalendar::Calendar_DblClick() {
    CmdValider_Click();
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
