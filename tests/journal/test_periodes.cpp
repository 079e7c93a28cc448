// Périodes à la minute : bornes écrites, heure d'une ligne, extraits comparés à un modèle, et
// séances de jeu trouvées par l'analyse.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "SystemeDeTest.h"

using namespace vek;
using vek::test::DossierTemporaire;
using vek::test::LireTout;
using vek::test::ProgressionNotee;

namespace {

// --- bornes écrites ---

struct CasBorne {
    const char* nom;
    const char* texte;
    bool valide;
    Instant premier; // sans objet si invalide
    Instant dernier;
};

class Bornes : public ::testing::TestWithParam<CasBorne> {};

TEST_P(Bornes, LaPrecisionEcriteDonneLaPremiereEtLaDerniereSeconde) {
    const CasBorne& c = GetParam();
    const auto borne = ConvertirBorne(c.texte);
    ASSERT_EQ(borne.has_value(), c.valide) << c.texte;
    if (!borne)
        return;
    EXPECT_EQ(borne->Premier(), c.premier);
    EXPECT_EQ(borne->Dernier(), c.dernier);
}

constexpr Date Noel{2001, 12, 24};
INSTANTIATE_TEST_SUITE_P(
    Formes, Bornes,
    ::testing::Values(
        CasBorne{"jour", "24/12/2001", true, {Noel, 0}, {Noel, 86399}},
        CasBorne{"minute", "24/12/2001 23:40", true, {Noel, 85200}, {Noel, 85259}},
        CasBorne{"seconde", "24/12/2001 23:40:07", true, {Noel, 85207}, {Noel, 85207}},
        CasBorne{"heureAUnChiffre", "24/12/2001 9:05", true, {Noel, 32700}, {Noel, 32759}},
        CasBorne{"espacesAutour", "  24/12/2001   00:00  ", true, {Noel, 0}, {Noel, 59}},
        CasBorne{"minuitMoinsUne", "24/12/2001 23:59:59", true, {Noel, 86399}, {Noel, 86399}},
        CasBorne{"heure24", "24/12/2001 24:00", false, {}, {}},
        CasBorne{"minute60", "24/12/2001 12:60", false, {}, {}},
        CasBorne{"seconde60", "24/12/2001 12:00:60", false, {}, {}},
        CasBorne{"minuteAUnChiffre", "24/12/2001 12:5", false, {}, {}},
        CasBorne{"heureSeule", "24/12/2001 12", false, {}, {}},
        CasBorne{"deuxPointsFinal", "24/12/2001 12:00:", false, {}, {}},
        CasBorne{"heureCollee", "24/12/200112:00", false, {}, {}},
        CasBorne{"texteApres", "24/12/2001 12:00 h", false, {}, {}},
        CasBorne{"dateInvalide", "31/02/2001 12:00", false, {}, {}}),
    [](const auto& cas) { return std::string(cas.param.nom); });

TEST(TextePeriode, JoursEntiersMinutesEtSecondes) {
    EXPECT_EQ(TextePeriode(Periode::Jours(Noel, {2001, 12, 26})), "du 24/12/2001 au 26/12/2001");
    const Periode soiree =
        Periode::Entre(*ConvertirBorne("24/12/2001 21:10"), *ConvertirBorne("24/12/2001 23:40"));
    EXPECT_EQ(TextePeriode(soiree), "du 24/12/2001 21:10 au 24/12/2001 23:40");
    const Periode precise =
        Periode::Entre(*ConvertirBorne("24/12/2001 21:10:05"), *ConvertirBorne("24/12/2001 23:40"));
    EXPECT_EQ(TextePeriode(precise), "du 24/12/2001 21:10:05 au 24/12/2001 23:40:59");
}

// --- heure d'une ligne ---

struct CasHeure {
    const char* nom;
    const char* ligne;
    int seconde; // -1 : illisible
};

class HeureDeLigne : public ::testing::TestWithParam<CasHeure> {};

TEST_P(HeureDeLigne, LuesAuxPositionsOnzeAVingtDeux) {
    const auto s = SecondesDeLigne(GetParam().ligne);
    EXPECT_EQ(s.value_or(-1), GetParam().seconde) << GetParam().ligne;
}

INSTANTIATE_TEST_SUITE_P(
    Formes, HeureDeLigne,
    ::testing::Values(CasHeure{"tiret", "12/24/2001 21:04:05 - Vous avez dit : a", 75845},
                      CasHeure{"crochets", "12/24/2001[21:04:05] Vous avez dit : a", 75845},
                      CasHeure{"crochetsEspace", "12/24/2001 [21:04:05]Vous avez dit : a", 75845},
                      CasHeure{"minuteSeule", "12/24/2001 21:04 -     texte", 75840},
                      CasHeure{"minuit", "12/24/2001 00:00:00 - a", 0},
                      CasHeure{"illisible", "12/24/2001 zz:zz:zz - a", -1},
                      CasHeure{"horsBornes", "12/24/2001 25:61:00 - a", -1},
                      CasHeure{"tropDeChiffres", "12/24/2001 121:04:05 - a", -1},
                      CasHeure{"coupeeParLaPosition23", "12/24/2001        21:04:05", -1},
                      CasHeure{"ligneCourte", "12/24/2001", -1},
                      CasHeure{"heureDansLeCorps", "12/24/2001 -          21:04:05", -1}),
    [](const auto& cas) { return std::string(cas.param.nom); });

// --- extraits comparés à un modèle ---

// Une ligne fabriquée, et ce que le générateur sait d'elle.
struct LigneConnue {
    std::string texte;
    Date jour;
    int seconde; // -1 : heure écrite illisible
};

std::vector<LigneConnue> JournalAuHasard(std::mt19937& hasard, int n) {
    std::vector<LigneConnue> lignes;
    std::uniform_int_distribution<int> jour(23, 26), seconde(0, 86399), forme(0, 9);
    for (int i = 0; i < n; ++i) {
        const Date d{2001, 12, jour(hasard)};
        int s = seconde(hasard);
        if (forme(hasard) < 2) // autour de minuit et des bornes rondes
            s = (s % 3) * 20 + (s % 2 ? 0 : 86340);
        char tete[40];
        const int f = forme(hasard);
        if (f == 0)
            std::snprintf(tete, sizeof tete, "%02d/%02d/%04d zz:zz:zz - ", d.mois, d.jour, d.annee);
        else if (f == 1)
            std::snprintf(tete, sizeof tete, "%02d/%02d/%04d[%02d:%02d:%02d]  ", d.mois, d.jour,
                          d.annee, s / 3600, s / 60 % 60, s % 60);
        else if (f == 2)
            std::snprintf(tete, sizeof tete, "%02d/%02d/%04d %02d:%02d -    ", d.mois, d.jour,
                          d.annee, s / 3600, s / 60 % 60);
        else
            std::snprintf(tete, sizeof tete, "%02d/%02d/%04d %02d:%02d:%02d - ", d.mois, d.jour,
                          d.annee, s / 3600, s / 60 % 60, s % 60);
        if (f == 2)
            s -= s % 60;
        lignes.push_back({std::string(tete) + "[Commerce] \"N" + std::to_string(i % 5) +
                              "\": ligne " + std::to_string(i),
                          d, f == 0 ? -1 : s});
    }
    return lignes;
}

// Ce que la période doit garder : le jour strictement dedans, ou l'instant (minuit pour une
// heure illisible) entre les bornes comprises.
bool Garde(const LigneConnue& l, const Periode& p) {
    const Instant i{l.jour, l.seconde < 0 ? 0 : l.seconde};
    return !(i < p.debut) && !(p.fin < i);
}

class Periodes : public ::testing::Test {
protected:
    DossierTemporaire programme, donnees;
    Moteur module{test::Reglages(programme.Chemin())};
    ProgressionNotee progression;
};

TEST_F(Periodes, LExtraitEstCeluiDuModelePourDesBornesAuHasard) {
    std::mt19937 hasard(24);
    const auto lignes = JournalAuHasard(hasard, 4000);
    std::string contenu = "--- en-tête non daté ---\r\n";
    for (const auto& l : lignes)
        contenu += l.texte + "\r\n";
    const std::string chemin = donnees.Ecrire("j.txt", contenu);

    std::uniform_int_distribution<int> jour(23, 26), seconde(0, 86399), precision(0, 2);
    const auto borne = [&] {
        const Date d{2001, 12, jour(hasard)};
        const int p = precision(hasard);
        const int s = seconde(hasard);
        return Borne{d, p == 0 ? 0 : p == 1 ? s - s % 60 : s, static_cast<Precision>(p)};
    };
    for (int essai = 0; essai < 40; ++essai) {
        const Periode periode = Periode::Entre(borne(), borne());
        const auto r = test::Chercher(module, chemin, periode, progression);
        ASSERT_TRUE(r.ok());
        std::string attendu;
        std::uint64_t n = 0;
        for (const auto& l : lignes)
            if (Garde(l, periode)) {
                attendu += l.texte + "\r\n";
                ++n;
            }
        ASSERT_EQ(LireTout(programme.Fichier("LogVEKtemp.txt")), attendu) << TextePeriode(periode);
        EXPECT_EQ(r->lignesRetenues, n);
        EXPECT_EQ(r->lignesDatees, lignes.size());
        EXPECT_EQ(r->periode, periode);
    }
}

TEST_F(Periodes, FinALaMinuteGardeSesCinquanteNeufSecondesEtMinuitLeJourDUneBorne) {
    const std::string chemin =
        donnees.Ecrire("j.txt", "12/24/2001 21:09:59 - avant\r\n"
                                "12/24/2001 21:10:00 - premier\r\n"
                                "12/24/2001 zz:zz:zz - illisible le jour des bornes\r\n"
                                "12/24/2001 23:40:59 - dernier\r\n"
                                "12/24/2001 23:41:00 - apres\r\n");
    const Periode soiree =
        Periode::Entre(*ConvertirBorne("24/12/2001 21:10"), *ConvertirBorne("24/12/2001 23:40"));
    ASSERT_TRUE(test::Chercher(module, chemin, soiree, progression).ok());
    EXPECT_EQ(LireTout(programme.Fichier("LogVEKtemp.txt")),
              "12/24/2001 21:10:00 - premier\r\n12/24/2001 23:40:59 - dernier\r\n");

    // La veille à 22:00 jusqu'au lendemain 01:00 : la ligne illisible du jour du milieu est
    // gardée ; à 00:00 pile, une borne de début la garderait aussi.
    const std::string nuit = donnees.Ecrire("n.txt", "12/23/2001 21:59:59 - non\r\n"
                                                     "12/23/2001 zz:zz:zz - non, minuit\r\n"
                                                     "12/24/2001 zz:zz:zz - oui\r\n"
                                                     "12/25/2001 zz:zz:zz - oui, minuit\r\n"
                                                     "12/25/2001 01:00:00 - oui\r\n"
                                                     "12/25/2001 01:01:00 - non\r\n");
    const Periode p =
        Periode::Entre(*ConvertirBorne("23/12/2001 22:00"), *ConvertirBorne("25/12/2001 01:00"));
    ASSERT_TRUE(test::Chercher(module, nuit, p, progression).ok());
    EXPECT_EQ(LireTout(programme.Fichier("LogVEKtemp.txt")),
              "12/24/2001 zz:zz:zz - oui\r\n12/25/2001 zz:zz:zz - oui, minuit\r\n"
              "12/25/2001 01:00:00 - oui\r\n");
}

TEST_F(Periodes, UneRechercheVideDitSiLeJournalADesLignesDatees) {
    const std::string binaire = donnees.Ecrire("b.bin", std::string("\x00\x01\xFF\r\n\x89PNG", 9));
    const auto r = test::Chercher(module, binaire, Periode::Jours(Noel, Noel), progression);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->lignesDatees, 0u);
    EXPECT_EQ(r->lignesRetenues, 0u);
    const std::string journal = donnees.Ecrire("j.txt", "12/24/2001 12:00:00 - a\r\n");
    const auto inverse =
        test::Chercher(module, journal, Periode::Jours({2001, 12, 25}, Noel), progression);
    ASSERT_TRUE(inverse.ok());
    EXPECT_EQ(inverse->lignesDatees, 1u);
    EXPECT_EQ(inverse->lignesRetenues, 0u);
}

// --- catalogue plein ---

TEST_F(Periodes, LesEntreesLaisseesDeCoteSontCompteesUneFois) {
    std::string contenu;
    for (int tour = 0; tour < 2; ++tour) // chaque entrée revient : comptée une seule fois
        for (int i = 0; i < 5012; ++i)
            contenu += "12/24/2001 12:00:00 - [C" + std::to_string(i % 107) + "] \"N" +
                       std::to_string(i) + "\": x\r\n";
    const std::string chemin = donnees.Ecrire("plein.txt", contenu);
    const auto r = test::Chercher(module, chemin, Periode::Jours(Noel, Noel), progression);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->catalogue->NombreChannels(), Catalogue::MaxChannels);
    EXPECT_EQ(r->catalogue->ChannelsIgnores(), 7u);
    EXPECT_EQ(r->catalogue->NombreNoms(), Catalogue::MaxNoms);
    EXPECT_EQ(r->catalogue->NomsIgnores(), 12u);
}

// --- séances ---

std::string Heure(int jour, int seconde, std::string_view corps) {
    char tete[32];
    std::snprintf(tete, sizeof tete, "12/%02d/2001 %02d:%02d:%02d - ", jour, seconde / 3600,
                  seconde / 60 % 60, seconde % 60);
    return std::string(tete).append(corps).append("\r\n");
}

TEST_F(Periodes, UnJournalAuxPausesConnuesDonneExactementSesSeances) {
    constexpr int H = 3600, M = 60;
    const std::string contenu =
        "*** en-tête ***\r\n" + Heure(24, 20 * H, "[Guilde] \"Aldric\": a") +
        Heure(24, 20 * H + 10 * M, "[Guilde] \"Aldric\": b") +
        Heure(24, 20 * H + 40 * M, "{B\xE9reng\xE8re}\":\"pause d'exactement 30 minutes") +
        "--- ligne non datée ---\r\n" + "12/24/2001 zz:zz:zz - heure illisible, pas comptée\r\n" +
        Heure(24, 21 * H + 10 * M + 1, "Vous avez dit : 30 minutes et une seconde") +
        Heure(24, 23 * H + 50 * M, "[Guilde] \"Cl\xE9mence\": avant minuit") +
        Heure(25, 10 * M, "[Guilde] \"Cl\xE9mence\": apr\xE8s minuit") +
        Heure(25, 5 * M, "[Guilde] \"Denis\": un peu en arri\xE8re") +
        Heure(25, 12 * H, "[Guilde] \"Denis\": le midi");
    const std::string chemin = donnees.Ecrire("s.txt", contenu);
    const auto r = module.Analyser({chemin}, progression);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r->sessions.size(), 4u);
    const auto& s = r->sessions;
    EXPECT_EQ(s[0].numero, 1u);
    EXPECT_EQ(s[0].debut, (Instant{Noel, 20 * H}));
    EXPECT_EQ(s[0].fin, (Instant{Noel, 20 * H + 40 * M}));
    EXPECT_EQ(s[0].lignes, 3u);
    EXPECT_EQ(s[0].locuteurs, (std::vector<std::string>{"Aldric", "B\xE9reng\xE8re"}));
    EXPECT_EQ(s[1].lignes, 1u);
    EXPECT_EQ(s[1].locuteurs, (std::vector<std::string>{std::string(NomVous)}));
    // Par-dessus minuit, avec une ligne un peu en arrière : début et fin sont les extrêmes.
    EXPECT_EQ(s[2].debut, (Instant{Noel, 23 * H + 50 * M}));
    EXPECT_EQ(s[2].fin, (Instant{{2001, 12, 25}, 10 * M}));
    EXPECT_EQ(s[2].lignes, 3u);
    EXPECT_EQ(s[2].locuteurs, (std::vector<std::string>{"Cl\xE9mence", "Denis"}));
    EXPECT_EQ(s[3].numero, 4u);
    EXPECT_EQ(s[3].ALaMinute(), (Periode{{{2001, 12, 25}, 12 * H}, {{2001, 12, 25}, 12 * H + 59}}));

    // Une pause plus longue : les deux premières séances n'en font qu'une.
    const auto longue = module.Analyser({chemin, 31}, progression);
    ASSERT_TRUE(longue.ok());
    ASSERT_EQ(longue->sessions.size(), 3u);
    EXPECT_EQ(longue->sessions[0].lignes, 4u);
}

TEST_F(Periodes, LaDerniereSeanceChoisieALaMinuteDonneExactementSesLignes) {
    std::mt19937 hasard(7);
    std::uniform_int_distribution<int> pas(1, 50 * 60);
    std::string contenu;
    int t = 8 * 3600;
    for (int i = 0; i < 300 && t < 86400; ++i, t += pas(hasard))
        contenu += Heure(24, t, "[Guilde] \"N" + std::to_string(i % 4) + "\": x");
    const std::string chemin = donnees.Ecrire("d.txt", contenu);
    const auto analyse = module.Analyser({chemin}, progression);
    ASSERT_TRUE(analyse.ok());
    ASSERT_GT(analyse->sessions.size(), 2u);
    for (const Session& s : analyse->sessions) {
        const auto r = test::Chercher(module, chemin, s.ALaMinute(), progression);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r->lignesRetenues, s.lignes) << s.numero;
    }
}

TEST(Seances, LesPlusAnciennesPartentAuDelaDeLaLimite) {
    DetecteurSessions detecteur(1);
    const std::size_t n = DetecteurSessions::MaxSessions + 5;
    for (std::size_t i = 0; i < n; ++i) {
        // Deux minutes entre deux lignes : une séance par ligne, sur des jours qui se suivent.
        const int jour = static_cast<int>(i / 720);
        const int seconde = static_cast<int>(i % 720) * 120;
        char ligne[64];
        std::snprintf(ligne, sizeof ligne, "%02d/%02d/%04d %02d:%02d:%02d - {N}\":\"x",
                      1 + jour % 12, 1 + jour / 12 % 28, 2001 + jour / 336, seconde / 3600,
                      seconde / 60 % 60, seconde % 60);
        detecteur.Ajouter(ligne);
    }
    std::uint64_t oubliees = 0;
    const auto sessions = detecteur.Terminer(oubliees);
    EXPECT_EQ(sessions.size(), DetecteurSessions::MaxSessions);
    EXPECT_EQ(oubliees, 5u);
    EXPECT_EQ(sessions.front().numero, 6u);
    EXPECT_EQ(sessions.back().numero, n);
}

} // namespace
