#pragma once
// Outils des tests du moteur : une progression qui note ce que la passe montre et peut agir
// pendant la passe (arrêt, modes changés), et les textes des arbres bâtis d'un catalogue.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Catalogue.h"
#include "Ligne.h"
#include "Progression.h"
#include "Selection.h"

namespace vek::test {

class ProgressionNotee : public Progression {
public:
    std::vector<std::uint64_t> maximums; // chaque maximum donné à la barre
    std::int64_t valeur = -1;            // la dernière valeur ; -1 : aucune
    std::int64_t valeurMax = -1;         // la plus grande valeur donnée
    std::uint64_t compteur = 0;          // le dernier compte de lignes lues
    int debuts = 0;
    bool affichee = true;
    // Appelé à chaque ligne lue par la recherche, avec son numéro (à partir de 1), avant son
    // traitement.
    std::function<void(std::uint64_t lignes)> surLigne;
    // Appelé à chaque avancement de la barre, avant la lecture de la ligne suivante : la valeur
    // est le nombre de lignes déjà lues et rangées.
    std::function<void(std::uint64_t valeur)> surValeur;

    void Debut() override { ++debuts; }
    void Maximum(std::uint64_t m) override { maximums.push_back(m); }
    void Valeur(std::uint64_t v) override {
        valeur = static_cast<std::int64_t>(v);
        valeurMax = std::max(valeurMax, valeur);
        if (surValeur)
            surValeur(v);
    }
    void Compteur(std::uint64_t n) override {
        compteur = n;
        if (surLigne)
            surLigne(n);
    }
    bool Affichee() const override { return affichee; }
};

// Les nœuds de l'arbre des channels (« Zone de proximité » d'abord) et de celui des noms.
inline std::vector<std::string> Channels(const Catalogue& c) {
    const auto noeuds = NoeudsChannels(c);
    return {noeuds.begin(), noeuds.end()};
}
inline std::vector<std::string> Noms(const Catalogue& c) {
    const auto noeuds = NoeudsNoms(c);
    return {noeuds.begin(), noeuds.end()};
}

// Les deux arbres de la fenêtre, avec leurs coches, bâtis d'un catalogue ; la sélection est
// prise comme la fenêtre la prend : les nœuds cochés, dans l'ordre des arbres.
struct ArbresCoches {
    std::vector<std::pair<std::string, bool>> channels, noms;

    void Remplir(const Catalogue& c) {
        channels.clear();
        noms.clear();
        for (const auto& t : Channels(c))
            channels.emplace_back(t, false);
        for (const auto& t : Noms(c))
            noms.emplace_back(t, false);
    }
    static void Cocher(std::vector<std::pair<std::string, bool>>& arbre, std::string_view texte,
                       bool coche = true) {
        for (auto& [t, c] : arbre)
            if (t == texte)
                c = coche;
    }
    static void ToutCocher(std::vector<std::pair<std::string, bool>>& arbre, bool coche = true) {
        for (auto& n : arbre)
            n.second = coche;
    }
    Selection Capturer() const {
        Selection s;
        for (const auto& [t, c] : channels)
            if (c)
                s.AjouterChannel(t);
        for (const auto& [t, c] : noms)
            if (c)
                s.AjouterNom(t);
        return s;
    }
};

} // namespace vek::test
