// Le graphique d'activité de la page web : ce qu'il compte (une heure impossible compte sans
// heure) et où il pose ses étiquettes (jamais l'une sur l'autre, toujours dans le dessin).

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "Date.h"
#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "PageWeb.h"

namespace vek {
namespace {

// Une heure impossible (25 h, 99 h) le dernier jour d'une page par heure : elle compte parmi les
// entrées sans heure au lieu de tomber hors du graphique (la mémoire était écrasée).
TEST(PageWebGraphique, HeureImpossibleCompteeSansHeure) {
    test::DossierTemporaire dossier;
    Moteur module{test::Reglages(dossier.Chemin())};
    test::ReglagesEcriture ecriture;
    test::ProgressionNotee progression;
    const std::string journal = "12/24/2001 21:04:05 - [Commerce] \"Aldric\": bonsoir\r\n"
                                "12/25/2001 25:61:99 - [Commerce] \"Aldric\": trop tard\r\n"
                                "12/25/2001 99:00:00 - [Commerce] \"Brune\": bien trop tard\r\n";
    const auto r = test::Chercher(module, dossier.Ecrire("journal.txt", journal), {2001, 12, 24},
                                  {2001, 12, 25}, progression);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    test::ArbresCoches arbres;
    arbres.Remplir(*r->catalogue);
    arbres.ToutCocher(arbres.channels);
    arbres.ToutCocher(arbres.noms);
    for (const Decoupage d : {Decoupage::Aucun, Decoupage::Jour}) {
        ecriture.decoupage = d;
        const ModesPartages modes;
        const auto ecrit = test::Ecrire(module, arbres.Capturer(), modes,
                                        FormatsSortie::De({"html"}), progression, {}, ecriture);
        ASSERT_TRUE(ecrit.ok()) << ecrit.Echec().Message();
    }
    const std::string page = test::LireTout(dossier.Fichier("LogFinal.html"));
    EXPECT_NE(page.find("2 sans heure"), std::string::npos);
    EXPECT_NE(test::LireTout(dossier.Fichier("LogFinal/2001-12-25.html")).find("2 sans heure"),
              std::string::npos);
}

// Les étiquettes sous les barres du graphique ne se chevauchent jamais et tiennent dans le
// dessin, quelle que soit la durée de la page : un jour (par heure), quatre jours (par jour, peu de
// barres), un mois, deux ans (par mois). Chaque étiquette compte 6 unités par caractère au plus.
struct CasGraphique {
    const char* nom;
    int jours; // une ligne par jour, depuis le 24/12/2001
};

class Etiquettes : public ::testing::TestWithParam<CasGraphique> {};

TEST_P(Etiquettes, NeSeChevauchentJamais) {
    BilanPage bilan;
    for (int j = 0; j < GetParam().jours; ++j) {
        // Le j-ième jour après le 24/12/2001, par le calendrier (mois de 28 à 31 jours).
        Date d{2001, 12, 24};
        for (int k = 0; k < j; ++k)
            d = d.jour < JoursDansMois(d.annee, d.mois) ? Date{d.annee, d.mois, d.jour + 1}
                : d.mois < 12                           ? Date{d.annee, d.mois + 1, 1}
                                                        : Date{d.annee + 1, 1, 1};
        bilan.parHeure[{d, 21}] += 3;
    }
    std::string svg;
    AjouterGraphique(svg, bilan);
    const std::smatch vue = [&] {
        std::smatch m;
        EXPECT_TRUE(std::regex_search(svg, m, std::regex(R"(viewBox="0 0 (\d+) 118")")));
        return m;
    }();
    const long largeur = std::stol(vue[1]);
    static const std::regex Texte(R"(<text x=(\d+) y=114>([^<]*)</text>)");
    long fin = -1;
    int etiquettes = 0;
    for (std::sregex_iterator i(svg.begin(), svg.end(), Texte), f; i != f; ++i, ++etiquettes) {
        const long x = std::stol((*i)[1]);
        const long l = static_cast<long>((*i)[2].str().size()) * 6;
        EXPECT_GT(x, fin) << (*i)[2] << " chevauche la précédente";
        EXPECT_LE(x + l, largeur) << (*i)[2] << " sort du dessin";
        fin = x + l;
    }
    EXPECT_GE(etiquettes, 1);
}

INSTANTIATE_TEST_SUITE_P(PageWebGraphique, Etiquettes,
                         ::testing::Values(CasGraphique{"UnJour", 1},
                                           CasGraphique{"QuatreJours", 4},
                                           CasGraphique{"UnMois", 31},
                                           CasGraphique{"DeuxAns", 730}),
                         [](const auto& cas) { return std::string(cas.param.nom); });

} // namespace
} // namespace vek
