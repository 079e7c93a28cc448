// Le graphique d'activité d'une page, en SVG dans la page : une barre par heure quand la page
// couvre au plus trois jours, par jour au-delà, par mois au-delà d'un an. Chaque barre porte son
// compte dans une bulle (<title>) ; les barres prennent la couleur du texte du graphique, que
// les thèmes clair, sombre et l'impression règlent. Les étiquettes sous les barres ne se
// chevauchent jamais.

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

// La place d'une barre, en unités du dessin : 10, davantage quand elles sont peu nombreuses (le
// graphique garde au moins 240 unités de large, et des étiquettes lisibles sous chaque barre).
constexpr std::size_t BarreMinimale = 10;
constexpr std::size_t LargeurMinimale = 240;
// La largeur d'une étiquette, en unités du dessin (texte de 10 unités) : 6 par caractère au plus
// (chiffres, barre oblique, espace, « h ») et une marge avant la suivante.
std::size_t LargeurEtiquette(const std::string& texte) {
    return texte.size() * 6 + 4;
}

struct Graphique {
    std::vector<Barre> barres;
    bool parHeure = false, parMois = false;
    long debut = 0; // rang du premier jour
};

Graphique Compter(const BilanPage& b, Date premier, Date dernier) {
    Graphique g;
    g.debut = RangDuJour(premier);
    const long jours = RangDuJour(dernier) - g.debut + 1;
    g.parHeure = jours <= 3;
    g.parMois = jours > 366;
    std::map<std::pair<int, int>, std::size_t> rangMois;
    if (g.parMois)
        for (long r = g.debut; r < g.debut + jours; ++r) {
            const Date d = JourDuRang(r);
            if (rangMois.emplace(std::pair{d.annee, d.mois}, g.barres.size()).second)
                g.barres.push_back({0, Mois(d), Deux(d.mois) + "/" + std::to_string(d.annee)});
        }
    else
        g.barres.resize(static_cast<std::size_t>(g.parHeure ? jours * 24 : jours));
    for (const auto& [cle, n] : b.parHeure) {
        const long j = RangDuJour(cle.first) - g.debut;
        if (g.parMois)
            g.barres[rangMois.at({cle.first.annee, cle.first.mois})].compte += n;
        else if (!g.parHeure)
            g.barres[static_cast<std::size_t>(j)].compte += n;
        else if (cle.second >= 0)
            g.barres[static_cast<std::size_t>(j * 24 + cle.second)].compte += n;
    }
    return g;
}

// Les bulles des barres par heure et par jour, et les étiquettes candidates : chaque jour à
// minuit et toutes les six heures, ou chaque jour (un mois : déjà posées).
void Nommer(Graphique& g) {
    if (g.parMois)
        return;
    for (std::size_t i = 0; i < g.barres.size(); ++i) {
        const Date d = JourDuRang(g.debut + static_cast<long>(g.parHeure ? i / 24 : i));
        std::string jour;
        TraduireHtml(jour, DateLongue(d));
        const int heure = static_cast<int>(i % 24);
        g.barres[i].bulle = g.parHeure ? jour + ", " + std::to_string(heure) + " h" : jour;
        if (!g.parHeure || heure % 6 == 0)
            g.barres[i].etiquette = g.parHeure && heure != 0 ? std::to_string(heure) + " h"
                                                             : Deux(d.jour) + "/" + Deux(d.mois);
    }
}

// Ne garde que des étiquettes qui ne se chevauchent jamais et tiennent dans le dessin : de
// gauche à droite, une étiquette n'est posée que si la précédente est finie (les étiquettes par
// jour et par mois se prennent à un pas régulier).
void Espacer(Graphique& g, std::size_t largeurBarre) {
    std::size_t pas = 1;
    if (!g.parHeure)
        for (const Barre& barre : g.barres)
            pas = std::max(pas,
                           (LargeurEtiquette(barre.etiquette) + largeurBarre - 1) / largeurBarre);
    const std::size_t largeur = g.barres.size() * largeurBarre;
    std::size_t libre = 0; // la première unité libre
    for (std::size_t i = 0; i < g.barres.size(); ++i) {
        std::string& etiquette = g.barres[i].etiquette;
        const std::size_t x = i * largeurBarre + 1;
        if (etiquette.empty())
            continue;
        if (i % pas != 0 || x < libre || x + LargeurEtiquette(etiquette) - 4 > largeur)
            etiquette.clear();
        else
            libre = x + LargeurEtiquette(etiquette);
    }
}

void Dessiner(std::string& s, const Graphique& g, std::size_t largeurBarre) {
    std::uint64_t plus = 1;
    for (const Barre& barre : g.barres)
        plus = std::max(plus, barre.compte);
    const std::string largeur = std::to_string(g.barres.size() * largeurBarre);
    const std::string epaisseur = std::to_string(largeurBarre - 2);
    s += "<figure><svg class=activite viewBox=\"0 0 " + largeur +
         " 118\" role=img aria-label=\"Activité\">\n<line x1=0 y1=100 x2=" + largeur +
         " y2=100></line>\n";
    for (std::size_t i = 0; i < g.barres.size(); ++i) {
        const Barre& barre = g.barres[i];
        const std::string x = std::to_string(i * largeurBarre + 1);
        if (barre.compte != 0) {
            const std::uint64_t h = std::max<std::uint64_t>(1, barre.compte * 96 / plus);
            s += "<rect x=" + x + " y=" + std::to_string(100 - h) + " width=" + epaisseur +
                 " height=" + std::to_string(h) + "><title>" + barre.bulle + " : " +
                 NombreFr(barre.compte) + (barre.compte > 1 ? " entrées" : " entrée") +
                 "</title></rect>\n";
        }
        if (!barre.etiquette.empty())
            s += "<text x=" + x + " y=114>" + barre.etiquette + "</text>\n";
    }
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
    Graphique g = Compter(b, *premier, *dernier);
    Nommer(g);
    const std::size_t largeurBarre = std::max(BarreMinimale, LargeurMinimale / g.barres.size());
    Espacer(g, largeurBarre);
    Dessiner(s, g, largeurBarre);
    s += "</svg>\n<figcaption>Entrées par ";
    s += g.parHeure ? "heure" : g.parMois ? "mois" : "jour";
    if (g.parHeure && sansHeure != 0)
        s += " ; " + NombreFr(sansHeure) + " sans heure";
    if (b.sansDate != 0)
        s += " ; " + NombreFr(b.sansDate) + " sans date";
    s += "</figcaption></figure>\n";
}

} // namespace vek
