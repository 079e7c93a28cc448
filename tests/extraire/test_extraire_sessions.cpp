// vek-extraire et les séances de jeu : --sessions, --session, --pause, et les bornes à la minute.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Extraire.h"
#include "Fichiers.h"

namespace {

using vek::test::DossierTemporaire;
using vek::test::LireTout;

struct Sortie {
    int code = -1;
    std::string out;
    std::string err;
};

Sortie Lancer(std::vector<std::string> args) {
    std::ostringstream out, err;
    Sortie s;
    s.code = vek::ExecuterExtraire(std::move(args), out, err);
    s.out = out.str();
    s.err = err.str();
    return s;
}

// Trois séances : 20:00-20:30 (pause d'exactement 30 minutes comprise), 21:10-21:12, puis
// 23:50 jusqu'au lendemain 00:05.
const char* const JournalDeSoiree = "*** Journal ***\r\n"
                                    "12/24/2001 20:00:00 - [Guilde] \"Aldric\": a\r\n"
                                    "12/24/2001 20:00:30 - [Guilde] \"Aldric\": b\r\n"
                                    "12/24/2001 20:30:30 - {B\xE9reng\xE8re}\":\"c\r\n"
                                    "12/24/2001 21:10:15 - [Guilde] \"A\tB\": tab\r\n"
                                    "12/24/2001 21:12:40 - Vous avez dit : d\r\n"
                                    "12/24/2001 23:50:00 - [Guilde] \"Aldric\": e\r\n"
                                    "12/25/2001 00:05:59 - [Guilde] \"Aldric\": f\r\n";

class Seances : public ::testing::Test {
protected:
    void SetUp() override {
        journal = dossier.Ecrire("journal.txt", JournalDeSoiree);
        sortie = dossier.Fichier("sortie");
        std::filesystem::create_directory(sortie);
    }
    std::string Extrait() const { return LireTout(vek::JoindreChemin(sortie, "LogVEKtemp.txt")); }
    DossierTemporaire dossier;
    std::string journal, sortie;
};

TEST_F(Seances, SessionsImprimeUneLigneParSeanceEchappee) {
    const Sortie s = Lancer({"--sessions", journal});
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_EQ(s.out, "1\t24/12/2001 20:00:00\t24/12/2001 20:30:30\t3\tAldric\tBérengère\n"
                     "2\t24/12/2001 21:10:15\t24/12/2001 21:12:40\t2\t Vous (ce que vous avez "
                     "dit)\tA\\tB\n"
                     "3\t24/12/2001 23:50:00\t25/12/2001 00:05:59\t2\tAldric\n");
    // Une pause de 40 minutes réunit les deux premières.
    const Sortie longue = Lancer({"--sessions", "--pause", "40", journal});
    ASSERT_EQ(longue.code, vek::SortieSucces);
    EXPECT_EQ(std::count(longue.out.begin(), longue.out.end(), '\n'), 2);
}

TEST_F(Seances, SessionDonneLaPeriodeALaMinute) {
    struct Cas {
        const char* session;
        std::string attendu;
    };
    const Cas cas[] = {
        {"derniere", "12/24/2001 23:50:00 - [Guilde] \"Aldric\": e\r\n"
                     "12/25/2001 00:05:59 - [Guilde] \"Aldric\": f\r\n"},
        {"dernière", "12/24/2001 23:50:00 - [Guilde] \"Aldric\": e\r\n"
                     "12/25/2001 00:05:59 - [Guilde] \"Aldric\": f\r\n"},
        {"2", "12/24/2001 21:10:15 - [Guilde] \"A\tB\": tab\r\n"
              "12/24/2001 21:12:40 - Vous avez dit : d\r\n"},
    };
    for (const Cas& c : cas) {
        const Sortie s =
            Lancer({"--catalogue", "-q", "--session", c.session, "--dossier", sortie, journal});
        ASSERT_EQ(s.code, vek::SortieSucces) << c.session << s.err;
        EXPECT_EQ(Extrait(), c.attendu) << c.session;
    }
}

TEST_F(Seances, BornesALaMinuteEtErreurs) {
    const Sortie s = Lancer({"--catalogue", "-q", "--debut", "24/12/2001 20:00", "--fin",
                             "24/12/2001 20:00", "--dossier", sortie, journal});
    ASSERT_EQ(s.code, vek::SortieSucces) << s.err;
    EXPECT_EQ(Extrait(), "12/24/2001 20:00:00 - [Guilde] \"Aldric\": a\r\n"
                         "12/24/2001 20:00:30 - [Guilde] \"Aldric\": b\r\n");

    struct Cas {
        std::vector<std::string> args;
        const char* attendu;
    };
    const Cas erreurs[] = {
        {{"--session", "4"}, "pas de séance 4"},
        {{"--session", "0"}, "n'est pas une séance"},
        {{"--session", "premiere"}, "n'est pas une séance"},
        {{"--session", "1", "--debut", "24/12/2001"}, "ni --debut ni --fin"},
        {{"--sessions", "--pause", "0"}, "--pause"},
        {{"--sessions", "--pause", "dix"}, "--pause"},
        {{"--pause", "10"}, "--pause ne sert"},
        {{"--sessions", "--debut", "24/12/2001"}, "--sessions ne prend pas"},
        {{"--debut", "24/12/2001 24:00", "--fin", "25/12/2001"}, "hh:mm:ss"},
    };
    for (const Cas& c : erreurs) {
        auto args = c.args;
        args.push_back(journal);
        const Sortie e = Lancer(args);
        EXPECT_EQ(e.code, vek::SortieErreurUsage) << c.attendu;
        EXPECT_NE(e.err.find(c.attendu), std::string::npos) << e.err;
    }
}

TEST(SeancesAide, LaRegleDesHeuresIllisiblesEstDiteDansLAideEtLeManuel) {
    const std::string manuel = LireTout(VEK_PAGE_MANUEL);
    for (const std::string& texte : {vek::TexteAide(), manuel})
        for (const char* mot : {"compte pour minuit", "strictement dans la", "23:40:59"})
            EXPECT_NE(texte.find(mot), std::string::npos) << mot;
}

} // namespace
