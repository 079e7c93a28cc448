#include "FrmOption.h"

#include "ui_FrmOption.h"

#include <QKeyEvent>
#include <QKeySequence>

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
    ui->Label1->setFont(rangee);
    ui->Label3->setFont(rangee);
    ui->Label2->setFont(rangee);
    const QFont boutons = PoliceDecorative(8.25, true);
    ui->Command1->setFont(boutons);
    ui->Command2->setFont(boutons);
    ui->LblTexte1->setFont(PoliceSansSerif(8.25, false, true));

    connect(ui->Command1, &QPushButton::clicked, this, &FrmOption::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &FrmOption::Command2_Click);

    Form_Load();
}

FrmOption::~FrmOption() = default;

void FrmOption::Form_Load() {
    ui->LblTexte1->setText(QStringLiteral("Permet d'extraire le fichier LOG en omettant :\r\n"
                                          " -> La date et l'heure\r\n"
                                          " -> Les guillemets entourant le nom \r\n"
                                          " -> Le nom du Channel."));
}

void FrmOption::RemplirDepuisModes() {
    const vek::Modes modes = modes_.Lire();
    ui->Check1->setChecked(modes.ModeUnlessDate);
    ui->Check2->setChecked(modes.ModeRPName);
    ui->Check3->setChecked(modes.ModeUnlessChannel);
}

void FrmOption::Command2_Click() {
    // Les trois cases d'un seul coup : une écriture en cours ne voit jamais un mélange.
    modes_.Publier({ui->Check1->isChecked(), ui->Check2->isChecked(), ui->Check3->isChecked()});
    accept();
}

void FrmOption::Command1_Click() {
    reject();
}

void FrmOption::keyPressEvent(QKeyEvent* evenement) {
    if (evenement->key() == Qt::Key_Escape || evenement->matches(QKeySequence::Cancel)) {
        evenement->accept();
        return;
    }
    QDialog::keyPressEvent(evenement);
}
