// Ce que Windows fait à sa façon : ouvertures exclusives, disque, identité des fichiers par leur
// poignée, remplacement d'une cible en lecture seule ou ouverte ailleurs, dossier de l'exécutable.

#include "Systeme.h"

#include <cerrno>
#include <cstdlib>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <optional>
#include <sys/stat.h>

#include <windows.h>

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

std::FILE* CreerExclusif(const std::string& chemin) {
    const int fd =
        ::_open(chemin.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* f = ::_fdopen(fd, "wb");
    if (!f) {
        const int code = errno;
        ::_close(fd);
        errno = code;
    }
    return f;
}

std::FILE* OuvrirSiSeulNom(const std::string& chemin) {
    // Un lien symbolique (point d'analyse) n'est pas suivi ; un fichier qui a d'autres noms
    // (liens physiques) garde son contenu pour eux.
    const DWORD attributs = GetFileAttributesA(chemin.c_str());
    if (attributs == INVALID_FILE_ATTRIBUTES ||
        (attributs & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return nullptr;
    std::FILE* f = std::fopen(chemin.c_str(), "r+b");
    if (!f)
        return nullptr;
    EmpreinteFichier e;
    unsigned long noms = 0;
    if (!IdentiteParPoignee(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f))), e, &noms) ||
        noms != 1) {
        std::fclose(f);
        return nullptr;
    }
    return f;
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

void RendreSupprimable(const std::string& chemin) {
    _chmod(chemin.c_str(), _S_IREAD | _S_IWRITE);
}

bool CreerDossier(const std::string& chemin) {
    return _mkdir(chemin.c_str()) == 0 || errno == EEXIST;
}

std::string DossierDonneesUtilisateur() {
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local)
        return JoindreChemin(local, "VEK_Log");
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

bool RemplacerFichier(const std::string& source, const std::string& cible, std::string* raison) {
    if (essai::EchecRemplacement != 0) {
        if (raison)
            *raison = RaisonSysteme(essai::EchecRemplacement);
        return false;
    }
    // Un ancien en lecture seule perd cet attribut pour être remplacé ; il le retrouve si le
    // remplacement échoue (ouvert par un autre programme, par exemple).
    const DWORD attributs = GetFileAttributesA(cible.c_str());
    const bool lectureSeule =
        attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_READONLY) != 0;
    if (lectureSeule)
        SetFileAttributesA(cible.c_str(), attributs & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (MoveFileExA(source.c_str(), cible.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD code = GetLastError();
    if (lectureSeule)
        SetFileAttributesA(cible.c_str(), attributs);
    if (raison)
        *raison = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION
                      ? "le fichier est ouvert dans un autre programme, ou protégé : fermez-le, "
                        "puis recommencez"
                      : RaisonWindows(code);
    return false;
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
