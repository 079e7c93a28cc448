// L'enregistrement d'une ligne retenue, tiré de la seule analyse du filtre : genre, heure,
// channel, locuteur, message après les modes ; et le découpage en parties.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Parties.h"
#include "Selection.h"

namespace vek {
namespace {

TEST(HeureDeLigne, LesDeuxFormesDEnTeteEtSonAbsence) {
    const struct {
        const char* cas;
        std::string_view ligne;
        std::string_view heure;
    } cas[] = {
        {"tiret", "12/24/2001 21:04:05 - x", "21:04:05"},
        {"crochets", "12/24/2001 [21:04:05]  x", "21:04:05"},
        {"collée", "12/24/200121:04:05    x", "21:04:05"},
        {"sans heure", "12/24/2001 21h04 xx - x", ""},
        {"trop courte", "12/24/2001 21:0", ""},
        {"heure dans le corps", "12/24/2001 ---------- 21:04:05", ""},
    };
    for (const auto& c : cas)
        EXPECT_EQ(HeureDeLigne(c.ligne), c.heure) << c.cas;
}

struct Attendu {
    const char* cas;
    std::string corps;
    Modes modes;
    GenreEntree genre;
    std::string_view channel;
    std::string_view nom;
    bool nomMontre;
    std::string_view texte;
};

class EnregistrementDUneLigne : public ::testing::TestWithParam<Attendu> {};

TEST_P(EnregistrementDUneLigne, GenreNomEtMessageApresLesModes) {
    const Attendu& a = GetParam();
    Selection selection;
    selection.AjouterChannel(TexteZoneProximite);
    selection.AjouterChannel("[C]");
    TravailReecriture travail;
    const std::string ligne = "12/24/2001 21:04:05 - " + a.corps;
    const auto e = FiltrerEnregistrement(ligne, selection, a.modes, travail, true);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->genre, a.genre);
    EXPECT_EQ(e->channel, a.channel);
    EXPECT_EQ(e->nom, a.nom);
    EXPECT_EQ(e->nomMontre, a.nomMontre);
    EXPECT_EQ(e->texte, a.texte);
    EXPECT_EQ(e->heure, "21:04:05");
    EXPECT_EQ(e->date, (Date{2001, 12, 24}));
    // La ligne est celle de LogFinal.txt, par la même réécriture.
    TravailReecriture autre;
    std::string tampon;
    EXPECT_EQ(e->ligne,
              ReecrireGenerique(ligne, AnalyserCorps(CorpsDeLigne(ligne), tampon), a.modes, autre));
}

const Modes Aucun{};
const Modes Rp{false, true, false};
const Modes SansChannel{false, false, true};
const Modes Tous{true, true, true};

INSTANTIATE_TEST_SUITE_P(
    Genres, EnregistrementDUneLigne,
    ::testing::Values(Attendu{"channel", "[C] \"Al\": bonjour  ", Aucun, GenreEntree::Channel,
                              "[C]", "Al", true, "bonjour"},
                      Attendu{"channel_rp_nom_cite", "[C] \"Al\": dis \"Al\" [C]", Rp,
                              GenreEntree::Channel, "[C]", "Al", true, "dis Al [C]"},
                      Attendu{"channel_sans_tag_cite", "[C] \"Al\": voir [C] ici", SansChannel,
                              GenreEntree::Channel, "[C]", "Al", true, "voir  ici"},
                      Attendu{"channel_sans_deux_points", "[C] \"Al\" rejoint le canal", Tous,
                              GenreEntree::Channel, "[C]", "Al\" rejoint le can", false,
                              "\"Al\" rejoint le canal"},
                      Attendu{"proximite", "{Al}\":\"salut", Aucun, GenreEntree::Proximite,
                              "Zone de proximit\xE9", "Al", true, "salut"},
                      Attendu{"proximite_rp_double", "{Al}\":\"{Al}\":\"x", Rp,
                              GenreEntree::Proximite, "Zone de proximit\xE9", "Al", true, "Al : x"},
                      Attendu{"proximite_mal_formee", "{Al}: x", Aucun, GenreEntree::Proximite,
                              "Zone de proximit\xE9", "A", false, "{Al}: x"},
                      Attendu{"dit", "Vous avez dit :  \"Al\", viens", Rp, GenreEntree::Dit, "",
                              "Vous", true, "\"Al\", viens"},
                      Attendu{"murmure", "Al vous appelle : psst", Aucun, GenreEntree::Murmure, "",
                              "Al", true, "psst"},
                      Attendu{"appel", "Le h\xE9raut VOUS APPELLE sur la place", Tous,
                              GenreEntree::Appel, "", "Le h\xE9raut", false,
                              "Le h\xE9raut VOUS APPELLE sur la place"},
                      Attendu{"appel_sans_nom", "vous appelle : x", Aucun, GenreEntree::Appel, "",
                              "", false, "vous appelle : x"}),
    [](const auto& p) { return std::string(p.param.cas); });

// Des entrées de tailles diverses, découpées en parties d'au plus la limite : chaque entrée
// tient dans une partie, sauf celles qui sont plus longues qu'une partie, coupées à une espace
// ou entre deux caractères, jamais juste après une barre oblique inverse. Les parties gardées en
// mémoire, passées dès le début ou en cours de route par le fichier de travail, donnent les
// mêmes octets, et le fichier de travail ne reste pas.
TEST(Empaqueteur, PartiesDansLaLimiteEntreesEntieresCoupuresSures) {
    test::DossierTemporaire dossier;
    const std::string cible = dossier.Fichier("parties.txt");
    std::vector<std::string> entrees;
    for (int i = 0; i < 60; ++i)
        entrees.push_back("entrée " + std::to_string(i) + " " + std::string(i * 7 % 90, 'e'));
    entrees.push_back(std::string(150, '\\') + "\\*" + std::string(150, 'x')); // sans espace
    entrees.push_back("é" + std::string(400, 'y'));
    std::string flux;
    for (const auto& x : entrees)
        flux += x + "\n";
    const auto empaqueter = [&](std::size_t plafond) {
        Empaqueteur e(200, "**Partie ", "**", plafond);
        e.Nommer(cible);
        // Reçu par morceaux quelconques.
        for (std::size_t i = 0; i < flux.size(); i += 37)
            e.Recevoir(std::string_view(flux).substr(i, 37));
        EcrivainTexte sortie;
        std::string raison;
        EXPECT_TRUE(sortie.Creer(cible));
        EXPECT_TRUE(e.Terminer(sortie, raison)) << raison;
        EXPECT_TRUE(sortie.Fermer());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dossier.Chemin()),
                                std::filesystem::directory_iterator()),
                  1)
            << "le fichier de travail est parti (plafond " << plafond << ")";
        return test::LireTout(cible);
    };
    const std::string contenu = empaqueter(Empaqueteur::PlafondParDefaut);
    EXPECT_EQ(empaqueter(0), contenu) << "tout par le fichier de travail";
    EXPECT_EQ(empaqueter(1000), contenu) << "par le fichier de travail en cours de route";
    const auto parties = DecouperParties(contenu);
    ASSERT_GT(parties.size(), 10u);
    std::string rejoint;
    for (std::size_t p = 0; p < parties.size(); ++p) {
        EXPECT_LE(CompterCaracteres(parties[p]), 200u);
        const std::string tete =
            "**Partie " + std::to_string(p + 1) + "/" + std::to_string(parties.size()) + "**\n";
        ASSERT_TRUE(parties[p].starts_with(tete)) << parties[p];
        std::string corps(parties[p].substr(tete.size()));
        std::size_t barres = 0;
        while (barres < corps.size() && corps[corps.size() - 1 - barres] == '\\')
            ++barres;
        EXPECT_EQ(barres % 2, 0u) << "une barre oblique inverse seule en fin de partie";
        rejoint += corps + "\n";
    }
    for (std::size_t i = 0; i + 2 < entrees.size(); ++i)
        EXPECT_NE(rejoint.find(entrees[i] + "\n"), std::string::npos) << "entière : " << i;
    // Les deux entrées trop longues, rejointes sans leurs coupures.
    std::string fin = rejoint.substr(rejoint.find(std::string(150, '\\')));
    std::erase(fin, '\n');
    EXPECT_EQ(fin, entrees[60] + entrees[61]);
}

// Au-delà du plafond, un fichier de travail qui ne peut pas s'ouvrir (son dossier n'existe pas) :
// échec qui le dit, au lieu de parties qui perdraient des entrées.
TEST(Empaqueteur, FichierDeTravailImpossibleEchecQuiLeDit) {
    test::DossierTemporaire dossier;
    Empaqueteur e(200, "**Partie ", "**", 0);
    e.Nommer(dossier.Fichier("absent/parties.txt"));
    e.Recevoir("une entrée\nune autre\n");
    EcrivainTexte sortie;
    ASSERT_TRUE(sortie.Creer(dossier.Fichier("parties.txt")));
    std::string raison;
    EXPECT_FALSE(e.Terminer(sortie, raison));
    EXPECT_FALSE(raison.empty());
}

} // namespace
} // namespace vek
