#include "Date.h"

#include "Horloge.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace vek {

bool EstBissextile(int annee) {
    return (annee % 4 == 0 && annee % 100 != 0) || annee % 400 == 0;
}

int JoursDansMois(int annee, int mois) {
    static constexpr std::array<int, 12> jours{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mois < 1 || mois > 12)
        return 0;
    return mois == 2 && EstBissextile(annee) ? 29 : jours[static_cast<std::size_t>(mois - 1)];
}

bool DateValide(int annee, int mois, int jour) {
    return annee >= 1 && annee <= 9999 && mois >= 1 && mois <= 12 && jour >= 1 &&
           jour <= JoursDansMois(annee, mois);
}

namespace {

bool EstChiffre(char c) {
    return c >= '0' && c <= '9';
}

// Lit 1 à max chiffres à partir de i ; faux s'il n'y en a aucun ou trop.
bool LireNombre(std::string_view t, std::size_t& i, std::size_t maxChiffres, int& valeur,
                std::size_t& nbChiffres) {
    valeur = 0;
    nbChiffres = 0;
    while (i < t.size() && EstChiffre(t[i])) {
        if (++nbChiffres > maxChiffres)
            return false;
        valeur = valeur * 10 + (t[i] - '0');
        ++i;
    }
    return nbChiffres > 0;
}

bool EstSeparateur(char c) {
    return c == '/' || c == '-' || c == '.';
}

} // namespace

std::optional<Date> ConvertirDate(std::string_view texte) {
    while (!texte.empty() && texte.front() == ' ')
        texte.remove_prefix(1);
    while (!texte.empty() && texte.back() == ' ')
        texte.remove_suffix(1);
    std::size_t i = 0;
    int jour = 0, mois = 0, annee = 0;
    std::size_t n = 0;
    if (!LireNombre(texte, i, 2, jour, n))
        return std::nullopt;
    if (i >= texte.size() || !EstSeparateur(texte[i]))
        return std::nullopt;
    const char separateur = texte[i++];
    if (!LireNombre(texte, i, 2, mois, n))
        return std::nullopt;
    if (i >= texte.size() || texte[i] != separateur)
        return std::nullopt;
    ++i;
    if (!LireNombre(texte, i, 4, annee, n) || i != texte.size())
        return std::nullopt;
    if (n == 2)
        annee += annee < 30 ? 2000 : 1900;
    else if (n != 4)
        return std::nullopt;
    if (!DateValide(annee, mois, jour))
        return std::nullopt;
    return Date{annee, mois, jour};
}

Instant Borne::Dernier() const {
    switch (precision) {
    case Precision::Jour:
        return {date, SecondesParJour - 1};
    case Precision::Minute:
        return {date, seconde + 59};
    case Precision::Seconde:
        break;
    }
    return {date, seconde};
}

namespace {

// hh:mm ou hh:mm:ss, seul dans le texte ; rend la seconde du jour et la précision écrite.
bool LireHeure(std::string_view t, int& seconde, Precision& precision) {
    std::size_t i = 0, n = 0;
    int heures = 0, minutes = 0, secondes = 0;
    if (!LireNombre(t, i, 2, heures, n) || i >= t.size() || t[i] != ':')
        return false;
    ++i;
    if (!LireNombre(t, i, 2, minutes, n) || n != 2)
        return false;
    precision = Precision::Minute;
    if (i < t.size()) {
        if (t[i] != ':')
            return false;
        ++i;
        if (!LireNombre(t, i, 2, secondes, n) || n != 2 || i != t.size())
            return false;
        precision = Precision::Seconde;
    }
    if (heures > 23 || minutes > 59 || secondes > 59)
        return false;
    seconde = heures * 3600 + minutes * 60 + secondes;
    return true;
}

} // namespace

std::optional<Borne> ConvertirBorne(std::string_view texte) {
    while (!texte.empty() && texte.front() == ' ')
        texte.remove_prefix(1);
    while (!texte.empty() && texte.back() == ' ')
        texte.remove_suffix(1);
    const std::size_t espace = texte.find(' ');
    const auto date = ConvertirDate(texte.substr(0, espace));
    if (!date)
        return std::nullopt;
    Borne borne{*date, 0, Precision::Jour};
    if (espace == std::string_view::npos)
        return borne;
    std::string_view heure = texte.substr(espace);
    while (!heure.empty() && heure.front() == ' ')
        heure.remove_prefix(1);
    if (!LireHeure(heure, borne.seconde, borne.precision))
        return std::nullopt;
    return borne;
}

std::string InstantCourt(Instant instant, Precision precision) {
    std::string texte = DateCourte(instant.date);
    if (precision == Precision::Jour)
        return texte;
    const auto deuxChiffres = [&texte](int n) {
        texte += static_cast<char>('0' + n / 10 % 10);
        texte += static_cast<char>('0' + n % 10);
    };
    const int s = instant.seconde;
    texte += ' ';
    deuxChiffres(s / 3600);
    texte += ':';
    deuxChiffres(s / 60 % 60);
    if (precision == Precision::Seconde) {
        texte += ':';
        deuxChiffres(s % 60);
    }
    return texte;
}

std::string TextePeriode(const Periode& periode) {
    Precision precision = Precision::Jour;
    if (!periode.JoursEntiers())
        precision = periode.debut.seconde % 60 == 0 && periode.fin.seconde % 60 == 59
                        ? Precision::Minute
                        : Precision::Seconde;
    // À la minute, la fin se lit comme on l'a écrite : 23:40 pour 23:40:59.
    return "du " + InstantCourt(periode.debut, precision) + " au " +
           InstantCourt(periode.fin, precision);
}

std::string DateCourte(Date date) {
    char texte[16];
    std::snprintf(texte, sizeof texte, "%02d/%02d/%04d", date.jour % 100, date.mois % 100,
                  date.annee % 10000);
    return texte;
}

int JourDeLaSemaine(Date date) {
    // Jours depuis le 1er janvier de l'an 1 (proleptique grégorien), qui était un lundi.
    const std::chrono::year_month_day ymd{std::chrono::year{date.annee},
                                          std::chrono::month{static_cast<unsigned>(date.mois)},
                                          std::chrono::day{static_cast<unsigned>(date.jour)}};
    const std::chrono::weekday js{std::chrono::sys_days{ymd}};
    return static_cast<int>(js.iso_encoding()) - 1;
}

std::string DateLongue(Date date) {
    static constexpr std::array<const char*, 7> jours{"lundi",    "mardi",  "mercredi", "jeudi",
                                                      "vendredi", "samedi", "dimanche"};
    static constexpr std::array<const char*, 12> moisNoms{"janvier",
                                                          "f\xE9vrier",
                                                          "mars",
                                                          "avril",
                                                          "mai",
                                                          "juin",
                                                          "juillet",
                                                          "ao\xFBt",
                                                          "septembre",
                                                          "octobre",
                                                          "novembre",
                                                          "d\xE9"
                                                          "cembre"};
    std::string texte = jours[static_cast<std::size_t>(JourDeLaSemaine(date))];
    texte += ' ';
    texte += std::to_string(date.jour);
    texte += ' ';
    texte += moisNoms[static_cast<std::size_t>(date.mois - 1)];
    texte += ' ';
    char annee[8];
    std::snprintf(annee, sizeof annee, "%04d", date.annee);
    texte += annee;
    return texte;
}

Date Aujourdhui() {
    const std::tm local = TempsLocal(std::time(nullptr));
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::int64_t JoursDepuis1970(Date d) {
    const std::chrono::year_month_day ymd{std::chrono::year{d.annee},
                                          std::chrono::month{static_cast<unsigned>(d.mois)},
                                          std::chrono::day{static_cast<unsigned>(d.jour)}};
    return std::chrono::sys_days{ymd}.time_since_epoch().count();
}

Date DateDepuis1970(std::int64_t jours) {
    const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{jours}}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

Instant InstantDepuis1970(std::int64_t secondes) {
    std::int64_t jours = secondes / SecondesParJour;
    std::int64_t reste = secondes % SecondesParJour;
    if (reste < 0) {
        reste += SecondesParJour;
        --jours;
    }
    return {DateDepuis1970(jours), static_cast<int>(reste)};
}

} // namespace vek
