// L'analyse d'un grand journal lit ses deux moitiés à la fois : coupé n'importe où, il donne
// exactement ce qu'une seule lecture donne (lignes, dates, marque, séances et leurs locuteurs).

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"

namespace vek {
namespace {

using test::DossierTemporaire;
using test::ProgressionNotee;

// Des lignes au hasard : des pauses autour de la limite (10 minutes ici), des heures
// illisibles, des lignes non datées, quelques locuteurs.
std::vector<std::string> LignesAuHasard(std::mt19937& hasard, int n) {
    std::vector<std::string> lignes;
    std::uniform_int_distribution<int> pas(0, 14 * 60), forme(0, 19), nom(0, 5);
    int t = 20 * 3600;
    for (int i = 0; i < n; ++i) {
        t += pas(hasard);
        const int f = forme(hasard);
        char tete[40];
        std::snprintf(tete, sizeof tete, "12/%02d/2001 %02d:%02d:%02d - ", 24 + t / 86400,
                      t / 3600 % 24, t / 60 % 60, t % 60);
        std::string ligne = tete;
        if (f == 0)
            ligne = "--- non dat\xE9"
                    "e ---";
        else if (f == 1)
            ligne.replace(11, 8, "zz:zz:zz");
        if (f == 2)
            ligne += "Vous avez dit : a";
        else
            ligne += "[Guilde] \"N" + std::to_string(nom(hasard)) + "\": l" + std::to_string(i);
        lignes.push_back(std::move(ligne));
    }
    return lignes;
}

std::vector<Session> Seances(DetecteurSessions& d, std::uint64_t& oubliees) {
    return d.Terminer(oubliees);
}

void Comparer(const std::vector<Session>& a, const std::vector<Session>& b, std::size_t coupe) {
    ASSERT_EQ(a.size(), b.size()) << "coupé à " << coupe;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].numero, b[i].numero) << "coupé à " << coupe;
        EXPECT_EQ(a[i].debut, b[i].debut) << "coupé à " << coupe;
        EXPECT_EQ(a[i].fin, b[i].fin) << "coupé à " << coupe;
        EXPECT_EQ(a[i].lignes, b[i].lignes) << "coupé à " << coupe;
        EXPECT_EQ(a[i].locuteurs, b[i].locuteurs) << "coupé à " << coupe << ", séance " << i;
    }
}

TEST(SeancesEnDeux, CoupeesAChaqueLigneCommeUneSeuleLecture) {
    std::mt19937 hasard(3);
    const auto lignes = LignesAuHasard(hasard, 120);
    DetecteurSessions seul(10);
    for (const auto& l : lignes)
        seul.Ajouter(l);
    std::uint64_t oubliees = 0;
    const auto attendues = Seances(seul, oubliees);
    ASSERT_GT(attendues.size(), 5u);
    for (std::size_t coupe = 0; coupe <= lignes.size(); ++coupe) {
        DetecteurSessions tete(10), suite(10);
        suite.RecevoirUneSuite();
        for (std::size_t i = 0; i < lignes.size(); ++i)
            (i < coupe ? tete : suite).Ajouter(lignes[i]);
        tete.Fusionner(std::move(suite));
        std::uint64_t o = 0;
        Comparer(Seances(tete, o), attendues, coupe);
        EXPECT_EQ(o, 0u);
    }
}

// Une séance par ligne, au-delà de ce qu'un détecteur garde : les plus récentes restent, les
// numéros et le compte des oubliées sont ceux d'une seule lecture, quel que soit le morceau qui
// a oublié.
TEST(SeancesEnDeux, LesOublieesSontCellesDUneSeuleLecture) {
    const std::size_t n = 2 * DetecteurSessions::MaxSessions + 7;
    std::vector<std::string> lignes;
    for (std::size_t i = 0; i < n; ++i) {
        const int jour = static_cast<int>(i / 720), seconde = static_cast<int>(i % 720) * 120;
        char ligne[64];
        std::snprintf(ligne, sizeof ligne, "%02d/%02d/%04d %02d:%02d:%02d - {N}\":\"x",
                      1 + jour % 12, 1 + jour / 12 % 28, 2001 + jour / 336, seconde / 3600,
                      seconde / 60 % 60, seconde % 60);
        lignes.emplace_back(ligne);
    }
    for (std::size_t coupe : {std::size_t{1}, DetecteurSessions::MaxSessions, n - 3}) {
        DetecteurSessions tete(1), suite(1);
        suite.RecevoirUneSuite();
        for (std::size_t i = 0; i < n; ++i)
            (i < coupe ? tete : suite).Ajouter(lignes[i]);
        tete.Fusionner(std::move(suite));
        std::uint64_t oubliees = 0;
        const auto sessions = tete.Terminer(oubliees);
        ASSERT_EQ(sessions.size(), DetecteurSessions::MaxSessions) << coupe;
        EXPECT_EQ(oubliees, n - DetecteurSessions::MaxSessions) << coupe;
        EXPECT_EQ(sessions.front().numero, n - DetecteurSessions::MaxSessions + 1) << coupe;
        EXPECT_EQ(sessions.back().numero, n) << coupe;
    }
}

// Le vrai journal sur le disque, coupé en son milieu : chaque longueur de fichier fait tomber
// le milieu ailleurs (dans une ligne, sur un CR, entre CR et LF, sur une ligne vide).
TEST(AnalyseEnDeux, ChaqueMilieuDonneLeResumeDUneSeuleLecture) {
    std::mt19937 hasard(5);
    const char* fins[] = {"\r\n", "\n", "\r", "\r\n\r\n", "\n\n"};
    std::string contenu;
    for (const auto& l : LignesAuHasard(hasard, 40))
        contenu += l + fins[hasard() % 5];
    DossierTemporaire programme, donnees;
    ReglagesMoteur reglagesSeul = test::Reglages(programme.Chemin()), reglagesEnDeux = reglagesSeul;
    reglagesSeul.seuilAnalyseEnDeux = UINT64_MAX;
    reglagesEnDeux.seuilAnalyseEnDeux = 0;
    Moteur seul{reglagesSeul}, enDeux{reglagesEnDeux};
    ProgressionNotee progression;
    for (std::size_t taille = 1; taille <= contenu.size(); ++taille) {
        const std::string chemin = donnees.Ecrire("j.txt", contenu.substr(0, taille));
        const auto a = seul.Analyser({chemin, 10}, progression);
        const auto b = enDeux.Analyser({chemin, 10}, progression);
        ASSERT_TRUE(a.ok() && b.ok()) << taille;
        EXPECT_EQ(a->lignes, b->lignes) << taille;
        EXPECT_EQ(a->debut, b->debut) << taille;
        EXPECT_EQ(a->fin, b->fin) << taille;
        Comparer(a->sessions, b->sessions, taille);
    }
}

} // namespace
} // namespace vek
