// La veille du système : un journal qui grandit, remplacé par renommage ou recréé la réveille ;
// un autre fichier du dossier non ; Reveiller la fait revenir d'un autre fil. Là où le système
// ne signale pas la croissance (Windows), seul le réveil est essayé.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "DossierTemporaire.h"
#include "VeilleFichier.h"

namespace vek {
namespace {

using test::DossierTemporaire;
using namespace std::chrono_literals;

// Assez long pour qu'une notification manquée fasse échouer l'essai, jamais attendu sinon.
constexpr auto Longtemps = 60s;

struct CasVeille {
    const char* nom;
    std::function<void(const std::string& journal, DossierTemporaire& dossier)> changer;
};

class VeilleDuJournal : public ::testing::TestWithParam<CasVeille> {};

TEST_P(VeilleDuJournal, LeSystemeLaReveille) {
    DossierTemporaire dossier;
    const std::string journal = dossier.Ecrire("Chat.TXT", "12/24/2001 20:00:00 - a\r\n");
    const auto veille = VeilleDuSysteme(journal);
    if (!veille->SignaleLaCroissance())
        GTEST_SKIP() << "le système ne signale pas la croissance du fichier";
    // Un autre fichier du dossier : pas de réveil (le délai, court, passe).
    dossier.Ecrire("autre.txt", "x");
    EXPECT_FALSE(veille->Attendre(20ms));
    GetParam().changer(journal, dossier);
    EXPECT_TRUE(veille->Attendre(Longtemps));
}

INSTANTIATE_TEST_SUITE_P(
    Changements, VeilleDuJournal,
    ::testing::Values(CasVeille{"Ajout",
                                [](const std::string& j, DossierTemporaire&) {
                                    std::ofstream(j, std::ios::binary | std::ios::app) << "b\r\n";
                                }},
                      CasVeille{"RemplaceParRenommage",
                                [](const std::string& j, DossierTemporaire& d) {
                                    std::filesystem::rename(d.Ecrire("neuf.TXT", "c\r\n"), j);
                                }},
                      CasVeille{"SupprimePuisRecree",
                                [](const std::string& j, DossierTemporaire&) {
                                    std::filesystem::remove(j);
                                    std::ofstream(j, std::ios::binary) << "d\r\n";
                                }}),
    [](const auto& cas) { return std::string(cas.param.nom); });

// Les journaux d'une fusion, chacun dans son dossier : la croissance de n'importe lequel réveille
// la veille commune, un autre fichier de leurs dossiers non.
TEST(Veille, PlusieursJournauxChacunLaReveille) {
    DossierTemporaire un, deux;
    const std::vector<NomFichier> journaux = {un.Ecrire("a.txt", "a\r\n"),
                                              deux.Ecrire("b.txt", "b\r\n")};
    const auto veille = VeilleDuSysteme(journaux);
    if (!veille->SignaleLaCroissance())
        GTEST_SKIP() << "le système ne signale pas la croissance du fichier";
    for (const NomFichier& journal : journaux) {
        SCOPED_TRACE(journal);
        un.Ecrire("autre.txt", "x");
        deux.Ecrire("autre.txt", "x");
        EXPECT_FALSE(veille->Attendre(20ms));
        std::ofstream(journal, std::ios::binary | std::ios::app) << "c\r\n";
        EXPECT_TRUE(veille->Attendre(Longtemps));
        while (veille->Attendre(20ms)) {
        }
    }
}

TEST(Veille, ReveilleeDUnAutreFilElleRevientSansChangement) {
    DossierTemporaire dossier;
    const std::string journal = dossier.Ecrire("Chat.TXT", "a\r\n");
    const auto veille = VeilleDuSysteme(journal);
    std::thread autre([&] { veille->Reveiller(); });
    EXPECT_FALSE(veille->Attendre(Longtemps));
    autre.join();
}

TEST(Veille, UnJournalDansUnDossierAbsentNeBloquePasLaVeille) {
    const auto veille = VeilleDuSysteme("/dossier/qui/n/existe/pas/Chat.TXT");
    EXPECT_FALSE(veille->SignaleLaCroissance());
    veille->Reveiller();
    EXPECT_FALSE(veille->Attendre(Longtemps));
}

} // namespace
} // namespace vek
