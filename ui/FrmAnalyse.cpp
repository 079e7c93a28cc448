#include "FrmAnalyse.h"

#include "ui_FrmAnalyse.h"

#include "Apparence.h"
#include "Images.h"

#include <QKeyEvent>
#include <QScreen>

FrmAnalyse::FrmAnalyse(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::FrmAnalyse>()) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // Bordure fixe simple, ni agrandissement ni réduction.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(364, 117);
    PoserFondBlanc(this);
    ui->resume->setFont(PoliceDecorative(9.75, false));
    ui->boutonAnnuler->setFont(PoliceDecorative(8.25, false));
    ui->resume->setTextFormat(Qt::PlainText);
    ui->resume->setWordWrap(false);
    PoserImage(ui->bordureHaut, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->bordureBas, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->bordureGauche, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->bordureDroite, QStringLiteral("degrade-vertical.svg"));
    connect(ui->boutonAnnuler, &QPushButton::clicked, this, &FrmAnalyse::Fermer);
    if (const QScreen* ecran = screen())
        move(ecran->availableGeometry().center() - rect().center());
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
