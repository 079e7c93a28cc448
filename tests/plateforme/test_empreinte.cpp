// L'empreinte du contenu d'une sortie : les valeurs de xxHash64, quelle que soit la découpe des
// octets ; un fichier ou un dossier copié garde la sienne, le moindre changement la change.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "DossierTemporaire.h"
#include "Ecriture.h"
#include "Empreinte.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

std::string Octets(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s.push_back(static_cast<char>(i & 0xFF));
    return s;
}

// Les valeurs de référence de xxHash64 (graine 0), données entières ou par morceaux de toutes
// tailles (le reste d'un bloc de 32 octets porté d'un morceau au suivant).
TEST(Empreinte, ValeursDeXxHash64QuelleQueSoitLaDecoupe) {
    struct Cas {
        std::string octets;
        std::uint64_t attendue;
    };
    const Cas cas[] = {
        {"", 0xEF46DB3751D8E999ULL},
        {"a", 0xD24EC4F1A98C6E5BULL},
        {"abc", 0x44BC2CF5AD770999ULL},
        {"0123456789abcdef0123456789abcdef", 0x642A94958E71E6C5ULL},
        {Octets(1024) + "xyz", 0xE146CB31B65BC21AULL},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.octets.size());
        for (const std::size_t morceau : {std::size_t{1}, std::size_t{7}, std::size_t{31},
                                          std::size_t{33}, std::size_t{4096}}) {
            CalculEmpreinte calcul;
            for (std::size_t i = 0; i < c.octets.size(); i += morceau)
                calcul.Ajouter(std::string_view(c.octets).substr(i, morceau));
            EXPECT_EQ(calcul.Valeur(), c.attendue) << "morceaux de " << morceau;
            EXPECT_EQ(calcul.Taille(), c.octets.size());
        }
    }
}

// Un fichier et un dossier de pages, copiés ailleurs (nouveaux nœuds) : même contenu. Un octet
// changé, un nom de page changé, une page de plus : contenu différent.
TEST(Empreinte, UneCopieGardeSonContenuUnChangementLeChange) {
    test::DossierTemporaire d;
    const std::string texte = Octets(3u << 20) + "fin";
    d.Ecrire("LogFinal.txt", texte);
    fs::create_directories(d.Fichier("LogFinal/2001"));
    d.Ecrire("LogFinal/index.html", "sommaire");
    d.Ecrire("LogFinal/2001/12-24.html", "page");
    fs::copy(d.Fichier("LogFinal.txt"), d.Fichier("copie.txt"));
    fs::copy(d.Fichier("LogFinal"), d.Fichier("copie"), fs::copy_options::recursive);

    const auto fichier = LireContenu(d.Fichier("LogFinal.txt"));
    const auto dossier = LireContenu(d.Fichier("LogFinal"));
    ASSERT_TRUE(fichier && dossier);
    EXPECT_FALSE(fichier->dossier);
    EXPECT_EQ(fichier->taille, texte.size());
    CalculEmpreinte calcul;
    calcul.Ajouter(texte);
    EXPECT_EQ(fichier->empreinte, calcul.Valeur());
    EXPECT_TRUE(dossier->dossier);
    EXPECT_EQ(dossier->taille, 12u);
    EXPECT_EQ(LireContenu(d.Fichier("copie.txt")), fichier);
    EXPECT_EQ(LireContenu(d.Fichier("copie")), dossier);

    const auto Change = [&](const char* quoi, auto&& faire, const std::string& nom,
                            const std::optional<ContenuSortie>& avant) {
        SCOPED_TRACE(quoi);
        faire();
        const auto apres = LireContenu(d.Fichier(nom));
        ASSERT_TRUE(apres);
        EXPECT_NE(apres, avant);
    };
    Change(
        "un octet au milieu du fichier",
        [&] {
            std::string t = texte;
            t[t.size() / 2] ^= 1;
            d.Ecrire("copie.txt", t);
        },
        "copie.txt", fichier);
    Change(
        "une page renommée",
        [&] { fs::rename(d.Fichier("copie/2001/12-24.html"), d.Fichier("copie/2001/12-25.html")); },
        "copie", dossier);
    fs::rename(d.Fichier("copie/2001/12-25.html"), d.Fichier("copie/2001/12-24.html"));
    EXPECT_EQ(LireContenu(d.Fichier("copie")), dossier);
    Change(
        "une page changée", [&] { d.Ecrire("copie/index.html", "sommairE"); }, "copie", dossier);
    d.Ecrire("copie/index.html", "sommaire");
    Change(
        "une page de plus", [&] { d.Ecrire("copie/2001/vide.html", ""); }, "copie", dossier);

    EXPECT_FALSE(LireContenu(d.Fichier("absent")));
#ifndef _WIN32
    fs::create_symlink(d.Fichier("LogFinal.txt"), d.Fichier("lien"));
    EXPECT_FALSE(LireContenu(d.Fichier("lien"))) << "un lien n'est jamais suivi";
#endif
}

// Le contenu d'un temporaire, calculé au fil de son écriture (petits morceaux rangés dans le
// tampon, grands écrits d'un coup), est celui que donne sa relecture.
TEST(Empreinte, CalculeeALEcritureCommeALaRelecture) {
    test::DossierTemporaire d;
    EcritureAtomique e;
    ASSERT_TRUE(e.Ouvrir(d.Fichier("LogFinal.txt")));
    for (int i = 0; i < 1000; ++i)
        e.Flux().EcrireLigne("ligne " + std::to_string(i));
    e.Flux().Ecrire(Octets(1u << 20)); // plus grand que le tampon
    e.Flux().Ecrire("fin");
    ASSERT_TRUE(e.Preparer());
    const auto calcule = e.Contenu();
    ASSERT_TRUE(calcule);
    EXPECT_EQ(calcule, LireContenu(e.Temporaire()));
    e.Abandonner();
}

} // namespace
} // namespace vek
