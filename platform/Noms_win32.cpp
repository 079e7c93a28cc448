// Les noms d'un dossier sous Windows : leur liste, et le remplacement d'un fichier par un autre
// sans que le nom soit jamais libre (un lien physique pour l'ancien, puis un seul renommage).

#include "Systeme.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include "Chemins.h"
#include "Ecriture.h"
#include "Erreurs.h"

namespace vek::systeme {

namespace {

// FileRenameInfoEx et ses drapeaux (Windows 10 1607 et suivants), que les en-têtes ne donnent
// qu'aux programmes qui exigent ces versions.
constexpr auto RenommageEtendu = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD RemplacerSiExiste = 0x1;
constexpr DWORD SemantiquePosix = 0x2;

// Renomme source en cible à la façon de POSIX (Windows 10 1709 et suivants, NTFS) : une cible
// qu'un autre programme tient ouverte, en partageant sa suppression, est remplacée quand même.
// Le code de GetLastError, 0 si c'est fait.
DWORD RenommerCommePosix(const std::string& source, const std::string& cible) {
    const int n = MultiByteToWideChar(CP_ACP, 0, cible.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return ERROR_INVALID_PARAMETER;
    std::wstring large(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, cible.c_str(), -1, large.data(), n);
    std::wstring complet(4 * MAX_PATH, L'\0');
    const DWORD longueur = GetFullPathNameW(large.c_str(), static_cast<DWORD>(complet.size()),
                                            complet.data(), nullptr);
    if (longueur == 0 || longueur >= complet.size())
        return ERROR_INVALID_PARAMETER;
    HANDLE h = CreateFileA(source.c_str(), DELETE | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    const std::size_t taille =
        offsetof(FILE_RENAME_INFO, FileName) + (longueur + 1) * sizeof(WCHAR);
    std::vector<unsigned char> tampon(taille, 0);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(tampon.data());
    const DWORD drapeaux = RemplacerSiExiste | SemantiquePosix; // le champ Flags, en tête
    std::memcpy(tampon.data(), &drapeaux, sizeof drapeaux);
    info->RootDirectory = nullptr;
    info->FileNameLength = longueur * sizeof(WCHAR);
    std::memcpy(info->FileName, complet.data(), longueur * sizeof(WCHAR));
    const bool fait =
        SetFileInformationByHandle(h, RenommageEtendu, info, static_cast<DWORD>(taille)) != 0;
    const DWORD code = fait ? 0 : GetLastError();
    CloseHandle(h);
    return code;
}

// Un remplacement : à la façon de POSIX si le système la connaît, sinon MoveFileEx (qui refuse
// une cible ouverte ailleurs). 0, CodeOuvertAilleurs ou un code errno.
int RemplacerUneFois(const std::string& source, const std::string& cible) {
    DWORD code = RenommerCommePosix(source, cible);
    if (code == 0)
        return 0;
    if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) {
        if (MoveFileExA(source.c_str(), cible.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        code = GetLastError();
    }
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ? CodeOuvertAilleurs
                                                                          : ErrnoDeWindows(code);
}

// Retire le second nom d'un fichier. Supprimé tout de suite, il resterait pris tant qu'un
// autre programme tient le fichier ouvert (la suppression attend sa fermeture) : il est d'abord
// renommé en un temporaire de la cible, que cette attente ne gêne pas.
void RetirerSecondNom(const std::string& nom, const std::string& cible) {
    const std::string jete = NomTemporaire(cible);
    DeleteFileA(MoveFileExA(nom.c_str(), jete.c_str(), 0) ? jete.c_str() : nom.c_str());
}

} // namespace

int Remplacer(const std::string& source, const std::string& cible, const std::string& garage) {
    // Un ancien qu'un autre programme tient ouvert sans partager sa suppression ne se remplace
    // ni ne se renomme : rien n'est tenté (son second nom ne pourrait plus être retiré).
    HANDLE sonde =
        CreateFileA(cible.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (sonde == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? CodeOuvertAilleurs : ENOSYS;
    CloseHandle(sonde);
    if (!CreateHardLinkA(garage.c_str(), cible.c_str(), nullptr))
        return ENOSYS;
    // Les deux noms désignent le même fichier : l'attribut « lecture seule », retiré pour le
    // remplacement, est rendu à l'ancien sous le nom qui lui reste.
    const DWORD attributs = GetFileAttributesA(cible.c_str());
    const bool lectureSeule =
        attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_READONLY) != 0;
    if (lectureSeule)
        SetFileAttributesA(cible.c_str(), attributs & ~DWORD{FILE_ATTRIBUTE_READONLY});
    // Un lecteur qui tient l'ancien ouvert un instant fait refuser le remplacement : essayé de
    // nouveau, d'abord sans attendre, puis en rendant la main au système (Sleep(1)).
    int code = 0;
    for (int essai = 0;
         (code = RemplacerUneFois(source, cible)) == CodeOuvertAilleurs && essai < 50; ++essai)
        Sleep(essai < 10 ? 0 : 1);
    if (code == 0) {
        if (lectureSeule)
            SetFileAttributesA(garage.c_str(), attributs);
        return 0;
    }
    RetirerSecondNom(garage, cible);
    if (lectureSeule)
        SetFileAttributesA(cible.c_str(), attributs);
    return code;
}

std::optional<std::vector<std::string>> ListerDossier(const std::string& dossier) {
    WIN32_FIND_DATAA f;
    HANDLE recherche = FindFirstFileA(JoindreChemin(dossier, "*").c_str(), &f);
    if (recherche == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<std::string> noms;
    do {
        const std::string_view nom = f.cFileName;
        if (nom != "." && nom != "..")
            noms.emplace_back(nom);
    } while (FindNextFileA(recherche, &f));
    const bool lu = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(recherche);
    if (!lu)
        return std::nullopt;
    return noms;
}

} // namespace vek::systeme
