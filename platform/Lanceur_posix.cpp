// Ouverture d'un document par le gestionnaire par défaut du bureau (xdg-open, open sous macOS).

#include "Lanceur.h"

#include <cerrno>

#include "Processus.h"

namespace vek {

namespace {

// Codes d'échec au sens de l'interpréteur de Windows (32 ou moins).
constexpr std::int16_t CodeFichierIntrouvable = 2;
constexpr std::int16_t CodeSansAssociation = 31;
constexpr std::int16_t CodeSucces = 42;

#ifdef __APPLE__
constexpr const char* OuvreurBureau = "open";
#else
constexpr const char* OuvreurBureau = "xdg-open";
#endif

} // namespace

std::int16_t LanceurSysteme::OuvrirDocument(const std::string& document) {
    // Le document voyage comme un seul argument : un chemin avec des espaces reste entier.
    int erreur = 0;
    if (DemarrerDetache({OuvreurBureau, document}, &erreur))
        return CodeSucces;
    return erreur == ENOENT ? CodeFichierIntrouvable : CodeSansAssociation;
}

} // namespace vek
