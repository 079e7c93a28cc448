#pragma once
// La table des options de vek-extraire : chaque option une fois, avec ce qu'elle attend, où va
// sa valeur, les tâches avec lesquelles elle se combine et son texte d'aide. La lecture des
// arguments, les refus des combinaisons, --help et l'essai de la page de manuel en sont tirés.
//
// Une option nouvelle est une ligne de la table (Options.cpp), plus son effet dans l'exécution.
// Répétable, elle range chaque valeur dans une liste (Ajouter) ; « FICHIER=VALEUR » se coupe
// par CouperPaire dans sa fonction de rangement, comme --renommer.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "Arguments.h"
#include "Erreurs.h"

namespace vek {

// Les rubriques de --help, dans leur ordre.
enum class Rubrique {
    Periode,
    QueFaire,
    Chercher,
    Journaux,
    Coches,
    Modes,
    Nettoyage,
    Formats,
    Autres
};

// Range la valeur d'une option dans les arguments (celle d'une option sans valeur est vide) ;
// rend l'erreur d'utilisation si la valeur ne convient pas.
using Rangement = Resultat (*)(Arguments& arguments, std::string valeur);

struct Option {
    // Ses noms, tels que l'aide les montre : « -q, --silencieux ».
    std::string_view noms;
    // Le nom de sa valeur dans l'aide (« DATE ») ; vide : elle n'en prend pas.
    std::string_view valeur = {};
    // Ce qu'elle attend, pour « l'option --debut attend une date … ».
    std::string_view attendu = {};
    Rangement ranger = nullptr;
    // Les tâches avec lesquelles elle se combine ; une option donnée hors d'elles est refusée.
    Taches taches = Tache::Extraction;
    // La tâche qu'elle choisit (--catalogue…), et le refus d'une option qui ne s'y combine pas :
    // une phrase pour toute la tâche, dite avant les règles entre options, ou, si refusNomme,
    // une phrase où « {} » est la première option de trop, dite après elles.
    std::optional<Tache> choisit = std::nullopt;
    std::string_view refus = {};
    bool refusNomme = false;
    Rubrique rubrique = Rubrique::Autres;
    // Son aide, coupée en lignes à la main ; l'aide l'aligne après les noms.
    std::string_view aide = {};
    // La suite de son aide, tirée d'une autre table (les formats de --format).
    std::string (*suite)() = nullptr;
};

std::span<const Option> TableDesOptions();
// Les noms d'une option, un à un : « -q », « --silencieux ».
std::vector<std::string_view> NomsDe(const Option& option);
// L'option de ce nom, ou nulle.
const Option* TrouverOption(std::string_view nom);
// L'option qui choisit la tâche, ou nulle (l'extraction n'en a pas).
const Option* OptionDeLaTache(Tache tache);

// Coupe « AVANT=APRÈS » au premier « = » ; rien s'il n'y en a pas.
std::optional<std::pair<std::string, std::string>> CouperPaire(std::string_view valeur);

} // namespace vek
