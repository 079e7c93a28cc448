#pragma once
// La veille d'un fichier qui grandit : une attente que le système réveille quand le fichier (ou
// son dossier) change, bornée par un délai pour le coup d'œil périodique qui la double.

#include <chrono>
#include <memory>
#include <vector>

#include "Encodages.h"

namespace vek {

// Ce que le suivi d'un journal attend entre deux regards. Les essais en donnent une qu'ils
// réveillent eux-mêmes.
class Veille {
public:
    virtual ~Veille() = default;
    // Attend au plus delai ; rend plus tôt quand le système signale un changement du fichier
    // (vrai) ou quand Reveiller est appelé (de n'importe quel fil).
    virtual bool Attendre(std::chrono::milliseconds delai) = 0;
    virtual void Reveiller() = 0;
    // Le système signale-t-il la croissance du fichier ? Sinon (pas de notification, ou une
    // notification qui la manque), seul le délai la fait voir : il faut le garder court.
    virtual bool SignaleLaCroissance() const = 0;
};

// La veille du système pour le fichier chemin : le dossier qui le contient est surveillé (un
// journal tourné, remplacé ou recréé se voit aussi). Sous Linux, inotify ; sous Windows, la
// notification de changement du dossier (elle manque la croissance d'un fichier que le jeu garde
// ouvert : le délai y supplée). Sans notification disponible, une veille qui n'attend que le
// délai ou le réveil.
// Pour plusieurs fichiers (les journaux d'une fusion), la même veille réveillée par n'importe
// lequel d'entre eux. Sous Linux, SignaleLaCroissance dit si chacun est veillé.
std::unique_ptr<Veille> VeilleDuSysteme(const std::vector<NomFichier>& chemins);
inline std::unique_ptr<Veille> VeilleDuSysteme(const NomFichier& chemin) {
    return VeilleDuSysteme(std::vector<NomFichier>{chemin});
}

} // namespace vek
