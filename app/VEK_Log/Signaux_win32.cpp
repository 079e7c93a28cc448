// Sous Windows, la fermeture de session passe par les messages de Qt (la fenêtre se ferme, la
// passe s'arrête comme à « Quitter ») : aucun signal à attendre.

#include "Signaux.h"

void PreparerSignauxDeFin() {}

void QuitterSurSignal(std::function<void(int)>) {}
