// Le dossier découpé (LogFinal/) validé avec les fichiers, tout ou rien : une panne à chaque
// étape, fichier ou dossier, laisse toutes les anciennes sorties, dossier compris ; un programme
// tué (ou interrompu) entre deux échanges est terminé ou annulé par l'exécution suivante ; un
// ancien dossier resté au garage reprend sa place, un dossier temporaire orphelin part.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "SystemeValidationEssai.h"
#include "Validation.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

std::string Journal() {
    return test::JournalDeMessages(3);
}

// Les sorties, dans l'ordre de leur validation : le texte, le dossier, le JSON.
class DossierToutOuRien : public ::testing::Test {
protected:
    test::DossierTemporaire sortie;
    test::DossierTemporaire ailleurs;
    test::ProgressionNotee progression;
    ModesPartages modes;
    Selection selection;
    test::ReglagesEcriture ecriture;

    void SetUp() override {
        selection.AjouterChannel("[Commerce]");
        selection.AjouterNom("Aldric");
    }
    // La recherche ; rend ce qu'elle a repris d'elle-même dans le dossier.
    std::string Chercher(Moteur& m) {
        ecriture.decoupage = Decoupage::Jour;
        const auto r = test::Chercher(m, ailleurs.Ecrire("journal.txt", Journal()), {2001, 12, 24},
                                      {2001, 12, 24}, progression);
        EXPECT_TRUE(r.ok());
        return r.ok() ? r->avisDossier : std::string();
    }
    Issue<ResultatSorties> EcrireTout(Moteur& m) {
        return test::Ecrire(m, selection, modes, FormatsSortie::De({"texte", "html", "json"}),
                            progression, {}, ecriture);
    }
    void PoserAnciennes() {
        fs::remove_all(sortie.Fichier("LogFinal"));
        fs::create_directory(sortie.Fichier("LogFinal"));
        sortie.Ecrire("LogFinal/index.html", "ancien sommaire");
        sortie.Ecrire("LogFinal/2001-11-30.html", "ancienne page");
        sortie.Ecrire("LogFinal.txt", "ancien texte");
        sortie.Ecrire("LogFinal.jsonl", "ancien json");
    }
    std::map<std::string, std::string> Dossier() const {
        std::map<std::string, std::string> pages;
        std::error_code e;
        for (const auto& f : fs::directory_iterator(sortie.Fichier("LogFinal"), e))
            pages[f.path().filename().string()] = test::LireTout(f.path().string());
        return pages;
    }
    // « anciennes », « nouvelles », ou ce qui est nouveau dans le mélange.
    std::string Etat() const {
        const auto pages = Dossier();
        const bool ancienDossier =
            pages == std::map<std::string, std::string>{{"index.html", "ancien sommaire"},
                                                        {"2001-11-30.html", "ancienne page"}};
        const bool neufDossier = pages.count("2001-12-24.html") && pages.count("index.html") &&
                                 pages.at("2001-12-24.html").find("message 2") != std::string::npos;
        const std::string texte = test::LireTout(sortie.Fichier("LogFinal.txt"));
        const std::string json = test::LireTout(sortie.Fichier("LogFinal.jsonl"));
        const int anciennes = (texte == "ancien texte") + ancienDossier + (json == "ancien json");
        if (anciennes == 3)
            return "anciennes";
        const bool neufTexte = texte.find("message 2") != std::string::npos;
        const bool neufJson = json.find("message 2") != std::string::npos;
        if (neufTexte && neufDossier && neufJson)
            return "nouvelles";
        return std::string("nouveaux :") + (neufTexte ? " texte" : "") +
               (neufDossier ? " dossier" : "") + (neufJson ? " json" : "");
    }
    std::set<std::string> Noms() const {
        std::set<std::string> noms;
        for (const auto& e : fs::directory_iterator(sortie.Chemin()))
            noms.insert(e.path().filename().string());
        return noms;
    }
    static std::set<std::string> Attendus() {
        return {"LogFinal", "LogFinal.txt", "LogFinal.jsonl", "LogVEKtemp.txt"};
    }
};

// Une panne à chaque étape, sur un fichier ou sur le dossier (préparation, enregistrement,
// chaque échange, dont celui qui suit l'échange du dossier et doit le défaire) : toutes les
// anciennes sorties, dossier compris, sans temporaire laissé, la sortie en cause nommée.
TEST_F(DossierToutOuRien, UnePanneAChaqueEtapeLaisseLAncienDossierEtLesAnciensFichiers) {
    using Etape = test::SystemeDEssai::Etape;
    struct Cas {
        const char* nom;
        Etape etape;
        const char* enCause;
        int code;
    };
    const Cas cas[] = {
        {"préparation du texte", Etape::Preparation, "LogFinal.txt", EIO},
        {"préparation du dossier", Etape::Preparation, "LogFinal", ENOSPC},
        {"préparation du JSON", Etape::Preparation, "LogFinal.jsonl", EIO},
        {"enregistrement", Etape::Enregistrement, "LogFinal.txt", ENOSPC},
        {"échange du texte", Etape::Echange, "LogFinal.txt", EACCES},
        {"échange du dossier", Etape::Echange, "LogFinal", EBUSY},
        {"échange après le dossier", Etape::Echange, "LogFinal.jsonl", EPERM},
    };
    Moteur m{test::Reglages(sortie.Chemin())};
    Chercher(m);
    for (const auto noms : test::ToutesLesFacons)
        for (const Cas& c : cas) {
            SCOPED_TRACE(std::string(c.nom) + ", " + test::Nom(noms));
            test::SystemeDEssai panne(c.etape, c.enCause, c.code, noms);
            Moteur enPanne{test::Reglages(sortie.Chemin(), panne)};
            PoserAnciennes();
            const auto r = EcrireTout(enPanne);
            ASSERT_FALSE(r.ok());
            EXPECT_EQ(r.Echec().fichier, sortie.Fichier(c.enCause));
            EXPECT_NE(r.Echec().raison.find(RaisonSysteme(c.code)), std::string::npos)
                << r.Echec().raison;
            EXPECT_NE(r.Echec().raison.find("aucune sortie n'a été remplacée"), std::string::npos);
            EXPECT_EQ(Etat(), "anciennes");
            EXPECT_EQ(Noms(), Attendus());
        }
    for (const auto noms : test::ToutesLesFacons) {
        test::SystemeDEssai systeme(noms);
        Moteur autre{test::Reglages(sortie.Chemin(), systeme)};
        PoserAnciennes();
        ASSERT_TRUE(EcrireTout(autre).ok()) << test::Nom(noms);
        EXPECT_EQ(Etat(), "nouvelles");
        EXPECT_EQ(Noms(), Attendus());
    }
}

// Interrompu juste après l'échange du dossier (une exception, comme un programme arrêté là, sur
// tous les systèmes) : l'enregistrement couvre le dossier ; la passe suivante termine.
TEST_F(DossierToutOuRien, InterrompuApresLEchangeDuDossierPuisTermine) {
    for (const auto noms : test::ToutesLesFacons) {
        SCOPED_TRACE(test::Nom(noms));
        test::SystemeDEssai arret(noms);
        arret.apresEchange = [](std::size_t rang) {
            if (rang == 1)
                throw std::runtime_error("arrêt");
        };
        Moteur m{test::Reglages(sortie.Chemin(), arret)};
        Chercher(m);
        PoserAnciennes();
        ASSERT_FALSE(EcrireTout(m).ok());
        EXPECT_EQ(Etat(), "nouveaux : texte dossier");
        ASSERT_TRUE(Noms().count(std::string(NomValidation)));
        Moteur relance{test::Reglages(sortie.Chemin())};
        const std::string avis = Chercher(relance);
        EXPECT_NE(avis.find("terminé"), std::string::npos) << avis;
        EXPECT_NE(avis.find("« LogFinal »"), std::string::npos) << avis;
        EXPECT_EQ(Etat(), "nouvelles");
        EXPECT_EQ(Noms(), Attendus());
    }
}

#ifndef _WIN32
// Tué net (SIGKILL) après un échange : l'exécution suivante termine si chaque nouvelle sortie
// est encore là, sinon annule, le dossier avec les fichiers.
TEST_F(DossierToutOuRien, TueEntreDeuxEchangesPuisTermineOuAnnule) {
    struct Cas {
        const char* nom;
        std::size_t tueApres;
        const char* perdu; // le début du nom du nouveau temporaire supprimé avant la relance
        const char* attendu;
        const char* avis;
    };
    const Cas cas[] = {
        {"après le texte, terminé", 0, nullptr, "nouvelles", "terminé"},
        {"après le dossier, terminé", 1, nullptr, "nouvelles", "terminé"},
        {"après le texte, nouveau dossier perdu", 0, "LogFinal.tmp-", "anciennes", "annulé"},
        {"après le dossier, nouveau JSON perdu", 1, "LogFinal.jsonl.tmp-", "anciennes", "annulé"},
    };
    for (const auto noms : test::ToutesLesFacons)
        for (const Cas& c : cas) {
            SCOPED_TRACE(std::string(c.nom) + ", " + test::Nom(noms));
            Moteur m{test::Reglages(sortie.Chemin())};
            Chercher(m);
            PoserAnciennes();
            const pid_t fils = ::fork();
            ASSERT_GE(fils, 0);
            if (fils == 0) {
                test::SystemeDEssai tueur(noms);
                tueur.apresEchange = [&](std::size_t i) {
                    if (i == c.tueApres)
                        ::kill(::getpid(), SIGKILL);
                };
                Moteur enfant{test::Reglages(sortie.Chemin(), tueur)};
                (void)EcrireTout(enfant);
                ::_exit(0); // jamais atteint
            }
            int etat = 0;
            ASSERT_EQ(::waitpid(fils, &etat, 0), fils);
            ASSERT_TRUE(WIFSIGNALED(etat));
            EXPECT_NE(Etat(), "anciennes");
            ASSERT_TRUE(Noms().count(std::string(NomValidation)));
            // Le nouveau, pas l'ancien qui a pris le nom temporaire.
            const auto neuf = [&](const std::string& nom) {
                const std::string chemin = sortie.Fichier(nom);
                return fs::is_directory(chemin) ? fs::exists(chemin + "/2001-12-24.html")
                                                : test::LireTout(chemin) != "ancien json";
            };
            if (c.perdu)
                for (const std::string& nom : Noms())
                    if (nom.rfind(c.perdu, 0) == 0 && neuf(nom))
                        fs::remove_all(sortie.Fichier(nom));

            Moteur relance{test::Reglages(sortie.Chemin())};
            const std::string avis = Chercher(relance);
            EXPECT_NE(avis.find(c.avis), std::string::npos) << avis;
            EXPECT_EQ(Etat(), c.attendu);
            EXPECT_EQ(Noms(), Attendus());
        }
}
#endif

// Les temporaires de dossier laissés par un processus qui ne tourne plus : un ancien dossier au
// garage reprend le nom d'un LogFinal/ disparu ; sinon ils partent, avec leur contenu ; un
// dossier qui n'a pas exactement la forme d'un temporaire reste.
TEST_F(DossierToutOuRien, DossiersOrphelinsRemisOuSupprimes) {
    const auto Poser = [&](const std::string& nom, const std::string& contenu) {
        fs::create_directory(sortie.Fichier(nom));
        sortie.Ecrire(nom + "/index.html", contenu);
    };
    struct Cas {
        const char* nom;
        bool avecSortie;   // LogFinal/ existe encore
        const char* index; // ce que LogFinal/index.html doit contenir ensuite
    };
    const Cas cas[] = {{"sortie disparue, l'ancien revient", false, "au garage"},
                       {"sortie là, l'ancien au garage part", true, "actuel"}};
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        fs::remove_all(sortie.Fichier("LogFinal"));
        if (c.avecSortie)
            Poser("LogFinal", "actuel");
        Poser("LogFinal.tmp-99999999-0123456789abcdef-ancien", "au garage");
        Poser("LogFinal.tmp-99999999-fedcba9876543210", "neuf abandonné");
        Poser("LogFinal.tmp-sauvegarde", "à garder");
        Moteur m{test::Reglages(sortie.Chemin())};
        Chercher(m);
        EXPECT_EQ(test::LireTout(sortie.Fichier("LogFinal/index.html")), c.index);
        EXPECT_EQ(Noms(),
                  (std::set<std::string>{"LogFinal", "LogFinal.tmp-sauvegarde", "LogVEKtemp.txt"}));
        fs::remove_all(sortie.Fichier("LogFinal.tmp-sauvegarde"));
    }
}

} // namespace
} // namespace vek
