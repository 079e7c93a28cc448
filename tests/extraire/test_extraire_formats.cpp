// vek-extraire --format : seuls ou ensemble en une passe, sur le journal d'exemple ; formats
// refusés ; l'aide et la page de manuel d'accord.

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
#include "Formats.h"
#include "LanceurEspion.h"
#include "LecturePublication.h"

namespace {

namespace fs = std::filesystem;
using vek::test::LireTout;

TEST(Formats, ChaqueFormatDemandeEstEcritImprimeEtOuvertDansLOrdre) {
    vek::test::DossierTemporaire dossier;
    const std::string journal = std::string(VEK_DOSSIER_EXEMPLES) + "/journal-exemple.txt";
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cas = {
        {{}, {"LogFinal.txt"}},
        {{"--format", "html"}, {"LogFinal.html"}},
        {{"--format=json", "--format", "texte"}, {"LogFinal.txt", "LogFinal.jsonl"}},
        {{"--format", "html", "--format", "html"}, {"LogFinal.html"}},
        {{"--format", "json", "--format", "html", "--format", "texte"},
         {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl"}},
        {{"--format", "forum", "--format", "discord"},
         {"LogFinal-forum.txt", "LogFinal-discord.txt"}},
        {{"--format", "discord", "--taille-message", "4000", "--format", "json", "--format", "html",
          "--format", "texte", "--format", "forum"},
         {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl", "LogFinal-forum.txt",
          "LogFinal-discord.txt"}},
    };
    int n = 0;
    for (const auto& [options, ecrits] : cas) {
        SCOPED_TRACE(::testing::PrintToString(options));
        const std::string sortie = dossier.Fichier("sortie" + std::to_string(++n));
        fs::create_directory(sortie);
        std::vector<std::string> args = options;
        args.insert(args.end(), {"--tous-channels", "--tout-le-monde", "--ouvrir", "--dossier",
                                 sortie, "-q", journal});
        vek::test::LanceurEspion lanceur;
        vek::ContexteExtraire contexte;
        contexte.lanceur = &lanceur;
        std::ostringstream out, err;
        ASSERT_EQ(vek::ExecuterExtraire(args, out, err, contexte), vek::SortieSucces) << err.str();
        std::string attendu;
        std::set<std::string> fichiers{"LogVEKtemp.txt"};
        for (const std::string& nom : ecrits) {
            attendu += vek::JoindreChemin(sortie, nom) + "\n";
            fichiers.insert(nom);
        }
        EXPECT_EQ(out.str(), attendu);
        EXPECT_EQ(lanceur.ouverts.size(), ecrits.size());
        std::set<std::string> vus;
        for (const auto& e : fs::directory_iterator(sortie))
            vus.insert(e.path().filename().string());
        EXPECT_EQ(vus, fichiers);
        if (ecrits.size() < 3)
            continue;
        // Ensemble : la page et les lignes JSON portent les lignes de LogFinal.txt, la page les
        // montre « Nom : texte », sans la ponctuation du journal.
        std::vector<std::string> lignes;
        std::istringstream texte(LireTout(vek::JoindreChemin(sortie, "LogFinal.txt")));
        for (std::string l; std::getline(texte, l);)
            lignes.push_back(vek::test::DecoderCp1252(l.substr(0, l.size() - 1), true));
        lignes = {lignes.begin() + 9, lignes.end() - 11};
        const auto page =
            vek::test::LirePage(LireTout(vek::JoindreChemin(sortie, "LogFinal.html")));
        ASSERT_EQ(page.erreur, "");
        ASSERT_EQ(page.entrees.size(), lignes.size());
        std::istringstream json(LireTout(vek::JoindreChemin(sortie, "LogFinal.jsonl")));
        std::size_t k = 0;
        for (std::string l; std::getline(json, l); ++k) {
            ASSERT_LT(k, lignes.size());
            const auto objet = vek::test::LireObjetJson(l);
            ASSERT_TRUE(objet) << l;
            EXPECT_EQ(objet->at("ligne"), lignes[k]); // l'exemple n'a pas de contrôle
            const std::string& vu = page.entrees[k].texte;
            EXPECT_TRUE(vu.starts_with(objet->at("heure").value_or("?")) &&
                        vu.ends_with(objet->at("texte").value_or("?")))
                << vu;
            for (const char* ponctuation : {"\":", "}\":\""})
                EXPECT_EQ(vu.find(ponctuation), std::string::npos) << vu;
        }
        EXPECT_EQ(k, lignes.size());
    }
}

// Découpée, la page devient le dossier LogFinal : son sommaire est imprimé et ouvert ; sans
// découpage, une page trop longue est écrite, avec le conseil de la découper.
TEST(Formats, PageDecoupeeEtConseilPourUnePageTropLongue) {
    vek::test::DossierTemporaire dossier;
    vek::test::LanceurEspion lanceur;
    vek::ContexteExtraire contexte;
    contexte.lanceur = &lanceur;
    const std::string journal = std::string(VEK_DOSSIER_EXEMPLES) + "/journal-exemple.txt";
    std::ostringstream out, err;
    ASSERT_EQ(vek::ExecuterExtraire({"--format", "html", "--decouper", "mois", "--tous-channels",
                                     "--tout-le-monde", "--ouvrir", "--dossier", dossier.Chemin(),
                                     "-q", journal},
                                    out, err, contexte),
              vek::SortieSucces)
        << err.str();
    const std::string sommaire =
        vek::JoindreChemin(vek::JoindreChemin(dossier.Chemin(), "LogFinal"), "index.html");
    EXPECT_EQ(out.str(), sommaire + "\n");
    EXPECT_EQ(lanceur.ouverts, std::vector<std::string>{sommaire});
    EXPECT_TRUE(fs::exists(dossier.Fichier("LogFinal/2001-12.html")));
    EXPECT_FALSE(fs::exists(dossier.Fichier("LogFinal.html")));
    EXPECT_EQ(err.str().find("--decouper"), std::string::npos);

    // 50 001 entrées sur une seule page.
    std::string grand = "*** Journal ***\r\n";
    for (int i = 0; i < 50001; ++i)
        grand += "12/24/2001 10:00:00 - [Commerce] \"Aldric\": message\r\n";
    const std::string chemin = dossier.Ecrire("grand.txt", grand);
    for (const bool decoupee : {false, true}) {
        std::ostringstream out2, err2;
        std::vector<std::string> args = {
            "--format", "html",       "--tous-channels", "--tout-le-monde", "--debut", "24/12/2001",
            "--fin",    "24/12/2001", "--dossier",       dossier.Chemin(),  "-q",      chemin};
        if (decoupee)
            args.insert(args.begin(), {"--decouper", "jour"});
        ASSERT_EQ(vek::ExecuterExtraire(args, out2, err2), vek::SortieSucces) << err2.str();
        EXPECT_EQ(err2.str().find("50001 entrées") != std::string::npos, !decoupee) << err2.str();
        EXPECT_EQ(err2.str().find("--decouper jour") != std::string::npos, !decoupee);
    }
    EXPECT_TRUE(fs::exists(dossier.Fichier("LogFinal.html")));
    EXPECT_TRUE(fs::exists(dossier.Fichier("LogFinal/2001-12-24-11.html")));
}

TEST(Formats, FormatsRefuses) {
    const std::pair<std::vector<std::string>, const char*> cas[] = {
        {{"--format", "pdf", "j.txt"}, "format inconnu « pdf » pour --format"},
        {{"--format", "HTML", "j.txt"}, "format inconnu « HTML »"},
        {{"j.txt", "--format"}, "l'option --format attend un format"},
        {{"--format", "bbcode", "j.txt"}, "(texte, html, json, forum ou discord)"},
        {{"--taille-message", "99", "j.txt"}, "n'est pas une taille pour --taille-message"},
        {{"--taille-message", "2k", "j.txt"}, "n'est pas une taille pour --taille-message"},
        {{"--catalogue", "--taille-message", "2000", "j.txt"}, "--taille-message ne sert qu'à"},
        {{"--catalogue", "--format", "html", "j.txt"}, "--format ne sert qu'à l'écriture"},
        {{"--decouper", "jour", "j.txt"}, "--decouper découpe la page web"},
        {{"--format", "json", "--decouper", "mois", "j.txt"}, "il va avec --format html"},
        {{"--format", "html", "--decouper", "semaine", "j.txt"}, "découpage inconnu « semaine »"},
        {{"--catalogue", "--decouper", "jour", "j.txt"}, "--decouper ne sert qu'à"},
    };
    for (const auto& [args, message] : cas) {
        std::ostringstream out, err;
        EXPECT_EQ(vek::ExecuterExtraire(args, out, err), vek::SortieErreurUsage);
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
    }
}

// Chaque format de la table, son nom et son fichier, est dans l'aide et dans la page de manuel.
TEST(AideEtManuel, ChaqueFormat) {
    const std::string manuel = LireTout(VEK_PAGE_MANUEL);
    const std::string aide = vek::TexteAide();
    std::vector<std::string> mots = {"U+FFFD"};
    for (const vek::Format& f : vek::TableDesFormats()) {
        mots.emplace_back(f.nom);
        mots.emplace_back(f.fichier);
    }
    for (const std::string& mot : mots) {
        EXPECT_NE(aide.find(mot), std::string::npos) << mot;
        EXPECT_NE(manuel.find(std::regex_replace(mot, std::regex("-"), "\\-")), std::string::npos)
            << mot;
    }
}

} // namespace
