#pragma once
// La requête de « Trouver la scène », la même dans la fenêtre et en ligne de commande :
//   mariee dragon        chaque mot présent, dans n'importe quel ordre, au début d'un mot du
//                        message (« mari » trouve « mariage » et « Mariée », pas « démariage ») ;
//   "le château"         ces mots à la suite, dans cet ordre ;
//   -mot, -"une phrase"  les lignes qui les contiennent sont écartées ;
//   de:Aldric            le locuteur (de:Vous : ce que vous avez dit) ;
//   channel:Commerce     le channel, sans ses crochets, casse ignorée.
// Mots, phrases et locuteurs sont repliés (casse et accents, ligatures défaites : Repli.h). Seul
// le message est cherché, jamais la date, le tag ou le nom, sauf par de: et channel:.

#include <string>
#include <vector>

#include "Encodages.h"
#include "Erreurs.h"

namespace vek {

// Des mots qui se suivent dans le message, séparés par ce qui n'est ni lettre ni chiffre ; le
// dernier peut n'être que le début d'un mot. Un mot seul de la requête est un terme d'un mot, et
// « aujourd'hui » un terme de deux.
struct Terme {
    std::vector<std::string> mots; // repliés, jamais vides
    bool exclu = false;
    friend bool operator==(const Terme&, const Terme&) = default;
};

// Un locuteur ou un channel demandé (ou écarté, avec « - »).
struct Champ {
    std::string valeur; // de: replié ; channel: en majuscules, sans crochets
    bool exclu = false;
    friend bool operator==(const Champ&, const Champ&) = default;
};

// Une requête analysée. Une ligne lui correspond quand elle contient chaque terme retenu et
// aucun terme écarté, qu'elle est de l'un des locuteurs demandés (s'il y en a) et d'aucun des
// écartés, et de même pour les channels. Il y a toujours au moins une condition qui retient.
struct Requete {
    std::vector<Terme> termes;
    std::vector<Champ> locuteurs;
    std::vector<Champ> channels;
    friend bool operator==(const Requete&, const Requete&) = default;
};

// Analyse une requête écrite en UTF-8. Une requête mal formée (guillemet jamais fermé, « - »
// seul, rien que des exclusions, vide, caractère absent de Windows-1252…) rend un échec dont la
// raison dit quoi corriger, en français.
Issue<Requete> AnalyserRequete(VueUtf8 texte);

} // namespace vek
