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

// --filtre vaut pour ce que le suivi imprime comme pour les sorties écrites à l'arrêt, sur la
// ligne du journal (le mode sans date ne l'empêche pas de lire sa date).
TEST_F(Suivre, LeFiltreDeMotsVautPourLeSuivi) {
    horloge.etapes = {[&] {
        Ajouter(L("[Commerce] \"Aldric\": le dragon vole") + L("[Commerce] \"Dragon\": rien") +
                L("{Brune}\":\"DRAGONS !"));
    }};
    ASSERT_EQ(Lancer({"--tous-channels", "--tout-le-monde", "--sans-date", "--filtre", "dragon"}),
              vek::SortieSucces)
        << err;
    EXPECT_EQ(out, "[Commerce] \"Aldric\": le dragon vole\n"
                   "{Brune}\":\"DRAGONS !\n" +
                       vek::JoindreChemin(sortie, "LogFinal.txt") + "\n");
    const std::string final = LireTout(vek::JoindreChemin(sortie, "LogFinal.txt"));
    EXPECT_NE(final.find("le dragon vole"), std::string::npos);
    for (const char* absent : {"avant", "rien"})
        EXPECT_EQ(final.find(absent), std::string::npos) << absent;
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

namespace {

// Une horloge à temps simulé : chaque attente avance l'heure d'autant et fait, dans l'ordre, ce
// que le « jeu » devait faire jusque-là ; puis, le scénario fini, l'arrêt est demandé.
class HorlogeSimulee final : public vek::Horloge {
public:
    struct Action {
        std::chrono::milliseconds quand;
        std::function<void()> faire;
    };
    // À la seconde ronde : sous Windows, la date de modification que pose le test n'a que la
    // seconde (la bibliothèque standard passe par _wutime) ; posée à une seconde ronde de
    // l'horloge simulée, elle est exacte.
    Instant debut = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()) -
                    std::chrono::hours(1);
    Instant maintenant = debut;
    std::vector<Action> actions;
    std::chrono::milliseconds fin{0};
    std::stop_source arret;
    std::size_t faites = 0;
    Instant Maintenant() override { return maintenant; }
    void Attendre(std::chrono::milliseconds duree) override {
        maintenant += duree;
        while (faites < actions.size() && debut + actions[faites].quand <= maintenant)
            actions[faites++].faire();
        if (maintenant - debut >= fin)
            arret.request_stop();
    }
};

struct CasCalage {
    const char* nom;
    int pauseMs; // entre les deux moitiés de la ligne
    bool montreeAvantSaFin;
};

class LigneCalee : public ::testing::TestWithParam<CasCalage> {};

// Le jeu cale au milieu d'une ligne : achevée vite, elle n'est imprimée qu'une fois, entière ;
// achevée tard, sa première moitié est imprimée après le silence du journal, puis la ligne
// entière une fois de plus. Rien d'autre ne revient, ni aucune ligne d'avant le suivi.
TEST_P(LigneCalee, ChaqueLigneUneFoisEtLaLigneCaleeEntiere) {
    const CasCalage& cas = GetParam();
    DossierTemporaire dossier;
    const std::string journal = dossier.Ecrire("Chat.TXT", L("[Commerce] \"Aldric\": avant"));
    const std::string sortie = dossier.Fichier("sortie");
    std::filesystem::create_directory(sortie);
    HorlogeSimulee horloge;
    const auto ecrire = [&](const std::string& octets) {
        std::ofstream(journal, std::ios::binary | std::ios::app) << octets;
        std::filesystem::last_write_time(journal,
                                         std::chrono::file_clock::from_sys(horloge.maintenant));
    };
    const std::string calee = L("[Commerce] \"Aldric\": la ligne calee");
    using ms = std::chrono::milliseconds;
    horloge.actions = {
        {ms(1000), [&] { ecrire(calee.substr(0, 40)); }}, // seule écriture sans fin de ligne
        {ms(1000 + cas.pauseMs), [&] { ecrire(calee.substr(40)); }},
        {ms(1500 + cas.pauseMs), [&] { ecrire(L("[Commerce] \"Aldric\": apres")); }}};
    horloge.fin = ms(3500 + cas.pauseMs);
    vek::ContexteExtraire contexte;
    contexte.horloge = &horloge;
    contexte.arret = horloge.arret.get_token();
    std::ostringstream out, err;
    ASSERT_EQ(vek::ExecuterExtraire({"--suivre", "-q", "--tous-channels", "--tout-le-monde",
                                     "--sans-date", "--dossier", sortie, journal},
                                    out, err, contexte),
              vek::SortieSucces)
        << err.str();
    std::string attendu;
    if (cas.montreeAvantSaFin)
        attendu += calee.substr(22, 18) + "\n";
    attendu += "[Commerce] \"Aldric\": la ligne calee\n[Commerce] \"Aldric\": apres\n";
    attendu += vek::JoindreChemin(sortie, "LogFinal.txt") + "\n";
    EXPECT_EQ(out.str(), attendu);
    // Le journal final n'a la ligne qu'une fois, entière.
    const std::string final = LireTout(vek::JoindreChemin(sortie, "LogFinal.txt"));
    EXPECT_EQ(final.find("la ligne"), final.rfind("la ligne"));
    EXPECT_NE(final.find("la ligne calee\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Suivre, LigneCalee,
                         ::testing::Values(CasCalage{"pause_de_200_ms", 200, false},
                                           CasCalage{"pause_de_1500_ms", 1500, true},
                                           CasCalage{"pause_de_10_s", 10000, true}),
                         [](const auto& cas) { return std::string(cas.param.nom); });

} // namespace
