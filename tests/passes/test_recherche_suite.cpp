// La recherche qui ne lit que la suite d'un journal qui a grandi depuis la précédente : ses
// sorties sont, octet pour octet, celles d'une recherche complète ; tout autre changement du
// journal fait tout relire, avec un avis qui dit pourquoi. Et la sélection d'un regard du suivi,
// qui ne lit que cette suite.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "Suiveur.h"

using namespace vek;
using vek::test::ArbresCoches;
using vek::test::DossierTemporaire;
using vek::test::LireTout;
using vek::test::ProgressionNotee;

namespace {

// Des lignes variées : channels et locuteurs nouveaux au fil du journal, proximité, lignes non
// datées, jours hors de la période.
std::string Lignes(int premier, int dernier) {
    static const char* const channels[] = {"Commerce", "Guilde", "Aide", "Evenement"};
    std::string s;
    for (int n = premier; n <= dernier; ++n) {
        const std::string jour = n % 17 == 0 ? "12/26/2001" : "12/24/2001";
        const std::string nom = "Joueur" + std::to_string(n % 23 + n / 50);
        if (n % 11 == 0)
            s += "ligne sans date " + std::to_string(n) + "\r\n";
        else if (n % 3 == 0)
            s += jour + " 20:00:00 - \"" + nom + "\": pres " + std::to_string(n) + "\r\n";
        else
            s += jour + " 20:00:00 - [" + channels[(n / 7) % 4] + std::to_string(n / 40) + "] \"" +
                 nom + "\": msg " + std::to_string(n) + "\r\n";
    }
    return s;
}

void Ajouter(const std::string& chemin, const std::string& octets) {
    std::ofstream(chemin, std::ios::binary | std::ios::app) << octets;
}

// Un moteur et ses sorties : l'extrait, les arbres, et le journal final tout coché.
struct Banc {
    DossierTemporaire programme;
    vek::Moteur module{test::Reglages(programme.Chemin())};
    ProgressionNotee progression;
    Issue<ResultatRecherche> Chercher(const std::string& chemin) {
        return test::Chercher(module, chemin, {2001, 12, 24}, {2001, 12, 25}, progression);
    }
    std::string Extrait() { return LireTout(programme.Fichier("LogVEKtemp.txt")); }
    std::string LogFinal() {
        ArbresCoches arbres;
        arbres.Remplir(module.CatalogueCourant());
        ArbresCoches::ToutCocher(arbres.channels);
        ArbresCoches::ToutCocher(arbres.noms);
        test::ReglagesEcriture ecriture;
        ecriture.jour = Date{2001, 12, 31};
        const auto r = test::EcrireLogFinal(module, arbres.Capturer(), ModesPartages{}, progression,
                                            {}, ecriture);
        EXPECT_TRUE(r.ok());
        return LireTout(programme.Fichier("LogFinal.txt"));
    }
};

struct CasSuite {
    const char* nom;
    // Change le journal après la première recherche.
    std::function<void(const std::string& chemin, const DossierTemporaire& d)> changer;
    bool suite; // la deuxième recherche ne lit que la suite
};

class SuiteDuJournal : public ::testing::TestWithParam<CasSuite> {};

TEST_P(SuiteDuJournal, MemesSortiesQuUneRechercheComplete) {
    const CasSuite& cas = GetParam();
    DossierTemporaire donnees;
    const std::string chemin = donnees.Ecrire("Chat.TXT", Lignes(1, 300));
    Banc continu;
    ASSERT_TRUE(continu.Chercher(chemin).ok());
    cas.changer(chemin, donnees);
    const auto r = continu.Chercher(chemin);
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_EQ(r->suite, cas.suite);
    EXPECT_EQ(r->avisComplet.empty(), cas.suite) << r->avisComplet;

    Banc complet;
    const auto attendu = complet.Chercher(chemin);
    ASSERT_TRUE(attendu.ok());
    EXPECT_FALSE(attendu->suite);
    EXPECT_EQ(continu.Extrait(), complet.Extrait());
    EXPECT_EQ(vek::test::Channels(continu.module.CatalogueCourant()),
              vek::test::Channels(complet.module.CatalogueCourant()));
    EXPECT_EQ(vek::test::Noms(continu.module.CatalogueCourant()),
              vek::test::Noms(complet.module.CatalogueCourant()));
    EXPECT_EQ(r->lignesLues, attendu->lignesLues);
    EXPECT_EQ(r->lignesRetenues, attendu->lignesRetenues);
    EXPECT_EQ(r->lignesDatees, attendu->lignesDatees);
    EXPECT_EQ(continu.LogFinal(), complet.LogFinal());

    // Et encore une suite après la première : les rangs du catalogue continuent. Un journal qui
    // finissait par une ligne sans fin de ligne la voit prolongée : cette ligne seule est relue,
    // en entier, et remplacée dans l'extrait.
    const bool finiParUneFinDeLigne = LireTout(chemin).back() == '\n';
    Ajouter(chemin, Lignes(900, 1000));
    const auto encore = continu.Chercher(chemin);
    ASSERT_TRUE(encore.ok());
    EXPECT_TRUE(encore->suite) << encore->avisComplet;
    EXPECT_EQ(encore->derniereRelue, !finiParUneFinDeLigne);
    Banc complet2;
    ASSERT_TRUE(complet2.Chercher(chemin).ok());
    EXPECT_EQ(continu.Extrait(), complet2.Extrait());
    EXPECT_EQ(vek::test::Noms(continu.module.CatalogueCourant()),
              vek::test::Noms(complet2.module.CatalogueCourant()));
    EXPECT_EQ(continu.LogFinal(), complet2.LogFinal());
}

INSTANTIATE_TEST_SUITE_P(
    Recherche, SuiteDuJournal,
    ::testing::Values(
        CasSuite{
            "simple_ajout",
            [](const std::string& c, const DossierTemporaire&) { Ajouter(c, Lignes(301, 700)); },
            true},
        CasSuite{"cr_lf_coupe_entre_deux_recherches",
                 [](const std::string& c, const DossierTemporaire&) {
                     std::filesystem::resize_file(c, std::filesystem::file_size(c) - 1);
                     Ajouter(c, "\n" + Lignes(301, 400));
                 },
                 true},
        CasSuite{"rien_d_ajoute", [](const std::string&, const DossierTemporaire&) {}, true},
        CasSuite{"ajout_qui_reecrit_les_10_derniers_octets",
                 [](const std::string& c, const DossierTemporaire&) {
                     std::filesystem::resize_file(c, std::filesystem::file_size(c) - 10);
                     Ajouter(c, "XXXXXXXX\r\n" + Lignes(301, 700));
                 },
                 false},
        CasSuite{"tronque",
                 [](const std::string& c, const DossierTemporaire&) {
                     std::filesystem::resize_file(c, std::filesystem::file_size(c) / 2);
                 },
                 false},
        CasSuite{"remplace_par_renommage",
                 [](const std::string& c, const DossierTemporaire& d) {
                     std::filesystem::rename(d.Ecrire("neuf.TXT", Lignes(1, 700)), c);
                 },
                 false},
        CasSuite{"remplace_sur_place_par_un_fichier_plus_long",
                 [](const std::string& c, const DossierTemporaire&) {
                     std::ofstream(c, std::ios::binary | std::ios::trunc) << Lignes(5, 800);
                 },
                 false}),
    [](const auto& essai) { return std::string(essai.param.nom); });

// Une autre période, plus tôt ou coupant ce qui a été lu, fait tout relire, et le dit.
TEST(SuiteDuJournalPeriode, UneAutrePeriodeFaitToutRelire) {
    DossierTemporaire donnees;
    const std::string chemin = donnees.Ecrire("Chat.TXT", Lignes(1, 300));
    Banc m;
    ASSERT_TRUE(m.Chercher(chemin).ok());
    Ajouter(chemin, Lignes(301, 350));
    const auto autre =
        test::Chercher(m.module, chemin, {2001, 12, 24}, {2001, 12, 24}, m.progression);
    ASSERT_TRUE(autre.ok());
    EXPECT_FALSE(autre->suite);
    EXPECT_NE(autre->avisComplet.find("période"), std::string::npos) << autre->avisComplet;
    // La fin plus tardive d'une période où le journal allait déjà au-delà : tout relu aussi.
    const auto plusTard =
        test::Chercher(m.module, chemin, {2001, 12, 24}, {2001, 12, 27}, m.progression);
    ASSERT_TRUE(plusTard.ok());
    EXPECT_FALSE(plusTard->suite);
}

// Le regard du suivi : une case « tout » retient les nœuds du catalogue du moment, sauf ceux que
// l'appelant montre déjà, qui suivent leur coche (la fenêtre où l'on a décoché Bertrand, case
// « Sélectionnez tout le monde » cochée, ne le voit pas revenir ; le nouveau venu, si).
TEST(SelectionDuRegard, UneCaseToutNAjouteQueLesNoeudsInconnus) {
    Catalogue c;
    for (const char* channel : {"[Commerce]", "[Guilde]", "[Aide]"})
        c.AjouterChannel(channel);
    for (const char* nom : {"Aldric", "Bertrand", "Cyprien"})
        c.AjouterNom(nom);
    struct Cas {
        const char* nom;
        bool tout;
        std::unordered_set<std::string> connus;
        std::vector<bool> retenus; // Aldric, Bertrand, Cyprien
    };
    const std::vector<Cas> cas = {
        {"sans case", false, {"Aldric", "Bertrand"}, {true, false, false}},
        {"case, rien de connu (la ligne de commande)", true, {}, {true, true, true}},
        {"case, Bertrand connu et décoché", true, {"Aldric", "Bertrand"}, {true, false, true}},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.nom);
        SelectionSuivie s;
        s.selection.AjouterChannel("[Guilde]");
        s.selection.AjouterNom("Aldric");
        s.toutLeMonde = k.tout;
        s.tousChannels = k.tout;
        s.nomsConnus = k.connus;
        if (!k.connus.empty())
            s.channelsConnus = {"[Guilde]", "[Commerce]"};
        const Selection r = SelectionDuRegard(s, c);
        EXPECT_EQ(r.NomRetenu("Aldric"), k.retenus[0]);
        EXPECT_EQ(r.NomRetenu("Bertrand"), k.retenus[1]);
        EXPECT_EQ(r.NomRetenu("Cyprien"), k.retenus[2]);
        EXPECT_TRUE(r.ChannelRetenu("[Guilde]"));
        EXPECT_EQ(r.ChannelRetenu("[Commerce]"), k.tout && k.connus.empty());
        EXPECT_EQ(r.ChannelRetenu("[Aide]"), k.tout);
    }
}

} // namespace
