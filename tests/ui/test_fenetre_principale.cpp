// Fenêtre principale : état initial, règles des boutons, raccourcis, lien, fenêtres de résumé,
// cases « tout sélectionner ».

#include "OutilsFenetre.h"

#include <QBitmap>
#include <QMenu>
#include <QMenuBar>

namespace vek::test {
namespace {

using Fenetre = BancFenetre;

// ---------------------------------------------------------------------------------------------
// État initial

struct Placement {
    const char* nom;
    int gauche, haut, largeur, hauteur; // en twips ; largeur 0 : seule la position est donnée
};

// Positions des contrôles en twips, à 15 twips par pixel (relatives au cadre pour CheckTLM,
// Label3 et Label4). Deux boîtes sont un peu plus larges que dans le programme d'origine, pour
// que leur texte tienne dans la police livrée : CheckTLC (2 pixels), et le champ du chemin qui
// commence 5 pixels plus à droite pour laisser place à la légende de Label7.
constexpr Placement Placements[] = {
    {"CmdRecherche", 4320, 2640, 1815, 495},
    {"TxTDateDeb", 1440, 2520, 1815, 285},
    {"Label1", 240, 2520, 0, 0},
    {"TxTDateFin", 1440, 2880, 1815, 285},
    {"Label2", 240, 2880, 0, 0},
    {"CmdDateDateDeb", 3480, 2520, 615, 255},
    {"CmdDateFin", 3480, 2880, 615, 255},
    {"FrmPresents", 240, 4200, 6015, 2775},
    {"TreeViewNoms", 360, 4680, 2655, 1815},
    {"CmdCreerLog", 4080, 7080, 2055, 375},
    {"TreeViewChannels", 3480, 4680, 2415, 1815},
    {"Label3", 240, 240, 0, 0},
    {"Label4", 3240, 240, 0, 0},
    {"Label5", 480, 3600, 0, 0},
    {"LblCompteur", 3000, 3600, 0, 0},
    {"CmdQuitter", 240, 7080, 1095, 375},
    {"Label6", 1440, 7080, 2325, 300},
    {"Label7", 240, 1920, 0, 0},
    {"TxtCheminFichierLOg", 1995, 1920, 3180, 285},
    {"CmdCheminLOG", 5400, 1920, 615, 255},
    {"CheckTLM", 240, 2280, 3615, 375},
    {"CheckTLC", 3480, 6480, 2565, 375},
    {"PrgBar", 360, 4080, 5775, 135},
};

TEST_F(Fenetre, ChaqueControleEstASaPlace) {
    EXPECT_EQ(fenetre->centralWidget()->size(), QSize(6420 / 15, 7590 / 15));
    for (const Placement& p : Placements) {
        const QWidget* controle = Controle<QWidget>(p.nom);
        ASSERT_NE(controle, nullptr);
        EXPECT_EQ(controle->pos(), QPoint(p.gauche / 15, p.haut / 15)) << p.nom;
        if (p.largeur != 0) {
            EXPECT_EQ(controle->size(), QSize(p.largeur / 15, p.hauteur / 15)) << p.nom;
        }
        EXPECT_TRUE(controle->isVisible()) << p.nom;
    }
    for (const char* dansLeCadre : {"CheckTLM", "Label3", "Label4"})
        EXPECT_EQ(Controle<QWidget>(dansLeCadre)->parentWidget()->objectName(), "FrmPresents");
}

TEST_F(Fenetre, LegendesEtEtatsAuDemarrage) {
    EXPECT_EQ(fenetre->windowTitle(), "Cercle des Lanternes Sourdes");
    EXPECT_FALSE(fenetre->windowFlags() & Qt::WindowMaximizeButtonHint);

    struct Legende {
        const char* nom;
        const char* texte;
        bool actif;
    };
    const Legende legendes[] = {
        {"CmdRecherche", "Lancer la recherche", false},
        {"Label1", "Date de début :", true},
        {"Label2", "Date de Fin", true},
        {"CmdDateDateDeb", "...", false},
        {"CmdDateFin", "...", false},
        {"CmdCreerLog", "Créer le fichier log", false},
        {"Label3", "Présents :", true},
        {"Label4", "Channels :", true},
        {"Label5", "Nombre de lignes anaylsées :", true},
        {"LblCompteur", "0", true},
        {"CmdQuitter", "Quitter", true},
        {"Label7", "Charger le fichier LOG :", true},
        {"CmdCheminLOG", "...", true},
        {"CheckTLM", "Sélectionnez tout le monde", true},
        {"CheckTLC", "Sélectionnez tous les channels", true},
    };
    for (const Legende& l : legendes) {
        const QWidget* controle = Controle<QWidget>(l.nom);
        ASSERT_NE(controle, nullptr);
        const QString texte = controle->property("text").toString();
        EXPECT_EQ(texte, QString::fromUtf8(l.texte)) << l.nom;
        EXPECT_EQ(controle->isEnabled(), l.actif) << l.nom;
    }
    for (const char* nom : {"TxTDateDeb", "TxTDateFin", "TxtCheminFichierLOg"}) {
        EXPECT_TRUE(Champ(nom)->text().isEmpty()) << nom;
        EXPECT_TRUE(Champ(nom)->isEnabled()) << nom;
        EXPECT_FALSE(Champ(nom)->isReadOnly()) << nom;
        EXPECT_EQ(Champ(nom)->maxLength(), 32767) << nom; // pas de limite propre
    }
    for (const char* nom : {"CheckTLC", "CheckTLM"})
        EXPECT_EQ(Controle<QCheckBox>(nom)->checkState(), Qt::Unchecked) << nom;
    for (const char* nom : {"TreeViewNoms", "TreeViewChannels"}) {
        EXPECT_EQ(Arbre(nom)->topLevelItemCount(), 0) << nom;
        EXPECT_TRUE(Arbre(nom)->isEnabled()) << nom;
    }
    const QProgressBar* barre = Controle<QProgressBar>("PrgBar");
    EXPECT_EQ(barre->minimum(), 0);
    EXPECT_EQ(barre->maximum(), 50);
    EXPECT_EQ(barre->value(), 0);
    EXPECT_FALSE(fenetre->Modes().Lire().ModeUnlessDate);
    EXPECT_FALSE(fenetre->Modes().Lire().ModeRPName);
    EXPECT_FALSE(fenetre->Modes().Lire().ModeUnlessChannel);
    EXPECT_EQ(fenetre->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(Fenetre, MenusLegendesRaccourcisEtOrdre) {
    struct Element {
        const char* nom;
        const char* texte;
        const char* raccourci;
        bool actif = true; // au démarrage
    };
    struct MenuAttendu {
        const char* nom;
        const char* titre;
        std::vector<Element> elements;
    };
    const MenuAttendu attendus[] = {
        {"mnuMenu",
         "&Menu",
         {{"mnuOpenLog", "&Ouvrir un Log", "Ctrl+O"},
          {"mnuDateDeb", "Date de &début de traitement", "Ctrl+D"},
          {"mnuDateFin", "Date de &fin de traitement", "Ctrl+F"},
          {"mnuExporterPageWeb", "&Exporter en page web…", "", false},
          {"mnutiret1", "", ""},
          {"mnuQuitter", "&Quitter", "Ctrl+Q"}}},
        {"mnuOpt", "&Option", {{"mnuOptLog", "Option &Fichier log", ""}}},
        {"mnuQuestion",
         "&?",
         {{"mnuSysteme", "Information &Système", ""},
          {"mnutiret2", "", ""},
          {"mnuAPropos", "&A propos de ...", ""}}},
    };
    const QList<QAction*> barre = fenetre->menuBar()->actions();
    ASSERT_EQ(barre.size(), 3);
    for (qsizetype m = 0; m < 3; ++m) {
        const MenuAttendu& attendu = attendus[m];
        QMenu* menu = barre[m]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), attendu.nom);
        EXPECT_EQ(menu->title(), QString::fromUtf8(attendu.titre));
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(static_cast<std::size_t>(actions.size()), attendu.elements.size()) << attendu.nom;
        for (std::size_t i = 0; i < attendu.elements.size(); ++i) {
            const Element& e = attendu.elements[i];
            const QAction* action = actions[static_cast<qsizetype>(i)];
            EXPECT_EQ(action->objectName(), e.nom);
            EXPECT_EQ(action->isSeparator(), *e.texte == '\0') << e.nom;
            if (!action->isSeparator()) {
                EXPECT_EQ(action->text(), QString::fromUtf8(e.texte)) << e.nom;
            }
            EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(e.raccourci))) << e.nom;
            EXPECT_EQ(action->isEnabled(), e.actif) << e.nom;
            EXPECT_TRUE(action->isVisible()) << e.nom;
        }
    }
}

TEST_F(Fenetre, OrdreDeTabulation) {
    const QStringList attendu = {
        "CmdRecherche", "TxTDateDeb",  "TxTDateFin",       "CmdDateDateDeb", "CmdDateFin",
        "TreeViewNoms", "CmdCreerLog", "TreeViewChannels", "CmdQuitter",     "TxtCheminFichierLOg",
        "CmdCheminLOG", "CheckTLM",    "CheckTLC"};
    QStringList vu;
    QWidget* w = Controle<QWidget>("CmdRecherche");
    for (int pas = 0; pas < 200 && vu.size() < attendu.size(); ++pas) {
        if (attendu.contains(w->objectName()) && !vu.contains(w->objectName()))
            vu << w->objectName();
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(vu, attendu);
    // CmdRecherche est inactif au démarrage : le premier contrôle qui prend le focus suit.
    EXPECT_EQ(QApplication::focusWidget(), Champ("TxTDateDeb"));
}

// ---------------------------------------------------------------------------------------------
// Règles des boutons

TEST_F(Fenetre, BoutonsDeDateSuiventLeCheminTape) {
    struct Cas {
        const char* texte;
        bool actifs;
    };
    const Cas cas[] = {
        {"   ", false},  {"a", true},  {"", false},
        {"  x  ", true}, {" ", false}, {"C:\\log.txt", true},
    };
    for (const Cas& c : cas) {
        Taper("TxtCheminFichierLOg", QString::fromUtf8(c.texte));
        EXPECT_EQ(Bouton("CmdDateDateDeb")->isEnabled(), c.actifs) << '"' << c.texte << '"';
        EXPECT_EQ(Bouton("CmdDateFin")->isEnabled(), c.actifs) << '"' << c.texte << '"';
    }
}

TEST_F(Fenetre, FichierIntrouvableVideLeCheminEtCoupeLesBoutonsDeDate) {
    Taper("TxTDateDeb", "20/12/2001");
    reponseDialogue = QString::fromStdString(donnees.Fichier("absent.TXT"));
    Cliquer("CmdCheminLOG");

    ASSERT_EQ(dialogues.size(), 1u);
    EXPECT_EQ(dialogues[0].titre, "Chemin du fichier LOG Q7R");
    EXPECT_TRUE(dialogues[0].filtre.contains("*.txt"));
    EXPECT_TRUE(dialogues[0].filtre.contains("*.TXT"));
    EXPECT_EQ(dialogues[0].extension, "txt");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].texte, "Fichier introuvable !");
    EXPECT_EQ(messages[0].titre, "Cercles des Lanternes Sourdes");
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    EXPECT_TRUE(Champ("TxtCheminFichierLOg")->text().isEmpty());
    EXPECT_FALSE(Bouton("CmdDateDateDeb")->isEnabled());
    EXPECT_FALSE(Bouton("CmdDateFin")->isEnabled());
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
    EXPECT_EQ(Champ("TxTDateDeb")->text(), "20/12/2001"); // les dates restent
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Fenetre, DialogueAnnuleEcritLeNomVideSansAnalyse) {
    Taper("TxtCheminFichierLOg", "ancien.txt");
    reponseDialogue.clear();
    Cliquer("CmdCheminLOG");
    EXPECT_TRUE(Champ("TxtCheminFichierLOg")->text().isEmpty());
    EXPECT_FALSE(Bouton("CmdDateDateDeb")->isEnabled());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
}

TEST_F(Fenetre, BoutonDeRecherche) {
    struct Etape {
        const char* champ;
        const char* texte;
        bool actif;
    };
    // Dans l'ordre : chaque étape part de l'état laissé par la précédente.
    const Etape etapes[] = {
        {"TxTDateDeb", "24/12/2001", false}, // l'autre champ est vide : rien ne change
        {"TxTDateFin", "26/12/2001", true},  // deux dates valides
        {"TxTDateFin", "26/13/2001", false}, // mois 13
        {"TxTDateFin", "26/12/2001", true},  // de nouveau valide
        {"TxTDateFin", "", true},            // un champ vide laisse le bouton tel quel
        {"TxTDateFin", "   ", true},         // des espaces seuls aussi
        {"TxTDateFin", "demain", false},     // pas une date
        {"TxTDateDeb", "", false},           // vide : toujours inactif
        {"TxTDateDeb", " 1/2/2002 ", false}, // l'autre n'est toujours pas une date
        {"TxTDateFin", "29/02/2002", false}, // 2002 n'est pas bissextile
        {"TxTDateFin", "29/02/2004", true},
    };
    for (const Etape& e : etapes) {
        Taper(e.champ, QString::fromUtf8(e.texte));
        EXPECT_EQ(Bouton("CmdRecherche")->isEnabled(), e.actif) << e.champ << " = " << e.texte;
    }
}

TEST_F(Fenetre, CtrlDEtCtrlFOuvrentLeCalendrierBoutonsDeDateInactifs) {
    ASSERT_FALSE(Bouton("CmdDateDateDeb")->isEnabled());
    reponseCalendrier = Date{2001, 12, 24};
    QTest::keyClick(fenetre.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(appelsCalendrier, 1);
    EXPECT_EQ(Champ("TxTDateDeb")->text(), "24/12/2001");
    EXPECT_FALSE(Bouton("CmdRecherche")->isEnabled());

    reponseCalendrier = Date{2001, 12, 26};
    QTest::keyClick(fenetre.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(appelsCalendrier, 2);
    EXPECT_EQ(Champ("TxTDateFin")->text(), "26/12/2001");
    EXPECT_TRUE(Bouton("CmdRecherche")->isEnabled());
    EXPECT_FALSE(Bouton("CmdDateFin")->isEnabled());

    // Annuler le calendrier vide le champ ; le bouton de recherche garde son état.
    reponseCalendrier.reset();
    QTest::keyClick(fenetre.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(Champ("TxTDateDeb")->text().isEmpty());
    EXPECT_TRUE(Bouton("CmdRecherche")->isEnabled());
}

TEST_F(Fenetre, LesBoutonsDeDateEcriventLeurChamp) {
    Taper("TxtCheminFichierLOg", "x");
    reponseCalendrier = Date{2001, 12, 24};
    Cliquer("CmdDateDateDeb");
    reponseCalendrier = Date{2001, 12, 20};
    Cliquer("CmdDateFin");
    EXPECT_EQ(Champ("TxTDateDeb")->text(), "24/12/2001");
    EXPECT_EQ(Champ("TxTDateFin")->text(), "20/12/2001");
    // La règle s'applique aussi quand le texte ne change pas (aucun signal de changement).
    Taper("TxTDateFin", "20/13/2001");
    ASSERT_FALSE(Bouton("CmdRecherche")->isEnabled());
    Champ("TxTDateFin")->blockSignals(true);
    Champ("TxTDateFin")->setText("20/12/2001");
    Champ("TxTDateFin")->blockSignals(false);
    Cliquer("CmdDateFin");
    EXPECT_TRUE(Bouton("CmdRecherche")->isEnabled());
}

// ---------------------------------------------------------------------------------------------
// Lien vers le site

TEST_F(Fenetre, LienSouligneAuSurvolEtOuvertAuClic) {
    QLabel* lien = Controle<QLabel>("Label6");
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
    QTest::mouseMove(Champ("TxtCheminFichierLOg"), QPoint(5, 5));
    EXPECT_TRUE(lien->font().underline());
    QTest::mouseMove(Controle<QLabel>("Label7"), QPoint(2, 2));
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
// Fenêtres de résumé

TEST_F(Fenetre, DeuxAnalysesOuvrentDeuxResumesEchapEnFermeUn) {
    ChoisirJournal(Ligne(24, 12, 2001, "{Aldric}\":\"bonjour") +
                       Ligne(25, 12, 2001, "Vous avez dit : salut") +
                       Ligne(26, 12, 2001, "[Commerce] \"Aldric\": vends"),
                   "premier.TXT");
    ChoisirJournal("--- sans date ---\r\n" + Ligne(3, 1, 2002, "Vous avez dit : oui"),
                   "second.txt");

    const std::vector<FrmAnalyse*> resumes = fenetre->FenetresAnalyse();
    ASSERT_EQ(resumes.size(), 2u);
    for (FrmAnalyse* resume : resumes) {
        EXPECT_EQ(resume->windowTitle(), "Analyse :)");
        EXPECT_EQ(resume->parentWidget(), nullptr); // sans propriétaire
        EXPECT_FALSE(resume->isModal());
        EXPECT_EQ(resume->size(),
                  QSize(364, 117)); // 24 pixels de plus que l'origine : le résumé tient
        EXPECT_EQ(resume->findChild<QPushButton*>("CmdAnnuler")->text(), "Fermer");
    }
    EXPECT_EQ(resumes[0]->Resume(), "Date de début du traitement : lundi 24 décembre 2001\n"
                                    "Date de fin de traitement : mercredi 26 décembre 2001\n"
                                    "Nombre de lignes à analyser : 3");
    EXPECT_EQ(resumes[1]->Resume(), "Date de début du traitement : Non défini. \n"
                                    "Date de fin de traitement : jeudi 3 janvier 2002\n"
                                    "Nombre de lignes à analyser : 2");
    // Le second journal n'a pas de date de début : le champ garde celle du premier.
    EXPECT_EQ(Champ("TxTDateDeb")->text(), "24/12/2001");
    EXPECT_EQ(Champ("TxTDateFin")->text(), "03/01/2002");
    EXPECT_TRUE(Bouton("CmdRecherche")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    QPointer<FrmAnalyse> premier = resumes[0];
    premier->activateWindow();
    QTest::keyClick(premier, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(premier.isNull() || !premier->isVisible());
    ASSERT_EQ(fenetre->FenetresAnalyse().size(), 1u);
    EXPECT_EQ(fenetre->FenetresAnalyse()[0], resumes[1]);
    EXPECT_TRUE(fenetre->isVisible()); // la fenêtre principale n'est pas touchée

    QTest::mouseClick(resumes[1]->findChild<QPushButton*>("CmdAnnuler"), Qt::LeftButton);
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
}

TEST_F(Fenetre, ResumeAttendAvantLaLecture) {
    FrmAnalyse resume;
    EXPECT_EQ(resume.Resume(), "        Veuillez patienter quelques instants :)");
}

// ---------------------------------------------------------------------------------------------
// Cases « tout sélectionner »

TEST_F(Fenetre, CheckTLCEtCheckTLMAgissentChacuneSurSonArbre) {
    ChoisirJournal(Ligne(24, 12, 2001, "[Commerce] \"Aldric\": a") +
                   Ligne(24, 12, 2001, "[Guilde] \"B\xE9reng\xE8re\": b") +
                   Ligne(24, 12, 2001, "{Corentin}\":\"c"));
    Cliquer("CmdRecherche");
    ASSERT_EQ(Noeuds("TreeViewChannels"),
              QStringList({"Zone de proximité", "[Commerce]", "[Guilde]"}));
    ASSERT_EQ(Noeuds("TreeViewNoms"), QStringList({"Aldric", "Bérengère", "Corentin"}));

    QTest::mouseClick(Controle<QCheckBox>("CheckTLC"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("TreeViewChannels"), 3);
    EXPECT_EQ(NoeudsCoches("TreeViewNoms"), 0);

    QTest::mouseClick(Controle<QCheckBox>("CheckTLM"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("TreeViewNoms"), 3);
    EXPECT_EQ(NoeudsCoches("TreeViewChannels"), 3);

    // Décocher la case décoche tout son arbre, nœuds cochés à la main compris ; l'autre arbre
    // ne bouge pas.
    Arbre("TreeViewChannels")->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QTest::mouseClick(Controle<QCheckBox>("CheckTLC"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("TreeViewChannels"), 0);
    EXPECT_EQ(NoeudsCoches("TreeViewNoms"), 3);
    Arbre("TreeViewChannels")->topLevelItem(2)->setCheckState(0, Qt::Checked);
    QTest::mouseClick(Controle<QCheckBox>("CheckTLC"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("TreeViewChannels"), 3);

    // Une nouvelle recherche refait les arbres sans coche, et les deux cases le disent : un
    // clic sur l'une coche alors tout son arbre.
    Cliquer("CmdRecherche");
    EXPECT_EQ(NoeudsCoches("TreeViewChannels"), 0);
    EXPECT_EQ(NoeudsCoches("TreeViewNoms"), 0);
    EXPECT_EQ(Controle<QCheckBox>("CheckTLC")->checkState(), Qt::Unchecked);
    EXPECT_EQ(Controle<QCheckBox>("CheckTLM")->checkState(), Qt::Unchecked);
    QTest::mouseClick(Controle<QCheckBox>("CheckTLM"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("TreeViewNoms"), 3);
}

// ---------------------------------------------------------------------------------------------
// Menus qui s'adressent aux autres unités

TEST_F(Fenetre, InformationSystemePasseParSonLanceur) {
    Menu("mnuSysteme")->trigger();
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
    Menu("mnuAPropos")->trigger();
    EXPECT_EQ(vue, "frmAbout");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace vek::test
