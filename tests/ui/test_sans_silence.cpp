// Rien de silencieux, rien de coupé : des coches qui ne retiennent rien sont refusées avec la
// raison ; un fichier qui n'est pas un journal, ou vide, est dit en un message, sans résumé vide ;
// une recherche qui échoue remet la barre à zéro et n'accuse personne ensuite ; un avis trop long
// pour la barre d'état est coupé à un mot. Les coches, et la période d'un journal rechargé,
// restent d'une recherche à l'autre.

#include "OutilsFenetre.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStatusBar>

#include <filesystem>
#include <fstream>

#include "BarreEtat.h"

namespace vek::test {
namespace {

using SansSilence = BancFenetre;

std::string Scene() {
    return Ligne(24, 12, 2001, "[Commerce] \"Aldric\": bonjour") +
           Ligne(24, 12, 2001, "[Guilde] \"Bertrand\": salut") +
           Ligne(25, 12, 2001, "[Commerce] \"Cyprien\": demain");
}

TEST_F(SansSilence, CopierOuEcrireSansRienDeCocheDitPourquoiEtNeFaitRien) {
    ChoisirJournal(Scene());
    Cliquer("boutonRecherche");
    struct Cas {
        const char* nom;
        std::function<void()> cocher;
        const char* raison;
    };
    const Cas cas[] = {
        {"rien", [] {}, "Personne n'est coché"},
        {"personneSansChannel", [this] { Cocher("arbreNoms", "Aldric"); }, "Aucun channel"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        c.cocher();
        QGuiApplication::clipboard()->setText("avant");
        const auto commandes = {Menu("actionCopierForum"), Menu("actionCopierDiscord"),
                                Menu("actionExporterPageWeb")};
        for (QAction* commande : commandes) {
            messages.clear();
            commande->trigger();
            EXPECT_FALSE(fenetre->PasseEnCours()) << "aucune passe ne part";
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_TRUE(messages[0].texte.contains(c.raison)) << messages[0].texte.toStdString();
        }
        messages.clear();
        Cliquer("boutonCreerLog");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].texte.contains(c.raison));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "avant");
        for (const char* sortie : {"LogFinal.txt", "LogFinal-forum.txt", "LogFinal.html"})
            EXPECT_FALSE(std::filesystem::exists(programme.Fichier(sortie))) << sortie;
    }
}

// Une image, un texte sans date, un fichier vide : un seul message, et pas de fenêtre
// « Analyse :) » vide ; les champs de date restent.
TEST_F(SansSilence, UnFichierQuiNEstPasUnJournalLeDitSansResume) {
    struct Cas {
        const char* nom;
        std::string contenu;
        const char* raison;
    };
    std::string image("\x89PNG\r\n\x1A\n\x00\x00\x00\rIHDR", 16);
    image += std::string(3000, '\x07') + "\r\n12/24/2001 21:00:00 - [C] \"A\": faux\r\n";
    const Cas cas[] = {
        {"binaire", image, "octets nuls"},
        {"texteSansDate", "Liste des courses\r\npain\r\nlait\r\n", "aucune ligne n'y commence"},
        {"vide", "", "vide"},
    };
    Taper("dateDebut", "20/12/2001");
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        messages.clear();
        ChoisirJournal(c.contenu, std::string(c.nom) + ".txt");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].texte.contains(QString::fromUtf8(c.raison)))
            << messages[0].texte.toStdString();
        EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
        EXPECT_EQ(Champ("dateDebut")->text(), "20/12/2001");
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

// Le journal supprimé pendant une recherche : l'échec le dit, la barre revient à zéro, et rien
// ne s'écrit ensuite depuis des arbres dont l'extrait n'est plus (sans accuser un autre
// programme).
TEST_F(SansSilence, UneRechercheQuiEchoueRemetLaBarreAZeroEtNAccusePersonne) {
    const std::string journal = ChoisirJournal(JournalLong(5000));
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    Taper("dateDebut", "23/12/2001"); // une autre période : une recherche complète
    bool supprime = false;
    PendantLaPasse([&] {
        std::error_code ec;
        supprime = std::filesystem::remove(journal, ec);
    });
    Cliquer("boutonRecherche");
    if (!supprime)
        GTEST_SKIP() << "le système refuse de supprimer un journal ouvert";
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    EXPECT_TRUE(messages[0].texte.contains("supprimé")) << messages[0].texte.toStdString();
    EXPECT_EQ(Controle<QProgressBar>("barreProgression")->value(), 0);
    messages.clear();
    Cliquer("boutonCreerLog");
    Menu("actionCopierForum")->trigger();
    AttendreFinDePasse();
    for (const MessageVu& m : messages)
        EXPECT_FALSE(m.texte.contains("autre programme")) << m.texte.toStdString();
    // Ou les anciens arbres s'écrivent encore (leur extrait est resté), ou le bilan dit pourquoi
    // rien ne s'écrit.
    if (!Bouton("boutonCreerLog")->isEnabled()) {
        EXPECT_TRUE(Controle<QLabel>("bilanRecherche")->text().contains("a échoué"));
    }
}

TEST_F(SansSilence, UnAvisTropLongEstCoupeAUnMotEtEntierDansSaBulle) {
    auto* barre = qobject_cast<BarreEtat*>(fenetre->statusBar());
    ASSERT_NE(barre, nullptr);
    QString avis;
    for (int i = 0; i < 30; ++i)
        avis += QStringLiteral("presse-papiers%1 ").arg(i);
    avis = avis.trimmed();
    fenetre->AnnoncerDansBarreEtat(avis);
    const QStringList lignes = barre->Lignes();
    ASSERT_EQ(lignes.size(), 2);
    EXPECT_TRUE(lignes.back().endsWith(QStringLiteral("…")));
    const QStringList mots = avis.split(' ');
    for (QString ligne : lignes) {
        ligne.remove(QStringLiteral("…"));
        for (const QString& mot : ligne.split(' ', Qt::SkipEmptyParts))
            EXPECT_TRUE(mots.contains(mot)) << "mot coupé : " << mot.toStdString();
    }
    const QLabel* texte = barre->findChild<QLabel*>("texteBarreEtat");
    ASSERT_NE(texte, nullptr);
    EXPECT_EQ(texte->toolTip(), avis);
    // Un chemin trop long, lui, garde son début et sa fin.
    const QString chemin =
        QStringLiteral("/tmp/") + QString(300, 'x') + QStringLiteral("/LogFinal.txt");
    barre->SignalerEcriture({QStringLiteral("Écrit :"), QStringLiteral("Écrit :")}, chemin, true);
    EXPECT_TRUE(barre->Lignes().back().startsWith("/tmp/"));
    EXPECT_TRUE(barre->Lignes().back().endsWith("LogFinal.txt"));
}

TEST_F(SansSilence, LesCochesRestentApresUneSecondeRecherche) {
    ChoisirJournal(Scene());
    Taper("dateFin", "24/12/2001");
    Cliquer("boutonRecherche");
    Cocher("arbreNoms", "Aldric");
    Cocher("arbreChannels", "[Commerce]");
    Taper("dateFin", "25/12/2001"); // une autre période : tout est relu
    Cliquer("boutonRecherche");
    EXPECT_EQ(Noeuds("arbreNoms"), QStringList({"Aldric", "Bertrand", "Cyprien"}));
    EXPECT_EQ(NoeudsCoches("arbreNoms"), 1);     // Aldric, toujours
    EXPECT_EQ(NoeudsCoches("arbreChannels"), 1); // [Commerce], toujours
    // « Sélectionnez tout le monde » garde son sens : les nouveaux arrivent cochés.
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    Taper("dateDebut", "25/12/2001");
    Cliquer("boutonRecherche");
    EXPECT_EQ(NoeudsCoches("arbreNoms"), Arbre("arbreNoms")->topLevelItemCount());
}

TEST_F(SansSilence, UnJournalRechargeGardeLaPeriodeDesChamps) {
    const std::string journal = ChoisirJournal(Scene());
    Taper("dateDebut", "24/12/2001 21:00");
    Taper("dateFin", "24/12/2001 23:00");
    // Le jeu a écrit depuis : le même journal, choisi de nouveau.
    std::ofstream(journal, std::ios::binary | std::ios::app)
        << Ligne(26, 12, 2001, "[Commerce] \"Aldric\": plus tard");
    ChoisirJournal(LireTout(journal));
    EXPECT_EQ(Champ("dateDebut")->text(), "24/12/2001 21:00");
    EXPECT_EQ(Champ("dateFin")->text(), "24/12/2001 23:00");
    // Un autre journal prend ses propres dates.
    ChoisirJournal(Scene(), "autre.txt");
    EXPECT_EQ(Champ("dateDebut")->text(), "24/12/2001");
    EXPECT_EQ(Champ("dateFin")->text(), "25/12/2001");
}

} // namespace
} // namespace vek::test
