#include "Horloge.h"

namespace vek {

std::tm TempsLocal(std::time_t t) {
    std::tm local{};
    localtime_s(&local, &t);
    return local;
}

} // namespace vek
