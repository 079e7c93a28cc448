#include "Horloge.h"

#include <thread>

namespace vek {

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

} // namespace vek
