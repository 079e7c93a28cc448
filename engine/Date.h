#pragma once
// Dates du calendrier (un jour à minuit) et leurs conversions en texte, à la française.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace vek {

struct Date {
    int annee = 0;
    int mois = 0;
    int jour = 0;
    friend constexpr auto operator<=>(const Date&, const Date&) = default;
};

bool EstBissextile(int annee);
int JoursDansMois(int annee, int mois);
bool DateValide(int annee, int mois, int jour); // années 1 à 9999, calendrier grégorien

// Conversion « jour d'abord » des champs de date : jj/mm/aaaa, jour ou mois à un chiffre admis,
// séparateurs « / », « - » ou « . » ; une année à deux chiffres est lue entre 1930 et 2029 ;
// espaces aux deux bouts ignorés. Tout le reste n'est pas une date.
std::optional<Date> ConvertirDate(std::string_view texte);

// Forme courte : « 24/12/2001 ».
std::string DateCourte(Date date);
// Forme longue « dddd d mmmm yyyy », en Windows-1252 : « lundi 24 décembre 2001 ».
std::string DateLongue(Date date);
// 0 = lundi … 6 = dimanche.
int JourDeLaSemaine(Date date);
// La date du jour (heure locale).
Date Aujourdhui();

} // namespace vek
