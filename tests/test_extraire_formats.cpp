// vek-extraire --format : texte, page web et lignes JSON, seuls ou ensemble en une passe ;
// erreurs d'utilisation ; le journal d'exemple publié ; l'aide et la page de manuel d'accord.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Extraire.h"
#include "Fichiers.h"
#include "LecturePublication.h"

namespace {

namespace fs = std::filesystem;
using vek::test::DossierTemporaire;
using vek::test::LireTout;

struct Resultat {
    int code = -1;
    std::vector<std::string> sorties; // les lignes de la sortie standard
    std::string err;
};

Resultat Lancer(std::vector<std::string> args, const vek::ContexteExtraire& contexte = {}) {
    std::ostringstream out, err;
    Resultat r;
    r.code = vek::ExecuterExtraire(std::move(args), out, err, contexte);
    std::istringstream lignes(out.str());
    for (std::string l; std::getline(lignes, l);)
        r.sorties.push_back(l);
    r.err = err.str();
    return r;
}

class LanceurNote final : public vek::LanceurDocument {
public:
    std::int16_t OuvrirDocument(const std::string& document) override {
        ouverts.push_back(document);
        return 42;
    }
    std::vector<std::string> ouverts;
};

class Formats : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dossier.Chemin().empty());
        journal =
            dossier.Ecrire("journal.txt", "12/24/2001 10:00:00 - [Commerce] \"Aldric\": bonjour\r\n"
                                          "12/24/2001 10:00:01 - {B\xE9reng\xE8re}\":\"salut\r\n");
        sortie = dossier.Fichier("sortie");
        fs::create_directory(sortie);
    }
    std::vector<std::string> Args(std::vector<std::string> options) const {
        options.insert(options.end(),
                       {"--tous-channels", "--tout-le-monde", "--dossier", sortie, "-q", journal});
        return options;
    }
    std::string Chemin(const char* nom) const { return vek::JoindreChemin(sortie, nom); }
    std::set<std::string> Fichiers() const {
        std::set<std::string> noms;
        for (const auto& e : fs::directory_iterator(sortie))
            noms.insert(e.path().filename().string());
        return noms;
    }

    DossierTemporaire dossier;
    std::string journal;
    std::string sortie;
};

TEST_F(Formats, ChaqueFormatDemandeEstEcritEtImprimeDansLOrdre) {
    struct Cas {
        std::vector<std::string> options;
        std::vector<const char*> ecrits;
    };
    const Cas cas[] = {
        {{}, {"LogFinal.txt"}},
        {{"--format", "html"}, {"LogFinal.html"}},
        {{"--format=json", "--format", "texte"}, {"LogFinal.txt", "LogFinal.jsonl"}},
        {{"--format", "html", "--format", "html"}, {"LogFinal.html"}},
        {{"--format", "json", "--format", "html", "--format", "texte"},
         {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl"}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        for (const auto& e : fs::directory_iterator(sortie))
            fs::remove(e.path());
        const Resultat r = Lancer(Args(c.options));
        ASSERT_EQ(r.code, vek::SortieSucces) << r.err;
        std::vector<std::string> attendus;
        std::set<std::string> fichiers{"LogVEKtemp.txt"};
        for (const char* nom : c.ecrits) {
            attendus.push_back(Chemin(nom));
            fichiers.insert(nom);
        }
        EXPECT_EQ(r.sorties, attendus);
        EXPECT_EQ(Fichiers(), fichiers);
    }
}

TEST_F(Formats, FormatsRefuses) {
    struct Cas {
        std::vector<std::string> args;
        const char* message;
    };
    const Cas cas[] = {
        {{"--format", "pdf", journal}, "format inconnu « pdf » pour --format"},
        {{"--format", "HTML", journal}, "format inconnu « HTML »"},
        {{journal, "--format"}, "l'option --format attend un format"},
        {{"--catalogue", "--format", "html", journal}, "--format ne sert qu'à l'écriture"},
        {{"--analyse", "--format", "json", journal}, "--analyse ne prend pas d'autre option"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.message);
        const Resultat r = Lancer(c.args);
        EXPECT_EQ(r.code, vek::SortieErreurUsage);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(Fichiers().empty());
    }
}

TEST_F(Formats, OuvrirOuvreChaqueSortie) {
    LanceurNote lanceur;
    vek::ContexteExtraire contexte;
    contexte.lanceur = &lanceur;
    const Resultat r = Lancer(Args({"--format", "html", "--format", "json", "--ouvrir"}), contexte);
    ASSERT_EQ(r.code, vek::SortieSucces) << r.err;
    EXPECT_EQ(lanceur.ouverts,
              (std::vector<std::string>{Chemin("LogFinal.html"), Chemin("LogFinal.jsonl")}));
}

// Le journal d'exemple, tout coché : la page et les lignes JSON portent les lignes de
// LogFinal.txt, une à une.
TEST_F(Formats, LeJournalDExempleEnPageWebEtEnLignesJson) {
    const Resultat r = Lancer({"--format", "html", "--format", "json", "--format", "texte",
                               "--tous-channels", "--tout-le-monde", "--dossier", sortie, "-q",
                               std::string(VEK_DOSSIER_EXEMPLES) + "/journal-exemple.txt"});
    ASSERT_EQ(r.code, vek::SortieSucces) << r.err;
    const std::string texte = LireTout(Chemin("LogFinal.txt"));
    std::vector<std::string> lignes;
    for (std::size_t debut = 0; debut < texte.size();) {
        const std::size_t fin = texte.find("\r\n", debut);
        lignes.push_back(texte.substr(debut, fin - debut));
        debut = fin + 2;
    }
    lignes = {lignes.begin() + 9, lignes.end() - 11};
    ASSERT_GT(lignes.size(), 100u);

    const vek::test::PageLue page = vek::test::LirePage(LireTout(Chemin("LogFinal.html")));
    ASSERT_EQ(page.erreur, "");
    ASSERT_EQ(page.entrees.size(), lignes.size());
    std::istringstream json(LireTout(Chemin("LogFinal.jsonl")));
    std::size_t k = 0;
    for (std::string ligneJson; std::getline(json, ligneJson); ++k) {
        ASSERT_LT(k, lignes.size());
        EXPECT_EQ(page.entrees[k].texte, vek::test::DecoderCp1252(lignes[k], true));
        std::string erreur;
        const auto objet = vek::test::LireObjetJson(ligneJson, erreur);
        ASSERT_TRUE(objet) << erreur << " : " << ligneJson;
        EXPECT_EQ(objet->at("ligne"), vek::test::DecoderCp1252(lignes[k], false));
    }
    EXPECT_EQ(k, lignes.size());
    EXPECT_GE(page.titres.size(), 2u);
}

// Chaque option longue de l'aide est décrite dans la page de manuel.
TEST(AideEtManuel, MemesOptions) {
    const std::string manuel = LireTout(VEK_PAGE_MANUEL);
    ASSERT_FALSE(manuel.empty());
    const std::string aide = vek::TexteAide();
    const std::regex option("--[a-z][a-z-]*");
    std::set<std::string> options;
    for (auto it = std::sregex_iterator(aide.begin(), aide.end(), option);
         it != std::sregex_iterator(); ++it)
        options.insert(it->str());
    EXPECT_TRUE(options.count("--format"));
    for (const std::string& o : options) {
        std::string echappee;
        for (const char c : o)
            echappee += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(manuel.find(echappee), std::string::npos) << o << " manque au manuel";
    }
    for (const char* valeur : {"texte", "html", "json", "LogFinal.html", "LogFinal.jsonl"}) {
        EXPECT_NE(aide.find(valeur), std::string::npos) << valeur;
        EXPECT_NE(manuel.find(valeur), std::string::npos) << valeur;
    }
}

} // namespace
