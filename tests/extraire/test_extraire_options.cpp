// La table des options de vek-extraire face à la page de manuel, à l'aide et à la lecture des
// arguments : chaque option de la table est décrite, lue et refusée comme la table le dit.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Extraire.h"
#include "Options.h"

namespace {

using vek::test::LireTout;

// Les options qu'un texte de la page de manuel nomme (« \-\-debut » s'y lit « --debut »).
std::set<std::string> OptionsNommees(std::string texte) {
    texte = std::regex_replace(texte, std::regex(R"(\\-)"), "-");
    const std::regex option("(^|[^A-Za-z0-9_-])(--?[a-z][a-z-]*)");
    std::set<std::string> noms;
    for (auto it = std::sregex_iterator(texte.begin(), texte.end(), option);
         it != std::sregex_iterator(); ++it)
        noms.insert((*it)[2].str());
    return noms;
}

std::set<std::string> NomsDeLaTable() {
    std::set<std::string> noms;
    for (const vek::Option& o : vek::TableDesOptions())
        for (const auto nom : vek::NomsDe(o))
            EXPECT_TRUE(noms.emplace(nom).second) << nom << " est deux fois dans la table";
    return noms;
}

// Chaque option de la table a son entrée dans la page de manuel (la ligne qui suit un .TP), et
// la page ne nomme aucune option qui n'existe pas.
TEST(TableDesOptions, LaPageDeManuelDecritChaqueOptionEtAucuneAutre) {
    const std::string manuel = LireTout(VEK_PAGE_MANUEL);
    std::set<std::string> decrites;
    std::istringstream lignes(manuel);
    for (std::string ligne, avant; std::getline(lignes, ligne); avant = ligne)
        if (avant == ".TP")
            decrites.merge(OptionsNommees(ligne));
    const std::set<std::string> table = NomsDeLaTable();
    ASSERT_GT(table.size(), 20u);
    for (const std::string& nom : table)
        EXPECT_TRUE(decrites.count(nom)) << nom << " n'a pas d'entrée dans la page de manuel";
    for (const std::string& nom : OptionsNommees(manuel))
        EXPECT_TRUE(table.count(nom))
            << "la page de manuel nomme " << nom << ", qui n'est pas dans la table";
}

// L'aide montre chaque option en tête d'une ligne, suivie des lignes de son texte.
TEST(TableDesOptions, LAideMontreChaqueOptionAvecSonTexte) {
    const std::string aide = vek::TexteAide();
    for (const vek::Option& o : vek::TableDesOptions()) {
        const std::string tete = "\n  " + std::string(o.noms) +
                                 (o.valeur.empty() ? "" : " " + std::string(o.valeur)) + " ";
        const auto place = aide.find(tete);
        ASSERT_NE(place, std::string::npos) << o.noms;
        ASSERT_FALSE(o.aide.empty()) << o.noms;
        const std::string premiere(o.aide.substr(0, o.aide.find('\n')));
        EXPECT_NE(aide.find(premiere, place), std::string::npos) << o.noms;
    }
}

struct Sortie {
    int code = -1;
    std::string err;
};

Sortie Lancer(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = vek::ExecuterExtraire(std::move(args), out, err);
    return {code, err.str()};
}

std::string Message(const std::string& err) {
    return err.substr(0, err.find('\n'));
}

// Sans valeur ou avec une valeur de trop, chaque option est refusée par son propre message,
// avant tout accès au journal.
TEST(TableDesOptions, ChaqueOptionDitCeQuElleAttend) {
    for (const vek::Option& o : vek::TableDesOptions()) {
        const std::string nom(vek::NomsDe(o).back());
        if (nom == "--help" || nom == "--aide" || nom == "--version")
            continue; // l'aide et la version l'emportent sur les erreurs
        const Sortie s =
            o.valeur.empty() ? Lancer({nom + "=x", "absent.txt"}) : Lancer({"absent.txt", nom});
        EXPECT_EQ(s.code, vek::SortieErreurUsage) << nom;
        EXPECT_EQ(Message(s.err),
                  o.valeur.empty() ? "vek-extraire : l'option " + nom + " ne prend pas de valeur."
                                   : "vek-extraire : l'option " + nom + " attend " +
                                         std::string(o.attendu) + ".");
    }
}

// Une valeur que l'option accepte.
std::string ValeurJuste(const std::string& nom) {
    const std::map<std::string, std::string> valeurs = {{"--format", "html"},
                                                        {"--pause", "5"},
                                                        {"--decouper", "jour"},
                                                        {"--taille-message", "2000"},
                                                        {"--renommer", "A=B"}};
    const auto v = valeurs.find(nom);
    return v == valeurs.end() ? "1" : v->second;
}

// Une option donnée avec une tâche qui n'est pas des siennes est refusée par la phrase de la
// tâche ; avec une des siennes, elle ne l'est pas.
TEST(TableDesOptions, ChaqueOptionNeSeCombineQuAvecSesTaches) {
    using vek::Tache;
    for (const Tache tache : {Tache::Catalogue, Tache::Analyse, Tache::Sessions, Tache::Chercher}) {
        const vek::Option* choix = vek::OptionDeLaTache(tache);
        ASSERT_NE(choix, nullptr);
        const std::string option(vek::NomsDe(*choix).front());
        for (const vek::Option& o : vek::TableDesOptions()) {
            const std::string nom(vek::NomsDe(o).back());
            if (o.choisit || nom == "--help" || nom == "--aide" || nom == "--version")
                continue;
            std::vector<std::string> args = {option};
            if (!choix->valeur.empty())
                args.emplace_back(ValeurJuste(option));
            args.push_back(nom);
            if (!o.valeur.empty())
                args.emplace_back(ValeurJuste(nom));
            if (tache != Tache::Sessions && nom == "--pause")
                args.insert(args.end(), {"--session", "1"});
            args.emplace_back("absent.txt");
            const Sortie s = Lancer(args);
            std::string refus(choix->refus);
            if (const auto place = refus.find("{}"); place != std::string::npos)
                refus.replace(place, 2, nom);
            const bool refusee = Message(s.err) == "vek-extraire : " + refus;
            EXPECT_EQ(refusee, !o.taches.Contient(tache)) << option << " " << nom << "\n" << s.err;
        }
    }
}

// Plusieurs fautes dans une ligne de commande : la première lue l'emporte (dans l'ordre des
// arguments), puis les combinaisons, dans un ordre fixe : plusieurs tâches, une tâche qui ne
// prend presque rien, --session et ses bornes, --pause sans séance, une option que la tâche
// nomme, --decouper sans page web, le nombre de journaux.
TEST(TableDesOptions, LaPremiereFauteLEmporte) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cas = {
        {{"--inconnue", "--format", "pdf", "j.txt", "k.txt"}, "option inconnue « --inconnue »."},
        {{"--format", "pdf", "--inconnue", "j.txt"}, "format inconnu « pdf »"},
        {{"--catalogue", "--analyse", "--nom", "A", "j.txt"}, "ne se combinent pas."},
        {{"--sessions", "--session", "1", "--debut", "24/12/2001", "j.txt"},
         "--sessions ne prend pas d'autre option"},
        {{"--analyse", "--pause", "5", "j.txt"}, "--analyse ne prend pas d'autre option"},
        {{"--catalogue", "--session", "1", "--debut", "24/12/2001", "--nom", "A", "j.txt"},
         "--session donne toute la période"},
        {{"--catalogue", "--pause", "5", "--nom", "A", "j.txt"}, "--pause ne sert qu'avec"},
        {{"--catalogue", "--decouper", "jour", "j.txt", "k.txt"},
         "l'option --decouper ne sert qu'à l'écriture de LogFinal.txt, pas avec --catalogue."},
        {{"--decouper", "jour"}, "--decouper découpe la page web"},
        {{"--decalage", "x.txt=+5", "j.txt", "k.txt"}, "« x.txt » n'est aucun des journaux donnés"},
    };
    for (const auto& [args, attendu] : cas) {
        const Sortie s = Lancer(args);
        EXPECT_EQ(s.code, vek::SortieErreurUsage) << attendu;
        EXPECT_NE(Message(s.err).find(attendu), std::string::npos) << s.err;
    }
}

} // namespace
