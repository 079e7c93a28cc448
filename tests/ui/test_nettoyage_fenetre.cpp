// Le nettoyage role-play dans la fenêtre : les cases de « Option Fichier log », éteintes au
// démarrage, et le dialogue « Renommer… », pilotés comme par l'utilisateur, jusqu'à LogFinal.txt.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "OutilsFenetre.h"

namespace vek::test {
namespace {

using NettoyageFenetre = BancFenetre;

std::string JournalRolePlay() {
    return Ligne(24, 12, 2001, "[Guilde] \"Brune\": salut Sosie ((lag))") +
           Ligne(24, 12, 2001, "[Guilde] \"Sosie\": HRP : je reviens") +
           Ligne(24, 12, 2001, "[Guilde] \"Sosie\": me voil\xE0, Brune") +
           Ligne(24, 12, 2001, "{Aldric}\":\"((brb))") +
           Ligne(24, 12, 2001, "Vous avez dit : bonsoir Aldric");
}

// Remplit la table des renommages (une ligne par paire) et valide.
void Renommer(QWidget& dialogue, const std::vector<std::pair<QString, QString>>& paires) {
    auto* table = dialogue.findChild<QTableWidget*>("tableRenommages");
    ASSERT_NE(table, nullptr);
    for (std::size_t i = 0; i < paires.size(); ++i) {
        const int ligne = static_cast<int>(i);
        ASSERT_LT(ligne, table->rowCount()); // une ligne vide attend toujours en bas
        table->setItem(ligne, 0, new QTableWidgetItem(paires[i].first));
        table->setItem(ligne, 1, new QTableWidgetItem(paires[i].second));
    }
    dialogue.findChild<QPushButton*>("boutonValider")->click();
}

TEST_F(NettoyageFenetre, CasesEteintesAuDemarragePuisCocheesEtRenommageJusquALogFinal) {
    ChoisirJournal(JournalRolePlay());
    Taper("dateDebut", "24/12/2001");
    Taper("dateFin", "24/12/2001");
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);

    bool eteintes = false, renommageVu = false;
    QTimer::singleShot(0, qApp, [&] {
        QWidget* boite = QApplication::activeModalWidget();
        ASSERT_NE(boite, nullptr);
        auto* hrp = boite->findChild<QCheckBox*>("caseSansHrp");
        auto* anonymiser = boite->findChild<QCheckBox*>("caseAnonymiser");
        ASSERT_TRUE(hrp && anonymiser);
        eteintes = !hrp->isChecked() && !anonymiser->isChecked();
        // Un clic sur la légende coche la case, comme pour les trois modes.
        auto* legende = boite->findChild<QLabel*>("legendeSansHrp");
        ASSERT_NE(legende, nullptr);
        EXPECT_EQ(legende->text(), "Sans HRP");
        EXPECT_EQ(boite->findChild<QLabel*>("legendeAnonymiser")->text(), "Anonymiser les autres");
        QTest::mouseClick(legende, Qt::LeftButton);
        anonymiser->setChecked(true);
        QTimer::singleShot(0, qApp, [&] {
            QWidget* dialogue = QApplication::activeModalWidget();
            ASSERT_NE(dialogue, nullptr);
            renommageVu = dialogue->objectName() == "DlgRenommer";
            Renommer(*dialogue, {{"Sosie", "Héros"}});
        });
        boite->findChild<QPushButton*>("boutonRenommer")->click();
        EXPECT_TRUE(hrp->isChecked());
        boite->findChild<QPushButton*>("boutonValider")->click();
    });
    Menu("actionOptionsLog")->trigger();
    ASSERT_TRUE(eteintes);
    ASSERT_TRUE(renommageVu);
    Activer();
    Cliquer("boutonCreerLog");
    EXPECT_TRUE(messages.empty());

    const std::string contenu = LireTout(programme.Fichier("LogFinal.txt"));
    for (const char* attendu : {"[Guilde] \"Personne 1\": salut H\xE9ros\r\n",
                                "[Guilde] \"H\xE9ros\": me voil\xE0, Personne 1\r\n",
                                "Vous avez dit : bonsoir Personne 2\r\n"})
        EXPECT_NE(contenu.find(attendu), std::string::npos) << attendu;
    for (const char* absent : {"Brune", "Sosie", "Aldric", "((", "HRP"})
        EXPECT_EQ(contenu.find(absent), std::string::npos) << absent;

    // La table est gardée : l'entrée de menu la rouvre telle quelle.
    QString gardee;
    QTimer::singleShot(0, qApp, [&] {
        QWidget* dialogue = QApplication::activeModalWidget();
        ASSERT_NE(dialogue, nullptr);
        const auto* table = dialogue->findChild<QTableWidget*>("tableRenommages");
        gardee = table->item(0, 0)->text() + "=" + table->item(0, 1)->text();
        dialogue->findChild<QPushButton*>("boutonQuitter")->click();
    });
    Menu("actionRenommer")->trigger();
    EXPECT_EQ(gardee, "Sosie=Héros");
    EXPECT_EQ(fenetre->Nettoyage().renommages.size(), 1u);
}

TEST_F(NettoyageFenetre, UneLigneAMoitieRemplieEstRefuseeSansRienChanger) {
    QString avis;
    bool ouvert = false;
    QTimer::singleShot(0, qApp, [&] {
        QWidget* dialogue = QApplication::activeModalWidget();
        ASSERT_NE(dialogue, nullptr);
        Renommer(*dialogue, {{"Sosie", ""}});
        ouvert = dialogue->isVisible();
        avis = dialogue->findChild<QLabel*>("avisRenommages")->text();
        dialogue->findChild<QPushButton*>("boutonQuitter")->click();
    });
    Menu("actionRenommer")->trigger();
    EXPECT_TRUE(ouvert);
    EXPECT_FALSE(avis.isEmpty());
    EXPECT_TRUE(fenetre->Nettoyage().renommages.empty());
}

struct CasHorsCp1252 {
    const char* nom;
    QString ancien, nouveau;
    QString fautif; // le caractère que l'avis nomme
};

class RenommerHorsCp1252 : public BancFenetre,
                           public ::testing::WithParamInterface<CasHorsCp1252> {};

// Un nom qui ne s'écrit pas en Windows-1252 ne deviendrait pas « ? » en silence : la ligne est
// refusée, l'avis dit pourquoi, rien ne change.
TEST_P(RenommerHorsCp1252, EstRefuseAvecUnAvisSansRienChanger) {
    QString avis;
    bool ouvert = false;
    QTimer::singleShot(0, qApp, [&] {
        QWidget* dialogue = QApplication::activeModalWidget();
        ASSERT_NE(dialogue, nullptr);
        Renommer(*dialogue, {{"Brune", "Brunehilde"}, {GetParam().ancien, GetParam().nouveau}});
        ouvert = dialogue->isVisible();
        avis = dialogue->findChild<QLabel*>("avisRenommages")->text();
        dialogue->findChild<QPushButton*>("boutonQuitter")->click();
    });
    Menu("actionRenommer")->trigger();
    EXPECT_TRUE(ouvert);
    EXPECT_TRUE(avis.startsWith("Ligne 2 ")) << avis.toStdString();
    EXPECT_NE(avis.indexOf("« " + GetParam().fautif + " »"), -1) << avis.toStdString();
    EXPECT_NE(avis.indexOf("Windows-1252"), -1) << avis.toStdString();
    EXPECT_TRUE(fenetre->Nettoyage().renommages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Nom, RenommerHorsCp1252,
    ::testing::Values(CasHorsCp1252{"Ancien", "Łukasz", "Luc", "Ł"},
                      CasHorsCp1252{"Nouveau", "Sosie", "Łukasz", "Ł"},
                      // Hors du plan de base : une paire de substitution, nommée en entier.
                      CasHorsCp1252{"HorsDuPlanDeBase", "Sosie", "Sosie 😀", "😀"},
                      // « œ » et « € » existent en Windows-1252, pas « ő ».
                      CasHorsCp1252{"AccentVoisin", "Cœur€", "Erdő", "ő"}),
    [](const auto& cas) { return std::string(cas.param.nom); });

} // namespace
} // namespace vek::test
