// Générateur de journaux : forme des lignes, déterminisme, paramètres, journal d'exemple.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "DossierTemporaire.h"
#include "Extraire.h"
#include "GenerateurJournal.h"
#include "Ligne.h"

namespace {

using vek::ParametresJournal;

std::vector<std::string> LignesCrLf(const std::string& texte) {
    std::vector<std::string> lignes;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        const auto fin = texte.find("\r\n", debut);
        EXPECT_NE(fin, std::string::npos) << "dernière ligne sans CR LF";
        if (fin == std::string::npos)
            break;
        lignes.push_back(texte.substr(debut, fin - debut));
        debut = fin + 2;
    }
    return lignes;
}

ParametresJournal Parametres(std::uint64_t lignes, int locuteurs, int channels,
                             std::uint64_t graine) {
    ParametresJournal p;
    p.lignes = lignes;
    p.locuteurs = locuteurs;
    p.channels = channels;
    p.graine = graine;
    p.debut = {2001, 12, 30};
    p.fin = {2002, 1, 2}; // à cheval sur deux années
    return p;
}

TEST(Generateur, FormeDesLignes) {
    const std::string texte = vek::JournalEnTexte(Parametres(5000, 40, 8, 7));
    const auto lignes = LignesCrLf(texte);
    ASSERT_EQ(lignes.size(), 5000u);
    for (const auto& l : lignes) {
        ASSERT_EQ(l.find_first_of("\r\n"), std::string::npos); // pas de CR ni de LF isolé
    }
    ASSERT_TRUE(vek::DateDeLigne(lignes.front()));
    ASSERT_TRUE(vek::DateDeLigne(lignes.back()));

    std::size_t datees = 0;
    std::size_t channel = 0, proximite = 0, vous = 0, chuchote = 0, autres = 0;
    vek::Date precedente = *vek::DateDeLigne(lignes.front());
    std::string tampon;
    for (const auto& l : lignes) {
        const auto date = vek::DateDeLigne(l);
        if (!date)
            continue;
        ++datees;
        // « MM/JJ/AAAA HH:MM:SS - » puis le corps au 23e caractère.
        ASSERT_GT(l.size(), 22u) << l;
        EXPECT_EQ(l.substr(10, 1), " ") << l;
        EXPECT_EQ(l[13], ':') << l;
        EXPECT_EQ(l[16], ':') << l;
        EXPECT_EQ(l.substr(19, 3), " - ") << l;
        EXPECT_NE(l[22], ' ') << l;
        EXPECT_EQ(vek::CorpsDeLigne(l), std::string_view(l).substr(22));
        EXPECT_GE(*date, (vek::Date{2001, 12, 30})) << l;
        EXPECT_LE(*date, (vek::Date{2002, 1, 2})) << l;
        EXPECT_GE(*date, precedente) << l; // dans l'ordre du temps
        precedente = *date;
        const auto e = vek::AnalyserCorps(vek::CorpsDeLigne(l), tampon);
        switch (e.genre) {
        case vek::GenreCorps::Channel:
            ++channel;
            EXPECT_FALSE(e.nom.empty()) << l;
            break;
        case vek::GenreCorps::Proximite:
            ++proximite;
            EXPECT_FALSE(e.nom.empty()) << l;
            break;
        case vek::GenreCorps::Vous:
            ++vous;
            break;
        case vek::GenreCorps::Autre:
            (vek::ContientVousAppelle(l) ? chuchote : autres)++;
            break;
        }
    }
    EXPECT_EQ(precedente, (vek::Date{2002, 1, 2}));
    // Tous les genres, et des lignes non datées.
    EXPECT_LT(datees, lignes.size());
    EXPECT_GT(channel, 2000u);
    EXPECT_GT(proximite, 800u);
    EXPECT_GT(vous, 150u);
    EXPECT_GT(chuchote, 150u);
    EXPECT_GT(autres, 150u);
    // Windows-1252, pas UTF-8 : « é » est l'octet E9, « œ » l'octet 9C.
    EXPECT_NE(texte.find('\xE9'), std::string::npos);
    EXPECT_NE(texte.find('\x9C'), std::string::npos);
    EXPECT_EQ(texte.find("\xC3\xA9"), std::string::npos);
}

TEST(Generateur, DeterministeSelonLaGraine) {
    const auto a = vek::JournalEnTexte(Parametres(800, 20, 5, 42));
    EXPECT_EQ(a, vek::JournalEnTexte(Parametres(800, 20, 5, 42)));
    EXPECT_NE(a, vek::JournalEnTexte(Parametres(800, 20, 5, 43)));
    // Le fichier écrit par morceaux est le même que le texte en mémoire.
    vek::test::DossierTemporaire dossier;
    const std::string chemin = dossier.Fichier("j.txt");
    std::FILE* f = std::fopen(chemin.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const auto grand = Parametres(30000, 20, 5, 42);
    EXPECT_TRUE(vek::EcrireJournal(grand, f));
    std::fclose(f);
    EXPECT_EQ(vek::test::LireTout(chemin), vek::JournalEnTexte(grand));
}

TEST(Generateur, NombreDeLocuteursEtDeChannels) {
    struct Cas {
        int locuteurs;
        int channels;
    };
    for (const Cas c : {Cas{3, 1}, Cas{45, 12}, Cas{700, 33}}) {
        vek::test::DossierTemporaire dossier;
        const std::string chemin = dossier.Ecrire(
            "j.txt", vek::JournalEnTexte(Parametres(60000, c.locuteurs, c.channels, 5)));
        std::ostringstream out;
        std::ostringstream err;
        ASSERT_EQ(vek::ExecuterExtraire(
                      {"--catalogue", "-q", "--dossier", dossier.Chemin(), chemin}, out, err),
                  vek::SortieSucces)
            << err.str();
        std::size_t canaux = 0;
        std::set<std::string> noms;
        std::istringstream lignes(out.str());
        for (std::string l; std::getline(lignes, l);) {
            if (l.rfind("canal\t", 0) == 0)
                ++canaux;
            else
                noms.insert(l);
        }
        // Plus « Zone de proximité » ; plus « Vous » et « Vos Whisps reçus ».
        EXPECT_EQ(canaux, static_cast<std::size_t>(c.channels) + 1) << c.channels;
        EXPECT_EQ(noms.size(), static_cast<std::size_t>(c.locuteurs) + 2) << c.locuteurs;
    }
}

TEST(Generateur, NomsDistinctsEtAccentues) {
    std::set<std::string> noms;
    for (int i = 0; i < 5000; ++i)
        noms.insert(vek::NomLocuteur(i));
    EXPECT_GT(noms.size(), 4500u); // quelques répétitions, sautées par le générateur
    EXPECT_EQ(vek::NomLocuteur(1), "B\xE9reng\xE8re");
    EXPECT_EQ(vek::TagChannel(0), "[Commerce]");
    EXPECT_EQ(vek::TagChannel(40), "[Canal 41]");
}

TEST(Generateur, LeJournalDExempleEstCeluiDuGenerateur) {
    // La commande de régénération est dans le commentaire de tête de vek-generer.
    ParametresJournal p;
    p.lignes = 200;
    p.locuteurs = 12;
    p.channels = 4;
    p.graine = 2001;
    p.debut = {2001, 12, 24};
    p.fin = {2001, 12, 27};
    const std::string exemple =
        vek::test::LireTout(std::string(VEK_DOSSIER_EXEMPLES) + "/journal-exemple.txt");
    EXPECT_EQ(exemple, vek::JournalEnTexte(p));
}

} // namespace
