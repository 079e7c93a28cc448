// Les passes longues depuis la fenêtre principale : pas de chevauchement, menus et options
// utilisables pendant qu'elles durent, fenêtre « Analyse :) » peinte avant la fin de la lecture,
// fin du programme pendant une passe.

#include "OutilsFenetre.h"

#include <QDir>
#include <QMenu>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace vek::test {
namespace {

using Route = BancFenetre;

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
    ChoisirJournal(JournalLong(10));
    qApp->removeEventFilter(&peinture);
    EXPECT_TRUE(peinture.vue);
    EXPECT_TRUE(peinture.texte.contains("Veuillez patienter")) << peinture.texte.toStdString();
    ASSERT_EQ(fenetre->FenetresAnalyse().size(), 1u);
    EXPECT_TRUE(fenetre->FenetresAnalyse()[0]->Resume().startsWith("Date de début"));
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

} // namespace
} // namespace vek::test
