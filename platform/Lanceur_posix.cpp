// Ouverture d'un document par le gestionnaire par défaut du bureau (xdg-open, open sous macOS).

#include "Lanceur.h"

#include "Processus.h"

namespace vek {

namespace {

#ifdef __APPLE__
constexpr const char* OuvreurBureau = "open";
#else
constexpr const char* OuvreurBureau = "xdg-open";
#endif

} // namespace

bool LanceurSysteme::OuvrirDocument(const NomFichier& document) {
    // Le document voyage comme un seul argument : un chemin avec des espaces reste entier.
    return DemarrerDetache({OuvreurBureau, document});
}

} // namespace vek
