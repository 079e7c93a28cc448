#include "Fils.h"

#include <windows.h>

namespace vek {

void PrioriteDeFond() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

} // namespace vek
