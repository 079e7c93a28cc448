#pragma once
// Plusieurs journaux sur la ligne de commande de vek-extraire : --decalage et --joueur, et les
// journaux tels que le moteur les reçoit.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Erreurs.h"
#include "SourceLignes.h"

namespace vek {

struct Arguments;

// Le nom court d'un chemin (après la dernière barre) : celui que FICHIER peut donner, et celui
// qui se montre.
std::string_view NomCourt(std::string_view chemin);

// Une durée signée : « +3607 », « -12 », « +1:00:07 », « -00:00:07 » ; rien sinon.
std::optional<std::int64_t> LireDecalage(std::string_view texte);

// Rangent « FICHIER=VALEUR » ; rendent l'erreur d'utilisation sinon.
Resultat RangerDecalage(Arguments& a, std::string valeur);
Resultat RangerJoueur(Arguments& a, std::string valeur);
// Chaque FICHIER de --decalage et --joueur est l'un des journaux donnés.
Resultat FichiersDesDonneesConnus(const Arguments& a);

// Les journaux de la ligne de commande, avec ce qui a été donné pour chacun.
Journaux JournauxDemandes(const Arguments& a);
// Ce qu'il faut dire des journaux donnés deux fois (le même fichier, par le même chemin ou par
// un lien) : la fusion ne les lit qu'une fois.
std::vector<std::string> JournauxEnDouble(const Journaux& journaux);

} // namespace vek
