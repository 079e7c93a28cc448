// Ce qui n'existe que sous Windows, contre le vrai système (wine dans l'intégration continue) :
// le registre, l'ouverture d'un document par ShellExecuteA, les attributs de fichiers et le
// remplacement d'un journal final en lecture seule ou ouvert par un autre programme.
// scripts/tests-windows.sh prépare le préfixe wine (clés d'essai, visionneuse factice) et le dit
// par VEK_PREFIXE_PREPARE ; sans elle, les essais qui en dépendent sont sautés.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include <windows.h>

#include "DossierTemporaire.h"
#include "Fichiers.h"
#include "InfoSysteme.h"
#include "Lanceur.h"
#include "ModuleVEK.h"
#include "OutilsMoteur.h"
#include "Registre.h"
#include "SystemeDeTest.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

bool PrefixePrepare() {
    return std::getenv("VEK_PREFIXE_PREPARE") != nullptr;
}

// --- le registre : les clés que scripts/tests-windows.sh écrit sous HKLM\SOFTWARE\VEK-Essais ---

TEST(RegistreWindows, LesCasDeLaLecture) {
    if (!PrefixePrepare())
        GTEST_SKIP() << "préfixe wine non préparé";
    Registre& r = RegistreSysteme();
    struct Cas {
        const char* sousCle;
        const char* valeur;
        bool lue;
        std::string attendu;
    };
    const Cas cas[] = {
        {"SOFTWARE\\VEK-Essais\\Absente", "Chemin", false, ""},
        {"SOFTWARE\\VEK-Essais", "Manque", false, ""},
        {"SOFTWARE\\VEK-Essais", "Chemin", true,
         "C:\\Program Files\\Outil \xE9t\xE9\\msinfo32.exe"},
        {"SOFTWARE\\VEK-Essais", "Mot", true, "4242"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.valeur);
        std::string sortie = "avant";
        EXPECT_EQ(LireCleRegistre(r, CleMachineLocale, c.sousCle, c.valeur, sortie), c.lue);
        EXPECT_EQ(sortie, c.attendu);
    }
    // Une valeur sans aucune donnée ne peut pas être coupée à sa taille.
    std::string sortie;
    EXPECT_THROW(LireCleRegistre(r, CleMachineLocale, "SOFTWARE\\VEK-Essais", "Vide", sortie),
                 ErreurRegistre);
}

// --- l'outil d'informations système : présence d'un fichier ---

class ServicesSansMessage final : public ServicesInfoSystemeNatifs {
public:
    void Message(std::string_view, std::string_view) override {}
};

// Un fichier caché ou système ne compte pas, un dossier non plus.
TEST(InfoSystemeWindows, FichierPresentParSesAttributs) {
    test::DossierTemporaire d;
    const std::string fichier = d.Ecrire("msinfo32.exe", "MZ");
    const std::string cache = d.Ecrire("cache.exe", "MZ");
    SetFileAttributesA(cache.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::string systeme = d.Ecrire("systeme.exe", "MZ");
    SetFileAttributesA(systeme.c_str(), FILE_ATTRIBUTE_SYSTEM);
    ServicesSansMessage services;
    EXPECT_TRUE(services.FichierPresent(fichier));
    EXPECT_FALSE(services.FichierPresent(cache));
    EXPECT_FALSE(services.FichierPresent(systeme));
    EXPECT_FALSE(services.FichierPresent(d.Fichier("absent.exe")));
    EXPECT_FALSE(services.FichierPresent(d.Chemin()));
}

// --- l'ouverture d'un document : ShellExecuteA, la visionneuse factice associée à « .txt » ---

TEST(LanceurWindows, ShellExecuteOuvreLeDocumentDepuisC) {
    if (!PrefixePrepare())
        GTEST_SKIP() << "préfixe wine non préparé";
    test::DossierTemporaire d;
    fs::create_directory(d.Fichier("Mes documents \xE9t\xE9"));
    const std::string document = d.Ecrire("Mes documents \xE9t\xE9/LogFinal.txt", "x\r\n");
    const std::string temoin = d.Fichier("temoin.txt");
    SetEnvironmentVariableA("VEK_VISIONNEUSE_SORTIE", temoin.c_str());
    LanceurSysteme lanceur;
    EXPECT_TRUE(lanceur.OuvrirDocument(document));
    for (int i = 0; i < 300 && !fs::exists(temoin); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(fs::exists(temoin)) << "la visionneuse n'a rien écrit";
    EXPECT_EQ(test::LireTout(temoin), document + "\n" + "C:\\\n");
    EXPECT_FALSE(LanceurSysteme().OuvrirDocument(d.Fichier("absent.txt")));
}

// --- le remplacement du journal final ---

class JournalFinalWindows : public ::testing::Test {
protected:
    test::DossierTemporaire programme;
    test::DossierTemporaire ailleurs;
    ModuleVEK module{programme.Chemin()};
    test::ProgressionNotee progression;
    ModesPartages modes;
    Selection selection;

    void SetUp() override {
        selection.AjouterChannel("[Commerce]");
        selection.AjouterNom("Aldric");
        const std::string journal = ailleurs.Ecrire(
            "journal.txt", "12/24/2001 [18:30:05] [Commerce] \"Aldric\": salut\r\n");
        ASSERT_TRUE(module.Rechercher(journal, {2001, 12, 24}, {2001, 12, 24}, progression).ok());
    }
    std::set<std::string> Fichiers() const {
        std::set<std::string> noms;
        for (const auto& e : fs::directory_iterator(programme.Chemin()))
            noms.insert(e.path().filename().string());
        return noms;
    }
};

TEST_F(JournalFinalWindows, AncienEnLectureSeuleRemplace) {
    const std::string final = programme.Ecrire("LogFinal.txt", "ancien\r\n");
    SetFileAttributesA(final.c_str(), FILE_ATTRIBUTE_READONLY);
    const auto r = module.EcrireLogFinal(selection, modes, progression);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_NE(test::LireTout(final).find("salut"), std::string::npos);
    EXPECT_EQ(Fichiers(), (std::set<std::string>{"LogFinal.txt", "LogVEKtemp.txt"}));
}

// Un autre programme tient l'ancien ouvert (sans partager sa suppression) : Windows refuse de le
// remplacer. L'échec le dit, l'ancien reste entier et aucun temporaire ne traîne ; une fois le
// fichier fermé, tout repart.
TEST_F(JournalFinalWindows, AncienOuvertAilleursGardeEtDit) {
    const std::string final = programme.Ecrire("LogFinal.txt", "ancien\r\n");
    HANDLE tenu = CreateFileA(final.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(tenu, INVALID_HANDLE_VALUE);
    const auto r = module.EcrireLogFinal(selection, modes, progression);
    CloseHandle(tenu);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.Echec().raison.find("ouvert dans un autre programme"), std::string::npos)
        << r.Echec().Message();
    EXPECT_NE(r.Echec().raison.find("l'ancien fichier est resté tel quel"), std::string::npos)
        << r.Echec().Message();
    EXPECT_EQ(test::LireTout(final), "ancien\r\n");
    EXPECT_EQ(Fichiers(), (std::set<std::string>{"LogFinal.txt", "LogVEKtemp.txt"}));
    EXPECT_TRUE(module.EcrireLogFinal(selection, modes, progression).ok());
}

// Le journal est l'extrait lui-même, désigné par un autre chemin : il est reconnu à son
// identité de fichier (volume et index), pas à son nom.
TEST_F(JournalFinalWindows, LeJournalNEstJamaisUneSortieMemeParUnAutreChemin) {
    const std::string extrait = module.CheminExtrait();
    std::string court(MAX_PATH, '\0');
    const DWORD n = GetShortPathNameA(extrait.c_str(), court.data(), MAX_PATH);
    court.resize(n);
    for (const std::string& journal : {extrait, court}) {
        if (journal.empty())
            continue;
        SCOPED_TRACE(journal);
        const auto issue = module.Rechercher(journal, {2001, 12, 24}, {2001, 12, 24}, progression);
        ASSERT_FALSE(issue.ok());
        EXPECT_NE(issue.Echec().Message().find("fichier de sortie"), std::string::npos);
    }
    EXPECT_NE(test::LireTout(extrait).find("salut"), std::string::npos);
}

} // namespace
} // namespace vek
