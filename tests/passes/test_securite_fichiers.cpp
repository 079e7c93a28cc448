// Les sorties (LogVEKtemp.txt, LogFinal.txt) face aux liens plantés, aux sorties qui ne sont pas
// des fichiers, aux écrivains concurrents, aux renommages qui échouent et aux programmes tués.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <new>
#include <set>
#include <string>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "DossierTemporaire.h"
#include "Fichiers.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "SystemeValidationEssai.h"
#include "Validation.h"
#include "Verrou.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

using test::P;

std::string Journal(int lignes) {
    return test::JournalDeMessages(lignes);
}

class SortiesSures : public ::testing::Test {
protected:
    test::DossierTemporaire programme; // le dossier de sortie
    test::DossierTemporaire ailleurs;  // le journal et les fichiers à protéger
    Moteur module{test::Reglages(programme.Chemin())};
    test::ProgressionNotee progression;
    ModesPartages modes;
    Selection selection;

    void SetUp() override {
        selection.AjouterChannel("[Commerce]");
        selection.AjouterNom("Aldric");
    }
    Issue<ResultatRecherche> Chercher(const std::string& contenu) {
        return test::Chercher(module, ailleurs.Ecrire("journal.txt", contenu), {2001, 12, 24},
                              {2001, 12, 24}, progression);
    }
    Issue<std::string> Ecrire() {
        return test::EcrireLogFinal(module, selection, modes, progression);
    }
    std::set<std::string> Fichiers() const {
        std::set<std::string> noms;
        for (const auto& e : fs::directory_iterator(programme.Chemin()))
            noms.insert(e.path().filename().string());
        return noms;
    }
};

#ifndef _WIN32
// Un lien planté sous le nom d'une sortie est remplacé par la sortie ; le fichier qu'il
// désignait n'est jamais touché.
TEST_F(SortiesSures, UnLienPlanteSousUneSortieEstRemplaceJamaisSuivi) {
    for (const char* sortie : {"LogVEKtemp.txt", "LogFinal.txt"}) {
        SCOPED_TRACE(sortie);
        const std::string victime = ailleurs.Ecrire("victime.txt", "précieux\n");
        fs::remove(programme.Fichier(sortie));
        fs::create_symlink(victime, programme.Fichier(sortie));
        ASSERT_TRUE(Chercher(Journal(3)).ok());
        ASSERT_TRUE(Ecrire().ok());
        EXPECT_EQ(test::LireTout(victime), "précieux\n");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(programme.Fichier(sortie))));
        EXPECT_NE(test::LireTout(programme.Fichier(sortie)).find("message 2"), std::string::npos);
    }
}
#endif

#ifndef _WIN32
// Un fichier temporaire ne s'ouvre jamais sur un nom déjà pris, ni à travers un lien.
TEST_F(SortiesSures, UnTemporaireNeSeCreeQueSurUnNomLibre) {
    const std::string victime = ailleurs.Ecrire("victime.txt", "précieux\n");
    const std::string lien = programme.Fichier("pris.tmp");
    fs::create_symlink(victime, lien);
    const std::string occupe = programme.Ecrire("occupe.tmp", "là\n");
    for (const std::string& nom : {lien, occupe}) {
        EcrivainTexte e;
        EXPECT_FALSE(e.CreerNeuf(nom)) << nom;
        EXPECT_EQ(e.Raison(), RaisonSysteme(EEXIST));
    }
    EXPECT_EQ(test::LireTout(victime), "précieux\n");
    EXPECT_EQ(test::LireTout(occupe), "là\n");
}
#endif

#ifndef _WIN32
// Une sortie qui n'est pas un fichier ordinaire (tube nommé, dossier) est refusée avant toute
// écriture : rien n'attend, rien n'est remplacé.
TEST_F(SortiesSures, UneSortieQuiNEstPasUnFichierEstRefusee) {
    ASSERT_TRUE(Chercher(Journal(3)).ok());
    ASSERT_EQ(::mkfifo(programme.Fichier("LogFinal.txt").c_str(), 0644), 0);
    auto r = Ecrire();
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.Echec().Message().find("tube nommé"), std::string::npos) << r.Echec().Message();
    fs::remove(programme.Fichier("LogFinal.txt"));

    fs::remove(programme.Fichier("LogVEKtemp.txt"));
    ASSERT_EQ(::mkfifo(programme.Fichier("LogVEKtemp.txt").c_str(), 0644), 0);
    const auto recherche = Chercher(Journal(3));
    ASSERT_FALSE(recherche.ok());
    EXPECT_NE(recherche.Echec().Message().find("tube nommé"), std::string::npos);
    EXPECT_EQ(Fichiers(), std::set<std::string>{"LogVEKtemp.txt"});
}
#endif

// Un second écrivain sur le même dossier refuse aussitôt, avec un message ; une fois le premier
// parti, tout repart.
TEST_F(SortiesSures, UnSeulEcrivainParDossier) {
    ASSERT_TRUE(Chercher(Journal(3)).ok());
    VerrouDossier autre;
    ASSERT_TRUE(autre.Prendre(programme.Chemin()));
    const auto recherche = Chercher(Journal(5));
    ASSERT_FALSE(recherche.ok());
    EXPECT_NE(recherche.Echec().Message().find("un autre Extracteur de LOG VEK"),
              std::string::npos);
    const auto ecriture = Ecrire();
    ASSERT_FALSE(ecriture.ok());
    EXPECT_NE(ecriture.Echec().Message().find("occupé"), std::string::npos);
    EXPECT_FALSE(fs::exists(programme.Fichier("LogFinal.txt")));
    autre.Relacher();
    EXPECT_TRUE(Ecrire().ok());
    EXPECT_EQ(Fichiers(), (std::set<std::string>{"LogFinal.txt", "LogVEKtemp.txt"}));
}

// Le renommage final échoue : l'ancien journal final reste, le message le dit, aucun
// temporaire ne traîne.
TEST_F(SortiesSures, UnRenommageQuiEchoueGardeLAncien) {
    ASSERT_TRUE(Chercher(Journal(3)).ok());
    programme.Ecrire("LogFinal.txt", "ancien\r\n");
    test::SystemeDEssai panne(test::SystemeDEssai::Etape::Echange, "LogFinal.txt", EIO);
    Moteur enPanne{test::Reglages(programme.Chemin(), panne)};
    const auto r = test::EcrireLogFinal(enPanne, selection, modes, progression);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.Echec().raison.find("erreur d'entrée-sortie"), std::string::npos);
    EXPECT_NE(r.Echec().raison.find("l'ancien fichier est resté tel quel"), std::string::npos);
    EXPECT_EQ(test::LireTout(programme.Fichier("LogFinal.txt")), "ancien\r\n");
    EXPECT_EQ(Fichiers(), (std::set<std::string>{"LogFinal.txt", "LogVEKtemp.txt"}));
}

#ifndef _WIN32
// Un programme tué au milieu de l'écriture laisse l'ancien journal final entier et un
// temporaire orphelin ; le programme suivant supprime l'orphelin et écrit le nouveau.
TEST_F(SortiesSures, TueEnPleineEcriturePuisRelance) {
    ASSERT_TRUE(Chercher(Journal(200000)).ok());
    programme.Ecrire("LogFinal.txt", "ancien\r\n");
    const pid_t fils = ::fork();
    ASSERT_GE(fils, 0);
    if (fils == 0) {
        Moteur m{test::Reglages(programme.Chemin())};
        test::ProgressionNotee p;
        p.surValeur = [](std::uint64_t lues) {
            if (lues == 100000)
                ::kill(::getpid(), SIGKILL);
        };
        (void)test::EcrireLogFinal(m, selection, modes, p);
        ::_exit(0); // jamais atteint
    }
    int etat = 0;
    ASSERT_EQ(::waitpid(fils, &etat, 0), fils);
    ASSERT_TRUE(WIFSIGNALED(etat));
    EXPECT_EQ(test::LireTout(programme.Fichier("LogFinal.txt")), "ancien\r\n");
    int orphelins = 0;
    for (const auto& nom : Fichiers())
        orphelins += nom.rfind("LogFinal.txt.tmp-", 0) == 0;
    EXPECT_EQ(orphelins, 1);

    ASSERT_TRUE(Ecrire().ok());
    EXPECT_EQ(Fichiers(), (std::set<std::string>{"LogFinal.txt", "LogVEKtemp.txt"}));
    EXPECT_NE(test::LireTout(programme.Fichier("LogFinal.txt")).find("message 199999"),
              std::string::npos);
}
#endif

// Lignes démesurées (plus grandes que le tampon de lecture et qu'un lot) : extrait et journal
// final exacts, dans les huit jeux de modes, au milieu de lignes ordinaires ; une même ligne
// rangée seule ou parmi d'autres donne le même texte.
TEST_F(SortiesSures, LignesDemesureesExactesDansTousLesModes) {
    const std::string texte(3u << 20, 'x');
    const std::string nom(3u << 20, 'N');
    const std::vector<std::string> lignes = {
        P + "[Commerce] \"Aldric\": avant",
        P + "[Commerce] \"Aldric\": " + texte,
        P + "{Aldric}\":\"" + texte + " \"Aldric\" {Aldric}\":\" fin",
        P + "[Commerce] \"" + nom + "\": " + texte,
        P + "[Commerce] \"Aldric\": apr\xE8s",
    };
    std::string journal;
    for (const auto& l : lignes)
        journal += l + "\r\n";
    ASSERT_TRUE(Chercher(journal).ok());
    EXPECT_EQ(test::LireTout(programme.Fichier("LogVEKtemp.txt")), journal);
    selection.AjouterChannel(TexteZoneProximite);
    selection.AjouterNom(nom);
    for (int m = 0; m < 8; ++m) {
        const Modes choisis{(m & 1) != 0, (m & 2) != 0, (m & 4) != 0};
        modes = choisis;
        ASSERT_TRUE(Ecrire().ok()) << m;
        std::string attendu;
        TravailReecriture travail;
        for (const auto& l : lignes)
            if (const auto r = FiltrerEtReecrire(l, selection, choisis, travail))
                attendu.append(*r).append("\r\n");
        const std::string final = test::LireTout(programme.Fichier("LogFinal.txt"));
        EXPECT_NE(final.find(attendu), std::string::npos) << "modes " << m;
    }
}

// Une ligne démesurée sans fin de ligne, en fin de journal : l'analyse n'en lit que le début.
TEST_F(SortiesSures, DerniereLigneDemesureeAnalysee) {
    const std::string chemin =
        ailleurs.Ecrire("j.txt", P + "a\r\n12/25/2001 [18:30:05] " + std::string(3u << 20, 'y'));
    const auto resume = module.Analyser({chemin}, progression);
    ASSERT_TRUE(resume.ok());
    EXPECT_EQ(resume->lignes, 2u);
    EXPECT_EQ(resume->fin, (Date{2001, 12, 25}));
}

// La mémoire épuisée en pleine passe : un échec en français, l'ancien journal final gardé et
// aucun fichier temporaire laissé.
TEST_F(SortiesSures, MemoireEpuiseeEchecPropre) {
    ASSERT_TRUE(Chercher(Journal(1000)).ok());
    programme.Ecrire("LogFinal.txt", "ancien\r\n");
    // La mémoire manque au premier avancement de la barre, au milieu de la passe.
    struct Epuisee : test::ProgressionNotee {
        void Valeur(std::uint64_t) override { throw std::bad_alloc(); }
    } epuisee;
    const auto ecrit = test::EcrireLogFinal(module, selection, modes, epuisee);
    ASSERT_FALSE(ecrit.ok());
    EXPECT_NE(ecrit.Echec().raison.find("mémoire"), std::string::npos);
    EXPECT_EQ(test::LireTout(programme.Fichier("LogFinal.txt")), "ancien\r\n");
    EXPECT_EQ(Fichiers(), (std::set<std::string>{"LogFinal.txt", "LogVEKtemp.txt"}));
}

#ifndef _WIN32 // limite d'adresses et fork
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool MemoireLimitable = false; // les assainisseurs réservent des téraoctets d'adresses
#else
constexpr bool MemoireLimitable = true;
#endif

// Sous une limite de mémoire réelle, une ligne de 128 Mo que la recherche ne peut pas loger :
// échec propre, sans extrait ni temporaire laissé. La ligne dépasse de loin la marge : ce que
// les essais précédents laissent au processus et qu'il rend en route (piles de fils en cache,
// tas réduits) peut dépasser 40 Mo, et une ligne de 64 Mo y tenait alors.
TEST_F(SortiesSures, LigneTropGrandePourLaMemoire) {
    if (!MemoireLimitable)
        GTEST_SKIP() << "limite d'adresses inapplicable sous un assainisseur";
    const std::string chemin = ailleurs.Fichier("geant.txt");
    {
        std::ofstream f(chemin, std::ios::binary);
        f << P << "[Commerce] \"Aldric\": " << std::string(128u << 20, 'g') << "\r\n";
    }
    const pid_t fils = ::fork();
    ASSERT_GE(fils, 0);
    if (fils == 0) {
        // Ce qu'occupe déjà le processus, plus 40 Mo : assez pour tout, sauf la ligne.
        std::ifstream statm("/proc/self/statm");
        unsigned long pages = 0;
        statm >> pages;
        const rlim_t limite = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (40u << 20);
        const rlimit r{limite, limite};
        ::setrlimit(RLIMIT_AS, &r);
        Moteur m{test::Reglages(programme.Chemin())};
        test::ProgressionNotee p;
        const auto issue = test::Chercher(m, chemin, {2001, 12, 24}, {2001, 12, 24}, p);
        const bool propre = !issue.ok() &&
                            issue.Echec().raison.find("mémoire") != std::string::npos &&
                            fs::is_empty(programme.Chemin());
        ::_exit(propre ? 0 : 1);
    }
    int etat = 0;
    ASSERT_EQ(::waitpid(fils, &etat, 0), fils);
    ASSERT_TRUE(WIFEXITED(etat));
    EXPECT_EQ(WEXITSTATUS(etat), 0);
}
#endif

// Un journal tronqué par un autre programme pendant la recherche : la passe échoue en le disant,
// et aucun extrait ne passe pour complet.
TEST_F(SortiesSures, JournalTronquePendantLaRecherche) {
    const std::string chemin = ailleurs.Ecrire("journal.txt", Journal(100000));
    progression.surLigne = [&](std::uint64_t n) {
        if (n == 10)
            fs::resize_file(chemin, fs::file_size(chemin) / 2);
    };
    const auto issue = test::Chercher(module, chemin, {2001, 12, 24}, {2001, 12, 24}, progression);
    ASSERT_FALSE(issue.ok());
    EXPECT_NE(issue.Echec().raison.find("raccourci"), std::string::npos);
    EXPECT_FALSE(fs::exists(programme.Fichier("LogVEKtemp.txt")));
}

} // namespace
} // namespace vek
