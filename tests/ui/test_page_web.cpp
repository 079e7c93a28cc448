// « Exporter en page web… » : actif quand « Créer le fichier log » l'est, il écrit LogFinal.html
// pour la sélection et les modes du moment, puis le confie au lanceur (le navigateur du bureau).

#include "LecturePublication.h"
#include "OutilsFenetre.h"

#include "BarreEtat.h"

#include <QCheckBox>
#include <QDir>

#include <filesystem>
#include <sstream>

namespace vek::test {
namespace {

using PageWeb = BancFenetre;

TEST_F(PageWeb, ActifQuandCreerLeFichierLogLEst) {
    QAction* exporter = Menu("actionExporterPageWeb");
    const auto etat = [&] {
        EXPECT_EQ(exporter->isEnabled(), Bouton("boutonCreerLog")->isEnabled());
        return exporter->isEnabled();
    };
    EXPECT_FALSE(etat()) << "au démarrage";
    ChoisirJournal(JournalLong(5000));
    EXPECT_FALSE(etat()) << "journal choisi";
    Cliquer("boutonRecherche");
    EXPECT_TRUE(etat()) << "après la recherche";
    // Inactif pendant une écriture ou une exportation, et son déclenchement n'y fait rien.
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    for (bool parLeMenu : {false, true}) {
        bool pendant = true;
        PendantLaPasse([&] {
            pendant = etat();
            exporter->trigger();
        });
        if (parLeMenu)
            exporter->trigger();
        else
            QTest::mouseClick(Bouton("boutonCreerLog"), Qt::LeftButton);
        AttendreFinDePasse();
        EXPECT_FALSE(pendant);
        EXPECT_TRUE(etat()) << "après la passe";
    }
    EXPECT_EQ(lanceur.ouverts.size(), 2u) << "une seule passe à la fois";
}

TEST_F(PageWeb, EcritLaPageDeLaSelectionEtDesModesPuisLOuvre) {
    ChoisirJournal(Ligne(24, 12, 2001, "[Commerce] \"Aldric\": bonjour <tous>") +
                   Ligne(24, 12, 2001,
                         "[Guilde] \"B\xE9reng\xE8re\": non coch\xE9"
                         "e") +
                   Ligne(25, 12, 2001, "{Aldric}\":\"joyeux No\xEBl") +
                   Ligne(25, 12, 2001, "Aldric vous appelle : tu viens ?"));
    Cliquer("boutonRecherche");
    for (const char* channel : {"[Commerce]", "Zone de proximité"})
        Cocher("arbreChannels", channel);
    for (const char* nom : {"Aldric", " Vos Whisps reçus"})
        Cocher("arbreNoms", nom);
    const std::string page = programme.Fichier("LogFinal.html");
    const std::string texte = programme.Fichier("LogFinal.txt");
    for (const Modes modes : {Modes{}, Modes{true, true, true}}) {
        fenetre->Modes() = modes;
        lanceur.ouverts.clear();
        Menu("actionExporterPageWeb")->trigger();
        AttendreFinDePasse();
        EXPECT_TRUE(messages.empty());
        ASSERT_EQ(lanceur.ouverts, std::vector<std::string>{page});
        EXPECT_FALSE(std::filesystem::exists(texte)) << "seule la page s'écrit";
        // Les entrées des lignes que « Créer le fichier log » écrit avec la même sélection et les
        // mêmes modes.
        const PageLue lue = LirePage(LireTout(page));
        ASSERT_EQ(lue.erreur, "");
        Cliquer("boutonCreerLog");
        std::vector<std::string> lignes;
        std::istringstream contenu(LireTout(texte));
        for (std::string l; std::getline(contenu, l);)
            lignes.push_back(DecoderCp1252(l.substr(0, l.size() - 1), true));
        ASSERT_EQ(lignes.size(), 9 + 3 + 11u);
        ASSERT_EQ(lue.entrees.size(), 3u);
        // « Nom : texte », sans la ponctuation du journal, l'heure en tête sauf sans la date.
        const char* attendus[] = {"Aldric : bonjour <tous>", "Aldric : joyeux Noël",
                                  "Aldric : tu viens ?"};
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_TRUE(lue.entrees[k].texte.ends_with(attendus[k])) << lue.entrees[k].texte;
            EXPECT_EQ(lue.entrees[k].texte.starts_with("12:00:00"), !modes.ModeUnlessDate);
        }
        EXPECT_EQ(lue.titres.size(), modes.ModeUnlessDate ? 0u : 2u);
        std::filesystem::remove(texte);
    }
}

TEST_F(PageWeb, SansNavigateurLeCheminEstDitEtUnEchecEstMontre) {
    ChoisirJournal(JournalLong(10));
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    lanceur.ouvert = false;
    Menu("actionExporterPageWeb")->trigger();
    AttendreFinDePasse();
    const QString chemin =
        QDir::toNativeSeparators(QString::fromStdString(programme.Fichier("LogFinal.html")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].icone, Icone::Stop);
    EXPECT_TRUE(messages[0].texte.contains(chemin) && messages[0].texte.contains("navigateur"))
        << messages[0].texte.toStdString();
    // Une page impossible à écrire : seul l'échec est dit, rien n'est ouvert.
    std::filesystem::remove(programme.Fichier("LogFinal.html"));
    std::filesystem::create_directory(programme.Fichier("LogFinal.html"));
    messages.clear();
    lanceur.ouverts.clear();
    Menu("actionExporterPageWeb")->trigger();
    AttendreFinDePasse();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    EXPECT_TRUE(messages[0].texte.contains("LogFinal.html")) << messages[0].texte.toStdString();
    EXPECT_TRUE(lanceur.ouverts.empty());
}

// Au-delà de 5000 entrées, la page unique est accompagnée du dossier découpé par jour, dont le
// sommaire est ouvert ; en deçà, seule la page s'écrit et s'ouvre.
TEST_F(PageWeb, AuDelaDUnePageDEntreesLeDossierParJourEstOuvert) {
    for (const int lignes : {5000, 5001}) {
        SCOPED_TRACE(lignes);
        ChoisirJournal(JournalLong(lignes));
        Cliquer("boutonRecherche");
        // Les coches d'une recherche de même période restent : on coche ce qui ne l'est pas.
        for (const char* nom : {"caseTousLesChannels", "caseToutLeMonde"})
            if (Controle<QCheckBox>(nom)->checkState() != Qt::Checked)
                QTest::mouseClick(Controle<QCheckBox>(nom), Qt::LeftButton);
        lanceur.ouverts.clear();
        Menu("actionExporterPageWeb")->trigger();
        AttendreFinDePasse();
        const std::string sommaire = programme.Fichier("LogFinal/index.html");
        const bool decoupee = lignes > 5000;
        ASSERT_EQ(lanceur.ouverts.size(), 1u);
        EXPECT_EQ(lanceur.ouverts[0], decoupee ? sommaire : programme.Fichier("LogFinal.html"));
        EXPECT_EQ(std::filesystem::exists(sommaire), decoupee);
        EXPECT_EQ(LirePage(LireTout(programme.Fichier("LogFinal.html"))).entrees.size(),
                  static_cast<std::size_t>(lignes));
        if (decoupee) {
            EXPECT_EQ(
                LirePage(LireTout(programme.Fichier("LogFinal/2001-12-24.html"))).entrees.size(),
                5000u);
            EXPECT_EQ(
                LirePage(LireTout(programme.Fichier("LogFinal/2001-12-24-2.html"))).entrees.size(),
                1u);
        }
    }
}

// Une page unique de plus de 50 000 entrées est écrite, mais la barre d'état dit sa taille et
// conseille le dossier par jour, ouvert à sa place ; en deçà, la barre n'en dit rien.
TEST_F(PageWeb, UnePageTropLongueEstSignaleeDansLaBarreDEtat) {
    struct Cas {
        int lignes;
        const char* attendu; // ce que dit la barre, vide : rien sur la taille
    };
    for (const Cas& c : {Cas{5001, ""}, Cas{50001, "LogFinal.html tient 50\u202F001 entrées"}}) {
        SCOPED_TRACE(c.lignes);
        ChoisirJournal(JournalLong(c.lignes));
        Cliquer("boutonRecherche");
        for (const char* nom : {"caseTousLesChannels", "caseToutLeMonde"})
            if (Controle<QCheckBox>(nom)->checkState() != Qt::Checked)
                QTest::mouseClick(Controle<QCheckBox>(nom), Qt::LeftButton);
        lanceur.ouverts.clear();
        Menu("actionExporterPageWeb")->trigger();
        AttendreFinDePasse();
        ASSERT_EQ(lanceur.ouverts.size(), 1u);
        EXPECT_EQ(lanceur.ouverts[0], programme.Fichier("LogFinal/index.html"));
        auto* barre = qobject_cast<BarreEtat*>(fenetre->statusBar());
        ASSERT_NE(barre, nullptr);
        const QString texte = barre->Texte();
        EXPECT_EQ(texte.contains(QStringLiteral("trop pour un navigateur")), *c.attendu != 0)
            << texte.toStdString();
        if (*c.attendu) {
            EXPECT_TRUE(texte.contains(QString::fromUtf8(c.attendu))) << texte.toStdString();
            EXPECT_TRUE(texte.contains(QStringLiteral("dossier par jour")));
        }
        EXPECT_TRUE(texte.endsWith(QDir::toNativeSeparators(
            QString::fromStdString(programme.Fichier("LogFinal/index.html")))))
            << texte.toStdString();
    }
}

} // namespace
} // namespace vek::test
