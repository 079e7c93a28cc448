// L'outil d'informations système ailleurs que sous Windows : présence d'un fichier ordinaire
// qui n'est pas caché.

#include "InfoSysteme.h"

#include <sys/stat.h>

namespace vek {

bool ServicesInfoSystemeNatifs::FichierPresent(const std::string& chemin) {
    struct stat etat {};
    if (::stat(chemin.c_str(), &etat) != 0 || !S_ISREG(etat.st_mode))
        return false;
    // Un nom qui commence par un point est un fichier caché.
    const std::size_t barre = chemin.find_last_of('/');
    const std::size_t debutNom = barre == std::string::npos ? 0 : barre + 1;
    return debutNom >= chemin.size() || chemin[debutNom] != '.';
}

} // namespace vek
