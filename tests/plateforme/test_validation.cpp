// Les sorties tout ou rien : pannes à chaque étape du remplacement, programme tué entre deux
// échanges puis relancé, journal sous le nom d'une sortie, droits gardés, temporaires orphelins
// reconnus exactement, raisons en français et messages du verrou.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "DossierTemporaire.h"
#include "Fichiers.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "SystemeDeTest.h"
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

const std::vector<std::string> NomsSorties = {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl"};

class ToutOuRien : public ::testing::Test {
protected:
    test::DossierTemporaire sortie;
    test::DossierTemporaire ailleurs;
    Moteur module{test::Reglages(sortie.Chemin())};
    test::ProgressionNotee progression;
    ModesPartages modes;
    Selection selection;

    void SetUp() override {
        selection.AjouterChannel("[Commerce]");
        selection.AjouterNom("Aldric");
    }
    Issue<ResultatRecherche> Chercher(Moteur& m, int lignes = 3) {
        return test::Chercher(m, ailleurs.Ecrire("journal.txt", Journal(lignes)), {2001, 12, 24},
                              {2001, 12, 24}, progression);
    }
    Issue<ResultatSorties> EcrireTout(Moteur& m) {
        return test::Ecrire(m, selection, modes, FormatsSortie::De({"texte", "html", "json"}),
                            progression);
    }
    void PoserAnciennes() {
        for (const std::string& nom : NomsSorties)
            sortie.Ecrire(nom, "ancien " + nom);
    }
    // « anciennes », « nouvelles », ou le détail d'un mélange.
    std::string Etat() const {
        int anciennes = 0;
        int nouvelles = 0;
        for (const std::string& nom : NomsSorties) {
            const std::string contenu = test::LireTout(sortie.Fichier(nom));
            anciennes += contenu == "ancien " + nom;
            nouvelles += contenu.find("message 2") != std::string::npos;
        }
        if (anciennes == 3)
            return "anciennes";
        if (nouvelles == 3)
            return "nouvelles";
        return std::to_string(anciennes) + " anciennes, " + std::to_string(nouvelles) +
               " nouvelles";
    }
    std::set<std::string> Fichiers() const {
        std::set<std::string> noms;
        for (const auto& e : fs::directory_iterator(sortie.Chemin()))
            noms.insert(e.path().filename().string());
        return noms;
    }
    std::set<std::string> Attendus() const {
        return {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl", "LogVEKtemp.txt"};
    }
};

// Une panne à chaque étape : toutes les sorties restent anciennes, aucun temporaire ne reste,
// le message nomme la sortie en cause et dit que rien n'a été remplacé.
TEST_F(ToutOuRien, UnePanneAChaqueEtapeLaisseToutesLesAnciennes) {
    using Etape = test::SystemeDEssai::Etape;
    struct Cas {
        const char* nom;
        Etape etape;
        const char* fichier; // la sortie en panne, nommée par le message
        int code;
    };
    const Cas cas[] = {
        {"synchronisation de la première", Etape::Preparation, "LogFinal.txt", EIO},
        {"synchronisation de la dernière", Etape::Preparation, "LogFinal.jsonl", ENOSPC},
        {"enregistrement de la validation", Etape::Enregistrement, "LogFinal.txt", ENOSPC},
        {"premier échange", Etape::Echange, "LogFinal.txt", EACCES},
        {"échange du milieu", Etape::Echange, "LogFinal.html", EIO},
        {"dernier échange", Etape::Echange, "LogFinal.jsonl", EPERM},
    };
    ASSERT_TRUE(Chercher(module).ok());
    for (const auto noms : test::ToutesLesFacons)
        for (const Cas& c : cas) {
            SCOPED_TRACE(std::string(c.nom) + ", " + test::Nom(noms));
            test::SystemeDEssai panne(c.etape, c.fichier, c.code, noms);
            Moteur m{test::Reglages(sortie.Chemin(), panne)};
            PoserAnciennes();
            const auto r = EcrireTout(m);
            ASSERT_FALSE(r.ok());
            EXPECT_EQ(r.Echec().fichier, sortie.Fichier(c.fichier));
            EXPECT_NE(r.Echec().raison.find(RaisonSysteme(c.code)), std::string::npos)
                << r.Echec().raison;
            EXPECT_NE(r.Echec().raison.find("aucune sortie n'a été remplacée"), std::string::npos);
            EXPECT_EQ(Etat(), "anciennes");
            EXPECT_EQ(Fichiers(), Attendus());
        }
    // Sans panne, l'ensemble passe d'un coup, de chacune des trois façons.
    for (const auto noms : test::ToutesLesFacons) {
        test::SystemeDEssai systeme(noms);
        Moteur m{test::Reglages(sortie.Chemin(), systeme)};
        PoserAnciennes();
        ASSERT_TRUE(EcrireTout(m).ok()) << test::Nom(noms);
        EXPECT_EQ(Etat(), "nouvelles");
        EXPECT_EQ(Fichiers(), Attendus());
    }
}

#ifndef _WIN32
// Une écriture refusée par le système (la limite de taille des fichiers, dépassée par la page
// web seulement) : rien n'est remplacé, la raison est en français.
TEST_F(ToutOuRien, UneEcritureRateeNeRemplaceRien) {
    ASSERT_TRUE(Chercher(module, 20000).ok());
    PoserAnciennes();
    const pid_t fils = ::fork();
    ASSERT_GE(fils, 0);
    if (fils == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limite = 2u << 20; // le texte (~1 Mo) passe, la page web non
        const rlimit r{limite, limite};
        ::setrlimit(RLIMIT_FSIZE, &r);
        Moteur m{test::Reglages(sortie.Chemin())};
        test::ProgressionNotee p;
        const auto issue =
            test::Ecrire(m, selection, modes, FormatsSortie::De({"texte", "html", "json"}), p);
        const bool honnete =
            !issue.ok() && issue.Echec().raison.find("fichier trop grand") != std::string::npos &&
            issue.Echec().raison.find("aucune sortie n'a été remplacée") != std::string::npos;
        ::_exit(honnete ? 0 : 1);
    }
    int etat = 0;
    ASSERT_EQ(::waitpid(fils, &etat, 0), fils);
    ASSERT_TRUE(WIFEXITED(etat));
    EXPECT_EQ(WEXITSTATUS(etat), 0);
    EXPECT_EQ(Etat(), "anciennes");
    EXPECT_EQ(Fichiers(), Attendus());
}

// Tué entre deux échanges : l'ensemble est mélangé, l'enregistrement le dit ; l'exécution
// suivante, sous le verrou, termine le remplacement (chaque nouveau fichier est là) ou l'annule
// (un nouveau a disparu), et le dit.
TEST_F(ToutOuRien, TueEntreDeuxEchangesPuisRelance) {
    struct Cas {
        const char* nom;
        std::size_t tueApres; // rang du dernier échange fait
        bool perdreUnNouveau; // un nouveau fichier supprimé avant la relance
        const char* attendu;
        const char* avis;
    };
    const Cas cas[] = {
        {"après le premier, terminé", 0, false, "nouvelles", "terminé"},
        {"après le deuxième, terminé", 1, false, "nouvelles", "terminé"},
        {"après le premier, annulé", 0, true, "anciennes", "annulé"},
    };
    for (const auto noms : test::ToutesLesFacons)
        for (const Cas& c : cas) {
            SCOPED_TRACE(std::string(c.nom) + ", " + test::Nom(noms));
            Moteur m{test::Reglages(sortie.Chemin())};
            ASSERT_TRUE(Chercher(m).ok());
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
                test::ProgressionNotee p;
                (void)test::Ecrire(enfant, selection, modes,
                                   FormatsSortie::De({"texte", "html", "json"}), p);
                ::_exit(0); // jamais atteint
            }
            int etat = 0;
            ASSERT_EQ(::waitpid(fils, &etat, 0), fils);
            ASSERT_TRUE(WIFSIGNALED(etat));
            EXPECT_NE(Etat(), "anciennes");
            EXPECT_NE(Etat(), "nouvelles");
            ASSERT_TRUE(Fichiers().count(std::string(NomValidation)));
            if (c.perdreUnNouveau)
                for (const std::string& nom : Fichiers())
                    if (nom.rfind("LogFinal.jsonl.tmp-", 0) == 0)
                        fs::remove(sortie.Fichier(nom));

            // La relance : une recherche prend le verrou et reprend la validation.
            Moteur relance{test::Reglages(sortie.Chemin())};
            const auto reprise = Chercher(relance);
            ASSERT_TRUE(reprise.ok());
            const std::string avis = reprise->avisDossier;
            EXPECT_NE(avis.find(c.avis), std::string::npos) << avis;
            EXPECT_NE(avis.find("LogFinal.html"), std::string::npos) << avis;
            EXPECT_EQ(Etat(), c.attendu);
            EXPECT_EQ(Fichiers(), Attendus());
            EXPECT_TRUE(Chercher(relance)->avisDossier.empty()); // dit une seule fois
        }
}

#endif

// Interrompu entre deux échanges sur tous les systèmes (Windows compris) : une exception qui
// s'échappe après le premier laisse les fichiers comme un programme tué ; la passe suivante
// termine le remplacement, avec ou sans échange de noms.
TEST_F(ToutOuRien, InterrompuEntreDeuxEchangesPuisRepris) {
    for (const auto noms : test::ToutesLesFacons) {
        SCOPED_TRACE(test::Nom(noms));
        test::SystemeDEssai arret(noms);
        arret.apresEchange = [](std::size_t) { throw std::runtime_error("arrêt"); };
        Moteur m{test::Reglages(sortie.Chemin(), arret)};
        ASSERT_TRUE(Chercher(m).ok());
        PoserAnciennes();
        const auto r = EcrireTout(m);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(Etat(), "2 anciennes, 1 nouvelles"); // le texte remplacé, pas les deux autres
        ASSERT_TRUE(Fichiers().count(std::string(NomValidation)));
        Moteur suivant{test::Reglages(sortie.Chemin())};
        const auto reprise = Chercher(suivant);
        ASSERT_TRUE(reprise.ok());
        EXPECT_NE(reprise->avisDossier.find("terminé"), std::string::npos);
        ASSERT_TRUE(EcrireTout(suivant).ok());
        EXPECT_EQ(Etat(), "nouvelles");
        EXPECT_EQ(Fichiers(), Attendus());
    }
}

// Un enregistrement planté qui cite un fichier qui n'est pas une sortie n'est jamais suivi :
// rien n'est renommé ni supprimé à sa demande.
TEST_F(ToutOuRien, UnEnregistrementPlanteNeFaitRienRenommer) {
    const std::string victime = sortie.Ecrire("precieux.txt", "précieux");
    sortie.Ecrire("LogFinal.txt", "ancien");
    sortie.Ecrire(std::string(NomValidation),
                  "VEK validation 1\nprecieux.txt\tLogFinal.txt\t1\t2\n");
    const auto r = Chercher(module);
    ASSERT_TRUE(r.ok());
    EXPECT_NE(r->avisDossier.find("illisible"), std::string::npos);
    EXPECT_EQ(test::LireTout(victime), "précieux");
    EXPECT_EQ(test::LireTout(sortie.Fichier("LogFinal.txt")), "ancien");
    EXPECT_FALSE(fs::exists(sortie.Fichier(std::string(NomValidation))));
}

// Le journal sous le nom de chaque fichier que les passes écrivent ou suppriment (ou relié à
// lui par un lien) : refusé avant toute écriture, le journal intact, le nom dans le message.
TEST_F(ToutOuRien, LeJournalNEstJamaisUneSortie) {
    for (const std::string_view nom : NomsDuDossierDeSortie()) {
        for (const bool parLien : {false, true}) {
            SCOPED_TRACE(std::string(nom) + (parLien ? " par un lien" : ""));
#ifdef _WIN32
            if (parLien)
                continue;
#endif
            const std::string contenu = Journal(3);
            std::string journal = sortie.Ecrire(std::string(nom), contenu);
            if (parLien) {
                journal = ailleurs.Fichier("lien.txt");
                fs::create_symlink(sortie.Fichier(std::string(nom)), journal);
            }
            const auto r =
                test::Chercher(module, journal, {2001, 12, 24}, {2001, 12, 24}, progression);
            ASSERT_FALSE(r.ok());
            EXPECT_NE(r.Echec().Message().find("fichier de sortie"), std::string::npos);
            EXPECT_NE(r.Echec().raison.find(std::string(nom)), std::string::npos);
            EXPECT_EQ(test::LireTout(sortie.Fichier(std::string(nom))), contenu);
            EXPECT_EQ(Fichiers(), std::set<std::string>{std::string(nom)});
            fs::remove(sortie.Fichier(std::string(nom)));
            fs::remove(ailleurs.Fichier("lien.txt"));
        }
    }
}

#ifndef _WIN32
// Les droits, comme un éditeur soigneux : une sortie neuve reçoit 0666 moins le masque ; une
// sortie remplacée garde ses bits, lecture seule comprise, quel que soit le masque.
TEST_F(ToutOuRien, DroitsGardesSousChaqueMasque) {
    ASSERT_TRUE(Chercher(module).ok());
    const auto Mode = [&](const std::string& nom) {
        struct stat info {};
        ::stat(sortie.Fichier(nom).c_str(), &info);
        return info.st_mode & 07777;
    };
    for (const mode_t masque : {mode_t{022}, mode_t{077}, mode_t{002}}) {
        SCOPED_TRACE(masque);
        struct Masque {
            mode_t avant;
            ~Masque() { ::umask(avant); }
        } garde{::umask(masque)};
        for (const std::string& nom : NomsSorties)
            fs::remove(sortie.Fichier(nom));
        ASSERT_TRUE(EcrireTout(module).ok());
        for (const std::string& nom : NomsSorties)
            EXPECT_EQ(Mode(nom), 0666u & ~masque) << nom;

        // Remplacées : 600, 444 (lecture seule) et 640 restent tels.
        const mode_t gardes[] = {0600, 0444, 0640};
        PoserAnciennes();
        for (std::size_t i = 0; i < NomsSorties.size(); ++i)
            ::chmod(sortie.Fichier(NomsSorties[i]).c_str(), gardes[i]);
        ASSERT_TRUE(EcrireTout(module).ok());
        EXPECT_EQ(Etat(), "nouvelles");
        for (std::size_t i = 0; i < NomsSorties.size(); ++i)
            EXPECT_EQ(Mode(NomsSorties[i]), gardes[i]) << NomsSorties[i];
    }
}
#endif

// Une sortie en lecture seule est remplacée et le reste (Linux et Windows).
TEST_F(ToutOuRien, SortieEnLectureSeuleRemplaceeEtToujoursEnLectureSeule) {
    ASSERT_TRUE(Chercher(module).ok());
    PoserAnciennes();
    for (const std::string& nom : NomsSorties)
        test::LectureSeule(sortie.Fichier(nom));
    ASSERT_TRUE(EcrireTout(module).ok());
    EXPECT_EQ(Etat(), "nouvelles");
    for (const std::string& nom : NomsSorties) {
        const auto droits = fs::status(sortie.Fichier(nom)).permissions();
        EXPECT_EQ(droits & fs::perms::owner_write, fs::perms::none) << nom;
    }
    EXPECT_EQ(Fichiers(), Attendus());
}

// Seuls les temporaires exacts d'un processus qui ne tourne plus sont supprimés ; les noms qui
// leur ressemblent restent.
TEST_F(ToutOuRien, SeulsLesVraisTemporairesOrphelinsSontSupprimes) {
    const std::string vivant = std::to_string(
#ifdef _WIN32
        static_cast<unsigned long>(::_getpid())
#else
        static_cast<unsigned long>(::getpid())
#endif
    );
    const std::vector<std::string> gardes = {
        "LogFinal.txt.tmp-ma-sauvegarde",
        "LogFinal.txt.tmp-",
        "LogFinal.txt.tmp-99999999-FEDCBA9876543210",       // majuscules
        "LogFinal.txt.tmp-99999999-0123456789abcde",        // 15 chiffres
        "LogFinal.txt.tmp-99999999-0123456789abcdef.bak",   // un suffixe de plus
        "LogFinal.txt.tmp-" + vivant + "-0123456789abcdef", // ce processus tourne
        "Autre.txt.tmp-99999999-0123456789abcdef",          // pas une sortie
    };
    const std::vector<std::string> orphelins = {
        "LogFinal.txt.tmp-99999999-0123456789abcdef",
        "LogFinal.html.tmp-99999999-fedcba9876543210-ancien",
        "LogVEKtemp.txt.tmp-99999999-00000000000000ff",
    };
    for (const std::string& nom : gardes)
        sortie.Ecrire(nom, "à garder");
    for (const std::string& nom : orphelins)
        sortie.Ecrire(nom, "");
    // Un ancien resté au garage alors que sa sortie n'a plus de fichier reprend son nom ; celui
    // d'une sortie qui a son fichier (LogFinal.html) est un orphelin comme les autres.
    sortie.Ecrire("LogFinal.jsonl.tmp-99999999-0123456789abcdef-ancien", "ancien");
    sortie.Ecrire("LogFinal.html", "actuelle");
    ASSERT_TRUE(Chercher(module).ok());
    std::set<std::string> attendus(gardes.begin(), gardes.end());
    attendus.insert("LogVEKtemp.txt");
    attendus.insert("LogFinal.jsonl");
    attendus.insert("LogFinal.html");
    EXPECT_EQ(test::LireTout(sortie.Fichier("LogFinal.jsonl")), "ancien");
    EXPECT_EQ(test::LireTout(sortie.Fichier("LogFinal.html")), "actuelle");
    EXPECT_EQ(Fichiers(), attendus);
    for (const std::string& nom : gardes)
        EXPECT_EQ(test::LireTout(sortie.Fichier(nom)), "à garder") << nom;
}

// Chaque code que le programme peut rencontrer a sa raison en français ; un code inconnu donne
// son numéro, jamais le texte anglais de la bibliothèque C.
TEST(RaisonsSysteme, EnFrancaisOuParNumero) {
    for (const int code :
         {ELOOP,     EFBIG,  EPIPE,     EINTR,  EAGAIN, EINVAL,    EXDEV,  ENOTEMPTY, ETXTBSY,
          ENXIO,     ENODEV, ESPIPE,    EBADF,  ENOMEM, EOVERFLOW, ENOSYS, ENOLCK,    EMLINK,
          ETIMEDOUT, EILSEQ, ECANCELED, ENOENT, EACCES, ENOSPC,    EROFS}) {
        const std::string raison = RaisonSysteme(code);
        EXPECT_NE(raison, std::strerror(code)) << code;
        EXPECT_EQ(raison.find("rror"), std::string::npos) << raison;
        EXPECT_EQ(raison.find("No such"), std::string::npos) << raison;
    }
    EXPECT_EQ(RaisonSysteme(98765), "erreur système n° 98765");
}

#ifndef _WIN32
// Le verrou : un lien planté sous son nom est dit comme tel, le nom du verrou et son dossier
// dans le message ; rien n'est écrit.
TEST_F(ToutOuRien, VerrouLienSymboliqueDitEnFrancais) {
    fs::create_symlink(ailleurs.Fichier("x"), sortie.Fichier(std::string(NomVerrou)));
    const auto r = Chercher(module);
    ASSERT_FALSE(r.ok());
    const std::string message = r.Echec().Message();
    EXPECT_NE(message.find("« LogVEK.verrou » est un lien symbolique"), std::string::npos)
        << message;
    EXPECT_NE(message.find(sortie.Chemin()), std::string::npos);
    EXPECT_EQ(message.find("Too many"), std::string::npos);
    EXPECT_FALSE(fs::exists(ailleurs.Fichier("x")));
}

// Sous un autre utilisateur (root lance le cas sous « nobody ») : le verrou laissé par root,
// illisible, est dit à qui il appartient ; et dans un dossier partagé (1777) où une sortie est
// à root, l'échange refusé ne laisse aucune sortie remplacée.
TEST_F(ToutOuRien, AutreUtilisateurVerrouEtSortieProtegee) {
    if (!test::Administrateur())
        GTEST_SKIP() << "il faut root pour créer les fichiers d'un autre utilisateur";
    ::chmod(sortie.Chemin().c_str(), 01777);
    ::chmod(ailleurs.Chemin().c_str(), 0755);
    const std::string journal = ailleurs.Ecrire("journal.txt", Journal(3));
    ::chmod(journal.c_str(), 0644);
    const std::string verrou = sortie.Ecrire(std::string(NomVerrou), "");
    ::chmod(verrou.c_str(), 0600);
    PoserAnciennes();
    for (const std::string& nom : NomsSorties)
        ::chmod(sortie.Fichier(nom).c_str(), 0666);
    const uid_t personne = 65534;
    for (const std::string& nom : {std::string("LogFinal.txt"), std::string("LogFinal.html")})
        ::chown(sortie.Fichier(nom).c_str(), personne, personne);
    const pid_t fils = ::fork();
    ASSERT_GE(fils, 0);
    if (fils == 0) {
        if (::setgid(personne) != 0 || ::setuid(personne) != 0)
            ::_exit(3);
        Moteur m{test::Reglages(sortie.Chemin())};
        test::ProgressionNotee p;
        auto r = test::Chercher(m, journal, {2001, 12, 24}, {2001, 12, 24}, p);
        const bool ditQui =
            !r.ok() &&
            r.Echec().raison.find("appartient à l'utilisateur « root »") != std::string::npos &&
            r.Echec().raison.find("peut être supprimé") != std::string::npos;
        if (!ditQui)
            ::_exit(4);
        ::unlink(verrou.c_str()); // impossible pour lui : 1777
        ::_exit(5);
    }
    int etat = 0;
    ASSERT_EQ(::waitpid(fils, &etat, 0), fils);
    ASSERT_TRUE(WIFEXITED(etat));
    EXPECT_EQ(WEXITSTATUS(etat), 5);

    // Le verrou parti, la passe arrive aux échanges : LogFinal.jsonl, à root, ne peut pas être
    // remplacé par « nobody » dans un dossier 1777.
    fs::remove(verrou);
    const pid_t second = ::fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        if (::setgid(personne) != 0 || ::setuid(personne) != 0)
            ::_exit(3);
        Moteur m{test::Reglages(sortie.Chemin())};
        test::ProgressionNotee p;
        if (!test::Chercher(m, journal, {2001, 12, 24}, {2001, 12, 24}, p).ok())
            ::_exit(4);
        const auto r =
            test::Ecrire(m, selection, modes, FormatsSortie::De({"texte", "html", "json"}), p);
        const bool honnete =
            !r.ok() && r.Echec().fichier == sortie.Fichier("LogFinal.jsonl") &&
            r.Echec().raison.find("aucune sortie n'a été remplacée") != std::string::npos;
        ::_exit(honnete ? 5 : 6);
    }
    ASSERT_EQ(::waitpid(second, &etat, 0), second);
    ASSERT_TRUE(WIFEXITED(etat));
    EXPECT_EQ(WEXITSTATUS(etat), 5);
    EXPECT_EQ(Etat(), "anciennes");
    std::set<std::string> attendus = Attendus();
    EXPECT_EQ(Fichiers(), attendus);
}
#endif

// Un journal qui est un dossier, un périphérique ou un tube nommé : « n'est pas un fichier
// ordinaire », et l'analyse n'attend jamais (un tube sans écrivain la bloquerait).
TEST_F(ToutOuRien, JournalQuiNEstPasUnFichierOrdinaire) {
    std::vector<std::string> chemins = {ailleurs.Chemin()};
#ifndef _WIN32
    chemins.push_back("/dev/null");
    const std::string tube = ailleurs.Fichier("tube");
    ASSERT_EQ(::mkfifo(tube.c_str(), 0644), 0);
    chemins.push_back(tube);
#endif
    for (const std::string& chemin : chemins) {
        SCOPED_TRACE(chemin);
        const auto analyse = module.Analyser({chemin}, progression);
        ASSERT_FALSE(analyse.ok());
        EXPECT_NE(analyse.Echec().raison.find("n'est pas un fichier ordinaire"), std::string::npos);
        const auto recherche =
            test::Chercher(module, chemin, {2001, 12, 24}, {2001, 12, 24}, progression);
        ASSERT_FALSE(recherche.ok());
        EXPECT_EQ(recherche.Echec().Message().find("introuvable"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_empty(sortie.Chemin()));
}

} // namespace
} // namespace vek
