#include <gtest/gtest.h>

#include "Ligne.h"

using namespace vek;

namespace {

// En-tête de 22 caractères : date mois d'abord, puis l'heure et ses séparateurs.
std::string Ligne(std::string_view date, std::string_view corps) {
    std::string l(date);
    l += " 14:03:27 - ";
    EXPECT_EQ(l.size(), LongueurEnTete);
    l += corps;
    return l;
}

TEST(DateDeLigne, MoisDAbordEtLignesNonDatees) {
    const struct {
        std::string ligne;
        std::optional<Date> attendu;
    } cas[] = {
        {Ligne("12/24/2001", "x"), Date{2001, 12, 24}},
        {Ligne("01/02/2001", "x"), Date{2001, 1, 2}},
        {"12/24-2001", Date{2001, 12, 24}}, // la 6e position n'est pas examinée
        {"12/24/2001", Date{2001, 12, 24}}, // dix caractères suffisent
        {"1/2/2001 14:00:00 - x", std::nullopt},
        {"12/24/201", std::nullopt},  // finit avant la 10e position
        {"13/24/2001", std::nullopt}, // mois 13
        {"02/30/2004", std::nullopt}, // 30 février
        {"02/29/2004", Date{2004, 2, 29}},
        {"02/29/2003", std::nullopt},
        {"1a/24/2001", std::nullopt},
        {"12/24/20O1", std::nullopt},
        {"12/24/0000", std::nullopt},
        {"", std::nullopt},
        {"12", std::nullopt},
        {"ab/", std::nullopt},
    };
    for (const auto& c : cas)
        EXPECT_EQ(DateDeLigne(c.ligne), c.attendu) << c.ligne;
}

TEST(CorpsDeLigne, APartirDeLaPosition23) {
    EXPECT_EQ(CorpsDeLigne(Ligne("12/24/2001", "[A] \"B\": c")), "[A] \"B\": c");
    EXPECT_EQ(CorpsDeLigne(std::string(22, 'x')), "");
    EXPECT_EQ(CorpsDeLigne(std::string(23, 'x')), "x");
    EXPECT_EQ(CorpsDeLigne(""), "");
}

struct CasCorps {
    std::string corps;
    GenreCorps genre;
    std::string tag;
    std::string nom;
};

TEST(AnalyserCorps, TagEtLocuteurSelonLeGenre) {
    const std::string vous(NomVous), whisps(NomWhisps);
    const CasCorps cas[] = {
        {"[Commerce] \"Aldric\": bonjour", GenreCorps::Channel, "[Commerce]", "Aldric"},
        {"[COMMERCE] \"Aldric\": bonjour", GenreCorps::Channel, "[COMMERCE]", "Aldric"},
        {"[Commerce] \"Aldric\" rejoint le canal", GenreCorps::Channel, "[Commerce]",
         "Aldric\" rejoint le can"},
        {"[Commerce] \"Al:dric\": x", GenreCorps::Channel, "[Commerce]", "A"},
        {"[Commerce] \"\":", GenreCorps::Channel, "[Commerce]", ""},
        {"[Commerce", GenreCorps::Channel, "[Commerc]", ""},
        {"[", GenreCorps::Channel, "]", ""},
        {"[Commerce]", GenreCorps::Channel, "[Commerce]", ""},
        {"[Commerce] ", GenreCorps::Channel, "[Commerce]", ""},
        {"[Commerce] \"", GenreCorps::Channel, "[Commerce]", ""},
        {"[Commerce] :\"x\":", GenreCorps::Channel, "[Commerce]", ""},
        {"[Commerce] \"vous appelle\": x", GenreCorps::Channel, "[Commerce]", "vous appelle"},
        {"[a]b]\"N\":x", GenreCorps::Channel, "[a]", "\"N"}, // s'arrête au premier « ] »
        {"{Aldric}\":\"bonjour", GenreCorps::Proximite, "", "Aldric"},
        {"{Aldric}\":\"a:b", GenreCorps::Proximite, "", "Aldric"},
        {"{Al", GenreCorps::Proximite, "", ""},
        {"{", GenreCorps::Proximite, "", ""},
        {"{Bérengère}\":\"salut", GenreCorps::Proximite, "", "Bérengère"},
        {"Vous avez dit : salut", GenreCorps::Vous, "", vous},
        {"Vous avez dit", GenreCorps::Vous, "", vous},
        {"vous avez dit : salut", GenreCorps::Autre, "", whisps},
        {"Vous avez di", GenreCorps::Autre, "", whisps},
        {"Aldric vous appelle : hé", GenreCorps::Autre, "", whisps},
        {"", GenreCorps::Autre, "", whisps},
        {" [Commerce] \"A\": x", GenreCorps::Autre, "", whisps},
    };
    std::string tampon;
    for (const auto& c : cas) {
        const Extraction e = AnalyserCorps(c.corps, tampon);
        EXPECT_EQ(e.genre, c.genre) << c.corps;
        EXPECT_EQ(e.tag, c.tag) << c.corps;
        EXPECT_EQ(e.nom, c.nom) << c.corps;
    }
}

TEST(Casse, MajusculesWindows1252) {
    const struct {
        unsigned char minuscule, majuscule;
    } paires[] = {{'a', 'A'},   {'z', 'Z'},   {0xE9, 0xC9}, {0xE0, 0xC0}, {0xE7, 0xC7},
                  {0x9C, 0x8C}, {0x9A, 0x8A}, {0x9E, 0x8E}, {0xFF, 0x9F}, {0xFE, 0xDE}};
    for (const auto& p : paires) {
        EXPECT_EQ(MajusculeCp1252(p.minuscule), p.majuscule) << int(p.minuscule);
        EXPECT_EQ(MajusculeCp1252(p.majuscule), p.majuscule) << int(p.majuscule);
    }
    // Sans forme majuscule dans la page de code : inchangés.
    for (unsigned char c : std::string_view("\xF7\xDF\xB5\x7F[1"))
        EXPECT_EQ(MajusculeCp1252(c), c) << int(c);
}

TEST(Casse, VousAppelleEnTouteCasse) {
    EXPECT_TRUE(ContientVousAppelle("Aldric vous appelle"));
    EXPECT_TRUE(ContientVousAppelle("ALDRIC VOUS APPELLE !"));
    EXPECT_TRUE(ContientVousAppelle("x Vous Appelle"));
    EXPECT_TRUE(ContientVousAppelle("vous appelle"));
    EXPECT_FALSE(ContientVousAppelle("vous appele"));
    EXPECT_FALSE(ContientVousAppelle("vous  appelle"));
    EXPECT_FALSE(ContientVousAppelle("vous appell"));
    EXPECT_FALSE(ContientVousAppelle(""));
}

// Sur des textes tirés au hasard (toutes longueurs, motif placé n'importe où, en toute casse,
// souvent presque complet, souvent plusieurs fois), la recherche rapide rend la position que rend
// la comparaison position par position : la première.
TEST(Casse, VousAppelleCommeLaRechercheNaive) {
    const auto naif = [](std::string_view t) {
        const std::string_view motif = "VOUS APPELLE";
        for (std::size_t i = 0; i + motif.size() <= t.size(); ++i) {
            std::size_t k = 0;
            while (k < motif.size() && MajusculeCp1252(static_cast<unsigned char>(t[i + k])) ==
                                           static_cast<unsigned char>(motif[k]))
                ++k;
            if (k == motif.size())
                return i;
        }
        return std::string_view::npos;
    };
    std::uint32_t graine = 7;
    const auto tirer = [&](std::uint32_t n) {
        graine = graine * 1103515245u + 12345u;
        return (graine >> 16) % n;
    };
    const std::string morceaux[] = {
        "vous appelle", "VOUS APPELL", "Vous",        " ", "v", "V", "x",
        "\xE9",         "appelle",     "vOuS aPpElLe"};
    int trouves = 0;
    for (int essai = 0; essai < 20000; ++essai) {
        std::string t;
        const std::uint32_t n = tirer(12);
        for (std::uint32_t j = 0; j < n; ++j)
            t += morceaux[tirer(10)];
        const std::size_t attendu = naif(t);
        trouves += attendu != std::string_view::npos;
        ASSERT_EQ(ChercherVousAppelle(t), attendu) << t;
        ASSERT_EQ(ContientVousAppelle(t), attendu != std::string_view::npos) << t;
    }
    EXPECT_GT(trouves, 1000);
}

} // namespace
