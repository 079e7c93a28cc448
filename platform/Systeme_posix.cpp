// Ce que POSIX fait à sa façon : ouvertures sans suivre de lien, disque, identité des fichiers,
// échange et renommage des noms, droits, processus, dossier de l'exécutable.

#include "Systeme.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "Chemins.h"
#include "Ecriture.h"
#include "Erreurs.h"

namespace vek {

namespace {
// L'empreinte d'un fichier ordinaire d'après ce que le système en dit.
EmpreinteFichier EmpreinteDe(const struct stat& info) {
    EmpreinteFichier e;
    e.taille = static_cast<std::uint64_t>(info.st_size);
    e.modification = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                     static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
    e.noeud = static_cast<std::uint64_t>(info.st_ino);
    e.volume = static_cast<std::uint64_t>(info.st_dev);
    return e;
}
} // namespace

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
    return EmpreinteDe(info);
}

std::FILE* CreerExclusif(const std::string& chemin) {
    const int fd =
        ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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

bool ProcessusVivant(unsigned long numero) {
    // EPERM : il tourne, sous un autre utilisateur.
    return ::kill(static_cast<pid_t>(numero), 0) == 0 || errno != ESRCH;
}

std::optional<IdentiteNom> IdentiteDuNom(const std::string& chemin) {
    struct stat info {};
    if (::lstat(chemin.c_str(), &info) != 0)
        return std::nullopt;
    IdentiteNom i;
    i.volume = static_cast<std::uint64_t>(info.st_dev);
    i.noeud = static_cast<std::uint64_t>(info.st_ino);
    i.ordinaire = S_ISREG(info.st_mode);
    i.dossier = S_ISDIR(info.st_mode);
    i.aNous = info.st_uid == ::geteuid();
    return i;
}

int EchangerNoms(const std::string& a, const std::string& b) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0)
        return 0;
    // Un système de fichiers qui ne sait pas échanger le dit par EINVAL (ou ENOSYS).
    return errno == EINVAL || errno == ENOTSUP ? ENOSYS : DernierCode();
#else
    (void)a;
    (void)b;
    return ENOSYS;
#endif
}

int Renommer(const std::string& source, const std::string& cible) {
    return ::rename(source.c_str(), cible.c_str()) == 0 ? 0 : DernierCode();
}

void SynchroniserDossier(const std::string& dossier) {
    const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void SynchroniserContenu(const std::string& dossier) {
    const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
#if defined(__linux__)
    ::syncfs(fd);
    ::close(fd);
#else
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return;
    }
    while (const dirent* e = ::readdir(d)) {
        const int f = ::openat(fd, e->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (f < 0)
            continue;
        struct stat info {};
        if (::fstat(f, &info) == 0 && S_ISREG(info.st_mode))
            ::fsync(f);
        ::close(f);
    }
    ::closedir(d);
#endif
}

void DroitsAvantFermeture(std::FILE* neuf, const std::string& ancien) {
    struct stat info {};
    if (::lstat(ancien.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return; // nouvelle sortie (ou lien remplacé) : 0666 moins le masque, comme à la création
    const int fd = ::fileno(neuf);
    // Le propriétaire d'abord (le changer peut retirer des bits) ; seul root le peut, le groupe
    // se garde aussi quand l'utilisateur en est membre. Un refus n'est pas une erreur.
    if (::fchown(fd, info.st_uid, info.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), info.st_gid);
    // Les bits de mode, lecture seule comprise ; jamais les bits qui donnent des droits d'un
    // autre (set-uid, set-gid) à ce qui n'est qu'un texte.
    ::fchmod(fd, info.st_mode & 01777);
}

void DroitsApresFermeture(const std::string&, const std::string&) {}

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
    return EmpreinteDe(info);
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
