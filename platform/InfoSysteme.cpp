// Lanceur de l'outil d'informations système : ses deux emplacements, puis son démarrage.

#include "InfoSysteme.h"

#include "VersionVEK.h"

#include "Processus.h"

namespace vek {

namespace {

// Les deux emplacements dans l'ordre, puis le démarrage ; faux à la première impasse.
bool TrouverEtDemarrer(Registre& registre, ServicesInfoSysteme& services) {
    std::string chemin;
    if (!LireCleRegistre(registre, CleMachineLocale, std::string(SousCleCheminOutil),
                         std::string(ValeurCheminOutil), chemin)) {
        if (!LireCleRegistre(registre, CleMachineLocale, std::string(SousCleDossierOutil),
                             std::string(ValeurDossierOutil), chemin))
            return false;
        chemin += FichierOutil;
        if (!services.FichierPresent(chemin))
            return false;
    }
    // Le chemin du premier emplacement n'est pas vérifié : un chemin qui ne mène à aucun
    // programme fait échouer le démarrage.
    return services.DemarrerProgramme(chemin);
}

} // namespace

void LancerInfoSysteme(Registre& registre, ServicesInfoSysteme& services) {
    bool demarre = false;
    try {
        demarre = TrouverEtDemarrer(registre, services);
    } catch (...) {
        // Toute erreur, d'où qu'elle vienne, finit par le message.
        demarre = false;
    }
    if (!demarre)
        services.Message(TexteInfoSystemeIndisponible, VEK_NOM_PRODUIT);
}

bool ServicesInfoSystemeNatifs::DemarrerProgramme(const std::string& chemin) {
    if (chemin.empty())
        return false;
    return DemarrerDetache({chemin});
}

} // namespace vek
