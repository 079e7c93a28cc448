// L'échange de noms sous Linux (renameat2) ; ailleurs, il n'existe pas.

#include "Dossiers.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>

namespace vek::systeme {

bool EchangerNoms(const std::string& a, const std::string& b) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
#else
    (void)a;
    (void)b;
    errno = ENOSYS;
    return false;
#endif
}

} // namespace vek::systeme
