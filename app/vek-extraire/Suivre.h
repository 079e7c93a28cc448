#pragma once
// vek-extraire --suivre : après la recherche, les lignes retenues que le jeu ajoute au journal
// sont imprimées à mesure, réécrites selon les modes et nettoyées comme les sorties, jusqu'à
// l'arrêt demandé (Ctrl+C). Le suivi est celui du moteur (Suiveur.h).

#include <chrono>
#include <ostream>
#include <stop_token>
#include <string>

#include "Horloge.h"
#include "Moteur.h"
#include "Suiveur.h"

namespace vek {

class Messages;

struct ReglagesSuivi {
    // Nulle : la veille du système (notification doublée d'un coup d'œil) ; sinon, les attentes
    // entre deux regards sont les siennes (essais).
    Horloge* horloge = nullptr;
    // L'intervalle entre deux regards sur la taille du journal, quand le système ne signale pas
    // sa croissance : un regard ne coûte qu'un stat, et une ligne ajoutée est montrée au plus
    // tard un intervalle après son écriture.
    std::chrono::milliseconds intervalle{100};
    bool terminal = false; // la sortie est un terminal (voir TexteAffichable)
    // --tous-channels, --tout-le-monde : les channels et locuteurs qui apparaissent pendant le
    // suivi sont retenus aussi.
    bool tousChannels = false;
    bool toutLeMonde = false;
};

// Suit le journal depuis la dernière recherche de moteur (qui doit avoir réussi) : chaque fois
// qu'il a changé, les nouvelles lignes retenues sont imprimées sur out, en UTF-8, une fois
// chacune. Une dernière ligne sans fin de ligne n'est imprimée qu'achevée, ou après le silence
// du journal que le moteur attend (300 ms) ; achevée ensuite, elle est imprimée une fois de plus,
// entière. Un journal remplacé, tronqué ou réécrit est dit par messages, et le suivi reprend du
// nouveau fichier sans rien imprimer deux fois. Rend quand arret est demandé.
void SuivreJournal(Moteur& moteur, const Journaux& journaux, const Periode& periode,
                   const SelectionSuivie& selection, const Modes& modes,
                   const ReglagesNettoyage& nettoyage, std::ostream& out, Messages& messages,
                   std::stop_token arret, const ReglagesSuivi& reglages);

} // namespace vek
