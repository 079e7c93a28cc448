#include "Date.h"

#include "Horloge.h"

#include <array>
#include <chrono>
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

} // namespace vek
