// Plusieurs journaux dans la fenêtre : ceux d'une même scène, vue par deux joueurs dont les
// horloges diffèrent, ouverts ensemble ou ajoutés au journal choisi. La recherche de la fenêtre
// écrit l'extrait de leur fusion (celui du moteur, chaque message une fois) ; retirer un journal
// revient au journal seul ; une horloge donnée dans la fenêtre d'analyse sert à la recherche
// suivante ; le même fichier, même par un lien, n'est qu'un journal.

#include "BancEnDirect.h"

#include <QAbstractItemModel>
#include <QMenu>
#include <QTableView>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "FrmEnDirect.h"
#include "FrmResultats.h"
#include "GenerateurScene.h"
#include "ModeleJournaux.h"
#include "ModeleResultats.h"
#include "Moteur.h"
#include "TexteQt.h"
#include "TrouverScene.h"

namespace vek::test {
namespace {

std::string Lire(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream texte;
    texte << f.rdbuf();
    return texte.str();
}

// La période que les tests tapent dans les champs, et que le moteur cherche seul.
const Periode PeriodeLarge = Periode::Jours(Date{2001, 1, 1}, Date{2002, 12, 31});

class Plusieurs : public BancFenetre {
protected:
    void SetUp() override {
        BancFenetre::SetUp();
        // Aldric, la référence ; Brune, dont l'horloge avance d'une heure et sept secondes.
        ParametresScene p;
        p.joueurs = {{"Aldric", {0, 1}, 0, true}, {"Brune", {1, 2}, 3607, true}};
        p.messages = 300;
        const Scene scene = GenererScene(p);
        a = donnees.Ecrire("aldric.txt", scene.journaux[0]);
        b = donnees.Ecrire("brune.txt", scene.journaux[1]);
    }

    // Comme « VEK_Log a b » : l'analyse de leur fusion, puis son résumé, encore ouvert.
    void Ouvrir(const QStringList& chemins) {
        fenetre->OuvrirJournaux(chemins);
        ASSERT_TRUE(QTest::qWaitFor([this] { return fenetre->PasseEnCours(); }, 5000));
        AttendreFinDePasse();
    }
    FrmAnalyse* Resume() const {
        const auto ouverts = fenetre->FenetresAnalyse();
        return ouverts.empty() ? nullptr : ouverts.back();
    }
    // La recherche de la période large, lancée par le bouton ; rend l'extrait écrit.
    std::string Rechercher() {
        for (FrmAnalyse* resume : fenetre->FenetresAnalyse())
            resume->close();
        Activer();
        Taper("dateDebut", "01/01/2001");
        Taper("dateFin", "31/12/2002");
        Cliquer("boutonRecherche");
        return Lire(fenetre->Moteur().CheminExtrait());
    }
    // L'extrait que le moteur écrit seul, dans son propre dossier, pour ces journaux.
    std::string DuMoteur(const Journaux& journaux) const {
        DossierTemporaire dossier;
        Moteur moteur(ReglagesMoteur{dossier.Chemin()});
        Progression muette;
        const auto r = moteur.Rechercher({journaux, PeriodeLarge}, muette, {});
        EXPECT_TRUE(r.ok()) << (r.ok() ? "" : TexteEchec(r.Echec()).toStdString());
        return r.ok() ? Lire(r->extrait) : std::string();
    }
    QString Q(const std::string& chemin) const { return QString::fromStdString(chemin); }
    QMenu* MenuRetirer() const { return Controle<QMenu>("menuRetirerJournal"); }

    std::string a, b;
};

TEST_F(Plusieurs, LaRechercheEcritLaFusionChaqueMessageUneFois) {
    Ouvrir({Q(a), Q(b)});
    ASSERT_TRUE(messages.empty()) << messages.front().texte.toStdString();
    EXPECT_EQ(Champ("cheminJournal")->text(), "aldric.txt + brune.txt");
    EXPECT_TRUE(Champ("cheminJournal")->isReadOnly());
    const std::string extrait = Rechercher();
    ASSERT_TRUE(messages.empty()) << messages.front().texte.toStdString();
    Journaux deux(std::vector<NomFichier>{a, b});
    EXPECT_EQ(extrait, DuMoteur(deux));
    // La fusion a plus que chacun, et moins que les deux bout à bout : les messages entendus
    // des deux joueurs n'y sont qu'une fois.
    const auto lignes = [](const std::string& t) { return std::count(t.begin(), t.end(), '\n'); };
    EXPECT_GT(lignes(extrait),
              std::max(lignes(DuMoteur(Journaux(a))), lignes(DuMoteur(Journaux(b)))));
    EXPECT_LT(lignes(extrait), lignes(Lire(a)) + lignes(Lire(b)));
}

TEST_F(Plusieurs, RetirerUnJournalRevientAuJournalSeul) {
    for (const bool premier : {false, true}) {
        SCOPED_TRACE(premier ? "le premier retiré" : "le second retiré");
        Ouvrir({Q(a), Q(b)});
        ASSERT_EQ(fenetre->Journaux().chemins.size(), 2u);
        QMenu* menu = MenuRetirer();
        EXPECT_TRUE(menu->menuAction()->isEnabled());
        ASSERT_EQ(menu->actions().size(), 2);
        EXPECT_EQ(menu->actions().at(1)->text(), "brune.txt");
        // Le menu contextuel du champ mène aussi à l'ajout et au retrait.
        emit Champ("cheminJournal")->customContextMenuRequested(QPoint(5, 5));
        QMenu* contexte = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible() && m != menu)
                contexte = m;
        ASSERT_NE(contexte, nullptr);
        // Un seul menu, même après plusieurs changements des journaux.
        int contextes = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible() && m != menu)
                ++contextes;
        EXPECT_EQ(contextes, 1);
        EXPECT_TRUE(contexte->actions().contains(Menu("actionAjouterJournal")));
        EXPECT_TRUE(contexte->actions().contains(menu->menuAction()));
        contexte->close();
        const auto resumes = fenetre->FenetresAnalyse().size();
        menu->actions().at(premier ? 0 : 1)->trigger();
        const std::string reste = premier ? b : a;
        // Celui qui reste est analysé de nouveau : un résumé de plus, le sien.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return fenetre->FenetresAnalyse().size() > resumes && !fenetre->PasseEnCours(); },
            5000));
        // Le champ redevient le chemin du journal seul, qu'on peut de nouveau taper.
        EXPECT_EQ(Champ("cheminJournal")->text(), Q(reste));
        EXPECT_FALSE(Champ("cheminJournal")->isReadOnly());
        EXPECT_FALSE(menu->menuAction()->isEnabled());
        EXPECT_EQ(Rechercher(), DuMoteur(Journaux(reste)));
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(Plusieurs, UneHorlogeDonneeSertALaRechercheSuivante) {
    Ouvrir({Q(a), Q(b)});
    FrmAnalyse* resume = Resume();
    ASSERT_NE(resume, nullptr);
    auto* table = resume->findChild<QTableView*>("tableJournaux");
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(table->isVisible());
    QAbstractItemModel* modele = table->model();
    ASSERT_EQ(modele->rowCount(), 2);
    // Trouvées par la fusion : l'horloge de Brune et les deux joueurs.
    const auto texte = [modele](int r, int c) { return modele->index(r, c).data().toString(); };
    EXPECT_EQ(texte(0, ModeleJournaux::Horloge), "référence");
    EXPECT_TRUE(texte(1, ModeleJournaux::Horloge).startsWith("+1 h 00 min 07 s, trouvée"))
        << texte(1, ModeleJournaux::Horloge).toStdString();
    EXPECT_EQ(texte(0, ModeleJournaux::Joueur), "Aldric, trouvé");
    EXPECT_EQ(texte(1, ModeleJournaux::Joueur), "Brune, trouvé");
    // La case s'édite sous la forme qu'on tape.
    EXPECT_EQ(LireAvance(modele->index(1, ModeleJournaux::Horloge).data(Qt::EditRole).toString()),
              3607);
    const std::string trouvee = DuMoteur(Journaux(std::vector<NomFichier>{a, b}));

    // L'utilisateur tape une autre horloge dans la case, comme au clavier : l'analyse repart.
    resume->activateWindow();
    const QModelIndex horloge = modele->index(1, ModeleJournaux::Horloge);
    table->setCurrentIndex(horloge);
    table->edit(horloge);
    auto* editeur = table->findChild<QLineEdit*>();
    ASSERT_NE(editeur, nullptr);
    editeur->selectAll();
    QTest::keyClicks(editeur, "+0:30:00");
    QTest::keyClick(editeur, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return fenetre->PasseEnCours(); }, 5000));
    AttendreFinDePasse();
    EXPECT_EQ(texte(1, ModeleJournaux::Horloge), "+30 min, donnée");
    ASSERT_EQ(fenetre->Journaux().Donnees(1).avance, std::optional<std::int64_t>(1800));

    Journaux donnee(std::vector<NomFichier>{a, b});
    donnee.donnees = {{}, {1800, std::nullopt}};
    const std::string extrait = Rechercher();
    EXPECT_EQ(extrait, DuMoteur(donnee));
    EXPECT_NE(extrait, trouvee);
}

TEST_F(Plusieurs, LeMemeFichierNeCompteQuUneFois) {
    ChoisirJournal(Lire(a), "aldric.txt");
    const std::string lien = donnees.Chemin() + "/lien-vers-aldric.txt";
    // Un lien symbolique ; sans le droit d'en créer (Windows), un lien dur.
    std::error_code erreur;
    std::filesystem::create_symlink(a, lien, erreur);
    if (erreur)
        std::filesystem::create_hard_link(a, lien);
    for (const std::string& meme : {a, lien}) {
        reponseDialogue = Q(meme);
        Menu("actionAjouterJournal")->trigger();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages.back().texte, QString::fromUtf8("« %1 » est déjà parmi les journaux "
                                                           "chargés.")
                                             .arg(QFileInfo(Q(meme)).fileName()));
        messages.clear();
        EXPECT_EQ(Champ("cheminJournal")->text(), Q(a));
        EXPECT_EQ(fenetre->Journaux().chemins, std::vector<NomFichier>{a});
    }
    // Ouverts ensemble, le même fichier deux fois et son lien : deux journaux.
    Ouvrir({Q(a), Q(b), Q(a), Q(lien), Q(b)});
    EXPECT_EQ(Champ("cheminJournal")->text(), "aldric.txt + brune.txt");
    EXPECT_EQ(fenetre->Journaux().chemins, (std::vector<NomFichier>{a, b}));
    EXPECT_EQ(MenuRetirer()->actions().size(), 2);
    ASSERT_NE(Resume(), nullptr);
    EXPECT_EQ(Resume()->findChild<QTableView*>("tableJournaux")->model()->rowCount(), 2);
}

TEST_F(Plusieurs, UnJournalManquantEstRefuseParSonNom) {
    Ouvrir({Q(a), Q(donnees.Chemin() + "/absent.txt")});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages.front().icone, Icone::Stop);
    EXPECT_TRUE(messages.front().texte.contains("absent.txt"))
        << messages.front().texte.toStdString();
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
}

TEST_F(Plusieurs, ChercherDansLeJournalCherchePartout) {
    Ouvrir({Q(a), Q(b)});
    for (FrmAnalyse* resume : fenetre->FenetresAnalyse())
        resume->close();
    Activer();
    Champ("dateDebut")->clear();
    Champ("dateFin")->clear();
    Taper("champChercher", "de:Brune");
    QTest::keyClick(Champ("champChercher"), Qt::Key_Return);
    AttendreFinDePasse();
    FrmResultats* resultats = nullptr;
    for (FrmResultats* f : fenetre->findChildren<FrmResultats*>())
        if (f->isVisible())
            resultats = f;
    ASSERT_NE(resultats, nullptr);
    const ResultatScene& vu = resultats->Modele().Resultat();
    DemandeScene demande;
    demande.journaux = Journaux(std::vector<NomFichier>{a, b});
    demande.requete = *AnalyserRequete("de:Brune");
    Progression muette;
    const auto attendu = TrouverScene(demande, muette, {});
    ASSERT_TRUE(attendu.ok());
    EXPECT_EQ(vu.trouvees, attendu->trouvees);
    EXPECT_EQ(vu.journaux, attendu->journaux);
    // Des lignes des deux journaux : les « Vous avez dit » de Brune viennent du sien.
    std::set<std::size_t> sources;
    for (const LigneTrouvee& l : vu.lignes)
        sources.insert(l.source);
    EXPECT_EQ(sources, (std::set<std::size_t>{0, 1}));
}

// Le suivi lit ce que le jeu écrit dans chacun des journaux fusionnés.
TEST_F(EnDirect, SuitChacunDesJournauxFusionnes) {
    journal = donnees.Ecrire("aldric.txt", L("[Commerce] \"Aldric\": avant"));
    const std::string autre = donnees.Ecrire("brune.txt", L("[Commerce] \"Aldric\": avant"));
    horloge.journal = journal;
    fenetre->OuvrirJournaux({QString::fromStdString(journal), QString::fromStdString(autre)});
    AttendreFinDePasse();
    Activer();
    SuivreLeJournalCharge();
    ASSERT_NE(fenetre->EnDirect(), nullptr);
    // Le message entendu des deux n'est montré qu'une fois.
    EXPECT_EQ(Vue(), QStringList({"12:00:00 [Commerce] Aldric : avant"}));
    EXPECT_TRUE(
        EtatDeLaVue().contains(QString::fromStdString("« " + journal + " » et « " + autre + " »")))
        << EtatDeLaVue().toStdString();
    std::ofstream(journal, std::ios::binary | std::ios::app)
        << Ligne(24, 12, 2001, "[Commerce] \"Aldric\": d'Aldric", "12:00:09");
    std::ofstream(autre, std::ios::binary | std::ios::app)
        << Ligne(24, 12, 2001, "[Commerce] \"Aldric\": de Brune", "12:00:05");
    veille.Signaler();
    AttendreRegards(2);
    // Dans l'ordre du temps, quel que soit le journal écrit d'abord.
    EXPECT_EQ(Vue().mid(1), QStringList({"12:00:05 [Commerce] Aldric : de Brune",
                                         "12:00:09 [Commerce] Aldric : d'Aldric"}));
}

// L'avance d'une horloge telle qu'on la tape dans le tableau des journaux.
struct AvanceTapee {
    const char* nom;
    const char* texte;
    std::optional<std::int64_t> secondes;
};
class Avances : public ::testing::TestWithParam<AvanceTapee> {};
TEST_P(Avances, SeLitOuEstRefusee) {
    EXPECT_EQ(LireAvance(QString::fromUtf8(GetParam().texte)), GetParam().secondes);
}
INSTANTIATE_TEST_SUITE_P(Tableau, Avances,
                         ::testing::Values(AvanceTapee{"HeuresMinutesSecondes", "+1:00:07", 3607},
                                           AvanceTapee{"SansSigneEnAvance", "1:00:07", 3607},
                                           AvanceTapee{"EnRetard", "-0:00:07", -7},
                                           AvanceTapee{"MoinsTypographique", "\u22120:01:00", -60},
                                           AvanceTapee{"Secondes", " -7 ", -7},
                                           AvanceTapee{"MinutesHorsBornes", "+1:60:00",
                                                       std::nullopt},
                                           AvanceTapee{"DeuxParties", "+1:00", std::nullopt},
                                           AvanceTapee{"PasUnNombre", "une heure", std::nullopt},
                                           AvanceTapee{"Vide", "", std::nullopt}),
                         [](const auto& cas) { return std::string(cas.param.nom); });

TEST(TexteAvances, SigneEtUnites) {
    EXPECT_EQ(TexteAvance(3607), "+1 h 00 min 07 s");
    EXPECT_EQ(TexteAvance(-7), QString::fromUtf8("\u22127 s"));
    EXPECT_EQ(TexteAvance(0), "+0 s");
}

} // namespace
} // namespace vek::test
