#include "Horloge.h"

#include <cstdint>

#include "Fichiers.h"

namespace vek {

std::tm TempsLocal(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

Horloge::Instant DateDeModification(const EmpreinteFichier& e) {
    return Horloge::Instant(std::chrono::duration_cast<Horloge::Instant::duration>(
        std::chrono::nanoseconds(static_cast<std::int64_t>(e.modification))));
}

} // namespace vek
