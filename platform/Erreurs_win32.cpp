#include "Erreurs.h"

#include <cerrno>
#include <string>

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
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return "nom de fichier invalide";
    case ERROR_NOT_READY:
        return "le disque n'est pas prêt (support retiré ?)";
    case ERROR_CANT_RESOLVE_FILENAME:
    case ERROR_CANT_ACCESS_FILE:
        return RaisonSysteme(ELOOP);
    case ERROR_NOT_SAME_DEVICE:
        return RaisonSysteme(EXDEV);
    case ERROR_DIR_NOT_EMPTY:
        return RaisonSysteme(ENOTEMPTY);
    case ERROR_INVALID_PARAMETER:
    case ERROR_INVALID_FUNCTION:
        return RaisonSysteme(EINVAL);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return RaisonSysteme(ENOMEM);
    case ERROR_TOO_MANY_OPEN_FILES:
        return RaisonSysteme(EMFILE);
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
        return RaisonSysteme(ENOSYS);
    case ERROR_INVALID_HANDLE:
        return RaisonSysteme(EBADF);
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return RaisonSysteme(EPIPE);
    case ERROR_FILE_TOO_LARGE:
        return RaisonSysteme(EFBIG);
    case ERROR_CRC:
    case ERROR_SEEK:
    case ERROR_GEN_FAILURE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return RaisonSysteme(EIO);
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_UNEXP_NET_ERR:
        return "le dossier réseau n'est plus accessible";
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return RaisonSysteme(EACCES);
    case ERROR_DELETE_PENDING:
        return "le fichier est en cours de suppression";
    case ERROR_USER_MAPPED_FILE:
        return "le fichier est ouvert en mémoire par un autre programme";
    case ERROR_OPERATION_ABORTED:
        return RaisonSysteme(ECANCELED);
    default:
        return "erreur Windows " + std::to_string(code);
    }
}

} // namespace vek
