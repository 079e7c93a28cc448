// Ce que POSIX fait à sa façon : ouvertures sans suivre de lien, disque, identité des fichiers,
// remplacement atomique, dossier de l'exécutable.

#include "Systeme.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "Chemins.h"
#include "Ecriture.h"
#include "Erreurs.h"

namespace vek {

namespace systeme {

int AllerA(std::FILE* f, Position p, int origine) {
    return ::fseeko(f, static_cast<off_t>(p), origine);
}

Position PositionActuelle(std::FILE* f) {
    return static_cast<Position>(::ftello(f));
}

Position TailleOuverte(std::FILE* f) {
    struct stat info {};
    if (::fstat(::fileno(f), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<Position>(info.st_size);
}

std::optional<EmpreinteFichier> EmpreinteOuverte(std::FILE* f) {
    struct stat info {};
    if (::fstat(::fileno(f), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    EmpreinteFichier e;
    e.taille = static_cast<std::uint64_t>(info.st_size);
    e.modification = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                     static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
    e.noeud = static_cast<std::uint64_t>(info.st_ino);
    e.volume = static_cast<std::uint64_t>(info.st_dev);
    return e;
}

std::FILE* CreerExclusif(const std::string& chemin) {
    const int fd =
        ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        const int code = errno;
        ::close(fd);
        errno = code;
    }
    return f;
}

std::FILE* OuvrirSiSeulNom(const std::string& chemin) {
    // Ouvert sans suivre de lien (ni attendre un tube), puis examiné par le descripteur même.
    const int fd = ::open(chemin.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    std::FILE* f = nullptr;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1)
        f = ::fdopen(fd, "r+b");
    if (!f)
        ::close(fd);
    return f;
}

void LancerEcriture(std::FILE* f, std::uint64_t debut, std::uint64_t longueur) {
#if defined(__linux__) && defined(SYNC_FILE_RANGE_WRITE)
    ::sync_file_range(::fileno(f), static_cast<off_t>(debut), static_cast<off_t>(longueur),
                      SYNC_FILE_RANGE_WRITE);
#else
    (void)f;
    (void)debut;
    (void)longueur;
#endif
}

int AttendreDisque(std::FILE* f) {
    return ::fsync(::fileno(f)) == 0 ? 0 : DernierCode();
}

int Tronquer(std::FILE* f, std::uint64_t taille) {
    return ::ftruncate(::fileno(f), static_cast<off_t>(taille)) == 0 ? 0 : DernierCode();
}

unsigned long NumeroProcessus() {
    return static_cast<unsigned long>(::getpid());
}

void RendreSupprimable(const std::string&) {}

bool CreerDossier(const std::string& chemin) {
    return ::mkdir(chemin.c_str(), 0755) == 0 || errno == EEXIST;
}

std::string DossierDonneesUtilisateur() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return JoindreChemin(xdg, "vek-log");
    if (const char* home = std::getenv("HOME"); home && *home)
        return JoindreChemin(JoindreChemin(home, ".local/share"), "vek-log");
    return {};
}

} // namespace systeme

std::optional<EmpreinteFichier> LireEmpreinte(const std::string& chemin) {
    struct stat info {};
    if (::stat(chemin.c_str(), &info) != 0 || (info.st_mode & S_IFMT) != S_IFREG)
        return std::nullopt;
    EmpreinteFichier e;
    e.taille = static_cast<std::uint64_t>(info.st_size);
    e.modification = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                     static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
    e.noeud = static_cast<std::uint64_t>(info.st_ino);
    e.volume = static_cast<std::uint64_t>(info.st_dev);
    return e;
}

void OublierPagesEnMemoire(const std::string& chemin) {
#ifdef POSIX_FADV_DONTNEED
    // Sans attendre ni suivre de lien : un tube nommé sous ce nom ferait attendre sans fin.
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
#else
    (void)chemin;
#endif
}

std::optional<GenreFichier> GenreDuNom(const std::string& chemin) {
    struct stat info {};
    if (::lstat(chemin.c_str(), &info) != 0)
        return std::nullopt;
    switch (info.st_mode & S_IFMT) {
    case S_IFREG:
        return GenreFichier::Ordinaire;
    case S_IFLNK:
        return GenreFichier::Lien;
    case S_IFDIR:
        return GenreFichier::Dossier;
    case S_IFIFO:
        return GenreFichier::Tube;
    case S_IFCHR:
    case S_IFBLK:
        return GenreFichier::Peripherique;
    default:
        return GenreFichier::Autre;
    }
}

bool RemplacerFichier(const std::string& source, const std::string& cible, std::string* raison) {
    // Le nouveau prend le nom de l'ancien d'un seul renommage : à tout instant le nom désigne
    // l'ancien fichier ou le nouveau, et un renommage qui échoue laisse l'ancien en place. Un
    // lien symbolique sous ce nom est remplacé, pas suivi. Le dossier est ensuite écrit sur le
    // disque, pour que le nouveau nom survive à une coupure.
    if (essai::EchecRemplacement != 0) {
        if (raison)
            *raison = RaisonSysteme(essai::EchecRemplacement);
        return false;
    }
    errno = 0;
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    // Par-dessus un fichier ordinaire, ext4 écrit tout le nouveau sur le disque au moment d'un
    // renommage qui remplace (il le ferait attendre une seconde de plus pour 500 Mo) ; un
    // échange des deux noms, lui, est aussi atomique et ne le fait pas. L'ancien, qui porte alors
    // le nom temporaire, est supprimé ensuite. Un système qui ne sait pas échanger renomme.
    if (GenreDuNom(cible) == GenreFichier::Ordinaire &&
        ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, cible.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(source.c_str());
    } else
#endif
        if (std::rename(source.c_str(), cible.c_str()) != 0) {
        if (raison)
            *raison = RaisonSysteme(DernierCode());
        return false;
    }
    const std::size_t barre = cible.find_last_of('/');
    const std::string dossier = barre == std::string::npos ? std::string(".")
                                : barre == 0               ? std::string("/")
                                                           : cible.substr(0, barre);
    const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

std::string RepertoireExecutable() {
    char chemin[PATH_MAX + 1] = {};
    const ssize_t n = ::readlink("/proc/self/exe", chemin, PATH_MAX);
    std::string s = n > 0 ? std::string(chemin, static_cast<std::size_t>(n)) : std::string(".");
    const auto pos = s.find_last_of("/\\");
    if (pos == std::string::npos)
        return ".";
    if (pos == 0)
        return s.substr(0, 1);
    return s.substr(0, pos);
}

bool DossierAccessibleEnEcriture(const std::string& dossier) {
    return ::access(dossier.c_str(), W_OK | X_OK) == 0;
}

} // namespace vek
