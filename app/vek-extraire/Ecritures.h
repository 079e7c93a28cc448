#pragma once
// L'écriture des sorties demandées : leur passe, le conseil d'une page trop longue, --ouvrir, et
// leurs chemins sur la sortie standard.

#include <stop_token>

#include "Erreurs.h"
#include "Execution.h"
#include "Passes.h"
#include "Selection.h"

namespace vek {

Resultat EcrireLesSorties(Execution& e, Passes& moteur, const Selection& selection,
                          std::stop_token arret);

} // namespace vek
