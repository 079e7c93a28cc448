#pragma once
// Les options du nettoyage role-play de vek-extraire (--sans-hrp, --renommer, --anonymiser) :
// la lecture de --renommer et leur partie de l'aide.

#include <optional>
#include <string>

#include "Nettoyage.h"

namespace vek {

// Range « ANCIEN=NOUVEAU » (UTF-8) dans les renommages ; rend l'erreur d'utilisation sinon.
std::optional<std::string> RangerRenommage(const std::string& valeur, ReglagesNettoyage& reglages);

// La partie de --help qui décrit le nettoyage.
std::string AideNettoyage();

} // namespace vek
