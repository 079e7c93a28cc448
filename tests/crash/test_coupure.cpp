// Les essais du banc de coupures : les deux modèles gardent ce qu'ils disent garder et perdent
// ce qu'ils disent perdre ; l'échantillon est borné et le même d'une fois à l'autre ; le traceur
// ne laisse rien échapper d'un programme qu'il n'a jamais vu ; et le banc entier prend en défaut
// des écrivains naïfs.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

#include "Banc.h"
#include "Disque.h"
#include "Enumeration.h"
#include "Modeles.h"
#include "Traceur.h"

using namespace vek::coupure;

namespace {

// Une trace faite à la main dans un dossier racine (nœud 1) qui contient « C » (nœud 2, « ancien
// »).
struct TraceAMain {
    Trace t;
    Noeud prochain = 3;
    TraceAMain() {
        t.depart.dossiers.insert(1);
        t.depart.entrees[{1, "C"}] = 2;
        t.depart.contenus[2] = "ancien";
    }
    Noeud Creer(const std::string& nom) {
        t.operations.push_back({Genre::Creer, {1, nom}, {}, prochain, 0, 0, {}, "creer " + nom});
        return prochain++;
    }
    void Ecrire(Noeud n, std::uint64_t position, std::string octets) {
        t.operations.push_back({Genre::Ecrire, {}, {}, n, 0, position, std::move(octets), "write"});
    }
    void Renommer(const std::string& de, const std::string& vers, Noeud n, Noeud remplace) {
        t.operations.push_back(
            {Genre::Renommer, {1, de}, {1, vers}, n, remplace, 0, {}, "rename " + de});
    }
    void Synchroniser(Genre g, Noeud n) {
        t.operations.push_back({g, {}, {}, n, 0, 0, {}, "sync"});
    }
};

// Les arborescences de tous les états d'un modèle à un point (sans seuil).
std::set<Arborescence> Arbres(const Trace& t, std::size_t point, Modele m) {
    std::set<Arborescence> arbres;
    for (const EtatPossible& e : Coupures(t).Etats(point, m, 1u << 20, 1))
        arbres.insert(Arbre(e.etat));
    return arbres;
}

TEST(ModelesDeCoupure, Ext4GardeUnPrefixeDesNomsLeDesordreNImporteQuelSousEnsemble) {
    TraceAMain m;
    m.Creer("A");
    m.Creer("B");
    const auto ext4 = Arbres(m.t, 2, Modele::Ext4Ordonne);
    const auto desordre = Arbres(m.t, 2, Modele::ToutPeutSePerdre);
    const auto avecB = [](const Arborescence& a) { return a.count("B") && !a.count("A"); };
    EXPECT_EQ(ext4.size(), 3u);
    EXPECT_TRUE(std::none_of(ext4.begin(), ext4.end(), avecB)) << "B sans A : pas un préfixe";
    EXPECT_EQ(desordre.size(), 4u);
    EXPECT_TRUE(std::any_of(desordre.begin(), desordre.end(), avecB));
}

TEST(ModelesDeCoupure, UnFsyncDuFichierNeFixeSonNomQuEnExt4) {
    TraceAMain m;
    const Noeud t = m.Creer("T");
    m.Ecrire(t, 0, "neuf");
    m.Synchroniser(Genre::SyncFichier, t);
    for (const Arborescence& a : Arbres(m.t, 3, Modele::Ext4Ordonne))
        EXPECT_EQ(a.at("T"), "neuf");
    const auto desordre = Arbres(m.t, 3, Modele::ToutPeutSePerdre);
    EXPECT_TRUE(std::any_of(desordre.begin(), desordre.end(),
                            [](const Arborescence& a) { return !a.count("T"); }));
    for (const Arborescence& a : desordre)
        EXPECT_TRUE(!a.count("T") || a.at("T") == "neuf") << "données synchronisées perdues";
}

TEST(ModelesDeCoupure, UnFsyncDuDossierFixeLeRenommageDansLesDeuxModeles) {
    TraceAMain m;
    const Noeud t = m.Creer("T");
    m.Ecrire(t, 0, "neuf");
    m.Synchroniser(Genre::SyncFichier, t);
    m.Renommer("T", "C", t, 2);
    m.Synchroniser(Genre::SyncDossier, 1);
    const Arborescence attendu{{"C", std::string("neuf")}};
    for (const Modele modele : {Modele::Ext4Ordonne, Modele::ToutPeutSePerdre}) {
        EXPECT_EQ(Arbres(m.t, 5, modele), std::set<Arborescence>{attendu}) << NomModele(modele);
        // Avant le fsync du dossier, le renommage peut encore être défait.
        const auto avant = Arbres(m.t, 4, modele);
        EXPECT_TRUE(std::any_of(avant.begin(), avant.end(),
                                [](const Arborescence& a) { return a.at("C") == "ancien"; }));
    }
}

TEST(ModelesDeCoupure, LesDonneesNonSynchroniseesSePerdentParBlocs) {
    TraceAMain m;
    const std::string neuf(10000, 'n');
    m.Ecrire(2, 0, neuf);
    const std::string ancien = "ancien";
    std::set<std::string> ext4, desordre;
    for (const Arborescence& a : Arbres(m.t, 1, Modele::Ext4Ordonne))
        ext4.insert(*a.at("C"));
    for (const Arborescence& a : Arbres(m.t, 1, Modele::ToutPeutSePerdre))
        desordre.insert(*a.at("C"));
    // ext4 : un préfixe de l'écriture, coupé à 4 Kio ou 8 Kio.
    EXPECT_EQ(ext4,
              (std::set<std::string>{ancien, neuf, neuf.substr(0, 4096), neuf.substr(0, 8192)}));
    // Désordre : le deuxième bloc seul, avec un trou de zéros devant lui.
    std::string deuxieme =
        ancien + std::string(4096 - ancien.size(), '\0') + neuf.substr(4096, 4096);
    EXPECT_TRUE(desordre.count(deuxieme));
    // Et la taille à jour sans aucune donnée.
    EXPECT_TRUE(desordre.count(ancien + std::string(10000 - ancien.size(), '\0')));
    EXPECT_FALSE(ext4.count(ancien + std::string(10000 - ancien.size(), '\0')));
}

TEST(ModelesDeCoupure, AutoDaAllocMetLesDonneesAvantLeRenommageQuiRemplace) {
    TraceAMain m;
    const Noeud t = m.Creer("T");
    m.Ecrire(t, 0, "neuf");
    m.Renommer("T", "C", t, 2);
    for (const Arborescence& a : Arbres(m.t, 3, Modele::Ext4Ordonne))
        EXPECT_NE(a.at("C"), "") << "le fichier renommé par-dessus l'ancien est vide";
    EXPECT_TRUE(Arbres(m.t, 3, Modele::ToutPeutSePerdre).count({{"C", std::string()}}));
}

TEST(Echantillon, BorneDeterministeEtIsoleChaquePerte) {
    const std::vector<std::size_t> options(12, 2);
    const auto a = Combinaisons(options, 40, 7);
    EXPECT_EQ(a.size(), 40u);
    EXPECT_EQ(a, Combinaisons(options, 40, 7));
    EXPECT_NE(a, Combinaisons(options, 40, 8));
    const std::set<Combinaison> vues(a.begin(), a.end());
    EXPECT_EQ(vues.size(), a.size());
    for (std::size_t d = 0; d < options.size(); ++d) {
        Combinaison uneSeulePerte(options.size(), 1);
        uneSeulePerte[d] = 0;
        EXPECT_TRUE(vues.count(uneSeulePerte)) << "dimension " << d;
    }
    EXPECT_EQ(Combinaisons({2, 3}, 40, 7).size(), 6u); // toutes, sous le seuil
}

class SurDisque : public ::testing::Test {
protected:
    void SetUp() override {
        racine = (std::filesystem::temp_directory_path() /
                  ("vek-essai-coupure-" + std::to_string(::getpid())))
                     .string();
        Vider(racine);
        std::filesystem::create_directories(racine + "/sortie");
    }
    void TearDown() override { Vider(racine); }
    std::string racine;
};

TEST_F(SurDisque, LeTraceurRefaitLeDossierDUnProgrammeQuIlNeConnaitPas) {
    const Trace t = Tracer({{"/bin/sh", "-c",
                             "printf abc > sortie/a; printf def >> sortie/a; mv sortie/a sortie/b;"
                             " mkdir sortie/d; printf x > sortie/d/e; rm sortie/b; sync"},
                            racine,
                            {},
                            30},
                           racine);
    ASSERT_EQ(t.fin.code, 0) << t.fin.erreur;
    EXPECT_TRUE(t.horsModele.empty());
    EtatDisque fin = t.depart;
    std::vector<Genre> genres;
    for (const Operation& op : t.operations) {
        Appliquer(fin, op);
        genres.push_back(op.genre);
        if (op.genre == Genre::Ecrire && op.octets == "def") {
            EXPECT_EQ(op.position, 3u) << "l'ajout (O_APPEND) écrit à la fin";
        }
    }
    EXPECT_EQ(Arbre(fin), LireArbre(racine));
    EXPECT_EQ(genres, (std::vector<Genre>{Genre::Creer, Genre::Ecrire, Genre::Ecrire,
                                          Genre::Renommer, Genre::CreerDossier, Genre::Creer,
                                          Genre::Ecrire, Genre::Supprimer, Genre::SyncTout}));
}

// Le banc entier sur un écrivain naïf : les sorties anciennes, puis sa manière de les remplacer.
Bilan PasserNaif(const std::string& racine, const std::string& maniere) {
    Scenario s;
    s.cle = maniere;
    s.titre = maniere;
    s.preparer = [](const std::string& r, const std::string&, Preparatifs&) {
        std::filesystem::create_directories(r + "/jeu");
        std::filesystem::create_directories(r + "/sortie");
        std::ofstream(r + "/jeu/journal.txt") << "12/24/2001 20:00:00 - [A] \"B\": c\r\n";
        std::ofstream(r + "/sortie/LogFinal.txt") << "ancien LogFinal.txt";
        std::ofstream(r + "/sortie/LogFinal.html") << "ancien LogFinal.html";
        return true;
    };
    s.execution.commande = {VEK_ECRIVAIN_NAIF, "sortie", maniere};
    s.suivante.commande = {VEK_EXTRAIRE, "--catalogue", "--debut", "24/12/2001",     "--fin",
                           "24/12/2001", "--dossier",   "sortie",  "jeu/journal.txt"};
    return Passer(s, {racine, 16});
}

std::set<std::pair<std::string, Modele>> Trouves(const Bilan& b) {
    std::set<std::pair<std::string, Modele>> t;
    for (const GroupeDefauts& g : b.defauts)
        t.insert({g.genre, g.modele});
    return t;
}

TEST_F(SurDisque, LeBancPrendEnDefautLesEcrivainsNaifs) {
    const Bilan enPlace = PasserNaif(racine, "en-place");
    ASSERT_TRUE(enPlace.erreur.empty()) << enPlace.erreur;
    EXPECT_TRUE(Trouves(enPlace).count({"ensemble mêlé", Modele::Ext4Ordonne}));

    const Bilan sansSynchro = PasserNaif(racine, "sans-synchro");
    EXPECT_TRUE(Trouves(sansSynchro).count({"ensemble mêlé", Modele::ToutPeutSePerdre}));

    const Bilan deux = PasserNaif(racine, "deux-renommages");
    for (const Modele m : {Modele::Ext4Ordonne, Modele::ToutPeutSePerdre})
        EXPECT_TRUE(Trouves(deux).count({"ensemble mêlé", m})) << NomModele(m);
    // Les temporaires d'un processus mort sont supprimés par l'exécution suivante.
    EXPECT_FALSE(Trouves(deux).count({"temporaire restant", Modele::ToutPeutSePerdre}));
}

// Chaque vérification voit le défaut qu'elle cherche : une exécution tracée et une exécution
// suivante faites exprès (des scripts), un défaut attendu.
struct CasDefaut {
    const char* nom;
    const char* execution;
    const char* suivante;
    const char* genre;
};

class Verifications : public SurDisque, public ::testing::WithParamInterface<CasDefaut> {};

TEST_P(Verifications, VoientLeDefautQuElleCherche) {
    Scenario s;
    s.cle = GetParam().nom;
    s.preparer = [](const std::string& r, const std::string&, Preparatifs&) {
        std::filesystem::create_directories(r + "/jeu");
        std::filesystem::create_directories(r + "/sortie");
        std::ofstream(r + "/jeu/journal.txt") << "journal";
        return true;
    };
    s.execution.commande = {"/bin/sh", "-c", GetParam().execution};
    s.suivante.commande = {"/bin/sh", "-c", GetParam().suivante};
    const Bilan b = Passer(s, {racine, 8});
    ASSERT_TRUE(b.erreur.empty()) << b.erreur;
    std::set<std::string> genres;
    for (const GroupeDefauts& g : b.defauts)
        genres.insert(g.genre);
    EXPECT_TRUE(genres.count(GetParam().genre)) << GetParam().genre;
}

INSTANTIATE_TEST_SUITE_P(
    Banc, Verifications,
    ::testing::Values(CasDefaut{"JournalTouche", "printf n > sortie/LogFinal.txt",
                                "printf x >> jeu/journal.txt", "journal touché"},
                      CasDefaut{"SuivanteEnEchec", "printf n > sortie/LogFinal.txt", "exit 3",
                                "exécution suivante en échec"},
                      CasDefaut{"TemporaireRestant",
                                "printf n > sortie/LogFinal.txt.tmp-1-0123456789abcdef", "true",
                                "temporaire restant"},
                      CasDefaut{"RepriseMuette",
                                "printf r > sortie/LogVEK.validation; rm sortie/LogVEK.validation",
                                "true", "reprise muette"},
                      CasDefaut{"ExtraitFaux", "printf n > sortie/LogFinal.txt",
                                "ls sortie > sortie/LogVEKtemp.txt", "extrait faux"}),
    [](const ::testing::TestParamInfo<CasDefaut>& cas) { return std::string(cas.param.nom); });

} // namespace
