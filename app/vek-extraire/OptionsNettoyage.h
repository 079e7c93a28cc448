#pragma once
// La valeur de --renommer, option du nettoyage role-play de vek-extraire.

#include <string>

#include "Erreurs.h"
#include "Nettoyage.h"

namespace vek {

// Range « ANCIEN=NOUVEAU » (UTF-8) dans les renommages ; rend l'erreur d'utilisation sinon.
Resultat RangerRenommage(const std::string& valeur, ReglagesNettoyage& reglages);

} // namespace vek
