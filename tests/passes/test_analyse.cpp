// Analyse d'un journal : résumé, dates, début de lecture, fichier introuvable, arrêt, fins de
// ligne.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

const std::string NonDefiniDebut = "Non d\xE9"
                                   "fini. ";
const std::string NonDefiniFin = "Non d\xE9"
                                 "fini.";
const std::string Lundi24 = "lundi 24 d\xE9"
                            "cembre 2001";
const std::string Mardi25 = "mardi 25 d\xE9"
                            "cembre 2001";
const std::string Mercredi26 = "mercredi 26 d\xE9"
                               "cembre 2001";

std::string Resume(const std::string& debut, const std::string& fin, const std::string& n) {
    return "Date de d\xE9"
           "but du traitement : " +
           debut + "\r\nDate de fin de traitement : " + fin +
           "\r\nNombre de lignes \xE0 analyser : " + n;
}

// Lignes datées du 24, du 25 et du 26 décembre 2001 (le mois d'abord).
const std::string A = "12/24/2001 [18:30:05] {Aldric}\":\"bonjour";
const std::string C = "12/25/2001 [09:00:00] Vous avez dit : oui";
const std::string B = "12/26/2001 [23:59:59] [Commerce] \"Bob\": au revoir";

// Valeurs des champs de date avant l'analyse : sans date trouvée, la fenêtre les laisse.
const std::string AvantDebut = "01/01/1999";
const std::string AvantFin = "31/12/1999";

class AnalyseJournal : public ::testing::Test {
protected:
    test::DossierTemporaire dossier;
    Moteur module{test::Reglages(dossier.Chemin())};
    test::ProgressionNotee progression;

    void SetUp() override { ASSERT_FALSE(dossier.Chemin().empty()); }

    // Écrit le journal et l'analyse.
    Issue<ResumeJournal> Analyser(const std::string& contenu,
                                  const std::string& nom = "journal.TXT") {
        return module.Analyser({dossier.Ecrire(nom, contenu)}, progression);
    }
    // Le champ de date tel que la fenêtre le laisse : la date trouvée, ou sa valeur d'avant.
    static std::string Champ(const std::optional<Date>& date, const std::string& avant) {
        return date ? DateCourte(*date) : avant;
    }
};

// --- Résumé et champs de date ---

struct CasResume {
    const char* nom;
    std::string contenu;
    std::string resume;
    std::string debut; // valeur attendue du champ après l'analyse
    std::string fin;
};

void PrintTo(const CasResume& c, std::ostream* os) {
    *os << c.nom;
}

class AnalyseResume : public AnalyseJournal, public ::testing::WithParamInterface<CasResume> {};

TEST_P(AnalyseResume, ResumeEtChamps) {
    const auto& c = GetParam();
    const auto r = Analyser(c.contenu);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_TRUE(r->existe);
    EXPECT_EQ(progression.debuts, 1);
    EXPECT_EQ(r->Texte(), c.resume);
    EXPECT_EQ(Champ(r->debut, AvantDebut), c.debut);
    EXPECT_EQ(Champ(r->fin, AvantFin), c.fin);
}

const std::string CRLF = "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Journaux, AnalyseResume,
    ::testing::Values(
        CasResume{"une ligne", A + CRLF, Resume(Lundi24, Lundi24, "1"), "24/12/2001", "24/12/2001"},
        CasResume{"deux lignes", A + CRLF + B + CRLF, Resume(Lundi24, Mercredi26, "2"),
                  "24/12/2001", "26/12/2001"},
        CasResume{"ligne du milieu non datée", A + CRLF + "au milieu" + CRLF + C + CRLF,
                  Resume(Lundi24, Mardi25, "3"), "24/12/2001", "25/12/2001"},
        CasResume{"première non datée", "Bonjour" + CRLF + B + CRLF,
                  Resume(NonDefiniDebut, Mercredi26, "2"), AvantDebut, "26/12/2001"},
        CasResume{"dernière non datée", A + CRLF + "fin du journal" + CRLF,
                  Resume(Lundi24, NonDefiniFin, "2"), "24/12/2001", AvantFin},
        CasResume{"ligne unique non datée", "x", Resume(NonDefiniDebut, NonDefiniFin, "1"),
                  AvantDebut, AvantFin},
        CasResume{"première de moins de trois caractères", "a/" + CRLF + B + CRLF,
                  Resume(NonDefiniDebut, Mercredi26, "2"), AvantDebut, "26/12/2001"},
        CasResume{"fichier vide", "", Resume(NonDefiniDebut, NonDefiniFin, "0"), AvantDebut,
                  AvantFin},
        CasResume{"le mois d'abord", "01/02/2001 x" + CRLF,
                  Resume("mardi 2 janvier 2001", "mardi 2 janvier 2001", "1"), "02/01/2001",
                  "02/01/2001"},
        CasResume{"noms accentués", "08/15/2003 x" + CRLF + "02/29/2004 y" + CRLF,
                  Resume("vendredi 15 ao\xFBt 2003", "dimanche 29 f\xE9vrier 2004", "2"),
                  "15/08/2003", "29/02/2004"},
        CasResume{"29 février d'une année bissextile séculaire", "02/29/2000",
                  Resume("mardi 29 f\xE9vrier 2000", "mardi 29 f\xE9vrier 2000", "1"), "29/02/2000",
                  "29/02/2000"},
        CasResume{"position 6 non examinée", "12/24-2001 x" + CRLF + "12/26.2001 y",
                  Resume(Lundi24, Mercredi26, "2"), "24/12/2001", "26/12/2001"},
        CasResume{"mois à un chiffre", "1/2/2001 x" + CRLF + "1/26/2001 y" + CRLF,
                  Resume(NonDefiniDebut, NonDefiniFin, "2"), AvantDebut, AvantFin},
        CasResume{"mois 13 et 30 février", "13/24/2001 x" + CRLF + "02/30/2001 y" + CRLF,
                  Resume(NonDefiniDebut, NonDefiniFin, "2"), AvantDebut, AvantFin},
        CasResume{"29 février d'une année commune", "02/29/2001 x" + CRLF + B,
                  Resume(NonDefiniDebut, Mercredi26, "2"), AvantDebut, "26/12/2001"},
        CasResume{"mois ou jour nuls", "00/10/2001 x" + CRLF + "12/00/2001 y",
                  Resume(NonDefiniDebut, NonDefiniFin, "2"), AvantDebut, AvantFin},
        CasResume{"lettres parmi les chiffres", "ab/cd/efgh" + CRLF + "12/24/20x1 y",
                  Resume(NonDefiniDebut, NonDefiniFin, "2"), AvantDebut, AvantFin},
        CasResume{"année à deux chiffres", "12/24/01 [18:30:05] x" + CRLF + B,
                  Resume(NonDefiniDebut, Mercredi26, "2"), AvantDebut, "26/12/2001"},
        CasResume{"ligne qui s'arrête avant la position 10", A + CRLF + "12/26/200",
                  Resume(Lundi24, NonDefiniFin, "2"), "24/12/2001", AvantFin},
        CasResume{"ligne de dix caractères exactement", "12/24/2001" + CRLF + "12/26/2001",
                  Resume(Lundi24, Mercredi26, "2"), "24/12/2001", "26/12/2001"}));

TEST_F(AnalyseJournal, ChaqueAnalyseCommenceSaLectureEtRendSonResume) {
    const auto premiere = Analyser(A + CRLF, "premier.TXT");
    const auto seconde = Analyser(A + CRLF + B + CRLF, "second.TXT");
    ASSERT_TRUE(premiere.ok());
    ASSERT_TRUE(seconde.ok());
    EXPECT_EQ(progression.debuts, 2);
    EXPECT_EQ(premiere->Texte(), Resume(Lundi24, Lundi24, "1"));
    EXPECT_EQ(seconde->Texte(), Resume(Lundi24, Mercredi26, "2"));
    EXPECT_EQ(seconde->lignes, 2u);
}

// Un arrêt demandé pendant le comptage l'interrompt : l'analyse d'un grand journal ne retient
// pas la fin du programme.
TEST_F(AnalyseJournal, ArretDemandeInterromptLeComptage) {
    std::stop_source arret;
    arret.request_stop();
    const auto r = module.Analyser({dossier.Ecrire("grand.TXT", std::string(1 << 20, 'x') + CRLF)},
                                   progression, arret.get_token());
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.Echec().interrompu);
}

TEST_F(AnalyseJournal, RienNestEcritSurLeDisque) {
    const std::string contenu = A + CRLF + B + CRLF;
    ASSERT_TRUE(Analyser(contenu).ok());
    std::set<std::string> noms;
    for (const auto& e : fs::directory_iterator(dossier.Chemin()))
        noms.insert(e.path().filename().string());
    EXPECT_EQ(noms, std::set<std::string>{"journal.TXT"});
    EXPECT_EQ(test::LireTout(dossier.Fichier("journal.TXT")), contenu);
}

// --- Fichier introuvable ---

TEST_F(AnalyseJournal, FichierIntrouvable) {
    for (const std::string& chemin :
         {dossier.Fichier("absent.TXT"), dossier.Fichier("absent/journal.TXT")}) {
        SCOPED_TRACE(chemin);
        // Pas un échec : la fenêtre dit « Fichier introuvable ! » ; rien n'est lu.
        const auto r = module.Analyser({chemin}, progression);
        ASSERT_TRUE(r.ok());
        EXPECT_FALSE(r->existe);
        EXPECT_EQ(progression.debuts, 0);
        EXPECT_FALSE(r->debut);
        EXPECT_FALSE(r->fin);
    }
}

// --- Fins de ligne : la dernière ligne est celle que donne la lecture en avant ---

struct CasFins {
    const char* nom;
    std::string contenu;
    std::string debut; // forme longue attendue, ou « Non défini. »
    std::string fin;
    std::string lignes;
};

void PrintTo(const CasFins& c, std::ostream* os) {
    *os << c.nom;
}

class AnalyseFinsDeLigne : public AnalyseJournal, public ::testing::WithParamInterface<CasFins> {};

TEST_P(AnalyseFinsDeLigne, NombreDeLignesEtDerniereLigne) {
    const auto& c = GetParam();
    const auto r = Analyser(c.contenu);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->Texte(), Resume(c.debut, c.fin, c.lignes));
}

const std::string CR = "\r";
const std::string LF = "\n";

INSTANTIATE_TEST_SUITE_P(
    CRLFetLFetCR, AnalyseFinsDeLigne,
    ::testing::Values(
        CasFins{"CR LF", A + CRLF + B + CRLF, Lundi24, Mercredi26, "2"},
        CasFins{"LF", A + LF + B + LF, Lundi24, Mercredi26, "2"},
        CasFins{"CR", A + CR + B + CR, Lundi24, Mercredi26, "2"},
        CasFins{"CR LF, dernière sans fin", A + CRLF + B, Lundi24, Mercredi26, "2"},
        CasFins{"LF, dernière sans fin", A + LF + B, Lundi24, Mercredi26, "2"},
        CasFins{"CR, dernière sans fin", A + CR + B, Lundi24, Mercredi26, "2"},
        CasFins{"mélange", A + CR + B + LF + C + CRLF, Lundi24, Mardi25, "3"},
        CasFins{"mélange, dernière sans fin", A + CRLF + B + CR + C, Lundi24, Mardi25, "3"},
        CasFins{"ligne vide finale CR LF", A + CRLF + B + CRLF + CRLF, Lundi24, NonDefiniFin, "3"},
        CasFins{"ligne vide finale LF", A + LF + LF, Lundi24, NonDefiniFin, "2"},
        CasFins{"ligne vide finale CR", A + CR + CR, Lundi24, NonDefiniFin, "2"},
        CasFins{"CR LF puis CR", A + CRLF + CR, Lundi24, NonDefiniFin, "2"},
        CasFins{"LF puis CR", A + LF + CR, Lundi24, NonDefiniFin, "2"},
        CasFins{"CR puis CR LF", A + CR + CRLF, Lundi24, NonDefiniFin, "2"},
        CasFins{"LF CR au milieu", A + LF + CR + B, Lundi24, Mercredi26, "3"},
        CasFins{"LF CR LF au milieu", A + LF + CRLF + B + LF, Lundi24, Mercredi26, "3"},
        CasFins{"ligne vide en tête", CRLF + A, NonDefiniDebut, Lundi24, "2"},
        CasFins{"seulement LF", LF, NonDefiniDebut, NonDefiniFin, "1"},
        CasFins{"seulement CR", CR, NonDefiniDebut, NonDefiniFin, "1"},
        CasFins{"seulement CR LF", CRLF, NonDefiniDebut, NonDefiniFin, "1"},
        CasFins{"une ligne sans fin", A, Lundi24, Lundi24, "1"}));

// Lignes longues et fins de ligne à cheval sur les limites des lectures par blocs.
TEST_F(AnalyseJournal, LignesLonguesEtFinsALaLimiteDesBlocs) {
    struct Cas {
        std::string nom;
        std::string contenu;
        std::string fin;
        std::string lignes;
    };
    std::vector<Cas> cas;
    for (std::size_t limite : {std::size_t{1} << 16, std::size_t{1} << 18}) {
        for (int decalage = -2; decalage <= 2; ++decalage) {
            const std::size_t position =
                static_cast<std::size_t>(static_cast<long long>(limite) + decalage);
            for (const std::string& fin : {CRLF, LF, CR}) {
                // Première ligne longue : sa fin de ligne tombe autour de la limite.
                std::string premiere = A + std::string(position - A.size(), 'x');
                cas.push_back({"première ligne de " + std::to_string(position),
                               premiere + fin + B + CRLF, Mercredi26, "2"});
                // Deuxième ligne de remplissage, fin de ligne autour de la limite.
                const std::string tete = A + CRLF;
                std::string remplissage(position - tete.size(), 'y');
                cas.push_back({"remplissage jusqu'à " + std::to_string(position),
                               tete + remplissage + fin + C + fin, Mardi25, "3"});
                // Dernière ligne longue, sans ou avec fin de ligne.
                cas.push_back({"dernière ligne de " + std::to_string(position),
                               A + fin + B + std::string(position, 'z'), Mercredi26, "2"});
                cas.push_back({"dernière ligne terminée de " + std::to_string(position),
                               A + fin + C + std::string(position, 'z') + fin, Mardi25, "2"});
            }
        }
    }
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const auto r = Analyser(c.contenu);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r->Texte(), Resume(Lundi24, c.fin, c.lignes));
    }
}

// Journaux tirés au hasard (graine fixe) : le nombre de lignes et la dernière ligne sont ceux
// d'un découpage simple en avant, octet par octet.
std::vector<std::string> DecouperEnAvant(const std::string& s) {
    std::vector<std::string> lignes;
    std::string courante;
    bool ouverte = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\r' || c == '\n') {
            lignes.push_back(courante);
            courante.clear();
            ouverte = false;
            if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else {
            courante += c;
            ouverte = true;
        }
    }
    if (ouverte)
        lignes.push_back(courante);
    return lignes;
}

TEST_F(AnalyseJournal, JournauxAuHasardCommeLaLectureEnAvant) {
    const std::vector<std::pair<std::string, std::string>> dates{
        {"12/24/2001", Lundi24}, {"12/25/2001", Mardi25}, {"12/26/2001", Mercredi26}};
    const std::vector<std::string> fins{CRLF, LF, CR};
    std::mt19937 alea(20021207);
    for (int essai = 0; essai < 30; ++essai) {
        std::string contenu;
        const std::size_t cible = std::uniform_int_distribution<std::size_t>(0, 700000)(alea);
        while (contenu.size() < cible) {
            const auto genre = std::uniform_int_distribution<int>(0, 9)(alea);
            if (genre < 7)
                contenu += dates[static_cast<std::size_t>(genre % 3)].first;
            else if (genre == 7)
                contenu += "non dat\xE9";
            // Longueur : courte le plus souvent, parfois plus grande qu'un bloc.
            const bool longue = std::uniform_int_distribution<int>(0, 40)(alea) == 0;
            const std::size_t n =
                std::uniform_int_distribution<std::size_t>(0, longue ? 300000 : 120)(alea);
            contenu += std::string(n, static_cast<char>('a' + static_cast<int>(n % 26)));
            contenu += fins[std::uniform_int_distribution<std::size_t>(0, 2)(alea)];
        }
        if (std::uniform_int_distribution<int>(0, 1)(alea) == 1 && !contenu.empty())
            contenu.pop_back(); // fin coupée : CR LF devient CR, ou dernière ligne sans fin
        const auto lignes = DecouperEnAvant(contenu);
        auto forme = [&](const std::string& ligne, const std::string& nonDefini) {
            for (const auto& [texte, longue] : dates)
                if (ligne.rfind(texte, 0) == 0)
                    return longue;
            return nonDefini;
        };
        const std::string debut =
            lignes.empty() ? NonDefiniDebut : forme(lignes.front(), NonDefiniDebut);
        const std::string fin = lignes.empty() ? NonDefiniFin : forme(lignes.back(), NonDefiniFin);
        SCOPED_TRACE("essai " + std::to_string(essai) + ", " + std::to_string(contenu.size()) +
                     " octets");
        const auto r = Analyser(contenu);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r->Texte(), Resume(debut, fin, std::to_string(lignes.size())));
    }
}

} // namespace
} // namespace vek

namespace vek {
namespace {

// Un journal marqué comme texte Unicode, ou vide, reçoit un conseil qui nomme le problème ; un
// journal ordinaire, aucun.
TEST(AnalyseConseil, MarquesUnicodeEtJournalVide) {
    const struct {
        const char* nom;
        std::string contenu;
        ResumeJournal::Marque marque;
        const char* conseil; // dans le texte du conseil ; vide : aucun conseil
    } cas[] = {
        {"ordinaire", "12/24/2001 x\r\n", ResumeJournal::Marque::Aucune, ""},
        {"UTF-8",
         "\xEF\xBB\xBF"
         "12/24/2001 x\r\n",
         ResumeJournal::Marque::Utf8, "UTF-8"},
        {"UTF-16 petit-boutiste",
         std::string("\xFF\xFE"
                     "1\0"
                     "2\0",
                     6),
         ResumeJournal::Marque::Utf16PetitBoutiste, "UTF-16 (petit-boutiste)"},
        {"UTF-16 grand-boutiste",
         std::string("\xFE\xFF\0"
                     "1\0"
                     "2",
                     6),
         ResumeJournal::Marque::Utf16GrandBoutiste, "UTF-16 (grand-boutiste)"},
        {"vide", "", ResumeJournal::Marque::Aucune, "vide"},
    };
    test::DossierTemporaire dossier;
    Moteur module{test::Reglages(dossier.Chemin())};
    test::ProgressionNotee progression;
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const auto r = module.Analyser({dossier.Ecrire("journal.txt", c.contenu)}, progression);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r->marque, c.marque);
        if (*c.conseil == '\0')
            EXPECT_TRUE(r->Conseil().empty()) << r->Conseil();
        else
            EXPECT_NE(r->Conseil().find(c.conseil), std::string::npos) << r->Conseil();
    }
}

} // namespace
} // namespace vek
