// L'outil d'informations système ailleurs que sous Windows : le premier des outils usuels du
// bureau trouvé dans le PATH.

#include "InfoSysteme.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace vek {

namespace {

// Outils d'informations système essayés, dans l'ordre.
const std::vector<std::string> OutilsUsuels = {"hardinfo2",
                                               "hardinfo",
                                               "kinfocenter",
                                               "gnome-system-monitor",
                                               "plasma-systemmonitor",
                                               "ksysguard",
                                               "mate-system-monitor",
                                               "xfce4-taskmanager",
                                               "lxtask",
                                               "lshw-gtk"};

bool Executable(const std::string& chemin) {
    struct stat etat {};
    return ::stat(chemin.c_str(), &etat) == 0 && S_ISREG(etat.st_mode) &&
           ::access(chemin.c_str(), X_OK) == 0;
}

// Le premier des candidats (dans leur ordre) trouvé dans les dossiers du chemin de recherche
// (séparés par « : »).
std::optional<NomFichier> ChercherProgramme(std::string_view cheminRecherche,
                                            const std::vector<std::string>& candidats) {
    std::vector<std::string_view> dossiers;
    for (std::size_t debut = 0; debut <= cheminRecherche.size();) {
        std::size_t fin = cheminRecherche.find(':', debut);
        if (fin == std::string_view::npos)
            fin = cheminRecherche.size();
        // Un élément vide désignerait le dossier courant, qui ne joue aucun rôle ici.
        if (fin > debut)
            dossiers.push_back(cheminRecherche.substr(debut, fin - debut));
        debut = fin + 1;
    }
    for (const std::string& candidat : candidats)
        for (const std::string_view dossier : dossiers) {
            std::string chemin(dossier);
            if (chemin.back() != '/')
                chemin += '/';
            chemin += candidat;
            if (Executable(chemin))
                return chemin;
        }
    return std::nullopt;
}

} // namespace

std::optional<NomFichier> CheminOutilInfoSysteme() {
    const char* chemin = std::getenv("PATH");
    return ChercherProgramme(chemin ? chemin : "", OutilsUsuels);
}

} // namespace vek
