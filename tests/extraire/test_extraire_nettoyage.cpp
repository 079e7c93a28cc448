// vek-extraire et le nettoyage role-play : les erreurs de --renommer, et le journal d'exemple
// nettoyé, où aucun nom du catalogue ni aucun texte hors role-play ne reste dans aucune sortie.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "DossierTemporaire.h"
#include "Extraire.h"

namespace {

namespace fs = std::filesystem;

const std::string Exemple = std::string(VEK_DOSSIER_EXEMPLES) + "/journal-exemple.txt";

struct CasOptions {
    const char* nom;
    std::vector<std::string> options;
    int code;
};

const CasOptions TableOptions[] = {
    {"RenommageValable", {"--renommer", "Aldric=Aldo", "--renommer=Hélène=Aldo"}, 0},
    {"MemeRenommageRepete", {"--renommer", "Aldric=Aldo", "--renommer", "Aldric=Aldo"}, 0},
    {"SansEgal", {"--renommer", "Aldric"}, 2},
    {"AncienVide", {"--renommer", "=Aldo"}, 2},
    {"NouveauVide", {"--renommer", "Aldric= "}, 2},
    {"DeuxFoisRenomme", {"--renommer", "Aldric=Aldo", "--renommer", "Aldric=Alde"}, 2},
    {"HorsWindows1252", {"--renommer", "Aldric=☃"}, 2},
    {"AvecLeCatalogue", {"--catalogue", "--sans-hrp"}, 2},
    {"AnonymiserSansValeur", {"--anonymiser=oui"}, 2},
};

class OptionsNettoyage : public ::testing::TestWithParam<CasOptions> {};

TEST_P(OptionsNettoyage, CodeDeSortie) {
    vek::test::DossierTemporaire dossier;
    std::vector<std::string> args = GetParam().options;
    args.insert(args.end(), {"--tous-channels", "--tout-le-monde", "-q", "--dossier",
                             dossier.Chemin(), Exemple});
    std::ostringstream out, err;
    EXPECT_EQ(vek::ExecuterExtraire(args, out, err), GetParam().code) << err.str();
    if (GetParam().code != 0) {
        EXPECT_NE(err.str().find("--"), std::string::npos) << err.str();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, OptionsNettoyage, ::testing::ValuesIn(TableOptions),
                         [](const ::testing::TestParamInfo<CasOptions>& cas) {
                             return std::string(cas.param.nom);
                         });

TEST(ExempleNettoye, AucunNomDuCatalogueNiTexteHorsRolePlayDansAucuneSortie) {
    vek::test::DossierTemporaire dossier;
    std::ostringstream catalogue, err;
    ASSERT_EQ(vek::ExecuterExtraire({"--catalogue", "-q", "--dossier", dossier.Chemin(), Exemple},
                                    catalogue, err),
              vek::SortieSucces)
        << err.str();
    // Chaque nom du catalogue (sauf les nœuds du joueur), en UTF-8 et en Windows-1252.
    std::vector<std::string> interdits = {"((", "))", "HRP"};
    std::istringstream lignes(catalogue.str());
    for (std::string l; std::getline(lignes, l);) {
        if (!l.starts_with("nom\t") || l.starts_with("nom\t "))
            continue;
        const std::string nom = l.substr(4);
        std::string cp1252;
        ASSERT_TRUE(vek::Utf8VersCp1252(nom, cp1252)) << nom;
        interdits.push_back(nom);
        interdits.push_back(cp1252);
    }
    ASSERT_GT(interdits.size(), 20u);

    for (const char* decoupage : {"", "jour"}) {
        SCOPED_TRACE(decoupage);
        const std::string sortie = dossier.Fichier(std::string("sortie-") + decoupage);
        fs::create_directory(sortie);
        std::vector<std::string> args = {
            "--sans-hrp", "--anonymiser", "--tous-channels", "--tout-le-monde", "-q",
            "--dossier",  sortie};
        for (const char* format : {"texte", "html", "json", "forum", "discord"})
            args.insert(args.end(), {"--format", format});
        if (*decoupage)
            args.insert(args.end(), {"--decouper", decoupage});
        args.push_back(Exemple);
        std::ostringstream out;
        ASSERT_EQ(vek::ExecuterExtraire(args, out, err), vek::SortieSucces) << err.str();
        std::size_t fichiers = 0;
        for (const auto& f : fs::recursive_directory_iterator(sortie)) {
            if (!f.is_regular_file() || f.path().filename() == "LogVEKtemp.txt")
                continue;
            ++fichiers;
            const std::string contenu = vek::test::LireTout(f.path().string());
            for (const std::string& interdit : interdits)
                EXPECT_EQ(contenu.find(interdit), std::string::npos)
                    << interdit << " dans " << f.path();
        }
        EXPECT_GE(fichiers, *decoupage ? 8u : 5u);
    }
}

} // namespace
