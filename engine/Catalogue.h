#pragma once
// Catalogue des channels et des locuteurs d'une recherche, dans l'ordre de première
// apparition. Les recherches sont hachées : une ligne coûte O(1), résultats identiques à la
// recherche linéaire depuis l'entrée 0.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "IndexTextes.h"

namespace vek {

class Catalogue {
public:
    static constexpr std::int16_t MaxChannels = 100;
    static constexpr std::int16_t MaxNoms = 5000;

    Catalogue();
    void Reinitialiser();

    // Enregistre le tag sauf s'il l'est déjà, casse ignorée (Windows-1252) ; vrai s'il est ajouté.
    bool AjouterChannel(std::string_view tag);
    // Enregistre le nom sauf s'il l'est déjà exactement, ou s'il est vide ; vrai s'il est ajouté.
    bool AjouterNom(std::string_view nom);
    // Extraction d'une ligne entière puis ajout (appelées par la recherche, ExtraireChannel
    // d'abord).
    void ExtraireChannel(std::string_view ligne);
    void ExtraireNom(std::string_view ligne);
    // Les deux à la fois, sur une seule analyse du corps (même résultat, dans le même ordre).
    void Cataloguer(std::string_view ligne);

    // Catalogue en plusieurs morceaux : chaque catalogue partiel reçoit une partie des lignes,
    // chacune avec son rang (unique, croissant dans l'ordre du fichier ; un partiel reçoit ses
    // lignes dans cet ordre), et note le rang de la
    // première apparition de chaque entrée. Fusionner rend le catalogue qu'auraient donné toutes
    // les lignes cataloguées dans l'ordre : mêmes entrées, même ordre, mêmes limites.
    void Cataloguer(std::string_view ligne, std::uint64_t rang);
    static Catalogue Fusionner(const std::vector<Catalogue>& partiels);

    // Entrées 1 à Nb ; l'entrée 0 est toujours le texte vide.
    std::vector<std::string> TabChannels;
    std::vector<std::string> TabNoms;
    std::int16_t NbChannels = 0;
    std::int16_t NbNoms = 0;

    // Un tag ou un nom de plus a été ignoré parce que la table était pleine.
    bool LimiteChannelsAtteinte = false;
    bool LimiteNomsAtteinte = false;

private:
    std::vector<std::uint64_t> rangsChannels_, rangsNoms_; // rang de l'entrée i + 1
    IndexTextes channels_{MaxChannels + 1, true};          // casse ignorée
    IndexTextes noms_{MaxNoms + 1, false};
    std::string tampon_;
};

} // namespace vek
