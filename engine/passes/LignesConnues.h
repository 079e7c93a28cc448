#pragma once
// Les lignes de l'extrait que le suivi a déjà lues, sur les dernières minutes de jeu. Quand
// l'extrait est refait en entier (un journal remplacé, ou une fusion dont un journal a écrit en
// retard), seules les lignes qu'elles ne contiennent pas sont nouvelles, et rien de plus ancien
// qu'elles ne l'est : le suivi ne rend jamais deux fois une ligne, ni une ligne d'avant.

#include <cstdint>
#include <deque>
#include <string_view>
#include <unordered_map>

namespace vek {

class LignesConnues {
public:
    static constexpr std::int64_t FenetreSecondes = 600;

    // Une ligne lue de l'extrait (celles de plus de FenetreSecondes avant la plus récente sont
    // oubliées).
    void Noter(std::string_view ligne);
    // L'extrait est relu depuis son début : ce qui était connu devient la référence, et ce qui
    // est connu se refait à mesure.
    void Relire();
    // Pendant une relecture : vrai si la ligne était connue (une fois : la même ligne écrite deux
    // fois est deux lignes), ou plus ancienne que tout ce qui l'était.
    bool DejaVue(std::string_view ligne);
    void FinDeRelecture() { reference_.clear(); }

private:
    struct Fenetre {
        std::deque<std::pair<std::int64_t, std::uint64_t>> lignes; // instant, empreinte
        std::unordered_map<std::uint64_t, unsigned> comptes;
        void Ajouter(std::int64_t instant, std::uint64_t empreinte);
        void Oublier(); // la plus ancienne
        void clear() {
            lignes.clear();
            comptes.clear();
        }
    };
    Fenetre connues_, reference_;
};

} // namespace vek
