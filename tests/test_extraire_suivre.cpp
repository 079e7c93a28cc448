// vek-extraire --suivre, piloté par une horloge d'essai : chaque attente du suivi fait écrire
// au « jeu » la suite du journal, puis l'arrêt (le chemin de Ctrl+C) est demandé.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stop_token>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Extraire.h"
#include "Fichiers.h"

namespace {

using vek::test::DossierTemporaire;
using vek::test::LireTout;

std::string L(const std::string& corps) {
    return "12/24/2001 20:00:00 - " + corps + "\r\n";
}

// À chaque attente, l'étape suivante ; une fois toutes faites, l'arrêt est demandé.
class HorlogeScenario final : public vek::Horloge {
public:
    std::vector<std::function<void()>> etapes;
    std::stop_source arret;
    std::size_t faites = 0;
    Instant Maintenant() override { return Instant{}; } // le journal vient toujours de changer
    void Attendre(std::chrono::milliseconds) override {
        if (faites < etapes.size())
            etapes[faites++]();
        else
            arret.request_stop();
    }
};

class Suivre : public ::testing::Test {
protected:
    void SetUp() override {
        journal = dossier.Ecrire("Chat.TXT", L("[Commerce] \"Aldric\": avant"));
        sortie = dossier.Fichier("sortie");
        std::filesystem::create_directory(sortie);
    }
    void Ajouter(const std::string& octets) const {
        std::ofstream(journal, std::ios::binary | std::ios::app) << octets;
    }
    int Lancer(std::vector<std::string> options) {
        options.insert(options.end(), {"--suivre", "-q", "--debut", "24/12/2001", "--fin",
                                       "24/12/2001", "--dossier", sortie, journal});
        vek::ContexteExtraire contexte;
        contexte.horloge = &horloge;
        contexte.arret = horloge.arret.get_token();
        std::ostringstream o, e;
        const int code = vek::ExecuterExtraire(options, o, e, contexte);
        out = o.str();
        err = e.str();
        return code;
    }
    DossierTemporaire dossier;
    std::string journal, sortie, out, err;
    HorlogeScenario horloge;
};

TEST_F(Suivre, ImprimeLesLignesRetenuesAMesureEtEcritLesSortiesALArret) {
    const std::string ligne = L("[Commerce] \"Aldric\": en deux fois");
    horloge.etapes = {
        [&] { Ajouter(L("[Commerce] \"Aldric\": un") + L("[Guilde] \"Bertrand\": autre")); },
        [&] {},                                // rien de neuf
        [&] { Ajouter(ligne.substr(0, 30)); }, // le jeu écrit une ligne en deux fois
        [&] { Ajouter(ligne.substr(30)); },
        [&] { Ajouter(L("{Aldric}\":\"proximit\xE9")); },
    };
    ASSERT_EQ(Lancer({"--tous-channels", "--nom", "Aldric", "--sans-date"}), vek::SortieSucces)
        << err;
    // Les lignes ajoutées et retenues, réécrites, en UTF-8 ; ni la ligne d'avant le suivi, ni
    // Bertrand, ni jamais une demi-ligne.
    EXPECT_EQ(out, "[Commerce] \"Aldric\": un\n"
                   "[Commerce] \"Aldric\": en deux fois\n"
                   "{Aldric}\":\"proximité\n" +
                       vek::JoindreChemin(sortie, "LogFinal.txt") + "\n");
    // À l'arrêt, le journal final de tout ce qui a été lu.
    const std::string final = LireTout(vek::JoindreChemin(sortie, "LogFinal.txt"));
    for (const char* texte : {"avant", ": un", "en deux fois", "proximit"})
        EXPECT_NE(final.find(texte), std::string::npos) << texte;
    EXPECT_EQ(final.find("Bertrand"), std::string::npos);
}

TEST_F(Suivre, UnJournalRemplaceEstSignaleEtLeSuiviRepartDuNouveau) {
    horloge.etapes = {
        [&] {
            std::filesystem::rename(dossier.Ecrire("neuf.TXT", L("[Aide] \"Aldric\": neuf")),
                                    journal);
        },
        [&] { Ajouter(L("[Aide] \"Aldric\": ensuite")); },
    };
    ASSERT_EQ(Lancer({"--tous-channels", "--tout-le-monde"}), vek::SortieSucces) << err;
    EXPECT_NE(err.find("remplacé"), std::string::npos) << err;
    EXPECT_NE(out.find("neuf\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ensuite\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("avant"), std::string::npos) << out;
}

} // namespace
