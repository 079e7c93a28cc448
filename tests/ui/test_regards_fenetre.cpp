// Le suivi du journal et les commandes de la fenêtre : pendant un regard (une recherche discrète
// que le suivi lance à chaque changement du journal), une commande attend sa fin au lieu d'être
// perdue ; le résultat d'un regard lancé par un suivi précédent n'est pas montré dans le nouveau ;
// la ligne d'état de la vue dit la période que les regards cherchent vraiment ; fermer la
// fenêtre principale arrête le suivi, qu'un regard tourne à cet instant ou non. Le regard est
// retenu par l'horloge de l'essai au milieu de sa lecture : rien ne dépend du temps.

#include "BancEnDirect.h"

namespace vek::test {
namespace {

// « Parcourir », « Ouvrir un Log » (Ctrl+O) et un journal donné au programme (comme un fichier
// déposé) : rien ne part pendant le regard, puis chacun à son tour, dans l'ordre.
TEST_F(EnDirect, ChoisirUnJournalPendantUnRegardAttendSaFin) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    const std::string autre = donnees.Ecrire("autre.TXT", L("[Guilde] \"Bertrand\": ailleurs"));
    const std::size_t dialoguesAvant = dialogues.size();
    const std::size_t resumesAvant = fenetre->FenetresAnalyse().size();
    reponseDialogue = QString::fromStdString(journal);
    PendantUnRegard([&] {
        EXPECT_TRUE(Bouton("boutonParcourir")->isEnabled()); // un regard ne grise rien
        QTest::mouseClick(Bouton("boutonParcourir"), Qt::LeftButton);
        Menu("actionOuvrirJournal")->trigger();
        fenetre->OuvrirJournal(QString::fromStdString(autre));
        EXPECT_EQ(dialogues.size(), dialoguesAvant);
        EXPECT_EQ(fenetre->FenetresAnalyse().size(), resumesAvant);
    });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return fenetre->FenetresAnalyse().size() == resumesAvant + 3 &&
                   !fenetre->PasseEnCours();
        },
        60000))
        << fenetre->FenetresAnalyse().size() - resumesAvant << " analyse(s) sur 3";
    EXPECT_EQ(dialogues.size(), dialoguesAvant + 2);
    EXPECT_EQ(Champ("cheminJournal")->text(), QString::fromStdString(autre)); // la dernière
    EXPECT_TRUE(messages.empty()) << messages.front().texte.toStdString();
}

// Case décochée puis recochée sur un autre journal pendant qu'un regard lit encore l'ancien : ce
// qu'il a lu n'arrive pas dans la vue, et le premier regard du nouveau suivi, qui reprend tout le
// nouveau journal, ne s'annonce pas comme un journal remplacé.
TEST_F(EnDirect, LeRegardDUnSuiviPrecedentNEstPasMontreDansLeNouveau) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    const std::string autre = donnees.Ecrire("autre.TXT", L("[Commerce] \"Aldric\": ailleurs"));
    const int avant = fenetre->EnDirect()->Regards();
    PendantUnRegard([&] {
        auto* suivre = Controle<QCheckBox>("caseSuivre");
        suivre->setChecked(false);
        Champ("cheminJournal")->setText(QString::fromStdString(autre));
        suivre->setChecked(true);
    });
    AttendreRegards(avant + 1);
    EXPECT_EQ(Suite(), QStringList({"12:00:00 [Commerce] Aldric : ailleurs"}));
    EXPECT_NE(EtatDeLaVue().indexOf("autre.TXT"), -1) << EtatDeLaVue().toStdString();
}

// Les regards cherchent la période des arbres : la ligne d'état dit celle-là, et que les champs de
// date en disent une autre tant que la recherche n'a pas été relancée.
TEST_F(EnDirect, LaLigneDEtatDitLaPeriodeQueLesRegardsCherchent) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    EXPECT_NE(EtatDeLaVue().indexOf("du 24/12/2001 au 24/12/2001."), -1)
        << EtatDeLaVue().toStdString();
    auto* suivre = Controle<QCheckBox>("caseSuivre");
    suivre->setChecked(false);
    Taper("dateDebut", "25/12/2001");
    Taper("dateFin", "25/12/2001");
    suivre->setChecked(true);
    AttendreRegards(2);
    const QString etat = EtatDeLaVue();
    EXPECT_NE(etat.indexOf("du 24/12/2001 au 24/12/2001"), -1) << etat.toStdString();
    EXPECT_EQ(etat.indexOf("du 25/12/2001"), -1) << etat.toStdString();
    EXPECT_NE(etat.indexOf("période des arbres"), -1) << etat.toStdString();
    // Ce que la vue montre est bien de la période dite.
    Ecrire(L("[Commerce] \"Aldric\": le 24") + Ligne(25, 12, 2001, "[Commerce] \"Aldric\": le 25"));
    EXPECT_EQ(Suite(), QStringList({"12:00:00 [Commerce] Aldric : le 24"}));

    // La recherche relancée pendant le suivi : les regards cherchent la période des champs ;
    // les coches de l'autre période restent.
    Cliquer("boutonRecherche");
    EXPECT_NE(EtatDeLaVue().indexOf("du 25/12/2001 au 25/12/2001."), -1)
        << EtatDeLaVue().toStdString();
    EXPECT_EQ(EtatDeLaVue().indexOf("période des arbres"), -1) << EtatDeLaVue().toStdString();
    Ecrire(Ligne(25, 12, 2001, "[Commerce] \"Aldric\": encore le 25"));
    EXPECT_EQ(Vue().back(), "12:00:00 [Commerce] Aldric : encore le 25");
}

struct CasFermeture {
    const char* nom;
    bool pendantUnRegard;
};

class FermetureSuivi : public EnDirect, public ::testing::WithParamInterface<CasFermeture> {};

// Fermer la fenêtre principale hors d'une passe ne termine pas le programme (le résumé reste) ;
// le suivi s'arrête et sa vue se ferme. Un regard qui tourne à cet instant n'y change rien.
TEST_P(FermetureSuivi, FermerLaFenetrePrincipaleArreteLeSuiviSansTerminer) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    ASSERT_EQ(fenetre->FenetresAnalyse().size(), 1u);
    if (GetParam().pendantUnRegard)
        PendantUnRegard([&] { fenetre->close(); });
    else
        fenetre->close();
    AttendreFinDePasse();
    EXPECT_EQ(terminaisons, 0);
    EXPECT_FALSE(fenetre->Quitte());
    EXPECT_FALSE(fenetre->isVisible());
    EXPECT_EQ(fenetre->FenetresAnalyse().size(), 1u);
    EXPECT_FALSE(Controle<QCheckBox>("caseSuivre")->isChecked());
    ASSERT_NE(fenetre->EnDirect(), nullptr);
    EXPECT_FALSE(fenetre->EnDirect()->isVisible());
    EXPECT_EQ(veille.veilleurs.load(), 0); // plus rien ne veille le journal
    EXPECT_TRUE(Suite().isEmpty()) << Suite().join('\n').toStdString();
    EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Fenetre, FermetureSuivi,
                         ::testing::Values(CasFermeture{"HorsRegard", false},
                                           CasFermeture{"PendantUnRegard", true}),
                         [](const auto& cas) { return std::string(cas.param.nom); });

} // namespace
} // namespace vek::test
