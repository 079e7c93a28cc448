#include "frmAbout.h"

#include "ui_frmAbout.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPixmap>

#include "Apparence.h"
#include "Images.h"
#include "TexteQt.h"
#include "VersionVEK.h"

namespace {

// L'icône de la boîte, 32 par 32, dessinée par le projet.
QPixmap IconeAPropos(qreal ratio) {
    return ImageDessin(QStringLiteral("vek-log.svg"), QSize(32, 32), ratio);
}

} // namespace

// --- Services du lanceur d'informations système ---

ServicesInfoSystemeFenetres::ServicesInfoSystemeFenetres(Afficheur afficheur, QWidget* dessous)
    : afficheur_(std::move(afficheur)), parent_(dessous) {
    if (!afficheur_) {
        afficheur_ = [](QWidget* parent, const QString& texte, const QString& titre) {
            QMessageBox boite(QMessageBox::NoIcon, titre, texte, QMessageBox::Ok, parent);
            boite.exec();
        };
    }
}

void ServicesInfoSystemeFenetres::Message(std::string_view texte, std::string_view titre) {
    // Par-dessus la fenêtre modale ouverte (la boîte « À propos »), sinon la fenêtre donnée.
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr)
        parent = parent_ != nullptr ? parent_ : QApplication::activeWindow();
    afficheur_(parent, DepuisUtf8(texte), DepuisUtf8(titre));
}

// --- La boîte ---

QPointer<frmAbout> frmAbout::instance_;

void frmAbout::Afficher(QWidget* parent, std::function<void()> infoSysteme) {
    if (instance_.isNull())
        instance_ = new frmAbout(parent);
    else if (instance_->parentWidget() != parent)
        instance_->setParent(parent, instance_->windowFlags());
    frmAbout& boite = *instance_;
    boite.infoSysteme_ = std::move(infoSysteme);
    // Chaque affichage recharge la boîte.
    boite.EtatInitial();
    boite.ui->cmdOK->setFocus();
    boite.exec();
    if (!instance_.isNull())
        instance_->infoSysteme_ = {};
}

frmAbout* frmAbout::Instance() {
    return instance_.data();
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmAbout>()) {
    ui->setupUi(this);
    // Cadre de dialogue fixe : ni redimensionnement, ni réduction, ni agrandissement.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    tailleDessin_ = size();
    for (QWidget* controle : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        dessin_.emplace_back(controle, controle->geometry());
    PoserFondBlanc(this);
    setWindowModality(Qt::ApplicationModal);

    // Textes en noir ; les étiquettes gardent la police de dialogue.
    for (QLabel* etiquette :
         {ui->lblTitle, ui->lblVersion, ui->lblDescription, ui->lblDisclaimer}) {
        QPalette palette = etiquette->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        etiquette->setPalette(palette);
        etiquette->setFont(PoliceSansSerif(8.25));
    }
    const QFont boutons = PoliceDecorative(8.25, false);
    ui->cmdOK->setFont(boutons);
    ui->cmdSysInfo->setFont(boutons);

    // Séparateur gravé : un trait gris puis un trait blanc.
    QPalette gris = ui->traitHaut->palette();
    gris.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    ui->traitHaut->setPalette(gris);
    QPalette blanc = ui->traitBas->palette();
    blanc.setColor(QPalette::Window, Qt::white);
    ui->traitBas->setPalette(blanc);

    ui->picIcon->setPixmap(IconeAPropos(devicePixelRatioF()));

    connect(ui->cmdOK, &QPushButton::clicked, this, &frmAbout::Fermer);
    connect(ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::LancerInfoSysteme);
}

frmAbout::~frmAbout() = default;

void frmAbout::EtatInitial() {
    const QString titre = QStringLiteral(VEK_NOM_PRODUIT);
    setWindowTitle(QStringLiteral("À propos de ") + titre);
    ui->lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                                .arg(VEK_VERSION_MAJEURE)
                                .arg(VEK_VERSION_MINEURE)
                                .arg(VEK_VERSION_REVISION));
    ui->lblTitle->setText(titre);
    ui->lblDescription->setText(
        QStringLiteral("VEK Log est un extracteur de LOG, qui vous permet de retirer ") +
        QStringLiteral("de votre fichier LOG Q7R, les conversation nécessaires à votre usage. ") +
        QStringLiteral("\r\n\r\n") +
        QStringLiteral(
            "Ainsi il devient trés aisé de savoir qui a dit quoi sur quel chan à quelle date :)"));
    ui->lblDisclaimer->setText(QStringLiteral(
        "Le logiciel a été testé sur tous les Systèmes basés sur Windows, cependant, nous ne "
        "sommes pas responsables des éventuels mauvais fonctionnement du logiciel et des suites "
        "possibles ..."));
    AjusterAuxTextes();
}

void frmAbout::AjusterAuxTextes() {
    for (const auto& [controle, position] : dessin_)
        controle->setGeometry(position);
    int hauteur = tailleDessin_.height();
    for (QLabel* etiquette : {ui->lblDescription, ui->lblDisclaimer}) {
        const int manque = etiquette->heightForWidth(etiquette->width()) - etiquette->height();
        if (manque <= 0)
            continue;
        const int basAvant = etiquette->geometry().bottom();
        etiquette->resize(etiquette->width(), etiquette->height() + manque);
        for (const auto& [controle, position] : dessin_)
            if (controle != etiquette && controle->y() > basAvant)
                controle->move(controle->x(), controle->y() + manque);
        hauteur += manque;
    }
    setFixedSize(tailleDessin_.width(), hauteur);
}

void frmAbout::Fermer() {
    accept();
}

void frmAbout::LancerInfoSysteme() {
    // La boîte reste ouverte ; le message d'échec s'affiche par-dessus elle.
    if (infoSysteme_)
        infoSysteme_();
}

void frmAbout::keyPressEvent(QKeyEvent* evenement) {
    if (evenement->key() == Qt::Key_Escape || evenement->matches(QKeySequence::Cancel)) {
        evenement->accept();
        ui->cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(evenement);
}
