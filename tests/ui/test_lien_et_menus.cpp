// Fenêtre principale : le lien vers le site des auteurs, et les menus qui s'adressent aux autres
// unités (information système, « À propos »).

#include "OutilsFenetre.h"

#include <QBitmap>

namespace vek::test {
namespace {

using Fenetre = BancFenetre;

// ---------------------------------------------------------------------------------------------
// Lien vers le site

TEST_F(Fenetre, LienSouligneAuSurvolEtOuvertAuClic) {
    QLabel* lien = Controle<QLabel>("lienSite");
    QWidget* fond = fenetre->centralWidget();
    EXPECT_EQ(lien->text().toStdString(), std::string(AdresseSiteAffichee));
    EXPECT_EQ(lien->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(lien->font().pixelSize(), 16); // 12 points à 96 ppp
    EXPECT_FALSE(lien->font().underline());
    ASSERT_EQ(lien->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(lien->cursor().hotSpot(), QPoint(5, 0));
    EXPECT_EQ(lien->cursor().bitmap().size(), QSize(32, 32));

    // Le texte tient dans la boîte du lien.
    EXPECT_LE(QFontMetrics(lien->font()).horizontalAdvance(lien->text()), lien->width());

    const QPoint coinVide(420, 460); // fond de la fenêtre, hors de tout contrôle
    ASSERT_EQ(fond->childAt(coinVide), nullptr);

    QTest::mouseMove(lien, lien->rect().center());
    EXPECT_TRUE(lien->font().underline());
    // Du lien directement sur un autre contrôle : toujours souligné.
    QTest::mouseMove(Champ("cheminJournal"), QPoint(5, 5));
    EXPECT_TRUE(lien->font().underline());
    QTest::mouseMove(Controle<QLabel>("legendeJournal"), QPoint(2, 2));
    EXPECT_TRUE(lien->font().underline());
    // Sur le fond : plus souligné ; le texte et la couleur restent.
    QTest::mouseMove(fond, coinVide);
    EXPECT_FALSE(lien->font().underline());
    EXPECT_EQ(lien->palette().color(QPalette::WindowText), QColor(Qt::blue));

    QTest::mouseClick(lien, Qt::LeftButton);
    QTest::mouseClick(lien, Qt::LeftButton);
    ASSERT_EQ(lanceur.ouverts.size(), 2u);
    EXPECT_EQ(lanceur.ouverts[0], std::string(AdresseSiteOuverte));
    EXPECT_EQ(lanceur.ouverts[1], std::string(AdresseSiteOuverte));
    EXPECT_NE(lien->text().toStdString(), std::string(AdresseSiteOuverte));
}

// ---------------------------------------------------------------------------------------------
// Menus qui s'adressent aux autres unités

TEST_F(Fenetre, InformationSystemePasseParSonLanceur) {
    Menu("actionInfoSysteme")->trigger();
    EXPECT_EQ(infoSysteme, 1);
}

TEST_F(Fenetre, AProposMontreLaBoiteModale) {
    QString vue;
    QTimer::singleShot(0, qApp, [&] {
        QWidget* boite = QApplication::activeModalWidget();
        ASSERT_NE(boite, nullptr);
        vue = boite->objectName();
        boite->findChild<QPushButton*>("cmdOK")->click();
    });
    Menu("actionAPropos")->trigger();
    EXPECT_EQ(vue, "frmAbout");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace vek::test
