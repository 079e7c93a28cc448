#pragma once
// Ce que vek-extraire dit sur sa sortie d'erreur, et le code qu'il rend : le seul endroit qui
// écrit « vek-extraire : » devant un message et qui décide d'un code de sortie.
//
// Les échecs sont des Resultat, le type d'échec du projet : ceux des passes du moteur (code 1,
// ou 128 + signal pour une passe interrompue), et ceux de la ligne de commande elle-même, faits
// ici : une erreur d'utilisation (code 2), une recherche de mots qui n'a rien trouvé (code 3), ou
// un échec que l'exécution a déjà dit en détail.

#include <atomic>
#include <ostream>
#include <string>
#include <string_view>

#include "Erreurs.h"

namespace vek {

class ProgressionConsole;

inline constexpr int SortieSucces = 0;
inline constexpr int SortieEchecFichier = 1; // journal illisible, fichier impossible à écrire
inline constexpr int SortieErreurUsage = 2;  // option, date, argument ou nœud incorrect
// --chercher a lu tout le journal sans rien trouver. Ni 1 ni 2, qui disent un échec : un script
// distingue ainsi « rien » de « pas pu chercher » (grep rend 1 pour rien, mais 1 est déjà
// l'échec d'un fichier ici) ; sous 126, que les interpréteurs de commandes se réservent.
inline constexpr int SortieRienTrouve = 3;

// « texte » entre guillemets français.
std::string Guillemets(std::string_view texte);

// Une erreur d'utilisation : le message (une phrase, point compris), suivi du conseil de --help.
Resultat ErreurUtilisation(std::string message);
// Une erreur d'utilisation que l'exécution a déjà dite, avec son propre conseil.
Resultat UtilisationDejaDite();
// Un échec (code 1) que l'exécution a déjà dit.
Resultat EchecDejaDit();
// Une recherche sans résultat (code 3) : message, s'il n'est pas vide, est dit comme une remarque.
Resultat RienTrouve(std::string message);

class Messages {
public:
    // barre : la barre de progression, effacée avant chaque message (nulle : aucune) ; signal :
    // le numéro du signal qui a demandé l'arrêt (nul : aucun n'est attendu).
    explicit Messages(std::ostream& err, ProgressionConsole* barre = nullptr,
                      const std::atomic<int>* signal = nullptr)
        : err_(err), barre_(barre), signal_(signal) {}

    // « vek-extraire : message ».
    void Avertir(std::string_view message);
    // Une ligne qui complète le message précédent (une suggestion, un conseil), telle quelle.
    void Completer(std::string_view ligne);
    // Dit l'échec, s'il ne l'a pas été, et rend le code de sortie (0 pour un succès).
    int Conclure(const Resultat& issue);

private:
    std::ostream& err_;
    ProgressionConsole* barre_;
    const std::atomic<int>* signal_;
};

} // namespace vek
