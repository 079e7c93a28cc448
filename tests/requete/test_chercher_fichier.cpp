// La passe sur un journal de plusieurs blocs : lue par blocs, en deux moitiés ou non, elle trouve
// exactement ce que trouve la boucle de correspondance nourrie ligne à ligne (fins de ligne
// mêlées, ligne démesurée, dernière ligne sans fin) ; un journal qui change pendant la passe la
// fait échouer sans rien raccorder ; l'arrêt l'interrompt.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "GenerateurJournal.h"
#include "Lecture.h"
#include "OutilsMoteur.h"
#include "TrouverScene.h"

namespace vek {
namespace {

using test::DossierTemporaire;
using test::ProgressionNotee;

// Un journal de trois Mo environ : fins de ligne mêlées, une ligne de 2,5 Mo (plus longue que le
// tampon) qui contient « dragon » au début et à la fin, et une dernière ligne sans fin de ligne.
std::string Contenu() {
    ParametresJournal p;
    p.lignes = 30000;
    p.graine = 37;
    GenerateurJournal g(p);
    std::mt19937 hasard(4);
    std::string contenu, ligne;
    for (std::uint64_t i = 0; g.LigneSuivante(ligne); ligne.clear(), ++i) {
        if (i == 15000)
            contenu += "12/25/2001 10:00:00 - {Aldric}\":\"dragon " + std::string(2500000, 'x') +
                       " dragon\r\n";
        static const char* const fins[] = {"\r\n", "\n", "\r", "\r\n", "\r\n"};
        contenu += ligne + fins[hasard() % 5];
    }
    return contenu + "12/27/2001 23:59:00 - {Brune}\":\"le dragon, enfin";
}

// La référence : chaque ligne lue une à une et examinée par la boucle de correspondance.
ResultatScene LigneALigne(const DemandeScene& d) {
    LecteurTexte lecteur;
    EXPECT_TRUE(lecteur.Ouvrir(d.journaux.Premier()));
    ParcoursRecherche parcours(d.requete, d.periode, d.pauseSessions);
    ResultatScene r;
    while (!lecteur.FinFichier()) {
        const std::uint64_t position = lecteur.DebutLigneSuivante();
        const std::string_view ligne = lecteur.LireLigne();
        LigneTrouvee t;
        ++r.lignesLues;
        if (parcours.Examiner(ligne, t)) {
            t.numero = r.lignesLues;
            t.position = position;
            r.lignes.push_back(std::move(t));
        }
    }
    r.trouvees = r.lignes.size();
    r.seances = parcours.Seances().Terminer();
    return r;
}

void Comparer(const ResultatScene& a, const ResultatScene& b, const std::string& quoi) {
    EXPECT_EQ(a.lignesLues, b.lignesLues) << quoi;
    EXPECT_EQ(a.trouvees, b.trouvees) << quoi;
    EXPECT_EQ(a.seances, b.seances) << quoi;
    ASSERT_EQ(a.lignes.size(), b.lignes.size()) << quoi;
    for (std::size_t i = 0; i < a.lignes.size(); ++i) {
        const LigneTrouvee &x = a.lignes[i], &y = b.lignes[i];
        EXPECT_TRUE(x.numero == y.numero && x.position == y.position && x.date == y.date &&
                    x.seconde == y.seconde && x.seance == y.seance && x.ligne == y.ligne &&
                    x.passages == y.passages)
            << quoi << " : ligne " << y.numero << " contre " << x.numero;
    }
}

class CherchePlusieursBlocs : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dossier_ = new DossierTemporaire;
        dossier_->Ecrire("journal.txt", Contenu());
    }
    static void TearDownTestSuite() { delete dossier_; }
    static std::string Chemin() { return dossier_->Fichier("journal.txt"); }
    static DossierTemporaire* dossier_;
};
DossierTemporaire* CherchePlusieursBlocs::dossier_ = nullptr;

TEST_F(CherchePlusieursBlocs, CommeLigneALigneEnUnOuDeuxMorceaux) {
    const Periode periode{{{2001, 12, 25}, 9 * 3600}, {{2001, 12, 26}, 12 * 3600}};
    for (const char* texte : {"dragon", "\"le ch\xC3\xA2teau\" -pris", "de:aldric bonjour",
                              "channel:guilde", "e", "mari", "zzqxw", "c\xC5\x93ur -golem"}) {
        for (const bool avecPeriode : {false, true}) {
            DemandeScene d{Chemin(), *AnalyserRequete(texte)};
            d.pauseSessions = 1;
            d.maximumGardees = ~std::uint64_t{0}; // « e » en trouve des dizaines de milliers
            if (avecPeriode)
                d.periode = periode;
            const ResultatScene attendu = LigneALigne(d);
            for (const std::uint64_t seuil : {std::uint64_t{0}, ~std::uint64_t{0}}) {
                d.seuilEnDeux = seuil;
                ProgressionNotee p;
                const auto r = TrouverScene(d, p, {});
                ASSERT_TRUE(r.ok()) << r.Echec().Message();
                Comparer(*r, attendu, std::string(texte) + (seuil ? "" : ", en deux"));
                EXPECT_EQ(p.valeur, static_cast<std::int64_t>(p.maximums.at(0) - 1));
            }
        }
    }
}

TEST_F(CherchePlusieursBlocs, LaLigneDemesureeEstTrouveeSurSonDebut) {
    DemandeScene d{Chemin(), *AnalyserRequete("de:aldric dragon")};
    ProgressionNotee p;
    const auto r = TrouverScene(d, p, {});
    ASSERT_TRUE(r.ok());
    const auto geante = std::find_if(r->lignes.begin(), r->lignes.end(), [](const auto& t) {
        return t.ligne.size() == ParcoursRecherche::LongueurLigneGardee;
    });
    ASSERT_NE(geante, r->lignes.end());
    EXPECT_EQ(geante->passages.size(), 1u); // le « dragon » de la fin n'est pas gardé
    // Sa position est bien celle de son début dans le journal, et la ligne qui la suit est
    // numérotée après elle.
    std::ifstream journal(Chemin(), std::ios::binary);
    journal.seekg(static_cast<std::streamoff>(geante->position));
    std::string debut(40, '\0');
    journal.read(debut.data(), 40);
    EXPECT_EQ(debut, geante->ligne.substr(0, 40));
    const auto apres = std::next(geante);
    ASSERT_NE(apres, r->lignes.end());
    EXPECT_GT(apres->position, geante->position + 2500000);
}

struct Changement {
    const char* nom;
    void (*changer)(const std::string& chemin, const DossierTemporaire& d);
};

class JournalQuiChange : public testing::TestWithParam<Changement> {};

TEST_P(JournalQuiChange, EchoueSansRienRaccorder) {
    for (const std::uint64_t seuil : {std::uint64_t{0}, ~std::uint64_t{0}}) {
        DossierTemporaire d;
        const std::string chemin = d.Ecrire("journal.txt", Contenu());
        DemandeScene demande{chemin, *AnalyserRequete("dragon")};
        demande.seuilEnDeux = seuil;
        ProgressionNotee p;
        bool fait = false;
        p.surValeur = [&](std::uint64_t) {
            if (!fait)
                GetParam().changer(chemin, d);
            fait = true;
        };
        const auto r = TrouverScene(demande, p, {});
        ASSERT_TRUE(fait);
        ASSERT_FALSE(r.ok());
        EXPECT_FALSE(r.Echec().interrompu);
        const std::string raison = r.Echec().raison;
        EXPECT_TRUE(raison.find("raccourci") != std::string::npos ||
                    raison.find("remplacé ou réécrit") != std::string::npos ||
                    raison.find("permission refusée") != std::string::npos) // Windows
            << raison;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Journal, JournalQuiChange,
    testing::Values(Changement{"tronque",
                               [](const std::string& c, const DossierTemporaire&) {
                                   std::filesystem::resize_file(c, 50);
                               }},
                    Changement{"remplace_par_renommage",
                               [](const std::string& c, const DossierTemporaire& d) {
                                   std::filesystem::rename(
                                       d.Ecrire("autre.txt", Contenu() + "\r\n"), c);
                               }}),
    [](const auto& essai) { return std::string(essai.param.nom); });

TEST(ChercherArret, LArretInterromptLesDeuxMoities) {
    DossierTemporaire d;
    const std::string chemin = d.Ecrire("journal.txt", Contenu());
    for (const std::uint64_t seuil : {std::uint64_t{0}, ~std::uint64_t{0}}) {
        DemandeScene demande{chemin, *AnalyserRequete("e")};
        demande.seuilEnDeux = seuil;
        std::stop_source arret;
        ProgressionNotee p;
        p.surValeur = [&](std::uint64_t) { arret.request_stop(); };
        const auto r = TrouverScene(demande, p, arret.get_token());
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.Echec().interrompu);
    }
}

// Les lignes d'un lecteur lues par blocs de lignes entières (et une à une quand aucune ne finit
// dans le tampon) sont celles que LireLigne donne, quelles que soient les fins de ligne et la
// taille du tampon : un CR LF coupé entre deux blocs n'y fait qu'une fin de ligne.
TEST(LireLignesEntieres, MemesLignesQueLireLigne) {
    DossierTemporaire d;
    std::mt19937 hasard(9);
    std::string contenu;
    for (int i = 0; i < 400; ++i) {
        contenu += std::string(hasard() % 40, static_cast<char>('a' + i % 26));
        static const char* const fins[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\n"};
        contenu += fins[hasard() % 5];
    }
    for (const std::string& texte : {contenu, contenu + "fin sans fin de ligne"}) {
        const std::string chemin = d.Ecrire("j.txt", texte);
        LecteurTexte une;
        ASSERT_TRUE(une.Ouvrir(chemin));
        std::vector<std::string> attendues;
        while (!une.FinFichier())
            attendues.emplace_back(une.LireLigne());
        for (const std::size_t tampon : {1u, 2u, 7u, 64u, 1000u}) {
            LecteurTexte blocs(tampon);
            ASSERT_TRUE(blocs.Ouvrir(chemin));
            std::vector<std::string> lignes;
            while (!blocs.FinFichier()) {
                const std::string_view b = blocs.LireLignesEntieres();
                if (b.empty()) {
                    lignes.emplace_back(blocs.LireLigne());
                    continue;
                }
                // Chaque ligne du bloc finit par LF, CR LF ou CR (le dernier octet du bloc en est
                // une fin).
                ASSERT_TRUE(b.back() == '\n' || b.back() == '\r');
                std::string ligne;
                for (std::size_t i = 0; i < b.size(); ++i) {
                    if (b[i] != '\r' && b[i] != '\n') {
                        ligne += b[i];
                        continue;
                    }
                    if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n')
                        ++i;
                    lignes.push_back(std::move(ligne));
                    ligne.clear();
                }
            }
            EXPECT_EQ(lignes, attendues) << "tampon de " << tampon;
        }
    }
}

} // namespace
} // namespace vek
