// Les journaux d'une fusion, lus d'avance chacun sur son fil, sous les passes qui les malmènent :
// une recherche interrompue au milieu, une suite de recherche sur des journaux qui grandissent,
// des journaux vides, d'une seule ligne sans fin de ligne, aux lignes démesurées ou sans date, et
// des journaux tronqués, supprimés ou remplacés pendant la passe.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "GenerateurScene.h"
#include "Moteur.h"
#include "OutilsMoteur.h"

namespace vek {
namespace {

std::string L(int seconde, const std::string& corps) {
    char heure[32];
    std::snprintf(heure, sizeof heure, "12/24/2001 %02d:%02d:%02d - ", 20 + seconde / 3600,
                  seconde / 60 % 60, seconde % 60);
    return heure + corps + "\r\n";
}

// Assez de lignes pour que chaque journal en ait plusieurs paquets d'avance.
std::string Long(const std::string& locuteur) {
    std::string texte;
    for (int i = 0; i < 13000; ++i)
        texte += L(i / 7, "[Commerce] \"" + locuteur + "\": message " + std::to_string(i));
    return texte;
}

class FusionPreparee : public ::testing::Test {
protected:
    test::DossierTemporaire dossier, donnees;
    test::ProgressionNotee progression;

    // Écrit un journal qui s'est tu depuis longtemps (sa dernière ligne compte, même sans fin).
    std::string Ecrire(const std::string& nom, const std::string& octets) {
        const std::string chemin = donnees.Ecrire(nom, octets);
        std::filesystem::last_write_time(chemin, std::filesystem::file_time_type::clock::now() -
                                                     std::chrono::hours(1));
        return chemin;
    }
    // Les horloges données (toutes à l'heure), et les joueurs s'ils le sont.
    static DemandeRecherche Demande(const std::vector<std::string>& chemins,
                                    const std::vector<std::string>& joueurs = {}) {
        Journaux j(chemins);
        for (std::size_t i = 0; i < chemins.size(); ++i)
            j.donnees.push_back({i == 0 ? std::nullopt : std::optional<std::int64_t>(0),
                                 i < joueurs.size() ? std::optional(joueurs[i]) : std::nullopt});
        return {j, Periode::Jours({2001, 12, 24}, {2001, 12, 25})};
    }
    // L'extrait de la fusion de ces journaux, par un moteur neuf.
    std::string Extrait(const std::vector<std::string>& chemins,
                        const std::vector<std::string>& joueurs = {}) {
        test::DossierTemporaire ailleurs;
        Moteur m{test::Reglages(ailleurs.Chemin())};
        test::ProgressionNotee p;
        const auto r = m.Rechercher(Demande(chemins, joueurs), p);
        EXPECT_TRUE(r.ok()) << r.Echec().Message();
        return test::LireTout(m.CheminExtrait());
    }
};

// Arrêtée au milieu, alors que les fils ont des paquets d'avance ou attendent la fusion : la
// passe s'interrompt sans attendre, et la suivante lit tout.
TEST_F(FusionPreparee, UneRechercheInterrompueAuMilieuPuisRelancee) {
    const std::vector<std::string> chemins{Ecrire("a.txt", Long("Aldric")),
                                           Ecrire("b.txt", Long("Brune"))};
    const std::string attendu = Extrait(chemins);
    for (const std::uint64_t arret : {1u, 5000u, 25000u}) {
        SCOPED_TRACE(arret);
        Moteur m{test::Reglages(dossier.Chemin())};
        std::stop_source source;
        progression.surLigne = [&](std::uint64_t n) {
            if (n == arret)
                source.request_stop();
        };
        EXPECT_FALSE(m.Rechercher(Demande(chemins), progression, source.get_token()).ok());
        progression.surLigne = nullptr;
        ASSERT_TRUE(m.Rechercher(Demande(chemins), progression).ok());
        EXPECT_EQ(test::LireTout(m.CheminExtrait()), attendu);
    }
}

// Deux journaux qui commencent la soirée presque vides : rien n'y laisse trouver l'horloge ni le
// joueur de l'autre (les horloges sont d'accord : rien ne sort de l'ordre du temps). Quand ils ont
// grandi assez pour qu'on les trouve, la suite relit tout avec eux, et donne ce que donne une
// recherche complète.
TEST_F(FusionPreparee, LaSuiteTrouveLesHorlogesEtLesJoueursQuandLesJournauxOntGrandi) {
    ParametresScene p;
    p.joueurs = {{"Aldric", {0, 1}, 0, true}, {"Brune", {0, 2}, 0, true}};
    p.messages = 400;
    const Scene scene = GenererScene(p);
    std::vector<std::string> chemins;
    for (std::size_t k = 0; k < scene.journaux.size(); ++k) {
        const std::string& j = scene.journaux[k];
        const std::size_t coupe = j.find("\r\n") + 2; // une seule ligne
        chemins.push_back(Ecrire("j" + std::to_string(k) + ".txt", j.substr(0, coupe)));
    }
    const DemandeRecherche demande{Journaux(chemins),
                                   Periode::Jours({2001, 12, 24}, {2001, 12, 25})};
    Moteur m{test::Reglages(dossier.Chemin())};
    const auto avant = m.Rechercher(demande, progression);
    ASSERT_TRUE(avant.ok());
    ASSERT_FALSE(avant->journaux[1].joueur) << "une ligne ne laisse rien trouver";
    for (std::size_t k = 0; k < chemins.size(); ++k)
        std::ofstream(chemins[k], std::ios::binary | std::ios::app)
            << scene.journaux[k].substr(scene.journaux[k].find("\r\n") + 2);
    const auto r = m.Rechercher(demande, progression);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_FALSE(r->avisComplet.empty());
    EXPECT_EQ(r->journaux[1].joueur, "Brune");
    EXPECT_EQ(r->journaux[1].avance, 0);
    test::DossierTemporaire ailleurs;
    Moteur neuf{test::Reglages(ailleurs.Chemin())};
    ASSERT_TRUE(neuf.Rechercher(demande, progression).ok());
    EXPECT_EQ(test::LireTout(m.CheminExtrait()), test::LireTout(neuf.CheminExtrait()));
}

// Des journaux qui grandissent entre deux recherches : la suite donne l'extrait d'une recherche
// complète, où que tombe la coupure (les joueurs sont donnés : trouvés sur des journaux encore
// vides, ils ne le seraient pas).
TEST_F(FusionPreparee, LaSuiteDeJournauxQuiGrandissentEstLaRechercheComplete) {
    ParametresScene p;
    p.joueurs = {{"Aldric", {0, 1}, 0, true}, {"Brune", {0, 2}, 0, true}};
    p.messages = 400;
    const Scene scene = GenererScene(p);
    for (const double part : {0.0, 0.3, 0.77, 1.0}) {
        SCOPED_TRACE(part);
        std::vector<std::string> chemins, restes;
        for (std::size_t k = 0; k < scene.journaux.size(); ++k) {
            const std::string& j = scene.journaux[k];
            const std::size_t coupe =
                j.find("\r\n", static_cast<std::size_t>(static_cast<double>(j.size()) * part));
            const std::size_t fin = part == 0                    ? 0
                                    : coupe == std::string::npos ? j.size()
                                                                 : coupe + 2;
            chemins.push_back(Ecrire("j" + std::to_string(k) + ".txt", j.substr(0, fin)));
            restes.push_back(j.substr(fin));
        }
        Moteur m{test::Reglages(dossier.Chemin())};
        const std::vector<std::string> joueurs{"Aldric", "Brune"};
        ASSERT_TRUE(m.Rechercher(Demande(chemins, joueurs), progression).ok());
        for (std::size_t k = 0; k < chemins.size(); ++k)
            std::ofstream(chemins[k], std::ios::binary | std::ios::app) << restes[k];
        const auto r = m.Rechercher(Demande(chemins, joueurs), progression);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
        EXPECT_EQ(test::LireTout(m.CheminExtrait()), Extrait(chemins, joueurs));
    }
}

struct CasJournal {
    const char* nom;
    std::string octets;
};

class JournalAttaque : public FusionPreparee, public ::testing::WithParamInterface<CasJournal> {};

// Un journal fusionné avec sa copie, ou avec un journal vide, est le journal seul.
TEST_P(JournalAttaque, FusionneAvecSaCopieOuUnJournalVideIlEstSeul) {
    const std::string journal = Ecrire("journal.txt", GetParam().octets);
    const std::string copie = Ecrire("copie.txt", GetParam().octets);
    const std::string vide = Ecrire("vide.txt", "");
    test::DossierTemporaire ailleurs;
    Moteur seul{test::Reglages(ailleurs.Chemin())};
    ASSERT_TRUE(
        seul.Rechercher({journal, Periode::Jours({2001, 12, 24}, {2001, 12, 25})}, progression)
            .ok());
    const std::string attendu = test::LireTout(seul.CheminExtrait());
    EXPECT_EQ(Extrait({journal, copie}), attendu);
    EXPECT_EQ(Extrait({journal, vide}), attendu);
    EXPECT_EQ(Extrait({vide, vide}), "");
}

const std::string Demesure(3 << 20, 'x');

INSTANTIATE_TEST_SUITE_P(
    Fusion, JournalAttaque,
    ::testing::Values(
        CasJournal{"vide", ""},
        CasJournal{"une_ligne_sans_fin_de_ligne",
                   "12/24/2001 20:00:10 - [Commerce] \"Brune\": oui"},
        CasJournal{"lignes_de_plusieurs_mo", L(1, "[Commerce] \"Brune\": " + Demesure) +
                                                 L(1, "{Brune}\":\"" + Demesure) +
                                                 L(2, "[Commerce] \"Brune\": court") +
                                                 L(2, "[Guilde] \"Brune\": " + Demesure)},
        CasJournal{"lignes_sans_date", "sans date\r\n" + L(1, "[Commerce] \"Brune\": oui") +
                                           "suite sans date\r\n" + L(1, "{Brune}\":\"oui") +
                                           "12/24/2001 sans heure\r\n"},
        CasJournal{"messages_repetes", L(1, "[Commerce] \"Brune\": oui") +
                                           L(1, "[Commerce] \"Brune\": oui") +
                                           L(2, "[Commerce] \"Brune\": oui")}),
    [](const auto& cas) { return std::string(cas.param.nom); });

struct CasAttaque {
    const char* nom;
    std::function<void(const std::string& chemin, const test::DossierTemporaire&)> attaquer;
};

class JournalAttaquePendantLaPasse : public FusionPreparee,
                                     public ::testing::WithParamInterface<CasAttaque> {};

// Le fil a pu lire le journal d'avance : qu'il soit tronqué, supprimé ou remplacé dès la première
// ligne rendue, la passe échoue et l'extrait d'avant reste.
TEST_P(JournalAttaquePendantLaPasse, LaPasseEchoueEtRienNeChange) {
    const std::vector<std::string> chemins{Ecrire("a.txt", Long("Aldric")),
                                           Ecrire("b.txt", Long("Brune"))};
    Moteur m{test::Reglages(dossier.Chemin())};
    ASSERT_TRUE(m.Rechercher(Demande(chemins), progression).ok());
    const std::string avant = test::LireTout(m.CheminExtrait());
    for (const std::uint64_t quand : {1u, 20000u}) {
        SCOPED_TRACE(quand);
        const std::string b = Ecrire("b.txt", Long("Brune"));
        bool fait = false;
        progression.surLigne = [&](std::uint64_t n) {
            if (n == quand && !fait) {
                fait = true;
                GetParam().attaquer(b, donnees);
            }
        };
        DemandeRecherche autre = Demande(chemins);
        autre.periode.debut.seconde = 1; // une autre période : tout est relu
        const auto r = m.Rechercher(autre, progression);
        ASSERT_TRUE(fait);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(test::LireTout(m.CheminExtrait()), avant);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fusion, JournalAttaquePendantLaPasse,
    ::testing::Values(CasAttaque{"tronque",
                                 [](const std::string& chemin, const test::DossierTemporaire&) {
                                     std::filesystem::resize_file(chemin, 1000);
                                 }},
                      CasAttaque{"supprime",
                                 [](const std::string& chemin, const test::DossierTemporaire&) {
                                     std::filesystem::remove(chemin);
                                 }},
                      CasAttaque{"remplace",
                                 [](const std::string& chemin, const test::DossierTemporaire& d) {
                                     std::filesystem::rename(d.Ecrire("autre.txt", Long("Cœlio")),
                                                             chemin);
                                 }}),
    [](const auto& cas) { return std::string(cas.param.nom); });

} // namespace
} // namespace vek
