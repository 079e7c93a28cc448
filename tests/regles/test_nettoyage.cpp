// Le nettoyage role-play : table des messages hors role-play, renommages en mot entier,
// pseudonymes dans l'ordre de première apparition et absents de toute sortie, et les huit jeux
// de modes inchangés quand le nettoyage n'a rien à faire.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "DossierTemporaire.h"
#include "LecturePublication.h"
#include "Moteur.h"
#include "Nettoyage.h"
#include "OutilsMoteur.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Decouper(const std::string& contenu, std::string_view sep) {
    std::vector<std::string> morceaux;
    for (std::size_t debut = 0, fin; debut < contenu.size(); debut = fin + sep.size()) {
        fin = std::min(contenu.find(sep, debut), contenu.size());
        morceaux.push_back(contenu.substr(debut, fin - debut));
    }
    return morceaux;
}

// Un enregistrement de message de channel, la ligne finissant par le message.
struct EntreeDeTest {
    std::string ligne;
    Enregistrement e;
    explicit EntreeDeTest(std::string_view message, std::string_view nom = "Aldric") {
        ligne =
            "12/24/2001 21:04:05 - [Guilde] \"" + std::string(nom) + "\": " + std::string(message);
        e.genre = GenreEntree::Channel;
        e.channel = "[Guilde]";
        e.nom = std::string_view(ligne).substr(ligne.find('"') + 1, nom.size());
        e.nomMontre = true;
        e.texte = std::string_view(ligne).substr(ligne.size() - message.size());
        e.ligne = ligne;
    }
};

struct CasHrp {
    const char* nom;
    const char* message;
    std::optional<const char*> reste; // rien : la ligne tombe
};

const CasHrp TableHrp[] = {
    {"DoubleParentheseEntiere", "((brb, phone))", std::nullopt},
    {"DeuxPartiesQuiFontToutLeMessage", "((a)) ((b))", std::nullopt},
    {"DeuxPartiesAutourDUnMot", "((a)) et ((b))", "et"},
    {"PartiesAutourDuRolePlay", "((brb)) *Il sourit et s'assoit.* ((phone))",
     "*Il sourit et s'assoit.*"},
    {"PartieFermeeAvantLaFin", "((a)) b))", "b))"},
    {"ImbricationEntiere", "((a (b) c))", std::nullopt},
    {"MarqueApresUnePartie", "((x)) HRP : je reviens", std::nullopt},
    {"MarqueCrochetsApresDeuxParties", "((x)) ((y)) [HRP] lag", std::nullopt},
    {"MarqueHrpDeuxPoints", "HRP : on reprend demain ?", std::nullopt},
    {"MarqueHrpMinuscules", "hrp: lag", std::nullopt},
    {"MarqueCrochets", "[HRP] lag", std::nullopt},
    {"MarqueParenthesesTiret", "(Hrp)- pause", std::nullopt},
    {"MarqueSeule", "HRP", std::nullopt},
    {"HrpDansUnMot", "HRPG est un jeu", "HRPG est un jeu"},
    {"HrpColle", "HRPlag", "HRPlag"},
    {"HrpPlusLoin", "le HRP : non", "le HRP : non"},
    {"PartieAuMilieu", "Salut ((lag)) \xE0 tous", "Salut \xE0 tous"},
    {"PartieSansEspaces", "Salut((lag))\xE0 tous", "Salut\xE0 tous"},
    {"DeuxPartiesDeSuite", "a ((x))  ((y)) b", "a b"},
    {"PartieEnTete", "((fin)) reste", "reste"},
    {"PartieEnFin", "texte ((x))", "texte"},
    {"Imbrication", "Il part ((a (b) c)) vite", "Il part vite"},
    {"ImbricationEnFin", "Il part ((a (b)))", "Il part"},
    {"JamaisFermee", "Bonjour ((jamais ferm\xE9 ) la", "Bonjour"},
    {"DevientVide", "((a)) ((b", std::nullopt},
    {"ParenthesesSimples", "(ceci) reste", "(ceci) reste"},
    {"FermetureSeule", "a )) b", "a )) b"},
};

class Hrp : public ::testing::TestWithParam<CasHrp> {};

TEST_P(Hrp, MessageNettoyeEtLigneRecomposee) {
    const CasHrp& c = GetParam();
    ReglagesNettoyage r;
    r.sansHrp = true;
    const Selection selection;
    const Nettoyeur nettoyeur(r, nullptr, selection);
    EntreeDeTest x(c.message);
    TravailNettoyage t;
    const bool garde = nettoyeur.Nettoyer(x.e, t);
    ASSERT_EQ(garde, c.reste.has_value());
    if (!garde)
        return;
    EXPECT_EQ(x.e.texte, *c.reste);
    EXPECT_EQ(x.e.ligne, "12/24/2001 21:04:05 - [Guilde] \"Aldric\": " + std::string(*c.reste));
    EXPECT_EQ(x.e.hrpRetire, std::string_view(*c.reste) != c.message);
}

INSTANTIATE_TEST_SUITE_P(Table, Hrp, ::testing::ValuesIn(TableHrp),
                         [](const ::testing::TestParamInfo<CasHrp>& cas) {
                             return std::string(cas.param.nom);
                         });

struct CasMention {
    const char* nom;
    const char* message;
    const char* attendu;
};

const CasMention TableMentions[] = {
    {"MotEntier",
     "salut Aldric, \xE7"
     "a va ?",
     "salut Aldo, \xE7"
     "a va ?"},
    {"DansUnMotPlusLong", "Aldricson est l\xE0", "Aldricson est l\xE0"},
    {"VoisinAccentueAvant",
     "\xE9"
     "Aldric",
     "\xE9"
     "Aldric"},
    {"VoisinAccentueApres", "Aldric\xE9", "Aldric\xE9"},
    {"VoisinOe", "Aldric\x9C", "Aldric\x9C"},
    {"ApostropheEtPonctuation", "l'Aldric. (Aldric)", "l'Aldo. (Aldo)"},
    {"ChiffreColle", "Aldric2 et Aldric3", "Aldo et Aldric3"},
    {"NomEnDeuxMots", "vu Sire Brun hier, pas Sire Bruno", "vu Le Brun hier, pas Sire Bruno"},
    {"Debut", "Aldric", "Aldo"},
};

class Renommage : public ::testing::TestWithParam<CasMention> {};

TEST_P(Renommage, MentionsEnMotEntierEtLocuteur) {
    ReglagesNettoyage r;
    r.renommages = {{"Aldric", "Aldo"}, {"Aldric2", "Aldo"}, {"Sire Brun", "Le Brun"}};
    const Selection selection;
    const Nettoyeur nettoyeur(r, nullptr, selection);
    EntreeDeTest x(GetParam().message, "Aldric2");
    TravailNettoyage t;
    ASSERT_TRUE(nettoyeur.Nettoyer(x.e, t));
    EXPECT_EQ(x.e.texte, GetParam().attendu);
    EXPECT_EQ(x.e.nom, "Aldo");
    EXPECT_EQ(x.e.ligne,
              "12/24/2001 21:04:05 - [Guilde] \"Aldo\": " + std::string(GetParam().attendu));
    EXPECT_FALSE(x.e.hrpRetire);
}

INSTANTIATE_TEST_SUITE_P(Table, Renommage, ::testing::ValuesIn(TableMentions),
                         [](const ::testing::TestParamInfo<CasMention>& cas) {
                             return std::string(cas.param.nom);
                         });

TEST(Renommage, DeuxAnciensNomsNeFontQuUnePersonneMontree) {
    Selection selection;
    for (const char* nom : {"Aldric", "Aldric2", "Brune"})
        selection.AjouterNom(nom);
    ReglagesNettoyage r;
    r.renommages = {{"Aldric", "Aldo"}, {"Aldric2", "Aldo"}};
    const Nettoyeur nettoyeur(r, nullptr, selection);
    const Selection& montree = nettoyeur.SelectionMontree();
    ASSERT_EQ(montree.NombreNoms(), 2u);
    EXPECT_EQ(montree.Nom(0), "Aldo");
    EXPECT_EQ(montree.Nom(1), "Brune");
}

// Une passe entière : l'ordre des pseudonymes, les noms gardés, aucun vrai nom nulle part.
const std::string JournalRolePlay =
    "12/24/2001 21:00:01 - [Guilde] \"Brune\": salut Aldric\r\n"
    "12/24/2001 21:00:02 - {Aldric}\":\"bonjour Brune et C\xE9lio ((lag))\r\n"
    "12/24/2001 21:00:03 - [Commerce] \"C\xE9lio\": ((hrp)) vends \xE9p\xE9"
    "e\r\n"
    "12/24/2001 21:00:04 - [Commerce] \"C\xE9lio\": HRP : je reviens\r\n"
    "12/24/2001 21:00:05 - Vous avez dit : coucou Brune\r\n"
    "12/24/2001 21:00:06 - Zorg vous appelle : psst Aldric\r\n"
    "12/24/2001 21:00:07 - [Guilde] \"Sosie\": je suis Sosie, pas Brune\r\n"
    "12/25/2001 10:00:00 - [Guilde] \"Brune\": le lendemain\r\n";

class PasseNettoyee : public ::testing::Test {
protected:
    test::DossierTemporaire dossier;
    Moteur module{test::Reglages(dossier.Chemin())};
    test::ReglagesEcriture ecriture;
    test::ProgressionNotee progression;
    test::ArbresCoches arbres;
    std::shared_ptr<const Catalogue> catalogue;
    const FormatsSortie tous = FormatsSortie::De({"texte", "html", "json", "forum", "discord"});

    void Preparer(const std::string& journal) {
        const auto r = test::Chercher(module, dossier.Ecrire("journal.txt", journal),
                                      {2001, 12, 24}, {2001, 12, 25}, progression);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
        catalogue = r->catalogue;
        arbres.Remplir(*r->catalogue);
        arbres.ToutCocher(arbres.channels);
        arbres.ToutCocher(arbres.noms);
    }
    void Ecrire(Modes modes = {}) {
        const ModesPartages partages(modes);
        const auto r =
            test::Ecrire(module, arbres.Capturer(), partages, tous, progression, {}, ecriture);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
    }
    // Tous les fichiers du dossier de sortie, dossier découpé compris, sauf le journal et
    // l'extrait (qui ne sont pas des sorties).
    std::vector<std::pair<std::string, std::string>> Sorties() const {
        std::vector<std::pair<std::string, std::string>> s;
        for (const auto& f : fs::recursive_directory_iterator(dossier.Chemin())) {
            const std::string nom = f.path().filename().string();
            if (f.is_regular_file() && nom != "journal.txt" && nom != NomExtrait)
                s.emplace_back(f.path().string(), test::LireTout(f.path().string()));
        }
        return s;
    }
};

TEST_F(PasseNettoyee, PseudonymesDansLOrdreDePremiereApparitionEtAucunVraiNom) {
    ASSERT_NO_FATAL_FAILURE(Preparer(JournalRolePlay));
    ecriture.nettoyage.sansHrp = true;
    ecriture.nettoyage.anonymiser = true;
    ecriture.nettoyage.renommages = {{"Sosie", "H\xE9ros"}};
    ASSERT_NO_FATAL_FAILURE(Ecrire());
    ecriture.decoupage = Decoupage::Jour;
    ASSERT_NO_FATAL_FAILURE(Ecrire());

    std::vector<std::string> noms, textes;
    for (const auto& l : Decouper(test::LireTout(dossier.Fichier("LogFinal.jsonl")), "\n")) {
        const auto objet = test::LireObjetJson(l);
        ASSERT_TRUE(objet) << l;
        noms.push_back(objet->at("nom").value_or(""));
        textes.push_back(objet->at("texte").value_or(""));
    }
    EXPECT_EQ(noms, (std::vector<std::string>{"Personne 1", "Personne 2", "Personne 3", "Vous",
                                              "Zorg", "Héros", "Personne 1"}));
    EXPECT_EQ(textes,
              (std::vector<std::string>{"salut Personne 2", "bonjour Personne 1 et Personne 3",
                                        "vends épée", "coucou Personne 1", "psst Personne 2",
                                        "je suis Héros, pas Personne 1", "le lendemain"}));
    EXPECT_NE(test::LireTout(dossier.Fichier("LogFinal.txt"))
                  .find("[Commerce] \"Personne 3\": vends \xE9p\xE9"
                        "e\r\n"),
              std::string::npos);

    // Chaque nom du catalogue (hors les nœuds du joueur), en Windows-1252 comme en UTF-8, dans
    // chaque fichier de chaque format ; et aucun texte hors role-play.
    std::vector<std::string> interdits = {"((", "))", "lag", "HRP", "je reviens"};
    for (std::size_t i = 0; i < catalogue->NombreNoms(); ++i) {
        const std::string nom(catalogue->Nom(i));
        if (nom == NomWhisps || nom == NomVous)
            continue;
        interdits.push_back(nom);
        interdits.push_back(test::DecoderCp1252(nom, false));
    }
    const auto sorties = Sorties();
    ASSERT_GE(sorties.size(), 8u); // cinq fichiers, le sommaire et deux jours
    for (const auto& [chemin, contenu] : sorties)
        for (const std::string& interdit : interdits)
            EXPECT_EQ(contenu.find(interdit), std::string::npos) << interdit << " dans " << chemin;
    EXPECT_NE(test::LireTout(dossier.Fichier("LogFinal.jsonl")).find("\"hrp_retire\":true"),
              std::string::npos);
}

// Le journal des sorties hostiles de la page et des formats, sans rien de hors role-play.
const std::string JournalOrdinaire =
    "12/24/2001 21:00:01 - [Guilde] \"Brune\": <b>x</b> [b]y[/b] **z** @everyone (a) b)\r\n"
    "12/24/2001 21:00:02 - {Aldric}\":\"\"Brune\" hRPg  \r\n"
    "12/24/2001 21:00:03 - Vous avez dit : [Guilde] \"Aldric\"\r\n"
    "12/24/2001 21:00:04 - Zorg vous appelle : psst\r\n"
    "12/24/2001 21:00:05 - Le h\xE9raut VOUS APPELLE sur la place\r\n"
    "12/24/2001 21:00:06 - [Guilde] \"Brune\":\"Brune\" [Guilde]\r\n"
    "12/25/2001 - sans heure\r\n";

TEST_F(PasseNettoyee, RienANettoyerLaisseChaqueSortieIdentiqueDansLesHuitJeuxDeModes) {
    ASSERT_NO_FATAL_FAILURE(Preparer(JournalOrdinaire));
    for (int bits = 0; bits < 8; ++bits) {
        SCOPED_TRACE("modes " + std::to_string(bits));
        const Modes modes{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        ecriture.nettoyage = {};
        ASSERT_NO_FATAL_FAILURE(Ecrire(modes));
        const auto eteint = Sorties();
        ecriture.nettoyage.sansHrp = true;
        ecriture.nettoyage.renommages = {{"Absent", "Autre"}};
        ASSERT_NO_FATAL_FAILURE(Ecrire(modes));
        const auto allume = Sorties();
        ASSERT_EQ(allume.size(), eteint.size());
        for (std::size_t k = 0; k < eteint.size(); ++k)
            EXPECT_EQ(allume[k], eteint[k]) << eteint[k].first;
    }
}

} // namespace
} // namespace vek
