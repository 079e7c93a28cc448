#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Fichiers.h"
#include "SystemeDeTest.h"
#include "TemoinJournal.h"

using namespace vek;
using vek::test::DossierTemporaire;
using vek::test::LireTout;

namespace {

std::vector<std::string> LireToutesLesLignes(const std::string& chemin) {
    LecteurTexte l;
    EXPECT_TRUE(l.Ouvrir(chemin));
    std::vector<std::string> lignes;
    while (!l.FinFichier())
        lignes.emplace_back(l.LireLigne());
    return lignes;
}

std::uint64_t CompterParSauts(const std::string& chemin) {
    LecteurTexte l;
    EXPECT_TRUE(l.Ouvrir(chemin));
    std::uint64_t n = 0;
    while (!l.FinFichier()) {
        l.LireDebutDeLigne(0); // passe la ligne sans la garder
        ++n;
    }
    return n;
}

struct CasFinsDeLigne {
    const char* nom;
    std::string contenu;
    std::vector<std::string> lignes;
};

class FinsDeLigne : public ::testing::TestWithParam<CasFinsDeLigne> {};

TEST_P(FinsDeLigne, LectureSautComptageEtDerniereLigneConcordent) {
    const auto& cas = GetParam();
    DossierTemporaire d;
    const auto f = d.Ecrire("j.txt", cas.contenu);
    EXPECT_EQ(LireToutesLesLignes(f), cas.lignes);
    EXPECT_EQ(CompterParSauts(f), cas.lignes.size());
    LecteurTexte l;
    ASSERT_TRUE(l.Ouvrir(f));
    EXPECT_EQ(l.CompterLignes(), cas.lignes.size());
    std::string derniere;
    EXPECT_EQ(LireDerniereLigne(f, derniere), !cas.lignes.empty());
    if (!cas.lignes.empty()) {
        EXPECT_EQ(derniere, cas.lignes.back());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lecteur, FinsDeLigne,
    ::testing::Values(
        CasFinsDeLigne{"vide", "", {}}, CasFinsDeLigne{"crlf", "a\r\nb\r\n", {"a", "b"}},
        CasFinsDeLigne{"lf", "a\nb\n", {"a", "b"}}, CasFinsDeLigne{"cr", "a\rb\r", {"a", "b"}},
        CasFinsDeLigne{"sansFinale", "a\r\nb", {"a", "b"}},
        CasFinsDeLigne{"melange", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        CasFinsDeLigne{"lignesVides", "\r\n\r\n", {"", ""}},
        CasFinsDeLigne{"crPuisCrlf", "a\r\r\n", {"a", ""}},
        CasFinsDeLigne{"lfPuisCr", "a\n\r", {"a", ""}},
        CasFinsDeLigne{"lfCr", "a\n\rb", {"a", "", "b"}}, CasFinsDeLigne{"uneSeuleFin", "\n", {""}},
        CasFinsDeLigne{"octetsNul",
                       std::string("a\0b\r\n\0\r\n", 8),
                       {std::string("a\0b", 3), std::string(1, '\0')}},
        CasFinsDeLigne{"espaces", "  a  \r\n", {"  a  "}}),
    [](const auto& param) { return std::string(param.param.nom); });

// Fins de ligne à cheval sur deux remplissages du tampon : le CR en dernier octet d'un tampon et
// son LF au début du suivant ne font qu'une fin de ligne.
TEST(Lecteur, FinDeLigneACChevalSurLeTampon) {
    for (std::size_t decalage : {0u, 1u, 2u}) {
        DossierTemporaire d;
        std::string contenu(LecteurTexte::TailleTampon - 1 - decalage, 'x');
        contenu += "\r\nsuite\r\n";
        const auto f = d.Ecrire("j.txt", contenu);
        const auto lignes = LireToutesLesLignes(f);
        ASSERT_EQ(lignes.size(), 2u) << decalage;
        EXPECT_EQ(lignes[0].size(), LecteurTexte::TailleTampon - 1 - decalage);
        EXPECT_EQ(lignes[1], "suite");
        EXPECT_EQ(CompterParSauts(f), 2u);
        LecteurTexte l;
        ASSERT_TRUE(l.Ouvrir(f));
        EXPECT_EQ(l.CompterLignes(), 2u);
    }
}

TEST(Lecteur, LigneDeCinquanteMegaOctetsSansFinDeLigne) {
    DossierTemporaire d;
    std::string contenu = "debut\r\n";
    contenu += std::string(50u << 20, 'z');
    const auto f = d.Ecrire("j.txt", contenu);
    LecteurTexte l;
    ASSERT_TRUE(l.Ouvrir(f));
    EXPECT_EQ(l.LireLigne(), "debut");
    const std::string_view longue = l.LireLigne();
    EXPECT_EQ(longue.size(), 50u << 20);
    EXPECT_EQ(longue.find_first_not_of('z'), std::string_view::npos);
    EXPECT_TRUE(l.FinFichier());
    EXPECT_EQ(CompterParSauts(f), 2u);
    std::string derniere;
    ASSERT_TRUE(LireDerniereLigne(f, derniere));
    EXPECT_EQ(derniere.size(), 50u << 20);
}

// Comptage rapide, saut ligne à ligne et lecture donnent le même nombre sur un contenu
// pseudo-aléatoire riche en fins de ligne de toutes sortes.
TEST(Lecteur, ComptageIdentiqueAuxSautsSurContenuAleatoire) {
    DossierTemporaire d;
    std::uint32_t graine = 12345;
    std::string contenu;
    const char alphabet[] = {'a', '\r', '\n', 'b', '\r', '\n', 'c', ' '};
    for (std::size_t i = 0; i < 3 * LecteurTexte::TailleTampon + 17; ++i) {
        graine = graine * 1103515245u + 12345u;
        contenu.push_back(alphabet[(graine >> 16) % 8]);
    }
    const auto f = d.Ecrire("j.txt", contenu);
    LecteurTexte l;
    ASSERT_TRUE(l.Ouvrir(f));
    const auto compte = l.CompterLignes();
    EXPECT_EQ(compte, CompterParSauts(f));
    const auto lignes = LireToutesLesLignes(f);
    EXPECT_EQ(compte, lignes.size());
    // Découpage de référence, octet par octet.
    std::vector<std::string> attendues;
    std::string courante;
    for (std::size_t i = 0; i < contenu.size(); ++i) {
        if (contenu[i] != '\r' && contenu[i] != '\n') {
            courante.push_back(contenu[i]);
            continue;
        }
        attendues.push_back(courante);
        courante.clear();
        if (contenu[i] == '\r' && i + 1 < contenu.size() && contenu[i + 1] == '\n')
            ++i;
    }
    if (!courante.empty())
        attendues.push_back(courante);
    EXPECT_EQ(lignes, attendues);
    std::string derniere;
    ASSERT_TRUE(LireDerniereLigne(f, derniere));
    EXPECT_EQ(derniere, lignes.back());
}

TEST(Lecteur, OuvertureImpossible) {
    DossierTemporaire d;
    LecteurTexte l;
    EXPECT_FALSE(l.Ouvrir(d.Fichier("absent.txt")));
    EXPECT_EQ(l.Raison(), "fichier ou dossier introuvable");
    EXPECT_FALSE(FichierExiste(d.Fichier("absent.txt"))); // pas créé
    EXPECT_FALSE(l.Ouvrir(d.Chemin()));                   // un dossier
    EXPECT_EQ(l.Raison(), "c'est un dossier, pas un fichier");
}

TEST(Ecrivain, EcritLesOctetsTelsQuelsEtLesGrandesLignes) {
    DossierTemporaire d;
    EcrivainTexte e;
    ASSERT_TRUE(e.Creer(d.Fichier("s.txt")));
    const std::string grande(3u << 20, '\xE9');
    e.EcrireLigne("caf\xE9");
    e.Ecrire(grande);
    e.EcrireLigne("");
    ASSERT_TRUE(e.Fermer());
    EXPECT_EQ(LireTout(d.Fichier("s.txt")), "caf\xE9\r\n" + grande + "\r\n");
}

TEST(EcritureAtomique, RemplaceUnAncienFichierEnLectureSeule) {
    DossierTemporaire d;
    const auto cible = d.Ecrire("LogFinal.txt", "ancien");
    test::LectureSeule(cible);
    EcritureAtomique w;
    ASSERT_TRUE(w.Ouvrir(cible));
    w.Flux().Ecrire("nouveau");
    EXPECT_EQ(LireTout(cible), "ancien"); // rien avant la validation
    ASSERT_TRUE(w.Valider()) << w.Raison();
    EXPECT_EQ(LireTout(cible), "nouveau");
    // Aucun fichier temporaire ne traîne.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(d.Chemin()), {}), 1);
}

TEST(EcritureAtomique, AbandonLaisseLAncienIntact) {
    DossierTemporaire d;
    const auto cible = d.Ecrire("LogVEKtemp.txt", "ancien");
    {
        EcritureAtomique w;
        ASSERT_TRUE(w.Ouvrir(cible));
        w.Flux().Ecrire("partiel");
    } // détruit sans validation
    EXPECT_EQ(LireTout(cible), "ancien");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(d.Chemin()), {}), 1);
}

// Prolonger un fichier écrit par le programme : l'écriture reprend à la taille donnée et ce qui
// dépassait est coupé. Seul un fichier ordinaire sans autre nom est repris : un fichier absent,
// ou partagé avec un autre nom par un lien physique, ne l'est pas, et l'autre nom ne change pas.
TEST(EcrivainTexte, ProlongeSeulementUnFichierSansAutreNom) {
    DossierTemporaire d;
    const auto seul = d.Ecrire("LogVEKtemp.txt", "ligne 1\r\nligne 2\r\n");
    {
        EcrivainTexte e;
        ASSERT_TRUE(e.Prolonger(seul, 9)) << e.Raison();
        e.Ecrire("suite\r\n");
        ASSERT_TRUE(e.Fermer()) << e.Raison();
    }
    EXPECT_EQ(LireTout(seul), "ligne 1\r\nsuite\r\n");
    const auto liee = d.Ecrire("liee.txt", "ancien");
    const auto autreNom = d.Fichier("autre-nom.txt");
    std::filesystem::create_hard_link(liee, autreNom);
    for (const auto& cible : {d.Fichier("absente.txt"), liee}) {
        EcrivainTexte e;
        EXPECT_FALSE(e.Prolonger(cible, 0)) << cible;
    }
    EXPECT_EQ(LireTout(autreNom), "ancien");
    EXPECT_FALSE(FichierExiste(d.Fichier("absente.txt")));
}

// Retirer les pages d'un fichier de la mémoire ne touche pas à son contenu ; un fichier absent
// ou un dossier ne gênent pas.
TEST(Fichiers, OublierLesPagesGardeLeContenu) {
    DossierTemporaire d;
    const std::string contenu(3u << 20, 'p');
    const auto f = d.Ecrire("LogFinal.txt", contenu);
    OublierPagesEnMemoire(f);
    EXPECT_EQ(LireTout(f), contenu);
    OublierPagesEnMemoire(d.Fichier("absent.txt"));
    OublierPagesEnMemoire(d.Chemin());
    EXPECT_FALSE(FichierExiste(d.Fichier("absent.txt")));
}

TEST(EcritureAtomique, DossierAbsentSignaleLeFichierEtLaRaison) {
    DossierTemporaire d;
    EcritureAtomique w;
    const auto cible = d.Fichier("absent/LogFinal.txt");
    EXPECT_FALSE(w.Ouvrir(cible));
    EXPECT_EQ(w.FichierEnCause(), cible);
    EXPECT_EQ(w.Raison(), "fichier ou dossier introuvable");
}

TEST(Fichiers, ExisteEtSuppressionMemeEnLectureSeule) {
    DossierTemporaire d;
    const auto f = d.Ecrire("a.txt", "x");
    EXPECT_TRUE(FichierExiste(f));
    EXPECT_FALSE(FichierExiste(d.Chemin())); // un dossier n'est pas un fichier
    test::LectureSeule(f);
    EXPECT_TRUE(SupprimerFichier(f));
    EXPECT_FALSE(FichierExiste(f));
    EXPECT_TRUE(SupprimerFichier(f)); // déjà absent : il n'existe plus, c'est le but
}

TEST(Fichiers, JoindreEtDossierDuProgramme) {
#ifdef _WIN32
    const std::string attendu = "/a/b\\LogFinal.txt";
#else
    const std::string attendu = "/a/b/LogFinal.txt";
#endif
    EXPECT_EQ(JoindreChemin("/a/b", "LogFinal.txt"), attendu);
    EXPECT_EQ(JoindreChemin("/a/b/", "LogFinal.txt"), "/a/b/LogFinal.txt");
    const auto dossier = RepertoireExecutable();
    ASSERT_FALSE(dossier.empty());
    EXPECT_NE(dossier.back(), '/');
    EXPECT_NE(dossier.back(), '\\');
    EXPECT_TRUE(std::filesystem::is_directory(dossier));
}

TEST(Fichiers, DossierDuProgrammeNonInscriptiblePasseAuxDonneesUtilisateur) {
    // Le dossier de l'exécutable des tests est inscriptible : c'est lui qui est rendu.
    EXPECT_EQ(RepertoireProgramme(), RepertoireExecutable());
}

} // namespace

// Un journal supprimé pendant qu'on le lit est dit supprimé, pas remplacé ni réécrit.
TEST(TemoinJournal, UnJournalSupprimePendantLaLectureEstDitSupprime) {
    DossierTemporaire d;
    const std::string chemin = d.Ecrire("journal.txt", "12/24/2001 21:00:00 - a\r\n");
    LecteurTexte lecteur;
    ASSERT_TRUE(lecteur.Ouvrir(chemin));
    TemoinJournal temoin;
    ASSERT_TRUE(temoin.Noter(chemin, lecteur));
    while (!lecteur.FinFichier())
        lecteur.LireLigne();
    EXPECT_EQ(temoin.Changement(chemin, lecteur), std::nullopt);
    std::error_code ec;
    if (!std::filesystem::remove(chemin, ec))
        GTEST_SKIP() << "le système refuse de supprimer un fichier ouvert : " << ec.message();
    EXPECT_EQ(temoin.Changement(chemin, lecteur), TemoinJournal::RaisonSupprime());
}
