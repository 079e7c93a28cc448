#pragma once
// Les signaux de fin (SIGTERM, SIGHUP à la fermeture de session, SIGINT) arrêtent le programme à
// fenêtres comme « Quitter » : la passe en cours s'arrête et ses fichiers temporaires sont
// supprimés, les anciennes sorties restent. Un fichier par système.

#include <functional>

// À appeler avant de créer l'application (les fils qu'elle crée héritent des signaux bloqués).
// quitter est appelé sur le fil des fenêtres, avec le code de sortie (128 + signal).
void PreparerSignauxDeFin();
void QuitterSurSignal(std::function<void(int code)> quitter);
