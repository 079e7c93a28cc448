#include "Fils.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace vek {

void PrioriteDeFond() {
#if defined(__linux__)
    // Sous Linux, la gentillesse (nice) se règle fil par fil.
    const auto fil = static_cast<id_t>(::syscall(SYS_gettid));
    const int actuelle = ::getpriority(PRIO_PROCESS, fil);
    ::setpriority(PRIO_PROCESS, fil, actuelle + 5);
#endif
}

} // namespace vek
