#pragma once
// Passe de comptage pour la barre de progression. Un grand fichier est compté dans un fil à part
// pendant que la passe principale avance déjà : la barre reçoit son maximum dès que le compte
// est connu, et ses valeurs à partir de là.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "Progression.h"

namespace vek {

class ComptageEnParallele {
public:
    ComptageEnParallele() = default;
    ~ComptageEnParallele() { Arreter(); }
    ComptageEnParallele(const ComptageEnParallele&) = delete;
    ComptageEnParallele& operator=(const ComptageEnParallele&) = delete;

    void Lancer(const std::string& chemin);
    // Le compte une fois connu ; rien tant qu'il court, ou s'il n'a pas pu lire le fichier.
    std::optional<std::uint64_t> Resultat() const {
        if (etat_.load(std::memory_order_acquire) != Etat::Fini)
            return std::nullopt;
        return lignes_;
    }
    void Arreter(); // interrompt le comptage et attend le fil

private:
    enum class Etat { Inactif, EnCours, Fini, Echec };
    std::atomic<Etat> etat_{Etat::Inactif};
    std::atomic<bool> arret_{false};
    std::uint64_t lignes_ = 0;
    std::thread fil_;
};

// Suit la progression d'une passe : le maximum (nombre de lignes plus un) est donné à la barre
// dès qu'il est connu ; avant, la barre n'est pas touchée.
class SuiviProgression {
public:
    SuiviProgression(Progression& progression, std::optional<std::uint64_t> lignes,
                     const ComptageEnParallele& comptage)
        : progression_(progression), comptage_(comptage) {
        if (lignes)
            DefinirMax(*lignes);
    }
    void Avancer(std::uint64_t lus) {
        if (!maxConnu_) {
            const auto lignes = comptage_.Resultat();
            if (!lignes)
                return;
            DefinirMax(*lignes);
        }
        progression_.Valeur(lus);
    }

private:
    void DefinirMax(std::uint64_t lignes) {
        progression_.Maximum(lignes + 1);
        maxConnu_ = true;
    }
    Progression& progression_;
    const ComptageEnParallele& comptage_;
    bool maxConnu_ = false;
};

} // namespace vek
