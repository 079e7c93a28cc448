// Un journal que le jeu écrit pendant qu'on le lit : lignes écrites en deux fois, journal
// réécrit, remplacé ou tronqué pendant une recherche.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"

using namespace vek;
using vek::test::DossierTemporaire;
using vek::test::LireTout;
using vek::test::ProgressionNotee;

namespace {

std::string Ligne(int n) {
    return "12/24/2001 14:03:27 - [Commerce] \"Ecrivain\": message numero " + std::to_string(n);
}

// Une horloge d'essai : l'heure est celle qu'on lui donne, et chaque attente appelle surAttente
// (qui peut écrire dans le journal) au lieu de laisser passer le temps.
class HorlogeEssai final : public Horloge {
public:
    Instant maintenant = std::chrono::system_clock::now();
    std::function<void()> surAttente;
    bool avancer = true; // l'attente fait avancer l'heure
    int attentes = 0;
    Instant Maintenant() override { return maintenant; }
    void Attendre(std::chrono::milliseconds duree) override {
        ++attentes;
        if (avancer)
            maintenant += duree;
        if (surAttente)
            surAttente();
    }
};

void Ajouter(const std::string& chemin, const std::string& octets) {
    std::ofstream(chemin, std::ios::binary | std::ios::app) << octets;
}

class JournalVivant : public ::testing::Test {
protected:
    DossierTemporaire programme, donnees;
    HorlogeEssai horloge;
    Moteur module{ReglagesAvecHorloge()};
    ProgressionNotee progression;
    std::string chemin = donnees.Fichier("Chat.TXT");

    ReglagesMoteur ReglagesAvecHorloge() {
        ReglagesMoteur r = test::Reglages(programme.Chemin());
        r.horloge = &horloge;
        return r;
    }
    Issue<ResultatRecherche> Chercher() {
        return test::Chercher(module, chemin, {2001, 12, 24}, {2001, 12, 24}, progression);
    }
    std::string Extrait() { return LireTout(programme.Fichier("LogVEKtemp.txt")); }
};

// Une dernière ligne sans fin de ligne : selon ce que fait le journal pendant le délai d'attente.
struct CasLigneFinale {
    const char* nom;
    bool modificationAncienne; // le journal n'a pas bougé depuis bien plus que le délai
    bool ecritPendantAttente;  // le jeu achève la ligne pendant l'attente
    bool retenue;              // la ligne inachevée entre dans l'extrait
    bool attend;               // la recherche a dû attendre
};

class LigneFinale : public JournalVivant, public ::testing::WithParamInterface<CasLigneFinale> {};

TEST_P(LigneFinale, NeCompteQueSiLeJournalACesseDeGrandir) {
    const CasLigneFinale& cas = GetParam();
    const std::string debut = Ligne(1) + "\r\n" + Ligne(2).substr(0, 50);
    donnees.Ecrire("Chat.TXT", debut);
    if (cas.modificationAncienne)
        horloge.maintenant += std::chrono::hours(1);
    if (cas.ecritPendantAttente)
        horloge.surAttente = [&] { Ajouter(chemin, Ligne(2).substr(50) + "\r\n"); };
    const auto r = Chercher();
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    const std::string attendu =
        Ligne(1) + "\r\n" + (cas.retenue ? Ligne(2).substr(0, 50) + "\r\n" : "");
    EXPECT_EQ(Extrait(), attendu);
    EXPECT_EQ(r->lignesRetenues, cas.retenue ? 2u : 1u);
    EXPECT_EQ(horloge.attentes > 0, cas.attend);
    if (cas.ecritPendantAttente) {
        // La ligne laissée entre, entière, à la recherche suivante.
        const auto suivante = Chercher();
        ASSERT_TRUE(suivante.ok());
        EXPECT_EQ(Extrait(), Ligne(1) + "\r\n" + Ligne(2) + "\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Journal, LigneFinale,
    ::testing::Values(CasLigneFinale{"achevee_pendant_l_attente", false, true, false, true},
                      CasLigneFinale{"journal_calme_apres_l_attente", false, false, true, true},
                      CasLigneFinale{"journal_calme_depuis_longtemps", true, false, true, false}),
    [](const auto& essai) { return std::string(essai.param.nom); });

// Une ligne calée : sa première moitié est prise (le journal s'est tu plus que le délai), puis le
// jeu l'achève. La recherche suivante la relit en entier depuis son début, sans tout relire : elle
// n'est qu'une fois dans l'extrait, et le catalogue n'a pas gardé le nom coupé.
// Deux journaux fusionnés qui finissent chacun sur une ligne inachevée : le fil de chacun attend
// sur la même horloge d'essai, qui garde son temps ; ils la prennent tour à tour (sous tsan,
// une course se verrait), et chaque ligne, une fois le délai passé, entre dans l'extrait.
TEST_F(JournalVivant, DeuxJournauxFusionnesInachevesSurLaMemeHorloge) {
    const std::string autre = donnees.Fichier("Autre.TXT");
    const std::string deuxieme = "12/24/2001 14:03:29 - [Guilde] \"Autre\": fin";
    Ajouter(chemin, Ligne(1) + "\r\n" + Ligne(2));
    Ajouter(autre, deuxieme);
    Journaux j(std::vector<NomFichier>{chemin, autre});
    j.donnees = {{0, std::nullopt}, {0, std::nullopt}};
    const auto r =
        module.Rechercher({j, Periode::Jours({2001, 12, 24}, {2001, 12, 24})}, progression);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_EQ(Extrait(), Ligne(1) + "\r\n" + Ligne(2) + "\r\n" + deuxieme + "\r\n");
    EXPECT_GE(horloge.attentes, 2);
}

TEST_F(JournalVivant, LigneCaleePuisAcheveeRelueEnEntier) {
    const std::string l2 = "12/24/2001 14:03:28 - [Commerce] \"Aldric\": la suite";
    donnees.Ecrire("Chat.TXT", Ligne(1) + "\r\n" + l2.substr(0, 37));
    horloge.maintenant += std::chrono::hours(1);
    const auto avant = Chercher();
    ASSERT_TRUE(avant.ok());
    EXPECT_TRUE(avant->derniereProvisoire);
    EXPECT_EQ(Extrait(), Ligne(1) + "\r\n" + l2.substr(0, 37) + "\r\n");
    Ajouter(chemin, l2.substr(37) + "\r\n" + Ligne(3) + "\r\n");
    const auto apres = Chercher();
    ASSERT_TRUE(apres.ok()) << apres.Echec().Message();
    EXPECT_TRUE(apres->suite) << apres->avisComplet;
    EXPECT_TRUE(apres->derniereRelue);
    EXPECT_FALSE(apres->derniereProvisoire);
    EXPECT_EQ(apres->debutSuite, Ligne(1).size() + 2);
    EXPECT_EQ(Extrait(), Ligne(1) + "\r\n" + l2 + "\r\n" + Ligne(3) + "\r\n");
    EXPECT_EQ(apres->lignesLues, 3u);
    EXPECT_EQ(apres->lignesRetenues, 3u);
    EXPECT_EQ(vek::test::Noms(*apres->catalogue), (std::vector<std::string>{"Ecrivain", "Aldric"}));
    // Rien de neuf : rien de relu, la ligne complète reste.
    const auto encore = Chercher();
    ASSERT_TRUE(encore.ok());
    EXPECT_TRUE(encore->suite && !encore->derniereRelue);
    EXPECT_EQ(Extrait(), Ligne(1) + "\r\n" + l2 + "\r\n" + Ligne(3) + "\r\n");
}

// Un écrivain qui écrit chaque ligne en deux moitiés, avec une pause entre les deux, pendant que
// les recherches se succèdent : aucune demi-ligne n'entre jamais dans l'extrait. L'attente de la
// recherche dure, pour l'écrivain, plus que sa pause : elle ne rend la main qu'une fois la ligne
// en cours achevée, quel que soit l'ordonnancement des deux fils.
TEST_F(JournalVivant, EcrivainEnDeuxMoitiesJamaisDeDemiLigne) {
    donnees.Ecrire("Chat.TXT", "");
    std::mutex verrou;
    std::condition_variable change;
    int achevees = 0;
    bool enCours = false;
    constexpr int Lignes = 60;
    // L'heure d'essai reste avant toute écriture : la recherche attend chaque fois.
    horloge.avancer = false;
    horloge.surAttente = [&] {
        std::unique_lock l(verrou);
        const int avant = achevees;
        change.wait(l, [&] { return !enCours || achevees > avant; });
    };
    std::jthread ecrivain([&] {
        for (int n = 1; n <= Lignes; ++n) {
            const std::string ligne = Ligne(n);
            {
                std::lock_guard l(verrou);
                enCours = true;
                Ajouter(chemin, ligne.substr(0, 40));
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            {
                std::lock_guard l(verrou);
                Ajouter(chemin, ligne.substr(40) + "\r\n");
                enCours = false;
                ++achevees;
            }
            change.notify_all();
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    std::string precedent;
    for (int essai = 0; essai < 40; ++essai) {
        const auto r = Chercher();
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
        const std::string extrait = Extrait();
        // Chaque ligne de l'extrait est une ligne entière de l'écrivain, dans l'ordre.
        std::size_t pos = 0;
        int n = 0;
        while (pos < extrait.size()) {
            const std::size_t fin = extrait.find("\r\n", pos);
            ASSERT_NE(fin, std::string::npos);
            ASSERT_EQ(extrait.substr(pos, fin - pos), Ligne(++n)) << "essai " << essai;
            pos = fin + 2;
        }
        EXPECT_GE(extrait.size(), precedent.size()); // le journal ne fait que grandir
        precedent = extrait;
    }
    ecrivain.join();
    ASSERT_TRUE(Chercher().ok());
    const std::string complet = Extrait();
    EXPECT_EQ(std::count(complet.begin(), complet.end(), '\n'), Lignes);
}

// Un journal changé pendant la recherche, autrement qu'en grandissant, n'est jamais raccordé :
// la recherche échoue, et l'extrait et le catalogue de la recherche précédente restent, octet
// pour octet.
struct CasChangement {
    const char* nom;
    std::function<void(const std::string& chemin, const DossierTemporaire& d)> changer;
    bool reussit;
};

class JournalChange : public JournalVivant, public ::testing::WithParamInterface<CasChangement> {};

std::string Contenu(int premier, int dernier, const std::string& nom = "Ecrivain") {
    std::string s;
    for (int n = premier; n <= dernier; ++n) {
        std::string l = Ligne(n);
        l.replace(l.find("Ecrivain"), 8, nom);
        s += l + "\r\n";
    }
    return s;
}

#ifdef _WIN32
constexpr bool Windows = true;
#else
constexpr bool Windows = false;
#endif

TEST_P(JournalChange, JamaisRaccorde) {
    const CasChangement& cas = GetParam();
    donnees.Ecrire("Chat.TXT", Contenu(1, 3, "Ancien"));
    ASSERT_TRUE(Chercher().ok());
    const auto noms = vek::test::Noms(module.CatalogueCourant());
    const std::string extraitAvant = Extrait();
    donnees.Ecrire("Chat.TXT", Contenu(1, 200));
    bool fait = false;
    progression.surLigne = [&](std::uint64_t n) {
        if (n == 100 && !fait) {
            fait = true;
            cas.changer(chemin, donnees);
        }
    };
    const auto r = Chercher();
    ASSERT_TRUE(fait);
    EXPECT_EQ(r.ok(), cas.reussit);
    if (cas.reussit) {
        EXPECT_EQ(Extrait(), Contenu(1, 200)); // ce qui s'ajoute attend la recherche suivante
        return;
    }
    const std::string raison = r.Echec().raison;
    // Sous Windows, un journal remplacé par renommage pendant qu'on le lit peut aussi refuser
    // la suite de la lecture : l'échec le dit alors ainsi, sans rien raccorder.
    const bool refusParWindows = Windows && raison.find("permission refusée") != std::string::npos;
    EXPECT_TRUE(raison.find("remplacé ou réécrit pendant la lecture") != std::string::npos ||
                raison.find("raccourci") != std::string::npos || refusParWindows)
        << raison;
    EXPECT_EQ(vek::test::Noms(module.CatalogueCourant()), noms);
    EXPECT_EQ(Extrait(), extraitAvant);
}

INSTANTIATE_TEST_SUITE_P(
    Journal, JournalChange,
    ::testing::Values(CasChangement{"simple_ajout",
                                    [](const std::string& c, const DossierTemporaire&) {
                                        Ajouter(c, Contenu(201, 210));
                                    },
                                    true},
                      CasChangement{"reecrit_sur_place_par_un_fichier_plus_long",
                                    [](const std::string& c, const DossierTemporaire&) {
                                        std::ofstream(c, std::ios::binary | std::ios::trunc)
                                            << Contenu(1, 400, "Nouveau");
                                    },
                                    false},
                      CasChangement{"remplace_par_renommage",
                                    [](const std::string& c, const DossierTemporaire& d) {
                                        std::filesystem::rename(
                                            d.Ecrire("autre.TXT", Contenu(1, 300, "Nouveau")), c);
                                    },
                                    false},
                      CasChangement{"tronque",
                                    [](const std::string& c, const DossierTemporaire&) {
                                        std::filesystem::resize_file(c, 50);
                                    },
                                    false},
                      CasChangement{"premiers_octets_reecrits",
                                    [](const std::string& c, const DossierTemporaire&) {
                                        std::fstream f(c, std::ios::binary | std::ios::in |
                                                              std::ios::out);
                                        f.seekp(0);
                                        f << "12/24/2001 14:03:28";
                                    },
                                    false}),
    [](const auto& essai) { return std::string(essai.param.nom); });

} // namespace
