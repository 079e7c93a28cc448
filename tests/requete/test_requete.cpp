// L'analyse d'une requête : ce qu'elle retient, et un message clair pour ce qui est mal formé,
// même quand la requête est hostile (guillemet seul, « - » seul, démesurée, caractères de
// contrôle).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Requete.h"

namespace vek {
namespace {

Terme T(std::vector<std::string> mots, bool exclu = false) {
    return {std::move(mots), exclu};
}

struct CasValide {
    const char* nom;
    const char* requete; // UTF-8
    Requete attendue;
};

class RequeteValide : public testing::TestWithParam<CasValide> {};

TEST_P(RequeteValide, DonneSesTermesEtSesChamps) {
    const auto r = AnalyserRequete(GetParam().requete);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_EQ(*r, GetParam().attendue);
}

INSTANTIATE_TEST_SUITE_P(
    Requetes, RequeteValide,
    testing::Values(
        CasValide{"MotsRepliesDansLOrdre",
                  "Mariée DRAGON œuvre",
                  {{T({"mariee"}), T({"dragon"}), T({"oeuvre"})}, {}, {}}},
        CasValide{"PhraseEtExclusions",
                  "-\"le Château\" -rouge Straße",
                  {{T({"le", "chateau"}, true), T({"rouge"}, true), T({"strasse"})}, {}, {}}},
        CasValide{"ApostropheDansUnMot", "aujourd'hui", {{T({"aujourd", "hui"})}, {}, {}}},
        CasValide{"GuillemetColle", "abc\"def  ghi\"", {{T({"abc"}), T({"def", "ghi"})}, {}, {}}},
        CasValide{"LocuteursReplies",
                  "De:Aldric -de:\" Jean Pierre \" de:Vous",
                  {{}, {{"aldric", false}, {"jean pierre", true}, {"vous", false}}, {}}},
        CasValide{"ChannelsEnMajusculesSansCrochets",
                  "CHANNEL:commerce -channel:[Général]",
                  {{}, {}, {{"COMMERCE", false}, {"G\xC9N\xC9RAL", true}}}},
        CasValide{"ControlesEtTabulationsSeparent",
                  "\tmot\x1B[31m\x01\n",
                  {{T({"mot"}), T({"31m"})}, {}, {}}}),
    [](const auto& essai) { return std::string(essai.param.nom); });

struct CasInvalide {
    const char* nom;
    std::string requete;
    std::vector<std::string> dit; // des morceaux attendus du message
};

class RequeteInvalide : public testing::TestWithParam<CasInvalide> {};

TEST_P(RequeteInvalide, EstRefuseeAvecUnMessageClair) {
    const auto r = AnalyserRequete(GetParam().requete);
    ASSERT_FALSE(r.ok());
    const std::string message = r.Echec().Message();
    EXPECT_TRUE(message.starts_with("Requête incorrecte : ")) << message;
    for (const std::string& morceau : GetParam().dit)
        EXPECT_NE(message.find(morceau), std::string::npos) << message;
    // Un message court, sans caractère de contrôle, quelle que soit la requête.
    EXPECT_LT(message.size(), 300u) << message;
    for (const char c : message)
        EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Requetes, RequeteInvalide,
    testing::Values(
        CasInvalide{"GuillemetSeul", "\"", {"guillemet", "caractère 1", "jamais fermé"}},
        CasInvalide{"GuillemetNonFerme", "dragon \"le ch\xC3\xA2teau", {"caractère 8"}},
        CasInvalide{"TiretSeul", "dragon - rouge", {"« - »", "caractère 8", "seul"}},
        CasInvalide{"TiretEnFin", "dragon -", {"caractère 8"}},
        CasInvalide{"SeulementDesExclusions", "-dragon -de:Aldric", {"écarter"}},
        CasInvalide{"Vide", "", {"vide"}},
        CasInvalide{"QueDesControles", "\x01\x1B\x7F  \t", {"vide"}},
        CasInvalide{"SansLettre", "dragon ?!", {"« ?! »", "ni lettre ni chiffre"}},
        CasInvalide{"GuillemetsVides", "dragon -\"  \"", {"guillemets", "caractère 9"}},
        CasInvalide{"DeSansNom", "dragon de:", {"« de: »", "personne"}},
        CasInvalide{"DeAvecUnControle", "dragon de:\"\x1B\"", {"␛"}},
        CasInvalide{"ChannelSansNom", "channel:[]", {"channel"}},
        CasInvalide{
            "HorsWindows1252", "dragon \xE2\x98\x83", {"U+2603", "caractère 8", "Windows-1252"}},
        CasInvalide{"ControleHorsWindows1252", "a\xC2\x9B", {"U+009B", "caractère 2"}},
        CasInvalide{"Utf8Invalide", "ab\xFF", {"UTF-8", "caractère 3"}},
        CasInvalide{"DemesureeNonFermee", "\"" + std::string(10000, 'a'), {"caractère 1"}},
        CasInvalide{"DemesureeSansLettre", std::string(10000, '!'), {"…"}}),
    [](const auto& essai) { return std::string(essai.param.nom); });

TEST(RequeteDemesuree, DixMilleCaracteresSontAnalyses) {
    const auto mot = AnalyserRequete(std::string(10000, 'a'));
    ASSERT_TRUE(mot.ok());
    EXPECT_EQ(mot->termes.at(0).mots.at(0).size(), 10000u);
    std::string beaucoup;
    for (int i = 0; i < 5000; ++i)
        beaucoup += i % 2 ? "b " : "-c ";
    const auto termes = AnalyserRequete(beaucoup);
    ASSERT_TRUE(termes.ok());
    EXPECT_EQ(termes->termes.size(), 5000u);
}

} // namespace
} // namespace vek
