#pragma once
// L'outil d'informations système : où il est (un fichier par système), puis son démarrage sans
// l'attendre ; tout échec finit par un seul message.

#include <optional>
#include <string>
#include <string_view>

#include "Encodages.h"

namespace vek {

// Textes en UTF-8.
inline constexpr std::string_view TexteInfoSystemeIndisponible =
    "Les informations syst\xC3\xA8me ne sont pas disponibles actuellement";

// Sous Windows, les deux emplacements de l'outil dans le registre de la machine, dans l'ordre où
// ils sont essayés.
inline constexpr std::string_view SousCleCheminOutil = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view ValeurCheminOutil = "PATH"; // chemin complet de l'outil
inline constexpr std::string_view SousCleDossierOutil =
    "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view ValeurDossierOutil = "MSINFO"; // dossier de l'outil
inline constexpr std::string_view FichierOutil = "\\MSINFO32.EXE";

// Le chemin de l'outil d'informations système, ou rien s'il est introuvable.
//
// Sous Windows, le registre est seulement lu, aux deux emplacements ci-dessus :
//   1. le chemin complet, pris tel quel, sans vérifier qu'il mène à un programme ;
//   2. sinon le dossier, suivi de « \MSINFO32.EXE », pris seulement si ce fichier existe
//      (fichiers cachés et système exclus).
// Une clé que les droits demandés (lecture et écriture) n'ouvrent pas, une valeur absente ou de
// plus de 1024 octets comptent comme absentes. Une chaîne perd son NUL final, un mot de 32 bits
// s'écrit en décimal, une valeur d'un autre type (chaîne expansible comprise) donne un chemin
// vide, que le démarrage refusera. Une valeur sans aucune donnée arrête tout : rien.
//
// Ailleurs, c'est le premier des outils usuels du bureau (dans leur ordre) trouvé comme fichier
// exécutable dans les dossiers du PATH.
std::optional<NomFichier> CheminOutilInfoSysteme();

// Ce dont le lancement a besoin autour du chemin.
class ServicesInfoSysteme {
public:
    virtual ~ServicesInfoSysteme() = default;
    // Démarre le programme dans une fenêtre normale activée et rend la main sans l'attendre.
    // Faux s'il n'a pas pu être démarré.
    virtual bool DemarrerProgramme(const NomFichier& chemin) = 0;
    // Boîte de message modale, un seul bouton OK, sans icône ; rend la main à sa fermeture.
    virtual void Message(std::string_view texte, std::string_view titre) = 0;
};

// Le démarrage du système ; la boîte de message reste à la charge des fenêtres.
class ServicesInfoSystemeNatifs : public ServicesInfoSysteme {
public:
    bool DemarrerProgramme(const NomFichier& chemin) override;
};

// Démarre l'outil trouvé, ou dit qu'il n'est pas disponible (message sous le titre du
// programme). Rien n'est retenu d'un appel à l'autre.
void LancerInfoSysteme(const std::optional<NomFichier>& outil, ServicesInfoSysteme& services);

} // namespace vek
