#pragma once
// L'heure locale de la machine, et le temps qui passe tel que le voient les passes.

#include <chrono>
#include <ctime>

namespace vek {

struct EmpreinteFichier; // Fichiers.h

// Le moment t dans le fuseau de la machine ; sans partage entre fils (chaque appel a sa sortie).
std::tm TempsLocal(std::time_t t);

// Le temps des passes qui attendent qu'un fichier cesse de grandir : l'horloge de la machine, ou
// une horloge pilotée par les essais (qui font alors avancer le temps et écrire leurs fichiers
// sans dépendre du temps réel).
class Horloge {
public:
    using Instant = std::chrono::system_clock::time_point;
    virtual ~Horloge() = default;
    virtual Instant Maintenant() = 0;
    virtual void Attendre(std::chrono::milliseconds duree) = 0;
};

// L'horloge de la machine (partagée, sans état).
Horloge& HorlogeMachine();

// Le moment de la dernière modification notée dans une empreinte, sur l'horloge de la machine.
Horloge::Instant DateDeModification(const EmpreinteFichier& e);

} // namespace vek
