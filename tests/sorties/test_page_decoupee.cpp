// La page web découpée (dossier LogFinal/) et ce que gagne chaque page : pages bien formées sans
// script ni ressource extérieure, ancres uniques, liens qui mènent quelque part (sommaire des
// jours, sommaire du dossier, chaîne précédent/suivant), mêmes entrées que la page unique dans
// le même ordre, graphique qui compte les entrées (son dessin : test_graphique_activite.cpp),
// textes hostiles restés du texte, dossier remplacé en entier et jamais à moitié, même par un
// processus tué pendant l'écriture.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "DossierTemporaire.h"
#include "LecturePublication.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "PageWeb.h"
#include "PasseDEssai.h"
#include "Selection.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

std::string Ligne(int mois, int jour, int seconde, std::string_view corps) {
    char entete[40];
    std::snprintf(entete, sizeof entete, "%02d/%02d/2001 %02d:%02d:%02d - ", mois, jour,
                  seconde / 3600 % 24, seconde / 60 % 60, seconde % 60);
    return std::string(entete).append(corps).append("\r\n");
}

// Des jours de novembre et décembre ; le 25 décembre passe 5 000 entrées ; le 24 revient après
// le 25 (journaux mis bout à bout) ; des noms et des channels hostiles.
std::string JournalDeJours() {
    std::string j = "*** Journal ***\r\n";
    const char* corps[] = {"[Commerce] \"Aldric\": bonjour", "[<b>\"&x] \"<script>\": <i>&amp;",
                           "Vous avez dit : salut", "Aldric vous appelle : psst",
                           "{Zo\xE9}\":\"proche"};
    const auto jour = [&](int mois, int d, int n) {
        for (int i = 0; i < n; ++i)
            j += Ligne(mois, d, 36000 + i / 3, corps[i % 5]);
    };
    jour(11, 30, 40);
    jour(12, 24, 30);
    jour(12, 25, 5003);
    jour(12, 24, 7);
    jour(12, 26, 12);
    return j;
}

// Les ancres et les liens d'une page.
struct Liens {
    std::vector<std::string> ids, hrefs;
    std::string precedent, suivant;
};

Liens LireLiens(const std::string& h) {
    Liens l;
    static const std::regex Id(R"( id=([^ >"]+))"), Href(R"(href="([^"]*)\"( rel=(prev|next))?)");
    for (std::sregex_iterator i(h.begin(), h.end(), Id), fin; i != fin; ++i)
        l.ids.push_back((*i)[1]);
    for (std::sregex_iterator i(h.begin(), h.end(), Href), fin; i != fin; ++i) {
        l.hrefs.push_back((*i)[1]);
        if ((*i)[3] == "prev")
            l.precedent = (*i)[1];
        if ((*i)[3] == "next")
            l.suivant = (*i)[1];
    }
    return l;
}

// La somme des bulles du graphique (« … : 12 entrées »).
std::uint64_t CompteDuGraphique(const std::string& h) {
    static const std::regex Bulle(R"(<title>[^<]* : ([0-9\xE2\x80\xAF]+) entrées?</title>)");
    std::uint64_t total = 0;
    for (std::sregex_iterator i(h.begin(), h.end(), Bulle), fin; i != fin; ++i) {
        std::string chiffres = (*i)[1];
        std::erase_if(chiffres, [](char c) { return c < '0' || c > '9'; });
        total += std::stoull(chiffres);
    }
    return total;
}

class PageDecoupee : public test::PasseDEssai {
protected:
    void SetUp() override { ChercherToutCocher(JournalDeJours(), {2001, 11, 1}, {2001, 12, 31}); }
    Issue<ResultatSorties> Ecrire(Decoupage d) {
        ecriture.decoupage = d;
        const ModesPartages modes;
        return test::Ecrire(module, arbres.Capturer(), modes, FormatsSortie::De({"html"}),
                            progression, {}, ecriture);
    }
    std::string Lire(const std::string& nom) const { return test::LireTout(dossier.Fichier(nom)); }
    // Les pages du dossier, dans l'ordre du sommaire.
    std::vector<std::string> PagesDuSommaire() const {
        std::vector<std::string> pages;
        for (const std::string& href : LireLiens(Lire("LogFinal/index.html")).hrefs)
            pages.push_back(href);
        return pages;
    }
};

struct CasDecoupage {
    const char* nom;
    Decoupage decoupage;
    std::vector<std::string> pages;
};

class Decoupages : public PageDecoupee, public ::testing::WithParamInterface<CasDecoupage> {};

TEST_P(Decoupages, PagesBienFormeesLiensResolusEtEntreesDeLaPageUnique) {
    ASSERT_TRUE(Ecrire(Decoupage::Aucun).ok());
    const test::PageLue unique = test::LirePage(Lire("LogFinal.html"));
    ASSERT_EQ(unique.erreur, "");
    ASSERT_EQ(unique.entrees.size(), 5092u);
    const auto r = Ecrire(GetParam().decoupage);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_EQ(fs::path(r->chemins.front()).filename(), "index.html");
    EXPECT_EQ(fs::path(r->chemins.front()).parent_path().filename(), "LogFinal");
    EXPECT_EQ(r->entreesPage, 5092u);
    const std::vector<std::string> pages = PagesDuSommaire();
    ASSERT_EQ(pages, GetParam().pages);
    // Le dossier ne tient que ses pages et le sommaire.
    std::set<std::string> fichiers;
    for (const auto& f : fs::directory_iterator(dossier.Fichier("LogFinal")))
        fichiers.insert(f.path().filename().string());
    std::set<std::string> attendus(pages.begin(), pages.end());
    attendus.insert("index.html");
    EXPECT_EQ(fichiers, attendus);

    std::vector<test::EntreeLue> entrees;
    std::set<std::string> toutesLesAncres;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        SCOPED_TRACE(pages[k]);
        const std::string h = Lire("LogFinal/" + pages[k]);
        const test::PageLue page = test::LirePage(h);
        ASSERT_EQ(page.erreur, "");
        EXPECT_LE(page.entrees.size(), 5000u);
        for (const char* interdit : {"<script", "src=", "url(", "@import", "http:", "https:"})
            EXPECT_EQ(h.find(interdit), std::string::npos) << interdit;
        entrees.insert(entrees.end(), page.entrees.begin(), page.entrees.end());
        // Ancres uniques dans la page, celles des entrées d'une page à l'autre aussi ; chaque lien
        // mène à une ancre de la page ou à un fichier du dossier.
        const Liens l = LireLiens(h);
        const std::set<std::string> ids(l.ids.begin(), l.ids.end());
        EXPECT_EQ(ids.size(), l.ids.size());
        for (const std::string& id : l.ids)
            if (id.starts_with("e")) {
                EXPECT_TRUE(toutesLesAncres.insert(id).second) << id;
            }
        for (const std::string& href : l.hrefs) {
            if (href.starts_with("#")) {
                EXPECT_TRUE(ids.count(href.substr(1))) << href;
            } else {
                EXPECT_TRUE(attendus.count(href)) << href;
            }
        }
        // La chaîne précédent / suivant suit l'ordre du sommaire.
        EXPECT_EQ(l.precedent, k == 0 ? "" : pages[k - 1]);
        EXPECT_EQ(l.suivant, k + 1 == pages.size() ? "" : pages[k + 1]);
        EXPECT_NE(h.find("href=\"index.html\""), std::string::npos);
        // Le graphique compte toutes les entrées de la page (toutes datées, toutes à l'heure).
        EXPECT_EQ(CompteDuGraphique(h), page.entrees.size());
        // Une case par étiquette des filtres, sans case de plus ; chaque entrée a les cases de
        // son channel, de sa personne et de son genre.
        const auto Captures = [&](const std::regex& motif) {
            std::set<std::string> vus;
            for (std::sregex_iterator i(h.begin(), h.end(), motif), fin; i != fin; ++i)
                vus.insert((*i)[1]);
            return vus;
        };
        static const std::regex Case(R"(<input type=checkbox class=f id=(\w+))"),
            Etiquette(R"(<label for=(\w+))");
        const std::set<std::string> cases = Captures(Case);
        EXPECT_EQ(cases, Captures(Etiquette));
        for (const test::EntreeLue& e : page.entrees) {
            std::istringstream classes(e.classe);
            for (std::string c; classes >> c;) {
                if (c.size() > 1 || c == "d" || c == "m" || c == "a") {
                    EXPECT_TRUE(cases.count((c.size() == 1 ? "fg" : "f") + c)) << c;
                }
            }
        }
    }
    // Les pages ensemble : exactement les entrées de la page unique, dans l'ordre.
    ASSERT_EQ(entrees.size(), unique.entrees.size());
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        EXPECT_EQ(entrees[i].texte, unique.entrees[i].texte) << i;
        EXPECT_EQ(entrees[i].classe, unique.entrees[i].classe) << i;
    }
    // Le sommaire se lit, sans script, et compte les entrées de chaque page.
    const std::string sommaire = Lire("LogFinal/index.html");
    EXPECT_EQ(test::LirePage(sommaire).erreur, "");
    EXPECT_EQ(CompteDuGraphique(sommaire), 5092u);
    EXPECT_EQ(sommaire.find("<script"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    PageWeb, Decoupages,
    ::testing::Values(CasDecoupage{"parJour",
                                   Decoupage::Jour,
                                   {"2001-11-30.html", "2001-12-24.html", "2001-12-25.html",
                                    "2001-12-25-2.html", "2001-12-24-2.html", "2001-12-26.html"}},
                      CasDecoupage{"parMois",
                                   Decoupage::Mois,
                                   {"2001-11.html", "2001-12.html", "2001-12-2.html"}}),
    [](const auto& cas) { return std::string(cas.param.nom); });

TEST_F(PageDecoupee, TextesHostilesRestentDuTexteDansFiltresBullesEtSommaire) {
    ASSERT_TRUE(Ecrire(Decoupage::Jour).ok());
    for (const std::string& nom : {std::string("index.html"), std::string("2001-11-30.html")}) {
        SCOPED_TRACE(nom);
        const std::string h = Lire("LogFinal/" + nom);
        EXPECT_EQ(test::LirePage(h).erreur, "");
        EXPECT_EQ(h.find("<script>"), std::string::npos);
        EXPECT_EQ(h.find("<b>\""), std::string::npos);
        EXPECT_NE(h.find("&lt;script&gt;"), std::string::npos);
    }
    // Le channel hostile a sa case, son étiquette restée du texte.
    const std::string page = Lire("LogFinal/2001-11-30.html");
    EXPECT_NE(page.find("[&lt;b&gt;\"&amp;x]</b> <span class=compte>8</span>"), std::string::npos);
}

TEST_F(PageDecoupee, FiltresEtPersonnesCompteesLesPlusActivesDAbord) {
    ASSERT_TRUE(Ecrire(Decoupage::Aucun).ok());
    const std::string h = Lire("LogFinal.html");
    // Une case par channel, par genre, par personne ; chacune cache ses entrées, sans script.
    // La règle est dans l'en-tête : posée après les entrées, elle ferait recalculer le style de
    // toute la page (plusieurs secondes pour 50 000 entrées).
    const std::size_t finEnTete = h.find("</head>");
    for (const char* id : {"fk0", "fgd", "fgm", "fq0"}) {
        EXPECT_NE(h.find(std::string("id=") + id + " checked"), std::string::npos) << id;
        EXPECT_LT(h.find(std::string("#") + id + ":not(:checked)~main "), finEnTete) << id;
        EXPECT_NE(h.find(std::string("<label for=") + id + ">"), std::string::npos);
    }
    EXPECT_EQ(h.find("<script"), std::string::npos);
    // Aldric (ses messages et ses murmures) devant « <script> » (ses messages seuls).
    const std::size_t aldric = h.find(">Aldric</u> <span class=compte>"),
                      script = h.find(">&lt;script&gt;</u> <span class=compte>");
    ASSERT_NE(aldric, std::string::npos);
    ASSERT_NE(script, std::string::npos);
    EXPECT_LT(aldric, script);
    // Les jours, chacun son ancre : le 24 revenu après le 25 a la sienne.
    for (const char* ancre : {"#j-2001-11-30", "#j-2001-12-24", "#j-2001-12-25", "#j-2001-12-24-2"})
        EXPECT_NE(h.find(std::string("href=\"") + ancre + "\""), std::string::npos) << ancre;
    // Au-delà de trois jours, une barre par jour : cinq jours, cinq bulles.
    EXPECT_EQ(CompteDuGraphique(h), 5092u);
    EXPECT_NE(h.find("Entrées par jour"), std::string::npos);
    // Dessin à la demande : les séries de 500 entrées.
    std::size_t series = 0;
    for (std::size_t p = h.find("<div class=r>"); p != std::string::npos;
         p = h.find("<div class=r>", p + 1))
        ++series;
    EXPECT_GE(series, 5092u / 500);
}

// Au-delà des personnes les plus actives, une page nomme les autres, avec leur compte, sans
// leur case : chaque case de plus ralentit le dessin de toutes les entrées de la page.
TEST(PageWebFiltres, AuDelaDesPlusActivesLesPersonnesSontNommeesSansCase) {
    vek::Selection selection;
    const std::size_t n = vek::PersonnesFiltrables + 30;
    for (std::size_t i = 0; i < n; ++i)
        selection.AjouterNom("P" + std::to_string(i));
    vek::BilanPage bilan;
    bilan.parNom.assign(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i)
        bilan.parNom[i] = i + 1; // P0 la moins active
    vek::EnTetePage entete{vek::Date{2001, 12, 24}, std::nullopt, std::nullopt, &selection, "x"};
    entete.presentes = &bilan;
    const std::string page = vek::DebutPage(entete) + vek::FinPage(bilan, &selection, nullptr);
    EXPECT_EQ(test::LirePage(page).erreur, "");
    const auto compter = [&](const std::string& motif) {
        std::size_t c = 0;
        for (std::size_t p = page.find(motif); p != std::string::npos; p = page.find(motif, p + 1))
            ++c;
        return c;
    };
    EXPECT_EQ(compter("class=f id=fq"), vek::PersonnesFiltrables);
    EXPECT_EQ(compter("<label for=fq"), vek::PersonnesFiltrables);
    EXPECT_EQ(compter("<span class=nf>"), 30u);
    const std::string plusActive = "fq" + std::to_string(n - 1);
    EXPECT_NE(page.find("id=" + plusActive + " checked"), std::string::npos);
    EXPECT_NE(page.find("<label for=" + plusActive + ">"), std::string::npos);
    EXPECT_EQ(page.find("id=fq0 "), std::string::npos);
    EXPECT_NE(page.find(">P0</u> <span class=compte>1</span></span>"), std::string::npos);
}

#ifndef _WIN32
// Un processus tué pendant l'écriture du dossier laisse l'ancien entier ; l'exécution suivante
// supprime le dossier temporaire orphelin et remplace l'ancien d'un coup.
TEST_F(PageDecoupee, ProcessusTueEnPleinDossierLaisseLAncienEntier) {
    ASSERT_TRUE(Ecrire(Decoupage::Jour).ok());
    std::map<std::string, std::string> ancien;
    for (const auto& f : fs::directory_iterator(dossier.Fichier("LogFinal")))
        ancien[f.path().filename().string()] = test::LireTout(f.path().string());
    const pid_t fils = ::fork();
    ASSERT_GE(fils, 0);
    if (fils == 0) {
        // Tué net au milieu de l'extrait, des pages déjà écrites dans le dossier temporaire.
        test::ProgressionNotee tueuse;
        tueuse.surValeur = [](std::uint64_t v) {
            if (v > 3000)
                ::raise(SIGKILL);
        };
        ecriture.decoupage = Decoupage::Mois;
        const ModesPartages modes;
        (void)test::Ecrire(module, arbres.Capturer(), modes, FormatsSortie::De({"html"}), tueuse,
                           {}, ecriture);
        ::_exit(0);
    }
    int etat = 0;
    ASSERT_EQ(::waitpid(fils, &etat, 0), fils);
    ASSERT_TRUE(WIFSIGNALED(etat) && WTERMSIG(etat) == SIGKILL) << "le fils n'a pas été tué";
    std::map<std::string, std::string> apres;
    for (const auto& f : fs::directory_iterator(dossier.Fichier("LogFinal")))
        apres[f.path().filename().string()] = test::LireTout(f.path().string());
    EXPECT_TRUE(apres == ancien);
    // La suivante nettoie et remplace.
    ASSERT_TRUE(Ecrire(Decoupage::Mois).ok());
    EXPECT_EQ(PagesDuSommaire().size(), 3u);
    for (const auto& f : fs::directory_iterator(dossier.Chemin()))
        EXPECT_EQ(f.path().filename().string().find(".tmp-"), std::string::npos)
            << f.path().filename();
}
#endif

TEST_F(PageDecoupee, EchecDeLaPasseGardeLAncienDossierEtNeLaisseRien) {
    ASSERT_TRUE(Ecrire(Decoupage::Jour).ok());
    const std::string sommaire = Lire("LogFinal/index.html");
    std::stop_source arret;
    arret.request_stop();
    ecriture.decoupage = Decoupage::Mois;
    const ModesPartages modes;
    const auto r = test::Ecrire(module, arbres.Capturer(), modes, FormatsSortie::De({"html"}),
                                progression, arret.get_token(), ecriture);
    EXPECT_TRUE(!r.ok() && r.Echec().interrompu);
    EXPECT_EQ(Lire("LogFinal/index.html"), sommaire);
    for (const auto& f : fs::directory_iterator(dossier.Chemin()))
        EXPECT_EQ(f.path().filename().string().find(".tmp-"), std::string::npos);
    // Un fichier ordinaire au nom du dossier est remplacé lui aussi d'un coup.
    fs::remove_all(dossier.Fichier("LogFinal"));
    dossier.Ecrire("LogFinal", "un fichier");
    ASSERT_TRUE(Ecrire(Decoupage::Jour).ok());
    EXPECT_TRUE(fs::is_directory(dossier.Fichier("LogFinal")));
}

} // namespace
} // namespace vek

namespace vek {
namespace {

// La page web de la fenêtre : la page unique toujours, le dossier par jour en plus au-delà d'une
// page d'entrées (son sommaire nommé le premier, pour être ouvert) ; en deçà, l'ancien dossier
// reste tel quel et aucun temporaire ne traîne.
TEST_F(PageDecoupee, AuBesoinLeDossierNAccompagneQueLesGrandesPages) {
    auto r = Ecrire(Decoupage::AuBesoin);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    ASSERT_EQ(r->chemins.size(), 2u);
    EXPECT_EQ(fs::path(r->chemins[0]).filename(), "index.html");
    EXPECT_EQ(fs::path(r->chemins[1]).filename(), "LogFinal.html");
    EXPECT_EQ(PagesDuSommaire().size(), 6u);
    const std::string sommaire = Lire("LogFinal/index.html");
    arbres.ToutCocher(arbres.noms, false);
    test::ArbresCoches::Cocher(arbres.noms, "Zo\xE9");
    r = Ecrire(Decoupage::AuBesoin);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    ASSERT_EQ(r->chemins.size(), 1u);
    EXPECT_EQ(fs::path(r->chemins.front()).filename(), "LogFinal.html");
    EXPECT_EQ(test::LirePage(Lire("LogFinal.html")).entrees.size(), r->entreesPage);
    EXPECT_LE(r->entreesPage, EntreesParPage);
    EXPECT_EQ(Lire("LogFinal/index.html"), sommaire);
    for (const auto& f : fs::directory_iterator(dossier.Chemin()))
        EXPECT_EQ(f.path().filename().string().find(".tmp-"), std::string::npos);
}

} // namespace
} // namespace vek
