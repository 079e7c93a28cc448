// La passe de recherche sur un petit journal : chaque ligne trouvée avec son numéro de ligne, sa
// position, sa date, son heure et sa séance (de part et d'autre de minuit, dans deux séances),
// les séances résumées, la période ; le même résultat quelles que soient les fins de ligne et
// que le journal soit lu d'un bloc ou en deux moitiés.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "OutilsMoteur.h"
#include "TrouverScene.h"

namespace vek {
namespace {

using test::DossierTemporaire;
using test::ProgressionNotee;

const std::vector<std::string> Journal = {
    "12/24/2001 21:00:00 - [Guilde] \"Aldric\": la mari\xE9"
    "e arrive",                                         // 1, séance 1
    "12/24/2001 21:10:00 - {Brune}\":\"bonjour Aldric", // 2, séance 1
    "--- Nouvelle session ---",                         // 3
    "12/24/2001 23:50:00 - Vous avez dit : Mari\xE9"
    "e ou pas ?",                                        // 4, séance 2
    "12/25/2001 00:15:00 - [Commerce] \"Mariee\": rien", // 5, séance 2
    "12/25/2001 00:20:00 - {Aldric}\":\"MARI\xC9"
    "E, demain",                                            // 6, séance 2
    "12/25/2001 02:00:00 - [Guilde] \"Brune\": le mariage", // 7, séance 3
    "12/25/2001 02:05:00 - {C\x9Clio}\":\"un d\xE9mariage", // 8, séance 3
    "12/25/2001 zz:zz:zz - {A}\":\"mari\xE9"
    "e sans heure",                       // 9, hors séance
    "12/25/2001 02:10:00 - {A}\":\"fin"}; // 10, séance 3

struct Attendue {
    std::uint64_t numero;
    int jour;    // de décembre 2001
    int seconde; // -1 : illisible
    std::uint64_t seance;
    std::string mot; // le passage trouvé
};

class ChercherPetitJournal : public testing::TestWithParam<const char*> {
protected:
    // Le journal écrit avec la fin de ligne du paramètre, et la position de chaque ligne.
    std::string Ecrire() {
        std::string contenu;
        for (const auto& l : Journal) {
            positions_.push_back(contenu.size());
            contenu += l + GetParam();
        }
        std::ofstream(chemin_, std::ios::binary) << contenu;
        return contenu;
    }
    ResultatScene Chercher(const char* requete, std::optional<Periode> periode = {}, int pause = 30,
                           std::uint64_t seuil = 0) {
        DemandeScene d{chemin_, *AnalyserRequete(requete), periode, pause};
        d.seuilEnDeux = seuil;
        ProgressionNotee progression;
        auto r = TrouverScene(d, progression, {});
        EXPECT_TRUE(r.ok()) << r.Echec().Message();
        EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{taille_ + 1});
        EXPECT_EQ(progression.compteur, Journal.size());
        return r.ok() ? std::move(*r) : ResultatScene{};
    }
    void Verifier(const ResultatScene& r, const std::vector<Attendue>& attendues) {
        ASSERT_EQ(r.lignes.size(), attendues.size());
        EXPECT_EQ(r.trouvees, attendues.size());
        EXPECT_EQ(r.lignesLues, Journal.size());
        for (std::size_t i = 0; i < attendues.size(); ++i) {
            const LigneTrouvee& t = r.lignes[i];
            const Attendue& a = attendues[i];
            EXPECT_EQ(t.numero, a.numero);
            EXPECT_EQ(t.position, positions_.at(a.numero - 1));
            EXPECT_EQ(t.ligne, Journal.at(a.numero - 1));
            EXPECT_EQ(t.date, (Date{2001, 12, a.jour}));
            EXPECT_EQ(t.seconde.value_or(-1), a.seconde);
            EXPECT_EQ(t.seance, a.seance) << "ligne " << a.numero;
            ASSERT_EQ(t.passages.size(), 1u);
            EXPECT_EQ(t.ligne.substr(t.passages[0].debut, t.passages[0].longueur), a.mot);
        }
    }
    void SetUp() override {
        Ecrire();
        taille_ = std::filesystem::file_size(chemin_);
    }

    DossierTemporaire dossier_;
    std::string chemin_ = dossier_.Fichier("journal.txt");
    std::vector<std::uint64_t> positions_;
    std::uint64_t taille_ = 0;
};

const std::vector<Attendue> TousLesMari = {{1, 24, 21 * 3600, 1,
                                            "mari\xE9"
                                            "e"},
                                           {4, 24, 23 * 3600 + 50 * 60, 2,
                                            "Mari\xE9"
                                            "e"},
                                           {6, 25, 20 * 60, 2,
                                            "MARI\xC9"
                                            "E"},
                                           {7, 25, 2 * 3600, 3, "mariage"},
                                           {9, 25, -1, 0,
                                            "mari\xE9"
                                            "e"}};

TEST_P(ChercherPetitJournal, LignesNumerosSeancesEtPositions) {
    for (const std::uint64_t seuil : {std::uint64_t{0}, ~std::uint64_t{0}}) {
        const ResultatScene r = Chercher("mari", {}, 30, seuil);
        Verifier(r, TousLesMari);
        // Séance 2 : de 23:50 à 00:20 le lendemain, malgré minuit ; la 3 finit à 02:10, sur une
        // ligne sans résultat ; la ligne sans heure ne compte dans aucune.
        EXPECT_EQ(r.seances,
                  (std::vector<SeanceTrouvee>{
                      {1, {{2001, 12, 24}, 21 * 3600}, {{2001, 12, 24}, 21 * 3600 + 600}, 1},
                      {2, {{2001, 12, 24}, 23 * 3600 + 3000}, {{2001, 12, 25}, 1200}, 2},
                      {3, {{2001, 12, 25}, 7200}, {{2001, 12, 25}, 7800}, 1}}));
    }
}

TEST_P(ChercherPetitJournal, PeriodeEtPause) {
    // De 23:00 à 00:59 : la ligne sans heure du 25 compte pour minuit, comme dans la recherche
    // d'une période ; les séances gardent les numéros de tout le journal.
    const Periode nuit{{{2001, 12, 24}, 23 * 3600}, {{2001, 12, 25}, 3599}};
    Verifier(Chercher("mari", nuit), {TousLesMari[1], TousLesMari[2], TousLesMari[4]});
    // Une pause de deux heures réunit les séances 2 et 3.
    std::vector<Attendue> deuxHeures = TousLesMari;
    deuxHeures[3].seance = 2;
    Verifier(Chercher("mari", {}, 120), deuxHeures);
    const ResultatScene vous = Chercher("de:Vous");
    ASSERT_EQ(vous.lignes.size(), 1u);
    EXPECT_EQ(vous.lignes[0].numero, 4u);
    EXPECT_TRUE(vous.lignes[0].passages.empty());
}

TEST_P(ChercherPetitJournal, ReceveurEtMaximum) {
    DemandeScene d{chemin_, *AnalyserRequete("mari")};
    d.maximumGardees = 2;
    Progression p;
    const auto gardees = TrouverScene(d, p, {});
    ASSERT_TRUE(gardees.ok());
    EXPECT_EQ(gardees->lignes.size(), 2u);
    EXPECT_EQ(gardees->trouvees, 5u);
    std::vector<std::uint64_t> recues;
    const auto recu =
        TrouverScene(d, p, {}, [&](const LigneTrouvee& t) { recues.push_back(t.numero); });
    ASSERT_TRUE(recu.ok());
    EXPECT_TRUE(recu->lignes.empty());
    EXPECT_EQ(recues, (std::vector<std::uint64_t>{1, 4, 6, 7, 9}));
}

INSTANTIATE_TEST_SUITE_P(FinsDeLigne, ChercherPetitJournal, testing::Values("\r\n", "\n", "\r"),
                         [](const auto& essai) {
                             const std::string fin = essai.param;
                             return fin == "\r\n" ? std::string("CRLF")
                                    : fin == "\n" ? std::string("LF")
                                                  : std::string("CR");
                         });

TEST(Chercher, JournalIntrouvableOuDossier) {
    DossierTemporaire dossier;
    Progression p;
    for (const std::string& chemin : {dossier.Fichier("absent.txt"), dossier.Chemin()}) {
        const auto r = TrouverScene({chemin, *AnalyserRequete("mot")}, p, {});
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.Echec().Message().find("Impossible de lire le journal"), std::string::npos);
    }
}

} // namespace
} // namespace vek
