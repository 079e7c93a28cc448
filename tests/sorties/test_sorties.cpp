// Les cinq sorties d'une passe, écrites ensemble : une table de textes hostiles (balises de
// chaque format, mentions, NUL, octets sans caractère, message de 5000 caractères, noms avec
// « [ », « * » et « " ») passe par chacune. Chaque sortie porte exactement les entrées de
// LogFinal.txt, dans l'ordre ; aucun texte du journal n'ouvre de balise, ne met en forme ni ne
// prévient personne ; les parties pour Discord tiennent dans leur limite et, rejointes, redonnent
// chaque entrée.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "LectureCollage.h"
#include "LecturePublication.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "Parties.h"
#include "PasseDEssai.h"
#include "SystemeValidationEssai.h"
#include "Validation.h"

namespace vek {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct Hostile {
    const char* cas;
    std::string avant;   // le corps jusqu'au message
    std::string message; // après la marque « zKz »
    const char* genre;
};

const std::string MilleMots = [] {
    std::string s;
    while (s.size() < 5000)
        s += "mot ";
    return s.substr(0, 4999); // sans espace finale (la ligne est rognée)
}();

const std::vector<Hostile> Hostiles = {
    {"balises du forum", "[Guilde] \"Aldric\": ",
     "[b]x[/b] [url=http://x.example]clic[/url] [img]http://x.example/a.png[/img] [/quote]",
     "channel"},
    {"balises de la page", "[Guilde] \"Aldric\": ", "<b>x</b> &amp; <script>alert(1)</script>",
     "channel"},
    {"Markdown", "[Guilde] \"Aldric\": ",
     "**gras** __s__ ~~b~~ `c` ||sp|| *i* _i_ \\* [lien](http://x.example) :smile:", "channel"},
    {"débuts de ligne Markdown", "{Aldric}\":\"", "> cite # titre -# petit", "proximite"},
    {"mentions", "[Guilde] \"Aldric\": ", "@everyone @here <@123> <#45> <@&67>", "channel"},
    {"liens", "[Guilde] \"Aldric\": ", "voir https://ex.example/a_b*c et http://y.example/",
     "channel"},
    {"NUL", "[Guilde] \"Aldric\": ", "a\0b"s, "channel"},
    {"octets sans caractère", "[Guilde] \"Aldric\": ", "\x81\x8D\x8F\x90\x9D fin", "channel"},
    {"5000 caractères", "[Guilde] \"Aldric\": ", MilleMots, "channel"},
    {"5000 caractères sans espace", "[Guilde] \"Aldric\": ", std::string(5000, 'x'), "channel"},
    {"nom avec [", "[Guilde] \"[b]Al\": ", "salut", "channel"},
    {"nom avec *", "[Guilde] \"*Al*_\": ", "salut", "channel"},
    {"nom avec \"", "{Al\"do}\":\"", "salut", "proximite"},
    {"murmure", "Aldric vous appelle : ", "[i]psst[/i] @here", "murmure"},
    {"ce que vous avez dit", "Vous avez dit : ", "**moi** [b]", "dit"},
    {"appel", "Le h\xE9raut VOUS APPELLE sur la [place] ", "", "appel"},
};

std::string Marque(std::size_t k) {
    return "z" + std::to_string(k) + "z";
}

std::string Journal() {
    std::string j;
    for (std::size_t k = 0; k < Hostiles.size(); ++k)
        j += "12/24/2001 21:04:" + std::string(k < 10 ? "0" : "") + std::to_string(k) + " - " +
             Hostiles[k].avant + Marque(k) + " " + Hostiles[k].message + "\r\n";
    return j;
}

std::vector<std::string> Decouper(const std::string& contenu, std::string_view sep) {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0, fin; debut < contenu.size(); debut = fin + sep.size()) {
        fin = std::min(contenu.find(sep, debut), contenu.size());
        lignes.push_back(contenu.substr(debut, fin - debut));
    }
    return lignes;
}

// Les entrées, dans l'ordre de leurs marques : chacune au plus une fois, toutes présentes.
void VerifierOrdre(const std::vector<std::string>& entrees, const char* sortie) {
    SCOPED_TRACE(sortie);
    ASSERT_EQ(entrees.size(), Hostiles.size());
    for (std::size_t k = 0; k < entrees.size(); ++k)
        EXPECT_NE(entrees[k].find(Marque(k)), std::string::npos)
            << Hostiles[k].cas << " : " << entrees[k].substr(0, 200);
}

class Sorties : public test::PasseDEssai {
protected:
    const FormatsSortie tous = FormatsSortie::De({"texte", "html", "json", "forum", "discord"});

    void SetUp() override { ChercherToutCocher(Journal(), {2001, 12, 24}, {2001, 12, 24}); }
    Issue<ResultatSorties> Ecrire(Modes modes, FormatsSortie formats) {
        const ModesPartages partages(modes);
        return test::Ecrire(module, arbres.Capturer(), partages, formats, progression, {},
                            ecriture);
    }
    std::string Lire(std::string_view nom) const { return test::LireTout(dossier.Fichier(nom)); }

    // Les entrées pour Discord : les parties, sans leur en-tête ni les titres des jours, les
    // morceaux d'une entrée coupée rejoints (ils ne commencent ni par l'heure, ni par un nom,
    // un channel ou le style d'un genre).
    std::vector<std::string> EntreesDiscord(std::size_t limite,
                                            std::vector<std::string>* morceaux = nullptr) {
        const auto debutDEntree = [](const std::string& l) {
            for (const char* debut : {"`", "**", "__**", "*(", "\\["})
                if (l.starts_with(debut))
                    return true;
            return false;
        };
        const std::string contenu = Lire("LogFinal-discord.txt");
        const auto parties = DecouperParties(contenu);
        std::vector<std::string> entrees;
        for (std::size_t p = 0; p < parties.size(); ++p) {
            EXPECT_LE(CompterCaracteres(parties[p]), limite) << "partie " << p + 1;
            const auto lignes = Decouper(std::string(parties[p]), "\n");
            EXPECT_EQ(lignes.front(), "**Partie " + std::to_string(p + 1) + "/" +
                                          std::to_string(parties.size()) + "**");
            for (std::size_t l = 1; l < lignes.size(); ++l) {
                if (lignes[l].starts_with("__**lundi"))
                    continue;
                if (morceaux)
                    morceaux->push_back(lignes[l]);
                if (entrees.empty() || debutDEntree(lignes[l]))
                    entrees.push_back(lignes[l]);
                else
                    entrees.back() += "\n" + lignes[l];
            }
        }
        return entrees;
    }
};

TEST_F(Sorties, ChaqueSortiePorteLesEntreesDeLogFinalDansLesHuitJeuxDeModes) {
    for (int bits = 0; bits < 8; ++bits) {
        const Modes modes{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        SCOPED_TRACE("modes " + std::to_string(bits));
        const auto r = Ecrire(modes, tous);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
        ASSERT_EQ(r->chemins.size(), 5u);
        std::vector<std::string> noms;
        for (const auto& chemin : r->chemins)
            noms.push_back(fs::path(chemin).filename().string());
        EXPECT_EQ(noms, (std::vector<std::string>{"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl",
                                                  "LogFinal-forum.txt", "LogFinal-discord.txt"}));
        const auto texte = Decouper(Lire("LogFinal.txt"), "\r\n");
        VerifierOrdre({texte.begin() + 9, texte.end() - 11}, "texte");
        std::vector<std::string> json;
        for (const auto& l : Decouper(Lire("LogFinal.jsonl"), "\n")) {
            const auto objet = test::LireObjetJson(l);
            ASSERT_TRUE(objet) << l;
            json.push_back(objet->at("texte").value_or(""));
        }
        VerifierOrdre(json, "json");
        const test::PageLue page = test::LirePage(Lire("LogFinal.html"));
        ASSERT_EQ(page.erreur, "");
        std::vector<std::string> entreesPage;
        for (const auto& e : page.entrees)
            entreesPage.push_back(e.texte);
        VerifierOrdre(entreesPage, "page");
        std::vector<std::string> forum;
        for (const auto& l : Decouper(Lire("LogFinal-forum.txt"), "\n"))
            if (!l.empty() && !l.starts_with("[size="))
                forum.push_back(test::LireBbcode(l).visible);
        VerifierOrdre(forum, "forum");
        VerifierOrdre(EntreesDiscord(2000), "discord");
        for (const auto& [nom, contenu] :
             {std::pair{"page", Lire("LogFinal.html")}, std::pair{"json", Lire("LogFinal.jsonl")},
              std::pair{"forum", Lire("LogFinal-forum.txt")},
              std::pair{"discord", Lire("LogFinal-discord.txt")}})
            EXPECT_TRUE(test::Utf8Valide(contenu)) << nom;
    }
}

TEST_F(Sorties, AucunTexteDuJournalNOuvreDeBaliseSurLeForum) {
    ASSERT_TRUE(Ecrire({}, tous).ok());
    std::size_t k = 0;
    const std::set<std::string> nosBalises = {"b", "i", "u", "color=#8c959f", "size=120"};
    for (const auto& l : Decouper(Lire("LogFinal-forum.txt"), "\n")) {
        if (l.empty())
            continue;
        const test::BbcodeLu lu = test::LireBbcode(l);
        EXPECT_EQ(lu.erreur, "") << l;
        for (const auto& b : lu.balises)
            EXPECT_TRUE(nosBalises.count(b) || b.starts_with("color=#")) << b << " dans " << l;
        if (l.starts_with("[size="))
            continue;
        ASSERT_LT(k, Hostiles.size());
        SCOPED_TRACE(Hostiles[k].cas);
        // Le message se lit tel qu'il a été tapé (contrôles et octets sans caractère rendus
        // visibles), et le nom aussi.
        std::string attendu = test::DecoderCp1252(Marque(k) + " " + Hostiles[k].message, true);
        while (attendu.ends_with(" "))
            attendu.pop_back();
        EXPECT_NE(lu.visible.find(attendu), std::string::npos) << lu.visible;
        ++k;
    }
    EXPECT_EQ(k, Hostiles.size());
    EXPECT_NE(Lire("LogFinal-forum.txt").find("[b][color=#"), std::string::npos)
        << "le nom en gras dans sa couleur";
}

TEST_F(Sorties, AucunTexteDuJournalNeMetEnFormeNiNePrevientSurDiscord) {
    ASSERT_TRUE(Ecrire({}, tous).ok());
    const std::string contenu = Lire("LogFinal-discord.txt");
    for (const char* mention : {"@everyone", "@here", "<@", "<#"})
        EXPECT_EQ(contenu.find(mention), std::string::npos) << mention;
    std::vector<std::string> morceaux;
    const auto entrees = EntreesDiscord(2000, &morceaux);
    ASSERT_EQ(entrees.size(), Hostiles.size());
    std::size_t k = 0;
    for (const auto& morceau : morceaux) {
        const test::MarkdownLu lu = test::LireMarkdown(morceau);
        EXPECT_TRUE(lu.nus.empty())
            << "un lien sans chevrons fait un aperçu : " << morceau.substr(0, 200);
        if (!morceau.starts_with("`")) {
            EXPECT_EQ(lu.signes, "") << "la suite d'une entrée coupée : " << morceau.substr(0, 200);
            continue;
        }
        // Seuls les signes du programme mettent en forme : l'heure, le nom en gras, le style
        // du genre.
        const std::string genre = Hostiles[k].genre;
        const std::string attendus = genre == "dit"       ? "``__****__"
                                     : genre == "murmure" ? "``******"
                                     : genre == "appel"   ? "``**"
                                                          : "``****";
        EXPECT_EQ(lu.signes, attendus) << Hostiles[k].cas << " : " << morceau.substr(0, 200);
        EXPECT_NE(
            lu.visible.find(test::SansEspacesSansChasse(test::DecoderCp1252(Marque(k), true))),
            std::string::npos);
        ++k;
    }
    EXPECT_NE(contenu.find("<https://ex.example/a_b*c>"), std::string::npos);
    EXPECT_NE(contenu.find("<http://y.example/>"), std::string::npos);
}

TEST_F(Sorties, PartiesDansLaLimiteEtRejointesElleRedonnentChaqueEntree) {
    for (const std::size_t limite : {std::size_t{2000}, std::size_t{4000}, std::size_t{300}}) {
        SCOPED_TRACE(limite);
        ecriture.tailleMessage = limite == 2000 ? 0 : limite;
        ASSERT_TRUE(Ecrire({}, FormatsSortie::De({"discord"})).ok());
        const auto entrees = EntreesDiscord(limite);
        ASSERT_EQ(entrees.size(), Hostiles.size());
        // Les deux messages de 5000 caractères : coupés aux espaces (rejoints par une espace),
        // ou entre deux caractères.
        for (const std::size_t k : {std::size_t{8}, std::size_t{9}}) {
            const auto debut = entrees[k].find(Marque(k));
            ASSERT_NE(debut, std::string::npos);
            std::string rejoint = entrees[k].substr(debut + Marque(k).size() + 1);
            for (std::size_t i; (i = rejoint.find('\n')) != std::string::npos;)
                rejoint.replace(i, 1, k == 8 ? " " : "");
            EXPECT_EQ(rejoint, Hostiles[k].message);
        }
    }
    EXPECT_TRUE(fs::exists(dossier.Fichier("LogFinal-discord.txt")));
}

TEST_F(Sorties, LeForumSeDecoupeSeulementAvecUneTailleDeMessage) {
    ASSERT_TRUE(Ecrire({}, FormatsSortie::De({"forum"})).ok());
    EXPECT_EQ(Lire("LogFinal-forum.txt").find("Partie"), std::string::npos);
    ecriture.tailleMessage = 1000;
    ASSERT_TRUE(Ecrire({}, FormatsSortie::De({"forum"})).ok());
    const std::string contenu = Lire("LogFinal-forum.txt");
    const auto parties = DecouperParties(contenu);
    ASSERT_GT(parties.size(), 5u);
    for (std::size_t p = 0; p < parties.size(); ++p) {
        EXPECT_LE(CompterCaracteres(parties[p]), 1000u);
        EXPECT_TRUE(parties[p].starts_with("[b]Partie " + std::to_string(p + 1) + "/" +
                                           std::to_string(parties.size()) + "[/b]\n"));
    }
}

// Une scène qui tient en un message se colle telle quelle : pas de « Partie 1/1 ».
TEST_F(Sorties, UnePartieSeuleSeColleSansEnTete) {
    ecriture.tailleMessage = 1000000;
    ASSERT_TRUE(Ecrire({}, FormatsSortie::De({"forum", "discord"})).ok());
    for (const char* fichier : {"LogFinal-discord.txt", "LogFinal-forum.txt"}) {
        const std::string contenu = Lire(fichier);
        EXPECT_EQ(DecouperParties(contenu).size(), 1u) << fichier;
        EXPECT_EQ(contenu.find("Partie 1/1"), std::string::npos) << fichier;
    }
}

TEST_F(Sorties, LeJsonEchappeDelEtDitNullSansChannelNiHeure) {
    test::DossierTemporaire autre;
    Moteur m{test::Reglages(autre.Chemin())};
    const auto r =
        test::Chercher(m,
                       autre.Ecrire("j.txt", "12/24/2001 [21:04:05] [G] \"Al\": a\x7F"
                                             "b\r\n12/24/2001 21:04:06 - Vous avez dit : x\r\n"
                                             "12/24/2001 21h04 xx - Al vous appelle : y\r\n"),
                       {2001, 12, 24}, {2001, 12, 24}, progression);
    ASSERT_TRUE(r.ok());
    arbres.Remplir(*r->catalogue);
    arbres.ToutCocher(arbres.channels);
    arbres.ToutCocher(arbres.noms);
    const ModesPartages modes;
    ASSERT_TRUE(test::Ecrire(m, arbres.Capturer(), modes, FormatsSortie::De({"json", "html"}),
                             progression, {}, ecriture)
                    .ok());
    const std::string json = test::LireTout(autre.Fichier("LogFinal.jsonl"));
    EXPECT_NE(json.find("a\\u007fb"), std::string::npos) << json;
    EXPECT_EQ(json.find('\x7F'), std::string::npos);
    const auto lignes = Decouper(json, "\n");
    ASSERT_EQ(lignes.size(), 3u);
    const auto premier = test::LireObjetJson(lignes[0]);
    const auto dit = test::LireObjetJson(lignes[1]);
    const auto appel = test::LireObjetJson(lignes[2]);
    ASSERT_TRUE(premier && dit && appel);
    EXPECT_EQ(premier->at("heure"), "21:04:05") << "l'heure entre crochets";
    EXPECT_EQ(dit->at("heure"), "21:04:06");
    EXPECT_EQ(appel->at("heure"), std::nullopt) << "pas d'heure dans l'en-tête";
    EXPECT_EQ(dit->at("channel"), std::nullopt);
    EXPECT_EQ(appel->at("channel"), std::nullopt);
    EXPECT_EQ(appel->at("genre"), "murmure");
    // La colonne de l'heure de la page : « 21:04:05 » pour les deux formes d'en-tête.
    const auto page = test::LirePage(test::LireTout(autre.Fichier("LogFinal.html")));
    ASSERT_EQ(page.entrees.size(), 3u);
    EXPECT_EQ(page.entrees[0].morceaux[0].texte, "21:04:05");
    EXPECT_EQ(page.entrees[1].morceaux[0].texte, "21:04:06");
}

TEST_F(Sorties, UnEchecOuUnArretNeRemplaceRienEtNeLaisseRien) {
    dossier.Ecrire("LogFinal-discord.txt", "ancien discord");
    dossier.Ecrire("LogFinal-forum.txt", "ancien forum");
    // Des temporaires d'une passe tuée : supprimés à la prise du verrou.
    dossier.Ecrire("LogFinal-discord.txt.tmp-99999999-0123456789abcdef", "");
    dossier.Ecrire("LogFinal-forum.txt.tmp-99999999-fedcba9876543210", "");
    const auto restants = [&] {
        std::set<std::string> noms;
        for (const auto& f : fs::directory_iterator(dossier.Chemin()))
            noms.insert(f.path().filename().string());
        return noms;
    };
    const std::set<std::string> attendus = {"LogFinal-discord.txt", "LogFinal-forum.txt",
                                            "LogVEKtemp.txt", "journal.txt"};
    // Le remplacement final qui échoue, une passe arrêtée : les anciennes sorties restent, les
    // fichiers de travail des parties ne restent pas.
    test::SystemeDEssai panne(test::SystemeDEssai::Etape::Echange, "LogFinal-discord.txt", EIO);
    ecriture.tailleMessage = 500;
    Moteur enPanne{test::Reglages(dossier.Chemin(), panne)};
    const ModesPartages sansMode;
    const auto r = test::Ecrire(enPanne, arbres.Capturer(), sansMode,
                                FormatsSortie::De({"forum", "discord"}), progression, {}, ecriture);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(restants(), attendus);
    std::stop_source arret;
    arret.request_stop();
    const ModesPartages modes;
    const auto arrete =
        test::Ecrire(module, arbres.Capturer(), modes, FormatsSortie::De({"forum", "discord"}),
                     progression, arret.get_token(), ecriture);
    EXPECT_TRUE(!arrete.ok() && arrete.Echec().interrompu);
    EXPECT_EQ(restants(), attendus);
    EXPECT_EQ(Lire("LogFinal-discord.txt"), "ancien discord");
    EXPECT_EQ(Lire("LogFinal-forum.txt"), "ancien forum");
    // Une sortie qui ne peut pas s'écrire (un dossier porte son nom) : échec qui la nomme.
    fs::remove(dossier.Fichier("LogFinal-discord.txt"));
    fs::create_directory(dossier.Fichier("LogFinal-discord.txt"));
    const auto bloque = Ecrire({}, FormatsSortie::De({"discord"}));
    ASSERT_FALSE(bloque.ok());
    EXPECT_NE(bloque.Echec().Message().find("l'extrait pour Discord"), std::string::npos)
        << bloque.Echec().Message();
}

TEST(TableDesFormats, ChaqueFormatAUnNomUnFichierEtSesTemporairesSontConnus) {
    std::set<std::string_view> noms, fichiers;
    for (const Format& f : TableDesFormats()) {
        EXPECT_TRUE(noms.insert(f.nom).second) << f.nom;
        EXPECT_TRUE(fichiers.insert(f.fichier).second) << f.fichier;
        EXPECT_FALSE(f.description.empty()) << f.nom;
        EXPECT_NE(f.fabriquer, nullptr) << f.nom;
    }
    for (const std::string_view f : NomsDuDossierDeSortie())
        fichiers.erase(f);
    EXPECT_TRUE(fichiers.empty()) << "chaque sortie a ses temporaires nettoyés";
    EXPECT_EQ(FichiersDesFormats({}), std::vector<std::string_view>{"LogFinal.txt"});
}

} // namespace
} // namespace vek
