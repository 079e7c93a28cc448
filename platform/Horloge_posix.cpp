#include "Horloge.h"

namespace vek {

std::tm TempsLocal(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

} // namespace vek
