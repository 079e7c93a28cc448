// Publication : la page web et les lignes JSON, lues de façon stricte et comparées ligne à
// ligne à LogFinal.txt écrit dans la même passe, dans les huit jeux de modes ; textes hostiles,
// murmures et appels, couleurs stables, titres des jours entre les lots, ligne démesurée,
// anciennes sorties gardées.

#include <gtest/gtest.h>

#include <cmath>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "LecturePublication.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "Publication.h"
#include "Traduction.h"

namespace vek {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string Ligne(int jour, const char* heure, std::string_view corps) {
    char entete[32];
    std::snprintf(entete, sizeof entete, "12/%02d/2001 %s - ", jour, heure);
    return std::string(entete).append(corps).append("\r\n");
}

// Les lignes d'un fichier (séparées par sep), celles de LogFinal.txt sans bannière ni pied.
std::vector<std::string> Lignes(const std::string& contenu, std::string_view sep = "\n") {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0, fin; debut < contenu.size(); debut = fin + sep.size()) {
        fin = std::min(contenu.find(sep, debut), contenu.size());
        lignes.push_back(contenu.substr(debut, fin - debut));
    }
    return lignes;
}
// Un texte lu dans le JSON, tel que la page le montre : les contrôles (sauf la tabulation) en
// leur symbole visible.
std::string Visible(const std::string& texte) {
    std::string s;
    for (const char c : texte) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t') || b == 0x7F)
            test::AjouterUtf8(s, b == 0x7F ? char32_t{0x2421} : char32_t{0x2400} + b);
        else
            s += c;
    }
    return s;
}

std::vector<std::string> CorpsDuLogFinal(const std::string& contenu) {
    const auto lignes = Lignes(contenu, "\r\n");
    return lignes.size() < 20 ? lignes : std::vector(lignes.begin() + 9, lignes.end() - 11);
}

// Chaque genre de ligne sur trois jours, avec des noms et des messages hostiles (balises,
// entités, guillemets, NUL, octets sans caractère, contrôles, fins de balises de la page).
std::string JournalHostile() {
    return "*** Journal de discussion Q7R ***\r\n" +
           Ligne(24, "20:15:03", "[Commerce] \"Aldric\": bonjour \xE0 tous") +
           Ligne(
               24, "20:16:00",
               "[Commerce] \"<b>Al&amp;</div>\": <script>alert(1)</script> & \"x\" 'y' &lt; -->") +
           Ligne(24, "20:17:00", "{Zo\0\x81}\":\"salut \x8D\x8F\x90\x9D\x80 fin\t\x7F\x01"s) +
           Ligne(24, "23:59:59", "Vous avez dit : \"Aldric\", tu viens ?   ") +
           Ligne(25, "00:00:01", "Aldric vous appelle : psst [Commerce]") +
           Ligne(25, "00:10:00", "Le h\xE9raut VOUS APPELLE sur la place.") +
           Ligne(25, "08:00:00", "[Guilde] \"C\x9Clio\": voir [Guilde], \"C\x9Clio\" </p></main>") +
           Ligne(26, "09:00:00",
                 "[Guilde] \"Aldric\": \xAB"
                 "fin\xBB") +
           Ligne(26, "09:00:01", "Connexion \xE9tablie.") +
           Ligne(26, "09:00:02", "[Guilde] \"\": x");
}

class Publier : public ::testing::Test {
protected:
    test::DossierTemporaire dossier;
    Moteur module{test::Reglages(dossier.Chemin())};
    test::ProgressionNotee progression;
    test::ArbresCoches arbres;

    void SetUp() override { Chercher(JournalHostile(), 24, 26); }
    void Chercher(const std::string& journal, int debut, int fin) {
        const auto r = test::Chercher(module, dossier.Ecrire("journal.txt", journal),
                                      {2001, 12, debut}, {2001, 12, fin}, progression);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
        arbres.Remplir(*r->catalogue);
        arbres.ToutCocher(arbres.channels);
        arbres.ToutCocher(arbres.noms);
    }
    std::vector<std::string>
    Ecrire(Modes modes, FormatsSortie formats = FormatsSortie::De({"texte", "html", "json"})) {
        const ModesPartages partages(modes);
        auto r = test::Ecrire(module, arbres.Capturer(), partages, formats, progression);
        EXPECT_TRUE(r.ok()) << r.Echec().Message();
        return r.ok() ? r->chemins : std::vector<std::string>{};
    }
    std::string Lire(std::string_view nom) const { return test::LireTout(dossier.Fichier(nom)); }
    std::vector<test::ObjetJson> Json() const {
        std::vector<test::ObjetJson> objets;
        for (const std::string& l : Lignes(Lire("LogFinal.jsonl"))) {
            const auto objet = test::LireObjetJson(l);
            EXPECT_TRUE(objet) << l;
            objets.push_back(objet.value_or(test::ObjetJson{}));
        }
        return objets;
    }
};

TEST_F(Publier, PageEtLignesJsonRedonnentLogFinalDansLesHuitJeuxDeModes) {
    const std::vector<std::string> genres = {"channel", "channel", "proximite", "dit",
                                             "murmure", "appel",   "channel",   "channel"};
    std::map<std::string, std::string> visible; // un nom du catalogue, tel que la page le montre
    for (const auto& [nom, coche] : arbres.noms)
        visible[test::DecoderCp1252(nom, false)] = test::DecoderCp1252(nom, true);
    std::map<std::string, std::string> classeDuNom, classeDuGenre; // partout les mêmes
    for (int bits = 0; bits < 8; ++bits) {
        const Modes modes{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        SCOPED_TRACE("modes " + std::to_string(bits));
        const auto chemins = Ecrire(modes);
        ASSERT_EQ(chemins.size(), 3u);
        EXPECT_EQ(fs::path(chemins[1]).filename(), "LogFinal.html");
        EXPECT_EQ(fs::path(chemins[2]).filename(), "LogFinal.jsonl");
        const auto lignes = CorpsDuLogFinal(Lire("LogFinal.txt"));
        const auto json = Json();
        ASSERT_TRUE(test::Utf8Valide(Lire("LogFinal.html")));
        ASSERT_TRUE(test::Utf8Valide(Lire("LogFinal.jsonl")));
        const test::PageLue page = test::LirePage(Lire("LogFinal.html"));
        ASSERT_EQ(page.erreur, "");
        for (const char* interdit : {"<script", "src=", "url(", "@import"})
            EXPECT_EQ(Lire("LogFinal.html").find(interdit), std::string::npos) << interdit;
        // Les seuls liens de la page unique mènent à elle-même.
        for (std::size_t h = Lire("LogFinal.html").find("href="); h != std::string::npos;
             h = Lire("LogFinal.html").find("href=", h + 1))
            EXPECT_EQ(Lire("LogFinal.html").substr(h, 7), "href=\"#");
        for (const char* attendu :
             {"samedi 7 décembre 2002", "du lundi 24 décembre 2001 au mercredi 26 décembre 2001",
              "[Commerce]", "Zone de proximité"})
            EXPECT_NE(page.texteEnTete.find(attendu), std::string::npos) << attendu;
        // Les personnes sont dans les filtres, leur nom resté du texte.
        EXPECT_NE(Lire("LogFinal.html").find("&lt;b&gt;Al&amp;amp;&lt;/div&gt;</u>"),
                  std::string::npos);
        ASSERT_EQ(lignes.size(), genres.size());
        ASSERT_EQ(page.entrees.size(), lignes.size());
        ASSERT_EQ(json.size(), lignes.size());

        for (std::size_t k = 0; k < lignes.size(); ++k) {
            SCOPED_TRACE("entrée " + std::to_string(k));
            const test::EntreeLue& e = page.entrees[k];
            const auto champ = [&](const char* c) { return json[k].at(c).value_or("null"); };
            // La page se lit « Nom : texte », sans la ponctuation du journal ; l'heure dans sa
            // colonne, le channel en badge.
            const bool badge = genres[k] == "channel" && !modes.ModeUnlessChannel;
            const std::string nomVisible = genres[k] == "dit"            ? "Vous"
                                           : visible.count(champ("nom")) ? visible[champ("nom")]
                                                                         : champ("nom");
            EXPECT_EQ(e.texte, (modes.ModeUnlessDate ? "" : champ("heure")) +
                                   (badge ? champ("channel") + " " : "") +
                                   (genres[k] == "appel" ? "" : nomVisible + " : ") +
                                   Visible(champ("texte")));
            EXPECT_EQ(champ("ligne"), test::DecoderCp1252(lignes[k], false));
            EXPECT_EQ(json[k].size(), 7u);
            EXPECT_EQ(champ("genre"), genres[k]);
            EXPECT_TRUE(champ("ligne").ends_with(champ("texte")));
            std::map<std::string, test::MorceauLu> morceaux;
            for (const auto& m : e.morceaux)
                morceaux[m.balise] = m;
            // Le badge du channel, l'heure, le nom dans sa couleur, le style du genre.
            EXPECT_EQ(morceaux.count("b") ? morceaux["b"].texte : "-",
                      badge ? champ("channel") : "-");
            // L'ancre de l'entrée : l'heure, ou un lien sans texte quand les modes la cachent.
            EXPECT_EQ(morceaux["a"].classe, modes.ModeUnlessDate ? "l" : "h");
            if (genres[k] == "appel") {
                EXPECT_EQ(morceaux.count("u"), 0u) << "un appel se montre tel quel";
            } else {
                const test::MorceauLu& nom = morceaux["u"];
                EXPECT_EQ(nom.texte, nomVisible);
                if (genres[k] != "dit") {
                    EXPECT_EQ(classeDuNom.emplace(nom.texte, nom.classe).first->second, nom.classe);
                }
            }
            // La classe du genre, sans celles des filtres (channel, personne) ni « s ».
            std::string classe;
            for (std::size_t d = 0, f; d < e.classe.size(); d = f + 1) {
                f = std::min(e.classe.find(' ', d), e.classe.size());
                const std::string mot = e.classe.substr(d, f - d);
                const bool filtre = mot.size() > 1 && (mot[0] == 'k' || mot[0] == 'q') &&
                                    mot.find_first_not_of("0123456789", 1) == std::string::npos;
                if (!filtre && mot != "s")
                    classe += mot;
            }
            EXPECT_EQ(classeDuGenre.emplace(genres[k], classe).first->second, classe);
        }
        // Un titre avant la première ligne de chaque jour ; aucun sans la date.
        const std::vector<std::size_t> avant =
            modes.ModeUnlessDate ? std::vector<std::size_t>{} : std::vector<std::size_t>{0, 4, 7};
        EXPECT_EQ(page.avant, avant);
        if (!modes.ModeUnlessDate) {
            EXPECT_EQ(page.titres[1], "mardi 25 décembre 2001");
        }
        // Date, heure, channel et nom viennent du journal ; le texte suit les modes.
        EXPECT_EQ(json[6].at("date"), "2001-12-25");
        EXPECT_EQ(json[6].at("heure"), "08:00:00");
        EXPECT_EQ(json[6].at("channel"), "[Guilde]");
        EXPECT_EQ(json[6].at("nom"), "Cœlio");
        EXPECT_EQ(json[6].at("texte"),
                  std::string(modes.ModeUnlessChannel ? "voir , " : "voir [Guilde], ") +
                      (modes.ModeRPName ? "Cœlio" : "\"Cœlio\"") + " </p></main>");
        EXPECT_EQ(json[4].at("nom"), "Aldric"); // qui murmure
        EXPECT_EQ(json[4].at("texte"), "psst [Commerce]");
        EXPECT_EQ(json[5].at("nom"), "Le héraut"); // qui appelle
        EXPECT_EQ(json[3].at("nom"), "Vous");
        EXPECT_EQ(json[3].at("channel"), std::nullopt) << "ce que vous avez dit n'a pas de channel";
        EXPECT_EQ(json[4].at("channel"), std::nullopt);
        EXPECT_EQ(json[5].at("channel"), std::nullopt);
        EXPECT_EQ(json[2].at("channel"), "Zone de proximité");
        EXPECT_EQ(json[3].at("texte"), "\"Aldric\", tu viens ?");
        EXPECT_EQ(json[2].at("nom"), "Zo\0\uFFFD"s);
        EXPECT_EQ(json[2].at("texte"), "salut \uFFFD\uFFFD\uFFFD\uFFFD€ fin\t\x7F\x01");
        EXPECT_EQ(json[1].at("texte"), "<script>alert(1)</script> & \"x\" 'y' &lt; -->");
    }
    // « Vous avez dit », les murmures et les appels ont chacun leur style, défini par la page.
    std::set<std::string> styles;
    for (const char* genre : {"channel", "dit", "murmure", "appel"})
        styles.insert(classeDuGenre[genre]);
    EXPECT_EQ(styles.size(), 4u);
    const std::string css = Lire("LogFinal.html");
    for (const char* genre : {"dit", "murmure", "appel"})
        EXPECT_NE(css.find("p." + classeDuGenre[genre] + "{"), std::string::npos) << genre;
}

// La traduction seize octets à la fois rend, pour toute longueur et tout octet à toute place, ce
// que rend la table octet par octet ; elle n'écrit pas au-delà de la place promise (un tampon
// juste assez grand, que AddressSanitizer surveille).
TEST(Traduction, BlocsCommeOctetParOctet) {
    std::uint32_t graine = 11;
    const auto tirer = [&](std::uint32_t n) {
        graine = graine * 1103515245u + 12345u;
        return (graine >> 16) % n;
    };
    const std::string_view speciaux("<>&\"\\\t\0\x7F\x81\x9D\xE9\xFF\x01", 13);
    for (int essai = 0; essai < 4000; ++essai) {
        std::string texte(tirer(70), 'a');
        for (char& c : texte)
            switch (tirer(12)) { // surtout des octets qui s'écrivent eux-mêmes
            case 0:
                c = speciaux[tirer(static_cast<std::uint32_t>(speciaux.size()))];
                break;
            case 1:
                c = static_cast<char>(tirer(256));
                break;
            default:
                c = static_cast<char>(' ' + tirer(95));
            }
        for (bool enJson : {false, true}) {
            const TableTraduction& table = enJson ? TableJson() : TablePage();
            std::string attendu;
            for (const char c : texte) {
                const Traduction& t = table.traductions[static_cast<unsigned char>(c)];
                attendu.append(t.octets.data(), t.longueur);
            }
            std::vector<char> zone(texte.size() * ExpansionMax + 16);
            char* const fin = enJson ? TraduireVers<Vers::Json>(zone.data(), texte, table)
                                     : TraduireVers<Vers::Page>(zone.data(), texte, table);
            ASSERT_EQ(std::string_view(zone.data(), static_cast<std::size_t>(fin - zone.data())),
                      attendu)
                << "json " << enJson << ", essai " << essai;
        }
    }
}

TEST_F(Publier, CouleursStables) {
    // Tirées des seuls octets du texte : figées d'une version à l'autre, et réparties.
    EXPECT_EQ(TeinteNom("Aldric"), 6);
    EXPECT_EQ(TeinteNom("B\xE9reng\xE8re"), 3);
    EXPECT_EQ(TeinteChannel("[Commerce]"), 4);
    std::set<int> noms;
    for (int i = 0; i < TeintesNoms; ++i)
        noms.insert(TeinteNom("Joueur" + std::to_string(i)));
    EXPECT_GE(noms.size(), 12u);
    // Sur la page, la même couleur pour un nom quelle que soit la sélection.
    for (bool seulAldric : {false, true}) {
        if (seulAldric) {
            arbres.ToutCocher(arbres.noms, false);
            test::ArbresCoches::Cocher(arbres.noms, "Aldric");
        }
        Ecrire({}, FormatsSortie::De({"html"}));
        const auto entrees = test::LirePage(Lire("LogFinal.html")).entrees;
        ASSERT_FALSE(entrees.empty());
        ASSERT_EQ(entrees[0].morceaux.size(), 3u); // l'heure, le badge, le nom
        EXPECT_EQ(entrees[0].morceaux[1].classe, "c4");
        EXPECT_EQ(entrees[0].morceaux[2].texte, "Aldric");
        EXPECT_EQ(entrees[0].morceaux[2].classe, "n6");
    }
}

// La luminance relative d'une couleur « #rrggbb » (WCAG 2).
double Luminance(std::string_view couleur) {
    double l = 0;
    const double poids[] = {0.2126, 0.7152, 0.0722};
    for (int i = 0; i < 3; ++i) {
        const double c =
            std::stoi(std::string(couleur.substr(1 + 2 * static_cast<std::size_t>(i), 2)), nullptr,
                      16) /
            255.0;
        l += poids[i] * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return l;
}

// Au moins 24 couleurs de noms, lisibles sur le blanc comme sur le noir ; dans une sortie, deux
// noms n'ont la même que quand la palette est pleine, et un nom garde celle de ses octets autant
// que les noms venus avant lui le permettent.
TEST(TeintesDesNoms, DistinctesTantQueLaPaletteALaPlaceEtStables) {
    ASSERT_GE(TeintesNoms, 24);
    std::set<std::string_view> couleurs;
    for (int t = 0; t < TeintesNoms; ++t) {
        const double l = Luminance(CouleurTeinteNom(t));
        EXPECT_GE(1.05 / (l + 0.05), 4.5) << CouleurTeinteNom(t) << " sur le blanc";
        EXPECT_GE((l + 0.05) / 0.05, 4.5) << CouleurTeinteNom(t) << " sur le noir";
        couleurs.insert(CouleurTeinteNom(t));
    }
    EXPECT_EQ(couleurs.size(), static_cast<std::size_t>(TeintesNoms));
    std::vector<std::string> noms;
    for (int i = 0; i < TeintesNoms + 3; ++i)
        noms.push_back("Personnage" + std::to_string(i));
    const std::vector<std::string_view> vues(noms.begin(), noms.end());
    const TeintesDesNoms toutes(vues);
    std::set<int> prises;
    for (int i = 0; i < TeintesNoms; ++i)
        prises.insert(toutes.Teinte(noms[static_cast<std::size_t>(i)]));
    EXPECT_EQ(prises.size(), static_cast<std::size_t>(TeintesNoms)) << "24 noms, 24 couleurs";
    // Le premier garde la teinte de ses octets ; un nom seul aussi, d'une sortie à l'autre.
    EXPECT_EQ(toutes.Teinte(noms[0]), TeinteNom(noms[0]));
    EXPECT_EQ(TeintesDesNoms({vues[5]}).Teinte(noms[5]), TeinteNom(noms[5]));
    // Un nom de plus à la fin ne change la couleur d'aucun autre.
    const TeintesDesNoms moins(std::vector<std::string_view>(vues.begin(), vues.end() - 1));
    for (std::size_t i = 0; i + 1 < noms.size(); ++i)
        EXPECT_EQ(moins.Teinte(noms[i]), toutes.Teinte(noms[i])) << noms[i];
    // Hors de la table : la teinte de ses octets.
    EXPECT_EQ(toutes.Teinte("Inconnu"), TeinteNom("Inconnu"));
}

TEST_F(Publier, TitresDesJoursEntreLesLots) {
    // Dix jours de 9000 lignes : les lots (d'un demi-Mio) changent de jour en leur milieu comme
    // à leur bord ; chaque jour a son titre, une seule fois.
    std::string journal;
    for (int jour = 1; jour <= 10; ++jour)
        for (int i = 0; i < 9000; ++i)
            journal +=
                Ligne(jour, "10:00:00", "[Commerce] \"Aldric\": message " + std::to_string(i));
    Chercher(journal, 1, 31);
    Ecrire({}, FormatsSortie::De({"html"}));
    const test::PageLue page = test::LirePage(Lire("LogFinal.html"));
    ASSERT_EQ(page.entrees.size(), 90000u);
    ASSERT_EQ(page.titres.size(), 10u);
    for (std::size_t j = 0; j < 10; ++j)
        EXPECT_EQ(page.avant[j], 9000 * j);
    EXPECT_EQ(page.titres[9], "lundi 10 décembre 2001");
}

TEST_F(Publier, LigneDemesureeMiseEnFormeParMorceaux) {
    // Trois Mio de caractères à échapper, à cheval sur les morceaux de la mise en forme.
    std::string message;
    while (message.size() < (std::size_t{3} << 20))
        message += "<&>\"\x81\xE9 \0abcdefgh"s;
    Chercher(Ligne(24, "20:15:03", "[Commerce] \"Aldric\": " + message), 24, 24);
    Ecrire({});
    const auto lignes = CorpsDuLogFinal(Lire("LogFinal.txt"));
    const test::PageLue page = test::LirePage(Lire("LogFinal.html"));
    const auto json = Json();
    ASSERT_EQ(page.erreur, "");
    ASSERT_EQ(page.entrees.size(), 1u);
    ASSERT_EQ(json.size(), 1u);
    EXPECT_TRUE(page.entrees[0].texte ==
                "20:15:03[Commerce] Aldric : " + test::DecoderCp1252(message, true));
    EXPECT_TRUE(json[0].at("ligne") == test::DecoderCp1252(lignes[0], false));
    EXPECT_EQ(page.titres.size(), 1u);
}

TEST_F(Publier, AnciennesSortiesGardeesJusquALaFinEtTemporairesOrphelinsSupprimes) {
    dossier.Ecrire("LogFinal.html", "ancienne page");
    dossier.Ecrire("LogFinal.jsonl", "anciennes lignes");
    // Les temporaires d'un programme tué (un numéro de processus qui ne tourne pas).
    dossier.Ecrire("LogFinal.html.tmp-99999999-0123456789abcdef", "");
    dossier.Ecrire("LogFinal.jsonl.tmp-99999999-0123456789abcdef-ancien", "");
    EXPECT_EQ(Ecrire({}, {}).size(), 1u); // le texte seul ne touche pas aux autres sorties
    // Une passe arrêtée ne remplace rien et ne laisse rien.
    std::stop_source arret;
    arret.request_stop();
    const ModesPartages modes;
    const auto r =
        test::Ecrire(module, arbres.Capturer(), modes, FormatsSortie::De({"texte", "html", "json"}),
                     progression, arret.get_token());
    EXPECT_TRUE(!r.ok() && r.Echec().interrompu);
    EXPECT_EQ(Lire("LogFinal.html"), "ancienne page");
    EXPECT_EQ(Lire("LogFinal.jsonl"), "anciennes lignes");
    std::set<std::string> noms;
    for (const auto& f : fs::directory_iterator(dossier.Chemin()))
        noms.insert(f.path().filename().string());
    EXPECT_EQ(noms, (std::set<std::string>{"LogFinal.html", "LogFinal.jsonl", "LogFinal.txt",
                                           "LogVEKtemp.txt", "journal.txt"}));
}

} // namespace
} // namespace vek
