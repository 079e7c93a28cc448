#include <gtest/gtest.h>

#include "Date.h"

using namespace vek;

namespace {

struct CasConversion {
    const char* texte;
    std::optional<Date> attendu;
};

TEST(ConvertirDate, FormesAccepteesEtRefusees) {
    const CasConversion cas[] = {
        {"24/12/2001", Date{2001, 12, 24}},
        {"  24/12/2001  ", Date{2001, 12, 24}},
        {"1/2/2001", Date{2001, 2, 1}},
        {"01-02-2001", Date{2001, 2, 1}},
        {"01.02.2001", Date{2001, 2, 1}},
        {"24/12/01", Date{2001, 12, 24}},
        {"24/12/29", Date{2029, 12, 24}},
        {"24/12/30", Date{1930, 12, 24}},
        {"29/02/2000", Date{2000, 2, 29}},
        {"01/01/1900", Date{1900, 1, 1}},
        {"31/12/9999", Date{9999, 12, 31}},
        {"29/02/1900", std::nullopt}, // 1900 n'est pas bissextile
        {"30/02/2004", std::nullopt},
        {"26/13/2001", std::nullopt},
        {"00/12/2001", std::nullopt},
        {"32/01/2001", std::nullopt},
        {"01/01/0000", std::nullopt},
        {"01/01/001", std::nullopt},  // année à trois chiffres
        {"24/12-2001", std::nullopt}, // séparateurs mélangés
        {"24 12 2001", std::nullopt},
        {"2a/12/2001", std::nullopt},
        {"24/12/2001x", std::nullopt},
        {"124/12/2001", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"12/2001", std::nullopt},
    };
    for (const auto& c : cas)
        EXPECT_EQ(ConvertirDate(c.texte), c.attendu) << c.texte;
}

TEST(FormesDeDate, CourteEtLongueEnFrancais) {
    EXPECT_EQ(DateCourte({2001, 12, 24}), "24/12/2001");
    EXPECT_EQ(DateCourte({2001, 1, 2}), "02/01/2001");
    EXPECT_EQ(DateLongue({2001, 12, 24}), "lundi 24 d\xE9"
                                          "cembre 2001");
    EXPECT_EQ(DateLongue({2001, 12, 26}), "mercredi 26 d\xE9"
                                          "cembre 2001");
    EXPECT_EQ(DateLongue({2002, 12, 7}), "samedi 7 d\xE9"
                                         "cembre 2002");
    EXPECT_EQ(DateLongue({2024, 2, 29}), "jeudi 29 f\xE9vrier 2024");
    EXPECT_EQ(DateLongue({2023, 8, 6}), "dimanche 6 ao\xFBt 2023");
    EXPECT_EQ(DateLongue({1900, 1, 1}), "lundi 1 janvier 1900");
}

TEST(FormesDeDate, AllerRetourParLaFormeCourte) {
    for (int annee : {1, 1899, 1900, 1999, 2000, 2001, 2100, 9999})
        for (int mois = 1; mois <= 12; ++mois) {
            const Date d{annee, mois, JoursDansMois(annee, mois)};
            EXPECT_EQ(ConvertirDate(DateCourte(d)), d) << DateCourte(d);
        }
}

TEST(FormesDeDate, AujourdhuiEstUneDateValide) {
    const Date d = Aujourdhui();
    EXPECT_TRUE(DateValide(d.annee, d.mois, d.jour));
    EXPECT_GE(d.annee, 2024);
}

} // namespace
