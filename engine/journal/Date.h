#pragma once
// Dates du calendrier (un jour à minuit) et leurs conversions en texte, à la française.

#include <compare>
#include <cstdint>
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

// Un instant d'un jour : le jour et sa seconde (0 à 86399), comparés dans l'ordre du temps.
inline constexpr int SecondesParJour = 86400;
struct Instant {
    Date date;
    int seconde = 0;
    friend constexpr auto operator<=>(const Instant&, const Instant&) = default;
};

// Ce qu'un champ de date écrit : un jour, une minute ou une seconde de ce jour.
enum class Precision { Jour, Minute, Seconde };
struct Borne {
    Date date;
    int seconde = 0; // le début de ce qui est écrit (0 pour un jour)
    Precision precision = Precision::Jour;
    // La première et la dernière seconde de ce qui est écrit : « 24/12/2001 23:40 » va de
    // 23:40:00 à 23:40:59, « 24/12/2001 » de 00:00:00 à 23:59:59.
    Instant Premier() const { return {date, seconde}; }
    Instant Dernier() const;
};

// Les champs de date et --debut/--fin : une date de ConvertirDate, seule ou suivie (après des
// espaces) de hh:mm ou hh:mm:ss, heure de 0 à 23 sur un ou deux chiffres.
std::optional<Borne> ConvertirBorne(std::string_view texte);

// Une période, bornes comprises, à la seconde.
struct Periode {
    Instant debut;
    Instant fin;
    // Du premier instant d'un jour au dernier d'un autre.
    static Periode Jours(Date debut, Date fin) { return {{debut, 0}, {fin, SecondesParJour - 1}}; }
    static Periode Entre(const Borne& debut, const Borne& fin) {
        return {debut.Premier(), fin.Dernier()};
    }
    bool JoursEntiers() const { return debut.seconde == 0 && fin.seconde == SecondesParJour - 1; }
    friend constexpr bool operator==(const Periode&, const Periode&) = default;
};

// Le rang d'un jour (jours depuis le 1er janvier 1970, négatif avant) et le jour d'un rang ; les
// secondes depuis le 1er janvier 1970 d'un instant, et l'instant de ces secondes.
std::int64_t JoursDepuis1970(Date date);
Date DateDepuis1970(std::int64_t jours);
inline std::int64_t SecondesDepuis1970(Instant i) {
    return JoursDepuis1970(i.date) * SecondesParJour + i.seconde;
}
Instant InstantDepuis1970(std::int64_t secondes);

// « 24/12/2001 21:10 » (à la minute), « 24/12/2001 21:10:05 » (à la seconde).
std::string InstantCourt(Instant instant, Precision precision);
// La période comme la recherche la dit : « du 24/12/2001 au 26/12/2001 » pour des jours entiers,
// sinon à la minute (à la seconde si une borne ne tombe pas sur une minute pleine).
std::string TextePeriode(const Periode& periode);

// Forme courte : « 24/12/2001 ».
std::string DateCourte(Date date);
// Forme longue « dddd d mmmm yyyy », en Windows-1252 : « lundi 24 décembre 2001 ».
std::string DateLongue(Date date);
// 0 = lundi … 6 = dimanche.
int JourDeLaSemaine(Date date);
// La date du jour (heure locale).
Date Aujourdhui();

} // namespace vek
