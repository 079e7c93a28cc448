// Fenêtre principale et séances : la fenêtre d'analyse à côté des champs et ses séances, les
// périodes à la minute, le bilan d'une recherche (vide, périmée, limites), les arbres triés et
// qui grandissent avec la fenêtre.

#include "OutilsFenetre.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTreeView>

#include <fstream>
#include <map>
#include <sstream>

#include "SystemeDeTest.h"

namespace vek::test {
namespace {

class Seances : public BancFenetre {
protected:
    // La ligne du bilan de la recherche, sous les arbres.
    QLabel* Bilan() const { return Controle<QLabel>("bilanRecherche"); }
};

std::string LireFichier(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream texte;
    texte << f.rdbuf();
    return texte.str();
}

QRect Global(const QWidget* w) {
    return {w->mapToGlobal(QPoint(0, 0)), w->size()};
}

TEST_F(Seances, LaFenetreDAnalyseNeCouvrePasLesChampsDeDateEtSeMetEnCascade) {
    ChoisirJournal(Ligne(24, 12, 2001, "{Aldric}\":\"a"), "un.txt");
    ChoisirJournal(Ligne(25, 12, 2001, "{Aldric}\":\"b"), "deux.txt");
    const auto resumes = fenetre->FenetresAnalyse();
    ASSERT_EQ(resumes.size(), 2u);
    QRect champs = Global(Champ("dateDebut")).united(Global(Champ("dateFin")));
    champs =
        champs.united(Global(Bouton("boutonDateDebut"))).united(Global(Bouton("boutonDateFin")));
    for (FrmAnalyse* resume : resumes) {
        EXPECT_FALSE(resume->frameGeometry().intersects(champs));
        EXPECT_EQ(resume->parentWidget(), fenetre.get()); // outil : au-dessus de la principale
    }
    EXPECT_NE(resumes[0]->pos(), resumes[1]->pos());
}

TEST(PlacementAnalyse, ACoteSinonAutourSinonSousLesChamps) {
    const QRect principale(400, 100, 430, 560);
    const QRect champs(420, 260, 270, 50);
    const QSize taille(460, 300);
    struct Cas {
        const char* nom;
        QRect ecran;
        QPoint attendu;
    };
    const Cas cas[] = {
        {"àDroite", {0, 0, 1920, 1080}, {838, 100}},
        {"àGauche", {-100, 0, 940, 1080}, {-68, 100}},
        {"dessous", {300, 0, 600, 1080}, {400, 668}},
        {"sousLesChamps", {300, 50, 600, 700}, {400, 318}},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(FrmAnalyse::Placer(principale, champs, taille, c.ecran, 0), c.attendu) << c.nom;
        const QRect place(FrmAnalyse::Placer(principale, champs, taille, c.ecran, 1), taille);
        EXPECT_FALSE(place.intersects(champs)) << c.nom;
        EXPECT_TRUE(c.ecran.contains(place)) << c.nom;
    }
}

TEST_F(Seances, LaDerniereSeanceDeLExempleChoisieDonneExactementSesLignes) {
    ChoisirJournal(LireFichier(VEK_JOURNAL_EXEMPLE));
    const auto resumes = fenetre->FenetresAnalyse();
    ASSERT_EQ(resumes.size(), 1u);
    FrmAnalyse* resume = resumes.front();
    ASSERT_GT(resume->NombreSessions(), 10);
    auto* liste = resume->findChild<QTreeView*>(QStringLiteral("listeSessions"));
    ASSERT_NE(liste, nullptr);
    // La plus récente en haut : un double-clic dessus, comme l'utilisateur.
    const QModelIndex premiere = liste->model()->index(0, 0);
    EXPECT_EQ(premiere.data().toString(), "27/12/2001");
    resume->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(resume));
    liste->scrollTo(premiere);
    QApplication::processEvents();
    const QRect rangee = liste->visualRect(premiere);
    ASSERT_FALSE(rangee.isEmpty());
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, rangee.center());
    // Le double-clic fait de la séance la période, ferme le résumé et lance la recherche.
    const QPointer<FrmAnalyse> ferme = resume;
    QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, rangee.center());
    EXPECT_EQ(Champ("dateDebut")->text(), "27/12/2001 23:12");
    EXPECT_EQ(Champ("dateFin")->text(), "27/12/2001 23:37");
    EXPECT_TRUE(ferme.isNull() || !ferme->isVisible());
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
    AttendreFinDePasse();
    EXPECT_TRUE(messages.empty());
    const std::string extrait = LireFichier(programme.Fichier("LogVEKtemp.txt"));
    std::string attendu;
    std::istringstream journal(LireFichier(VEK_JOURNAL_EXEMPLE));
    for (std::string ligne; std::getline(journal, ligne);)
        if (ligne.rfind("12/27/2001 23:", 0) == 0 && ligne.substr(14, 5) >= "12:00" &&
            ligne.substr(14, 5) <= "37:59")
            attendu += ligne + "\n"; // ligne garde son CR
    EXPECT_EQ(extrait, attendu);
    EXPECT_EQ(Bilan()->text().toStdString(),
              "Recherche du 27/12/2001 23:12 au 27/12/2001 23:37 : 2 lignes, 1 channel, "
              "2 personnes");
}

TEST_F(Seances, LeCalendrierGardeLHeureDuChampEtUneDateInvalideDitLaForme) {
    ChoisirJournal(Ligne(24, 12, 2001, "{Aldric}\":\"a"));
    Taper("dateDebut", "24/12/2001 21:10");
    Taper("dateFin", "24/12/2001 23:40:30");
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
    reponseCalendrier = Date{2001, 12, 26};
    QTest::mouseClick(Bouton("boutonDateFin"), Qt::LeftButton);
    EXPECT_EQ(Champ("dateFin")->text(), "26/12/2001 23:40:30");
    reponseCalendrier = Date{2001, 12, 25};
    Taper("dateDebut", "24/12/2001");
    QTest::mouseClick(Bouton("boutonDateDebut"), Qt::LeftButton);
    EXPECT_EQ(Champ("dateDebut")->text(), "25/12/2001");

    EXPECT_TRUE(Champ("dateDebut")->toolTip().isEmpty());
    Taper("dateDebut", "25/12/2001 25:00");
    EXPECT_FALSE(Bouton("boutonRecherche")->isEnabled());
    EXPECT_TRUE(Champ("dateDebut")->toolTip().contains("jj/mm/aaaa hh:mm"));
    Taper("dateDebut", "25/12/2001 05:00");
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
    EXPECT_TRUE(Champ("dateDebut")->toolTip().isEmpty());
}

TEST_F(Seances, UneRechercheVideDitPourquoiEtLaisseCreerLeLogInactif) {
    struct Cas {
        const char* nom;
        std::string journal;
        const char* debut;
        const char* fin;
        const char* raison;
    };
    const Cas cas[] = {
        {"horsPeriode", Ligne(24, 12, 2001, "{Aldric}\":\"a"), "25/12/2001", "26/12/2001",
         "Aucune ligne datée du journal ne tombe dans la période du 25/12/2001 au 26/12/2001"},
        {"inversee", Ligne(24, 12, 2001, "{Aldric}\":\"a"), "26/12/2001", "24/12/2001",
         "est inversée"},
        {"binaire", std::string("\x89PNG\r\n\x1A\n\x00\x00", 10), "24/12/2001", "24/12/2001",
         "aucune ligne datée"},
    };
    for (const Cas& c : cas) {
        // Une recherche qui trouve d'abord : le bouton s'active, puis la vide le rend inactif.
        ChoisirJournal(Ligne(24, 12, 2001, "{Aldric}\":\"a"));
        Taper("dateDebut", "24/12/2001");
        Taper("dateFin", "24/12/2001");
        Cliquer("boutonRecherche");
        ASSERT_TRUE(Bouton("boutonCreerLog")->isEnabled()) << c.nom;
        ChoisirJournal(c.journal);
        Taper("dateDebut", c.debut);
        Taper("dateFin", c.fin);
        messages.clear();
        Cliquer("boutonRecherche");
        ASSERT_EQ(messages.size(), 1u) << c.nom;
        EXPECT_TRUE(messages[0].texte.contains(QString::fromUtf8(c.raison)))
            << c.nom << " : " << messages[0].texte.toStdString();
        EXPECT_FALSE(Bouton("boutonCreerLog")->isEnabled()) << c.nom;
        EXPECT_FALSE(Menu("actionExporterPageWeb")->isEnabled()) << c.nom;
        EXPECT_TRUE(Bilan()->text().contains("0 ligne")) << c.nom;
        for (FrmAnalyse* resume : fenetre->FenetresAnalyse())
            resume->close();
    }
}

TEST_F(Seances, DesArbresDUneAutrePeriodeDemandentAvantDEcrire) {
    ChoisirJournal(Ligne(24, 12, 2001, "{Aldric}\":\"a", "21:00:00") +
                   Ligne(24, 12, 2001, "{Aldric}\":\"b", "23:00:00"));
    Taper("dateDebut", "24/12/2001 20:00");
    Taper("dateFin", "24/12/2001 21:30");
    Cliquer("boutonRecherche");
    const QString bilan = Bilan()->text();
    EXPECT_TRUE(bilan.startsWith("Recherche du 24/12/2001 20:00 au 24/12/2001 21:30 : 1 ligne"));
    Taper("dateFin", "24/12/2001 23:30");
    EXPECT_TRUE(Bilan()->text().contains("la période des champs a changé"));
    EXPECT_TRUE(Bouton("boutonCreerLog")->isEnabled());

    // Non : le journal final s'écrit depuis les arbres d'avant.
    Cocher("arbreNoms", "Aldric");
    Cocher("arbreChannels", "Zone de proximité");
    reponseQuestion = false;
    Cliquer("boutonCreerLog");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].toStdString(),
              "Les arbres viennent de la recherche du 24/12/2001 20:00 au 24/12/2001 21:30 : "
              "relancer la recherche pour la nouvelle période ?");
    ASSERT_EQ(lanceur.ouverts.size(), 1u);

    // Oui : la recherche repart sur la période des champs, rien ne s'écrit.
    reponseQuestion = true;
    Cliquer("boutonCreerLog");
    AttendreFinDePasse();
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(lanceur.ouverts.size(), 1u);
    EXPECT_TRUE(
        Bilan()->text().startsWith("Recherche du 24/12/2001 20:00 au 24/12/2001 23:30 : 2 lignes"));
    // Revenir aux textes de la recherche : plus de question.
    Cliquer("boutonCreerLog");
    EXPECT_EQ(questions.size(), 2u);
}

TEST_F(Seances, LesLimitesDuCatalogueDisentCombienSontLaissesDeCote) {
    std::string journal;
    for (int i = 0; i < 103; ++i)
        journal += Ligne(24, 12, 2001, "[C" + std::to_string(i) + "] \"Aldric\": x");
    for (int i = 0; i < 5004; ++i)
        journal += Ligne(24, 12, 2001, "{N" + std::to_string(i) + "}\":\"x");
    ChoisirJournal(journal);
    Cliquer("boutonRecherche");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].texte.contains("100 channels au plus, 3 autres laissés de côté"))
        << messages[0].texte.toStdString();
    EXPECT_TRUE(messages[0].texte.contains(QString::fromUtf8("5\u00A0000 personnes au plus, "
                                                             "5 autres laissées de côté")))
        << messages[0].texte.toStdString();
    EXPECT_TRUE(Bilan()->text().contains("Limite atteinte"));
}

TEST_F(Seances, LesArbresSontTriesALaFrancaiseEtLesNomsLongsEnInfoBulle) {
    const std::string longNom(300, 'x');
    ChoisirJournal(Ligne(24, 12, 2001, "[guilde] \"\xC9lo\xEFse\": a") +
                   Ligne(24, 12, 2001, "[Commerce] \"emma\": b") +
                   Ligne(24, 12, 2001, "Vous avez dit : c") +
                   Ligne(24, 12, 2001, "[Aide] \"Eloi\": d") +
                   Ligne(24, 12, 2001, "[Commerce] \"" + longNom + "\": e") +
                   Ligne(24, 12, 2001, "{zo\xE9}\":\"f") + Ligne(24, 12, 2001, "{Aldric}\":\"g"));
    Cliquer("boutonRecherche");
    EXPECT_EQ(Noeuds("arbreChannels"),
              QStringList({"Zone de proximité", "[Aide]", "[Commerce]", "[guilde]"}));
    EXPECT_EQ(Noeuds("arbreNoms"),
              QStringList({" Vous (ce que vous avez dit)", "Aldric", "Eloi", "Éloïse", "emma",
                           QString::fromStdString(longNom), "zoé"}));
    QTreeWidget* noms = Arbre("arbreNoms");
    EXPECT_EQ(noms->topLevelItem(5)->toolTip(0), QString::fromStdString(longNom));
}

// Élargie, la bannière, le chemin, les dates et la barre s'étirent et le ciel de la bannière va
// jusqu'au bord ; agrandie, le milieu (les arbres) prend la place et ce qui est dessous descend.
// Plus basse que le plan, elle prend sur la bannière et sur le milieu : le reste garde sa place
// entière.
TEST_F(Seances, LaFenetreSEtireEtSonMilieuDefileQuandElleEstBasse) {
    const auto place = [this](const char* nom) {
        const QWidget* w = Controle<QWidget>(nom);
        return QRect(w->mapTo(fenetre.get(), QPoint(0, 0)), w->size());
    };
    std::map<std::string, QRect> avant;
    for (const char* nom :
         {"banniere", "cheminJournal", "dateDebut", "boutonRecherche", "barreProgression",
          "arbreNoms", "arbreChannels", "boutonCreerLog", "boutonQuitter"})
        avant[nom] = place(nom);
    fenetre->resize(fenetre->size() + QSize(400, 150));
    QApplication::processEvents();
    const int largeur = fenetre->centralWidget()->width();
    EXPECT_GE(place("banniere").right(), largeur - 1);
    const QImage image = fenetre->grab().toImage();
    const QColor ciel = image.pixelColor(image.width() - 3, place("banniere").center().y());
    EXPECT_LT(ciel.lightness(), 100) << "la bannière s'arrête avant le bord";
    EXPECT_EQ(place("cheminJournal").width(), avant["cheminJournal"].width() + 400);
    EXPECT_EQ(place("dateDebut").width(), avant["dateDebut"].width() + 200);
    EXPECT_EQ(place("boutonRecherche").left(), avant["boutonRecherche"].left() + 400);
    EXPECT_EQ(place("barreProgression").width(), avant["barreProgression"].width() + 400);
    EXPECT_EQ(Arbre("arbreNoms")->size(), avant["arbreNoms"].size() + QSize(200, 150));
    EXPECT_FALSE(place("arbreNoms").intersects(place("arbreChannels")));
    EXPECT_EQ(place("boutonCreerLog").topLeft(),
              avant["boutonCreerLog"].topLeft() + QPoint(400, 150));

    // Au plus bas : tout ce qui n'est pas au milieu reste entier dans la fenêtre.
    fenetre->resize(fenetre->minimumSizeHint());
    QApplication::processEvents();
    const QRect zone = fenetre->centralWidget()->rect();
    for (const char* nom : {"cheminJournal", "dateFin", "boutonRecherche", "barreProgression",
                            "bilanRecherche", "boutonQuitter", "boutonCreerLog"})
        EXPECT_TRUE(zone.contains(place(nom).translated(-fenetre->centralWidget()->pos()))) << nom;
    // La bannière et le milieu ont perdu chacun la moitié ; les arbres montrent encore plusieurs
    // noms, et le milieu défilerait s'il fallait aller plus bas.
    const int perte = avant["banniere"].height() - place("banniere").height();
    EXPECT_GT(perte, 40);
    EXPECT_EQ(Arbre("arbreNoms")->height(), avant["arbreNoms"].height() - perte);
    EXPECT_GE(Arbre("arbreNoms")->height(), 4 * Arbre("arbreNoms")->fontMetrics().lineSpacing());
    EXPECT_EQ(Controle<QScrollArea>("zoneMilieu")->widgetResizable(), true);
}

} // namespace
} // namespace vek::test
