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
    ui->Lbl1->setFont(PoliceDecorative(9.75, false));
    ui->CmdAnnuler->setFont(PoliceDecorative(8.25, false));
    ui->Lbl1->setTextFormat(Qt::PlainText);
    ui->Lbl1->setWordWrap(false);
    PoserImage(ui->Image1, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->Image2, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->Image3, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->Image6, QStringLiteral("degrade-vertical.svg"));
    connect(ui->CmdAnnuler, &QPushButton::clicked, this, &FrmAnalyse::CmdAnnuler_Click);
    if (const QScreen* ecran = screen())
        move(ecran->availableGeometry().center() - rect().center());
}

FrmAnalyse::~FrmAnalyse() = default;

void FrmAnalyse::DefinirResume(const QString& texte) {
    QString lignes = texte;
    lignes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->Lbl1->setText(lignes);
}

QString FrmAnalyse::Resume() const {
    return ui->Lbl1->text();
}

void FrmAnalyse::CmdAnnuler_Click() {
    close();
}

void FrmAnalyse::keyPressEvent(QKeyEvent* evenement) {
    // CmdAnnuler est le bouton d'annulation : Échap l'actionne.
    if (evenement->key() == Qt::Key_Escape) {
        ui->CmdAnnuler->click();
        evenement->accept();
        return;
    }
    QDialog::keyPressEvent(evenement);
}
