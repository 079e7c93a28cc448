#include "Erreurs.h"

#include <cerrno>

#include <windows.h>

namespace vek {

std::string RaisonWindows(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return RaisonSysteme(ENOENT);
    case ERROR_ACCESS_DENIED:
        return RaisonSysteme(EACCES);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "fichier ouvert par un autre programme (fermez-le, puis recommencez)";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return RaisonSysteme(ENOSPC);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return RaisonSysteme(EEXIST);
    case ERROR_WRITE_PROTECT:
        return RaisonSysteme(EROFS);
    case ERROR_FILENAME_EXCED_RANGE:
        return RaisonSysteme(ENAMETOOLONG);
    case ERROR_DIRECTORY:
        return RaisonSysteme(ENOTDIR);
    default:
        return "erreur Windows " + std::to_string(code);
    }
}

} // namespace vek
