// vek-extraire sur plusieurs journaux : la scène de deux joueurs écrite une fois, les horloges
// et les joueurs dits ; un journal absent refusé par son nom sans rien écrire ; --suivre sur la
// fusion de deux journaux qui grandissent, chaque message une fois.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "DossierTemporaire.h"
#include "Extraire.h"
#include "Fichiers.h"
#include "GenerateurScene.h"

namespace {

using vek::test::DossierTemporaire;
using vek::test::LireTout;

class FusionExtraire : public ::testing::Test {
protected:
    DossierTemporaire dossier;
    vek::ParametresScene p;
    vek::Scene scene;
    std::string a, b, sortie;

    void SetUp() override {
        p.joueurs = {{"Aldric", {0, 1}, 0, true}, {"Brune", {1, 2}, 3607, true}};
        p.messages = 200;
        p.proportionPrivee = 0; // rien de privé : chaque message entendu sort
        scene = vek::GenererScene(p);
        a = dossier.Ecrire("aldric.txt", scene.journaux[0]);
        b = dossier.Ecrire("brune.txt", scene.journaux[1]);
        sortie = dossier.Fichier("sortie");
        std::filesystem::create_directory(sortie);
    }
    int Lancer(std::vector<std::string> args, std::string& out, std::string& err,
               const vek::ContexteExtraire& contexte = {}) {
        std::ostringstream o, e;
        const int code = vek::ExecuterExtraire(args, o, e, contexte);
        out = o.str();
        err = e.str();
        return code;
    }
    std::size_t MessagesEntendus() const {
        std::size_t n = 0;
        for (const auto& m : scene.messages)
            n += m.entendu[0] || m.entendu[1] ? 1 : 0;
        return n;
    }
};

TEST_F(FusionExtraire, ChaqueMessageUneFoisEtLesHorlogesDites) {
    std::string out, err;
    ASSERT_EQ(
        Lancer({"--tous-channels", "--tout-le-monde", "--sans-date", "--dossier", sortie, a, b},
               out, err),
        vek::SortieSucces)
        << err;
    EXPECT_NE(err.find("brune.txt : horloge en avance de 1 h 00 min 07 s"), std::string::npos)
        << err;
    EXPECT_NE(err.find("joueur Brune (trouvé)"), std::string::npos) << err;
    const std::string extrait = LireTout(vek::JoindreChemin(sortie, "LogVEKtemp.txt"));
    std::size_t lignes = 0;
    for (const char c : extrait)
        lignes += c == '\n' ? 1 : 0;
    EXPECT_EQ(lignes, MessagesEntendus());
}

TEST_F(FusionExtraire, UnJournalAbsentEstRefuseParSonNomSansRienEcrire) {
    std::string out, err;
    const std::string absent = dossier.Fichier("absent.txt");
    EXPECT_EQ(Lancer({"--tous-channels", "--tout-le-monde", "--debut", "24/12/2001", "--fin",
                      "24/12/2001", "--dossier", sortie, a, absent},
                     out, err),
              vek::SortieEchecFichier);
    EXPECT_NE(err.find("absent.txt"), std::string::npos) << err;
    EXPECT_TRUE(std::filesystem::is_empty(sortie));
}

// Une horloge d'essai qui, à chaque attente, fait écrire aux deux joueurs la suite de la scène.
class HorlogeScene final : public vek::Horloge {
public:
    std::vector<std::function<void()>> etapes;
    std::stop_source arret;
    std::size_t faites = 0;
    Instant Maintenant() override {
        return std::chrono::system_clock::now() + std::chrono::hours(1);
    }
    void Attendre(std::chrono::milliseconds) override {
        if (faites < etapes.size())
            etapes[faites++]();
        else
            arret.request_stop();
    }
};

TEST_F(FusionExtraire, SuivreLaFusionRendChaqueMessageUneFois) {
    // Les deux journaux commencent vides de la seconde moitié de la scène, qui arrive en deux
    // fois pendant le suivi, chaque joueur écrivant les mêmes messages.
    const auto moitie = [](const std::string& j, bool premiere) {
        std::size_t coupe = j.size() / 2;
        coupe = j.find("\r\n", coupe) + 2;
        return premiere ? j.substr(0, coupe) : j.substr(coupe);
    };
    dossier.Ecrire("aldric.txt", moitie(scene.journaux[0], true));
    dossier.Ecrire("brune.txt", moitie(scene.journaux[1], true));
    HorlogeScene horloge;
    horloge.etapes = {[&] {
                          std::ofstream(a, std::ios::app | std::ios::binary)
                              << moitie(scene.journaux[0], false);
                      },
                      [&] {
                          std::ofstream(b, std::ios::app | std::ios::binary)
                              << moitie(scene.journaux[1], false);
                      }};
    vek::ContexteExtraire contexte;
    contexte.horloge = &horloge;
    contexte.arret = horloge.arret.get_token();
    std::string out, err;
    ASSERT_EQ(Lancer({"--suivre", "-q", "--tous-channels", "--tout-le-monde", "--debut",
                      "24/12/2001", "--fin", "24/12/2001", "--dossier", sortie, a, b},
                     out, err, contexte),
              vek::SortieSucces)
        << err;
    // Ce qui est imprimé : exactement les lignes de la fusion finale qui n'étaient pas dans
    // celle du début, chacune une fois (celles d'un journal écrites en retard comprises).
    const auto lignesDe = [](const std::string& texte, const std::string& fin) {
        std::multiset<std::string> l;
        std::istringstream flux(texte);
        for (std::string ligne; std::getline(flux, ligne);) {
            if (!ligne.empty() && ligne.back() == '\r')
                ligne.pop_back();
            if (!fin.empty() && ligne.find(fin) != std::string::npos)
                continue;
            l.insert(ligne);
        }
        return l;
    };
    DossierTemporaire debut;
    const std::string da = debut.Ecrire("aldric.txt", moitie(scene.journaux[0], true));
    const std::string db = debut.Ecrire("brune.txt", moitie(scene.journaux[1], true));
    std::string o2, e2;
    ASSERT_EQ(Lancer({"--catalogue", "-q", "--debut", "24/12/2001", "--fin", "24/12/2001",
                      "--dossier", debut.Chemin(), da, db},
                     o2, e2),
              vek::SortieSucces);
    auto attendues = lignesDe(LireTout(vek::JoindreChemin(sortie, "LogVEKtemp.txt")), "");
    EXPECT_EQ(attendues.size(), MessagesEntendus());
    // (Un message du bout de la première moitié peut y être la copie d'un journal et, dans la
    // fusion finale, celle d'un autre : il n'est dans les deux qu'au message près.)
    for (const std::string& l : lignesDe(LireTout(debut.Fichier("LogVEKtemp.txt")), ""))
        if (const auto i = attendues.find(l); i != attendues.end())
            attendues.erase(i);
    std::multiset<std::string> attenduesUtf8; // la sortie standard est en UTF-8
    for (const std::string& l : attendues)
        attenduesUtf8.insert(vek::Cp1252VersUtf8(l));
    EXPECT_EQ(lignesDe(out, "LogFinal.txt"), attenduesUtf8);
}

} // namespace
