// Conversions Windows-1252 <-> UTF-8.

#include <gtest/gtest.h>

#include <string>

#include "Cp1252.h"

namespace {

using vek::Cp1252VersUtf8;
using vek::Utf8VersCp1252;

struct Correspondance {
    unsigned char octet;
    const char* utf8;
};

// La plage 0x80-0x9F en entier (celle où Windows-1252 diffère de Latin-1), et quelques bornes.
const Correspondance Table[] = {
    {0x00, ""}, // le caractère nul, traité à part
    {0x41, "A"},      {0x7F, "\x7F"},   {0x80, "\u20AC"}, {0x81, "\u0081"}, {0x82, "\u201A"},
    {0x83, "\u0192"}, {0x84, "\u201E"}, {0x85, "\u2026"}, {0x86, "\u2020"}, {0x87, "\u2021"},
    {0x88, "\u02C6"}, {0x89, "\u2030"}, {0x8A, "\u0160"}, {0x8B, "\u2039"}, {0x8C, "\u0152"},
    {0x8D, "\u008D"}, {0x8E, "\u017D"}, {0x8F, "\u008F"}, {0x90, "\u0090"}, {0x91, "\u2018"},
    {0x92, "\u2019"}, {0x93, "\u201C"}, {0x94, "\u201D"}, {0x95, "\u2022"}, {0x96, "\u2013"},
    {0x97, "\u2014"}, {0x98, "\u02DC"}, {0x99, "\u2122"}, {0x9A, "\u0161"}, {0x9B, "\u203A"},
    {0x9C, "\u0153"}, {0x9D, "\u009D"}, {0x9E, "\u017E"}, {0x9F, "\u0178"}, {0xA0, "\u00A0"},
    {0xC7, "\u00C7"}, {0xE9, "\u00E9"}, {0xFF, "\u00FF"},
};

TEST(Cp1252, ChaqueOctetDonneSonCaractereEtRevient) {
    for (const auto& c : Table) {
        const std::string octet(1, static_cast<char>(c.octet));
        const std::string attendu = c.octet == 0 ? std::string(1, '\0') : std::string(c.utf8);
        EXPECT_EQ(Cp1252VersUtf8(octet), attendu) << "octet 0x" << std::hex << int(c.octet);
        std::string retour;
        ASSERT_TRUE(Utf8VersCp1252(attendu, retour)) << "octet 0x" << std::hex << int(c.octet);
        EXPECT_EQ(retour, octet);
    }
}

TEST(Cp1252, AllerRetourExactSurLes256Octets) {
    std::string tous;
    for (int i = 0; i < 256; ++i)
        tous.push_back(static_cast<char>(i));
    std::string retour;
    ASSERT_TRUE(Utf8VersCp1252(Cp1252VersUtf8(tous), retour));
    EXPECT_EQ(retour, tous);
}

TEST(Cp1252, TexteAccentue) {
    EXPECT_EQ(Cp1252VersUtf8("Zone de proximit\xE9"), "Zone de proximité");
    EXPECT_EQ(Cp1252VersUtf8(" Vos Whisps re\xE7us"), " Vos Whisps reçus");
    std::string sortie;
    ASSERT_TRUE(Utf8VersCp1252("Cœlio, Bérengère à 12 €", sortie));
    EXPECT_EQ(sortie, "C\x9Clio, B\xE9reng\xE8re \xE0 12 \x80");
}

struct Refus {
    const char* nom;
    std::string texte;
    std::size_t position;
};

TEST(Cp1252, RefusDesCaracteresAbsentsEtDeLUtf8Invalide) {
    const Refus refus[] = {
        {"bonhomme de neige", "ab\u2603c", 2},
        {"émoji sur quatre octets", "x\U0001F600", 1},
        {"U+0080, absent (0x80 est l'euro)", "\u0080", 0},
        {"U+0100", "\u0100", 0},
        {"octet de tête tronqué", "ok\xC3", 2},
        {"octet de suite seul", "\x80", 0},
        {"forme trop longue", "\xC0\xAF", 0},
        {"surrogat", "\xED\xA0\x80", 0},
        {"au-delà de U+10FFFF", "\xF4\x90\x80\x80", 0},
    };
    for (const auto& r : refus) {
        std::string sortie = "inchangée";
        std::size_t position = 99;
        EXPECT_FALSE(Utf8VersCp1252(r.texte, sortie, &position)) << r.nom;
        EXPECT_EQ(position, r.position) << r.nom;
        EXPECT_EQ(sortie, "inchangée") << r.nom;
    }
}

} // namespace
