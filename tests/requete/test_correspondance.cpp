// La correspondance d'une ligne à une requête : repli du français, début de mot, phrases,
// exclusions, de: et channel:, seul le message cherché ; les mots trouvés. Et la promesse des
// octets candidats (toute ligne trouvée contient la paire choisie), sur laquelle la passe compte
// pour ne pas examiner les autres lignes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Candidats.h"
#include "Correspondance.h"

namespace vek {
namespace {

std::string Ligne(std::string_view corps) {
    return "12/24/2001 21:04:05 - " + std::string(corps);
}

struct Cas {
    const char* nom;
    const char* requete;              // UTF-8
    const char* corps;                // Windows-1252
    std::vector<std::string> trouves; // les passages mis en valeur
    bool retenue = true;
};

class Correspondance : public testing::TestWithParam<Cas> {};

TEST_P(Correspondance, RetientLaLigneEtDitOuSontLesMots) {
    const auto requete = AnalyserRequete(GetParam().requete);
    ASSERT_TRUE(requete.ok()) << requete.Echec().Message();
    Correspondeur c(*requete);
    const std::string ligne = Ligne(GetParam().corps);
    std::vector<Passage> passages;
    const bool retenue = c.Correspond(ligne, &passages);
    EXPECT_EQ(retenue, GetParam().retenue);
    EXPECT_EQ(c.Correspond(ligne), retenue); // le filtre d'une extraction, sans les passages
    std::vector<std::string> trouves;
    for (const Passage& p : passages)
        trouves.push_back(ligne.substr(p.debut, p.longueur));
    EXPECT_EQ(trouves, GetParam().trouves);
}

INSTANTIATE_TEST_SUITE_P(
    Lignes, Correspondance,
    testing::Values(
        Cas{"AccentsEtCasse",
            "mariee",
            "[Guilde] \"Aldric\": La MARI\xC9"
            "E arrive",
            {"MARI\xC9"
             "E"}},
        Cas{"RequeteAccentuee", "MARIÉE", "[Guilde] \"Aldric\": la mariee", {"mariee"}},
        Cas{"LigatureDansLaLigne",
            "oeuvre",
            "{Brune}\":\"L'\x8C"
            "UVRE du mage",
            {"\x8C"
             "UVRE"}},
        Cas{"LigatureDansLaRequete",
            "Œuvre cœur",
            "{Brune}\":\"l'oeuvre d'un coeur",
            {"oeuvre", "coeur"}},
        Cas{"PrefixeEnLigature", "coe", "{Brune}\":\"un c\x9Cur", {"c\x9Cur"}},
        Cas{"AeEtSz",
            "aethelred strasse",
            "{Brune}\":\"\xC6thelred, Stra\xDF"
            "e",
            {"\xC6thelred", "Stra\xDF"
                            "e"}},
        Cas{"CedilleEtTrema",
            "garcon naif",
            "{Brune}\":\"GAR\xC7ON na\xEF"
            "f",
            {"GAR\xC7ON", "na\xEF"
                          "f"}},
        Cas{"DebutDeMot", "mari", "[Guilde] \"Aldric\": le mariage", {"mariage"}},
        Cas{"PasAuMilieuDUnMot", "mari", "[Guilde] \"Aldric\": un d\xE9mariage", {}, false},
        Cas{"MotsDansNImporteQuelOrdre",
            "arrive mariee",
            "{A}\":\"la mari\xE9"
            "e arrive",
            {"mari\xE9"
             "e",
             "arrive"}},
        Cas{"UnMotManque",
            "arrive dragon",
            "{A}\":\"la mari\xE9"
            "e arrive",
            {},
            false},
        Cas{"Phrase", "\"le chateau\"", "{A}\":\"Le... CH\xC2TEAU est pris", {"Le... CH\xC2TEAU"}},
        Cas{"PhraseDansLeDesordre", "\"chateau le\"", "{A}\":\"le ch\xE2teau", {}, false},
        Cas{"PhraseAvecUnMotEntre", "\"le chateau\"", "{A}\":\"le beau ch\xE2teau", {}, false},
        Cas{"PhraseAuMilieuDUnMot", "\"le chat\"", "{A}\":\"bole chateau", {}, false},
        Cas{"Apostrophe", "aujourd'hui", "{A}\":\"Aujourd\x92hui !", {"Aujourd\x92hui"}},
        Cas{"ExclusionPresente", "dragon -rouge", "{A}\":\"le dragon rouge", {}, false},
        Cas{"ExclusionAbsente", "dragon -rouge", "{A}\":\"le dragon vert", {"dragon"}},
        Cas{"ExclusionDePhrase",
            "dragon -\"dragon rouge\"",
            "{A}\":\"rouge, le dragon",
            {"dragon"}},
        Cas{"TousLesEndroits", "dragon", "{A}\":\"dragon, dragon", {"dragon", "dragon"}},
        Cas{"PassagesQuiSeChevauchent", "le \"le dragon\"", "{A}\":\"le dragon", {"le dragon"}},
        Cas{"De", "de:aldric salut", "[Guilde] \"ALDRIC\": salut", {"salut"}},
        Cas{"DeAutreLocuteur", "de:aldric salut", "[Guilde] \"Brune\": salut Aldric", {}, false},
        Cas{"DeVous", "de:Vous", "Vous avez dit : bonjour", {}},
        Cas{"DeVousSurUnChannel", "de:Vous", "[Guilde] \"Brune\": Vous avez dit", {}, false},
        Cas{"DeEnProximite", "de:Élise", "{Elise}\":\"salut", {}},
        Cas{"DeMurmure", "de:aldric secret", "Aldric vous appelle : un secret", {"secret"}},
        Cas{"DeExclu", "salut -de:aldric", "{Aldric}\":\"salut", {}, false},
        Cas{"Channel", "channel:commerce", "[Commerce] \"Aldric\": x", {}},
        Cas{"ChannelAccentue", "channel:[général]", "[G\xC9N\xC9RAL] \"A\": x", {}},
        Cas{"ChannelAutre", "channel:commerce", "[Guilde] \"Aldric\": commerce", {}, false},
        Cas{"ChannelSurUneLigneSansChannel",
            "channel:commerce",
            "{Aldric}\":\"commerce",
            {},
            false},
        Cas{"ChannelExcluSurUneLigneSansChannel", "x -channel:guilde", "{A}\":\"x", {"x"}},
        Cas{"LeNomNEstPasCherche", "aldric", "[Guilde] \"Aldric\": bonjour", {}, false},
        Cas{"LeTagNEstPasCherche", "guilde", "[Guilde] \"Aldric\": bonjour", {}, false},
        Cas{"LaDateNEstPasCherchee", "2001", "{A}\":\"bonjour", {}, false},
        Cas{"DesChiffresDuMessage", "2001", "{A}\":\"en 2001 d\xE9j\xE0", {"2001"}},
        Cas{"LigneSansForme", "connexion", "Connexion \xE9tablie avec le serveur.", {"Connexion"}}),
    [](const auto& essai) { return std::string(essai.param.nom); });

TEST(Correspondance, UneLigneNonDateeNAPasDeMessage) {
    Correspondeur c(*AnalyserRequete("bonjour"));
    EXPECT_FALSE(c.Correspond("    bonjour \xE0 tous"));
    EXPECT_FALSE(c.Correspond("1/24/2001 21:04:05 - {A}\":\"bonjour"));
    EXPECT_FALSE(c.Correspond(""));
}

// Pour chaque requête et chaque ligne de la table qui lui correspond, la paire (ou la lettre)
// candidate se trouve dans la ligne, quel que soit l'échantillon qui l'a choisie.
TEST(OctetsCandidats, ToujoursDansUneLigneTrouvee) {
    const std::vector<std::string> echantillons = {"",
                                                   Ligne("{A}\":\"le dragon rouge et la mari\xE9"
                                                         "e"),
                                                   std::string(5000, 'e') + "zq"};
    int verifiees = 0;
    const auto lignes = [] {
        std::vector<std::string> v;
        for (const char* corps :
             {"[Guilde] \"ALDRIC\": salut",
              "{Brune}\":\"L'\x8C"
              "UVRE du c\x9Cur",
              "Vous avez dit : bonjour", "{A}\":\"Le... CH\xC2TEAU est pris",
              "{A}\":\"\xC6thelred, Stra\xDF"
              "e, GAR\xC7ON",
              "Aldric vous appelle : un secret", "{Jean-Pierre}\":\"en 2001 d\xE9j\xE0"})
            v.push_back(Ligne(corps));
        return v;
    }();
    for (const char* texte : {"salut",
                              "de:aldric",
                              "oeuvre",
                              "œu",
                              "cœur",
                              "coe",
                              "de:Vous",
                              "\"le chateau\"",
                              "chat",
                              "aethelred",
                              "strasse",
                              "garcon",
                              "ss",
                              "th",
                              "de:jean-pierre",
                              "2001",
                              "deja",
                              "e",
                              "de:aldric de:brune",
                              "channel:guilde"}) {
        const auto requete = AnalyserRequete(texte);
        ASSERT_TRUE(requete.ok()) << texte;
        Correspondeur c(*requete);
        for (const std::string& echantillon : echantillons) {
            const OctetsCandidats candidats(*requete, echantillon);
            for (const std::string& ligne : lignes) {
                if (!c.Correspond(ligne))
                    continue;
                const char* fin = ligne.data() + ligne.size();
                EXPECT_NE(candidats.Suivant(ligne.data(), fin), fin)
                    << texte << " / " << ligne << " / choix " << candidats.Choix();
                ++verifiees;
            }
        }
    }
    EXPECT_GT(verifiees, 40);
}

} // namespace
} // namespace vek
