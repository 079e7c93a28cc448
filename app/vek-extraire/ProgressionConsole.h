#pragma once
// La progression des passes de la ligne de commande : une barre dessinée sur la sortie
// d'erreur quand c'est un terminal, au plus dix fois par seconde.

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "Progression.h"

namespace vek {

class ProgressionConsole final : public Progression {
public:
    // erreur : flux de la barre ; dessiner : la barre est permise (terminal, pas -q).
    ProgressionConsole(std::ostream& erreur, bool dessiner);
    ~ProgressionConsole() override;
    ProgressionConsole(const ProgressionConsole&) = delete;
    ProgressionConsole& operator=(const ProgressionConsole&) = delete;

    // Libellé de la passe en cours, affiché devant la barre ; TerminerEtape efface la barre.
    void DefinirEtape(std::string_view libelle);
    void TerminerEtape();
    // Efface la barre avant un message.
    void Effacer();

    void Maximum(std::uint64_t maximum) override { max_ = maximum; }
    void Valeur(std::uint64_t valeur) override { valeur_ = valeur; }
    void Compteur(std::uint64_t lignes) override;
    bool Affichee() const override { return dessiner_; }

    // Nombre d'appels entre deux lectures de l'horloge, et intervalle minimal entre deux
    // dessins de la barre.
    static constexpr std::uint32_t MasqueAppels = 4096 - 1;
    static constexpr std::chrono::milliseconds Intervalle{100};

private:
    void Dessiner();

    std::ostream& erreur_;
    bool dessiner_;
    std::uint64_t max_ = 0;
    std::uint64_t valeur_ = 0;
    std::uint64_t compteur_ = 0;
    std::uint32_t appels_ = 0;
    std::chrono::steady_clock::time_point dernierDessin_{};
    std::string etape_;
    std::size_t largeurAffichee_ = 0; // caractères de la barre à effacer
};

} // namespace vek
