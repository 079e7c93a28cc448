#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "DossierTemporaire.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "SystemeDeTest.h"

using namespace vek;
using vek::test::Channels;
using vek::test::DossierTemporaire;
using vek::test::LireTout;
using vek::test::Noms;
using vek::test::ProgressionNotee;

namespace {

std::string L(std::string_view dateMoisDabord, std::string_view corps) {
    return std::string(dateMoisDabord) + " 14:03:27 - " + std::string(corps);
}

class Recherche : public ::testing::Test {
protected:
    DossierTemporaire programme; // le dossier du programme
    DossierTemporaire donnees;   // où vit le journal
    Moteur module{test::Reglages(programme.Chemin())};
    ProgressionNotee progression;
    std::stop_source arret;
    std::string chemin;

    void Journal(const std::string& contenu) {
        chemin = "  " + donnees.Ecrire("Chat.TXT", contenu) + " "; // rogné par la recherche
    }
    Issue<ResultatRecherche> Chercher(Date debut, Date fin) {
        return test::Chercher(module, chemin, debut, fin, progression, arret.get_token());
    }
    std::string Extrait() { return LireTout(programme.Fichier("LogVEKtemp.txt")); }
    // Les arbres que la fenêtre bâtirait du dernier catalogue.
    std::vector<std::string> ArbreChannels() const { return Channels(module.CatalogueCourant()); }
    std::vector<std::string> ArbreNoms() const { return Noms(module.CatalogueCourant()); }
};

TEST_F(Recherche, TroisLignesDansLaPeriodeProgressionEtCompteur) {
    const std::string a = L("12/24/2001", "[Commerce] \"Aldric\": a");
    const std::string b = L("12/25/2001", "{Bertrand}\":\"b");
    const std::string c = L("12/26/2001", "Vous avez dit : c");
    Journal(a + "\r\n" + b + "\n" + c);
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 26}).ok());
    // Barre de 0 à lignes + 1, rendue à 0 à la fin ; compteur des lignes lues.
    EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{4});
    EXPECT_LE(progression.valeurMax, 3);
    EXPECT_EQ(progression.valeur, 0);
    EXPECT_EQ(progression.compteur, 3u);
    EXPECT_EQ(Extrait(), a + "\r\n" + b + "\r\n" + c + "\r\n");
    EXPECT_EQ(ArbreChannels(),
              (std::vector<std::string>{std::string(TexteZoneProximite), "[Commerce]"}));
    EXPECT_EQ(ArbreNoms(), (std::vector<std::string>{"Aldric", "Bertrand", std::string(NomVous)}));
}

TEST_F(Recherche, BornesInclusesLignesNonDateesEtDesordre) {
    const std::vector<std::string> lignes = {
        L("12/23/2001", "{Avant}\":\"x"),   // la veille
        L("12/24/2001", "{Debut}\":\"x  "), // premier jour, espaces en fin gardés
        "pas de date ici mais une ligne longue de plus de vingt-deux caracteres",
        L("12/28/2001", "{Apres}\":\"x"),    // le lendemain de la fin
        L("12/27/2001", "{Fin}\":\"x"),      // dernier jour, après une ligne hors période
        L("02/30/2001", "{Invalide}\":\"x"), // date impossible : non datée
        "1/2/2001 14:03:27 - {Court}\":\"x", // mois à un chiffre : non datée
        L("12/25/2001", "{Milieu}\":\"x"),
        "",
    };
    std::string contenu;
    for (const auto& l : lignes)
        contenu += l + "\r\n";
    Journal(contenu);
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 27}).ok());
    EXPECT_EQ(Extrait(), lignes[1] + "\r\n" + lignes[4] + "\r\n" + lignes[7] + "\r\n");
    EXPECT_EQ(ArbreNoms(), (std::vector<std::string>{"Debut", "Fin", "Milieu"}));
    EXPECT_EQ(progression.compteur, 9u); // toutes les lignes sont comptées
}

TEST_F(Recherche, MemeJourEtPeriodeVideOuInversee) {
    Journal(L("12/24/2001", "{A}\":\"x") + "\r\n" + L("12/25/2001", "{B}\":\"x") + "\r\n");
    ASSERT_TRUE(Chercher({2001, 12, 25}, {2001, 12, 25}).ok());
    EXPECT_EQ(ArbreNoms(), std::vector<std::string>{"B"});

    ASSERT_TRUE(Chercher({2001, 12, 26}, {2001, 12, 24}).ok()); // début après la fin
    EXPECT_EQ(Extrait(), "");
    EXPECT_TRUE(std::filesystem::exists(programme.Fichier("LogVEKtemp.txt")));
    EXPECT_EQ(ArbreChannels(), std::vector<std::string>{std::string(TexteZoneProximite)});
    EXPECT_TRUE(ArbreNoms().empty());
}

TEST_F(Recherche, DeuxRecherchesDeSuiteNeGardentQueLaSeconde) {
    Journal(L("12/24/2001", "[A] \"X\": 1") + "\r\n" + L("12/25/2001", "[B] \"Y\": 2") + "\r\n");
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    const auto seconde = Chercher({2001, 12, 25}, {2001, 12, 25});
    ASSERT_TRUE(seconde.ok());
    EXPECT_EQ(Extrait(), L("12/25/2001", "[B] \"Y\": 2") + "\r\n");
    EXPECT_EQ(Channels(*seconde->catalogue),
              (std::vector<std::string>{std::string(TexteZoneProximite), "[B]"}));
    EXPECT_EQ(module.CatalogueCourant().NombreChannels(), 1u);
    EXPECT_EQ(seconde->lignesLues, 2u);
    EXPECT_EQ(seconde->lignesRetenues, 1u);
    EXPECT_EQ(seconde->extrait, programme.Fichier("LogVEKtemp.txt"));
}

TEST_F(Recherche, JournalVide) {
    Journal("");
    ASSERT_TRUE(Chercher({2001, 1, 1}, {2001, 12, 31}).ok());
    EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{1});
    EXPECT_EQ(progression.compteur, 0u); // aucune ligne lue : le compteur garde sa légende
    EXPECT_EQ(Extrait(), "");
    EXPECT_EQ(ArbreChannels().size(), 1u);
}

TEST_F(Recherche, OctetsQuelconquesPassentTelsQuels) {
    // UTF-8, Windows-1252, NUL et octets de contrôle : copiés à l'identique.
    const std::string utf8 =
        L("12/24/2001", "[Comm\xC3\xA9rce] \"B\xC3\xA9reng\xC3\xA8re\": \xE2\x82\xAC");
    const std::string cp1252 = L("12/24/2001", "{C\xE9line}\":\"\x80\x9C\xFF");
    const std::string binaire = L("12/24/2001", std::string("{N\0l}\":\"\x01\x02", 11));
    Journal(utf8 + "\r\n" + cp1252 + "\r\n" + binaire + "\r\n");
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    EXPECT_EQ(Extrait(), utf8 + "\r\n" + cp1252 + "\r\n" + binaire + "\r\n");
    EXPECT_EQ(ArbreNoms(), (std::vector<std::string>{"B\xC3\xA9reng\xC3\xA8re", "C\xE9line",
                                                     std::string("N\0l", 3)}));
}

TEST_F(Recherche, TresLongueLigneSansFinDeLigne) {
    std::string longue = L("12/24/2001", "{Bavard}\":\"");
    longue += std::string(50u << 20, 'b');
    Journal(L("12/24/2001", "{A}\":\"x") + "\r\n" + longue);
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    const std::string extrait = Extrait();
    EXPECT_EQ(extrait.size(), L("12/24/2001", "{A}\":\"x").size() + 2 + longue.size() + 2);
    EXPECT_EQ(extrait.substr(extrait.size() - 4), "bb\r\n");
    EXPECT_EQ(ArbreNoms(), (std::vector<std::string>{"A", "Bavard"}));
}

TEST_F(Recherche, LignesDeZeroAVingtDeuxCaracteres) {
    std::string contenu;
    const std::string modele = "12/24/2001 14:03:27 - ";
    for (std::size_t n = 0; n <= 22; ++n)
        contenu += modele.substr(0, n) + "\r\n";
    Journal(contenu);
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    // Datées à partir de 10 caractères ; corps vide : chuchotement pour le catalogue.
    std::string attendu;
    for (std::size_t n = 10; n <= 22; ++n)
        attendu += modele.substr(0, n) + "\r\n";
    EXPECT_EQ(Extrait(), attendu);
    EXPECT_EQ(ArbreNoms(), std::vector<std::string>{std::string(NomWhisps)});
    EXPECT_EQ(ArbreChannels().size(), 1u);
}

TEST_F(Recherche, JournalIllisibleNeChangeRien) {
    Journal(L("12/24/2001", "[A] \"X\": 1") + "\r\n");
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    const std::string ancien = Extrait();
    const auto maximumsAvant = progression.maximums.size();

    chemin = donnees.Fichier("absent.txt");
    const auto issue = Chercher({2001, 12, 24}, {2001, 12, 24});
    ASSERT_FALSE(issue.ok());
    const Resultat& r = issue.Echec();
    EXPECT_EQ(r.fichier, donnees.Fichier("absent.txt"));
    EXPECT_EQ(r.raison, "fichier ou dossier introuvable");
    EXPECT_NE(r.Message().find("Impossible de lire le journal"), std::string::npos);
    EXPECT_EQ(Extrait(), ancien);
    EXPECT_EQ(module.CatalogueCourant().NombreChannels(), 1u);
    EXPECT_EQ(progression.maximums.size(), maximumsAvant);

    chemin = donnees.Chemin(); // un dossier
    EXPECT_FALSE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    EXPECT_EQ(Extrait(), ancien);
}

TEST_F(Recherche, ExtraitImpossibleAEcrireEstSignaleEtNeChangeRien) {
    Journal(L("12/24/2001", "[A] \"X\": 1") + "\r\n");
    // Le dossier du programme n'existe pas : l'extrait ne peut pas être créé (vrai aussi en root).
    Moteur ailleurs{test::Reglages(programme.Fichier("absent"))};
    const auto issue =
        test::Chercher(ailleurs, chemin, {2001, 12, 24}, {2001, 12, 24}, progression);
    ASSERT_FALSE(issue.ok());
    const Resultat& r = issue.Echec();
    EXPECT_EQ(r.fichier, programme.Fichier("absent"));
    EXPECT_EQ(r.raison, "« LogVEK.verrou » ne s'ouvre pas : fichier ou dossier introuvable");
    EXPECT_NE(r.Message().find("dossier de sortie"), std::string::npos);
    EXPECT_EQ(ailleurs.CatalogueCourant().NombreChannels(), 0u); // catalogue intact

#ifndef _WIN32 // un dossier en lecture seule n'arrête ni root, ni personne sous Windows
    if (!test::Administrateur()) {
        ::chmod(programme.Chemin().c_str(), 0555);
        EXPECT_FALSE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
        ::chmod(programme.Chemin().c_str(), 0755);
    }
#endif
}

TEST_F(Recherche, AncienExtraitEnLectureSeuleRemplace) {
    const auto ancien = programme.Ecrire("LogVEKtemp.txt", "vieux\r\n");
    test::LectureSeule(ancien);
    Journal(L("12/24/2001", "{A}\":\"x") + "\r\n");
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    EXPECT_EQ(Extrait(), L("12/24/2001", "{A}\":\"x") + "\r\n");
}

// Une passe interrompue ne touche à rien : l'extrait précédent reste tel quel (le nouveau
// s'écrivait à part), aucun temporaire ne reste, et le catalogue n'a pas bougé. La passe
// s'arrête à la ligne qui suit la demande.
TEST_F(Recherche, InterruptionArreteLaPasseEtGardeLAncienExtrait) {
    const auto ancien = programme.Ecrire("LogVEKtemp.txt", "vieux\r\n");
    std::string contenu;
    for (int i = 0; i < 100; ++i)
        contenu += L("12/24/2001", "{A}\":\"x") + "\r\n";
    Journal(contenu);
    progression.surLigne = [this](std::uint64_t lignes) {
        if (lignes == 10)
            arret.request_stop();
    };
    const auto issue = Chercher({2001, 12, 24}, {2001, 12, 24});
    ASSERT_FALSE(issue.ok());
    EXPECT_TRUE(issue.Echec().interrompu);
    EXPECT_EQ(progression.compteur, 10u);
    EXPECT_EQ(test::LireTout(ancien), "vieux\r\n");
    EXPECT_EQ(module.CatalogueCourant().NombreNoms(), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(programme.Chemin()), {}), 1);
}

// Le journal choisi est une sortie du programme (l'extrait, le journal final, ou un lien vers
// l'un d'eux) : la recherche refuse avant d'écrire quoi que ce soit, et le journal reste entier.
TEST_F(Recherche, LeJournalNEstJamaisUneSortie) {
    const std::string contenu = L("12/24/2001", "{A}\":\"x") + "\n" + L("12/25/2001", "{B}\":\"y");
    const std::string extrait = programme.Ecrire("LogVEKtemp.txt", contenu);
    const std::string final = programme.Ecrire("LogFinal.txt", contenu);
    std::vector<std::string> journaux{extrait, final};
#ifndef _WIN32 // les liens symboliques demandent des droits d'administrateur sous Windows
    journaux.push_back(donnees.Fichier("lien.txt"));
    std::filesystem::create_symlink(final, journaux.back());
#endif
    for (const std::string& journal : journaux) {
        SCOPED_TRACE(journal);
        chemin = journal;
        const auto issue = Chercher({2001, 12, 24}, {2001, 12, 25});
        ASSERT_FALSE(issue.ok());
        EXPECT_NE(issue.Echec().Message().find("fichier de sortie"), std::string::npos);
        EXPECT_EQ(LireTout(extrait), contenu);
        EXPECT_EQ(LireTout(final), contenu);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(programme.Chemin()), {}), 2);
}

// Un extrait qui porte aussi un autre nom (lien physique) n'est pas réécrit sur place : l'autre
// nom garde l'ancien contenu.
TEST_F(Recherche, ExtraitLieAUnAutreNomRemplaceSansLeToucher) {
    const auto ancien = programme.Ecrire("LogVEKtemp.txt", "vieux\r\n");
    const auto copie = donnees.Fichier("copie.txt");
    std::filesystem::create_hard_link(ancien, copie);
    Journal(L("12/24/2001", "{A}\":\"x") + "\r\n");
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    EXPECT_EQ(Extrait(), L("12/24/2001", "{A}\":\"x") + "\r\n");
    EXPECT_EQ(LireTout(copie), "vieux\r\n");
}

// Le comptage en parallèle (forcé ici pour un petit journal) ne change ni l'extrait ni le
// catalogue ; la barre reçoit au plus un maximum, le bon, et jamais de valeur au-delà.
// Sans barre visible, rien n'est compté et la barre n'est pas touchée pendant la passe.
TEST_F(Recherche, ComptageEnParalleleOuAbsentMemeResultat) {
    std::string contenu;
    for (int i = 0; i < 5000; ++i)
        contenu += L(i % 3 ? "12/24/2001" : "12/23/2001",
                     "[C" + std::to_string(i % 7) + "] \"N" + std::to_string(i % 11) + "\": x") +
                   "\r\n";
    Journal(contenu);
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    const std::string reference = Extrait();
    const auto channels = ArbreChannels();
    const auto noms = ArbreNoms();

    for (const bool affichee : {true, false}) {
        ProgressionNotee p;
        p.affichee = affichee;
        ReglagesMoteur reglages = test::Reglages(programme.Chemin());
        reglages.seuilComptageEnParallele = 0;
        Moteur m{reglages};
        const auto issue = test::Chercher(m, chemin, {2001, 12, 24}, {2001, 12, 24}, p);
        ASSERT_TRUE(issue.ok());
        EXPECT_EQ(Extrait(), reference);
        EXPECT_EQ(Channels(*issue->catalogue), channels);
        EXPECT_EQ(Noms(*issue->catalogue), noms);
        EXPECT_EQ(p.compteur, 5000.0);
        if (!affichee) {
            EXPECT_TRUE(p.maximums.empty());
            EXPECT_EQ(p.valeurMax, 0.0); // seulement la remise à zéro
            continue;
        }
        ASSERT_LE(p.maximums.size(), 1u);
        if (!p.maximums.empty()) {
            EXPECT_EQ(p.maximums[0], 5001.0);
        }
        EXPECT_LE(p.valeurMax, 5000.0);
    }
}

TEST_F(Recherche, LimitesDuCatalogueAtteintes) {
    std::string contenu;
    for (int i = 0; i < 103; ++i)
        contenu +=
            L("12/24/2001", "[C" + std::to_string(i) + "] \"N" + std::to_string(i) + "\": x") +
            "\r\n";
    Journal(contenu);
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    EXPECT_EQ(ArbreChannels().size(), 101u); // la proximité et 100 channels
    EXPECT_TRUE(module.CatalogueCourant().LimiteChannelsAtteinte);
    EXPECT_EQ(ArbreNoms().size(), 103u);
    EXPECT_EQ(Extrait().size(), contenu.size()); // les lignes, elles, sont toutes copiées
}

} // namespace

namespace {

// Les comptes de lignes gardés d'une passe à l'autre ne servent que pour un fichier inchangé :
// un journal qui grandit après l'analyse, ou un extrait modifié après la recherche, est recompté.
TEST_F(Recherche, ComptesDeLignesReprisSeulementPourUnFichierInchange) {
    const std::string a = L("12/24/2001", "{A}\":\"x");
    Journal(a + "\r\n" + a + "\r\n");
    const std::string journal = donnees.Fichier("Chat.TXT");
    ASSERT_TRUE(module.Analyser({journal}, progression).ok());
    chemin = journal;

    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    EXPECT_EQ(progression.maximums.back(), 3.0); // repris de l'analyse

    std::ofstream(journal, std::ios::binary | std::ios::app) << a << "\r\n";
    ASSERT_TRUE(Chercher({2001, 12, 24}, {2001, 12, 24}).ok());
    EXPECT_EQ(progression.maximums.back(), 4.0); // le journal a grandi : recompté
    EXPECT_EQ(progression.compteur, 3u);

    Selection selection;
    selection.AjouterChannel(TexteZoneProximite);
    selection.AjouterNom("A");
    const ModesPartages modes;
    ASSERT_TRUE(test::EcrireLogFinal(module, selection, modes, progression).ok());
    EXPECT_EQ(progression.maximums.back(), 4.0); // les trois lignes de l'extrait, plus un

    std::ofstream(programme.Fichier("LogVEKtemp.txt"), std::ios::binary | std::ios::app)
        << a << "\r\n"
        << a << "\r\n";
    // Réécrit par un autre depuis la recherche : le catalogue ne lui correspond plus.
    const auto change = test::EcrireLogFinal(module, selection, modes, progression);
    ASSERT_FALSE(change.ok());
    EXPECT_NE(change.Echec().Message().find("relancez la recherche"), std::string::npos);
}

} // namespace
