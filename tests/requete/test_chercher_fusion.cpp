// La passe de recherche sur plusieurs journaux (une scène vue par trois joueurs, horloges
// décalées, lignes privées) : elle trouve les lignes de la fusion, chacune avec le journal d'où
// elle vient et son numéro dans ce journal, et la séance que l'analyse de la fusion lui donne ;
// le même fichier donné deux fois est lu seul ; un journal absent ou remplacé pendant la passe la
// fait échouer.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Correspondance.h"
#include "DossierTemporaire.h"
#include "GenerateurScene.h"
#include "Ligne.h"
#include "OutilsMoteur.h"
#include "TrouverScene.h"

namespace vek {
namespace {

std::vector<std::string> Lignes(const std::string& texte) {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0, fin; (fin = texte.find("\r\n", debut)) != std::string::npos;
         debut = fin + 2)
        lignes.push_back(texte.substr(debut, fin - debut));
    return lignes;
}

class ChercherDansLaFusion : public testing::Test {
protected:
    void SetUp() override {
        // Aldric, la référence ; Brune, une heure et sept secondes d'avance ; Cœlio, sept de
        // retard. Chacun ses channels ; des murmures et des messages du jeu (lignes privées).
        ParametresScene p;
        p.joueurs = {{"Aldric", {0, 1}, 0, true},
                     {"Brune", {0, 2}, 3607, true},
                     {"C\x9clio", {1}, -7, true}};
        p.messages = 300;
        scene = GenererScene(p);
        for (std::size_t k = 0; k < p.joueurs.size(); ++k)
            chemins.push_back(
                donnees.Ecrire("joueur" + std::to_string(k) + ".txt", scene.journaux[k]));
    }
    DemandeScene Demande(const char* requete) const {
        return DemandeScene{Journaux(chemins), *AnalyserRequete(requete)};
    }
    ResultatScene Chercher(const DemandeScene& d) {
        auto r = TrouverScene(d, progression, {});
        EXPECT_TRUE(r.ok()) << r.Echec().Message();
        return r.ok() ? std::move(*r) : ResultatScene{};
    }
    // L'extrait de la fusion sur toute la scène, et ses séances, par les passes du moteur.
    std::vector<std::string> Extrait(std::vector<Session>& seances) {
        Moteur m{test::Reglages(sortie.Chemin())};
        const auto analyse = m.Analyser({Journaux(chemins)}, progression);
        EXPECT_TRUE(analyse.ok());
        if (analyse.ok())
            seances = analyse->sessions;
        const auto r =
            m.Rechercher({chemins, Periode::Jours({2001, 12, 24}, {2001, 12, 25})}, progression);
        EXPECT_TRUE(r.ok()) << r.Echec().Message();
        return Lignes(test::LireTout(m.CheminExtrait()));
    }

    test::DossierTemporaire donnees, sortie;
    Scene scene;
    std::vector<std::string> chemins;
    test::ProgressionNotee progression;
};

TEST_F(ChercherDansLaFusion, LesLignesDeLaFusionAvecLeurJournalLeurNumeroEtLeurSeance) {
    const DemandeScene d = Demande("dragon");
    const ResultatScene r = Chercher(d);
    EXPECT_EQ(r.journaux, chemins);
    EXPECT_EQ(r.avisJournaux.size(), chemins.size());

    // Les lignes trouvées sont, dans l'ordre, celles de l'extrait de la fusion où est le mot.
    std::vector<Session> seances;
    std::vector<std::string> attendues;
    Correspondeur correspondeur(d.requete);
    for (const std::string& l : Extrait(seances))
        if (correspondeur.Correspond(l))
            attendues.push_back(l);
    ASSERT_GT(attendues.size(), 10u);
    ASSERT_EQ(r.lignes.size(), attendues.size());
    EXPECT_EQ(r.trouvees, attendues.size());

    std::vector<std::vector<std::string>> journaux;
    for (const std::string& j : scene.journaux)
        journaux.push_back(Lignes(j));
    std::vector<bool> sources(chemins.size(), false);
    for (std::size_t i = 0; i < r.lignes.size(); ++i) {
        const LigneTrouvee& t = r.lignes[i];
        EXPECT_EQ(t.ligne, attendues[i]);
        // Sa ligne dans son propre journal : le même message, à l'heure de ce journal (ce que
        // son joueur a dit y est « Vous avez dit »).
        ASSERT_LT(t.source, journaux.size());
        ASSERT_GE(t.numero, 1u);
        ASSERT_LE(t.numero, journaux[t.source].size());
        sources[t.source] = true;
        const std::string& origine = journaux[t.source][t.numero - 1];
        const std::string_view corps = CorpsDeLigne(t.ligne);
        const std::string_view message = corps.substr(corps.find("\":") + 2);
        EXPECT_TRUE(CorpsDeLigne(origine) == corps ||
                    (CorpsDeLigne(origine).starts_with("Vous avez dit") &&
                     origine.ends_with(message.substr(message.find_first_not_of('"')))))
            << t.ligne << "\n"
            << origine;
        // Sa séance : celle de l'analyse de la fusion qui contient son heure.
        const Instant instant{t.date, t.seconde.value_or(-1)};
        std::uint64_t seance = 0;
        for (const Session& s : seances)
            if (!(instant < s.debut) && !(s.fin < instant))
                seance = s.numero;
        EXPECT_EQ(t.seance, seance) << t.ligne;
    }
    // Des lignes de la référence et d'un autre journal au moins.
    EXPECT_TRUE(sources[0]);
    EXPECT_TRUE(sources[1] || sources[2]);
}

// Le même fichier deux fois, par un autre chemin : un seul journal, lu comme tel (positions
// comprises), sans fusion.
TEST_F(ChercherDansLaFusion, LeMemeFichierDeuxFoisEstLuSeul) {
    const std::string lien = donnees.Fichier("lien.txt");
    std::filesystem::create_hard_link(chemins[1], lien);
    DemandeScene deux = Demande("dragon");
    deux.journaux = Journaux(std::vector<std::string>{chemins[1], " " + lien});
    DemandeScene un = Demande("dragon");
    un.journaux = Journaux(chemins[1]);
    const ResultatScene a = Chercher(deux), b = Chercher(un);
    EXPECT_EQ(a.journaux, std::vector<std::string>{chemins[1]});
    EXPECT_TRUE(a.avisJournaux.empty());
    ASSERT_EQ(a.lignes.size(), b.lignes.size());
    ASSERT_FALSE(a.lignes.empty());
    for (std::size_t i = 0; i < a.lignes.size(); ++i) {
        EXPECT_EQ(a.lignes[i].ligne, b.lignes[i].ligne);
        EXPECT_EQ(a.lignes[i].numero, b.lignes[i].numero);
        EXPECT_EQ(a.lignes[i].position, b.lignes[i].position);
        EXPECT_EQ(a.lignes[i].source, 0u);
    }
}

// Un journal absent est nommé ; un journal remplacé pendant la passe la fait échouer, quoi
// qu'elle ait déjà rendu.
TEST_F(ChercherDansLaFusion, UnJournalAbsentOuRemplaceFaitEchouer) {
    DemandeScene d = Demande("dragon");
    d.journaux.chemins.push_back(donnees.Fichier("absent.txt"));
    const auto absent = TrouverScene(d, progression, {});
    ASSERT_FALSE(absent.ok());
    EXPECT_NE(absent.Echec().Message().find("absent.txt"), std::string::npos);

    bool remplace = false;
    const auto r = TrouverScene(Demande("dragon"), progression, {}, [&](const LigneTrouvee&) {
        if (!std::exchange(remplace, true))
            std::filesystem::rename(donnees.Ecrire("autre.txt", scene.journaux[0]), chemins[2]);
    });
    ASSERT_TRUE(remplace);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.Echec().Message().find("joueur2.txt"), std::string::npos) << r.Echec().Message();
}

} // namespace
} // namespace vek
