// vek-extraire, appelé en mémoire : options, codes de sortie, catalogue, analyse, extraction.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <stop_token>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "DossierTemporaire.h"
#include "Extraire.h"
#include "Fichiers.h"
#include "Lanceur.h"
#include "LanceurEspion.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "Verrou.h"

namespace {

using vek::test::DossierTemporaire;
using vek::test::LireTout;

struct Sortie {
    int code = -1;
    std::string out;
    std::string err;
};

Sortie Lancer(std::vector<std::string> args, const vek::ContexteExtraire& contexte = {}) {
    std::ostringstream out;
    std::ostringstream err;
    Sortie s;
    s.code = vek::ExecuterExtraire(std::move(args), out, err, contexte);
    s.out = out.str();
    s.err = err.str();
    return s;
}

std::string EnCp1252(std::string_view utf8) {
    std::string s;
    EXPECT_TRUE(vek::Utf8VersCp1252(utf8, s)) << utf8;
    return s;
}

// Un journal en Windows-1252, lignes terminées par CR LF, écrit ici en UTF-8.
std::string Journal(std::initializer_list<std::string_view> lignes) {
    std::string texte;
    for (auto l : lignes)
        texte += EnCp1252(l) + "\r\n";
    return texte;
}

std::vector<std::string> Lignes(const std::string& texte) {
    std::vector<std::string> lignes;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        const auto fin = texte.find("\r\n", debut);
        if (fin == std::string::npos) {
            lignes.push_back(texte.substr(debut));
            break;
        }
        lignes.push_back(texte.substr(debut, fin - debut));
        debut = fin + 2;
    }
    return lignes;
}

// Les lignes retenues d'un LogFinal.txt, en UTF-8 : entre les 9 lignes du bandeau et les 11 du
// pied de page.
std::vector<std::string> CorpsLogFinal(const std::string& contenu) {
    const std::string etoiles(68, '*');
    EXPECT_GE(contenu.size(), 2u);
    EXPECT_EQ(contenu.substr(contenu.size() - 2), "\r\n");
    const auto lignes = Lignes(contenu);
    if (lignes.size() < 20) {
        ADD_FAILURE() << "LogFinal.txt trop court : " << lignes.size() << " lignes";
        return {};
    }
    EXPECT_EQ(lignes[0], etoiles);
    EXPECT_EQ(lignes[2], std::string(21, ' ') + "Extracteur de LOG VEK");
    EXPECT_EQ(lignes[lignes.size() - 1], etoiles);
    std::vector<std::string> corps;
    for (std::size_t i = 9; i + 11 < lignes.size(); ++i)
        corps.push_back(vek::Cp1252VersUtf8(lignes[i]));
    return corps;
}

// Un petit journal de deux jours et demi, qui couvre les genres de lignes.
const std::initializer_list<std::string_view> PetitJournal = {
    "12/23/2001 09:00:00 - [Commerce] \"Zoé\": la veille",
    "12/24/2001 10:00:00 - [Commerce] \"Aldric\": bonjour",
    "12/24/2001 10:00:01 - {Bérengère}\":\"salut",
    "12/24/2001 10:00:02 - [COMMERCE] \"aldric\": re",
    "12/24/2001 10:00:03 - Vous avez dit : coucou  ",
    "Ligne non datée",
    "12/24/2001 10:00:04 - [Guilde] \"Cœlio\": \"Cœlio\" est là",
    "12/24/2001 10:00:05 - Bérengère vous appelle : psst",
    "12/25/2001 08:00:00 - {Aldric}\":\"joyeux Noël",
};

class Extraire : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dossier.Chemin().empty());
        journal = dossier.Ecrire("journal.txt", Journal(PetitJournal));
        sortie = dossier.Fichier("sortie");
        std::filesystem::create_directory(sortie);
    }
    std::string LogFinal() const { return vek::JoindreChemin(sortie, "LogFinal.txt"); }
    std::string Extrait() const { return vek::JoindreChemin(sortie, "LogVEKtemp.txt"); }
    bool SortieVide() const { return std::filesystem::is_empty(sortie); }

    DossierTemporaire dossier;
    std::string journal;
    std::string sortie;
};

// --- options et codes de sortie ---

TEST_F(Extraire, ErreursDUtilisationRendent2SansRienEcrire) {
    struct Cas {
        std::vector<std::string> args;
        std::string attendu; // dans le message d'erreur
    };
    const std::vector<Cas> cas = {
        {{"--inconnue", journal}, "option inconnue « --inconnue »"},
        {{"-x", journal}, "option inconnue « -x »"},
        {{"--debut", "32/12/2001", "--fin", "01/01/2002", journal}, "« 32/12/2001 »"},
        {{"--debut", "24/12/2001", "--fin", "demain", journal}, "« demain »"},
        {{"--debut", "2001-12-24", "--fin", "24/12/2001", journal}, "--debut"},
        {{journal, "--debut"}, "--debut attend"},
        {{"--debut", "--fin", "24/12/2001", journal}, "--debut attend"},
        {{"--nom"}, "--nom attend"},
        {{"--dossier", sortie}, "il manque le chemin du journal"},
        {{"--decalage", "autre.txt=+5", journal}, "n'est aucun des journaux donnés"},
        {{"--decalage", "journal.txt=5", journal}, "n'est pas un décalage pour --decalage"},
        {{"--joueur", "journal.txt", journal}, "n'est pas un joueur pour --joueur"},
        {{"--catalogue", "--analyse", journal}, "ne se combinent pas"},
        {{"--catalogue", "--nom", "Aldric", journal}, "--nom"},
        {{"--catalogue", "--rp", journal}, "--rp"},
        {{"--analyse", "--debut", "24/12/2001", journal}, "--analyse"},
        {{"--rp=oui", journal}, "ne prend pas de valeur"},
        {{"--nom", "Bonhomme ☃", "--debut", "24/12/2001", "--fin", "24/12/2001", journal},
         "U+2603"},
        {{"--channel", "\xFF\xFE", "--debut", "24/12/2001", "--fin", "24/12/2001", journal},
         "UTF-8"},
    };
    for (const auto& c : cas) {
        auto args = c.args;
        args.insert(args.begin(), {"--dossier", sortie});
        const Sortie s = Lancer(args);
        std::string ligne;
        for (const auto& a : c.args)
            ligne += a + " ";
        EXPECT_EQ(s.code, vek::SortieErreurUsage) << ligne;
        EXPECT_NE(s.err.find(c.attendu), std::string::npos) << ligne << "\n" << s.err;
        EXPECT_EQ(s.err.rfind("vek-extraire : ", 0), 0u) << ligne;
        EXPECT_TRUE(s.out.empty()) << ligne;
        EXPECT_TRUE(SortieVide()) << ligne;
    }
}

TEST_F(Extraire, FichiersIllisiblesOuImpossiblesAEcrireRendent1) {
    const std::string fichier = dossier.Ecrire("pas-un-dossier.txt", "x");
    const std::string absent = dossier.Fichier("absent.txt");
    struct Cas {
        const char* nom;
        std::vector<std::string> args;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {"journal absent, dates données",
         {"--debut", "24/12/2001", "--fin", "24/12/2001", "--dossier", sortie, absent},
         "absent.txt"},
        {"journal absent, dates à déduire", {"--dossier", sortie, absent}, "introuvable"},
        {"journal absent, catalogue", {"--catalogue", "--dossier", sortie, absent}, "introuvable"},
        {"journal absent, analyse", {"--analyse", absent}, "introuvable"},
        {"journal qui est un dossier",
         {"--debut", "24/12/2001", "--fin", "24/12/2001", "--dossier", sortie, dossier.Chemin()},
         "vek-extraire : "},
        {"dossier de sortie sous un fichier",
         {"--debut", "24/12/2001", "--fin", "24/12/2001", "--dossier", fichier + "/sous", journal},
         "écrire dans le dossier de sortie"},
        {"dossier de sortie absent",
         {"--catalogue", "--debut", "24/12/2001", "--fin", "24/12/2001", "--dossier",
          dossier.Fichier("nulle-part"), journal},
         "écrire dans le dossier de sortie"},
    };
    for (const auto& c : cas) {
        const Sortie s = Lancer(c.args);
        EXPECT_EQ(s.code, vek::SortieEchecFichier) << c.nom << "\n" << s.err;
        EXPECT_NE(s.err.find(c.attendu), std::string::npos) << c.nom << "\n" << s.err;
        EXPECT_TRUE(s.out.empty()) << c.nom;
    }
    EXPECT_TRUE(SortieVide());
}

TEST_F(Extraire, AideEtVersion) {
    const Sortie aide = Lancer({"--help"});
    EXPECT_EQ(aide.code, vek::SortieSucces);
    for (const char* option :
         {"--debut", "--fin", "--catalogue", "--analyse", "--channel", "--nom", "--tous-channels",
          "--tout-le-monde", "--sans-date", "--rp", "--sans-channel", "--dossier", "--ouvrir", "-q",
          "--help", "--version"})
        // En tête d'une ligne d'option, seule ou après un autre de ses noms.
        EXPECT_TRUE(aide.out.find(std::string("\n  ") + option) != std::string::npos ||
                    aide.out.find(std::string(", ") + option + " ") != std::string::npos ||
                    aide.out.find(std::string(", ") + option + ",") != std::string::npos)
            << option;
    EXPECT_TRUE(aide.err.empty());
    // L'aide l'emporte sur une erreur de la même ligne de commande.
    EXPECT_EQ(Lancer({"--inconnue", "-h"}).code, vek::SortieSucces);

    const Sortie version = Lancer({"--version"});
    EXPECT_EQ(version.code, vek::SortieSucces);
    EXPECT_EQ(version.out, "vek-extraire 2.0.4\n");
}

// --- catalogue ---

TEST_F(Extraire, CatalogueDansLOrdreAvecLaZoneDeProximiteEnPremier) {
    const Sortie s = Lancer({"--catalogue", "--debut", "24/12/2001", "--fin", "24/12/2001",
                             "--dossier", sortie, journal});
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_EQ(s.out, "canal\tZone de proximité\n"
                     "canal\t[Commerce]\n"
                     "canal\t[Guilde]\n"
                     "nom\tAldric\n"
                     "nom\tBérengère\n"
                     "nom\taldric\n"
                     "nom\t Vous (ce que vous avez dit)\n"
                     "nom\tCœlio\n"
                     "nom\t Vos Whisps reçus\n");
    EXPECT_TRUE(s.err.empty()) << s.err;
    // L'extrait : les 6 lignes datées du 24, telles quelles ; pas de journal final.
    const auto extrait = Lignes(LireTout(Extrait()));
    ASSERT_EQ(extrait.size(), 6u);
    EXPECT_EQ(extrait[3], EnCp1252("12/24/2001 10:00:03 - Vous avez dit : coucou  "));
    EXPECT_FALSE(std::filesystem::exists(LogFinal()));
}

TEST_F(Extraire, SansDatesLaPeriodeEstCelleDuJournal) {
    const Sortie s = Lancer({"--catalogue", "-q", "--dossier", sortie, journal});
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_EQ(s.out.rfind("canal\tZone de proximité\ncanal\t[Commerce]\n", 0), 0u);
    EXPECT_NE(s.out.find("nom\tZoé\n"), std::string::npos);
    EXPECT_EQ(Lignes(LireTout(Extrait())).size(), 8u); // toutes les lignes datées

    // Une seule date donnée : l'autre vient de l'analyse.
    const Sortie fin =
        Lancer({"--catalogue", "--debut", "25/12/2001", "--dossier", sortie, journal});
    ASSERT_EQ(fin.code, vek::SortieSucces) << fin.err;
    EXPECT_EQ(fin.out, "canal\tZone de proximité\nnom\tAldric\n");
}

TEST_F(Extraire, DateQueLAnalyseNePeutPasDonner) {
    const std::string sansDate =
        dossier.Ecrire("sans-date.txt", Journal({"Journal de Q7R", "12/24/2001 10:00:00 - x"}));
    const Sortie s = Lancer({"--catalogue", "--dossier", sortie, sansDate});
    EXPECT_EQ(s.code, vek::SortieErreurUsage);
    EXPECT_NE(s.err.find("--debut"), std::string::npos) << s.err;
    EXPECT_TRUE(SortieVide());

    const Sortie avec =
        Lancer({"--catalogue", "--debut", "01/12/2001", "--dossier", sortie, sansDate});
    EXPECT_EQ(avec.code, vek::SortieSucces) << avec.err;
    EXPECT_EQ(avec.out, "canal\tZone de proximité\nnom\t Vos Whisps reçus\n");
}

// Une tabulation ou une barre oblique inverse dans un texte ne brouille pas la ligne du
// catalogue : « \t » et « \\ », et rien d'autre ne change (un nom plus grand que les morceaux
// écrits d'un coup passe entier).
TEST_F(Extraire, CatalogueSansAmbiguite) {
    const std::string longNom(200000, 'L');
    const std::string j = dossier.Ecrire(
        "tab.txt", Journal({"12/24/2001 10:00:00 - [Ca\tnal] \"A\tB\\C\": x",
                            "12/24/2001 10:00:00 - [Commerce] \"" + longNom + "\": x"}));
    const Sortie s = Lancer({"--catalogue", "-q", "--dossier", sortie, j});
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_EQ(s.out, "canal\tZone de proximité\ncanal\t[Ca\\tnal]\ncanal\t[Commerce]\n"
                     "nom\tA\\tB\\\\C\nnom\t" +
                         longNom + "\n");
}

TEST_F(Extraire, LimitesDuCatalogueSignaleesSansEchec) {
    std::string texte;
    for (int i = 0; i < 101; ++i)
        texte += "12/24/2001 10:00:00 - [Canal" + std::to_string(i) + "] \"Aldric\": x\r\n";
    for (int i = 0; i < 5001; ++i)
        texte += "12/24/2001 10:00:00 - {Nom" + std::to_string(i) + "}\":\"x\r\n";
    const std::string plein = dossier.Ecrire("plein.txt", texte);
    const Sortie s = Lancer({"--catalogue", "-q", "--dossier", sortie, plein});
    EXPECT_EQ(s.code, vek::SortieSucces);
    EXPECT_NE(s.err.find("plus de 100 channels"), std::string::npos) << s.err;
    EXPECT_NE(s.err.find("plus de 5000 locuteurs"), std::string::npos) << s.err;
    EXPECT_EQ(std::count(s.out.begin(), s.out.end(), '\n'), 101 + 5000);
}

// --- analyse ---

TEST_F(Extraire, AnalyseImprimeLeResumeExact) {
    struct Cas {
        const char* nom;
        std::string contenu;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {"deux dates", Journal(PetitJournal),
         "Date de début du traitement : dimanche 23 décembre 2001\n"
         "Date de fin de traitement : mardi 25 décembre 2001\n"
         "Nombre de lignes à analyser : 9\n"},
        {"première ligne non datée", Journal({"Journal", "12/26/2001 10:00:00 - x"}),
         "Date de début du traitement : Non défini. \n"
         "Date de fin de traitement : mercredi 26 décembre 2001\n"
         "Nombre de lignes à analyser : 2\n"},
        {"dernière ligne non datée, LF seuls, sans fin de ligne finale",
         "12/24/2001 00:00:00 - x\nfin",
         "Date de début du traitement : lundi 24 décembre 2001\n"
         "Date de fin de traitement : Non défini.\n"
         "Nombre de lignes à analyser : 2\n"},
    };
    for (const auto& c : cas) {
        const std::string chemin = dossier.Ecrire("analyse.txt", c.contenu);
        const Sortie s = Lancer({"--analyse", chemin});
        EXPECT_EQ(s.code, vek::SortieSucces) << c.nom << "\n" << s.err;
        EXPECT_EQ(s.out, c.attendu) << c.nom;
        EXPECT_TRUE(s.err.empty()) << c.nom << "\n" << s.err;
    }
}

// --- journal final ---

TEST_F(Extraire, NoeudsNommesCochesEtJournalFinal) {
    const Sortie s = Lancer({"--debut", "24/12/2001", "--fin", "24/12/2001", "--channel",
                             "commerce", "--nom", "Aldric", "--channel", "Zone de proximité",
                             "--nom", "Vous (ce que vous avez dit)", "--dossier", sortie, journal});
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_EQ(s.out, LogFinal() + "\n");
    EXPECT_TRUE(s.err.empty()) << s.err;
    const auto corps = CorpsLogFinal(LireTout(LogFinal()));
    const std::vector<std::string> attendu = {
        "12/24/2001 10:00:00 - [Commerce] \"Aldric\": bonjour",
        "12/24/2001 10:00:03 - Vous avez dit : coucou",
    };
    EXPECT_EQ(corps, attendu);
}

TEST_F(Extraire, ToutCocheAvecLesTroisModes) {
    const Sortie s = Lancer({"--debut", "24/12/2001", "--fin", "24/12/2001", "--tous-channels",
                             "--tout-le-monde", "--sans-date", "--rp", "--sans-channel", "-q",
                             "--dossier", sortie, journal});
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    const std::vector<std::string> attendu = {
        "Aldric: bonjour",
        "Bérengère : salut",
        // [COMMERCE] n'est pas le texte du nœud [Commerce] : la ligne n'est pas retenue.
        "Vous avez dit : coucou",
        "Cœlio: Cœlio est là",
        "Bérengère vous appelle : psst",
    };
    EXPECT_EQ(CorpsLogFinal(LireTout(LogFinal())), attendu);
}

TEST_F(Extraire, NoeudIntrouvableProposeLesPlusProches) {
    const std::string noms =
        dossier.Ecrire("noms.txt", Journal({
                                       "12/24/2001 10:00:00 - [Guilde] \"Zoé\": a",
                                       "12/24/2001 10:00:00 - [Guilde] \"Aldrich\": a",
                                       "12/24/2001 10:00:00 - [Guilde] \"Bertrand\": a",
                                       "12/24/2001 10:00:00 - [Guilde] \"Aldric\": a",
                                       "12/24/2001 10:00:00 - [Guilde] \"Alric\": a",
                                       "12/24/2001 10:00:00 - [Guilde] \"Cédric\": a",
                                       "12/24/2001 10:00:00 - [Guilde] \"Baldric\": a",
                                       "12/24/2001 10:00:00 - [Guilde] \"Aldis\": a",
                                   }));
    const Sortie s = Lancer(
        {"--nom", "Aldrik", "--channel", "Guild", "--nom", "Zoé", "--dossier", sortie, noms});
    EXPECT_EQ(s.code, vek::SortieErreurUsage);
    EXPECT_NE(s.err.find("aucun locuteur « Aldrik »"), std::string::npos) << s.err;
    EXPECT_NE(s.err.find("Les plus proches : « Aldric », "), std::string::npos) << s.err;
    EXPECT_NE(s.err.find("aucun channel « Guild »"), std::string::npos) << s.err;
    EXPECT_NE(s.err.find("Les plus proches : « [Guilde] »"), std::string::npos) << s.err;
    EXPECT_EQ(s.err.find("« Zoé »"), std::string::npos) << s.err; // celui-là existe
    // Cinq propositions au plus pour les huit locuteurs.
    const auto debut = s.err.find("Les plus proches : « Aldric »");
    const auto finLigne = s.err.find('\n', debut);
    const std::string ligne = s.err.substr(debut, finLigne - debut);
    std::size_t n = 0;
    for (auto p = ligne.find("«"); p != std::string::npos; p = ligne.find("«", p + 1))
        ++n;
    EXPECT_EQ(n, 5u) << ligne;
    EXPECT_FALSE(std::filesystem::exists(LogFinal()));
    EXPECT_TRUE(s.out.empty());
}

TEST_F(Extraire, LeJournalFinalNEstOuvertQuAvecOuvrir) {
    vek::test::LanceurEspion espion;
    vek::ContexteExtraire contexte;
    contexte.lanceur = &espion;
    const std::vector<std::string> args = {"--tout-le-monde", "-q", "--dossier", sortie, journal};
    ASSERT_EQ(Lancer(args, contexte).code, vek::SortieSucces);
    EXPECT_TRUE(espion.ouverts.empty());

    auto avecOuvrir = args;
    avecOuvrir.insert(avecOuvrir.begin(), "--ouvrir");
    ASSERT_EQ(Lancer(avecOuvrir, contexte).code, vek::SortieSucces);
    ASSERT_EQ(espion.ouverts.size(), 1u);
    EXPECT_TRUE(std::filesystem::equivalent(espion.ouverts[0], LogFinal())) << espion.ouverts[0];
}

TEST_F(Extraire, RienSurLaSortieDErreurHorsTerminalOuAvecQ) {
    vek::ContexteExtraire terminal;
    terminal.erreurEstTerminal = true;
    const Sortie q = Lancer(
        {"--tous-channels", "--tout-le-monde", "-q", "--dossier", sortie, journal}, terminal);
    EXPECT_EQ(q.code, vek::SortieSucces);
    EXPECT_TRUE(q.err.empty()) << q.err;
    const Sortie fichier =
        Lancer({"--tous-channels", "--tout-le-monde", "--dossier", sortie, journal});
    EXPECT_EQ(fichier.code, vek::SortieSucces);
    EXPECT_TRUE(fichier.err.empty()) << fichier.err;
}

// --- le journal d'exemple du dépôt ---

TEST(ExtraireExemple, LesTroisModesSurLeJournalDExemple) {
    const std::string exemple = std::string(VEK_DOSSIER_EXEMPLES) + "/journal-exemple.txt";
    ASSERT_TRUE(std::filesystem::exists(exemple));
    DossierTemporaire brut;
    DossierTemporaire modes;
    const Sortie s1 =
        Lancer({"--tous-channels", "--tout-le-monde", "-q", "--dossier", brut.Chemin(), exemple});
    const Sortie s2 = Lancer({"--tous-channels", "--tout-le-monde", "--sans-date", "--rp",
                              "--sans-channel", "-q", "--dossier", modes.Chemin(), exemple});
    ASSERT_EQ(s1.code, vek::SortieSucces) << s1.err;
    ASSERT_EQ(s2.code, vek::SortieSucces) << s2.err;
    const auto lignesBrutes = CorpsLogFinal(LireTout(brut.Fichier("LogFinal.txt")));
    const auto lignes = CorpsLogFinal(LireTout(modes.Fichier("LogFinal.txt")));

    // Les modes changent le texte des lignes, pas le choix des lignes.
    ASSERT_GT(lignes.size(), 100u);
    ASSERT_EQ(lignes.size(), lignesBrutes.size());
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        const std::string& brute = lignesBrutes[i];
        const std::string& l = lignes[i];
        ASSERT_GT(brute.size(), 22u);
        EXPECT_EQ(brute[2], '/') << brute; // sans modes, la date est là
        EXPECT_FALSE(l.size() >= 3 && l[2] == '/') << l;
        EXPECT_FALSE(l.empty() || l.front() == ' ' || l.back() == ' ') << l;
        EXPECT_NE(l.front(), '[') << l;
        EXPECT_NE(l.front(), '{') << l;
        EXPECT_EQ(l.find("}\":\""), std::string::npos) << l;
        // Le corps brut commence par le tag, que le mode retire avec ses guillemets.
        if (brute[22] == '[') {
            const std::string tag = brute.substr(22, brute.find(']', 22) - 21);
            EXPECT_EQ(l.find(tag), std::string::npos) << l;
            EXPECT_EQ(l.find("\": "), std::string::npos) << l;
        }
    }
}

} // namespace

namespace {

// SIGINT ou SIGTERM pendant une passe : elle s'arrête, les temporaires sont supprimés, l'ancien
// LogFinal.txt reste, et le code de sortie dit le signal (128 + signal).
TEST_F(Extraire, UnSignalArretePasseEtGardeLAncien) {
    for (const int signal : {2, 15}) {
        SCOPED_TRACE(signal);
        dossier.Ecrire("sortie/LogFinal.txt", "ancien\r\n");
        std::stop_source arret;
        std::atomic<int> recu{signal};
        arret.request_stop();
        vek::ContexteExtraire contexte;
        contexte.arret = arret.get_token();
        contexte.signal = &recu;
        const Sortie s = Lancer({"--debut", "24/12/2001", "--fin", "24/12/2001", "--tous-channels",
                                 "--tout-le-monde", "--dossier", sortie, journal},
                                contexte);
        EXPECT_EQ(s.code, 128 + signal);
        EXPECT_NE(s.err.find("interrompu"), std::string::npos) << s.err;
        EXPECT_EQ(vek::test::LireTout(LogFinal()), "ancien\r\n");
        for (const auto& e : std::filesystem::directory_iterator(sortie))
            EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
    }
}

// Un second programme sur le même dossier de sortie refuse aussitôt, avec le code 1, sans rien
// toucher ; l'ancien LogFinal.txt reste.
TEST_F(Extraire, UnDossierOccupeRefuseAvecLeCode1) {
    dossier.Ecrire("sortie/LogFinal.txt", "ancien\r\n");
    vek::VerrouDossier autre;
    ASSERT_TRUE(autre.Prendre(sortie));
    const Sortie s = Lancer({"--debut", "24/12/2001", "--fin", "24/12/2001", "--tous-channels",
                             "--tout-le-monde", "--dossier", sortie, journal});
    EXPECT_EQ(s.code, vek::SortieEchecFichier);
    EXPECT_NE(s.err.find("un autre Extracteur de LOG VEK écrit dans ce dossier"), std::string::npos)
        << s.err;
    EXPECT_EQ(vek::test::LireTout(LogFinal()), "ancien\r\n");
    EXPECT_FALSE(std::filesystem::exists(Extrait()));
}

} // namespace

namespace {

// Les suggestions d'un --nom inconnu restent bornées sur des noms très longs : seuls les
// premiers octets sont comparés (sans cette borne, ce cas prenait plus d'une minute).
TEST_F(Extraire, SuggestionsBorneesSurDesNomsTresLongs) {
    std::string contenu;
    for (int i = 0; i < 300; ++i)
        contenu += "12/24/2001 10:00:00 - [Commerce] \"" + std::string(4000, 'a') +
                   std::to_string(i) + "\": x\r\n";
    const std::string long_journal = dossier.Ecrire("longs.txt", contenu);
    const Sortie s = Lancer({"--debut", "24/12/2001", "--fin", "24/12/2001", "--nom",
                             std::string(4000, 'b'), "--dossier", sortie, long_journal});
    EXPECT_EQ(s.code, vek::SortieErreurUsage);
    EXPECT_NE(s.err.find("Les plus proches"), std::string::npos);
}

} // namespace

namespace {

TEST_F(Extraire, UnJournalVideLeDit) {
    const std::string vide = dossier.Ecrire("vide.txt", "");
    const Sortie s = Lancer({"--dossier", sortie, vide});
    EXPECT_EQ(s.code, vek::SortieEchecFichier);
    EXPECT_NE(s.err.find("Le journal est vide"), std::string::npos) << s.err;
    EXPECT_EQ(s.err.find("pas datée"), std::string::npos) << s.err;
}

} // namespace
