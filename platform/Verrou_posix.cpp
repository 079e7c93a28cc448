// Verrou du dossier de sortie : flock sur un fichier du dossier.

#include "Verrou.h"

#include "Fichiers.h"
#include "Systeme.h"
#include "Validation.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vek {

namespace {

const std::string Nom = "« " + std::string(NomVerrou) + " »";

std::string NomUtilisateur(uid_t uid) {
    std::vector<char> tampon(16384);
    passwd entree{};
    passwd* trouve = nullptr;
    if (::getpwuid_r(uid, &entree, tampon.data(), tampon.size(), &trouve) == 0 && trouve &&
        trouve->pw_name)
        return "« " + std::string(trouve->pw_name) + " »";
    return "n° " + std::to_string(uid);
}

// Pourquoi le fichier du verrou ne s'ouvre pas, en nommant le fichier : un lien, le verrou d'un
// autre utilisateur, ou la raison du système.
std::string RaisonOuverture(const std::string& chemin, int code) {
    struct stat info {};
    if (::lstat(chemin.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode))
            return Nom + " est un lien symbolique, que le programme ne suit jamais ; supprimez-le "
                         "(aucun Extracteur de LOG VEK n'en a besoin)";
        if (!S_ISREG(info.st_mode))
            return Nom + " n'est pas un fichier ordinaire (" +
                   DescriptionGenre(*GenreDuNom(chemin)) + ") ; supprimez-le ou renommez-le";
        if (info.st_uid != ::geteuid() && (code == EACCES || code == EPERM))
            return Nom + " appartient à l'utilisateur " + NomUtilisateur(info.st_uid) +
                   " ; s'il ne tourne plus aucun Extracteur de LOG VEK, ce fichier peut être "
                   "supprimé";
    }
    return Nom + " ne s'ouvre pas : " + RaisonSysteme(code);
}

// Ouvre le fichier du verrou sans suivre de lien. Lire suffit à flock : le verrou laissé par un
// autre utilisateur, lisible, sert aussi. Un nom libre est créé en exclusivité.
int OuvrirVerrou(const std::string& chemin) {
    for (int essai = 0; essai < 4; ++essai) {
        const int fd = ::open(chemin.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        const int cree =
            ::open(chemin.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (cree >= 0 || errno != EEXIST)
            return cree;
    }
    return -1;
}

} // namespace

bool VerrouDossier::Prendre(const std::string& dossier) {
    Relacher();
    chemin_ = JoindreChemin(dossier, NomVerrou);
    raison_.clear();
    occupe_ = false;
    // Le fichier peut disparaître entre l'ouverture et la prise (son ancien tenant le supprime en
    // partant) : le verrou ne vaut que s'il porte encore le nom.
    for (int essai = 0; essai < 8; ++essai) {
        const int fd = OuvrirVerrou(chemin_);
        if (fd < 0) {
            raison_ = RaisonOuverture(chemin_, DernierCode());
            return false;
        }
        struct stat tenu {};
        if (::fstat(fd, &tenu) != 0 || !S_ISREG(tenu.st_mode)) {
            ::close(fd);
            raison_ = RaisonOuverture(chemin_, EINVAL);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            ::close(fd);
            if (code == EWOULDBLOCK) {
                occupe_ = true;
                raison_ = RaisonOccupe;
            } else {
                raison_ = Nom + " ne se verrouille pas : " + RaisonSysteme(code);
            }
            return false;
        }
        struct stat nomme {};
        if (::lstat(chemin_.c_str(), &nomme) == 0 && tenu.st_ino == nomme.st_ino &&
            tenu.st_dev == nomme.st_dev) {
            descripteur_ = fd;
            return true;
        }
        ::close(fd);
    }
    raison_ = Nom + " change sans cesse de fichier";
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
                                  const std::vector<std::string_view>& bases) {
    DIR* d = ::opendir(dossier.c_str());
    if (!d)
        return 0;
    int supprimes = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string nom = e->d_name;
        unsigned long processus = 0;
        std::string_view sienne;
        for (const std::string_view base : bases)
            if (EstTemporaireDe(nom, base, &processus))
                sienne = base;
        if (sienne.empty() || systeme::ProcessusVivant(processus))
            continue;
        const std::string chemin = JoindreChemin(dossier, nom);
        const auto id = systeme::IdentiteDuNom(chemin);
        if (!id || !id->aNous)
            continue;
        // Un dossier temporaire (la page découpée) part avec tout ce qu'il contient, sauf
        // l'ancien dossier resté au garage, qui reprend sa place.
        if ((id->ordinaire || id->dossier) && TraiterOrphelin(dossier, nom, sienne, id->dossier))
            ++supprimes;
    }
    ::closedir(d);
    return supprimes;
}

} // namespace vek
