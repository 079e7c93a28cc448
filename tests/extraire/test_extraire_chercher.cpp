// vek-extraire --chercher et --filtre : la ligne lue sur un terminal (mots en gras) et dans un
// tube, les objets JSON (chaque champ, le numéro de la ligne dans son journal, la séance de
// --sessions), plusieurs journaux, les codes de sortie, les requêtes hostiles ; --filtre sur
// chaque format.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Extraire.h"
#include "Fichiers.h"
#include "LecturePublication.h"

namespace {

using vek::test::DecoderCp1252;
using vek::test::DossierTemporaire;
using vek::test::LireObjetJson;
using vek::test::LireTout;

struct Sortie {
    int code = -1;
    std::string out, err;
};

Sortie Lancer(std::vector<std::string> args, bool terminal = false, bool gras = false) {
    vek::ContexteExtraire contexte;
    contexte.sortieEstTerminal = terminal;
    contexte.grasSurLaSortie = gras;
    std::ostringstream out, err;
    Sortie s;
    s.code = vek::ExecuterExtraire(std::move(args), out, err, contexte);
    s.out = out.str();
    s.err = err.str();
    return s;
}

std::vector<std::string> Lignes(const std::string& texte, const std::string& fin = "\n") {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0, f; (f = texte.find(fin, debut)) != std::string::npos;
         debut = f + fin.size())
        lignes.push_back(texte.substr(debut, f - debut));
    return lignes;
}

// Aucun caractère de contrôle, sinon la fin de ligne (UTF-8 : ni C0, ni DEL, ni C1).
bool SansControle(const std::string& texte) {
    for (std::size_t i = 0; i < texte.size(); ++i) {
        const auto c = static_cast<unsigned char>(texte[i]);
        if ((c < 0x20 && c != '\n') || c == 0x7F ||
            (c == 0xC2 && i + 1 < texte.size() && static_cast<unsigned char>(texte[i + 1]) < 0xA0))
            return false;
    }
    return true;
}

// Trois séances ; « mariee » est aux lignes 1, 4 et 5 (pas dans un nom, pas au milieu d'un mot).
// La ligne 5 porte un ESC : il ne doit jamais commander le terminal.
const char* const Journal = "12/24/2001 21:00:00 - [Guilde] \"Aldric\": la mari\xE9"
                            "e arrive\r\n"
                            "12/24/2001 21:05:00 - {Brune}\":\"bonjour \xE0 tous\r\n"
                            "--- Nouvelle session ---\r\n"
                            "12/24/2001 23:50:00 - Vous avez dit : MARI\xC9"
                            "E ou pas ?\r\n"
                            "12/25/2001 00:10:00 - Brune vous appelle : la mari\xE9"
                            "e\x1b[2J est l\xE0\r\n"
                            "12/25/2001 02:00:00 - [Commerce] \"Mariee\": rien \xE0 vendre\r\n"
                            "12/25/2001 02:05:00 - {C\x9Clio}\":\"un d\xE9mariage\r\n";

class Chercher : public ::testing::Test {
protected:
    void SetUp() override { journal = dossier.Ecrire("journal.txt", Journal); }
    DossierTemporaire dossier;
    std::string journal;
};

const std::string Resume = "\n"
                           "Séance 1 — 24/12/2001 21:00 → 21:05 : 1 résultat\n"
                           "Séance 2 — 24/12/2001 23:50 → 25/12/2001 00:10 : 2 résultats\n";

TEST_F(Chercher, SurUnTerminalLesMotsEnGrasEtLesControlesVisibles) {
    const Sortie s = Lancer({"--chercher", "mariee", journal}, true, true);
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_EQ(s.out, "24/12/2001 21:00:00  [Guilde] Aldric : la \x1b[1mmariée\x1b[22m arrive  "
                     "— séance 1\n"
                     "24/12/2001 23:50:00  Vous : \x1b[1mMARIÉE\x1b[22m ou pas ?  — séance 2\n"
                     "25/12/2001 00:10:00  Brune (murmure) : la \x1b[1mmariée\x1b[22m␛[2J est "
                     "là  — séance 2\n" +
                         Resume);
    EXPECT_EQ(s.err, "");
}

TEST_F(Chercher, DansUnTubeLesMemesLignesSansGras) {
    const Sortie s = Lancer({"--chercher", "mariee", journal});
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_EQ(s.out, "24/12/2001 21:00:00  [Guilde] Aldric : la mariée arrive  — séance 1\n"
                     "24/12/2001 23:50:00  Vous : MARIÉE ou pas ?  — séance 2\n"
                     "25/12/2001 00:10:00  Brune (murmure) : la mariée\\x1B[2J est là  — "
                     "séance 2\n" +
                         Resume);
    // Un terminal qui ne connaît pas le gras : les symboles, sans échappement.
    const Sortie t = Lancer({"--chercher", "mariee", journal}, true, false);
    EXPECT_TRUE(SansControle(t.out)) << t.out;
}

TEST_F(Chercher, EnJsonChaqueChampLeNumeroDeLaLigneEtLaSeanceDeSessions) {
    const Sortie s = Lancer({"--chercher", "mariee", "--json", journal}, true, true);
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_TRUE(SansControle(s.out)) << s.out; // ni gras, ni ESC du journal
    const auto objets = Lignes(s.out);
    ASSERT_EQ(objets.size(), 3u) << s.out;
    const auto journalLu = Lignes(Journal, "\r\n");
    // Les séances de --sessions : la deuxième va de 23:50 à 00:10.
    const auto seances = Lignes(Lancer({"--sessions", journal}).out);
    ASSERT_EQ(seances.size(), 3u);
    EXPECT_TRUE(seances[1].starts_with("2\t24/12/2001 23:50:00\t25/12/2001 00:10:00\t2"));
    const std::vector<std::string> numeros = {"1", "4", "5"}, seancesAttendues = {"1", "2", "2"};
    for (std::size_t i = 0; i < objets.size(); ++i) {
        const auto o = LireObjetJson(objets[i]);
        ASSERT_TRUE(o) << objets[i];
        EXPECT_EQ(o->at("numero"), numeros[i]);
        EXPECT_EQ(o->at("seance"), seancesAttendues[i]);
        const std::size_t numero = std::stoul(*o->at("numero"));
        EXPECT_EQ(o->at("ligne"), DecoderCp1252(journalLu.at(numero - 1), false));
        EXPECT_EQ(o->count("source"), 0u); // un seul journal
    }
    const auto dernier = *LireObjetJson(objets[2]);
    const vek::test::ObjetJson attendu = {
        {"date", "2001-12-25"},
        {"heure", "00:10:00"},
        {"genre", "murmure"},
        {"channel", std::nullopt},
        {"nom", "Brune"},
        {"texte", "la mariée\x1b[2J est là"},
        {"ligne", "12/25/2001 00:10:00 - Brune vous appelle : la mariée\x1b[2J est là"},
        {"numero", "5"},
        {"seance", "2"}};
    EXPECT_EQ(dernier, attendu);
    EXPECT_EQ(LireObjetJson(objets[0])->at("channel"), "[Guilde]");
}

// Plusieurs journaux : la fusion, chaque ligne avec le journal d'où elle vient et son numéro
// dans ce journal (le murmure que Brune a reçu est laissé de côté, mais compte dans ses lignes).
TEST_F(Chercher, PlusieursJournauxDisentLeurSourceEtLeurNumero) {
    const std::string brune =
        dossier.Ecrire("brune.txt", "12/24/2001 22:00:00 - [Guilde] \"Aldric\": la mari\xE9"
                                    "e arrive\r\n"
                                    "12/24/2001 22:00:10 - Aldric vous appelle : la mari\xE9"
                                    "e, chut\r\n"
                                    "12/24/2001 22:04:59 - Vous avez dit : bonjour \xE0 tous\r\n"
                                    "12/24/2001 22:06:00 - Vous avez dit : vive la mari\xE9"
                                    "e\r\n");
    const std::vector<std::string> options = {
        "--chercher", "mariee",          "--decalage", "brune.txt=+1:00:00",
        "--joueur",   "brune.txt=Brune", "-q"};
    std::vector<std::string> args = options;
    args.insert(args.end(), {"--json", journal, brune});
    const Sortie s = Lancer(args);
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    const auto objets = Lignes(s.out);
    ASSERT_EQ(objets.size(), 4u) << s.out;
    const std::vector<std::pair<std::string, std::string>> attendus = {
        {"journal.txt", "1"}, {"brune.txt", "4"}, {"journal.txt", "4"}, {"journal.txt", "5"}};
    for (std::size_t i = 0; i < objets.size(); ++i) {
        const auto o = LireObjetJson(objets[i]);
        ASSERT_TRUE(o) << objets[i];
        EXPECT_EQ(o->at("source"), attendus[i].first);
        EXPECT_EQ(o->at("numero"), attendus[i].second);
    }
    // La parole de Brune, sur l'horloge de la référence, écrite comme les autres l'écrivent.
    EXPECT_EQ(LireObjetJson(objets[1])->at("ligne"),
              "12/24/2001 21:06:00 - {Brune}\":\"vive la mariée");
    args = options;
    args.insert(args.end(), {journal, brune});
    EXPECT_EQ(Lignes(Lancer(args).out).at(1),
              "24/12/2001 21:06:00  Brune : vive la mariée  — séance 1, brune.txt");
}

// Les codes de sortie : 0 trouvé, 3 rien trouvé (dit, sauf avec -q), 2 une requête ou une
// option incorrecte, 1 un journal illisible. La période et la séance restreignent la recherche,
// les séances gardent leurs numéros de tout le journal.
TEST_F(Chercher, CodesDeSortieEtPeriode) {
    struct Cas {
        std::vector<std::string> options;
        int code;
        std::string sortie, erreur; // des parties attendues
        bool absent = false;        // le journal n'existe pas
    };
    const std::vector<Cas> cas = {
        {{"mariee"}, 0, "— séance 1", ""},
        {{"licorne"}, 3, "", "vek-extraire : aucune ligne ne correspond à la requête.\n"},
        {{"licorne", "-q"}, 3, "", ""},
        {{"mariee", "--debut", "25/12/2001"}, 0, "00:10:00", ""},
        {{"mariee", "--fin", "24/12/2001 23:00"}, 0, "Séance 1 —", ""},
        {{"mariee", "--debut", "25/12/2001 01:00"}, 3, "", "aucune ligne"},
        {{"vendre de:mariee", "--session", "3"}, 0, "— séance 3", ""},
        {{"mariee", "--session", "3"}, 3, "", "aucune ligne"},
        {{"mariee", "--pause", "10"}, 0, "— séance 3\n", ""},
        {{"mariee", "--format", "html"}, 2, "", "l'option --format ne sert pas avec --chercher."},
        {{"mariee", "--chercher", "dragon"}, 2, "", "--chercher n'est donné qu'une fois"},
        {{"mariee", "--catalogue"}, 2, "", "ne se combinent pas"},
        {{"mariee"}, 1, "", "absent.txt", true},
    };
    for (const Cas& c : cas) {
        std::vector<std::string> args = {"--chercher"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(c.absent ? dossier.Fichier("absent.txt") : journal);
        const Sortie s = Lancer(args);
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(s.code, c.code) << s.err;
        EXPECT_NE(s.out.find(c.sortie), std::string::npos) << s.out;
        EXPECT_NE(s.err.find(c.erreur), std::string::npos) << s.err;
        if (c.erreur.empty()) {
            EXPECT_EQ(s.err, "");
        }
    }
    EXPECT_NE(Lancer({"--json", journal})
                  .err.find("l'option --json ne sert pas à l'écriture de LogFinal.txt."),
              std::string::npos);
}

// Des requêtes hostiles : refusées avec un message court et sans contrôle (code 2), ou
// cherchées ; jamais un octet de contrôle sur la sortie ni sur l'erreur.
TEST_F(Chercher, RequetesHostiles) {
    const std::vector<std::pair<std::string, int>> cas = {
        {"\"", 2},
        {"-", 2},
        {"", 2},
        {"\x1b]0;PWNED\x07\"", 2},
        {"\x1b", 2},
        {"mari\xC3\xA9"
         "e\x07",
         0},
        {std::string(10000, 'a'), 3},
        {std::string(9999, 'a') + "\"", 2},
        {"-\"" + std::string(10000, 'x'), 2},
        {"de:\x7f", 2},
        {"\xF0\x9F\x90\x89", 2}, // un dragon, absent de Windows-1252
        {"\xFF", 2},
    };
    for (const auto& [requete, code] : cas) {
        const Sortie s = Lancer({"--chercher", requete, journal}, true, true);
        SCOPED_TRACE(requete.substr(0, 20));
        EXPECT_EQ(s.code, code) << s.err;
        EXPECT_TRUE(SansControle(s.err)) << s.err;
        EXPECT_LT(s.err.size(), 400u) << s.err;
        if (code == vek::SortieErreurUsage) {
            EXPECT_TRUE(s.err.starts_with("vek-extraire : requête incorrecte pour --chercher : "))
                << s.err;
        }
    }
}

// --filtre : dans chaque format, seules les lignes retenues qui correspondent ; avec tout coché
// sur tout le journal, exactement les lignes que --chercher trouve, quels que soient les modes.
TEST(Filtre, ChaqueFormatNeGardeQueLesLignesQuiCorrespondent) {
    DossierTemporaire dossier;
    const std::string exemple = std::string(VEK_DOSSIER_EXEMPLES) + "/journal-exemple.txt";
    const Sortie trouvees = Lancer({"--chercher", "ch\xC3\xA2teau -mage", "--json", exemple});
    ASSERT_EQ(trouvees.code, vek::SortieSucces);
    std::vector<std::string> attendues;
    for (const std::string& l : Lignes(trouvees.out))
        attendues.push_back(*LireObjetJson(l)->at("ligne"));
    ASSERT_GT(attendues.size(), 5u);
    for (const bool sansDate : {false, true}) {
        SCOPED_TRACE(sansDate ? "--sans-date" : "");
        const std::string sortie = dossier.Fichier(sansDate ? "b" : "a");
        std::filesystem::create_directory(sortie);
        std::vector<std::string> args = {"--filtre",
                                         "ch\xC3\xA2teau -mage",
                                         "--tous-channels",
                                         "--tout-le-monde",
                                         "-q",
                                         "--dossier",
                                         sortie};
        for (const char* f : {"texte", "html", "json", "forum", "discord"})
            args.insert(args.end(), {"--format", f});
        if (sansDate)
            args.push_back("--sans-date");
        args.push_back(exemple);
        ASSERT_EQ(Lancer(args).code, vek::SortieSucces);
        const auto fichier = [&](const char* nom) {
            return LireTout(vek::JoindreChemin(sortie, nom));
        };
        auto texte = Lignes(fichier("LogFinal.txt"), "\r\n");
        ASSERT_GT(texte.size(), 20u);
        texte = {texte.begin() + 9, texte.end() - 11};
        ASSERT_EQ(texte.size(), attendues.size());
        for (std::size_t i = 0; i < texte.size(); ++i)
            EXPECT_TRUE(attendues[i].ends_with(DecoderCp1252(texte[i], false))) << texte[i];
        const auto json = Lignes(fichier("LogFinal.jsonl"));
        ASSERT_EQ(json.size(), attendues.size());
        EXPECT_EQ(vek::test::LirePage(fichier("LogFinal.html")).entrees.size(), attendues.size());
        // Le forum et Discord : le mot autant de fois que dans le journal final ; jamais l'œuvre
        // du mage, écartée.
        const auto compter = [](const std::string& t, const std::string& mot) {
            std::size_t n = 0;
            for (std::size_t p = t.find(mot); p != std::string::npos; p = t.find(mot, p + 1))
                ++n;
            return n;
        };
        const std::size_t fois = compter(fichier("LogFinal.txt"), "ch\xE2teau");
        EXPECT_EQ(compter(fichier("LogFinal-forum.txt"), "ch\xC3\xA2teau"), fois);
        EXPECT_EQ(compter(fichier("LogFinal-discord.txt"), "ch\xC3\xA2teau"), fois);
        for (const char* nom : {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl",
                                "LogFinal-forum.txt", "LogFinal-discord.txt"})
            EXPECT_EQ(compter(fichier(nom), "du mage"), 0u) << nom;
    }
}

} // namespace
