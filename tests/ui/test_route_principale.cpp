// La route principale de bout en bout et les échecs montrés.

#include "OutilsFenetre.h"
#include "Verrou.h"

#include <QDir>
#include <QMenu>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <filesystem>

namespace vek::test {
namespace {

using Route = BancFenetre;

// Un journal en Windows-1252 : accents, « œ » (0x9C) et un octet sans caractère (0x81) dans
// des noms, pour vérifier que les nœuds rendent au moteur leurs octets exacts.
std::string JournalDeNoel() {
    return "*** Journal de discussion Q7R ***\r\n" +
           Ligne(23, 12, 2001, "[Commerce] \"Aldric\": la veille, hors p\xE9riode") +
           Ligne(24, 12, 2001, "[Commerce] \"Aldric\": bonjour") +
           Ligne(24, 12, 2001, "[Commerce] \"B\xE9reng\xE8re\": je vends une \x9Cuvre") +
           Ligne(24, 12, 2001, "[COMMERCE] \"B\xE9reng\xE8re\": autre casse, jamais retenue") +
           Ligne(24, 12, 2001, "{C\x9Clio}\":\"on se retrouve \xE0 la taverne") +
           Ligne(25, 12, 2001, "Vous avez dit : joyeux No\xEBl") +
           Ligne(25, 12, 2001, "[Guilde] \"Z\x81ph\": r\xE9union ce soir") +
           Ligne(25, 12, 2001, "Aldric vous appelle : tu viens ?") +
           Ligne(26, 12, 2001, "[Guilde] \"Aldric\": \xE0 demain");
}

TEST_F(Route, DuJournalChoisiAuJournalFinalOuvert) {
    const std::string journal = ChoisirJournal(JournalDeNoel(), "chat log.TXT");

    // Analyse : résumé, dates préremplies, bouton de recherche actif, sablier rendu.
    EXPECT_EQ(Champ("cheminJournal")->text(), QString::fromStdString(journal));
    ASSERT_EQ(fenetre->FenetresAnalyse().size(), 1u);
    EXPECT_EQ(fenetre->FenetresAnalyse()[0]->Resume(),
              "Date de début du traitement : Non défini. \n"
              "Date de fin de traitement : mercredi 26 décembre 2001\n"
              "Nombre de lignes à analyser : 10");
    EXPECT_TRUE(Champ("dateDebut")->text().isEmpty()); // première ligne non datée
    EXPECT_EQ(Champ("dateFin")->text(), "26/12/2001");
    Taper("dateDebut", "24/12/2001");
    ASSERT_TRUE(Bouton("boutonRecherche")->isEnabled());

    // Recherche : arbres triés à la française (pseudo-nœuds en tête), textes décodés.
    Cliquer("boutonRecherche");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Controle<QLabel>("compteurLignes")->text(), "10");
    EXPECT_EQ(Controle<QProgressBar>("barreProgression")->maximum(), 11);
    EXPECT_EQ(Controle<QProgressBar>("barreProgression")->value(), 0);
    EXPECT_EQ(Noeuds("arbreChannels"),
              QStringList({"Zone de proximité", "[Commerce]", "[Guilde]"}));
    EXPECT_EQ(Noeuds("arbreNoms"),
              QStringList({" Vous (ce que vous avez dit)", " Vos Whisps reçus", "Aldric",
                           "Bérengère", "Cœlio", QString::fromUtf8("Z\u0081ph")}));
    EXPECT_TRUE(Bouton("boutonCreerLog")->isEnabled());
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());

    // Sélection : [Commerce] et [Guilde] avec Bérengère et Zéph ; la proximité avec Cœlio.
    Cocher("arbreChannels", "[Commerce]");
    Cocher("arbreChannels", "[Guilde]");
    Cocher("arbreChannels", "Zone de proximité");
    Cocher("arbreNoms", "Bérengère");
    Cocher("arbreNoms", QString::fromUtf8("Z\u0081ph"));
    Cocher("arbreNoms", "Cœlio");
    Cliquer("boutonCreerLog");
    EXPECT_TRUE(messages.empty());
    // Le compteur reste celui de la recherche : l'écriture ne compte pas.
    EXPECT_EQ(Controle<QLabel>("compteurLignes")->text(), "10");

    const std::string final = programme.Fichier("LogFinal.txt");
    ASSERT_EQ(lanceur.ouverts.size(), 1u);
    EXPECT_EQ(std::filesystem::path(lanceur.ouverts[0]), std::filesystem::path(final));
    const std::string contenu = LireTout(final);
    EXPECT_NE(contenu.find("\"B\xE9reng\xE8re\": je vends une \x9Cuvre\r\n"), std::string::npos);
    EXPECT_NE(contenu.find("\"Z\x81ph\": r\xE9union ce soir\r\n"), std::string::npos);
    EXPECT_NE(contenu.find("{C\x9Clio}\":\"on se retrouve \xE0 la taverne\r\n"), std::string::npos);
    EXPECT_EQ(contenu.find("Aldric\": bonjour"), std::string::npos); // non coché
    EXPECT_EQ(contenu.find("autre casse"), std::string::npos);       // [COMMERCE]
    EXPECT_EQ(contenu.find("hors p\xE9riode"), std::string::npos);   // hors période
    EXPECT_EQ(contenu.find("joyeux"), std::string::npos);            // « Vous » non coché
    EXPECT_TRUE(Bouton("boutonCreerLog")->isEnabled());
    EXPECT_EQ(Controle<QProgressBar>("barreProgression")->value(), 0);
}

TEST_F(Route, UnChampDeDateQuiNEstPasUneDateEstNommeEtRienNeCommence) {
    ChoisirJournal(JournalDeNoel());
    Taper("dateDebut", "24/12/2001");
    ASSERT_TRUE(Bouton("boutonRecherche")->isEnabled());
    struct Cas {
        const char* debut;
        const char* fin;
        const char* champNomme;
    };
    const Cas cas[] = {
        {"24/12/2001", "", "Date de Fin"},
        {"", "26/12/2001", "Date de début"},
        {"  ", "", "Date de début"},
    };
    for (const Cas& c : cas) {
        Taper("dateDebut", c.debut);
        Taper("dateFin", c.fin);
        ASSERT_TRUE(Bouton("boutonRecherche")->isEnabled()); // un champ vide n'y change rien
        messages.clear();
        Cliquer("boutonRecherche");
        ASSERT_EQ(messages.size(), 1u) << c.champNomme;
        EXPECT_TRUE(messages[0].texte.contains(QString::fromUtf8(c.champNomme)))
            << messages[0].texte.toStdString();
        EXPECT_EQ(messages[0].titre, "Cercles des Lanternes Sourdes");
        EXPECT_EQ(messages[0].icone, Icone::Stop);
        EXPECT_EQ(Controle<QLabel>("compteurLignes")->text(), "0");
        EXPECT_FALSE(std::filesystem::exists(programme.Fichier("LogVEKtemp.txt")));
        EXPECT_FALSE(Bouton("boutonCreerLog")->isEnabled());
    }
}

TEST_F(Route, JournalIllisibleMontreLEchecEtNeChangeRien) {
    ChoisirJournal(JournalDeNoel());
    Taper("dateDebut", "24/12/2001");
    Cliquer("boutonRecherche");
    ASSERT_EQ(Noeuds("arbreChannels").size(), 3);

    // Le journal disparaît entre deux recherches.
    const std::string absent = donnees.Fichier("disparu.TXT");
    Taper("cheminJournal", QString::fromStdString(absent));
    Cliquer("boutonRecherche");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].titre, "Cercles des Lanternes Sourdes");
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    EXPECT_TRUE(messages[0].texte.contains("disparu.TXT")) << messages[0].texte.toStdString();
    EXPECT_EQ(Noeuds("arbreChannels").size(), 3);
    EXPECT_EQ(Controle<QLabel>("compteurLignes")->text(), "10");
    EXPECT_TRUE(Bouton("boutonCreerLog")->isEnabled());
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
    EXPECT_TRUE(Bouton("boutonParcourir")->isEnabled());
}

TEST_F(Route, JournalFinalImpossibleAEcrireMontreLEchec) {
    ChoisirJournal(JournalDeNoel());
    Taper("dateDebut", "24/12/2001");
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    // Un dossier occupe la place du journal final.
    std::filesystem::create_directory(programme.Fichier("LogFinal.txt"));
    Cliquer("boutonCreerLog");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    EXPECT_EQ(messages[0].titre, "Cercles des Lanternes Sourdes");
    EXPECT_TRUE(messages[0].texte.contains("LogFinal.txt")) << messages[0].texte.toStdString();
    EXPECT_TRUE(lanceur.ouverts.empty());
    EXPECT_TRUE(Bouton("boutonCreerLog")->isEnabled());
}

// Après l'écriture, l'utilisateur sait toujours où est le journal final : un message donne son
// chemin complet quand aucun visualiseur ne l'a ouvert, ou quand il est allé dans le dossier
// personnel de secours ; sinon le visualiseur le montre et rien ne s'interpose.
TEST_F(Route, OuEstLeJournalFinalQuandAucunVisualiseurOuDossierDeSecours) {
    const struct {
        bool ouvert; // un visualiseur a pris le fichier
        bool secours;
        bool message;
    } cas[] = {
        {true, false, false},
        {false, false, true},
        {true, true, true},
        {false, true, true},
    };
    ChoisirJournal(JournalDeNoel());
    Taper("dateDebut", "24/12/2001");
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    const QString chemin =
        QDir::toNativeSeparators(QString::fromStdString(programme.Fichier("LogFinal.txt")));
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << (c.ouvert ? "ouvert" : "sans visualiseur")
                                        << (c.secours ? ", secours" : ""));
        lanceur.ouvert = c.ouvert;
        fenetre->DefinirDossierDeSecours(c.secours);
        messages.clear();
        Cliquer("boutonCreerLog");
        ASSERT_TRUE(std::filesystem::is_regular_file(programme.Fichier("LogFinal.txt")));
        if (!c.message) {
            EXPECT_TRUE(messages.empty());
            continue;
        }
        ASSERT_EQ(messages.size(), 1u);
        const QString& texte = messages[0].texte;
        EXPECT_NE(messages[0].icone, Icone::Stop); // le fichier est écrit : ce n'est pas un échec
        EXPECT_EQ(messages[0].titre, "Cercles des Lanternes Sourdes");
        EXPECT_TRUE(texte.contains(chemin)) << texte.toStdString();
        EXPECT_EQ(texte.contains("Aucun visualiseur"), !c.ouvert) << texte.toStdString();
        EXPECT_EQ(texte.contains("dossier personnel"), c.secours) << texte.toStdString();
    }
    // Un échec d'écriture ne dit pas « écrit » : seul l'échec est montré.
    lanceur.ouvert = false;
    std::filesystem::remove(programme.Fichier("LogFinal.txt"));
    std::filesystem::create_directory(programme.Fichier("LogFinal.txt"));
    messages.clear();
    Cliquer("boutonCreerLog");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icone, Icone::Stop);
}

// Un autre programme écrit dans le dossier de sortie : la recherche le dit dans une boîte de
// message et ne touche à rien.
TEST_F(Route, UnDossierOccupeParUnAutreProgrammeEstSignale) {
    ChoisirJournal(JournalDeNoel());
    Taper("dateDebut", "24/12/2001");
    VerrouDossier autre;
    ASSERT_TRUE(autre.Prendre(programme.Chemin()));
    messages.clear();
    Cliquer("boutonRecherche");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    EXPECT_TRUE(messages[0].texte.contains("occupé")) << messages[0].texte.toStdString();
    EXPECT_EQ(Arbre("arbreChannels")->topLevelItemCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(programme.Fichier("LogVEKtemp.txt")));
}

// « VEK_Log JOURNAL » : comme un journal choisi dans le dialogue, sans dialogue.
TEST_F(Route, UnJournalDonneAuDemarrageEstAnalyseCommeSIlEtaitChoisi) {
    // Le nom accentué tel que le système l'écrit : UTF-8 sous Linux, page de code ANSI sous
    // Windows (celle des chemins du programme).
    const std::string nom = QStringLiteral("donné.txt").toLocal8Bit().toStdString();
    const QString journal = QString::fromLocal8Bit(donnees.Ecrire(nom, JournalDeNoel()));
    fenetre->OuvrirJournal(journal);
    AttendreFinDePasse();
    EXPECT_TRUE(dialogues.empty());
    EXPECT_EQ(Champ("cheminJournal")->text(), journal);
    ASSERT_EQ(fenetre->FenetresAnalyse().size(), 1u);
    EXPECT_EQ(Champ("dateFin")->text(), "26/12/2001");
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled() || Champ("dateDebut")->text().isEmpty());
}

TEST_F(Route, QuitterHorsPasseFermeLesResumesEtTermine) {
    ChoisirJournal(JournalDeNoel());
    ChoisirJournal(JournalDeNoel(), "autre.txt");
    ASSERT_EQ(fenetre->FenetresAnalyse().size(), 2u);
    Menu("actionQuitter")->trigger();
    EXPECT_EQ(terminaisons, 1);
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
    EXPECT_FALSE(fenetre->isVisible());
}

TEST_F(Route, FermerLaFenetreHorsPasseNeTerminePasDeForce) {
    ChoisirJournal(JournalDeNoel());
    fenetre->close();
    EXPECT_EQ(terminaisons, 0);
    // Le résumé reste ouvert : le programme vit jusqu'à la fermeture de sa dernière fenêtre.
    EXPECT_EQ(fenetre->FenetresAnalyse().size(), 1u);
}

} // namespace
} // namespace vek::test
