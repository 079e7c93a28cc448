// Lecture du registre comme texte et lanceur de l'outil d'informations système, contre un faux
// registre ; puis le substitut du registre hors de Windows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>

#include "DossierTemporaire.h"
#include "FauxRegistre.h"
#include "InfoSysteme.h"
#include "Registre.h"

using namespace vek;
using vek::test::DossierTemporaire;
using vek::test::FauxRegistre;
using vek::test::FauxServices;

namespace {

const std::string CleChemin = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string CleDossier = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string MessageAttendu = "Les informations système ne sont pas disponibles actuellement";
const std::string TitreAttendu = "Extracteur de LOG VEK";

std::string Octets(std::size_t n, char c) {
    return std::string(n, c);
}

// --- LireCleRegistre, cas par cas ---

struct CasLecture {
    const char* nom;
    bool clePresente;
    bool ecritureRefusee;
    bool valeurPresente;
    std::uint32_t type;
    std::string donnees;
    std::string sortieAvant;
    bool resultat;
    std::string sortieApres;
};

void PrintTo(const CasLecture& cas, std::ostream* sortie) {
    *sortie << cas.nom;
}

class LectureRegistre : public ::testing::TestWithParam<CasLecture> {};

TEST_P(LectureRegistre, RendLeTexteAttendu) {
    const CasLecture& cas = GetParam();
    FauxRegistre registre;
    if (cas.clePresente) {
        registre.cles[CleChemin].ecritureRefusee = cas.ecritureRefusee;
        if (cas.valeurPresente)
            registre.Poser(CleChemin, "PATH", cas.type, cas.donnees);
    }
    std::string sortie = cas.sortieAvant;
    EXPECT_EQ(LireCleRegistre(registre, CleMachineLocale, CleChemin, "PATH", sortie), cas.resultat);
    EXPECT_EQ(sortie, cas.sortieApres);
    // Toujours avec les droits demandés, options 0, et chaque clé ouverte est refermée.
    ASSERT_EQ(registre.masques.size(), 1u);
    EXPECT_EQ(registre.masques[0], 0x2003Fu);
    EXPECT_EQ(registre.options[0], 0u);
    EXPECT_TRUE(registre.ouvertes.empty());
    if (!registre.lectures.empty()) {
        EXPECT_EQ(registre.taillesOffertes[0], 1024u);
    }
}

const std::string CheminOutil = "C:\\Program Files\\Common Files\\MSInfo\\msinfo32.exe";

INSTANTIATE_TEST_SUITE_P(
    Cas, LectureRegistre,
    ::testing::Values(
        CasLecture{"ChaineAvecNulFinal", true, false, true, TypeChaine,
                   CheminOutil + std::string(1, '\0'), "", true, CheminOutil},
        CasLecture{"ChaineSansNulGardeTousSesOctets", true, false, true, TypeChaine, "abc", "",
                   true, "abc"},
        CasLecture{"ChaineNeLaissePasSeulementLeNulFinal", true, false, true, TypeChaine,
                   std::string("ab\0cd\0", 6), "", true, std::string("ab\0cd", 5)},
        CasLecture{"ChaineReduiteAuNul", true, false, true, TypeChaine, std::string(1, '\0'),
                   "ancien", true, ""},
        CasLecture{"ChaineDe1024OctetsAvecNul", true, false, true, TypeChaine,
                   Octets(1023, 'x') + std::string(1, '\0'), "", true, Octets(1023, 'x')},
        CasLecture{"ChaineDe1024OctetsSansNul", true, false, true, TypeChaine, Octets(1024, 'y'),
                   "", true, Octets(1024, 'y')},
        CasLecture{"PlusDe1024OctetsCompteCommeAbsente", true, false, true, TypeChaine,
                   Octets(1024, 'z') + std::string(1, '\0'), "ancien", false, ""},
        CasLecture{"ValeurAbsente", true, false, false, TypeChaine, "", "ancien", false, ""},
        CasLecture{"CleAbsente", false, false, false, TypeChaine, "", "ancien", false, ""},
        CasLecture{"DroitsDEcritureRefusesCommeAbsente", true, true, true, TypeChaine,
                   CheminOutil + std::string(1, '\0'), "ancien", false, ""},
        CasLecture{"ChaineExpansibleLaisseLaSortie", true, false, true, TypeChaineExpansible,
                   std::string("%SystemRoot%\\msinfo32.exe\0", 26), "ancien", true, "ancien"},
        CasLecture{"BinaireLaisseLaSortie", true, false, true, TypeBinaire,
                   std::string("\x01\x02", 2), "", true, ""},
        CasLecture{"Mot32EnDecimal", true, false, true, TypeMot32,
                   std::string("\x05\x00\x00\x00", 4), "", true, "5"},
        CasLecture{"Mot32SansDependreDeLEntree", true, false, true, TypeMot32,
                   std::string("\x78\x56\x34\x12", 4), "ancien", true, "305419896"},
        CasLecture{"Mot32OctetsFaibles", true, false, true, TypeMot32,
                   std::string("\x05\x01\x00\x00", 4), "", true, "261"},
        CasLecture{"Mot32Maximal", true, false, true, TypeMot32, std::string("\xFF\xFF\xFF\xFF", 4),
                   "", true, "4294967295"}),
    [](const ::testing::TestParamInfo<CasLecture>& cas) { return std::string(cas.param.nom); });

TEST(LectureRegistreErreur, ValeurSansDonneesLeveUneErreurEtRefermeLaCle) {
    for (std::uint32_t type : {TypeChaine, TypeMot32, TypeChaineExpansible}) {
        FauxRegistre registre;
        registre.Poser(CleChemin, "PATH", type, "");
        std::string sortie = "ancien";
        EXPECT_THROW(LireCleRegistre(registre, CleMachineLocale, CleChemin, "PATH", sortie),
                     ErreurRegistre)
            << "type " << type;
        EXPECT_TRUE(registre.ouvertes.empty());
        EXPECT_EQ(registre.fermetures, 1);
    }
}

TEST(LectureRegistreErreur, RacineInconnueCommeAbsente) {
    FauxRegistre registre;
    registre.Poser(CleChemin, "PATH", TypeChaine, "x");
    std::string sortie = "ancien";
    EXPECT_FALSE(LireCleRegistre(registre, 0x80000001u, CleChemin, "PATH", sortie));
    EXPECT_EQ(sortie, "");
    EXPECT_EQ(registre.fermetures, 0); // rien d'ouvert, rien à fermer
}

// --- LancerInfoSysteme ---

struct CasLancement {
    const char* nom;
    std::function<void(FauxRegistre&, FauxServices&)> preparer;
    std::vector<std::string> demarragesAttendus;
    bool messageAttendu;
    std::vector<std::string> lecturesAttendues;
};

void PrintTo(const CasLancement& cas, std::ostream* sortie) {
    *sortie << cas.nom;
}

class Lancement : public ::testing::TestWithParam<CasLancement> {};

const std::string LecturePath = CleChemin + "|PATH";
const std::string LectureMsinfo = CleDossier + "|MSINFO";
const std::string DossierOutil = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";

TEST_P(Lancement, EssaieLesEmplacementsDansLOrdre) {
    const CasLancement& cas = GetParam();
    FauxRegistre registre;
    FauxServices services;
    cas.preparer(registre, services);

    LancerInfoSysteme(registre, services);

    EXPECT_EQ(services.demarrages, cas.demarragesAttendus);
    EXPECT_EQ(registre.lectures, cas.lecturesAttendues);
    if (cas.messageAttendu) {
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].texte, MessageAttendu);
        EXPECT_EQ(services.messages[0].titre, TitreAttendu);
    } else {
        EXPECT_TRUE(services.messages.empty());
    }
    EXPECT_TRUE(registre.ouvertes.empty()) << "une clé est restée ouverte";
}

INSTANTIATE_TEST_SUITE_P(
    Cas, Lancement,
    ::testing::Values(
        CasLancement{"CheminPresentDemarreSansLireLeSecondEmplacement",
                     [](FauxRegistre& r, FauxServices&) {
                         r.Poser(CleChemin, "PATH", TypeChaine, CheminOutil + '\0');
                         r.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
                     },
                     {CheminOutil},
                     false,
                     {LecturePath}},
        CasLancement{"CheminAbsentDossierAvecLOutil",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
                         s.fichiers.insert(DossierOutil + "\\MSINFO32.EXE");
                     },
                     {DossierOutil + "\\MSINFO32.EXE"},
                     false,
                     {LectureMsinfo}},
        CasLancement{"CleCheminPresenteSansValeur",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.cles[CleChemin];
                         r.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
                         s.fichiers.insert(DossierOutil + "\\MSINFO32.EXE");
                     },
                     {DossierOutil + "\\MSINFO32.EXE"},
                     false,
                     {LecturePath, LectureMsinfo}},
        CasLancement{"DossierSansLOutil",
                     [](FauxRegistre& r, FauxServices&) {
                         r.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
                     },
                     {},
                     true,
                     {LectureMsinfo}},
        CasLancement{"AucuneValeur", [](FauxRegistre&, FauxServices&) {}, {}, true, {}},
        CasLancement{"CheminExpansibleDemarreUnCheminVide",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.Poser(CleChemin, "PATH", TypeChaineExpansible,
                                 std::string("%ProgramFiles%\\msinfo32.exe") + '\0');
                         r.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
                         s.fichiers.insert(DossierOutil + "\\MSINFO32.EXE");
                     },
                     {""},
                     true,
                     {LecturePath}},
        CasLancement{"CheminTropLongCompteCommeAbsent",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.Poser(CleChemin, "PATH", TypeChaine, std::string(2000, 'c') + '\0');
                         r.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
                         s.fichiers.insert(DossierOutil + "\\MSINFO32.EXE");
                     },
                     {DossierOutil + "\\MSINFO32.EXE"},
                     false,
                     {LecturePath, LectureMsinfo}},
        CasLancement{"CheminSansDonneesFinitParLeMessage",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.Poser(CleChemin, "PATH", TypeChaine, "");
                         r.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
                         s.fichiers.insert(DossierOutil + "\\MSINFO32.EXE");
                     },
                     {},
                     true,
                     {LecturePath}},
        CasLancement{
            "DossierSansDonneesFinitParLeMessage",
            [](FauxRegistre& r, FauxServices&) { r.Poser(CleDossier, "MSINFO", TypeChaine, ""); },
            {},
            true,
            {LectureMsinfo}},
        CasLancement{"CleEnLectureSeuleCompteCommeAbsente",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.Poser(CleChemin, "PATH", TypeChaine, CheminOutil + '\0');
                         r.cles[CleChemin].ecritureRefusee = true;
                         r.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
                         s.fichiers.insert(DossierOutil + "\\MSINFO32.EXE");
                     },
                     {DossierOutil + "\\MSINFO32.EXE"},
                     false,
                     {LectureMsinfo}},
        CasLancement{"CheminQuiNeMeneANulleProgramme",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.Poser(CleChemin, "PATH", TypeChaine, "C:\\absent.exe");
                         s.demarrageReussi = false;
                     },
                     {"C:\\absent.exe"},
                     true,
                     {LecturePath}},
        CasLancement{"DemarrageQuiLeveUneErreur",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.Poser(CleChemin, "PATH", TypeChaine, CheminOutil + '\0');
                         s.demarrageLeveErreur = true;
                     },
                     {CheminOutil},
                     true,
                     {LecturePath}},
        CasLancement{"DossierDonneEnMot32",
                     [](FauxRegistre& r, FauxServices& s) {
                         r.Poser(CleDossier, "MSINFO", TypeMot32, std::string("\x07\0\0\0", 4));
                         s.fichiers.insert("7\\MSINFO32.EXE");
                     },
                     {"7\\MSINFO32.EXE"},
                     false,
                     {LectureMsinfo}}),
    [](const ::testing::TestParamInfo<CasLancement>& cas) { return std::string(cas.param.nom); });

TEST(LancementRepete, ChaqueDemandeRepartDuPremierEmplacement) {
    FauxRegistre registre;
    FauxServices services;
    registre.Poser(CleDossier, "MSINFO", TypeChaine, DossierOutil + '\0');
    services.fichiers.insert(DossierOutil + "\\MSINFO32.EXE");
    LancerInfoSysteme(registre, services);
    // L'outil arrive au premier emplacement entre deux demandes.
    registre.Poser(CleChemin, "PATH", TypeChaine, CheminOutil + '\0');
    LancerInfoSysteme(registre, services);
    EXPECT_EQ(services.demarrages,
              (std::vector<std::string>{DossierOutil + "\\MSINFO32.EXE", CheminOutil}));
    EXPECT_TRUE(services.messages.empty());
}

TEST(LancementRepete, UnEchecNEmpechePasLaDemandeSuivante) {
    FauxRegistre registre;
    FauxServices services;
    LancerInfoSysteme(registre, services);
    LancerInfoSysteme(registre, services);
    EXPECT_EQ(services.messages.size(), 2u);
}

// --- Substitut hors de Windows ---

#ifndef _WIN32

std::string PoserProgramme(const DossierTemporaire& dossier, const std::string& sousDossier,
                           const std::string& nom, bool executable) {
    std::filesystem::create_directories(dossier.Fichier(sousDossier));
    const std::string chemin = dossier.Ecrire(sousDossier + "/" + nom, "#!/bin/sh\nexit 0\n");
    ::chmod(chemin.c_str(), executable ? 0755 : 0644);
    return chemin;
}

TEST(RegistreSubstitut, DonneLePremierOutilTrouveDansLeCheminDeRecherche) {
    DossierTemporaire d;
    PoserProgramme(d, "a", "hardinfo", false); // pas exécutable : ignoré
    const std::string attendu = PoserProgramme(d, "b", "gnome-system-monitor", true);
    PoserProgramme(d, "a", "lshw-gtk", true); // plus loin dans la liste des candidats
    std::filesystem::create_directories(d.Fichier("a/kinfocenter")); // un dossier : ignoré
    RegistreSubstitut registre(d.Fichier("a") + "::" + d.Fichier("b") + "/",
                               RegistreSubstitut::CandidatsUsuels());

    std::string chemin = "ancien";
    ASSERT_TRUE(LireCleRegistre(registre, CleMachineLocale, CleChemin, "PATH", chemin));
    EXPECT_EQ(chemin, attendu);
    // La casse des noms de clé et de valeur ne compte pas, comme sous Windows.
    chemin.clear();
    EXPECT_TRUE(LireCleRegistre(registre, CleMachineLocale,
                                "software\\microsoft\\shared tools\\msinfo", "Path", chemin));
    EXPECT_EQ(chemin, attendu);
}

TEST(RegistreSubstitut, SansOutilNiSecondEmplacement) {
    DossierTemporaire d;
    RegistreSubstitut registre(d.Chemin(), RegistreSubstitut::CandidatsUsuels());
    std::string chemin = "ancien";
    EXPECT_FALSE(LireCleRegistre(registre, CleMachineLocale, CleChemin, "PATH", chemin));
    EXPECT_EQ(chemin, "");
    PoserProgramme(d, ".", "hardinfo", true);
    chemin = "ancien";
    EXPECT_FALSE(LireCleRegistre(registre, CleMachineLocale, CleDossier, "MSINFO", chemin));
    EXPECT_EQ(chemin, "");
}

TEST(RegistreSubstitut, LanceurDemarreLOutilTrouveOuDitQuIlManque) {
    DossierTemporaire d;
    RegistreSubstitut registre(d.Chemin(), {"outil-infos"});
    FauxServices services;
    LancerInfoSysteme(registre, services);
    EXPECT_TRUE(services.demarrages.empty());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].texte, MessageAttendu);

    const std::string outil = PoserProgramme(d, ".", "outil-infos", true);
    LancerInfoSysteme(registre, services);
    ASSERT_EQ(services.demarrages.size(), 1u);
    EXPECT_EQ(std::filesystem::path(services.demarrages[0]).lexically_normal(),
              std::filesystem::path(outil).lexically_normal());
    EXPECT_EQ(services.messages.size(), 1u);
}

#endif

} // namespace
