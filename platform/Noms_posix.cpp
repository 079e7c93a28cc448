// Les noms d'un dossier sous POSIX : leur liste, et le remplacement d'un fichier par un autre
// sans que le nom soit jamais libre (un lien physique pour l'ancien, puis un seul renommage).

#include "Systeme.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "Erreurs.h"

namespace vek::systeme {

int Remplacer(const std::string& source, const std::string& cible, const std::string& garage) {
    if (::link(cible.c_str(), garage.c_str()) != 0)
        return ENOSYS;
    // Le second nom de l'ancien sur le disque avant que le renommage lui retire le premier.
    const auto barre = cible.find_last_of('/');
    SynchroniserDossier(barre == std::string::npos ? std::string(".")
                        : barre == 0               ? std::string("/")
                                                   : cible.substr(0, barre));
    if (::rename(source.c_str(), cible.c_str()) == 0)
        return 0;
    const int code = DernierCode();
    ::unlink(garage.c_str());
    return code;
}

std::optional<std::vector<std::string>> ListerDossier(const std::string& dossier) {
    DIR* d = ::opendir(dossier.c_str());
    if (!d)
        return std::nullopt;
    std::vector<std::string> noms;
    errno = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view nom = e->d_name;
        if (nom != "." && nom != "..")
            noms.emplace_back(nom);
    }
    const bool lu = errno == 0;
    ::closedir(d);
    if (!lu)
        return std::nullopt;
    return noms;
}

} // namespace vek::systeme
