// « Suivre le journal » : la fenêtre « En direct » montre exactement les lignes retenues que le
// jeu ajoute, avec les coches du moment (un changement vaut dès la ligne suivante) ; un journal
// remplacé, tronqué ou réécrit est dit dans la vue et le suivi reprend du nouveau fichier. La
// veille est celle de l'essai : rien ne dépend du temps, chaque écriture la réveille.

#include "BancEnDirect.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include "Publication.h"

namespace vek::test {
namespace {

TEST_F(EnDirect, MontreExactementLesLignesRetenuesEtUneCocheValeDesLaLigneSuivante) {
    Suivre(L("[Commerce] \"Aldric\": avant") + L("[Guilde] \"Bertrand\": avant"));
    // La vue s'ouvre sur les dernières lignes retenues de la période.
    EXPECT_EQ(Vue(), QStringList({"12:00:00 [Commerce] Aldric : avant"}));
    QTreeWidget* noms = Arbre("arbreNoms");
    noms->setCurrentItem(noms->topLevelItem(1)); // Bertrand

    Ecrire(L("[Commerce] \"Aldric\": un") + L("[Guilde] \"Bertrand\": deux") +
           L("[Aide] \"Cyprien\": trois"));
    EXPECT_EQ(Suite(), QStringList({"12:00:00 [Commerce] Aldric : un"}));
    // Les nouveaux nœuds sont dans les arbres : [Aide] coché (« tous les channels » l'est),
    // Cyprien non.
    EXPECT_TRUE(Noeuds("arbreChannels").contains("[Aide]"));
    EXPECT_TRUE(Noeuds("arbreNoms").contains("Cyprien"));
    EXPECT_EQ(NoeudsCoches("arbreChannels"), Arbre("arbreChannels")->topLevelItemCount());
    EXPECT_EQ(NoeudsCoches("arbreNoms"), 1);
    // L'arbre n'a pas été refait : le nœud courant reste celui de l'utilisateur.
    ASSERT_NE(noms->currentItem(), nullptr);
    EXPECT_EQ(noms->currentItem()->text(0), "Bertrand");

    Cocher("arbreNoms", "Bertrand");
    Ecrire(L("[Guilde] \"Bertrand\": quatre"));
    Arbre("arbreNoms")->topLevelItem(0)->setCheckState(0, Qt::Unchecked); // Aldric
    // Le jeu écrit une ligne en deux fois : la moitié n'est jamais montrée.
    const std::string ligne = L("[Guilde] \"Bertrand\": six");
    Ecrire(L("[Commerce] \"Aldric\": cinq") + ligne.substr(0, 30));
    EXPECT_EQ(Suite().size(), 2);
    Ecrire(ligne.substr(30));
    EXPECT_EQ(Suite(),
              QStringList({"12:00:00 [Commerce] Aldric : un", "12:00:00 [Guilde] Bertrand : quatre",
                           "12:00:00 [Guilde] Bertrand : six"}));

    // Le bilan sous les arbres compte tout ce qui a été lu.
    EXPECT_NE(Controle<QLabel>("bilanRecherche")->text().indexOf(" : 8 lignes"), -1)
        << Controle<QLabel>("bilanRecherche")->text().toStdString();

    // « Créer le fichier log » pendant le suivi : de tout ce qui a été lu, coches du moment.
    Cliquer("boutonCreerLog");
    const std::string logFinal = LireTout(fenetre->Moteur().CheminSortie(NomLogFinal));
    EXPECT_NE(logFinal.find("six"), std::string::npos);
    EXPECT_NE(logFinal.find("quatre"), std::string::npos);
    EXPECT_EQ(logFinal.find("cinq"), std::string::npos);
}

// Le nettoyage role-play vaut aussi pour la vue : rien d'hors role-play, aucun vrai nom.
TEST_F(EnDirect, LaVueEstNettoyeeCommeLesSorties) {
    Suivre(L("[Commerce] \"Aldric\": avant") + L("[Guilde] \"Bertrand\": avant"));
    Cocher("arbreNoms", "Bertrand");
    fenetre->Nettoyage().sansHrp = true;
    fenetre->Nettoyage().anonymiser = true;
    Ecrire(L("[Commerce] \"Aldric\": ((brb)) salut Bertrand") +
           L("[Guilde] \"Bertrand\": HRP : lag"));
    EXPECT_EQ(Suite(), QStringList({"12:00:00 [Commerce] Personne 1 : salut Personne 2"}));
}

TEST_F(EnDirect, UneDerniereLigneSansFinEstMontreeUneFoisQueLeJournalSEstTu) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    const std::string ligne = L("[Commerce] \"Aldric\": la fin");
    // La dernière ligne du jeu, sans CR LF : le jeu y touche encore pendant la recherche.
    std::ofstream(journal, std::ios::binary | std::ios::app) << ligne.substr(0, ligne.size() - 2);
    const auto date = std::filesystem::last_write_time(journal);
    int avant = fenetre->EnDirect()->Regards();
    veille.Signaler();
    AttendreRegards(avant + 1);
    EXPECT_TRUE(Suite().isEmpty());
    // Puis il n'écrit plus rien : le journal est tel que la veille l'a vu, et le coup d'œil
    // suivant y revient quand même.
    std::filesystem::last_write_time(journal, date);
    horloge.tait = true;
    avant = fenetre->EnDirect()->Regards();
    veille.Signaler();
    AttendreRegards(avant + 1);
    // Montrée, mais le jeu ne l'a pas achevée : un « … » gris la suit.
    EXPECT_EQ(Suite(), QStringList({"12:00:00 [Commerce] Aldric : la fin …"}));
    EXPECT_TRUE(fenetre->EnDirect()->Provisoire());
    // Le jeu l'achève autrement, puis écrit la suivante : corrigée en place, une seule fois.
    Ecrire(" du jour\r\n" + L("[Commerce] \"Aldric\": ensuite"));
    EXPECT_EQ(Suite(), QStringList({"12:00:00 [Commerce] Aldric : la fin du jour",
                                    "12:00:00 [Commerce] Aldric : ensuite"}));
    EXPECT_FALSE(fenetre->EnDirect()->Provisoire());
}

// Les cases « Sélectionnez… » cochées : la toute première ligne d'un locuteur ou d'un channel
// que le journal n'avait pas encore est montrée, et son nœud arrive coché.
TEST_F(EnDirect, LaPremiereLigneDUnNouveauLocuteurEtDUnNouveauChannelEstMontree) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    Ecrire(L("[Taverne] \"Ysolde\": entre") + L("[March\xE9] \"Tristan\": crie") +
           L("[Commerce] \"Aldric\": salue"));
    EXPECT_EQ(Suite(),
              QStringList({"12:00:00 [Taverne] Ysolde : entre", "12:00:00 [Marché] Tristan : crie",
                           "12:00:00 [Commerce] Aldric : salue"}));
    EXPECT_EQ(NoeudsCoches("arbreNoms"), Arbre("arbreNoms")->topLevelItemCount());
    EXPECT_EQ(NoeudsCoches("arbreChannels"), Arbre("arbreChannels")->topLevelItemCount());
    // Un nœud décoché à la main reste dehors, la case cochée ou non.
    for (int i = 0; i < Arbre("arbreNoms")->topLevelItemCount(); ++i)
        if (Arbre("arbreNoms")->topLevelItem(i)->text(0) == "Ysolde")
            Arbre("arbreNoms")->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    Ecrire(L("[Taverne] \"Ysolde\": part") + L("[Taverne] \"Gaspard\": arrive"));
    EXPECT_EQ(Suite().mid(3), QStringList({"12:00:00 [Taverne] Gaspard : arrive"}));
}

// Une rafale qui fait déborder la vue pour la première fois, puis la vue qui change de taille
// (le gestionnaire de fenêtres la pose, l'utilisateur la tire) : elle suit toujours la scène, et
// la ligne suivante arrive en bas.
TEST_F(EnDirect, UneRafaleQuiFaitDeborderLaVueEstSuivieJusquAuBout) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    FrmEnDirect* vue = fenetre->EnDirect();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(vue));
    std::string rafale;
    for (int i = 1; i <= 40; ++i)
        rafale += L("[Commerce] \"Aldric\": ligne " + std::to_string(i));
    Ecrire(rafale);
    const auto enBas = [vue] {
        QPlainTextEdit* texte = vue->Vue();
        return texte->cursorForPosition(QPoint(4, texte->viewport()->height() - 4)).block().text();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return enBas().endsWith("ligne 40"); }, 2000))
        << enBas().toStdString();
    vue->resize(vue->width(), vue->height() - 60);
    QApplication::processEvents();
    Ecrire(L("[Commerce] \"Aldric\": encore"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return enBas().endsWith("encore"); }, 2000))
        << enBas().toStdString();
}

// La vue s'ouvre sur les dernières lignes retenues de la période, pas sur tout l'extrait.
TEST_F(EnDirect, LaVueSOuvreSurLesCinquanteDernieresLignesDeLaPeriode) {
    std::string scene;
    for (int i = 1; i <= 120; ++i)
        scene += L("[Commerce] \"Aldric\": scene " + std::to_string(i)) +
                 L("[Guilde] \"Bertrand\": ailleurs");
    Suivre(scene);
    const QStringList vue = Vue();
    ASSERT_EQ(vue.size(), FrmEnDirect::LignesAOuverture);
    EXPECT_EQ(vue.front(), "12:00:00 [Commerce] Aldric : scene 71");
    EXPECT_EQ(vue.back(), "12:00:00 [Commerce] Aldric : scene 120");
}

struct CasChangement {
    const char* nom;
    void (*changer)(const std::string& journal, DossierTemporaire& donnees);
    const char* raison; // dans le message de la vue
};

void Renommer(const std::string& journal, DossierTemporaire& donnees) {
    std::filesystem::rename(donnees.Ecrire("autre.TXT", L("[Commerce] \"Aldric\": nouveau")),
                            journal);
}
void Tronquer(const std::string& journal, DossierTemporaire&) {
    std::ofstream(journal, std::ios::binary | std::ios::trunc)
        << L("[Commerce] \"Aldric\": nouveau");
}
void ReecrirePlusLong(const std::string& journal, DossierTemporaire&) {
    std::ofstream(journal, std::ios::binary | std::ios::trunc)
        << L("[Commerce] \"Aldric\": autre début, plus long que l'ancien journal")
        << L("[Guilde] \"Bertrand\": du remplissage pour dépasser l'ancienne fin")
        << L("[Commerce] \"Aldric\": nouveau");
}

class ChangementSuivi : public EnDirect, public ::testing::WithParamInterface<CasChangement> {};

TEST_P(ChangementSuivi, EstDitDansLaVueEtLeSuiviReprendDuNouveauFichier) {
    Suivre(L("[Commerce] \"Aldric\": avant") + L("[Guilde] \"Bertrand\": avant"));
    Ecrire(L("[Commerce] \"Aldric\": un"));
    const int avant = fenetre->EnDirect()->Regards();
    GetParam().changer(journal, donnees);
    veille.Signaler();
    AttendreRegards(avant + 1);
    const QStringList vue = Suite();
    ASSERT_GE(vue.size(), 3) << vue.join('\n').toStdString();
    EXPECT_EQ(vue.front(), "12:00:00 [Commerce] Aldric : un"); // rien de perdu
    EXPECT_NE(vue.at(1).indexOf(QString::fromUtf8(GetParam().raison)), -1)
        << vue.at(1).toStdString();
    EXPECT_EQ(vue.back(), "12:00:00 [Commerce] Aldric : nouveau");
    EXPECT_EQ(Controle<QCheckBox>("caseSuivre")->isChecked(), true);
    // Et le suivi continue sur le nouveau fichier.
    Ecrire(L("[Commerce] \"Aldric\": encore"));
    EXPECT_EQ(Vue().back(), "12:00:00 [Commerce] Aldric : encore");
}

INSTANTIATE_TEST_SUITE_P(
    Journal, ChangementSuivi,
    ::testing::Values(CasChangement{"RemplaceParRenommage", Renommer, "remplacé"},
                      CasChangement{"Tronque", Tronquer, "raccourci"},
                      CasChangement{"ReecritEnPlacePlusLong", ReecrirePlusLong, "changé"}),
    [](const auto& cas) { return std::string(cas.param.nom); });

TEST_F(EnDirect, FermerLaVueArreteLeSuivi) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    ASSERT_EQ(veille.veilleurs.load(), 1);
    fenetre->EnDirect()->close();
    EXPECT_FALSE(Controle<QCheckBox>("caseSuivre")->isChecked());
    // La veille du suivi n'est plus : aucun fil ne peut plus faire regarder le journal.
    EXPECT_EQ(veille.veilleurs.load(), 0);
    const int regards = fenetre->EnDirect()->Regards();
    std::ofstream(journal, std::ios::binary | std::ios::app) << L("[Commerce] \"Aldric\": un");
    veille.Signaler();
    // Le signal reste sans preneur et rien n'est regardé : une veille restée en vie l'aurait pris
    // en quelques millisecondes. L'attente ne peut que laisser passer un défaut, jamais en
    // inventer un sous la charge.
    EXPECT_FALSE(QTest::qWaitFor(
        [&] {
            return veille.NonVus() == 0 || fenetre->PasseEnCours() ||
                   fenetre->EnDirect()->Regards() != regards;
        },
        1000));
    EXPECT_TRUE(Suite().isEmpty());
}

// ---------------------------------------------------------------------------------------------
// La vue elle-même

QString Latin1(std::string_view texte) {
    return QString::fromLatin1(texte.data(), static_cast<qsizetype>(texte.size()));
}

LigneSuivie Direct(int i) {
    return {GenreEntree::Channel,           "21:00:00", "[Guilde]", "Nom" + std::to_string(i % 7),
            "message " + std::to_string(i), ""};
}

TEST_F(EnDirect, LaVueSuitLaSceneSaufSiLUtilisateurEstRemonte) {
    FrmEnDirect vue;
    vue.show();
    std::vector<LigneSuivie> lignes;
    for (int i = 0; i < 300; ++i)
        lignes.push_back(Direct(i));
    vue.Ajouter(lignes);
    QScrollBar* barre = vue.Vue()->verticalScrollBar();
    ASSERT_GT(barre->maximum(), 0);
    EXPECT_EQ(barre->value(), barre->maximum());
    barre->setValue(10); // l'utilisateur remonte lire
    vue.Ajouter({Direct(300), Direct(301)});
    EXPECT_EQ(barre->value(), 10);
    barre->setValue(barre->maximum());
    vue.Ajouter({Direct(302)});
    EXPECT_EQ(barre->value(), barre->maximum());
}

// Pleine, la vue perd ses premières lignes à chaque ajout : qui est remonté lire voit toujours les
// mêmes lignes, le texte ne glisse pas sous ses yeux.
TEST_F(EnDirect, PleineLaVueNeFaitPasGlisserLeTexteSousLeLecteurRemonte) {
    FrmEnDirect vue;
    vue.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&vue));
    std::vector<LigneSuivie> lignes;
    for (int i = 0; i < FrmEnDirect::LignesGardees; ++i)
        lignes.push_back(Direct(i));
    vue.Ajouter(lignes);
    QScrollBar* barre = vue.Vue()->verticalScrollBar();
    barre->setValue(barre->maximum() / 2); // l'utilisateur remonte lire
    const auto enHaut = [&] { return vue.Vue()->cursorForPosition(QPoint(2, 2)).block().text(); };
    const QString lue = enHaut();
    ASSERT_TRUE(lue.contains("message ")) << lue.toStdString();
    for (int tour = 0; tour < 3; ++tour) {
        vue.Ajouter({Direct(-1), Direct(-2)});
        EXPECT_EQ(enHaut(), lue) << "après " << tour + 1 << " ajout(s)";
    }
    ASSERT_EQ(vue.Lignes().size(), FrmEnDirect::LignesGardees);
    EXPECT_TRUE(vue.Lignes().front().endsWith("message 6"));
}

TEST_F(EnDirect, LaVueGardeLesDixMilleDernieresLignes) {
    FrmEnDirect vue;
    std::vector<LigneSuivie> lignes;
    for (int i = 0; i < FrmEnDirect::LignesGardees + 5; ++i)
        lignes.push_back(Direct(i));
    vue.Ajouter(lignes);
    vue.Ajouter({Direct(-1)});
    const QStringList vues = vue.Lignes();
    ASSERT_EQ(vues.size(), FrmEnDirect::LignesGardees);
    EXPECT_TRUE(vues.front().endsWith("message 6"));
    EXPECT_TRUE(vues.back().endsWith("message -1"));
}

// La ligne provisoire se corrige en place, même quand un message du suivi est venu après elle ;
// retirée, elle part avec son saut de ligne ; achevée telle quelle, elle perd son « … ».
TEST_F(EnDirect, LaLigneProvisoireSeCorrigeEnPlace) {
    FrmEnDirect vue;
    vue.Ajouter({Direct(1), Direct(2)}, nullptr, true);
    vue.Annoncer("lecture impossible");
    ASSERT_TRUE(vue.Provisoire());
    EXPECT_TRUE(vue.Lignes().at(1).endsWith("message 2 …"));
    vue.Corriger(Direct(20));
    EXPECT_EQ(vue.Lignes().size(), 3);
    EXPECT_TRUE(vue.Lignes().at(1).endsWith("Nom6 : message 20"))
        << vue.Lignes().at(1).toStdString();
    EXPECT_FALSE(vue.Provisoire());

    vue.Ajouter({Direct(3)}, nullptr, true);
    vue.Corriger(std::nullopt); // plus retenue
    EXPECT_EQ(vue.Lignes().size(), 3);
    EXPECT_TRUE(vue.Lignes().back().contains("lecture impossible"));

    vue.Ajouter({Direct(4)}, nullptr, true);
    vue.Ajouter({Direct(5)}); // le jeu a écrit après elle
    EXPECT_TRUE(vue.Lignes().at(3).endsWith("message 4"));
    EXPECT_FALSE(vue.Provisoire());
    EXPECT_EQ(vue.Regards(), 4);
}

TEST_F(EnDirect, LeNomALaCouleurDeLaPageWebEtLesTextesSontEchappes) {
    LigneSuivie l{GenreEntree::Channel, "21:00:00", "[Guilde]", "Aldric", "<b>&</b>", ""};
    const QString html = FrmEnDirect::Presenter(l, TeintesDesNoms());
    EXPECT_NE(html.indexOf(Latin1(CouleurNom("Aldric"))), -1) << html.toStdString();
    EXPECT_NE(html.indexOf(Latin1(CouleurTeinteChannel(TeinteChannel("[Guilde]")))), -1);
    EXPECT_EQ(html.indexOf("<b>&</b>"), -1); // le texte du journal n'est jamais du HTML
    EXPECT_NE(html.indexOf("&lt;b&gt;&amp;&lt;/b&gt;"), -1);
}

} // namespace
} // namespace vek::test
