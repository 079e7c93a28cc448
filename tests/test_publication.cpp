// Publication : la page web et les lignes JSON, lues de façon stricte et comparées ligne à
// ligne à LogFinal.txt écrit dans la même passe, dans les huit jeux de modes ; textes hostiles,
// titres des jours, couleurs stables, ligne démesurée, remplacement des anciennes sorties.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "LecturePublication.h"
#include "ModuleVEK.h"
#include "OutilsMoteur.h"
#include "Publication.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

std::string Ligne(int jour, const char* heure, std::string_view corps) {
    char entete[32];
    std::snprintf(entete, sizeof entete, "12/%02d/2001 %s - ", jour, heure);
    return std::string(entete).append(corps).append("\r\n");
}

// Les lignes retenues de LogFinal.txt, entre les 9 lignes de la bannière et les 11 du pied.
std::vector<std::string> CorpsDuLogFinal(const std::string& contenu) {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0; debut < contenu.size();) {
        const std::size_t fin = contenu.find("\r\n", debut);
        lignes.push_back(contenu.substr(debut, fin - debut));
        debut = fin + 2;
    }
    EXPECT_GE(lignes.size(), 20u);
    return {lignes.begin() + 9, lignes.end() - 11};
}

std::vector<std::string> LignesJson(const std::string& contenu) {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0; debut < contenu.size();) {
        const std::size_t fin = contenu.find('\n', debut);
        EXPECT_NE(fin, std::string::npos) << "dernière ligne JSON sans fin de ligne";
        lignes.push_back(contenu.substr(debut, fin - debut));
        debut = fin == std::string::npos ? contenu.size() : fin + 1;
    }
    return lignes;
}

// Un journal de trois jours : chaque genre de ligne, et des noms et des messages hostiles
// (balises, entités, guillemets, NUL, octets sans caractère, contrôles, fin de balise de la
// page), une ligne non datée et deux lignes jamais retenues.
std::string JournalHostile() {
    using namespace std::string_literals;
    return "*** Journal de discussion Q7R ***\r\n" +
           Ligne(24, "20:15:03", "[Commerce] \"Aldric\": bonjour \xE0 tous") +
           Ligne(24, "20:16:00",
                 "[Commerce] \"<b>Al&amp;</div>\": <script>alert(1)</script> & \"guillemets\" "
                 "'apostrophes' &lt; --> <!--") +
           Ligne(24, "20:17:00", "{Zo\0\x81}\":\"salut \x8D\x8F\x90\x9D\x80 fin\t\x7F\x01"s) +
           Ligne(24, "23:59:59", "Vous avez dit : \"Aldric\", tu viens ?   ") +
           Ligne(25, "00:00:01", "Aldric vous appelle : psst [Commerce]") +
           Ligne(25, "00:10:00", "Le h\xE9raut VOUS APPELLE sur la place.") +
           Ligne(25, "08:00:00",
                 "[Guilde] \"C\x9Clio\": voir [Guilde], \"C\x9Clio\" est l\xE0 </p></main>") +
           Ligne(26, "09:00:00",
                 "[Guilde] \"Aldric\": \xAB"
                 "fin\xBB") +
           Ligne(26, "09:00:01", "Connexion \xE9tablie.") +
           Ligne(26, "09:00:02", "[Guilde] \"\": vide");
}

class Publier : public ::testing::Test {
protected:
    test::DossierTemporaire dossier;
    ModuleVEK module{dossier.Chemin()};
    test::ProgressionNotee progression;
    test::ArbresCoches arbres;

    void SetUp() override {
        ASSERT_FALSE(dossier.Chemin().empty());
        module.DateDuJour = [] { return Date{2002, 12, 7}; };
    }
    void Chercher(const std::string& journal, Date debut, Date fin) {
        const auto r =
            module.Rechercher(dossier.Ecrire("journal.txt", journal), debut, fin, progression);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();
        arbres.Remplir(r->catalogue);
        arbres.ToutCocher(arbres.channels);
        arbres.ToutCocher(arbres.noms);
    }
    std::vector<std::string> Ecrire(Modes modes, FormatsSortie formats = {true, true, true}) {
        const ModesPartages partages(modes);
        auto r = module.EcrireSorties(arbres.Capturer(), partages, formats, progression);
        EXPECT_TRUE(r.ok()) << r.Echec().Message();
        return r.ok() ? *r : std::vector<std::string>{};
    }
    std::string Lire(std::string_view nom) const { return test::LireTout(dossier.Fichier(nom)); }
};

std::string NomDesModes(const Modes& m) {
    std::string s = m.ModeUnlessDate ? "sans date" : "avec date";
    s += m.ModeRPName ? ", nom RP" : "";
    s += m.ModeUnlessChannel ? ", sans channel" : "";
    return s;
}

std::string Utf8(std::string_view cp1252) {
    return test::DecoderCp1252(cp1252, false);
}

TEST_F(Publier, PageEtLignesJsonRedonnentLogFinalDansLesHuitJeuxDeModes) {
    Chercher(JournalHostile(), {2001, 12, 24}, {2001, 12, 26});
    const std::vector<std::string> genres = {"channel", "channel", "proximite", "dit",
                                             "murmure", "appel",   "channel",   "channel"};
    std::map<std::string, std::string> classeDuNom;   // la couleur d'un nom, partout la même
    std::map<std::string, std::string> classeDuGenre; // le style d'un genre de ligne
    const std::set<std::string> balisesPermises = {
        "html", "head", "meta", "title", "style", "body", "header", "h1", "dl",
        "dt",   "dd",   "b",    "u",     "main",  "h2",   "p",      "i",  "footer"};
    for (int bits = 0; bits < 8; ++bits) {
        const Modes modes{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        SCOPED_TRACE(NomDesModes(modes));
        const auto chemins = Ecrire(modes);
        ASSERT_EQ(chemins.size(), 3u);
        EXPECT_EQ(fs::path(chemins[1]).filename(), "LogFinal.html");
        EXPECT_EQ(fs::path(chemins[2]).filename(), "LogFinal.jsonl");
        const auto lignes = CorpsDuLogFinal(Lire("LogFinal.txt"));
        ASSERT_EQ(lignes.size(), genres.size());

        const std::string html = Lire("LogFinal.html");
        ASSERT_TRUE(test::Utf8Valide(html));
        const test::PageLue page = test::LirePage(html);
        ASSERT_EQ(page.erreur, "");
        for (const std::string& b : page.balises)
            EXPECT_TRUE(balisesPermises.count(b)) << "<" << b << ">";
        for (const std::string& v : page.valeurs)
            EXPECT_EQ(v.find("//"), std::string::npos) << "ressource extérieure ? " << v;
        EXPECT_EQ(page.styles.find("url("), std::string::npos);
        EXPECT_EQ(page.styles.find("@import"), std::string::npos);
        for (const char* attendu :
             {"Extracteur de LOG VEK", "samedi 7 décembre 2002",
              "du lundi 24 décembre 2001 au mercredi 26 décembre 2001", "[Commerce]", "[Guilde]",
              "Zone de proximité", "Aldric", "<b>Al&amp;</div>", "Cœlio"})
            EXPECT_NE(page.texteEnTete.find(attendu), std::string::npos) << attendu;

        const auto json = LignesJson(Lire("LogFinal.jsonl"));
        ASSERT_TRUE(test::Utf8Valide(Lire("LogFinal.jsonl")));
        ASSERT_EQ(page.entrees.size(), lignes.size());
        ASSERT_EQ(json.size(), lignes.size());
        std::vector<std::string> jours;
        for (std::size_t k = 0; k < lignes.size(); ++k) {
            SCOPED_TRACE("ligne " + std::to_string(k + 10) + " : " + Utf8(lignes[k]));
            const test::EntreeLue& entree = page.entrees[k];
            // La page montre exactement la ligne de LogFinal.txt.
            EXPECT_EQ(entree.texte, test::DecoderCp1252(lignes[k], true));

            std::string erreur;
            const auto objet = test::LireObjetJson(json[k], erreur);
            ASSERT_TRUE(objet) << erreur << " : " << json[k];
            std::set<std::string> champs;
            for (const auto& [cle, valeur] : *objet)
                champs.insert(cle);
            EXPECT_EQ(champs, (std::set<std::string>{"date", "heure", "genre", "channel", "nom",
                                                     "texte", "ligne"}));
            const auto champ = [&](const char* cle) { return objet->at(cle).value_or("null"); };
            EXPECT_EQ(champ("ligne"), Utf8(lignes[k]));
            EXPECT_EQ(champ("genre"), genres[k]);
            const std::string texte = champ("texte");
            EXPECT_EQ(champ("ligne").substr(champ("ligne").size() - texte.size()), texte);
            jours.push_back(champ("date"));

            // Badge du channel, nom de sa couleur, style du genre.
            const auto morceau = [&](const char* balise) -> const test::MorceauLu* {
                for (const auto& m : entree.morceaux)
                    if (m.balise == balise)
                        return &m;
                return nullptr;
            };
            const test::MorceauLu* badge = morceau("b");
            if (genres[k] == "channel" && !modes.ModeUnlessChannel) {
                ASSERT_NE(badge, nullptr);
                EXPECT_EQ(badge->texte, champ("channel"));
            } else {
                EXPECT_EQ(badge, nullptr);
            }
            const test::MorceauLu* nom = morceau("u");
            ASSERT_NE(nom, nullptr);
            if (genres[k] == "dit") {
                EXPECT_EQ(nom->texte, "Vous avez dit");
            } else {
                EXPECT_EQ(nom->texte, test::ControlesVisibles(champ("nom")));
                auto [it, neuf] = classeDuNom.emplace(nom->texte, nom->classe);
                EXPECT_EQ(it->second, nom->classe) << "deux couleurs pour " << nom->texte;
            }
            EXPECT_EQ(morceau("i") != nullptr, !modes.ModeUnlessDate) << "l'heure";
            std::string classe = entree.classe;
            if (modes.ModeUnlessDate)
                classe = classe == "s" ? "" : classe.substr(0, classe.size() - 2);
            auto [it, neuf] = classeDuGenre.emplace(genres[k], classe);
            EXPECT_EQ(it->second, classe) << "deux styles pour " << genres[k];
        }
        // Un titre avant la première ligne de chaque jour, sans date aucun.
        if (modes.ModeUnlessDate) {
            EXPECT_TRUE(page.titres.empty());
        } else {
            EXPECT_EQ(page.titres,
                      (std::vector<std::string>{"lundi 24 décembre 2001", "mardi 25 décembre 2001",
                                                "mercredi 26 décembre 2001"}));
            EXPECT_EQ(page.avant, (std::vector<std::size_t>{0, 4, 7}));
            EXPECT_EQ(jours[4], "2001-12-25");
        }
    }
    // Ce que vous avez dit, les murmures et les appels ont chacun leur style, que la page
    // définit.
    std::set<std::string> styles;
    for (const char* genre : {"channel", "dit", "murmure", "appel"})
        styles.insert(classeDuGenre[genre]);
    EXPECT_EQ(styles.size(), 4u);
    const std::string styles0 = test::LirePage(Lire("LogFinal.html")).styles;
    for (const char* genre : {"dit", "murmure", "appel"})
        EXPECT_NE(styles0.find("p." + classeDuGenre[genre] + "{"), std::string::npos) << genre;
}

TEST_F(Publier, ChampsJsonDeChaqueGenre) {
    Chercher(JournalHostile(), {2001, 12, 24}, {2001, 12, 26});
    struct Attendu {
        std::size_t ligne;
        Modes modes;
        const char* heure;
        const char* channel;
        const char* nom;
        const char* texte;
    };
    // La date, l'heure, le channel et le nom viennent du journal ; le texte suit les modes.
    const Modes aucun{}, tous{true, true, true};
    const Attendu attendus[] = {
        {0, aucun, "20:15:03", "[Commerce]", "Aldric", "bonjour à tous"},
        {1, tous, "20:16:00", "[Commerce]", "<b>Al&amp;</div>",
         "<script>alert(1)</script> & \"guillemets\" 'apostrophes' &lt; --> <!--"},
        {2, aucun, "20:17:00", "Zone de proximité", nullptr,
         "salut \uFFFD\uFFFD\uFFFD\uFFFD€ fin\t\x7F\x01"},
        {3, aucun, "23:59:59", "Zone de proximité", "Vous", "\"Aldric\", tu viens ?"},
        {4, aucun, "00:00:01", "", "Aldric", "psst [Commerce]"},
        {5, aucun, "00:10:00", "", "Le héraut", "Le héraut VOUS APPELLE sur la place."},
        {6, aucun, "08:00:00", "[Guilde]", "Cœlio", "voir [Guilde], \"Cœlio\" est là </p></main>"},
        {6, tous, "08:00:00", "[Guilde]", "Cœlio", "voir , Cœlio est là </p></main>"},
    };
    for (const Attendu& a : attendus) {
        SCOPED_TRACE(std::to_string(a.ligne) + ", " + NomDesModes(a.modes));
        Ecrire(a.modes, {false, false, true});
        const auto json = LignesJson(Lire("LogFinal.jsonl"));
        ASSERT_GT(json.size(), a.ligne);
        std::string erreur;
        const auto objet = test::LireObjetJson(json[a.ligne], erreur);
        ASSERT_TRUE(objet) << erreur;
        EXPECT_EQ(objet->at("heure"), a.heure);
        EXPECT_EQ(objet->at("channel"), a.channel);
        EXPECT_EQ(objet->at("texte"), a.texte);
        if (a.nom) // le nom qui porte un NUL ne passe pas par un const char*
            EXPECT_EQ(objet->at("nom"), a.nom);
        else
            EXPECT_EQ(objet->at("nom"), std::string("Zo\0\xEF\xBF\xBD", 6));
    }
    EXPECT_FALSE(fs::exists(dossier.Fichier("LogFinal.txt"))) << "le json seul";
}

TEST_F(Publier, MurmuresEtAppels) {
    // Une ligne retenue par « vous appelle » est un murmure quand un nom le précède et qu'un
    // message le suit après « : » ; toute autre forme est un appel.
    struct Cas {
        const char* corps;
        GenreEntree genre;
        const char* nom;
        const char* texte;
    };
    const Cas cas[] = {
        {"Aldric vous appelle : psst", GenreEntree::Murmure, "Aldric", "psst"},
        {"Aldric VOUS APPELLE:psst", GenreEntree::Murmure, "Aldric", "psst"},
        {"Aldric vous appelle.", GenreEntree::Appel, "Aldric", "Aldric vous appelle."},
        {"vous appelle : x", GenreEntree::Appel, "", "vous appelle : x"},
        {"Bob: Aldric vous appelle : x", GenreEntree::Appel, "", "Bob: Aldric vous appelle : x"},
        {"Le h\xE9raut vous appelle sur la place", GenreEntree::Appel, "Le h\xE9raut",
         "Le h\xE9raut vous appelle sur la place"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.corps);
        const std::string ligne = "12/24/2001 20:15:03 - " + std::string(c.corps);
        std::string tampon;
        const Entree e = DecouperEntree(ligne, ligne, Modes{}, tampon);
        EXPECT_EQ(e.genre, c.genre);
        EXPECT_EQ(e.nom, c.nom);
        EXPECT_EQ(e.Texte(), c.texte);
        EXPECT_EQ(e.channel, "");
    }
}

TEST_F(Publier, CouleursStables) {
    // Les teintes ne dépendent que des octets du texte : elles ne changent pas d'une version à
    // l'autre (valeurs figées) et se répartissent.
    EXPECT_EQ(TeinteNom("Aldric"), 30);
    EXPECT_EQ(TeinteNom("B\xE9reng\xE8re"), 15);
    EXPECT_EQ(TeinteChannel("[Commerce]"), 4);
    std::set<int> noms, channels;
    for (int i = 0; i < 36; ++i)
        noms.insert(TeinteNom("Joueur" + std::to_string(i)));
    for (int i = 0; i < 12; ++i)
        channels.insert(TeinteChannel("[Canal" + std::to_string(i) + "]"));
    EXPECT_GE(noms.size(), 18u);
    EXPECT_GE(channels.size(), 6u);

    // Sur la page : la même couleur pour un nom, quelle que soit la sélection.
    Chercher(JournalHostile(), {2001, 12, 24}, {2001, 12, 26});
    const auto couleurs = [&] {
        Ecrire({}, {false, true, false});
        std::map<std::string, std::string> vu;
        for (const auto& e : test::LirePage(Lire("LogFinal.html")).entrees)
            for (const auto& m : e.morceaux)
                vu[m.balise + " " + m.texte] = m.classe;
        return vu;
    };
    const auto tout = couleurs();
    EXPECT_EQ(tout.at("u Aldric"), "n30");
    EXPECT_EQ(tout.at("b [Commerce]"), "c4");
    arbres.ToutCocher(arbres.noms, false);
    test::ArbresCoches::Cocher(arbres.noms, "Aldric");
    const auto aldric = couleurs();
    EXPECT_EQ(aldric.at("u Aldric"), "n30");
    EXPECT_EQ(aldric.at("b [Guilde]"), tout.at("b [Guilde]"));
}

TEST_F(Publier, TitresDesJoursEntreLesLots) {
    // Dix jours de 9000 lignes : les lots (d'un demi-Mio) changent de jour en leur milieu comme à
    // leur bord ; chaque jour a son titre, une seule fois.
    std::string journal;
    for (int jour = 1; jour <= 10; ++jour)
        for (int i = 0; i < 9000; ++i)
            journal +=
                Ligne(jour, "10:00:00", "[Commerce] \"Aldric\": message " + std::to_string(i));
    Chercher(journal, {2001, 12, 1}, {2001, 12, 31});
    Ecrire({}, {false, true, false});
    const test::PageLue page = test::LirePage(Lire("LogFinal.html"));
    ASSERT_EQ(page.erreur, "");
    ASSERT_EQ(page.entrees.size(), 90000u);
    ASSERT_EQ(page.titres.size(), 10u);
    for (std::size_t j = 0; j < 10; ++j)
        EXPECT_EQ(page.avant[j], 9000 * j);
    EXPECT_EQ(page.titres[0], "samedi 1 décembre 2001");
    EXPECT_EQ(page.titres[9], "lundi 10 décembre 2001");
}

TEST_F(Publier, LigneDemesureeMiseEnFormeParMorceaux) {
    // Trois Mio de caractères à échapper, à cheval sur les morceaux de la mise en forme.
    using namespace std::string_literals;
    std::string message;
    while (message.size() < (std::size_t{3} << 20))
        message += "<&>\"\x81\xE9 \0"s.substr(0, 9) + "abcdefgh";
    const std::string journal = Ligne(24, "20:15:03", "[Commerce] \"Aldric\": " + message);
    Chercher(journal, {2001, 12, 24}, {2001, 12, 24});
    Ecrire({}, {true, true, true});
    const auto lignes = CorpsDuLogFinal(Lire("LogFinal.txt"));
    ASSERT_EQ(lignes.size(), 1u);
    const test::PageLue page = test::LirePage(Lire("LogFinal.html"));
    ASSERT_EQ(page.erreur, "");
    ASSERT_EQ(page.entrees.size(), 1u);
    EXPECT_TRUE(page.entrees[0].texte == test::DecoderCp1252(lignes[0], true));
    EXPECT_EQ(page.titres.size(), 1u);
    const auto json = LignesJson(Lire("LogFinal.jsonl"));
    ASSERT_EQ(json.size(), 1u);
    std::string erreur;
    const auto objet = test::LireObjetJson(json[0], erreur);
    ASSERT_TRUE(objet) << erreur;
    EXPECT_TRUE(objet->at("ligne") == Utf8(lignes[0]));
    EXPECT_EQ(objet->at("nom"), "Aldric");
}

TEST_F(Publier, AnciennesSortiesGardeesJusquALaFinEtTemporairesOrphelinsSupprimes) {
    Chercher(JournalHostile(), {2001, 12, 24}, {2001, 12, 26});
    dossier.Ecrire("LogFinal.html", "ancienne page");
    dossier.Ecrire("LogFinal.jsonl", "anciennes lignes");
    dossier.Ecrire("LogFinal.html.tmp-1-orphelin", "");
    dossier.Ecrire("LogFinal.jsonl.tmp-1-orphelin", "");
    // Le texte seul ne touche pas aux autres sorties.
    EXPECT_EQ(Ecrire({}, {}).size(), 1u);
    EXPECT_EQ(Lire("LogFinal.html"), "ancienne page");
    // Une passe arrêtée ne remplace rien et ne laisse rien.
    std::stop_source arret;
    arret.request_stop();
    const ModesPartages modes;
    const auto r = module.EcrireSorties(arbres.Capturer(), modes, {true, true, true}, progression,
                                        arret.get_token());
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.Echec().interrompu);
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
