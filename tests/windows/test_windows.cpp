// Ce qui n'existe que sous Windows, contre le vrai système (wine dans l'intégration continue) :
// le registre (l'outil d'informations système), l'ouverture d'un document par ShellExecuteA, les
// attributs de fichiers et le remplacement d'un journal final en lecture seule ou ouvert par un
// autre programme. scripts/tests-windows.sh prépare le préfixe wine (visionneuse factice associée à
// « .txt ») et le dit par VEK_PREFIXE_PREPARE ; sans elle, les essais qui en dépendent sont sautés.
// Les clés de l'outil d'informations système sont écrites par le test lui-même.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include <windows.h>

#include "DossierTemporaire.h"
#include "Fichiers.h"
#include "InfoSysteme.h"
#include "Lanceur.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "Systeme.h"
#include "SystemeDeTest.h"
#include "Validation.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

bool PrefixePrepare() {
    return std::getenv("VEK_PREFIXE_PREPARE") != nullptr;
}

// --- l'outil d'informations système : les deux emplacements du vrai registre ---

// Les deux clés de l'outil, écrites par le test (le préfixe wine est jetable) puis effacées.
class RegistreDeLOutil : public ::testing::Test {
protected:
    void SetUp() override {
        Effacer();
        HKEY cle = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &cle, nullptr) != ERROR_SUCCESS)
            GTEST_SKIP() << "registre de la machine non inscriptible";
        RegCloseKey(cle);
        Effacer();
    }
    void TearDown() override { Effacer(); }

    static void Effacer() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location");
    }
    static void Poser(const char* sousCle, const char* nom, DWORD type, const std::string& octets) {
        HKEY cle = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, sousCle, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &cle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(cle, nom, 0, type, reinterpret_cast<const BYTE*>(octets.data()),
                       static_cast<DWORD>(octets.size()));
        RegCloseKey(cle);
    }
    static void Chemin(DWORD type, const std::string& octets) {
        Poser("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", type, octets);
    }
    static void Dossier(const std::string& dossier) {
        Poser("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", REG_SZ, dossier + '\0');
    }
};

// Chaque règle de la lecture, le premier emplacement l'emportant sur le second.
TEST_F(RegistreDeLOutil, LesDeuxEmplacementsDansLOrdre) {
    test::DossierTemporaire d;
    const std::string avecOutil = d.Chemin() + "\\avec";
    const std::string sansOutil = d.Chemin() + "\\sans";
    fs::create_directories(avecOutil);
    fs::create_directories(sansOutil);
    d.Ecrire("avec/MSINFO32.EXE", "MZ");
    const std::string outil = "C:\\Program Files\\Outil \xE9t\xE9\\msinfo32.exe";
    const std::string mot("\x92\x10\x00\x00", 4); // 4242
    const struct {
        const char* nom;
        std::function<void()> poser;
        std::optional<std::string> attendu;
    } cas[] = {
        {"rien", [] {}, std::nullopt},
        {"chemin, le dossier n'est pas lu",
         [&] {
             Chemin(REG_SZ, outil + '\0');
             Dossier(avecOutil);
         },
         outil},
        {"chemin sans NUL final", [&] { Chemin(REG_SZ, outil); }, outil},
        {"dossier avec l'outil", [&] { Dossier(avecOutil); }, avecOutil + "\\MSINFO32.EXE"},
        {"dossier sans l'outil", [&] { Dossier(sansOutil); }, std::nullopt},
        {"chemin expansible : vide",
         [&] {
             Chemin(REG_EXPAND_SZ, outil + '\0');
             Dossier(avecOutil);
         },
         ""},
        {"mot de 32 bits", [&] { Chemin(REG_DWORD, mot); }, "4242"},
        {"chemin de plus de 1024 octets : absent",
         [&] {
             Chemin(REG_SZ, std::string(1500, 'x') + '\0');
             Dossier(avecOutil);
         },
         avecOutil + "\\MSINFO32.EXE"},
        {"chemin sans données : rien, le dossier n'est pas lu",
         [&] {
             Chemin(REG_BINARY, "");
             Dossier(avecOutil);
         },
         std::nullopt},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        Effacer();
        c.poser();
        EXPECT_EQ(CheminOutilInfoSysteme(), c.attendu);
    }
    // Un fichier caché ou système ne compte pas.
    Effacer();
    Dossier(avecOutil);
    const std::string fichier = avecOutil + "\\MSINFO32.EXE";
    for (const DWORD attribut : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        SetFileAttributesA(fichier.c_str(), attribut);
        EXPECT_EQ(CheminOutilInfoSysteme(), std::nullopt) << attribut;
    }
    SetFileAttributesA(fichier.c_str(), FILE_ATTRIBUTE_NORMAL);
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
    Moteur module{test::Reglages(programme.Chemin())};
    test::ProgressionNotee progression;
    ModesPartages modes;
    Selection selection;

    void SetUp() override {
        selection.AjouterChannel("[Commerce]");
        selection.AjouterNom("Aldric");
        const std::string journal = ailleurs.Ecrire(
            "journal.txt", "12/24/2001 [18:30:05] [Commerce] \"Aldric\": salut\r\n");
        ASSERT_TRUE(
            test::Chercher(module, journal, {2001, 12, 24}, {2001, 12, 24}, progression).ok());
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
    const auto r = test::EcrireLogFinal(module, selection, modes, progression);
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
    const auto r = test::EcrireLogFinal(module, selection, modes, progression);
    CloseHandle(tenu);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.Echec().raison.find("ouvert dans un autre programme"), std::string::npos)
        << r.Echec().Message();
    EXPECT_NE(r.Echec().raison.find("l'ancien fichier est resté tel quel"), std::string::npos)
        << r.Echec().Message();
    EXPECT_EQ(test::LireTout(final), "ancien\r\n");
    EXPECT_EQ(Fichiers(), (std::set<std::string>{"LogFinal.txt", "LogVEKtemp.txt"}));
    EXPECT_TRUE(test::EcrireLogFinal(module, selection, modes, progression).ok());
}

// Sous Windows, qui n'échange pas deux noms, le nouveau journal final remplace l'ancien d'un seul
// renommage, l'ancien gardé un instant sous un second nom (lien physique) : le nom n'est jamais
// libre. L'ancien en lecture seule, le nouveau l'est aussi. Un lecteur qui tient l'ancien ouvert
// en partageant sa suppression n'empêche pas le remplacement (passé quelques essais, il se fait
// par trois renommages) ; une fois l'ancien lâché, rien ne reste que la sortie.
TEST_F(JournalFinalWindows, RemplaceDUnSeulRenommageMemeTenuOuvert) {
    struct Compte : SystemeValidation {
        int remplaces = 0;
        int Remplacer(const NomFichier& s, const NomFichier& c, const NomFichier& g) override {
            const int code = SystemeValidation::Remplacer(s, c, g);
            remplaces += code == 0;
            return code;
        }
    };
    for (const bool tenu : {false, true}) {
        SCOPED_TRACE(tenu ? "tenu ouvert" : "libre");
        const std::string final = programme.Ecrire("LogFinal.txt", "ancien\r\n");
        SetFileAttributesA(final.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE lecteur = INVALID_HANDLE_VALUE;
        if (tenu)
            lecteur = CreateFileA(final.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        Compte compte;
        Moteur compteur{test::Reglages(programme.Chemin(), compte)};
        const auto r = test::EcrireLogFinal(compteur, selection, modes, progression);
        if (lecteur != INVALID_HANDLE_VALUE)
            CloseHandle(lecteur);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
        EXPECT_EQ(compte.remplaces, tenu ? 0 : 1);
        EXPECT_NE(test::LireTout(final).find("salut"), std::string::npos);
        EXPECT_NE(GetFileAttributesA(final.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
        EXPECT_EQ(Fichiers(), (std::set<std::string>{"LogFinal.txt", "LogVEKtemp.txt"}));
        SetFileAttributesA(final.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
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
        const auto issue =
            test::Chercher(module, journal, {2001, 12, 24}, {2001, 12, 24}, progression);
        ASSERT_FALSE(issue.ok());
        EXPECT_NE(issue.Echec().Message().find("fichier de sortie"), std::string::npos);
    }
    EXPECT_NE(test::LireTout(extrait).find("salut"), std::string::npos);
}

// --- le dossier de données par utilisateur d'une copie installée ---

// Remet une variable d'environnement comme elle était à la fin du test.
class VariableGardee {
public:
    explicit VariableGardee(const char* nom) : nom_(nom) {
        if (const char* v = std::getenv(nom))
            valeur_ = v;
    }
    ~VariableGardee() { ::_putenv_s(nom_, valeur_ ? valeur_->c_str() : ""); }
    VariableGardee(const VariableGardee&) = delete;
    VariableGardee& operator=(const VariableGardee&) = delete;

private:
    const char* nom_;
    std::optional<std::string> valeur_;
};

TEST(DonneesUtilisateurWindows, DossierVEKLogSousLOCALAPPDATA) {
    VariableGardee garde("LOCALAPPDATA");
    test::DossierTemporaire local;
    ASSERT_EQ(::_putenv_s("LOCALAPPDATA", local.Chemin().c_str()), 0);
    EXPECT_EQ(systeme::DossierDonneesUtilisateur(), local.Chemin() + "\\VEK_Log");
}

TEST(DonneesUtilisateurWindows, SansLaVariableLeSystemeDonneLeMemeDossier) {
    VariableGardee garde("LOCALAPPDATA");
    const std::string attendu = systeme::DossierDonneesUtilisateur();
    ASSERT_FALSE(attendu.empty());
    ASSERT_EQ(::_putenv_s("LOCALAPPDATA", ""), 0); // vide : la variable disparaît
    const std::string sans = systeme::DossierDonneesUtilisateur();
    EXPECT_EQ(sans, attendu);
    EXPECT_TRUE(sans.ends_with("\\VEK_Log")) << sans;
}

// Un lien (point d'analyse) planté sous un nom temporaire n'est jamais suivi : la création
// échoue, et le fichier qu'il désigne reste intact.
TEST_F(JournalFinalWindows, UnLienSousUnNomTemporaireNEstJamaisSuivi) {
    const std::string victime = ailleurs.Ecrire("victime.txt", "précieux");
    const std::string lien = programme.Fichier("LogFinal.txt.tmp-1-0123456789abcdef");
    const bool cree = CreateSymbolicLinkA(lien.c_str(), victime.c_str(),
                                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
    const DWORD attributs = GetFileAttributesA(lien.c_str());
    if (!cree || attributs == INVALID_FILE_ATTRIBUTES ||
        (attributs & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        GTEST_SKIP() << "liens symboliques indisponibles ici (wine n'en crée pas toujours)";
    EcrivainTexte e;
    EXPECT_FALSE(e.CreerNeuf(lien));
    EXPECT_FALSE(e.Reprendre(lien));
    EXPECT_EQ(test::LireTout(victime), "précieux");
}

} // namespace
} // namespace vek
