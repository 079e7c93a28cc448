// Tri et réécriture des lignes de l'extrait, et capture de la sélection dans les arbres.

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "Selection.h"

namespace vek {
namespace {

// Les 22 caractères de date et d'heure en tête de chaque ligne.
const std::string P = "12/24/2001 [18:30:05] ";

const std::string Zone(TexteZoneProximite);
const std::string Vous(NomVous);
const std::string Whisps(NomWhisps);

Selection Choisir(std::initializer_list<std::string> channels,
                  std::initializer_list<std::string> noms) {
    Selection s;
    for (const auto& c : channels)
        s.AjouterChannel(c);
    for (const auto& n : noms)
        s.AjouterNom(n);
    return s;
}

struct Issue {
    bool retenue;
    std::string ligne;
};

Issue Traiter(std::string ligne, const Selection& selection, Modes modes = {}) {
    TravailReecriture travail;
    const auto reecrite = FiltrerEtReecrire(ligne, selection, modes, travail);
    return {reecrite.has_value(), reecrite ? std::string(*reecrite) : ligne};
}

Modes FaireModes(bool sansDate, bool nomRP, bool sansChannel) {
    Modes m;
    m.ModeUnlessDate = sansDate;
    m.ModeRPName = nomRP;
    m.ModeUnlessChannel = sansChannel;
    return m;
}

TEST(SelectionEnTete, LeGabaritFaitVingtDeuxCaracteres) {
    ASSERT_EQ(P.size(), 22u);
}

// --- Tableau de réécriture : deux lignes, chaque combinaison des trois modes ---

struct CasReecriture {
    const char* corps;
    bool sansDate, nomRP, sansChannel;
    const char* attendu; // « P » en tête signifie le gabarit de date et d'heure
};

std::string Developper(const char* attendu) {
    std::string s(attendu);
    if (s.rfind("P+", 0) == 0)
        return P + s.substr(2);
    return s;
}

void PrintTo(const CasReecriture& c, std::ostream* os) {
    *os << c.corps << " [date " << c.sansDate << ", RP " << c.nomRP << ", channel " << c.sansChannel
        << "]";
}

class SelectionReecritureTableau : public ::testing::TestWithParam<CasReecriture> {};

TEST_P(SelectionReecritureTableau, LigneReecriteSelonLesModes) {
    const auto& c = GetParam();
    const Selection s = Choisir({Zone, "[Commerce]"}, {"Aldric"});
    const Issue r = Traiter(P + c.corps, s, FaireModes(c.sansDate, c.nomRP, c.sansChannel));
    EXPECT_TRUE(r.retenue);
    EXPECT_EQ(r.ligne, Developper(c.attendu));
}

constexpr const char* Chan = "[Commerce] \"Aldric\": bonjour";
constexpr const char* Prox = "{Aldric}\":\"bonjour";

INSTANTIATE_TEST_SUITE_P(
    HuitCombinaisons, SelectionReecritureTableau,
    ::testing::Values(
        // date, RP, channel
        CasReecriture{Chan, false, false, false, "P+[Commerce] \"Aldric\": bonjour"},
        CasReecriture{Chan, false, false, true, "P+ \"Aldric\": bonjour"},
        CasReecriture{Chan, false, true, false, "P+[Commerce] Aldric: bonjour"},
        CasReecriture{Chan, true, false, false, "[Commerce] \"Aldric\": bonjour"},
        CasReecriture{Chan, false, true, true, "P+ Aldric: bonjour"},
        CasReecriture{Chan, true, false, true, "\"Aldric\": bonjour"},
        CasReecriture{Chan, true, true, false, "[Commerce] Aldric: bonjour"},
        CasReecriture{Chan, true, true, true, "Aldric: bonjour"},
        CasReecriture{Prox, false, false, false, "P+{Aldric}\":\"bonjour"},
        CasReecriture{Prox, false, false, true, "P+{Aldric}\":\"bonjour"},
        CasReecriture{Prox, false, true, false, "P+Aldric : bonjour"},
        CasReecriture{Prox, true, false, false, "{Aldric}\":\"bonjour"},
        CasReecriture{Prox, false, true, true, "P+Aldric : bonjour"},
        CasReecriture{Prox, true, false, true, "{Aldric}\":\"bonjour"},
        CasReecriture{Prox, true, true, false, "Aldric : bonjour"},
        CasReecriture{Prox, true, true, true, "Aldric : bonjour"},
        // Citations : le tag cité dans le message part aussi, la casse compte.
        CasReecriture{"[Commerce] \"Aldric\": voir [Commerce] et [COMMERCE] ou [Guilde]", false,
                      false, true, "P+ \"Aldric\": voir  et [COMMERCE] ou [Guilde]"},
        // Chaque occurrence citée du nom perd ses guillemets, pas les autres noms ni une autre
        // casse.
        CasReecriture{"[Commerce] \"Aldric\": \"Aldric\" dit \"Bob\", \"aldric\" et \"Aldric\"",
                      false, true, false,
                      "P+[Commerce] Aldric: Aldric dit \"Bob\", \"aldric\" et Aldric"},
        // Les deux remplacements s'appliquent au message entier, quel que soit le genre.
        CasReecriture{"{Aldric}\":\"cf {Aldric}\":\"x et \"Aldric\"", false, true, false,
                      "P+Aldric : cf Aldric : x et Aldric"},
        CasReecriture{"[Commerce] \"Aldric\": {Aldric}\":\"x", false, true, false,
                      "P+[Commerce] Aldric: Aldric : x"},
        // Une ligne sans tag ne change pas en mode sans channel, même si elle en cite un.
        CasReecriture{"{Aldric}\":\"rendez-vous sur [Commerce]", false, false, true,
                      "P+{Aldric}\":\"rendez-vous sur [Commerce]"}));

TEST(SelectionReecriture, LeTagPartAvantLesGuillemets) {
    // Un nom qui est lui-même le tag disparaît avec lui ; ses guillemets restent.
    const Selection s = Choisir({"[Commerce]"}, {"[Commerce]"});
    const Issue r = Traiter(P + "[Commerce] \"[Commerce]\": x", s, FaireModes(false, true, true));
    EXPECT_TRUE(r.retenue);
    EXPECT_EQ(r.ligne, P + " \"\": x");
}

TEST(SelectionReecriture, ParolesEtChuchotementsNeChangentQueParLaDateEtLeRognage) {
    const Selection s = Choisir({Zone}, {Vous, Whisps, "Aldric"});
    const Modes rp = FaireModes(false, true, true);
    EXPECT_EQ(Traiter(P + "Vous avez dit : \"Aldric\" {Aldric}\":\"x", s, rp).ligne,
              P + "Vous avez dit : \"Aldric\" {Aldric}\":\"x");
    EXPECT_EQ(Traiter(P + "Aldric vous appelle : \"Aldric\"", s, rp).ligne,
              P + "Aldric vous appelle : \"Aldric\"");
    EXPECT_EQ(Traiter(P + "Vous avez dit : \"Aldric\"", s, FaireModes(true, true, true)).ligne,
              "Vous avez dit : \"Aldric\"");
}

// --- Genres et appartenance ---

struct CasAppartenance {
    const char* nom; // nom du cas, pour le message d'échec
    std::string ligne;
    std::vector<std::string> channels;
    std::vector<std::string> noms;
    bool retenue;
};

void PrintTo(const CasAppartenance& c, std::ostream* os) {
    *os << c.nom;
}

class SelectionAppartenance : public ::testing::TestWithParam<CasAppartenance> {};

TEST_P(SelectionAppartenance, LigneRetenueSelonGenreEtSelection) {
    const auto& c = GetParam();
    Selection s;
    for (const auto& ch : c.channels)
        s.AjouterChannel(ch);
    for (const auto& n : c.noms)
        s.AjouterNom(n);
    const Issue r = Traiter(c.ligne, s);
    EXPECT_EQ(r.retenue, c.retenue) << c.nom;
    if (!r.retenue) {
        EXPECT_EQ(r.ligne, c.ligne) << "une ligne rejetée reste intacte";
    }
}

INSTANTIATE_TEST_SUITE_P(
    GenresEtRegles, SelectionAppartenance,
    ::testing::Values(
        // Channel : le tag et le nom doivent être cochés tous les deux.
        CasAppartenance{"channel et nom", P + Chan, {"[Commerce]"}, {"Aldric"}, true},
        CasAppartenance{"channel sans nom", P + Chan, {"[Commerce]"}, {"Bob"}, false},
        CasAppartenance{"nom sans channel", P + Chan, {"[Guilde]"}, {"Aldric"}, false},
        CasAppartenance{"la proximité ne vaut pas un channel", P + Chan, {Zone}, {"Aldric"}, false},
        CasAppartenance{"channel qui contient vous appelle",
                        P + "[Commerce] \"Aldric\": il vous appelle",
                        {},
                        {Whisps},
                        false},
        CasAppartenance{"channel qui contient vous appelle, tout coché",
                        P + "[Commerce] \"Aldric\": il vous appelle",
                        {Zone},
                        {Whisps, Vous},
                        false},
        // Tags et noms : comparaison exacte, casse comprise.
        CasAppartenance{"tag d'une autre casse",
                        P + "[COMMERCE] \"Aldric\": x",
                        {"[Commerce]"},
                        {"Aldric"},
                        false},
        CasAppartenance{"tag coché d'une autre casse", P + Chan, {"[COMMERCE]"}, {"Aldric"}, false},
        CasAppartenance{"nom d'une autre casse",
                        P + "[Commerce] \"aldric\": x",
                        {"[Commerce]"},
                        {"Aldric"},
                        false},
        // Noms coupés à « : ».
        CasAppartenance{"nom coupé, coché sous sa forme coupée",
                        P + "[Commerce] \"Al:dric\": x",
                        {"[Commerce]"},
                        {"A"},
                        true},
        CasAppartenance{"nom coupé, coché sous sa forme entière",
                        P + "[Commerce] \"Al:dric\": x",
                        {"[Commerce]"},
                        {"Al:dric", "Al"},
                        false},
        CasAppartenance{"sans deux-points, le nom va jusqu'au bout",
                        P + "[Commerce] \"Aldric\" rejoint le canal",
                        {"[Commerce]"},
                        {"Aldric\" rejoint le can"},
                        true},
        CasAppartenance{"sans deux-points, Aldric seul ne suffit pas",
                        P + "[Commerce] \"Aldric\" rejoint le canal",
                        {"[Commerce]"},
                        {"Aldric"},
                        false},
        CasAppartenance{"deux espaces après le tag",
                        P + "[Commerce]  \"Aldric\": x",
                        {"[Commerce]"},
                        {"\"Aldric"},
                        true},
        CasAppartenance{"deux espaces après le tag, Aldric",
                        P + "[Commerce]  \"Aldric\": x",
                        {"[Commerce]"},
                        {"Aldric"},
                        false},
        // Locuteur vide : texte recueilli trop court.
        CasAppartenance{"locuteur vide",
                        P + "[Commerce] \"\": x",
                        {Zone, "[Commerce]"},
                        {"Aldric", Vous, Whisps},
                        false},
        CasAppartenance{"corps qui s'arrête au tag",
                        P + "[Commerce]",
                        {Zone, "[Commerce]"},
                        {"Aldric", Vous, Whisps},
                        false},
        CasAppartenance{"corps qui s'arrête un caractère après le tag",
                        P + "[Commerce] x",
                        {Zone, "[Commerce]"},
                        {"Aldric", Vous, Whisps, "x"},
                        false},
        CasAppartenance{"deux-points juste après le tag",
                        P + "[Commerce] \":x",
                        {Zone, "[Commerce]"},
                        {"Aldric", Vous, Whisps},
                        false},
        CasAppartenance{"proximité trop courte", P + "{A:", {Zone}, {"A", "Aldric"}, false},
        CasAppartenance{"proximité coupée avant l'accolade",
                        P + "{Al:dric}\":\"x",
                        {Zone},
                        {"A", "Al", "Al:dric"},
                        false},
        CasAppartenance{"channel sans crochet fermant",
                        P + "[Commerce \"Aldric\": x",
                        {"[Commerce]", "[Commerce \"Aldric\": ]"},
                        {"Aldric"},
                        false},
        // Proximité : « Zone de proximité » (le texte, pas la clé) et le nom.
        CasAppartenance{"proximité", P + Prox, {Zone}, {"Aldric"}, true},
        CasAppartenance{"proximité avec d'autres channels",
                        P + Prox,
                        {"[Guilde]", Zone},
                        {"Bob", "Aldric"},
                        true},
        CasAppartenance{"proximité par la clé M0", P + Prox, {"M0"}, {"Aldric"}, false},
        CasAppartenance{"proximité sans la zone", P + Prox, {"[Commerce]"}, {"Aldric"}, false},
        CasAppartenance{"proximité sans le nom", P + Prox, {Zone}, {"Bob"}, false},
        CasAppartenance{"proximité qui contient vous appelle",
                        P + "{Aldric}\":\"vous appelle",
                        {},
                        {Whisps},
                        false},
        // Ses propres paroles : la zone et « Vous ».
        CasAppartenance{"ses paroles", P + "Vous avez dit : oui", {Zone}, {Vous}, true},
        CasAppartenance{
            "ses paroles sans la zone", P + "Vous avez dit : oui", {"[Commerce]"}, {Vous}, false},
        CasAppartenance{
            "ses paroles sans Vous", P + "Vous avez dit : oui", {Zone}, {Whisps, "Aldric"}, false},
        CasAppartenance{"ses paroles qui contiennent vous appelle",
                        P + "Vous avez dit : il vous appelle",
                        {Zone},
                        {Whisps},
                        false},
        CasAppartenance{"vous avez dit en minuscules n'est pas ses paroles",
                        P + "vous avez dit : oui",
                        {Zone},
                        {Vous, Whisps},
                        false},
        CasAppartenance{"Vous avez dit au-delà de la position 23",
                        P + " Vous avez dit : oui",
                        {Zone},
                        {Vous},
                        false},
        // Chuchotements : « vous appelle » en toute casse, seul « Vos Whisps reçus » compte.
        CasAppartenance{"chuchotement", P + "Aldric vous appelle : psst", {}, {Whisps}, true},
        CasAppartenance{
            "chuchotement VOUS APPELLE", P + "Aldric VOUS APPELLE : psst", {}, {Whisps}, true},
        CasAppartenance{
            "chuchotement Vous Appelle", P + "Aldric Vous Appelle : psst", {}, {Whisps}, true},
        CasAppartenance{"chuchotement vOuS aPpElLe en fin de corps",
                        P + "Aldric vOuS aPpElLe",
                        {},
                        {Whisps},
                        true},
        CasAppartenance{"minuscules en tête : chuchotement",
                        P + "vous avez dit que Bob vous appelle",
                        {},
                        {Whisps},
                        true},
        CasAppartenance{"chuchotement sans Whisps",
                        P + "Aldric vous appelle : psst",
                        {Zone, "[Commerce]"},
                        {"Aldric", Vous},
                        false},
        CasAppartenance{
            "vous  appelle avec deux espaces", P + "Aldric vous  appelle", {Zone}, {Whisps}, false},
        CasAppartenance{"vous appel tronqué", P + "Aldric vous appel", {Zone}, {Whisps}, false},
        CasAppartenance{"autre ligne",
                        P + "Aldric a rejoint la partie",
                        {Zone},
                        {Whisps, Vous, "Aldric"},
                        false},
        CasAppartenance{"corps vide", P, {Zone}, {Whisps, Vous}, false},
        CasAppartenance{"vous appelle dans l'en-tête seulement",
                        "12/24/2001vous appellex",
                        {Zone},
                        {Whisps},
                        false},
        CasAppartenance{"ligne courte", "vous appelle", {Zone}, {Whisps}, false}));

// --- Rognage : les espaces seulement, aux deux bouts ---

struct CasRognage {
    std::string ligne;
    bool sansDate;
    std::string attendu;
};

void PrintTo(const CasRognage& c, std::ostream* os) {
    *os << '"' << c.ligne << "\" [date " << c.sansDate << "]";
}

class SelectionRognage : public ::testing::TestWithParam<CasRognage> {};

TEST_P(SelectionRognage, SeulsLesEspacesSontRetires) {
    const auto& c = GetParam();
    const Selection s = Choisir({Zone}, {"Aldric", Whisps});
    const Issue r = Traiter(c.ligne, s, FaireModes(c.sansDate, false, false));
    ASSERT_TRUE(r.retenue);
    EXPECT_EQ(r.ligne, c.attendu);
}

INSTANTIATE_TEST_SUITE_P(
    EspacesEtTabulations, SelectionRognage,
    ::testing::Values(
        CasRognage{P + "{Aldric}\":\"bonjour   ", false, P + "{Aldric}\":\"bonjour"},
        CasRognage{P + "{Aldric}\":\"bonjour\t ", false, P + "{Aldric}\":\"bonjour\t"},
        CasRognage{P + "{Aldric}\":\"bonjour \t", false, P + "{Aldric}\":\"bonjour \t"},
        CasRognage{P + "{Aldric}\":\"bonjour\xA0", false, P + "{Aldric}\":\"bonjour\xA0"},
        CasRognage{P + "  Aldric vous appelle  ", false, P + "  Aldric vous appelle"},
        CasRognage{P + "  Aldric vous appelle  ", true, "Aldric vous appelle"},
        CasRognage{P + "\tAldric vous appelle", true, "\tAldric vous appelle"},
        CasRognage{" " + P.substr(1) + "Aldric vous appelle", false,
                   P.substr(1) + "Aldric vous appelle"}));

TEST(SelectionRognage, LigneRejeteeGardeSesEspaces) {
    const Selection s = Choisir({Zone}, {"Aldric"});
    const std::string ligne = P + "{Bob}\":\"salut   ";
    const Issue r = Traiter(ligne, s, FaireModes(true, true, true));
    EXPECT_FALSE(r.retenue);
    EXPECT_EQ(r.ligne, ligne);
}

// --- Sélection prise dans les arbres : les nœuds cochés, dans l'ordre des arbres ---

class SelectionCapture : public ::testing::Test {
protected:
    test::ArbresCoches arbres;
    Selection selection;

    // Arbres tels qu'une recherche les aurait remplis.
    void Remplir(std::initializer_list<std::string> channels,
                 std::initializer_list<std::string> noms) {
        Catalogue catalogue;
        for (const auto& c : channels)
            catalogue.AjouterChannel(c);
        for (const auto& n : noms)
            catalogue.AjouterNom(n);
        arbres.Remplir(catalogue);
    }
    void Capturer() { selection = arbres.Capturer(); }
    // Les nœuds que la sélection retient, dans l'ordre des arbres.
    std::vector<std::string> Channels() const {
        std::vector<std::string> retenus;
        for (const auto& [texte, coche] : arbres.channels)
            if (selection.ChannelRetenu(texte))
                retenus.push_back(texte);
        return retenus;
    }
    std::vector<std::string> Noms() const {
        std::vector<std::string> retenus;
        for (const auto& [texte, coche] : arbres.noms)
            if (selection.NomRetenu(texte))
                retenus.push_back(texte);
        return retenus;
    }
};

TEST_F(SelectionCapture, TextesCochesDansLOrdreDesNoeuds) {
    Remplir({"[Commerce]", "[Guilde]", "[Aide]"}, {"Zoe", "Aldric", Vous, "Bob"});
    // Cochés dans le désordre : la capture suit l'ordre des nœuds.
    arbres.Cocher(arbres.noms, "Bob");
    arbres.Cocher(arbres.noms, "Zoe");
    arbres.Cocher(arbres.noms, Vous);
    arbres.Cocher(arbres.channels, "[Aide]");
    arbres.Cocher(arbres.channels, "[Commerce]");
    arbres.Cocher(arbres.channels, Zone);
    Capturer();
    EXPECT_EQ(Channels(), (std::vector<std::string>{Zone, "[Commerce]", "[Aide]"}));
    EXPECT_EQ(Noms(), (std::vector<std::string>{"Zoe", Vous, "Bob"}));
    // La zone est enregistrée sous son texte : les lignes de proximité la retrouvent.
    EXPECT_TRUE(selection.ProximiteEtNomRetenus("Zoe"));
    EXPECT_TRUE(Traiter(P + "[Aide] \"Bob\": x", selection).retenue);
    EXPECT_FALSE(Traiter(P + "[Guilde] \"Bob\": x", selection).retenue);
    EXPECT_FALSE(selection.NomRetenu("Aldric"));
}

TEST_F(SelectionCapture, RecaptureApresDecochageOublieLaPremiere) {
    Remplir({"[Commerce]"}, {"Aldric", "Bob", Whisps});
    arbres.ToutCocher(arbres.channels);
    arbres.ToutCocher(arbres.noms);
    Capturer();
    EXPECT_EQ(Channels(), (std::vector<std::string>{Zone, "[Commerce]"}));
    EXPECT_EQ(Noms(), (std::vector<std::string>{"Aldric", "Bob", Whisps}));
    EXPECT_TRUE(Traiter(P + "[Commerce] \"Bob\": x", selection).retenue);

    // Bob et la zone décochés : la nouvelle capture remplace l'ancienne en entier.
    arbres.Cocher(arbres.noms, "Bob", false);
    arbres.Cocher(arbres.channels, Zone, false);
    Capturer();
    EXPECT_EQ(Channels(), (std::vector<std::string>{"[Commerce]"}));
    EXPECT_EQ(Noms(), (std::vector<std::string>{"Aldric", Whisps}));
    EXPECT_FALSE(selection.NomRetenu("Bob"));
    EXPECT_FALSE(Traiter(P + "[Commerce] \"Bob\": x", selection).retenue);
    EXPECT_FALSE(Traiter(P + "{Aldric}\":\"x", selection).retenue);
    EXPECT_TRUE(Traiter(P + "[Commerce] \"Aldric\": x", selection).retenue);
    EXPECT_TRUE(Traiter(P + "Bob vous appelle", selection).retenue);

    // Plus rien de coché : une sélection vide ne retient rien.
    arbres.ToutCocher(arbres.channels, false);
    arbres.ToutCocher(arbres.noms, false);
    Capturer();
    EXPECT_TRUE(Channels().empty());
    EXPECT_TRUE(Noms().empty());
    EXPECT_FALSE(Traiter(P + Chan, selection).retenue);
}

TEST_F(SelectionCapture, CentUnNoeudsDeChannelsTousCoches) {
    Catalogue catalogue;
    for (int i = 1; i <= 100; ++i)
        catalogue.AjouterChannel("[C" + std::to_string(i) + "]");
    catalogue.AjouterNom("Aldric");
    arbres.Remplir(catalogue);
    ASSERT_EQ(arbres.channels.size(), 101u);
    arbres.ToutCocher(arbres.channels);
    arbres.ToutCocher(arbres.noms);
    Capturer();
    ASSERT_EQ(Channels().size(), 101u);
    EXPECT_TRUE(Traiter(P + "[C100] \"Aldric\": x", selection).retenue);
    EXPECT_TRUE(Traiter(P + "[C1] \"Aldric\": x", selection).retenue);
}

TEST_F(SelectionCapture, CinqMilleLocuteursTousCoches) {
    Catalogue catalogue;
    auto nom = [](int i) { return "Joueur" + std::to_string(i); };
    for (int i = 1; i <= 5000; ++i)
        catalogue.AjouterNom(nom(i));
    arbres.Remplir(catalogue);
    ASSERT_EQ(arbres.noms.size(), 5000u);
    arbres.ToutCocher(arbres.noms);
    arbres.Cocher(arbres.channels, Zone);
    Capturer();
    ASSERT_EQ(Noms().size(), 5000u);
    for (int i = 1; i <= 5000; ++i)
        ASSERT_TRUE(Traiter(P + "{" + nom(i) + "}\":\"x", selection).retenue) << nom(i);
    for (const std::string autre : {"Joueur0", "Joueur5001", "joueur1", "Joueur", "Joueur10 "})
        EXPECT_FALSE(selection.NomRetenu(autre)) << autre;
}

} // namespace
} // namespace vek

namespace vek {
namespace {

// Le raccourci des lignes de forme régulière doit toujours donner le texte des remplacements
// un à un : comparaison sur des lignes tirées au hasard, riches en crochets, guillemets,
// accolades et deux-points, pour les huit combinaisons de modes.
TEST(SelectionReecriture, RaccourciIdentiqueALaVoieGenerale) {
    const std::vector<std::string> morceaux = {"[",
                                               "]",
                                               "\"",
                                               "{",
                                               "}",
                                               ":",
                                               " ",
                                               "a",
                                               "Al",
                                               "A",
                                               "x ",
                                               "[C]",
                                               "[c]",
                                               "\"Al\"",
                                               "{Al}\":\"",
                                               "}\":\"",
                                               "\"",
                                               "\":",
                                               "C",
                                               "  ",
                                               "[C] ",
                                               "\"Al\": ",
                                               "Vous avez dit"};
    std::uint32_t graine = 20011224;
    auto tirer = [&](std::size_t n) {
        graine = graine * 1664525u + 1013904223u;
        return static_cast<std::size_t>(graine >> 8) % n;
    };
    const std::string prefixe = "12/24/2001 14:03:27 - ";
    int comparees = 0;
    for (int essai = 0; essai < 40000; ++essai) {
        std::string corps;
        // Un début de forme régulière une fois sur deux, pour exercer le raccourci.
        if (tirer(2) == 0)
            corps = tirer(2) == 0 ? "[C] \"Al\": " : "{Al}\":\"";
        const std::size_t nb = tirer(8);
        for (std::size_t i = 0; i < nb; ++i)
            corps += morceaux[tirer(morceaux.size())];
        const std::string ligne =
            (tirer(10) == 0 ? std::string(" 2/24/2001 14:03:27 - ") : prefixe) + corps;
        std::string tamponTag;
        const Extraction e = AnalyserCorps(CorpsDeLigne(ligne), tamponTag);
        if (e.nom.empty())
            continue; // jamais retenue
        for (int m = 0; m < 8; ++m) {
            const Modes modes = FaireModes(m & 1, m & 2, m & 4);
            TravailReecriture a, b;
            const std::string rapide(Reecrire(ligne, e, modes, a));
            const std::string generale(ReecrireGenerique(ligne, e, modes, b));
            ASSERT_EQ(rapide, generale) << "ligne « " << ligne << " », modes " << m;
            ++comparees;
        }
    }
    EXPECT_GT(comparees, 100000);
}

// Au-delà de 101 channels et de 5000 noms cochés, les suivants sont ignorés.
TEST(SelectionLimites, LesCochesAuDelaDesLimitesSontIgnorees) {
    Selection s;
    for (int i = 0; i < 102; ++i)
        s.AjouterChannel("[C" + std::to_string(i) + "]");
    for (int i = 0; i < 5001; ++i)
        s.AjouterNom("N" + std::to_string(i));
    EXPECT_TRUE(s.ChannelRetenu("[C100]"));
    EXPECT_FALSE(s.ChannelRetenu("[C101]"));
    EXPECT_TRUE(s.NomRetenu("N4999"));
    EXPECT_FALSE(s.NomRetenu("N5000"));
    s.Vider();
    s.AjouterChannel("[C101]");
    EXPECT_TRUE(s.ChannelRetenu("[C101]")); // vidée, la sélection repart de zéro
    EXPECT_FALSE(s.ChannelRetenu("[C0]"));
}

} // namespace
} // namespace vek
