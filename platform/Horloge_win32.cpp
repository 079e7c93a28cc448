#include "Horloge.h"

#include <cstdint>

#include "Fichiers.h"

namespace vek {

namespace {
// Nanosecondes entre le 1er janvier 1601 (origine des dates de Windows) et le 1er janvier 1970 :
// plus que n'en tient un entier signé de 64 bits, le calcul se fait donc sans signe.
constexpr std::uint64_t DecalageWindows = std::uint64_t{11644473600} * 1000000000u;
} // namespace

std::tm TempsLocal(std::time_t t) {
    std::tm local{};
    localtime_s(&local, &t);
    return local;
}

Horloge::Instant DateDeModification(const EmpreinteFichier& e) {
    return Horloge::Instant(std::chrono::duration_cast<Horloge::Instant::duration>(
        std::chrono::nanoseconds(static_cast<std::int64_t>(e.modification - DecalageWindows))));
}

} // namespace vek
