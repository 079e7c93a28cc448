#pragma once
// Les options des formats de sortie de vek-extraire : --format, --taille-message, --decouper, et
// la suite de l'aide de --format, tirée de la table des formats.

#include <string>

#include "Erreurs.h"

namespace vek {

struct Arguments;

// Rangent la valeur de l'option ; rendent l'erreur d'utilisation si elle ne convient pas.
Resultat RangerFormat(Arguments& a, std::string valeur);
Resultat RangerTailleMessage(Arguments& a, std::string valeur);
Resultat RangerDecoupage(Arguments& a, std::string valeur);

// Ce que --format attend : « un format : texte, html, json, forum ou discord ».
const std::string& AttenduFormat();
// La suite de l'aide de --format : chaque format de la table, son fichier et sa description.
std::string AideDesFormats();

} // namespace vek
