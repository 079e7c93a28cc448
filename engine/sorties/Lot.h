#pragma once
// Le lot : des lignes consécutives de l'extrait ou du journal, et ce que les étapes d'une passe
// en tirent pour les suivantes (les états que chaque sortie y range). Les sorties le reçoivent
// (Puits.h) ; la chaîne de lots des passes le fait circuler.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Selection.h"

namespace vek {

// Ce qu'une étape garde d'un lot pour une étape suivante (une sortie, la mise en forme du lot) :
// rangé avec le lot, il tourne avec lui dans l'anneau.
struct EtatDeLot {
    virtual ~EtatDeLot() = default;
};

// Lignes consécutives d'un fichier, chacune rangée suivie de CR LF.
struct Lot {
    std::string octets;
    std::vector<std::size_t> fins; // fin de chaque ligne dans octets (avant son CR LF)
    std::string sortie;            // ce qu'une étape produit pour la suivante (la ligne réécrite
                                   // d'une ligne démesurée, gardée jusqu'à son écriture)
    // Pour un lot d'une seule ligne démesurée : sa ligne produite, désignée sans être recopiée
    // dans sortie (dans octets, ou dans sortie elle-même) ; sans objet si vide.
    std::string_view sortieLongue;
    std::string annexe; // un autre texte produit pour une ligne démesurée, s'il le faut
    std::string nettoyee, nettoyeeTexte; // sa ligne et son message nettoyés, s'il le faut
    // Les états que des étapes attachent au lot, par rang (créés au premier lot qu'elles voient).
    std::vector<std::unique_ptr<EtatDeLot>> etats;
    // Le journal d'où vient chaque ligne, par rang dans la fusion qui a écrit l'extrait ; vide
    // quand l'extrait vient d'un seul journal.
    std::vector<std::uint8_t> sources;
    std::uint64_t numero = 0; // rang du lot dans la chaîne, depuis 0
    Modes modes;              // modes d'extraction en vigueur pour ces lignes

    std::size_t NombreLignes() const { return fins.size(); }
    std::string_view Ligne(std::size_t i) const {
        const std::size_t debut = i == 0 ? 0 : fins[i - 1] + 2;
        return std::string_view(octets).substr(debut, fins[i] - debut);
    }
};

} // namespace vek
