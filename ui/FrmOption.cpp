#include "FrmOption.h"

#include "ui_FrmOption.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>

#include "Apparence.h"
#include "DlgRenommer.h"

void FrmOption::Ouvrir(vek::ModesPartages& modes, vek::ReglagesNettoyage* nettoyage) {
    // Chaque ouverture construit une boîte neuve ; son chargement précède le remplissage.
    FrmOption boite(modes, nullptr, nettoyage);
    boite.RemplirDepuisModes();
    boite.setWindowModality(Qt::ApplicationModal);
    boite.exec();
    // Rien n'est relu ici : seul « Valider » écrit les modes.
}

FrmOption::FrmOption(vek::ModesPartages& modes, QWidget* parent, vek::ReglagesNettoyage* nettoyage)
    : QDialog(parent), ui(std::make_unique<Ui::FrmOption>()), modes_(modes),
      nettoyage_(nettoyage ? *nettoyage : propre_) {
    ui->setupUi(this);
    // Cadre ordinaire redimensionnable, avec les boutons usuels de la barre de titre.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    PoserFondBlanc(this);

    const QFont rangee = PoliceDecorative(9.75, false);
    ui->legendeSansDate->setFont(rangee);
    ui->legendeNomRP->setFont(rangee);
    ui->legendeSansChannel->setFont(rangee);
    ui->legendeSansHrp->setFont(rangee);
    ui->legendeAnonymiser->setFont(rangee);
    const QFont boutons = PoliceDecorative(8.25, true);
    ui->boutonRenommer->setFont(boutons);
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
    connect(ui->boutonRenommer, &QPushButton::clicked, this, &FrmOption::Renommer);

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
    ui->caseSansHrp->setChecked(nettoyage_.sansHrp);
    ui->caseAnonymiser->setChecked(nettoyage_.anonymiser);
}

void FrmOption::Valider() {
    // Les trois cases d'un seul coup : une écriture en cours ne voit jamais un mélange.
    modes_.Publier({ui->caseSansDate->isChecked(), ui->caseNomRP->isChecked(),
                    ui->caseSansChannel->isChecked()});
    // Le nettoyage vaut pour la passe suivante (une passe en cours garde le sien).
    nettoyage_.sansHrp = ui->caseSansHrp->isChecked();
    nettoyage_.anonymiser = ui->caseAnonymiser->isChecked();
    accept();
}

void FrmOption::Renommer() {
    DlgRenommer::Ouvrir(nettoyage_, this);
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
