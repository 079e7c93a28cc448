#include "Fils.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace vek {

void PrioriteDeFond() {
#ifdef _WIN32
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#elif defined(__linux__)
    // Sous Linux, la gentillesse (nice) se règle fil par fil.
    const auto fil = static_cast<id_t>(::syscall(SYS_gettid));
    const int actuelle = ::getpriority(PRIO_PROCESS, fil);
    ::setpriority(PRIO_PROCESS, fil, actuelle + 5);
#endif
}

} // namespace vek
