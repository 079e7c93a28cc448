// La numérotation des séances d'une recherche donne les séances de --sessions (DetecteurSessions)
// : mêmes numéros, mêmes bornes, y compris lue en deux morceaux coupés n'importe où.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "NumerotationSeances.h"
#include "Sessions.h"

namespace vek {
namespace {

// Des lignes au hasard : des pauses autour de la limite (10 minutes ici), des retours en arrière,
// des heures illisibles ou d'une autre forme, des lignes non datées, le même instant répété.
std::vector<std::string> LignesAuHasard(std::mt19937& hasard, int n) {
    std::vector<std::string> lignes;
    std::uniform_int_distribution<int> pas(-60, 14 * 60), forme(0, 19);
    int t = 22 * 3600;
    for (int i = 0; i < n; ++i) {
        const int f = forme(hasard);
        if (f > 4)
            t = std::max(0, t + pas(hasard));
        char tete[48];
        std::snprintf(tete, sizeof tete, "12/%02d/2001 %02d:%02d:%02d - ", 24 + t / 86400,
                      t / 3600 % 24, t / 60 % 60, t % 60);
        std::string ligne = tete;
        if (f == 0)
            ligne = "--- non dat\xE9"
                    "e ---";
        else if (f == 1)
            ligne.replace(11, 8, "zz:zz:zz");
        else if (f == 2)
            ligne.replace(10, 10, " [" + ligne.substr(11, 5) + "]"); // hh:mm entre crochets
        else if (f == 3)
            ligne.resize(16); // date et hh:mm, sans corps
        lignes.push_back(ligne + "{A}\":\"l" + std::to_string(i));
    }
    return lignes;
}

// Les séances de --sessions, et celles de la numérotation où chaque ligne placée est un
// résultat : les deux doivent être les mêmes.
void Comparer(const std::vector<std::string>& lignes, std::size_t coupe, int pause) {
    DetecteurSessions detecteur(pause);
    for (const auto& l : lignes)
        detecteur.Ajouter(l);
    std::uint64_t oubliees = 0;
    const std::vector<Session> attendues = detecteur.Terminer(oubliees);

    NumerotationSeances tete(pause), suite(pause);
    suite.RecevoirUneSuite();
    std::uint64_t precedent = 0;
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        NumerotationSeances& n = i < coupe ? tete : suite;
        const std::uint64_t numero = n.Ajouter(lignes[i]);
        if (numero == 0)
            continue;
        n.CompterResultat();
        const std::uint64_t reel = i < coupe ? numero : tete.Decaler(numero, suite.Premiere());
        // La tête a fini quand la suite commence : les numéros réels ne reculent jamais.
        EXPECT_GE(reel, precedent) << "ligne " << i;
        precedent = reel;
    }
    tete.Fusionner(std::move(suite));
    const std::vector<SeanceTrouvee> trouvees = tete.Terminer();
    ASSERT_EQ(trouvees.size(), attendues.size()) << "coupé à " << coupe;
    for (std::size_t i = 0; i < trouvees.size(); ++i) {
        EXPECT_EQ(trouvees[i].numero, attendues[i].numero) << "coupé à " << coupe;
        EXPECT_EQ(trouvees[i].debut, attendues[i].debut) << "coupé à " << coupe;
        EXPECT_EQ(trouvees[i].fin, attendues[i].fin) << "coupé à " << coupe;
        EXPECT_EQ(trouvees[i].resultats, attendues[i].lignes) << "coupé à " << coupe;
    }
}

TEST(NumerotationSeances, CommeSessionsQuelleQueSoitLaCoupe) {
    std::mt19937 hasard(37);
    for (int essai = 0; essai < 20; ++essai) {
        const auto lignes = LignesAuHasard(hasard, 120);
        for (std::size_t coupe = 0; coupe <= lignes.size(); coupe += 7)
            Comparer(lignes, coupe, 10);
    }
}

TEST(NumerotationSeances, PauseNulleEtLignesIdentiques) {
    std::mt19937 hasard(12);
    auto lignes = LignesAuHasard(hasard, 80);
    lignes.insert(lignes.begin() + 40, 5, lignes[39]);
    for (std::size_t coupe : {0u, 1u, 40u, 42u, 85u})
        for (int pause : {0, 1, 30})
            Comparer(lignes, coupe, pause);
}

TEST(NumerotationSeances, LaSuiteDeDecalageCompteLaSeanceJointe) {
    NumerotationSeances tete(30), suite(30);
    suite.RecevoirUneSuite();
    EXPECT_EQ(tete.Ajouter("12/24/2001 23:50:00 - a"), 1u);
    EXPECT_EQ(tete.Ajouter("12/24/2001 23:59:00 - b"), 1u);
    // Après minuit, 20 minutes plus tard : la même séance, vue de la suite comme sa première.
    EXPECT_EQ(suite.Ajouter("12/25/2001 00:19:00 - c"), 1u);
    EXPECT_EQ(suite.Ajouter("12/25/2001 02:00:00 - d"), 2u);
    EXPECT_EQ(tete.Decaler(1, suite.Premiere()), 1u);
    EXPECT_EQ(tete.Decaler(2, suite.Premiere()), 2u);
    EXPECT_EQ(tete.Decaler(0, suite.Premiere()), 0u);
}

} // namespace
} // namespace vek
