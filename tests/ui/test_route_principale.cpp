// La route principale de bout en bout, les passes longues (pas de chevauchement, fin du
// programme pendant une passe) et les échecs montrés.

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

// ---------------------------------------------------------------------------------------------
// Passes longues

constexpr int LignesLongues = 5000;

struct EtatPendantLaPasse {
    bool vu = false;
    bool passe = false;
    bool recherche = true;
    bool creerLog = true;
    bool cheminLog = true;
};

TEST_F(Route, PendantUneRechercheLesCommandesDePasseNeFontRien) {
    ChoisirJournal(JournalLong(300), "court.txt");
    Cliquer("boutonRecherche"); // une première recherche active boutonCreerLog
    ASSERT_TRUE(Bouton("boutonCreerLog")->isEnabled());
    ChoisirJournal(JournalLong(LignesLongues), "long.txt");
    const std::size_t dialoguesAvant = dialogues.size();
    const std::size_t resumesAvant = fenetre->FenetresAnalyse().size();

    EtatPendantLaPasse etat;
    PendantLaPasse([&] {
        etat.vu = true;
        etat.passe = fenetre->PasseEnCours();
        etat.recherche = Bouton("boutonRecherche")->isEnabled();
        etat.creerLog = Bouton("boutonCreerLog")->isEnabled();
        etat.cheminLog = Bouton("boutonParcourir")->isEnabled();
        // Clics, menu et raccourci : aucun ne part.
        Cliquer("boutonRecherche");
        Cliquer("boutonCreerLog");
        Cliquer("boutonParcourir");
        Menu("actionOuvrirJournal")->trigger();
        QTest::keyClick(fenetre.get(), Qt::Key_O, Qt::ControlModifier);
        // « Ouvrir un Log » est grisé avec son bouton ; le calendrier s'ouvre et la règle des
        // dates s'applique.
        EXPECT_FALSE(Menu("actionOuvrirJournal")->isEnabled());
        reponseCalendrier = Date{2001, 12, 24};
        QTest::keyClick(fenetre.get(), Qt::Key_D, Qt::ControlModifier);
    });
    Cliquer("boutonRecherche");

    ASSERT_TRUE(etat.vu) << "la passe n'a jamais rendu la main à la fenêtre";
    EXPECT_TRUE(etat.passe);
    EXPECT_FALSE(etat.recherche);
    EXPECT_FALSE(etat.creerLog);
    EXPECT_FALSE(etat.cheminLog);
    EXPECT_EQ(dialogues.size(), dialoguesAvant);
    EXPECT_EQ(fenetre->FenetresAnalyse().size(), resumesAvant);
    EXPECT_TRUE(lanceur.ouverts.empty());
    EXPECT_EQ(appelsCalendrier, 1);

    // À la fin, chaque bouton reprend l'état que lui donnent les règles ; la dernière valeur
    // du compteur est montrée.
    EXPECT_FALSE(fenetre->PasseEnCours());
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
    EXPECT_TRUE(Bouton("boutonCreerLog")->isEnabled());
    EXPECT_TRUE(Bouton("boutonParcourir")->isEnabled());
    EXPECT_EQ(Controle<QLabel>("compteurLignes")->text(), QString::number(LignesLongues));
    EXPECT_EQ(Controle<QProgressBar>("barreProgression")->value(), 0);
    EXPECT_EQ(Noeuds("arbreNoms").size(), 13);
}

TEST_F(Route, PendantLEcritureLaRechercheNeDemarrePas) {
    ChoisirJournal(JournalLong(LignesLongues));
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);

    EtatPendantLaPasse etat;
    PendantLaPasse([&] {
        etat.vu = true;
        etat.passe = fenetre->PasseEnCours();
        etat.recherche = Bouton("boutonRecherche")->isEnabled();
        etat.creerLog = Bouton("boutonCreerLog")->isEnabled();
        etat.cheminLog = Bouton("boutonParcourir")->isEnabled();
        Cliquer("boutonRecherche");
        Cliquer("boutonCreerLog");
        Menu("actionOuvrirJournal")->trigger();
        EXPECT_TRUE(Menu("actionOptionsLog")->isEnabled());
    });
    Cliquer("boutonCreerLog");

    ASSERT_TRUE(etat.vu);
    EXPECT_TRUE(etat.passe);
    EXPECT_FALSE(etat.recherche);
    EXPECT_FALSE(etat.creerLog);
    EXPECT_FALSE(etat.cheminLog);
    EXPECT_EQ(lanceur.ouverts.size(), 1u); // une seule écriture
    EXPECT_EQ(dialogues.size(), 1u);
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
    EXPECT_TRUE(Bouton("boutonCreerLog")->isEnabled());
    EXPECT_TRUE(messages.empty());
}

// Les options restent utilisables pendant l'écriture : la boîte s'ouvre au milieu de la passe et
// les modes validés s'appliquent.
TEST_F(Route, LesOptionsSOuvrentPendantLEcriture) {
    ChoisirJournal(JournalLong(LignesLongues));
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);

    QString boiteVue;
    bool pendantLaPasse = false;
    auto valide = std::make_shared<std::atomic<bool>>(false);
    PendantLaPasseRetenue(
        [&] {
            QTimer::singleShot(0, qApp, [&] {
                QWidget* boite = QApplication::activeModalWidget();
                ASSERT_NE(boite, nullptr);
                boiteVue = boite->objectName();
                pendantLaPasse = fenetre->PasseEnCours();
                for (const char* nom : {"caseSansDate", "caseNomRP", "caseSansChannel"})
                    boite->findChild<QCheckBox*>(nom)->setChecked(true);
                boite->findChild<QPushButton*>("boutonValider")->click();
            });
            Menu("actionOptionsLog")->trigger();
            *valide = true;
        },
        valide);
    Cliquer("boutonCreerLog");

    EXPECT_EQ(boiteVue, "FrmOption");
    EXPECT_TRUE(pendantLaPasse);
    EXPECT_TRUE(fenetre->Modes().Lire().ModeUnlessDate);
    EXPECT_TRUE(fenetre->Modes().Lire().ModeRPName);
    EXPECT_TRUE(fenetre->Modes().Lire().ModeUnlessChannel);
    EXPECT_EQ(lanceur.ouverts.size(), 1u);
    EXPECT_TRUE(messages.empty());
    // Les premières lignes, écrites avant la validation, gardent date et channel ; les
    // dernières sont écrites sans.
    const std::string contenu = LireTout(programme.Fichier("LogFinal.txt"));
    EXPECT_NE(contenu.find("\r\n" + Ligne(24, 12, 2001, "[Canal0] \"Nom0\": message 0")),
              std::string::npos);
    EXPECT_NE(contenu.find("\r\nNom7: message 4999\r\n"), std::string::npos);
}

// Un menu ouvert pendant une longue recherche s'ouvre et se peint : le fil de la fenêtre ne
// fait que peindre et répondre, la passe tourne ailleurs.
TEST_F(Route, UnMenuOuvertPendantLaRechercheSePeint) {
    ChoisirJournal(JournalLong(LignesLongues));
    struct Peintures : QObject {
        int vues = 0;
        bool pendantLaPasse = true;
        std::function<bool()> passe;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) {
                ++vues;
                pendantLaPasse = pendantLaPasse && passe();
            }
            return false;
        }
    } peintures;
    peintures.passe = [this] { return fenetre->PasseEnCours(); };
    QMenu* menu = fenetre->findChild<QMenu*>("menuPrincipal");
    ASSERT_NE(menu, nullptr);
    bool ouvertPendantLaPasse = false;
    auto ferme = std::make_shared<std::atomic<bool>>(false);
    PendantLaPasseRetenue(
        [&] {
            menu->installEventFilter(&peintures);
            menu->popup(fenetre->mapToGlobal(QPoint(10, 10)));
            ouvertPendantLaPasse = QTest::qWaitForWindowExposed(menu) && fenetre->PasseEnCours();
            EXPECT_TRUE(QTest::qWaitFor([&] { return peintures.vues > 0; }, 5000));
            menu->close();
            menu->removeEventFilter(&peintures);
            *ferme = true;
        },
        ferme);
    Cliquer("boutonRecherche");
    EXPECT_TRUE(ouvertPendantLaPasse);
    EXPECT_GT(peintures.vues, 0);
    EXPECT_TRUE(peintures.pendantLaPasse);
    EXPECT_EQ(Controle<QLabel>("compteurLignes")->text(), QString::number(LignesLongues));
}

// La fenêtre « Analyse :) » se peint, avec « Veuillez patienter », avant que l'analyse n'ait fini
// de lire : la passe attend ici, au début de sa lecture, d'avoir vu cette peinture.
TEST_F(Route, LaFenetreDAnalyseSePeintAvantLaFinDeLaLecture) {
    struct Peinture : QObject {
        std::atomic<bool> vue{false};
        QString texte;
        bool eventFilter(QObject* objet, QEvent* e) override {
            if (e->type() == QEvent::Paint && objet->objectName() == "resume" && !vue) {
                texte = static_cast<QLabel*>(objet)->text();
                vue = true;
            }
            return false;
        }
    } peinture;
    qApp->installEventFilter(&peinture);
    frein.debut = [&peinture] {
        for (int i = 0; i < 500 && !peinture.vue; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    ChoisirJournal(JournalDeNoel());
    qApp->removeEventFilter(&peinture);
    EXPECT_TRUE(peinture.vue);
    EXPECT_TRUE(peinture.texte.contains("Veuillez patienter")) << peinture.texte.toStdString();
    ASSERT_EQ(fenetre->FenetresAnalyse().size(), 1u);
    EXPECT_TRUE(fenetre->FenetresAnalyse()[0]->Resume().startsWith("Date de début"));
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

// Trois façons de quitter pendant une longue recherche : la passe s'arrête à la première
// occasion, rien ne bloque, les résumés disparaissent, aucun message.
TEST_F(Route, QuitterPendantUneLongueRechercheTermineTout) {
    const std::vector<std::pair<const char*, std::function<void()>>> facons = {
        {"boutonQuitter", [this] { Cliquer("boutonQuitter"); }},
        {"Ctrl+Q", [this] { QTest::keyClick(fenetre.get(), Qt::Key_Q, Qt::ControlModifier); }},
        {"fermeture de la fenêtre", [this] { fenetre->close(); }},
    };
    const std::string contenu = JournalLong(LignesLongues);
    bool quitteSansAttendre = false;
    for (const auto& [nom, quitter] : facons) {
        TearDown();
        terminaisons = 0;
        messages.clear();
        SetUp();
        ChoisirJournal(contenu);
        ASSERT_EQ(fenetre->FenetresAnalyse().size(), 1u) << nom;
        quitteSansAttendre = false;
        // Retenue jusqu'à l'action : Quitter attend le fil de travail, la passe est relâchée
        // juste avant.
        auto vu = std::make_shared<std::atomic<bool>>(false);
        PendantLaPasseRetenue(
            [&, quitter = quitter, vu] {
                *vu = true;
                quitter();
                // Quitter arrête la passe et attend son fil : rien ne tourne plus ensuite.
                quitteSansAttendre = !fenetre->PasseEnCours();
            },
            vu);
        Cliquer("boutonRecherche");

        EXPECT_EQ(terminaisons, 1) << nom;
        EXPECT_TRUE(fenetre->Quitte()) << nom;
        EXPECT_FALSE(fenetre->PasseEnCours()) << nom;
        EXPECT_FALSE(fenetre->isVisible()) << nom;
        EXPECT_TRUE(fenetre->FenetresAnalyse().empty()) << nom;
        EXPECT_TRUE(messages.empty()) << nom;
        EXPECT_TRUE(quitteSansAttendre) << nom;
        // Arrêtée bien avant la fin : rien de catalogué, pas d'extrait.
        EXPECT_LT(Controle<QLabel>("compteurLignes")->text().toInt(), LignesLongues) << nom;
        EXPECT_EQ(Arbre("arbreChannels")->topLevelItemCount(), 0) << nom;
        EXPECT_FALSE(std::filesystem::exists(programme.Fichier("LogVEKtemp.txt"))) << nom;
    }
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
