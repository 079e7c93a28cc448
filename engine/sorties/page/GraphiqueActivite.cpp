// Le graphique d'activité d'une page, en SVG dans la page : une barre par heure quand la page
// couvre au plus trois jours, par jour au-delà, par mois au-delà d'un an. Chaque barre porte son
// compte dans une bulle (<title>) ; les barres prennent la couleur du texte du graphique, que
// les thèmes clair, sombre et l'impression règlent.

#include "PageWeb.h"

#include "Date.h"
#include "Publication.h"

#include <algorithm>
#include <vector>

namespace vek {

namespace {

long RangDuJour(Date d) {
    return static_cast<long>(JoursDepuis1970(d));
}

Date JourDuRang(long r) {
    return DateDepuis1970(r);
}

struct Barre {
    std::uint64_t compte = 0;
    std::string bulle;     // en UTF-8, échappé
    std::string etiquette; // sous la barre, vide le plus souvent
};

std::string Mois(Date d) {
    // « lundi 24 décembre 2001 » → « décembre 2001 »
    std::string s;
    TraduireHtml(s, DateLongue(d));
    const std::size_t espace = s.find(' ', s.find(' ') + 1);
    return espace == std::string::npos ? s : s.substr(espace + 1);
}

std::string Deux(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

} // namespace

void AjouterGraphique(std::string& s, const BilanPage& b) {
    std::optional<Date> premier, dernier;
    std::uint64_t sansHeure = 0;
    for (const auto& [cle, n] : b.parHeure) {
        premier = premier ? std::min(*premier, cle.first) : cle.first;
        dernier = dernier ? std::max(*dernier, cle.first) : cle.first;
        sansHeure += cle.second < 0 ? n : 0;
    }
    if (!premier)
        return;
    const long debut = RangDuJour(*premier), jours = RangDuJour(*dernier) - debut + 1;
    const bool parHeure = jours <= 3, parMois = jours > 366;
    std::vector<Barre> barres;
    std::map<std::pair<int, int>, std::size_t> rangMois;
    if (parMois)
        for (long r = debut; r < debut + jours; ++r) {
            const Date d = JourDuRang(r);
            if (rangMois.emplace(std::pair{d.annee, d.mois}, barres.size()).second)
                barres.push_back({0, Mois(d), Deux(d.mois) + "/" + std::to_string(d.annee)});
        }
    else
        barres.resize(static_cast<std::size_t>(parHeure ? jours * 24 : jours));
    for (const auto& [cle, n] : b.parHeure) {
        const long j = RangDuJour(cle.first) - debut;
        if (parMois)
            barres[rangMois.at({cle.first.annee, cle.first.mois})].compte += n;
        else if (!parHeure)
            barres[static_cast<std::size_t>(j)].compte += n;
        else if (cle.second >= 0)
            barres[static_cast<std::size_t>(j * 24 + cle.second)].compte += n;
    }
    if (!parMois) {
        const std::size_t pas = std::max<std::size_t>(1, barres.size() / 10);
        for (std::size_t i = 0; i < barres.size(); ++i) {
            const Date d = JourDuRang(debut + static_cast<long>(parHeure ? i / 24 : i));
            std::string jour;
            TraduireHtml(jour, DateLongue(d));
            const int heure = static_cast<int>(i % 24);
            barres[i].bulle = parHeure ? jour + ", " + std::to_string(heure) + " h" : jour;
            if (parHeure ? heure % 6 == 0 : i % pas == 0)
                barres[i].etiquette = parHeure && heure != 0 ? std::to_string(heure) + " h"
                                                             : Deux(d.jour) + "/" + Deux(d.mois);
        }
    }
    std::uint64_t plus = 1;
    for (const Barre& barre : barres)
        plus = std::max(plus, barre.compte);
    const std::string largeur = std::to_string(barres.size() * 10);
    s += "<figure><svg class=activite viewBox=\"0 0 " + largeur +
         " 118\" role=img aria-label=\"Activité\">\n<line x1=0 y1=100 x2=" + largeur +
         " y2=100></line>\n";
    for (std::size_t i = 0; i < barres.size(); ++i) {
        const Barre& barre = barres[i];
        const std::string x = std::to_string(i * 10 + 1);
        if (barre.compte != 0) {
            const std::uint64_t h = std::max<std::uint64_t>(1, barre.compte * 96 / plus);
            s += "<rect x=" + x + " y=" + std::to_string(100 - h) +
                 " width=8 height=" + std::to_string(h) + "><title>" + barre.bulle + " : " +
                 NombreFr(barre.compte) + (barre.compte > 1 ? " entrées" : " entrée") +
                 "</title></rect>\n";
        }
        if (!barre.etiquette.empty())
            s += "<text x=" + x + " y=114>" + barre.etiquette + "</text>\n";
    }
    s += "</svg>\n<figcaption>Entrées par ";
    s += parHeure ? "heure" : parMois ? "mois" : "jour";
    if (parHeure && sansHeure != 0)
        s += " ; " + NombreFr(sansHeure) + " sans heure";
    if (b.sansDate != 0)
        s += " ; " + NombreFr(b.sansDate) + " sans date";
    s += "</figcaption></figure>\n";
}

} // namespace vek
