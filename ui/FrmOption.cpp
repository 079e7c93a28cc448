#include "FrmOption.h"

#include "ui_FrmOption.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>

#include "Apparence.h"
#include "ModuleVEK.h"

void FrmOption::Ouvrir(vek::ModesPartages& modes) {
    // Chaque ouverture construit une boîte neuve ; son chargement précède le remplissage.
    FrmOption boite(modes);
    boite.RemplirDepuisModes();
    boite.setWindowModality(Qt::ApplicationModal);
    boite.exec();
    // Rien n'est relu ici : seul « Valider » écrit les modes.
}

FrmOption::FrmOption(vek::ModesPartages& modes, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmOption>()), modes_(modes) {
    ui->setupUi(this);
    // Cadre ordinaire redimensionnable, avec les boutons usuels de la barre de titre.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    PoserFondBlanc(this);

    const QFont rangee = PoliceDecorative(9.75, false);
    ui->legendeSansDate->setFont(rangee);
    ui->legendeNomRP->setFont(rangee);
    ui->legendeSansChannel->setFont(rangee);
    const QFont boutons = PoliceDecorative(8.25, true);
    ui->boutonQuitter->setFont(boutons);
    ui->boutonValider->setFont(boutons);
    ui->explication->setFont(PoliceSansSerif(8.25, false, true));

    // Chaque légende est la compagne de sa case (dans le .ui) : un clic sur elle agit comme un
    // clic sur la case, pour toute rangée de la boîte.
    for (QLabel* legende : findChildren<QLabel*>())
        if (qobject_cast<QCheckBox*>(legende->buddy()))
            legende->installEventFilter(this);

    connect(ui->boutonQuitter, &QPushButton::clicked, this, &FrmOption::Abandonner);
    connect(ui->boutonValider, &QPushButton::clicked, this, &FrmOption::Valider);

    EtatInitial();
}

FrmOption::~FrmOption() = default;

void FrmOption::EtatInitial() {
    ui->explication->setText(QStringLiteral("Permet d'extraire le fichier LOG en omettant :\r\n"
                                            " -> La date et l'heure\r\n"
                                            " -> Les guillemets entourant le nom \r\n"
                                            " -> Le nom du Channel."));
}

void FrmOption::RemplirDepuisModes() {
    const vek::Modes modes = modes_.Lire();
    ui->caseSansDate->setChecked(modes.ModeUnlessDate);
    ui->caseNomRP->setChecked(modes.ModeRPName);
    ui->caseSansChannel->setChecked(modes.ModeUnlessChannel);
}

void FrmOption::Valider() {
    // Les trois cases d'un seul coup : une écriture en cours ne voit jamais un mélange.
    modes_.Publier({ui->caseSansDate->isChecked(), ui->caseNomRP->isChecked(),
                    ui->caseSansChannel->isChecked()});
    accept();
}

void FrmOption::Abandonner() {
    reject();
}

void FrmOption::keyPressEvent(QKeyEvent* evenement) {
    if (evenement->key() == Qt::Key_Escape || evenement->matches(QKeySequence::Cancel)) {
        evenement->accept();
        return;
    }
    QDialog::keyPressEvent(evenement);
}

bool FrmOption::eventFilter(QObject* objet, QEvent* evenement) {
    auto* legende = qobject_cast<QLabel*>(objet);
    if (legende && evenement->type() == QEvent::MouseButtonRelease) {
        const auto* souris = static_cast<QMouseEvent*>(evenement);
        auto* boite = qobject_cast<QCheckBox*>(legende->buddy());
        if (boite && boite->isEnabled() && souris->button() == Qt::LeftButton &&
            legende->rect().contains(souris->position().toPoint())) {
            boite->setFocus(Qt::MouseFocusReason);
            boite->click();
            return true;
        }
    }
    return QDialog::eventFilter(objet, evenement);
}
