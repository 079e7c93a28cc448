// Fenêtre principale : état initial, règles des boutons, raccourcis, fenêtres de résumé, cases
// « tout sélectionner ».

#include "OutilsFenetre.h"

#include <QBitmap>
#include <QMenu>
#include <QMenuBar>

namespace vek::test {
namespace {

using Fenetre = BancFenetre;

// ---------------------------------------------------------------------------------------------
// État initial

// Les contrôles que l'utilisateur lit ou manœuvre (les images du décor mises à part).
constexpr const char* Controles[] = {
    "boutonRecherche", "dateDebut",           "legendeDateDebut", "dateFin",
    "legendeDateFin",  "boutonDateDebut",     "boutonDateFin",    "cadrePresents",
    "arbreNoms",       "boutonCreerLog",      "arbreChannels",    "legendePresents",
    "legendeChannels", "legendeCompteur",     "compteurLignes",   "boutonQuitter",
    "lienSite",        "legendeJournal",      "cheminJournal",    "boutonParcourir",
    "caseToutLeMonde", "caseTousLesChannels", "barreProgression", "bilanRecherche",
    "caseSuivre",      "champChercher",
};

// Chaque contrôle est visible, entier dans la fenêtre (ou son cadre), et n'en recouvre aucun
// autre : un clic ou une lecture ne tombe jamais sur deux contrôles à la fois.
TEST_F(Fenetre, ChaqueControleEstVisibleEntierEtSansChevauchement) {
    // La taille de la fenêtre, plus la ligne du bilan de la recherche et celle de la recherche de
    // mots.
    EXPECT_EQ(fenetre->centralWidget()->size(), QSize(428, 562));
    std::vector<const QWidget*> vus;
    for (const char* nom : Controles) {
        const QWidget* controle = Controle<QWidget>(nom);
        ASSERT_NE(controle, nullptr) << nom;
        EXPECT_TRUE(controle->isVisible()) << nom;
        EXPECT_TRUE(controle->parentWidget()->rect().contains(controle->geometry())) << nom;
        vus.push_back(controle);
    }
    // Ce que le contrôle occupe : une case ou une légende, seulement ce qu'elle dessine (sa
    // boîte peut être plus large que son texte). Un pixel de bord commun ne compte pas.
    const auto place = [&](const QWidget* w) {
        QSize taille = w->size();
        if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QLabel*>(w))
            taille = taille.boundedTo(w->sizeHint());
        return QRect(w->mapTo(fenetre->centralWidget(), QPoint(0, 0)), taille)
            .adjusted(1, 1, -1, -1);
    };
    for (std::size_t i = 0; i < vus.size(); ++i)
        for (std::size_t j = i + 1; j < vus.size(); ++j) {
            // Le cadre des présents est le fond de ses cases, de ses légendes et des arbres.
            if (vus[i]->objectName() == "cadrePresents" || vus[j]->objectName() == "cadrePresents")
                continue;
            EXPECT_FALSE(place(vus[i]).intersects(place(vus[j])))
                << vus[i]->objectName().toStdString() << " et "
                << vus[j]->objectName().toStdString();
        }
    for (const char* dansLeCadre : {"caseToutLeMonde", "legendePresents", "legendeChannels"})
        EXPECT_EQ(Controle<QWidget>(dansLeCadre)->parentWidget()->objectName(), "cadrePresents");
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
        {"boutonRecherche", "Lancer la recherche", false},
        {"legendeDateDebut", "Date de début :", true},
        {"legendeDateFin", "Date de Fin", true},
        {"boutonDateDebut", "...", false},
        {"boutonDateFin", "...", false},
        {"boutonCreerLog", "Créer le fichier log", false},
        {"legendePresents", "Présents :", true},
        {"legendeChannels", "Channels :", true},
        {"legendeCompteur", "Nombre de lignes anaylsées :", true},
        {"compteurLignes", "0", true},
        {"boutonQuitter", "Quitter", true},
        {"legendeJournal", "Charger le fichier LOG :", true},
        {"boutonParcourir", "...", true},
        {"caseToutLeMonde", "Sélectionnez tout le monde", true},
        {"caseTousLesChannels", "Sélectionnez tous les channels", true},
    };
    for (const Legende& l : legendes) {
        const QWidget* controle = Controle<QWidget>(l.nom);
        ASSERT_NE(controle, nullptr);
        const QString texte = controle->property("text").toString();
        EXPECT_EQ(texte, QString::fromUtf8(l.texte)) << l.nom;
        EXPECT_EQ(controle->isEnabled(), l.actif) << l.nom;
    }
    for (const char* nom : {"dateDebut", "dateFin", "cheminJournal"}) {
        EXPECT_TRUE(Champ(nom)->text().isEmpty()) << nom;
        EXPECT_TRUE(Champ(nom)->isEnabled()) << nom;
        EXPECT_FALSE(Champ(nom)->isReadOnly()) << nom;
        EXPECT_EQ(Champ(nom)->maxLength(), 32767) << nom; // pas de limite propre
    }
    for (const char* nom : {"caseTousLesChannels", "caseToutLeMonde"})
        EXPECT_EQ(Controle<QCheckBox>(nom)->checkState(), Qt::Unchecked) << nom;
    for (const char* nom : {"arbreNoms", "arbreChannels"}) {
        EXPECT_EQ(Arbre(nom)->topLevelItemCount(), 0) << nom;
        EXPECT_TRUE(Arbre(nom)->isEnabled()) << nom;
    }
    const QProgressBar* barre = Controle<QProgressBar>("barreProgression");
    EXPECT_EQ(barre->minimum(), 0);
    EXPECT_EQ(barre->maximum(), 50);
    EXPECT_EQ(barre->value(), 0);
    EXPECT_FALSE(fenetre->Modes().Lire().ModeUnlessDate);
    EXPECT_FALSE(fenetre->Modes().Lire().ModeRPName);
    EXPECT_FALSE(fenetre->Modes().Lire().ModeUnlessChannel);
    EXPECT_EQ(fenetre->palette().color(QPalette::Window), QColor(Qt::white));
}

// Les menus, dans l'ordre : légendes (celles de l'original gardées), raccourcis et état au
// démarrage.
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
const MenuAttendu MenusAttendus[] = {
    {"menuPrincipal",
     "&Menu",
     {{"actionOuvrirJournal", "&Ouvrir un Log", "Ctrl+O"},
      {"actionAjouterJournal", "&Ajouter un journal…", "Ctrl+Shift+O"},
      {"actionRetirerJournal", "Re&tirer un journal", "", false},
      {"actionDateDebut", "Date de &début de traitement", "Ctrl+D"},
      {"actionDateFin", "Date de &fin de traitement", "Ctrl+F"},
      {"actionRecherche", "Lancer la &recherche", "Ctrl+R", false},
      {"actionExporterPageWeb", "&Exporter en page web…", "", false},
      {"actionCopierForum", "Copier pour un forum", "Ctrl+Shift+F", false},
      {"actionCopierDiscord", "Copier pour Discord…", "Ctrl+Shift+D", false},
      {"", "", ""},
      {"actionQuitter", "&Quitter", "Ctrl+Q"}}},
    {"menuOptions",
     "&Option",
     {{"actionOptionsLog", "Option &Fichier log", ""},
      {"actionSansHrp", "Sans &HRP", "Ctrl+H"},
      {"actionRenommer", "&Renommer…", ""}}},
    {"menuAide",
     "&?",
     {{"actionInfoSysteme", "Information &Système", ""},
      {"", "", ""},
      {"actionAPropos", "&A propos de ...", ""}}},
};
TEST_F(Fenetre, MenusLegendesRaccourcisEtOrdre) {
    const QList<QAction*> barre = fenetre->menuBar()->actions();
    ASSERT_EQ(barre.size(), 3);
    for (qsizetype m = 0; m < 3; ++m) {
        const MenuAttendu& attendu = MenusAttendus[m];
        QMenu* menu = barre[m]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), attendu.nom);
        EXPECT_EQ(menu->title(), QString::fromUtf8(attendu.titre));
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(static_cast<std::size_t>(actions.size()), attendu.elements.size()) << attendu.nom;
        for (std::size_t i = 0; i < attendu.elements.size(); ++i) {
            const Element& e = attendu.elements[i];
            const QAction* action = actions[static_cast<qsizetype>(i)];
            EXPECT_EQ(action->isSeparator(), *e.texte == '\0') << i;
            if (!action->isSeparator()) {
                EXPECT_EQ(action->objectName(), e.nom);
            }
            if (!action->isSeparator()) {
                EXPECT_EQ(action->text(), QString::fromUtf8(e.texte)) << e.nom;
            }
            EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(e.raccourci))) << e.nom;
            EXPECT_EQ(action->isEnabled(), e.actif) << e.nom;
            EXPECT_TRUE(action->isVisible()) << e.nom;
        }
    }
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
        Taper("cheminJournal", QString::fromUtf8(c.texte));
        EXPECT_EQ(Bouton("boutonDateDebut")->isEnabled(), c.actifs) << '"' << c.texte << '"';
        EXPECT_EQ(Bouton("boutonDateFin")->isEnabled(), c.actifs) << '"' << c.texte << '"';
    }
}

TEST_F(Fenetre, FichierIntrouvableVideLeCheminEtCoupeLesBoutonsDeDate) {
    Taper("dateDebut", "20/12/2001");
    reponseDialogue = QString::fromStdString(donnees.Fichier("absent.TXT"));
    Cliquer("boutonParcourir");

    ASSERT_EQ(dialogues.size(), 1u);
    EXPECT_EQ(dialogues[0].titre, "Chemin du fichier LOG Q7R");
    EXPECT_TRUE(dialogues[0].filtres.value(0).contains("*.txt"));
    EXPECT_TRUE(dialogues[0].filtres.value(0).contains("*.TXT"));
    EXPECT_EQ(dialogues[0].extension, "txt");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].texte, "Fichier introuvable !");
    EXPECT_EQ(messages[0].titre, "Cercles des Lanternes Sourdes");
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    EXPECT_TRUE(Champ("cheminJournal")->text().isEmpty());
    EXPECT_FALSE(Bouton("boutonDateDebut")->isEnabled());
    EXPECT_FALSE(Bouton("boutonDateFin")->isEnabled());
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
    EXPECT_EQ(Champ("dateDebut")->text(), "20/12/2001"); // les dates restent
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Fenetre, DialogueAnnuleEcritLeNomVideSansAnalyse) {
    Taper("cheminJournal", "ancien.txt");
    reponseDialogue.clear();
    Cliquer("boutonParcourir");
    EXPECT_TRUE(Champ("cheminJournal")->text().isEmpty());
    EXPECT_FALSE(Bouton("boutonDateDebut")->isEnabled());
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
        {"dateDebut", "24/12/2001", false}, // l'autre champ est vide : rien ne change
        {"dateFin", "26/12/2001", true},    // deux dates valides
        {"dateFin", "26/13/2001", false},   // mois 13
        {"dateFin", "26/12/2001", true},    // de nouveau valide
        {"dateFin", "", true},              // un champ vide laisse le bouton tel quel
        {"dateFin", "   ", true},           // des espaces seuls aussi
        {"dateFin", "demain", false},       // pas une date
        {"dateDebut", "", false},           // vide : toujours inactif
        {"dateDebut", " 1/2/2002 ", false}, // l'autre n'est toujours pas une date
        {"dateFin", "29/02/2002", false},   // 2002 n'est pas bissextile
        {"dateFin", "29/02/2004", true},
    };
    for (const Etape& e : etapes) {
        Taper(e.champ, QString::fromUtf8(e.texte));
        EXPECT_EQ(Bouton("boutonRecherche")->isEnabled(), e.actif) << e.champ << " = " << e.texte;
    }
}

TEST_F(Fenetre, CtrlDEtCtrlFOuvrentLeCalendrierBoutonsDeDateInactifs) {
    ASSERT_FALSE(Bouton("boutonDateDebut")->isEnabled());
    reponseCalendrier = Date{2001, 12, 24};
    QTest::keyClick(fenetre.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(appelsCalendrier, 1);
    EXPECT_EQ(Champ("dateDebut")->text(), "24/12/2001");
    EXPECT_FALSE(Bouton("boutonRecherche")->isEnabled());

    reponseCalendrier = Date{2001, 12, 26};
    QTest::keyClick(fenetre.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(appelsCalendrier, 2);
    EXPECT_EQ(Champ("dateFin")->text(), "26/12/2001");
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
    EXPECT_FALSE(Bouton("boutonDateFin")->isEnabled());

    // Annuler le calendrier vide le champ ; le bouton de recherche garde son état.
    reponseCalendrier.reset();
    QTest::keyClick(fenetre.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(Champ("dateDebut")->text().isEmpty());
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
}

TEST_F(Fenetre, LesBoutonsDeDateEcriventLeurChamp) {
    Taper("cheminJournal", "x");
    reponseCalendrier = Date{2001, 12, 24};
    Cliquer("boutonDateDebut");
    reponseCalendrier = Date{2001, 12, 20};
    Cliquer("boutonDateFin");
    EXPECT_EQ(Champ("dateDebut")->text(), "24/12/2001");
    EXPECT_EQ(Champ("dateFin")->text(), "20/12/2001");
    // La règle s'applique aussi quand le texte ne change pas (aucun signal de changement).
    Taper("dateFin", "20/13/2001");
    ASSERT_FALSE(Bouton("boutonRecherche")->isEnabled());
    Champ("dateFin")->blockSignals(true);
    Champ("dateFin")->setText("20/12/2001");
    Champ("dateFin")->blockSignals(false);
    Cliquer("boutonDateFin");
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
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
        // Outil de la fenêtre principale : il reste au-dessus d'elle.
        EXPECT_EQ(resume->parentWidget(), fenetre.get());
        EXPECT_EQ(resume->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        EXPECT_FALSE(resume->isModal());
        EXPECT_EQ(resume->size(), QSize(460, 300)); // le résumé, puis la liste des séances
        EXPECT_EQ(resume->findChild<QPushButton*>("boutonAnnuler")->text(), "Fermer");
    }
    EXPECT_EQ(resumes[0]->Resume(), "Date de début du traitement : lundi 24 décembre 2001\n"
                                    "Date de fin de traitement : mercredi 26 décembre 2001\n"
                                    "Nombre de lignes à analyser : 3");
    EXPECT_EQ(resumes[1]->Resume(), "Date de début du traitement : Non défini. \n"
                                    "Date de fin de traitement : jeudi 3 janvier 2002\n"
                                    "Nombre de lignes à analyser : 2");
    // Le second journal n'a pas de date de début : le champ garde celle du premier.
    EXPECT_EQ(Champ("dateDebut")->text(), "24/12/2001");
    EXPECT_EQ(Champ("dateFin")->text(), "03/01/2002");
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    QPointer<FrmAnalyse> premier = resumes[0];
    premier->activateWindow();
    QTest::keyClick(premier, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(premier.isNull() || !premier->isVisible());
    ASSERT_EQ(fenetre->FenetresAnalyse().size(), 1u);
    EXPECT_EQ(fenetre->FenetresAnalyse()[0], resumes[1]);
    EXPECT_TRUE(fenetre->isVisible()); // la fenêtre principale n'est pas touchée

    QTest::mouseClick(resumes[1]->findChild<QPushButton*>("boutonAnnuler"), Qt::LeftButton);
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
    Cliquer("boutonRecherche");
    ASSERT_EQ(Noeuds("arbreChannels"),
              QStringList({"Zone de proximité", "[Commerce]", "[Guilde]"}));
    ASSERT_EQ(Noeuds("arbreNoms"), QStringList({"Aldric", "Bérengère", "Corentin"}));

    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("arbreChannels"), 3);
    EXPECT_EQ(NoeudsCoches("arbreNoms"), 0);

    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("arbreNoms"), 3);
    EXPECT_EQ(NoeudsCoches("arbreChannels"), 3);

    // Décocher la case décoche tout son arbre, nœuds cochés à la main compris ; l'autre arbre
    // ne bouge pas.
    Arbre("arbreChannels")->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("arbreChannels"), 0);
    EXPECT_EQ(NoeudsCoches("arbreNoms"), 3);
    Arbre("arbreChannels")->topLevelItem(2)->setCheckState(0, Qt::Checked);
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    EXPECT_EQ(NoeudsCoches("arbreChannels"), 3);
}

} // namespace
} // namespace vek::test
