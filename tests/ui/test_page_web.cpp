// « Exporter en page web… » : actif quand « Créer le fichier log » l'est, il écrit LogFinal.html
// pour la sélection et les modes du moment, puis le confie au lanceur (le navigateur du bureau).

#include "LecturePublication.h"
#include "OutilsFenetre.h"

#include <QCheckBox>
#include <QDir>

#include <filesystem>

namespace vek::test {
namespace {

using PageWeb = BancFenetre;

std::string JournalDeDeuxJours() {
    return Ligne(24, 12, 2001, "[Commerce] \"Aldric\": bonjour <tous>", "20:15:03") +
           Ligne(24, 12, 2001, "[Guilde] \"B\xE9reng\xE8re\": \"Aldric\" est l\xE0", "20:16:00") +
           Ligne(25, 12, 2001, "{Aldric}\":\"joyeux No\xEBl", "08:00:00") +
           Ligne(25, 12, 2001, "Aldric vous appelle : tu viens ?", "09:30:00");
}

// Les lignes retenues de LogFinal.txt, telles que la page doit les montrer.
std::vector<std::string> LignesAttendues(const std::string& contenu) {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0; debut < contenu.size();) {
        const std::size_t fin = contenu.find("\r\n", debut);
        lignes.push_back(DecoderCp1252(contenu.substr(debut, fin - debut), true));
        debut = fin + 2;
    }
    return {lignes.begin() + 9, lignes.end() - 11};
}

std::vector<std::string> Textes(const PageLue& page) {
    std::vector<std::string> textes;
    for (const EntreeLue& e : page.entrees)
        textes.push_back(e.texte);
    return textes;
}

TEST_F(PageWeb, ActifQuandCreerLeFichierLogLEst) {
    QAction* exporter = Menu("mnuExporterPageWeb");
    const auto memeEtat = [&](const char* quand) {
        EXPECT_EQ(exporter->isEnabled(), Bouton("CmdCreerLog")->isEnabled()) << quand;
    };
    memeEtat("au démarrage");
    EXPECT_FALSE(exporter->isEnabled());
    ChoisirJournal(JournalLong(5000));
    memeEtat("journal choisi");
    EXPECT_FALSE(exporter->isEnabled());
    Cliquer("CmdRecherche");
    memeEtat("après la recherche");
    EXPECT_TRUE(exporter->isEnabled());

    // Pendant une passe (une écriture, puis une exportation), inactif comme le bouton ; un
    // déclenchement n'y fait rien.
    QTest::mouseClick(Controle<QCheckBox>("CheckTLC"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("CheckTLM"), Qt::LeftButton);
    for (const auto& lancer :
         {std::function<void()>([&] { Cliquer("CmdCreerLog"); }), std::function<void()>([&] {
              exporter->trigger();
              AttendreFinDePasse();
          })}) {
        bool vu = false;
        PendantLaPasse([&] {
            vu = true;
            memeEtat("pendant la passe");
            EXPECT_FALSE(exporter->isEnabled());
            exporter->trigger();
        });
        lancer();
        ASSERT_TRUE(vu);
        memeEtat("après la passe");
        EXPECT_TRUE(exporter->isEnabled());
    }
    EXPECT_EQ(lanceur.ouverts.size(), 2u) << "une seule passe à la fois";
}

TEST_F(PageWeb, EcritLaPageDeLaSelectionEtDesModesPuisLOuvre) {
    ChoisirJournal(JournalDeDeuxJours());
    Cliquer("CmdRecherche");
    Cocher("TreeViewChannels", "[Commerce]");
    Cocher("TreeViewChannels", "Zone de proximité");
    Cocher("TreeViewNoms", "Aldric");
    Cocher("TreeViewNoms", " Vos Whisps reçus");
    const std::string page = programme.Fichier("LogFinal.html");
    const std::string texte = programme.Fichier("LogFinal.txt");

    for (const Modes modes : {Modes{}, Modes{true, true, true}}) {
        SCOPED_TRACE(modes.ModeUnlessDate ? "trois modes" : "sans mode");
        fenetre->Modes() = modes;
        lanceur.ouverts.clear();
        Menu("mnuExporterPageWeb")->trigger();
        AttendreFinDePasse();
        EXPECT_TRUE(messages.empty());
        ASSERT_EQ(lanceur.ouverts.size(), 1u);
        EXPECT_EQ(std::filesystem::path(lanceur.ouverts[0]), std::filesystem::path(page));
        EXPECT_FALSE(std::filesystem::exists(texte)) << "seule la page s'écrit";

        const PageLue lue = LirePage(LireTout(page));
        ASSERT_EQ(lue.erreur, "");
        // Les mêmes lignes que « Créer le fichier log » avec la même sélection et les mêmes
        // modes.
        Cliquer("CmdCreerLog");
        EXPECT_EQ(Textes(lue), LignesAttendues(LireTout(texte)));
        EXPECT_EQ(lue.entrees.size(), 3u);
        EXPECT_EQ(lue.titres.size(), modes.ModeUnlessDate ? 0u : 2u);
        std::filesystem::remove(texte);
    }
}

TEST_F(PageWeb, SansNavigateurLeCheminEstDonne) {
    ChoisirJournal(JournalDeDeuxJours());
    Cliquer("CmdRecherche");
    lanceur.code = 2;
    Menu("mnuExporterPageWeb")->trigger();
    AttendreFinDePasse();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].icone, Icone::Stop);
    const QString chemin =
        QDir::toNativeSeparators(QString::fromStdString(programme.Fichier("LogFinal.html")));
    EXPECT_TRUE(messages[0].texte.contains(chemin)) << messages[0].texte.toStdString();
    EXPECT_TRUE(messages[0].texte.contains("navigateur")) << messages[0].texte.toStdString();
    // Une page impossible à écrire : seul l'échec est dit, rien n'est ouvert.
    std::filesystem::remove(programme.Fichier("LogFinal.html"));
    std::filesystem::create_directory(programme.Fichier("LogFinal.html"));
    messages.clear();
    lanceur.ouverts.clear();
    Menu("mnuExporterPageWeb")->trigger();
    AttendreFinDePasse();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    EXPECT_TRUE(messages[0].texte.contains("LogFinal.html")) << messages[0].texte.toStdString();
    EXPECT_TRUE(lanceur.ouverts.empty());
}

} // namespace
} // namespace vek::test
