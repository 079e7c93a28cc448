// Le nettoyage des noms qui ne commencent pas par une lettre, des lignes où le message ne se
// retrouve pas, et d'une ligne démesurée au message nettoyé court : aucun vrai nom ni texte hors
// role-play ne reste dans aucune sortie.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

#include "Catalogue.h"
#include "DossierTemporaire.h"
#include "LecturePublication.h"
#include "Moteur.h"
#include "Nettoyage.h"
#include "OutilsMoteur.h"
#include "PasseDEssai.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

// Les vues d'une table des noms désignent ses propres textes : une copie serait fausse.
static_assert(!std::is_copy_constructible_v<TableDesNoms>);
static_assert(!std::is_copy_assignable_v<TableDesNoms>);
static_assert(!std::is_copy_constructible_v<Nettoyeur>);
static_assert(!std::is_copy_assignable_v<Nettoyeur>);

const std::string EnTete = "12/24/2001 21:04:05 - [Guilde] \"";

struct CasNom {
    const char* nom;
    const char* locuteur;
    const char* message;
    const char* attendu; // le message nettoyé
    const char* pseudonyme;
};

// 'Elfe, -Loup- et Aldric, cochés dans cet ordre : Personne 1, 2 et 3.
const CasNom TableNoms[] = {
    {"LocuteurApostrophe", "'Elfe", "bonjour", "bonjour", "Personne 1"},
    {"LocuteurTirets", "-Loup-", "je suis -Loup-", "je suis Personne 2", "Personne 2"},
    {"MentionApostrophe", "Aldric", "vu 'Elfe hier", "vu Personne 1 hier", "Personne 3"},
    {"MentionTirets", "Aldric",
     "salut -Loup-, \xE7"
     "a va",
     "salut Personne 2, \xE7"
     "a va",
     "Personne 3"},
    {"DeuxDeSuite", "Aldric", "'Elfe -Loup-", "Personne 1 Personne 2", "Personne 3"},
    {"EnFinDeMessage", "Aldric", "adieu 'Elfe", "adieu Personne 1", "Personne 3"},
    {"ApostropheDansUnMot", "Aldric", "l'Elfe arrive", "l'Elfe arrive", "Personne 3"},
    {"TiretsCollesAUnMot", "Aldric", "-Loup-s", "-Loup-s", "Personne 3"},
};

class NomSansLettreEnTete : public ::testing::TestWithParam<CasNom> {};

TEST_P(NomSansLettreEnTete, RemplaceCommeLocuteurEtCommeMention) {
    const CasNom& c = GetParam();
    Selection selection;
    for (const char* nom : {"'Elfe", "-Loup-", "Aldric"})
        selection.AjouterNom(nom);
    ReglagesNettoyage r;
    r.anonymiser = true;
    const Nettoyeur nettoyeur(r, nullptr, selection);
    const std::string message = c.message;
    const std::string ligne = EnTete + c.locuteur + "\": " + message;
    Enregistrement e;
    e.genre = GenreEntree::Channel;
    e.channel = "[Guilde]";
    e.nom = std::string_view(ligne).substr(EnTete.size(), std::string_view(c.locuteur).size());
    e.nomMontre = true;
    e.texte = std::string_view(ligne).substr(ligne.size() - message.size());
    e.ligne = ligne;
    TravailNettoyage t;
    ASSERT_TRUE(nettoyeur.Nettoyer(e, t));
    EXPECT_EQ(e.texte, c.attendu);
    EXPECT_EQ(e.nom, c.pseudonyme);
    EXPECT_EQ(e.ligne, EnTete + c.pseudonyme + "\": " + c.attendu);
}

INSTANTIATE_TEST_SUITE_P(Table, NomSansLettreEnTete, ::testing::ValuesIn(TableNoms),
                         [](const ::testing::TestParamInfo<CasNom>& cas) {
                             return std::string(cas.param.nom);
                         });

// Un nom fait de ponctuation seule ne se cherche pas dans les messages : « - » y est partout.
TEST(NomSansLettre, RemplaceSeulementALaPlaceDuLocuteur) {
    Selection selection;
    selection.AjouterNom("--");
    ReglagesNettoyage r;
    r.anonymiser = true;
    const Nettoyeur nettoyeur(r, nullptr, selection);
    const std::string ligne = EnTete + "--\": oui -- non";
    Enregistrement e;
    e.genre = GenreEntree::Channel;
    e.channel = "[Guilde]";
    e.nom = std::string_view(ligne).substr(EnTete.size(), 2);
    e.texte = std::string_view(ligne).substr(ligne.size() - 9);
    e.ligne = ligne;
    TravailNettoyage t;
    ASSERT_TRUE(nettoyeur.Nettoyer(e, t));
    EXPECT_EQ(e.ligne, EnTete + "Personne 1\": oui -- non");
}

// Le journal des cas difficiles : noms sans lettre en tête, une ligne de proximité que le mode
// des noms réécrit autrement que son message seul, une ligne démesurée dont le message nettoyé
// tient en deux lettres, suivie d'autres lignes qui réemploient les zones de travail.
std::string JournalDifficile() {
    return "12/24/2001 21:00:01 - [Guilde] \"'Elfe\": salut -Loup- ((lag))\r\n"
           "12/24/2001 21:00:02 - [Guilde] \"-Loup-\": re 'Elfe\r\n"
           "12/24/2001 21:00:03 - {Aldric}\":\"Aldric\" salut ((lag))\r\n"
           "12/24/2001 21:00:04 - [Guilde] \"Aldric\": ok ((" +
           std::string(2u << 20, 'x') +
           "))\r\n"
           "12/24/2001 21:00:05 - [Guilde] \"-Loup-\": fin ((brb)) pour 'Elfe\r\n"
           "12/24/2001 21:00:06 - [Guilde] \"Aldric\": ((x)) HRP : je reviens\r\n"
           "12/24/2001 21:00:07 - [Guilde] \"'Elfe\": le mot de la fin\r\n";
}

std::vector<std::string> Decouper(const std::string& contenu) {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0, fin; debut < contenu.size(); debut = fin + 1) {
        fin = std::min(contenu.find('\n', debut), contenu.size());
        lignes.push_back(contenu.substr(debut, fin - debut));
    }
    return lignes;
}

class PasseDifficile : public test::PasseDEssai {
protected:
    const FormatsSortie tous = FormatsSortie::De({"texte", "html", "json", "forum", "discord"});

    void SetUp() override {
        ChercherToutCocher(JournalDifficile(), {2001, 12, 24}, {2001, 12, 24});
        ecriture.nettoyage.sansHrp = true;
        ecriture.nettoyage.anonymiser = true;
    }
};

TEST_F(PasseDifficile, AucunVraiNomNiHorsRolePlayDansLesHuitJeuxDeModes) {
    for (int bits = 0; bits < 8; ++bits) {
        SCOPED_TRACE("modes " + std::to_string(bits));
        const ModesPartages partages(Modes{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0});
        const auto r =
            test::Ecrire(module, arbres.Capturer(), partages, tous, progression, {}, ecriture);
        ASSERT_TRUE(r.ok()) << r.Echec().Message();

        std::vector<std::string> textes;
        for (const auto& l : Decouper(test::LireTout(dossier.Fichier("LogFinal.jsonl")))) {
            const auto objet = test::LireObjetJson(l);
            ASSERT_TRUE(objet) << l.substr(0, 200);
            textes.push_back(objet->at("texte").value_or(""));
        }
        EXPECT_EQ(textes, (std::vector<std::string>{"salut Personne 2", "re Personne 1",
                                                    "Personne 3\" salut", "ok",
                                                    "fin pour Personne 1", "le mot de la fin"}));

        for (const auto& f : fs::recursive_directory_iterator(dossier.Chemin())) {
            const std::string nom = f.path().filename().string();
            if (!f.is_regular_file() || nom == "journal.txt" || nom == NomExtrait)
                continue;
            const std::string contenu = test::LireTout(f.path().string());
            for (const char* interdit :
                 {"Elfe", "Loup", "Aldric", "((", "lag", "xxxx", "HRP", "je reviens"})
                EXPECT_EQ(contenu.find(interdit), std::string::npos) << interdit << " dans " << nom;
        }
    }
}

} // namespace
} // namespace vek
