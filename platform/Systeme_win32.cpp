// Ce que Windows fait à sa façon : ouvertures exclusives, disque, identité des fichiers par leur
// poignée, remplacement d'une cible en lecture seule ou ouverte ailleurs, dossier de l'exécutable.

#include "Systeme.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

#include <windows.h>

#include <shlobj.h>

#include "Chemins.h"
#include "Ecriture.h"
#include "Erreurs.h"

namespace vek {

namespace {

// Identité d'un fichier ordinaire ouvert : volume, index, taille, date, nombre de noms.
bool IdentiteParPoignee(HANDLE h, EmpreinteFichier& e, unsigned long* noms = nullptr) {
    BY_HANDLE_FILE_INFORMATION i{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &i) ||
        (i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    const auto mot = [](DWORD haut, DWORD bas) {
        return (static_cast<std::uint64_t>(haut) << 32) | bas;
    };
    e.taille = mot(i.nFileSizeHigh, i.nFileSizeLow);
    // Intervalles de 100 ns, en nanosecondes comme ailleurs.
    e.modification = mot(i.ftLastWriteTime.dwHighDateTime, i.ftLastWriteTime.dwLowDateTime) * 100;
    e.noeud = mot(i.nFileIndexHigh, i.nFileIndexLow);
    e.volume = i.dwVolumeSerialNumber;
    if (noms)
        *noms = i.nNumberOfLinks;
    return true;
}

} // namespace

namespace systeme {

int AllerA(std::FILE* f, Position p, int origine) {
    return _fseeki64(f, p, origine);
}

Position PositionActuelle(std::FILE* f) {
    return _ftelli64(f);
}

Position TailleOuverte(std::FILE* f) {
    EmpreinteFichier e;
    if (!IdentiteParPoignee(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f))), e))
        return -1;
    return static_cast<Position>(e.taille);
}

std::optional<EmpreinteFichier> EmpreinteOuverte(std::FILE* f) {
    EmpreinteFichier e;
    if (!IdentiteParPoignee(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f))), e))
        return std::nullopt;
    return e;
}

int ErrnoDeWindows(unsigned long code) {
    switch (code) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

namespace {

// Une poignée ouverte sans suivre de point d'analyse : elle désigne un fichier ordinaire, pas un
// lien ni une jonction (qu'on aurait ouverts eux-mêmes).
bool PoigneeOrdinaire(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION i{};
    return GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &i) &&
           (i.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Une poignée Windows devenue un FILE* ; nullptr (et la poignée fermée) si c'est impossible.
std::FILE* EnFlux(HANDLE h, int drapeaux, const char* mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), drapeaux);
    if (fd < 0) {
        CloseHandle(h);
        errno = EMFILE;
        return nullptr;
    }
    std::FILE* f = ::_fdopen(fd, mode);
    if (!f) {
        const int code = errno;
        ::_close(fd);
        errno = code;
    }
    return f;
}

} // namespace

std::FILE* CreerExclusif(const std::string& chemin) {
    // CREATE_NEW refuse un nom déjà pris, lien compris ; FILE_FLAG_OPEN_REPARSE_POINT fait que,
    // même si un point d'analyse apparaît sous ce nom, il n'est jamais suivi : la poignée est
    // vérifiée avant d'écrire.
    HANDLE h = CreateFileA(chemin.c_str(), GENERIC_WRITE | GENERIC_READ | DELETE,
                           FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = ErrnoDeWindows(GetLastError());
        return nullptr;
    }
    if (!PoigneeOrdinaire(h)) {
        CloseHandle(h);
        errno = EEXIST;
        return nullptr;
    }
    return EnFlux(h, _O_WRONLY | _O_BINARY, "wb");
}

std::FILE* OuvrirSiSeulNom(const std::string& chemin) {
    // Un lien symbolique (point d'analyse) n'est pas suivi ; un fichier qui a d'autres noms
    // (liens physiques) garde son contenu pour eux.
    HANDLE h = CreateFileA(chemin.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    EmpreinteFichier e;
    unsigned long noms = 0;
    if (!PoigneeOrdinaire(h) || !IdentiteParPoignee(h, e, &noms) || noms != 1) {
        CloseHandle(h);
        return nullptr;
    }
    return EnFlux(h, _O_RDWR | _O_BINARY, "r+b");
}

void LancerEcriture(std::FILE*, std::uint64_t, std::uint64_t) {}

int AttendreDisque(std::FILE* f) {
    return ::_commit(::_fileno(f)) == 0 ? 0 : DernierCode();
}

int Tronquer(std::FILE* f, std::uint64_t taille) {
    return _chsize_s(_fileno(f), static_cast<long long>(taille));
}

unsigned long NumeroProcessus() {
    return GetCurrentProcessId();
}

bool ProcessusVivant(unsigned long numero) {
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, numero);
    if (!h)
        return GetLastError() != ERROR_INVALID_PARAMETER; // ce numéro n'est plus attribué
    DWORD code = 0;
    const bool vivant = !GetExitCodeProcess(h, &code) || code == STILL_ACTIVE;
    CloseHandle(h);
    return vivant;
}

std::optional<IdentiteNom> IdentiteDuNom(const std::string& chemin) {
    HANDLE h =
        CreateFileA(chemin.c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION i{};
    const bool lu = GetFileInformationByHandle(h, &i) != 0;
    const bool ordinaire = PoigneeOrdinaire(h);
    CloseHandle(h);
    if (!lu)
        return std::nullopt;
    IdentiteNom r;
    r.volume = i.dwVolumeSerialNumber;
    r.noeud = (static_cast<std::uint64_t>(i.nFileIndexHigh) << 32) | i.nFileIndexLow;
    r.ordinaire = ordinaire;
    r.dossier = (i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                (i.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    return r;
}

int EchangerNoms(const std::string&, const std::string&) {
    return ENOSYS; // Windows n'échange pas deux noms d'un seul coup
}

int Renommer(const std::string& source, const std::string& cible) {
    // Une cible en lecture seule perd cet attribut pour être remplacée ; elle le retrouve si le
    // remplacement échoue. La source, elle, garde le sien.
    const DWORD attributs = GetFileAttributesA(cible.c_str());
    const bool lectureSeule =
        attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_READONLY) != 0;
    if (lectureSeule)
        SetFileAttributesA(cible.c_str(), attributs & ~DWORD{FILE_ATTRIBUTE_READONLY});
    // Un dossier (la page découpée) ne remplace rien : Windows refuse alors le remplacement, et
    // la validation ne le renomme que vers un nom libre.
    const DWORD attributsSource = GetFileAttributesA(source.c_str());
    const bool dossier = attributsSource != INVALID_FILE_ATTRIBUTES &&
                         (attributsSource & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const DWORD mode = dossier ? DWORD{MOVEFILE_WRITE_THROUGH}
                               : DWORD{MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH};
    if (MoveFileExA(source.c_str(), cible.c_str(), mode))
        return 0;
    const DWORD code = GetLastError();
    if (lectureSeule)
        SetFileAttributesA(cible.c_str(), attributs);
    if (code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION)
        return CodeOuvertAilleurs;
    return ErrnoDeWindows(code);
}

void SynchroniserDossier(const std::string&) {} // MOVEFILE_WRITE_THROUGH y pourvoit

void SynchroniserContenu(const std::string& dossier) {
    WIN32_FIND_DATAA f;
    const std::string base = dossier + "\\";
    HANDLE recherche = FindFirstFileA((base + "*").c_str(), &f);
    if (recherche == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((f.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
            continue;
        HANDLE h = CreateFileA((base + f.cFileName).c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            FlushFileBuffers(h);
            CloseHandle(h);
        }
    } while (FindNextFileA(recherche, &f));
    FindClose(recherche);
}

void DroitsAvantFermeture(std::FILE*, const std::string&) {}

void DroitsApresFermeture(const std::string& neuf, const std::string& ancien) {
    const DWORD attributs = GetFileAttributesA(ancien.c_str());
    if (attributs == INVALID_FILE_ATTRIBUTES || (attributs & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return;
    constexpr DWORD Gardes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    const DWORD actuels = GetFileAttributesA(neuf.c_str());
    if (actuels != INVALID_FILE_ATTRIBUTES && (attributs & Gardes) != 0)
        SetFileAttributesA(neuf.c_str(), (actuels & ~Gardes) | (attributs & Gardes));
}

void RendreSupprimable(const std::string& chemin) {
    _chmod(chemin.c_str(), _S_IREAD | _S_IWRITE);
}

bool CreerDossier(const std::string& chemin) {
    return _mkdir(chemin.c_str()) == 0 || errno == EEXIST;
}

std::string DossierDonneesUtilisateur() {
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local)
        return JoindreChemin(local, "VEK_Log");
    // Sans la variable (programme lancé avec un environnement vidé), le même dossier, demandé au
    // système : un dossier de secours qui manque renverrait l'écriture dans Program Files.
    char chemin[MAX_PATH + 1] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, chemin) ==
            S_OK &&
        chemin[0] != '\0')
        return JoindreChemin(chemin, "VEK_Log");
    return {};
}

} // namespace systeme

std::optional<EmpreinteFichier> LireEmpreinte(const std::string& chemin) {
    // Sans droit de lecture demandé : un fichier ouvert ailleurs, même en écriture, se décrit.
    HANDLE h = CreateFileA(chemin.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    EmpreinteFichier e;
    const bool ok = IdentiteParPoignee(h, e);
    CloseHandle(h);
    if (!ok)
        return std::nullopt;
    return e;
}

void OublierPagesEnMemoire(const std::string&) {}

std::optional<GenreFichier> GenreDuNom(const std::string& chemin) {
    struct stat info {};
    if (::stat(chemin.c_str(), &info) != 0)
        return std::nullopt;
    return (info.st_mode & S_IFMT) == S_IFDIR   ? GenreFichier::Dossier
           : (info.st_mode & S_IFMT) == S_IFREG ? GenreFichier::Ordinaire
                                                : GenreFichier::Autre;
}

std::string RepertoireExecutable() {
    char chemin[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, chemin, MAX_PATH);
    std::string s(chemin, n);
    const auto pos = s.find_last_of("/\\");
    if (pos == std::string::npos)
        return ".";
    if (pos == 0)
        return s.substr(0, 1);
    return s.substr(0, pos);
}

bool DossierAccessibleEnEcriture(const std::string& dossier) {
    // Essai réel : les droits Windows ne se lisent pas simplement.
    const std::string essai = JoindreChemin(dossier, ".vek-essai-ecriture");
    std::FILE* f = std::fopen(essai.c_str(), "wb");
    if (!f)
        return false;
    std::fclose(f);
    std::remove(essai.c_str());
    return true;
}

} // namespace vek
