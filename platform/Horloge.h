#pragma once
// L'heure locale de la machine.

#include <ctime>

namespace vek {

// Le moment t dans le fuseau de la machine ; sans partage entre fils (chaque appel a sa sortie).
std::tm TempsLocal(std::time_t t);

} // namespace vek
