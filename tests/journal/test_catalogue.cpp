#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "Ligne.h"

using namespace vek;

namespace {

std::vector<std::string> ChannelsDe(const Catalogue& c) {
    const auto noeuds = NoeudsChannels(c); // « Zone de proximité » d'abord
    return {noeuds.begin() + 1, noeuds.end()};
}
std::vector<std::string> NomsDe(const Catalogue& c) {
    const auto noeuds = NoeudsNoms(c);
    return {noeuds.begin(), noeuds.end()};
}

TEST(Catalogue, ChannelsFusionnesSansEgardALaCasseDansLOrdreDApparition) {
    Catalogue c;
    for (const char* tag :
         {"[Commerce]", "[COMMERCE]", "[commerce]", "[Guilde]", "[\xC9t\xE9]", "[\xE9T\xC9]",
          "[\x8C"
          "uvre]",
          "[\x9C"
          "UVRE]",
          "[Stra\xDF"
          "e]",
          "[STRASSE]"})
        c.AjouterChannel(tag);
    EXPECT_EQ(ChannelsDe(c), (std::vector<std::string>{"[Commerce]", "[Guilde]", "[\xC9t\xE9]",
                                                       "[\x8C"
                                                       "uvre]",
                                                       "[Stra\xDF"
                                                       "e]",
                                                       "[STRASSE]"}));
    c.AjouterChannel(""); // un tag vide n'est jamais une entrée
    EXPECT_EQ(c.NombreChannels(), 6u);
}

TEST(Catalogue, NomsExactsEtVideJamaisEnregistre) {
    Catalogue c;
    for (const char* nom : {"Aldric", "aldric", "", "Aldric", "Aldric ", " Vos Whisps re\xE7us"})
        c.AjouterNom(nom);
    EXPECT_EQ(NomsDe(c),
              (std::vector<std::string>{"Aldric", "aldric", "Aldric ", " Vos Whisps re\xE7us"}));
}

TEST(Catalogue, LimitesDeCentChannelsEtCinqMilleNoms) {
    Catalogue c;
    for (int i = 0; i < 120; ++i)
        c.AjouterChannel("[C" + std::to_string(i) + "]");
    EXPECT_EQ(c.NombreChannels(), 100u);
    EXPECT_EQ(c.Channel(99), "[C99]");
    EXPECT_TRUE(c.LimiteChannelsAtteinte);
    c.AjouterChannel("[c5]"); // déjà là : pas un dépassement de plus, rien ne change
    EXPECT_EQ(c.NombreChannels(), 100u);

    for (int i = 0; i < 5003; ++i)
        c.AjouterNom("N" + std::to_string(i));
    EXPECT_EQ(c.NombreNoms(), 5000u);
    EXPECT_EQ(c.Nom(4999), "N4999");
    EXPECT_TRUE(c.LimiteNomsAtteinte);

    c.Reinitialiser();
    EXPECT_EQ(c.NombreChannels(), 0u);
    EXPECT_EQ(c.NombreNoms(), 0u);
    EXPECT_FALSE(c.LimiteChannelsAtteinte);
    c.AjouterChannel("[C0]");
    EXPECT_EQ(c.NombreChannels(), 1u); // l'ancien contenu ne compte plus
}

// Des lignes réparties en morceaux entre plusieurs catalogues partiels (chaque partiel les
// reçoit dans l'ordre du fichier, comme les fils de la recherche), puis fusionnées : même
// catalogue que toutes les lignes cataloguées d'un seul tenant, limites comprises.
TEST(Catalogue, FusionDePartielsCommeUnSeulTenant) {
    struct Cas {
        int lignes, channels, noms;
    };
    for (const Cas& cas : {Cas{2000, 12, 50}, Cas{6000, 160, 300}, Cas{20000, 20, 9000}}) {
        std::uint32_t graine = static_cast<std::uint32_t>(cas.lignes);
        const auto tirer = [&](std::uint32_t n) {
            graine = graine * 1103515245u + 12345u;
            return (graine >> 8) % n;
        };
        std::vector<std::string> lignes;
        for (int i = 0; i < cas.lignes; ++i) {
            std::string tag =
                "[C" + std::to_string(tirer(static_cast<std::uint32_t>(cas.channels))) + "a]";
            if (tirer(10) == 0)
                tag[tag.size() - 2] = 'A'; // la même, dans une autre casse
            const std::string nom =
                "N" + std::to_string(tirer(static_cast<std::uint32_t>(cas.noms)));
            const std::string corps[] = {tag + " \"" + nom + "\": x", "{" + nom + "}\":\"x",
                                         "Vous avez dit : x", nom + " vous appelle",
                                         tag + " \"\": vide"};
            lignes.push_back("12/24/2001 14:03:27 - " + corps[tirer(5)]);
        }
        Catalogue entier;
        for (const auto& l : lignes)
            entier.Cataloguer(l);
        for (const std::size_t nbPartiels : {1u, 2u, 3u}) {
            std::vector<Catalogue> partiels(nbPartiels);
            for (std::size_t debut = 0; debut < lignes.size();) {
                const std::size_t fin = std::min(lignes.size(), debut + 1 + tirer(300));
                Catalogue& partiel = partiels[tirer(static_cast<std::uint32_t>(nbPartiels))];
                for (std::size_t i = debut; i < fin; ++i)
                    partiel.Cataloguer(lignes[i], i);
                debut = fin;
            }
            const Catalogue fusion = Catalogue::Fusionner(partiels);
            EXPECT_EQ(ChannelsDe(fusion), ChannelsDe(entier)) << cas.lignes << " " << nbPartiels;
            EXPECT_EQ(NomsDe(fusion), NomsDe(entier)) << cas.lignes << " " << nbPartiels;
            EXPECT_EQ(fusion.LimiteChannelsAtteinte, entier.LimiteChannelsAtteinte);
            EXPECT_EQ(fusion.LimiteNomsAtteinte, entier.LimiteNomsAtteinte);
        }
        EXPECT_EQ(entier.LimiteChannelsAtteinte, cas.channels > 100);
        EXPECT_EQ(entier.LimiteNomsAtteinte, cas.noms > 5000);
    }
}

TEST(Catalogue, ExtractionDepuisDesLignesEntieres) {
    Catalogue c;
    const std::string p = "12/24/2001 14:03:27 - ";
    for (const std::string corps :
         {"[Commerce] \"Aldric\": a", "[Commerce] \"Aldric\": b", "Vous avez dit : c",
          "{Bertrand}\":\"d", "[Guilde] \"\":vide", "n'importe quoi", "[COMMERCE] \"Cyne\": e"}) {
        c.Cataloguer(p + corps);
    }
    c.Cataloguer("12/24/2001 court"); // corps vide : chuchotement pour le catalogue
    EXPECT_EQ(ChannelsDe(c), (std::vector<std::string>{"[Commerce]", "[Guilde]"}));
    EXPECT_EQ(NomsDe(c), (std::vector<std::string>{"Aldric", std::string(NomVous), "Bertrand",
                                                   std::string(NomWhisps), "Cyne"}));

    Catalogue d;
    for (const std::string corps : {"[Commerce] \"Aldric\": a", "Vous avez dit : c", "x"})
        d.Cataloguer(p + corps);
    EXPECT_EQ(NomsDe(d),
              (std::vector<std::string>{"Aldric", std::string(NomVous), std::string(NomWhisps)}));
}

} // namespace
