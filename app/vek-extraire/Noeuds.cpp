#include "Noeuds.h"

#include <algorithm>
#include <string>
#include <utility>

#include "Ligne.h"

namespace vek {

namespace {

constexpr std::size_t MaxSuggestions = 5;

std::string Majuscules(std::string_view texte) {
    std::string sortie;
    MettreEnMajuscules(texte, sortie);
    return sortie;
}

} // namespace

// Indice (à partir de 0) du nœud de channel qui porte le texte, ou -1. Un channel est unique
// sans égard à la casse ; les crochets peuvent être omis.
long TrouverChannel(const Noeuds& noeuds, std::string_view texte) {
    const auto chercher = [&](std::string_view t) -> long {
        for (std::size_t i = 0; i < noeuds.size(); ++i)
            if (noeuds[i] == t)
                return static_cast<long>(i);
        const std::string maj = Majuscules(t);
        for (std::size_t i = 0; i < noeuds.size(); ++i)
            if (Majuscules(noeuds[i]) == maj)
                return static_cast<long>(i);
        return -1;
    };
    long i = chercher(texte);
    if (i < 0 && !texte.empty() && texte.front() != '[')
        i = chercher("[" + std::string(texte) + "]");
    return i;
}

// Indice du nœud de locuteur qui porte exactement le texte, ou -1 ; à défaut, le seul nœud
// dont le texte sans ses espaces aux bouts est le même (« Vos Whisps reçus »).
long TrouverNom(const Noeuds& noeuds, std::string_view texte) {
    for (std::size_t i = 0; i < noeuds.size(); ++i)
        if (noeuds[i] == texte)
            return static_cast<long>(i);
    long trouve = -1;
    for (std::size_t i = 0; i < noeuds.size(); ++i) {
        if (RognerEspaces(noeuds[i]) == RognerEspaces(texte)) {
            if (trouve >= 0)
                return -1; // ambigu
            trouve = static_cast<long>(i);
        }
    }
    return trouve;
}

// Les textes des nœuds les plus proches, casse ignorée, du plus proche au moins proche (ordre
// de l'arbre à égalité) : d'abord ceux qui contiennent le texte cherché, puis par distance
// d'édition.
Noeuds PlusProches(const Noeuds& noeuds, std::string_view texte) {
    const std::string maj = Majuscules(RognerEspaces(texte));
    std::vector<std::pair<std::size_t, std::size_t>> distances; // (rang, indice)
    distances.reserve(noeuds.size());
    for (std::size_t i = 0; i < noeuds.size(); ++i) {
        const std::string candidat = Majuscules(noeuds[i]);
        const bool contient = !maj.empty() && candidat.find(maj) != std::string::npos;
        // La distance ne compare que les premiers octets : sur des noms très longs, elle coûterait
        // le produit des longueurs, pour chaque nœud.
        constexpr std::size_t Compares = 64;
        distances.emplace_back(
            contient ? 0
                     : 1 + DistanceEdition(std::string_view(maj).substr(0, Compares),
                                           std::string_view(candidat).substr(0, Compares)),
            i);
    }
    std::stable_sort(distances.begin(), distances.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    Noeuds resultat;
    for (std::size_t k = 0; k < distances.size() && k < MaxSuggestions; ++k)
        resultat.push_back(noeuds[distances[k].second]);
    return resultat;
}

std::size_t DistanceEdition(std::string_view a, std::string_view b) {
    std::vector<std::size_t> precedente(b.size() + 1);
    std::vector<std::size_t> courante(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        precedente[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        courante[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t remplacement = precedente[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            courante[j] = std::min({precedente[j] + 1, courante[j - 1] + 1, remplacement});
        }
        std::swap(precedente, courante);
    }
    return precedente[b.size()];
}

} // namespace vek
