// Windows n'échange pas deux noms d'un coup : le remplacement passe par deux renommages.

#include "Dossiers.h"

#include <cerrno>

namespace vek::systeme {

bool EchangerNoms(const std::string& a, const std::string& b) {
    (void)a;
    (void)b;
    errno = ENOSYS;
    return false;
}

} // namespace vek::systeme
