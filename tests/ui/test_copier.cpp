// « Copier pour un forum » et « Copier pour Discord… » : actives quand « Créer le fichier log »
// l'est, inactives pendant une passe ; une passe sur le fil de travail pour la sélection et les
// modes du moment ; le BBCode dans le presse-papiers, annoncé dans la barre d'état ; le
// dialogue des parties, dont chaque bouton copie la partie qu'il nomme et la marque « copiée ».

#include "BarreEtat.h"
#include "DlgParties.h"
#include "EntreesExport.h"
#include "OutilsFenetre.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

namespace vek::test {
namespace {

using Copier = BancFenetre;

TEST_F(Copier, ActivesCommeCreerLeFichierLog) {
    QAction* entrees[] = {Menu("actionCopierForum"), Menu("actionCopierDiscord")};
    ASSERT_TRUE(entrees[0] && entrees[1]);
    auto* exports = fenetre->findChild<EntreesExport*>("entreesExport");
    ASSERT_NE(exports, nullptr);
    int montres = 0;
    exports->montrerParties = [&](QWidget*, const QString&) { ++montres; };
    const auto etat = [&] {
        for (QAction* entree : entrees)
            EXPECT_EQ(entree->isEnabled(), Bouton("boutonCreerLog")->isEnabled())
                << entree->objectName().toStdString();
        return entrees[0]->isEnabled();
    };
    EXPECT_FALSE(etat()) << "au démarrage";
    ChoisirJournal(JournalLong(5000));
    EXPECT_FALSE(etat()) << "journal choisi";
    Cliquer("boutonRecherche");
    EXPECT_TRUE(etat()) << "après la recherche";
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    // Inactives pendant une écriture, et leur déclenchement n'y lance rien.
    for (QAction* entree : entrees) {
        bool pendant = true;
        PendantLaPasse([&] {
            pendant = etat();
            entree->trigger();
        });
        QTest::mouseClick(Bouton("boutonCreerLog"), Qt::LeftButton);
        AttendreFinDePasse();
        EXPECT_FALSE(pendant);
        EXPECT_TRUE(etat()) << "après la passe";
    }
    EXPECT_EQ(montres, 0);
    EXPECT_EQ(lanceur.ouverts.size(), 2u) << "une seule passe à la fois";
}

class CopierJournal : public BancFenetre {
protected:
    void SetUp() override {
        BancFenetre::SetUp();
        std::string journal =
            Ligne(24, 12, 2001, "[Commerce] \"Aldric\": [b]bonjour[/b] @everyone") +
            Ligne(24, 12, 2001, "[Guilde] \"B\xE9reng\xE8re\": non coch\xE9") +
            Ligne(25, 12, 2001, "{Aldric}\":\"joyeux No\xEBl");
        for (int i = 0; i < 200; ++i) // assez pour plusieurs parties Discord de 2000 caractères
            journal +=
                Ligne(25, 12, 2001,
                      "[Commerce] \"Aldric\": " + std::string(60, static_cast<char>('a' + i % 26)));
        ChoisirJournal(journal);
        Cliquer("boutonRecherche");
        for (const char* channel : {"[Commerce]", "Zone de proximité"})
            Cocher("arbreChannels", channel);
        Cocher("arbreNoms", "Aldric");
        exports = fenetre->findChild<EntreesExport*>("entreesExport");
        ASSERT_NE(exports, nullptr);
    }
    EntreesExport* exports = nullptr;
};

TEST_F(CopierJournal, LeBbcodeDeLaSelectionEstDansLePressePapiersEtLaBarreDEtatLeDit) {
    QGuiApplication::clipboard()->clear();
    for (const Modes modes : {Modes{}, Modes{true, true, true}}) {
        fenetre->Modes() = modes;
        Menu("actionCopierForum")->trigger();
        AttendreFinDePasse();
        EXPECT_TRUE(messages.empty());
        const QString copie = QGuiApplication::clipboard()->text();
        EXPECT_EQ(copie, LireSortieUtf8(programme.Fichier("LogFinal-forum.txt")));
        EXPECT_TRUE(copie.contains(QStringLiteral("[\u200Bb]bonjour[\u200B/b] @everyone")));
        EXPECT_TRUE(copie.contains(QStringLiteral("joyeux Noël")));
        EXPECT_FALSE(copie.contains(QStringLiteral("Bérengère"))) << "non cochée";
        EXPECT_EQ(copie.contains(QStringLiteral("[color=#8c959f]12:00:00")), !modes.ModeUnlessDate);
        auto* barre = fenetre->findChild<BarreEtat*>(QStringLiteral("barreEtat"));
        ASSERT_NE(barre, nullptr);
        EXPECT_TRUE(barre->Texte().contains(QStringLiteral("presse-papiers")));
        EXPECT_TRUE(lanceur.ouverts.empty()) << "rien ne s'ouvre";
    }
}

TEST_F(CopierJournal, LeDialogueCopieLaPartieQuIlNommeEtLaMarque) {
    QString contenu;
    exports->montrerParties = [&](QWidget*, const QString& c) { contenu = c; };
    Menu("actionCopierDiscord")->trigger();
    AttendreFinDePasse();
    ASSERT_FALSE(contenu.isEmpty());
    DlgParties dialogue(contenu, fenetre.get());
    ASSERT_GE(dialogue.NombreParties(), 3u);
    QGuiApplication::clipboard()->clear();
    for (const std::size_t i : {std::size_t{1}, std::size_t{0}, std::size_t{2}}) {
        auto* bouton = dialogue.findChild<QPushButton*>(QStringLiteral("copier%1").arg(i + 1));
        ASSERT_NE(bouton, nullptr);
        EXPECT_EQ(bouton->text(), "Copier");
        EXPECT_FALSE(dialogue.Copiee(i));
        QTest::mouseClick(bouton, Qt::LeftButton);
        const QString copie = QGuiApplication::clipboard()->text();
        EXPECT_EQ(copie, dialogue.Partie(i));
        EXPECT_TRUE(copie.startsWith(
            QStringLiteral("**Partie %1/%2**\n").arg(i + 1).arg(dialogue.NombreParties())));
        EXPECT_LE(copie.toUcs4().size(), 2000);
        EXPECT_TRUE(dialogue.Copiee(i));
    }
    EXPECT_FALSE(dialogue.Copiee(3)) << "seules les parties copiées sont marquées";
    const QList<QLabel*> etiquettes = dialogue.findChildren<QLabel*>();
    EXPECT_EQ(std::count_if(etiquettes.begin(), etiquettes.end(),
                            [](const QLabel* l) { return l->text() == "copiée"; }),
              3);
    EXPECT_TRUE(contenu.contains(QStringLiteral("@\u200Beveryone")));
}

} // namespace
} // namespace vek::test
