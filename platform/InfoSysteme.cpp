// Démarrage de l'outil d'informations système, ou le message qui dit qu'il n'est pas là.

#include "InfoSysteme.h"

#include "VersionVEK.h"

#include "Processus.h"

namespace vek {

void LancerInfoSysteme(const std::optional<NomFichier>& outil, ServicesInfoSysteme& services) {
    bool demarre = false;
    try {
        demarre = outil && services.DemarrerProgramme(*outil);
    } catch (...) {
        // Toute erreur, d'où qu'elle vienne, finit par le message.
        demarre = false;
    }
    if (!demarre)
        services.Message(TexteInfoSystemeIndisponible, VEK_NOM_PRODUIT);
}

bool ServicesInfoSystemeNatifs::DemarrerProgramme(const NomFichier& chemin) {
    return !chemin.empty() && DemarrerDetache({chemin});
}

} // namespace vek
