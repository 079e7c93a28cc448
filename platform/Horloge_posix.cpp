#include "Horloge.h"

#include <cstdint>
#include <thread>

#include "Fichiers.h"

namespace vek {

std::tm TempsLocal(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

namespace {

class HorlogeReelle final : public Horloge {
public:
    Instant Maintenant() override { return std::chrono::system_clock::now(); }
    void Attendre(std::chrono::milliseconds duree) override { std::this_thread::sleep_for(duree); }
};

} // namespace

Horloge& HorlogeMachine() {
    static HorlogeReelle horloge;
    return horloge;
}

Horloge::Instant DateDeModification(const EmpreinteFichier& e) {
    return Horloge::Instant(std::chrono::duration_cast<Horloge::Instant::duration>(
        std::chrono::nanoseconds(static_cast<std::int64_t>(e.modification))));
}

} // namespace vek
