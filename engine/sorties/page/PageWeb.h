#pragma once
// Les morceaux de la page web, partagés par la page unique (LogFinal.html), les pages du dossier
// découpé (LogFinal/) et son sommaire (index.html) : les styles, l'en-tête, et ce que la page
// dit d'elle-même une fois ses entrées écrites (sommaire des jours, filtres, personnes,
// graphique d'activité, liens entre les pages). Ce bilan est écrit après les entrées, la page
// étant lue d'un trait ; les styles le montrent pourtant en premier.
//
// Rien ne vient d'ailleurs : ni script, ni ressource extérieure. Les filtres sont des cases à
// cocher, frères de <main>, que les styles lisent par le combinateur « ~ » : ils marchent dans
// tout navigateur, « :has() » ou non.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Date.h"
#include "Formats.h"
#include "Publication.h"

namespace vek {

class Selection;

inline constexpr std::uint64_t EntreesParSerie = 500; // un bloc dessiné à la demande
inline constexpr std::size_t PersonnesEnVue = 20;     // les autres sont repliées
// Les personnes les plus actives d'une page ont chacune sa case de filtre ; au-delà, la liste
// n'est plus utilisable, et chaque case de plus ralentit le dessin de toutes les entrées : les
// autres sont nommées, avec leur compte, sans case.
inline constexpr std::size_t PersonnesFiltrables = 200;

// Le genre d'une entrée que filtre une case : ce que vous avez dit, murmures, appels.
inline constexpr std::array<std::string_view, 3> ClassesFiltrees = {"d", "m", "a"};

// Un jour de la page : sa date et son ancre (« j-2001-12-24 »), ses entrées.
struct JourDePage {
    Date date;
    std::string ancre;
    std::uint64_t entrees = 0;
};

// Ce qu'une page contient, compté au fil de l'écriture.
struct BilanPage {
    std::vector<JourDePage> jours;
    std::map<std::pair<Date, int>, std::uint64_t> parHeure; // heure -1 : sans heure
    std::vector<std::uint64_t> parChannel;   // par rang de channel dans la sélection
    std::vector<std::uint64_t> parNom;       // par rang de nom ; le dernier rang : « Vous »
    std::array<std::uint64_t, 3> parGenre{}; // dans l'ordre de ClassesFiltrees
    std::uint64_t entrees = 0;
    std::uint64_t sansDate = 0;
    std::optional<Date> premier, dernier; // les dates extrêmes
    void Fusionner(const BilanPage& autre);
};

// Ce que dit l'en-tête d'une page.
struct EnTetePage {
    Date extraction;
    std::optional<Date> debut, fin;
    const Selection* selection = nullptr;
    std::string sousTitre; // en UTF-8 ; vide : la page unique
    bool filtres = true;   // les cases des filtres (pas sur le sommaire du dossier)
    // Les entrées de la page, connues avant son début (page découpée) : seules les cases de
    // leurs channels, genres et personnes sont posées. Sans elles, une case par channel, genre
    // et personne de la sélection.
    const BilanPage* presentes = nullptr;
    const TeintesDesNoms* teintes = nullptr; // celles des noms de la passe
};

// Les pages voisines d'une page découpée (vides : aucune).
struct Voisins {
    std::string precedent, suivant;
};

// Une page du dossier, pour le sommaire.
struct PageDuDossier {
    std::string fichier; // « 2001-12-24.html »
    std::string titre;   // en UTF-8
    std::uint64_t entrees = 0;
};

std::string DebutPage(const EnTetePage& entete);
// La fin d'une page : le bilan (montré avant les entrées), les liens et le pied ; voisins est
// nul pour la page unique ; teintes : celles des noms de la passe.
std::string FinPage(const BilanPage& bilan, const Selection* selection, const Voisins* voisins,
                    const TeintesDesNoms& teintes = TeintesDesNoms());
// Le sommaire du dossier découpé.
std::string PageSommaire(const EnTetePage& entete, const std::vector<PageDuDossier>& pages,
                         const BilanPage& total);

// Le graphique d'activité : entrées par heure jusqu'à trois jours, par jour au-delà, par mois
// au-delà d'un an ; chaque barre dit son compte dans une bulle (<title>).
void AjouterGraphique(std::string& s, const BilanPage& bilan);

// Le texte Windows-1252 traduit pour la page (échappé, en UTF-8).
void TraduireHtml(std::string& sortie, std::string_view texte);
// « 2001-12-24 » ; « 2001-12 » sans le jour.
std::string DateIso(Date date, bool avecJour = true);
// Le nom montré d'un rang de nom de la page (« Vous » pour le dernier).
std::string_view NomDuRang(const Selection* selection, std::size_t rang);

} // namespace vek
