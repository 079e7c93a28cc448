#pragma once
// Catalogue des channels et des locuteurs d'une recherche, dans l'ordre de première
// apparition. Les recherches sont hachées : une ligne coûte O(1).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "IndexTextes.h"

namespace vek {

class Catalogue {
public:
    static constexpr std::size_t MaxChannels = 100;
    static constexpr std::size_t MaxNoms = 5000;
    // Les entrées distinctes laissées de côté, une table pleine, sont comptées jusqu'à ce nombre.
    static constexpr std::size_t MaxIgnores = 60000;

    Catalogue() = default;
    // Une copie a ses propres entrées laissées de côté.
    Catalogue(const Catalogue& autre);
    Catalogue& operator=(const Catalogue& autre);
    Catalogue(Catalogue&&) noexcept = default;
    Catalogue& operator=(Catalogue&&) noexcept = default;

    void Reinitialiser();

    // Enregistre le tag sauf s'il l'est déjà, casse ignorée (Windows-1252), ou s'il est vide ;
    // vrai s'il est ajouté.
    bool AjouterChannel(std::string_view tag);
    // Enregistre le nom sauf s'il l'est déjà exactement, ou s'il est vide ; vrai s'il est ajouté.
    bool AjouterNom(std::string_view nom);
    // Le tag (ligne de channel) et le nom d'une ligne, sur une seule analyse du corps.
    void Cataloguer(std::string_view ligne);

    // Catalogue en plusieurs morceaux : chaque catalogue partiel reçoit une partie des lignes,
    // chacune avec son rang (unique, croissant dans l'ordre du fichier ; un partiel reçoit ses
    // lignes dans cet ordre), et note le rang de la première apparition de chaque entrée.
    // Fusionner rend le catalogue qu'auraient donné toutes les lignes cataloguées dans l'ordre :
    // mêmes entrées, même ordre, mêmes limites.
    void Cataloguer(std::string_view ligne, std::uint64_t rang);
    static Catalogue Fusionner(const std::vector<Catalogue>& partiels);
    // Le catalogue tel qu'il était avant la ligne de ce rang (celle-ci et les suivantes ôtées).
    Catalogue AvantLeRang(std::uint64_t rang) const;

    // Les entrées, de 0 à Nombre… - 1, dans l'ordre de première apparition ; chaque texte n'est
    // gardé qu'une fois.
    std::size_t NombreChannels() const { return channels_.Taille(); }
    std::size_t NombreNoms() const { return noms_.Taille(); }
    std::string_view Channel(std::size_t i) const { return channels_.Texte(i); }
    std::string_view Nom(std::size_t i) const { return noms_.Texte(i); }

    // Un tag ou un nom de plus a été ignoré parce que la table était pleine.
    bool LimiteChannelsAtteinte = false;
    bool LimiteNomsAtteinte = false;
    // Combien de tags et de noms distincts ont été laissés de côté (au plus MaxIgnores chacun).
    std::size_t ChannelsIgnores() const {
        return channelsIgnores_ ? channelsIgnores_->Taille() : 0;
    }
    std::size_t NomsIgnores() const { return nomsIgnores_ ? nomsIgnores_->Taille() : 0; }

private:
    // Note l'entrée qu'une table pleine refuse ; vrai si elle ne l'avait pas encore été.
    static bool Ignorer(std::unique_ptr<IndexTextes>& ignores, bool sansCasse,
                        std::string_view texte);

    std::vector<std::uint64_t> rangsChannels_, rangsNoms_; // rang de l'entrée i
    std::vector<std::uint64_t> rangsChannelsIgnores_, rangsNomsIgnores_;
    IndexTextes channels_{MaxChannels, true}; // casse ignorée
    IndexTextes noms_{MaxNoms, false};
    // Créés à la première entrée refusée : un catalogue qui ne déborde pas n'en paie rien.
    std::unique_ptr<IndexTextes> channelsIgnores_, nomsIgnores_;
    std::string tampon_;
};

// Les textes des deux arbres bâtis d'un catalogue : « Zone de proximité » puis les channels ;
// les locuteurs. Les vues désignent le catalogue.
std::vector<std::string_view> NoeudsChannels(const Catalogue& catalogue);
std::vector<std::string_view> NoeudsNoms(const Catalogue& catalogue);

} // namespace vek
