// La fenêtre principale à 2× (QT_SCALE_FACTOR=2) sur un écran de 1920 × 1080 : elle tient entière
// à l'écran, son milieu défilant au besoin, et reste utilisable de bout en bout. Un programme à
// part : le facteur d'échelle et l'écran se posent avant la création de QApplication.

#include "OutilsFenetre.h"

#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

#include <fstream>

#include "Apparence.h"
#include "EnvironnementDeTest.h"

namespace vek::test {
namespace {

using Echelle = BancFenetre;

// La place d'un contrôle dans la fenêtre, coordonnées de l'écran.
QRect AEcran(const QWidget* w) {
    return {w->mapToGlobal(QPoint(0, 0)), w->size()};
}

TEST_F(Echelle, ADeuxFoisSurUnEcranDe1920x1080LaFenetreTientEntiere) {
    const QScreen* ecran = fenetre->screen();
    ASSERT_NE(ecran, nullptr);
    ASSERT_EQ(ecran->devicePixelRatio(), 2.0);
    const QRect zone = ecran->availableGeometry();
    ASSERT_EQ(zone.size(), QSize(960, 540)); // en pixels logiques
    ChoisirJournal(LireTout(VEK_JOURNAL_EXEMPLE));
    for (FrmAnalyse* resume : fenetre->FenetresAnalyse()) {
        EXPECT_TRUE(zone.contains(resume->frameGeometry()));
        resume->close();
    }
    Activer();
    Cliquer("boutonRecherche");
    EXPECT_TRUE(zone.contains(fenetre->frameGeometry()))
        << fenetre->frameGeometry().height() << " pour " << zone.height();
    // Le menu, la barre d'état et tout ce qui n'est pas au milieu : entiers dans la fenêtre.
    const QRect fenetreAEcran = AEcran(fenetre.get());
    const QWidget* entiers[] = {fenetre->menuBar(),
                                fenetre->statusBar(),
                                Champ("cheminJournal"),
                                Champ("dateFin"),
                                Bouton("boutonRecherche"),
                                Champ("champChercher"),
                                Controle<QWidget>("bilanRecherche"),
                                Bouton("boutonQuitter"),
                                Bouton("boutonCreerLog")};
    for (const QWidget* w : entiers)
        EXPECT_TRUE(fenetreAEcran.contains(AEcran(w))) << w->objectName().toStdString();
    // Le milieu défile jusqu'à sa dernière case.
    auto* milieu = Controle<QScrollArea>("zoneMilieu");
    EXPECT_GT(Arbre("arbreNoms")->height(), 30);
    auto* caseChannels = Controle<QCheckBox>("caseTousLesChannels");
    milieu->ensureWidgetVisible(caseChannels);
    QApplication::processEvents();
    EXPECT_TRUE(AEcran(milieu->viewport()).contains(AEcran(caseChannels)));
    QTest::mouseClick(caseChannels, Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("arbreChannels"), Arbre("arbreChannels")->topLevelItemCount());
}

TEST_F(Echelle, ADeuxFoisLaFenetreSElargitJusquAuBordDeLEcran) {
    const QRect zone = fenetre->screen()->availableGeometry();
    fenetre->resize(zone.width(), fenetre->height());
    QApplication::processEvents();
    EXPECT_EQ(fenetre->width(), zone.width());
    EXPECT_GE(AEcran(Controle<QWidget>("banniere")).right(), AEcran(fenetre.get()).right());
    EXPECT_GT(Champ("cheminJournal")->width(), zone.width() / 2);
}

} // namespace
} // namespace vek::test

int main(int argc, char* argv[]) {
    // Un écran de 1920 × 1080 pixels, à 2× : 960 × 540 pixels logiques.
    const std::filesystem::path ecran = std::filesystem::temp_directory_path() /
                                        ("vek-ecran-" + std::to_string(::getpid()) + ".json");
    std::ofstream(ecran) << R"({"screens": [{"name": "1080p", "x": 0, "y": 0, "width": 1920,)"
                         << R"("height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96}]})";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + ecran.string().c_str());
    qputenv("QT_SCALE_FACTOR", "2");
    vek::test::PreparerEnvironnementDeTest();
    int code = 1;
    {
        QApplication application(argc, argv);
        if (PreparerApparence()) {
            ::testing::InitGoogleTest(&argc, argv);
            code = RUN_ALL_TESTS();
        }
    }
    std::filesystem::remove(ecran);
    return code;
}
