// « Chercher dans le journal » : Entrée dans le champ cherche la requête dans le journal chargé,
// dans la période des champs de date s'ils en disent une ; la fenêtre « Résultats » groupe les
// lignes trouvées par séance, les mots trouvés en gras ; la séance choisie devient la période et
// la recherche part. Rien trouvé, requête mal formée, recherche arrêtée : dits, sans fenêtre.

#include "OutilsFenetre.h"

#include <QTreeView>

#include <fstream>
#include <sstream>

#include "BarreEtat.h"
#include "FrmResultats.h"
#include "ModeleResultats.h"
#include "TrouverScene.h"

namespace vek::test {
namespace {

std::string Exemple() {
    std::ifstream f(VEK_JOURNAL_EXEMPLE, std::ios::binary);
    std::ostringstream texte;
    texte << f.rdbuf();
    return texte.str();
}

// Transmet tout à la progression de la fenêtre, et retient la passe à sa première valeur tant
// que le test ne la libère pas (dix secondes au plus).
class ProgressionRetenue final : public Progression {
public:
    Progression* fenetre = nullptr;
    std::atomic<bool> atteinte{false};
    std::atomic<bool> retenue{true};

    void Maximum(std::uint64_t maximum) override { fenetre->Maximum(maximum); }
    void Valeur(std::uint64_t valeur) override {
        fenetre->Valeur(valeur);
        atteinte = true;
        for (int i = 0; i < 5000 && retenue; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    void Compteur(std::uint64_t lignes) override { fenetre->Compteur(lignes); }
};

class Mots : public BancFenetre {
protected:
    // Le journal chargé, son résumé fermé ; les champs de date gardent ses jours.
    void Charger(std::string_view contenu = {}) {
        journal = ChoisirJournal(contenu.empty() ? Exemple() : std::string(contenu));
        for (FrmAnalyse* resume : fenetre->FenetresAnalyse())
            resume->close();
        Activer();
    }
    // La requête tapée dans le champ, puis Entrée ; attend la fin de la passe qu'elle lance.
    void Chercher(const QString& requete) {
        Taper("champChercher", requete);
        QTest::keyClick(Champ("champChercher"), Qt::Key_Return);
        AttendreFinDePasse();
    }
    // La fenêtre « Résultats » visible, s'il y en a une.
    FrmResultats* Resultats() const {
        for (FrmResultats* f : fenetre->findChildren<FrmResultats*>())
            if (f->isVisible())
                return f;
        return nullptr;
    }
    // Ce que le moteur trouve seul dans le journal chargé.
    ResultatScene DuMoteur(std::string_view requete, std::optional<Periode> periode = {}) const {
        DemandeScene demande;
        demande.journaux = Journaux(journal);
        demande.requete = *AnalyserRequete(requete);
        demande.periode = periode;
        Progression muette;
        auto r = TrouverScene(demande, muette, {});
        EXPECT_TRUE(r.ok());
        return r.ok() ? std::move(*r) : ResultatScene{};
    }
    // La fenêtre montre les séances et les lignes du moteur, dans son ordre.
    void ComparerAuMoteur(const FrmResultats& f, const ResultatScene& attendu) const {
        const ModeleResultats& m = f.Modele();
        ASSERT_EQ(m.rowCount(), static_cast<int>(attendu.seances.size()));
        std::size_t ligne = 0;
        for (int s = 0; s < m.rowCount(); ++s) {
            const SeanceTrouvee& seance = attendu.seances[static_cast<std::size_t>(s)];
            const QModelIndex noeud = m.index(s, 0);
            const QString texte = noeud.data().toString();
            EXPECT_TRUE(texte.startsWith(QStringLiteral("Séance %1 — ").arg(seance.numero)))
                << texte.toStdString();
            EXPECT_TRUE(texte.contains(QStringLiteral(": %1 résultat").arg(seance.resultats)))
                << texte.toStdString();
            EXPECT_EQ(m.rowCount(noeud), static_cast<int>(seance.resultats));
            for (int r = 0; r < m.rowCount(noeud); ++r, ++ligne) {
                ASSERT_LT(ligne, attendu.lignes.size());
                const LigneTrouvee& t = attendu.lignes[ligne];
                EXPECT_EQ(t.seance, seance.numero);
                const QString heure = QString::fromStdString(
                    InstantCourt({t.date, *t.seconde}, Precision::Seconde).substr(11));
                EXPECT_TRUE(m.index(r, 0, noeud).data().toString().startsWith(heure + "  "));
            }
        }
        EXPECT_EQ(ligne, attendu.lignes.size());
        EXPECT_TRUE(f.findChild<QLabel*>("total")->text().startsWith(
            QStringLiteral("%1 résultats dans %2 séances")
                .arg(attendu.trouvees)
                .arg(attendu.seances.size())));
    }
    QModelIndex Ligne(const FrmResultats& f, int seance, int rang) const {
        return f.Modele().index(rang, 0, f.Modele().index(seance, 0));
    }

    std::string journal;
};

TEST_F(Mots, EntreeChercheDansToutLeJournalEtMontreCeQueTrouveLeMoteur) {
    Charger();
    Taper("dateDebut", "");
    Taper("dateFin", "");
    Chercher("chateau");
    FrmResultats* f = Resultats();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(f->findChild<QLabel*>("titre")->text(), "« chateau » dans tout le journal");
    const ResultatScene attendu = DuMoteur("chateau");
    EXPECT_EQ(attendu.trouvees, 10u);
    ComparerAuMoteur(*f, attendu);
    // Une ligne lue comme un joueur la lit, le mot trouvé en gras, accents et tout.
    const QModelIndex aldric = Ligne(*f, 2, 0);
    EXPECT_EQ(aldric.data().toString(),
              "14:45:11  [Commerce] Aldric : j'achète du minerai à 12 € le château est pris");
    EXPECT_TRUE(aldric.data(ModeleResultats::RoleHtml).toString().contains("<b>château</b>"));
    EXPECT_EQ(Ligne(*f, 0, 0).data(ModeleResultats::RoleHtml).toString().count("<b>château</b>"),
              2);
}

TEST_F(Mots, LaPeriodeDesChampsBorneLaRecherche) {
    Charger();
    Taper("dateDebut", "26/12/2001");
    Taper("dateFin", "26/12/2001 18:40");
    Chercher("chateau");
    FrmResultats* f = Resultats();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->findChild<QLabel*>("titre")->text(),
              "« chateau » du 26/12/2001 au 26/12/2001 18:40");
    ComparerAuMoteur(*f, DuMoteur("chateau", Periode{{{2001, 12, 26}, 0},
                                                     {{2001, 12, 26}, 18 * 3600 + 40 * 60 + 59}}));
    EXPECT_EQ(f->Modele().Resultat().trouvees, 3u);
    // Un seul champ rempli : la période est ouverte de l'autre côté.
    Taper("dateFin", "");
    Chercher("chateau");
    ASSERT_NE(Resultats(), nullptr);
    EXPECT_EQ(Resultats()->findChild<QLabel*>("titre")->text(),
              "« chateau » à partir du 26/12/2001");
    EXPECT_EQ(Resultats()->Modele().Resultat().trouvees, 7u);
}

// Les façons de choisir une séance dans « Résultats ».
enum class Facon { DoubleClicLigne, DoubleClicSeance, BoutonChoisir, Entree };

class ChoixDeSeance : public Mots, public ::testing::WithParamInterface<Facon> {
protected:
    void Choisir(FrmResultats& f, const QModelIndex& index) {
        QTreeView* vue = f.Vue();
        const QPoint centre = vue->visualRect(index).center();
        switch (GetParam()) {
        case Facon::DoubleClicLigne:
        case Facon::DoubleClicSeance:
            QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, centre);
            break;
        case Facon::BoutonChoisir:
            QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseClick(f.findChild<QPushButton*>("boutonChoisir"), Qt::LeftButton);
            break;
        case Facon::Entree:
            QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
            f.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
            QTest::keyClick(vue, Qt::Key_Return);
            break;
        }
        AttendreFinDePasse();
    }
};

TEST_P(ChoixDeSeance, LaSeanceDevientLaPeriodeALaMinuteEtLaRecherchePart) {
    Charger();
    Chercher("chateau de:Aldric");
    FrmResultats* f = Resultats();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->Modele().rowCount(), 2);
    const SeanceTrouvee seance = DuMoteur("chateau de:Aldric").seances[1];
    const bool ligne = GetParam() != Facon::DoubleClicSeance;
    Choisir(*f, ligne ? Ligne(*f, 1, 0) : f->Modele().index(1, 0));
    EXPECT_EQ(Resultats(), nullptr) << "la fenêtre se ferme";
    const QString debut = QString::fromStdString(InstantCourt(seance.debut, Precision::Minute));
    const QString fin = QString::fromStdString(InstantCourt(seance.fin, Precision::Minute));
    EXPECT_EQ(Champ("dateDebut")->text(), debut);
    EXPECT_EQ(Champ("dateFin")->text(), fin);
    const QString bilan = Controle<QLabel>("bilanRecherche")->text();
    EXPECT_TRUE(bilan.startsWith(QStringLiteral("Recherche du %1 au %2 : ").arg(debut, fin)))
        << bilan.toStdString();
    EXPECT_TRUE(Noeuds("arbreNoms").contains("Aldric"));
    EXPECT_TRUE(messages.empty());
}

std::string NomDeFacon(const ::testing::TestParamInfo<Facon>& cas) {
    switch (cas.param) {
    case Facon::DoubleClicLigne:
        return "DoubleClicLigne";
    case Facon::DoubleClicSeance:
        return "DoubleClicSeance";
    case Facon::BoutonChoisir:
        return "BoutonChoisir";
    case Facon::Entree:
        return "Entree";
    }
    return "Inconnue";
}

INSTANTIATE_TEST_SUITE_P(Facons, ChoixDeSeance,
                         ::testing::Values(Facon::DoubleClicLigne, Facon::DoubleClicSeance,
                                           Facon::BoutonChoisir, Facon::Entree),
                         NomDeFacon);

TEST_F(Mots, RienTrouveLeDitSansOuvrirDeFenetreEtFermeLaPrecedente) {
    Charger();
    Chercher("chateau");
    ASSERT_NE(Resultats(), nullptr);
    Chercher("licorne");
    EXPECT_EQ(Resultats(), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].texte,
              "Aucune ligne ne correspond à « licorne » du 24/12/2001 au 27/12/2001.");
    EXPECT_EQ(messages[0].icone, Icone::Aucune);
}

// Les séances de la fenêtre « Résultats » sont celles du journal où elle a cherché : un autre
// journal la ferme.
TEST_F(Mots, UnAutreJournalFermeLesResultats) {
    Charger();
    Chercher("chateau");
    ASSERT_NE(Resultats(), nullptr);
    Taper("cheminJournal", QString::fromStdString(journal + ".autre"));
    EXPECT_EQ(Resultats(), nullptr);
}

struct CasMalForme {
    const char* nom;
    const char* requete;
};

class RequeteMalFormee : public Mots, public ::testing::WithParamInterface<CasMalForme> {};

TEST_P(RequeteMalFormee, EstRefuseeAvecLeMessageDuMoteurSansRienLancer) {
    Charger();
    const QString avant = Controle<QLabel>("compteurLignes")->text();
    Champ("champChercher")->setText(QString::fromUtf8(GetParam().requete)); // pas que de l'ASCII
    Champ("champChercher")->setFocus();
    QTest::keyClick(Champ("champChercher"), Qt::Key_Return);
    EXPECT_FALSE(fenetre->PasseEnCours());
    ASSERT_EQ(messages.size(), 1u);
    const auto refus = AnalyserRequete(GetParam().requete);
    ASSERT_FALSE(refus.ok());
    EXPECT_TRUE(messages[0].texte.contains(QString::fromStdString(refus.Echec().raison)))
        << messages[0].texte.toStdString();
    EXPECT_EQ(messages[0].icone, Icone::Stop);
    QApplication::processEvents();
    EXPECT_EQ(Resultats(), nullptr);
    EXPECT_EQ(Controle<QLabel>("compteurLignes")->text(), avant);
}

INSTANTIATE_TEST_SUITE_P(Requetes, RequeteMalFormee,
                         ::testing::Values(CasMalForme{"GuillemetJamaisFerme", "\"le château"},
                                           CasMalForme{"MoinsSeul", "dragon -"},
                                           CasMalForme{"RienQueDesExclusions", "-dragon"},
                                           CasMalForme{"Vide", "   "},
                                           CasMalForme{"HorsDeWindows1252", "dragon ☃"}),
                         [](const auto& cas) { return std::string(cas.param.nom); });

TEST_F(Mots, SansJournalLaRechercheDitQuoiFaire) {
    Taper("champChercher", "chateau");
    QTest::keyClick(Champ("champChercher"), Qt::Key_Return);
    EXPECT_FALSE(fenetre->PasseEnCours());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].texte.contains("Choisissez d'abord le journal"));
}

TEST_F(Mots, EchapDansLeChampArreteLaRechercheSansMessageNiFenetre) {
    Charger(JournalLong(30000)); // plusieurs blocs de lecture
    ProgressionRetenue retenue;
    fenetre->DefinirProgression([&retenue](Progression& deLaFenetre) -> Progression& {
        retenue.fenetre = &deLaFenetre;
        return retenue;
    });
    Taper("champChercher", "message");
    QTest::keyClick(Champ("champChercher"), Qt::Key_Return);
    EXPECT_TRUE(fenetre->PasseEnCours());
    ASSERT_TRUE(QTest::qWaitFor([&] { return retenue.atteinte.load(); }, 10000));
    EXPECT_EQ(QApplication::focusWidget(), Champ("champChercher"));
    QTest::keyClick(Champ("champChercher"), Qt::Key_Escape);
    retenue.retenue = false;
    AttendreFinDePasse();
    EXPECT_EQ(Resultats(), nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(fenetre->findChild<BarreEtat*>()->Texte(), "Recherche de « message » arrêtée.");
    // La recherche suivante va jusqu'au bout.
    Chercher("message 29999");
    ASSERT_NE(Resultats(), nullptr);
    EXPECT_EQ(Resultats()->Modele().Resultat().trouvees, 1u);
}

} // namespace
} // namespace vek::test
