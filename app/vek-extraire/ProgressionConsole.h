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

    void Maximum(double maximum) override { max_ = maximum; }
    void Valeur(double valeur) override { valeur_ = valeur; }
    void Compteur(double lignes) override;
    bool Affichee() const override { return dessiner_; }

    // Nombre d'appels entre deux lectures de l'horloge, et intervalle minimal entre deux
    // dessins de la barre.
    static constexpr std::uint32_t MasqueAppels = 4096 - 1;
    static constexpr std::chrono::milliseconds Intervalle{100};

private:
    void Dessiner();

    std::ostream& erreur_;
    bool dessiner_;
    double max_ = 0.0;
    double valeur_ = 0.0;
    double compteur_ = 0.0;
    std::uint32_t appels_ = 0;
    std::chrono::steady_clock::time_point dernierDessin_{};
    std::string etape_;
    std::size_t largeurAffichee_ = 0; // caractères de la barre à effacer
};

} // namespace vek
