// La scène du soir en un choix, dans « Analyse :) » : plusieurs séances sélectionnées d'un coup
// (Maj, Ctrl), « Ce soir » pour le dernier soir, la pause réglable ; « Choisir », Entrée ou un
// double-clic fait de leur période celle des champs, ferme la fenêtre et lance la recherche.

#include "OutilsFenetre.h"

#include <QSpinBox>
#include <QTreeView>

#include <fstream>
#include <sstream>

namespace vek::test {
namespace {

std::string Exemple() {
    std::ifstream f(VEK_JOURNAL_EXEMPLE, std::ios::binary);
    std::ostringstream texte;
    texte << f.rdbuf();
    return texte.str();
}

class Soiree : public BancFenetre {
protected:
    FrmAnalyse* Resume() {
        const auto resumes = fenetre->FenetresAnalyse();
        EXPECT_EQ(resumes.size(), 1u);
        return resumes.empty() ? nullptr : resumes.back();
    }
    QTreeView* Liste(FrmAnalyse* resume) const {
        return resume->findChild<QTreeView*>(QStringLiteral("listeSessions"));
    }
    // Un clic sur une rangée de la liste, avec les touches données.
    void ClicRangee(FrmAnalyse* resume, int rangee, Qt::KeyboardModifiers touches = {}) {
        QTreeView* liste = Liste(resume);
        const QRect place = liste->visualRect(liste->model()->index(rangee, 0));
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, touches, place.center());
    }
};

TEST_F(Soiree, TroisSeancesSelectionneesDonnentLeurPeriodeEtLaRecherchePart) {
    ChoisirJournal(Exemple());
    FrmAnalyse* resume = Resume();
    ASSERT_NE(resume, nullptr);
    ClicRangee(resume, 0);
    ClicRangee(resume, 2, Qt::ShiftModifier); // les trois plus récentes
    QTest::mouseClick(resume->findChild<QPushButton*>("boutonChoisir"), Qt::LeftButton);
    AttendreFinDePasse();
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty()) << "la fenêtre se ferme";
    EXPECT_EQ(Champ("dateDebut")->text(), "27/12/2001 20:06");
    EXPECT_EQ(Champ("dateFin")->text(), "27/12/2001 23:37");
    EXPECT_TRUE(Controle<QLabel>("bilanRecherche")
                    ->text()
                    .startsWith("Recherche du 27/12/2001 20:06 au 27/12/2001 23:37 : 9 lignes"))
        << Controle<QLabel>("bilanRecherche")->text().toStdString();
    EXPECT_TRUE(messages.empty());
}

TEST_F(Soiree, CeSoirSelectionneLeDernierSoirEtEntreeLeChoisit) {
    ChoisirJournal(Exemple());
    FrmAnalyse* resume = Resume();
    ASSERT_NE(resume, nullptr);
    QTest::mouseClick(resume->findChild<QPushButton*>("boutonCeSoir"), Qt::LeftButton);
    EXPECT_EQ(Liste(resume)->selectionModel()->selectedRows().size(), 5);
    resume->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(resume));
    QTest::keyClick(Liste(resume), Qt::Key_Return);
    AttendreFinDePasse();
    EXPECT_TRUE(fenetre->FenetresAnalyse().empty());
    // La séance de 17:42 à 18:05 déborde sur le soir : elle en est.
    EXPECT_EQ(Champ("dateDebut")->text(), "27/12/2001 17:42");
    EXPECT_EQ(Champ("dateFin")->text(), "27/12/2001 23:37");
    EXPECT_GT(Arbre("arbreNoms")->topLevelItemCount(), 3);
}

// Le dernier soir selon l'heure de la dernière séance (jours du 24 au 26 décembre 2001).
struct CasSoir {
    const char* nom;
    std::vector<std::pair<int, int>> seances; // (jour, minute de début), une heure chacune
    const char* debut;                        // la période choisie par « Ce soir »
    const char* fin;
};

class DernierSoir : public BancFenetre, public ::testing::WithParamInterface<CasSoir> {};

TEST_P(DernierSoir, CeSoirChoisitLesSeancesDuSoir) {
    std::vector<Session> seances;
    for (const auto& [jour, minute] : GetParam().seances) {
        Session s;
        s.debut = {{2001, 12, jour}, minute * 60};
        s.fin = {{2001, 12, jour}, std::min(minute * 60 + 3600, SecondesParJour - 1)};
        s.lignes = 2;
        seances.push_back(s);
    }
    FrmAnalyse resume;
    resume.DefinirSessions(seances);
    QString debut, fin;
    QObject::connect(&resume, &FrmAnalyse::PeriodeChoisie, [&](const QString& d, const QString& f) {
        debut = d;
        fin = f;
    });
    resume.SelectionnerCeSoir();
    resume.Choisir();
    EXPECT_EQ(debut, QString::fromUtf8(GetParam().debut));
    EXPECT_EQ(fin, QString::fromUtf8(GetParam().fin));
}

INSTANTIATE_TEST_SUITE_P(
    Seances, DernierSoir,
    ::testing::Values(CasSoir{"LeSoir",
                              {{24, 20 * 60}, {25, 14 * 60}, {25, 19 * 60}, {25, 21 * 60 + 30}},
                              "25/12/2001 19:00",
                              "25/12/2001 22:30"},
                      CasSoir{"UneSeanceQuiDebordeSurLeSoir",
                              {{25, 17 * 60 + 30}, {25, 20 * 60}},
                              "25/12/2001 17:30",
                              "25/12/2001 21:00"},
                      CasSoir{"LaNuitProlongeLaVeille",
                              {{24, 22 * 60}, {25, 21 * 60}, {26, 60}},
                              "25/12/2001 21:00",
                              "26/12/2001 02:00"},
                      CasSoir{"SansSoirLeDernierJour",
                              {{24, 21 * 60}, {25, 9 * 60}, {25, 13 * 60}},
                              "25/12/2001 09:00",
                              "25/12/2001 14:00"}),
    [](const auto& cas) { return std::string(cas.param.nom); });

TEST_F(Soiree, LaPauseRefaitLesSeancesEtSertAuxAnalysesSuivantes) {
    const std::string exemple = Exemple();
    ChoisirJournal(exemple);
    FrmAnalyse* resume = Resume();
    ASSERT_NE(resume, nullptr);
    const int avant = resume->NombreSessions();
    resume->findChild<QSpinBox*>("champPause")->setValue(120);
    AttendreFinDePasse();
    EXPECT_LT(resume->NombreSessions(), avant);
    EXPECT_GT(resume->NombreSessions(), 0);
    EXPECT_EQ(fenetre->FenetresAnalyse().size(), 1u) << "la même fenêtre";
    const int deuxHeures = resume->NombreSessions();
    resume->close();
    ChoisirJournal(exemple, "encore.txt");
    ASSERT_NE(Resume(), nullptr);
    EXPECT_EQ(Resume()->Pause(), 120);
    EXPECT_EQ(Resume()->NombreSessions(), deuxHeures);
}

} // namespace
} // namespace vek::test
