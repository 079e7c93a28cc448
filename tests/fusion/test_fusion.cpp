// Une scène de plusieurs journaux fusionnés : chaque message une fois, dans l'ordre du temps de
// la référence, sur son horloge ; « Vous » est le joueur de la référence, jamais un autre ; les
// horloges décalées et les joueurs sont trouvés ; un journal qui change pendant la passe la fait
// échouer sans rien changer.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "DossierTemporaire.h"
#include "GenerateurScene.h"
#include "LigneFusion.h"
#include "Moteur.h"
#include "OutilsMoteur.h"

namespace vek {
namespace {

using Message = std::tuple<std::string, std::string, std::string>; // genre, locuteur, texte

// Trois joueurs : Aldric (la référence), Brune (horloge en avance d'une heure et sept
// secondes), Cœlio (en retard de sept secondes) ; chacun ses channels.
ParametresScene Parametres() {
    ParametresScene p;
    p.joueurs = {
        {"Aldric", {0, 1}, 0, true}, {"Brune", {0, 2}, 3607, true}, {"C\x9clio", {1}, -7, true}};
    p.messages = 300;
    return p;
}

// Ce que dit une ligne d'extrait : son genre, son locuteur, son texte ; « Vous avez dit » est
// le joueur vous.
Message Lire(std::string_view ligne, const std::string& vous) {
    std::string tampon;
    const LigneAnalysee a = AnalyserPourFusion(ligne, tampon);
    switch (a.genre) {
    case GenreFusion::Channel:
        return {std::string(a.tag), std::string(a.nom), std::string(a.message.substr(1))};
    case GenreFusion::Proximite:
        return {"p", std::string(a.nom), std::string(a.message)};
    case GenreFusion::Vous:
        return {"p", vous, std::string(a.message)};
    case GenreFusion::Prive:
        break;
    }
    return {"prive", "", std::string(CorpsDeLigne(ligne))};
}

// Les messages que la fusion doit rendre, la référence étant le joueur ref : chacun de ceux qu'un
// journal au moins a entendus, sauf ce qui est propre à un autre joueur.
std::multiset<Message> Attendus(const Scene& s, const ParametresScene& p, std::size_t ref) {
    std::multiset<Message> attendus;
    for (const MessageScene& m : s.messages) {
        if (std::none_of(m.entendu.begin(), m.entendu.end(), [](bool b) { return b; }))
            continue;
        switch (m.genre) {
        case MessageScene::Genre::Channel:
            attendus.insert({TagScene(m.channel), m.locuteur, m.texte});
            break;
        case MessageScene::Genre::Proximite:
            attendus.insert({"p", m.locuteur, m.texte});
            break;
        case MessageScene::Genre::Murmure:
            if (m.entendu[ref])
                attendus.insert({"prive", "", m.locuteur + " vous appelle : " + m.texte});
            break;
        case MessageScene::Genre::Jeu:
            if (m.entendu[ref])
                attendus.insert(
                    {"prive", "", "Vous gagnez " + m.texte + " points d'exp\xE9rience."});
            break;
        }
    }
    (void)p;
    return attendus;
}

class Fusion : public ::testing::Test {
protected:
    test::DossierTemporaire dossier, donnees;
    ParametresScene p = Parametres();
    Scene scene = GenererScene(p);
    std::vector<std::string> chemins;
    test::ProgressionNotee progression;

    void SetUp() override {
        for (std::size_t k = 0; k < p.joueurs.size(); ++k)
            chemins.push_back(
                donnees.Ecrire("joueur" + std::to_string(k) + ".txt", scene.journaux[k]));
    }
    // L'extrait de la fusion de ces journaux, sur toute la scène.
    std::string Fusionner(Journaux journaux, ResultatRecherche* resultat = nullptr) {
        Moteur m{test::Reglages(dossier.Chemin())};
        const auto r =
            m.Rechercher({journaux, Periode::Jours({2001, 12, 24}, {2001, 12, 25})}, progression);
        EXPECT_TRUE(r.ok()) << r.Echec().Message();
        if (r.ok() && resultat)
            *resultat = *r;
        return test::LireTout(m.CheminExtrait());
    }
};

std::vector<std::string> Lignes(const std::string& texte) {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0, fin; (fin = texte.find("\r\n", debut)) != std::string::npos;
         debut = fin + 2)
        lignes.push_back(texte.substr(debut, fin - debut));
    return lignes;
}

TEST_F(Fusion, ChaqueMessageUneFoisDansLOrdreSurLHorlogeDeLaReference) {
    ResultatRecherche r;
    const std::string extrait = Fusionner(Journaux(chemins), &r);
    std::multiset<Message> lus;
    std::int64_t precedent = INT64_MIN;
    for (const std::string& ligne : Lignes(extrait)) {
        lus.insert(Lire(ligne, "Aldric"));
        const std::int64_t t =
            SecondesDepuis1970({*DateDeLigne(ligne), SecondesDeLigne(ligne).value_or(0)});
        EXPECT_GE(t, precedent) << ligne;
        precedent = t;
    }
    EXPECT_EQ(lus, Attendus(scene, p, 0));
    // Les horloges et les joueurs, trouvés.
    ASSERT_EQ(r.journaux.size(), 3u);
    EXPECT_EQ(r.journaux[1].avance, 3607);
    EXPECT_EQ(r.journaux[2].avance, -7);
    EXPECT_EQ(r.journaux[0].joueur, "Aldric");
    EXPECT_EQ(r.journaux[1].joueur, "Brune");
    EXPECT_EQ(r.journaux[2].joueur, "C\x9clio");
    ASSERT_EQ(r.avisJournaux.size(), 3u);
    EXPECT_NE(r.avisJournaux[1].find("horloge en avance de 1 h 00 min 07 s"), std::string::npos)
        << r.avisJournaux[1];
    EXPECT_NE(r.avisJournaux[2].find("horloge en retard de 7 s"), std::string::npos)
        << r.avisJournaux[2];
}

// Chaque ligne rendue est sur l'horloge de la référence : une ligne de la scène dite à cette
// heure-là (à la seconde d'hésitation près).
TEST_F(Fusion, LesHeuresSontCellesDeLaReference) {
    std::multimap<std::pair<std::string, std::string>, std::int64_t> vrais;
    for (const MessageScene& m : scene.messages)
        vrais.emplace(std::pair{m.locuteur, m.texte}, m.instant);
    for (const std::string& ligne : Lignes(Fusionner(Journaux(chemins)))) {
        const auto [genre, locuteur, texte] = Lire(ligne, "Aldric");
        if (genre == "prive")
            continue;
        const std::int64_t t =
            SecondesDepuis1970({*DateDeLigne(ligne), SecondesDeLigne(ligne).value_or(0)});
        const auto [debut, fin] = vrais.equal_range({locuteur, texte});
        EXPECT_TRUE(std::any_of(debut, fin, [t](const auto& v) {
            return std::llabs(v.second - t) <= 1;
        })) << ligne;
    }
}

// Les mêmes messages, quel que soit le journal de référence ; ce qui est propre à un autre joueur
// (ses murmures, les messages du jeu) n'est jamais celui de la référence.
TEST_F(Fusion, LesMemesMessagesQuelleQueSoitLaReference) {
    for (const std::size_t ref : {std::size_t{1}, std::size_t{2}}) {
        SCOPED_TRACE(ref);
        std::vector<std::string> ordre{chemins[ref]};
        for (std::size_t k = 0; k < chemins.size(); ++k)
            if (k != ref)
                ordre.push_back(chemins[k]);
        std::multiset<Message> lus;
        for (const std::string& ligne : Lignes(Fusionner(Journaux(ordre))))
            lus.insert(Lire(ligne, p.joueurs[ref].nom));
        EXPECT_EQ(lus, Attendus(scene, p, ref));
    }
}

// Les joueurs et les horloges donnés donnent la fusion que la fusion trouve seule ; un journal
// fusionné avec sa propre copie est le journal seul.
TEST_F(Fusion, DonneOuTrouveMemeResultatEtCopieSansDoublon) {
    Journaux donnes(chemins);
    donnes.donnees = {{std::nullopt, std::string("Aldric")},
                      {3607, std::string("Brune")},
                      {-7, std::string("C\x9clio")}};
    EXPECT_EQ(Fusionner(donnes), Fusionner(Journaux(chemins)));
    const std::string copie = donnees.Ecrire("copie.txt", scene.journaux[0]);
    EXPECT_EQ(Fusionner(Journaux({chemins[0], copie})), scene.journaux[0]);
    // Le même fichier donné deux fois, ou par un lien : un seul journal.
    EXPECT_EQ(Fusionner(Journaux({chemins[0], chemins[0]})), scene.journaux[0]);
}

// Un message dit plus de fois dans un journal que dans l'autre : chaque copie appariée une fois,
// celles que seul un journal tient gardées, quel que soit le journal de référence.
TEST_F(Fusion, UnMessageRepeteGardeChaqueFoisOuIlAEteDit) {
    const auto ligne = [](int s) {
        return "12/24/2001 20:00:1" + std::to_string(s) + " - [Commerce] \"Brune\": oui\r\n";
    };
    const std::string deux = donnees.Ecrire("deux.txt", ligne(0) + ligne(1));
    const std::string trois = donnees.Ecrire("trois.txt", ligne(0) + ligne(1) + ligne(2));
    for (const auto& ordre : {std::vector{deux, trois}, std::vector{trois, deux}}) {
        Journaux j(ordre);
        j.donnees = {{0, std::nullopt}, {0, std::nullopt}};
        EXPECT_EQ(Fusionner(j), ligne(0) + ligne(1) + ligne(2));
    }
}

// Des dizaines de milliers de lignes à la même seconde (plus que les paquets que chaque journal lit
// d'avance) : la fusion les tient toutes dans sa fenêtre, sans attendre à jamais, et garde chaque
// message une fois.
TEST_F(Fusion, BeaucoupDeLignesALaMemeSeconde) {
    std::string texte;
    for (int i = 0; i < 13000; ++i)
        texte +=
            "12/24/2001 20:00:10 - [Commerce] \"Brune\": message " + std::to_string(i) + "\r\n";
    Journaux j({donnees.Ecrire("a.txt", texte), donnees.Ecrire("b.txt", texte)});
    j.donnees = {{0, std::nullopt}, {0, std::nullopt}};
    EXPECT_EQ(Fusionner(j), texte);
}

// Un journal qui disparaît ou est remplacé pendant la passe : elle échoue, et l'extrait d'avant
// reste.
TEST_F(Fusion, UnJournalRemplacePendantLaPasseNeChangeRien) {
    Moteur m{test::Reglages(dossier.Chemin())};
    const DemandeRecherche demande{Journaux(chemins),
                                   Periode::Jours({2001, 12, 24}, {2001, 12, 25})};
    ASSERT_TRUE(m.Rechercher(demande, progression).ok());
    const std::string avant = test::LireTout(m.CheminExtrait());
    bool fait = false;
    progression.surLigne = [&](std::uint64_t n) {
        if (n == 20 && !fait) {
            fait = true;
            std::filesystem::rename(donnees.Ecrire("autre.txt", scene.journaux[2]), chemins[1]);
        }
    };
    // Une autre période : tout est relu, et échoue.
    DemandeRecherche autre = demande;
    autre.periode.debut.seconde = 1;
    const auto r = m.Rechercher(autre, progression);
    ASSERT_TRUE(fait);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(test::LireTout(m.CheminExtrait()), avant);
}

} // namespace
} // namespace vek

namespace vek {
namespace {

// Les lignes JSON d'une fusion disent de quel journal vient chaque ligne ; celles d'un seul
// journal restent telles qu'elles étaient (pas de « source »).
TEST_F(Fusion, LeJsonEtLaPageDisentLaSourceDeChaqueLigne) {
    Moteur m{test::Reglages(dossier.Chemin())};
    const auto r = m.Rechercher(
        {Journaux({chemins[0], chemins[1]}), Periode::Jours({2001, 12, 24}, {2001, 12, 25})},
        progression);
    ASSERT_TRUE(r.ok());
    test::ArbresCoches arbres;
    arbres.Remplir(*r->catalogue);
    arbres.ToutCocher(arbres.channels);
    arbres.ToutCocher(arbres.noms);
    const ModesPartages modes;
    ASSERT_TRUE(
        test::Ecrire(m, arbres.Capturer(), modes, FormatsSortie::De({"json", "html"}), progression)
            .ok());
    // Le JSON dans son champ « source », la page dans l'info-bulle de chaque entrée.
    for (const auto& [fichier, cle] :
         {std::pair<std::string, std::string>{"LogFinal.jsonl", "\"source\":\""},
          {"LogFinal.html", "<p title=\""}}) {
        SCOPED_TRACE(fichier);
        std::map<std::string, int> sources;
        const std::string texte = test::LireTout(dossier.Fichier(fichier));
        for (std::size_t debut = 0; (debut = texte.find(cle, debut)) != std::string::npos;) {
            debut += cle.size();
            ++sources[texte.substr(debut, texte.find('"', debut) - debut)];
        }
        EXPECT_GT(sources["joueur0.txt"], 0);
        EXPECT_GT(sources["joueur1.txt"], 0);
        EXPECT_EQ(sources.size(), 2u);
    }
}

} // namespace
} // namespace vek
