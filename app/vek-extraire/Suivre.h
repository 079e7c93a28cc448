#pragma once
// vek-extraire --suivre : après la recherche, les lignes retenues que le jeu ajoute au journal
// sont imprimées à mesure, réécrites selon les modes, jusqu'à l'arrêt demandé (Ctrl+C).

#include <chrono>
#include <ostream>
#include <stop_token>
#include <string>

#include "Horloge.h"
#include "ModuleVEK.h"
#include "Selection.h"

namespace vek {

class Messages;

struct ReglagesSuivi {
    // Nulle : la veille du système (notification doublée d'un coup d'œil) ; sinon, les attentes
    // entre deux regards sont les siennes (essais).
    Horloge* horloge = nullptr;
    // L'intervalle entre deux regards sur la taille du journal : un regard ne coûte qu'un
    // stat, et une ligne ajoutée est montrée au plus tard un intervalle après son écriture.
    std::chrono::milliseconds intervalle{100};
    // Le coup d'œil quand le système signale la croissance du journal (la notification fait le
    // reste) : rien ne tourne pendant un silence.
    static constexpr std::chrono::milliseconds CoupDOeilNotifie{1000};
    bool terminal = false; // la sortie est un terminal (voir TexteAffichable)
    // --tous-channels, --tout-le-monde : les channels et locuteurs qui apparaissent pendant le
    // suivi sont retenus aussi.
    bool tousChannels = false;
    bool toutLeMonde = false;
};

// Suit le journal depuis la dernière recherche de module (qui doit avoir réussi) : chaque fois
// qu'il a changé, la recherche est relancée (elle ne lit que la suite) et les nouvelles lignes
// retenues de l'extrait sont imprimées sur out, en UTF-8. Un journal remplacé, tronqué ou
// réécrit est dit par messages, et le suivi repart du nouveau fichier. Rend quand arret est
// demandé.
void SuivreJournal(ModuleVEK& module, const std::string& journal, const Periode& periode,
                   const Selection& selection, const ModesPartages& modes, std::ostream& out,
                   Messages& messages, std::stop_token arret, const ReglagesSuivi& reglages);

} // namespace vek
