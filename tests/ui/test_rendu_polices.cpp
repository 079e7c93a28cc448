// La fenêtre principale et le résumé de l'analyse sont rendus pixel pour pixel de la même façon
// quelles que soient les polices de la machine : vek-capture les rend sous trois configurations
// de fontconfig (aucune police, DejaVu seule, Liberation seule) et les images doivent être
// identiques.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <filesystem>
#include <string>
#include <vector>

#include "PolicesDeTest.h"

namespace fs = std::filesystem;

namespace {

struct Rendu {
    QImage principale;
    QImage analyse;
};

class RenduPolices : public ::testing::Test {
protected:
    void SetUp() override {
        std::string modele = (fs::temp_directory_path() / "vek-rendu-XXXXXX").string();
        ASSERT_NE(::mkdtemp(modele.data()), nullptr);
        dossier_ = modele;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dossier_, ec);
    }

    // Rend les deux fenêtres sous une configuration qui ne montre que les dossiers donnés.
    Rendu Rendre(const std::string& nom, const std::vector<std::string>& polices) {
        const fs::path ici = dossier_ / nom;
        fs::create_directories(ici);
        QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
        environnement.insert(
            QStringLiteral("FONTCONFIG_FILE"),
            QString::fromStdString(vek::test::EcrireConfigurationPolices(ici, polices)));
        environnement.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Un dossier personnel à lui, et le même dossier du programme pour chaque rendu : la
        // barre d'état montre le même chemin du journal final.
        const fs::path personnel = ici / "personnel";
        fs::create_directories(personnel);
        environnement.insert(QStringLiteral("HOME"), QString::fromStdString(personnel.string()));
        environnement.insert(QStringLiteral("XDG_CONFIG_HOME"),
                             QString::fromStdString((personnel / ".config").string()));
        environnement.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        const QString principale = QString::fromStdString((ici / "principale.png").string());
        const QString analyse = QString::fromStdString((ici / "analyse.png").string());
        QProcess capture;
        capture.setProcessEnvironment(environnement);
        capture.setProcessChannelMode(QProcess::ForwardedChannels);
        capture.start(QStringLiteral(VEK_CAPTURE),
                      {QStringLiteral(VEK_JOURNAL_EXEMPLE), principale, analyse,
                       QString::fromStdString((dossier_ / "programme").string())});
        EXPECT_TRUE(capture.waitForFinished(60000)) << nom;
        EXPECT_EQ(capture.exitStatus(), QProcess::NormalExit) << nom;
        EXPECT_EQ(capture.exitCode(), 0) << nom;
        // Rien d'écrit dans le dossier personnel.
        EXPECT_TRUE(fs::is_empty(personnel)) << nom;
        return {QImage(principale).convertToFormat(QImage::Format_ARGB32),
                QImage(analyse).convertToFormat(QImage::Format_ARGB32)};
    }

    fs::path dossier_;
};

// Nombre de pixels qui diffèrent entre deux images de même taille.
long PixelsDifferents(const QImage& a, const QImage& b) {
    long differents = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differents += a.pixel(x, y) != b.pixel(x, y);
    return differents;
}

} // namespace

TEST_F(RenduPolices, FenetresIdentiquesQuellesQueSoientLesPolicesDeLaMachine) {
    const std::string dejavu = "/usr/share/fonts/truetype/dejavu";
    const std::string liberation = "/usr/share/fonts/truetype/liberation2";
    if (!fs::is_directory(dejavu) || !fs::is_directory(liberation))
        GTEST_SKIP() << "DejaVu ou Liberation absentes (scripts/dependances.sh les installe)";

    const Rendu reference = Rendre("aucune", {});
    ASSERT_FALSE(reference.principale.isNull());
    ASSERT_FALSE(reference.analyse.isNull());
    for (const auto& [nom, dossier] : {std::pair{"dejavu", dejavu}, {"liberation", liberation}}) {
        const Rendu rendu = Rendre(nom, {dossier});
        ASSERT_EQ(rendu.principale.size(), reference.principale.size()) << nom;
        ASSERT_EQ(rendu.analyse.size(), reference.analyse.size()) << nom;
        EXPECT_EQ(PixelsDifferents(rendu.principale, reference.principale), 0) << nom;
        EXPECT_EQ(PixelsDifferents(rendu.analyse, reference.analyse), 0) << nom;
    }
}
