#pragma once
// Lanceur de l'outil d'informations système : trouvé par le registre (deux emplacements essayés
// dans l'ordre), démarré sans l'attendre ; tout échec finit par un seul message.

#include <string>
#include <string_view>
#include <vector>

#include "Processus.h"
#include "Registre.h"

namespace vek {

// Textes en UTF-8.
inline constexpr std::string_view TexteInfoSystemeIndisponible =
    "Les informations syst\xC3\xA8me ne sont pas disponibles actuellement";

// Les deux emplacements de l'outil, dans l'ordre où ils sont essayés.
inline constexpr std::string_view SousCleCheminOutil = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view ValeurCheminOutil = "PATH"; // chemin complet de l'outil
inline constexpr std::string_view SousCleDossierOutil =
    "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view ValeurDossierOutil = "MSINFO"; // dossier de l'outil
inline constexpr std::string_view FichierOutil = "\\MSINFO32.EXE";

// Ce dont le lanceur a besoin en dehors du registre.
class ServicesInfoSysteme {
public:
    virtual ~ServicesInfoSysteme() = default;
    // Vrai si un fichier de ce chemin exact existe (fichiers cachés et fichiers système exclus).
    virtual bool FichierPresent(const std::string& chemin) = 0;
    // Démarre le programme dans une fenêtre normale activée et rend la main sans l'attendre.
    // Faux s'il n'a pas pu être démarré.
    virtual bool DemarrerProgramme(const std::string& chemin) = 0;
    // Boîte de message modale, un seul bouton OK, sans icône ; rend la main à sa fermeture.
    virtual void Message(std::string_view texte, std::string_view titre) = 0;
};

// Recherche de fichier et démarrage du système ; la boîte de message reste à la charge de la
// boîte à outils des fenêtres.
class ServicesInfoSystemeNatifs : public ServicesInfoSysteme {
public:
    bool FichierPresent(const std::string& chemin) override;
    bool DemarrerProgramme(const std::string& chemin) override;
};

// Trouve et démarre l'outil d'informations système, ou dit qu'il n'est pas disponible
// (message sous le titre du programme). Rien n'est retenu d'un appel à l'autre.
void LancerInfoSysteme(Registre& registre, ServicesInfoSysteme& services);

} // namespace vek
