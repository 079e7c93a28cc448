#include "Enumeration.h"

#include <random>
#include <set>

namespace vek::coupure {

std::uint64_t NombreDeCombinaisons(const std::vector<std::size_t>& options) {
    constexpr std::uint64_t plafond = std::uint64_t{1} << 62;
    std::uint64_t n = 1;
    for (const std::size_t o : options)
        n = o == 0 ? 0 : (n > plafond / o ? plafond : n * o);
    return n;
}

namespace {

// Toutes, dans l'ordre d'un compteur (la première dimension varie la plus lentement).
std::vector<Combinaison> Toutes(const std::vector<std::size_t>& options) {
    std::vector<Combinaison> toutes;
    Combinaison c(options.size(), 0);
    while (true) {
        toutes.push_back(c);
        std::size_t d = options.size();
        while (d > 0 && ++c[d - 1] == options[d - 1])
            c[--d] = 0;
        if (d == 0)
            return toutes;
    }
}

} // namespace

std::vector<Combinaison> Combinaisons(const std::vector<std::size_t>& options, std::size_t seuil,
                                      std::uint64_t graine) {
    if (NombreDeCombinaisons(options) <= seuil)
        return Toutes(options);
    std::vector<Combinaison> choisies;
    std::set<Combinaison> vues;
    const auto ajouter = [&](const Combinaison& c) {
        if (choisies.size() < seuil && vues.insert(c).second)
            choisies.push_back(c);
    };
    Combinaison haut(options.size()), bas(options.size(), 0);
    for (std::size_t d = 0; d < options.size(); ++d)
        haut[d] = options[d] - 1;
    ajouter(haut);
    ajouter(bas);
    for (const Combinaison* fond : {&haut, &bas})
        for (std::size_t d = 0; d < options.size(); ++d)
            for (std::size_t o = 0; o < options[d]; ++o) {
                Combinaison c = *fond;
                c[d] = o;
                ajouter(c);
            }
    std::mt19937_64 hasard(graine);
    for (int essai = 0; choisies.size() < seuil && essai < 64 * static_cast<int>(seuil); ++essai) {
        Combinaison c(options.size());
        for (std::size_t d = 0; d < options.size(); ++d)
            c[d] = static_cast<std::size_t>(hasard() % options[d]);
        ajouter(c);
    }
    return choisies;
}

} // namespace vek::coupure
