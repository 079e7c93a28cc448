// Verrou du dossier de sortie : flock sur un fichier du dossier.

#include "Verrou.h"

#include "Dossiers.h"

#include "Fichiers.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vek {

bool VerrouDossier::Prendre(const std::string& dossier) {
    Relacher();
    chemin_ = JoindreChemin(dossier, NomVerrou);
    raison_.clear();
    occupe_ = false;
    // Le fichier peut disparaître entre l'ouverture et la prise (son ancien tenant le supprime en
    // partant) : le verrou ne vaut que s'il porte encore le nom.
    for (int essai = 0; essai < 8; ++essai) {
        const int fd = ::open(chemin_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            raison_ = RaisonSysteme(errno);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            ::close(fd);
            if (code == EWOULDBLOCK) {
                occupe_ = true;
                raison_ = RaisonOccupe;
            } else {
                raison_ = RaisonSysteme(code);
            }
            return false;
        }
        struct stat tenu {};
        struct stat nomme {};
        if (::fstat(fd, &tenu) == 0 && ::lstat(chemin_.c_str(), &nomme) == 0 &&
            tenu.st_ino == nomme.st_ino && tenu.st_dev == nomme.st_dev) {
            descripteur_ = fd;
            return true;
        }
        ::close(fd);
    }
    raison_ = "le verrou du dossier change sans cesse de fichier";
    return false;
}

void VerrouDossier::Relacher() {
    if (descripteur_ < 0)
        return;
    // Supprimé avant d'être relâché : qui l'ouvre ensuite en crée un neuf.
    ::unlink(chemin_.c_str());
    ::close(descripteur_);
    descripteur_ = -1;
}

int SupprimerTemporairesOrphelins(const std::string& dossier,
                                  const std::vector<std::string>& sorties) {
    DIR* d = ::opendir(dossier.c_str());
    if (!d)
        return 0;
    int supprimes = 0;
    std::vector<std::string> prefixes;
    for (const std::string& sortie : sorties)
        prefixes.push_back(sortie + std::string(SuffixeTemporaire));
    while (const dirent* e = ::readdir(d)) {
        const std::string nom = e->d_name;
        for (const std::string& p : prefixes)
            if (nom.compare(0, p.size(), p) == 0) {
                // Un dossier temporaire (la page découpée) part avec tout ce qu'il contient.
                const std::string chemin = JoindreChemin(dossier, nom);
                if (::unlink(chemin.c_str()) == 0)
                    ++supprimes;
                else if (errno == EISDIR || errno == EPERM) {
                    SupprimerArborescence(chemin);
                    ++supprimes;
                }
            }
    }
    ::closedir(d);
    return supprimes;
}

} // namespace vek
