// L'outil d'informations système sous Windows : présence d'un fichier par ses attributs.

#include "InfoSysteme.h"

#include <windows.h>

namespace vek {

bool ServicesInfoSystemeNatifs::FichierPresent(const std::string& chemin) {
    const DWORD attributs = GetFileAttributesA(chemin.c_str());
    if (attributs == INVALID_FILE_ATTRIBUTES)
        return false;
    constexpr DWORD exclus =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributs & exclus) == 0;
}

} // namespace vek
