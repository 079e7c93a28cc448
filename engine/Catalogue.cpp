#include "Catalogue.h"

#include "Ligne.h"

#include <algorithm>

namespace vek {

Catalogue::Catalogue() {
    TabChannels.reserve(MaxChannels + 1);
    TabNoms.reserve(MaxNoms + 1);
    Reinitialiser();
}

void Catalogue::Reinitialiser() {
    TabChannels.assign(1, std::string{});
    TabNoms.assign(1, std::string{});
    NbChannels = 0;
    NbNoms = 0;
    LimiteChannelsAtteinte = false;
    LimiteNomsAtteinte = false;
    rangsChannels_.clear();
    rangsNoms_.clear();
    channels_.Vider();
    noms_.Vider();
    // L'entrée 0 (le texte vide) prend part à la recherche des doublons.
    channels_.Ajouter({});
    noms_.Ajouter({});
}

bool Catalogue::AjouterChannel(std::string_view tag) {
    if (channels_.Contient(tag))
        return false;
    if (NbChannels >= MaxChannels) {
        LimiteChannelsAtteinte = true;
        return false;
    }
    TabChannels.emplace_back(tag);
    ++NbChannels;
    channels_.Ajouter(tag);
    return true;
}

bool Catalogue::AjouterNom(std::string_view nom) {
    if (noms_.Contient(nom))
        return false;
    if (NbNoms >= MaxNoms) {
        LimiteNomsAtteinte = true;
        return false;
    }
    TabNoms.emplace_back(nom);
    ++NbNoms;
    noms_.Ajouter(nom);
    return true;
}

void Catalogue::ExtraireChannel(std::string_view ligne) {
    const std::string_view corps = CorpsDeLigne(ligne);
    if (corps.empty() || corps[0] != '[')
        return;
    AjouterChannel(AnalyserCorps(corps, tampon_).tag);
}

void Catalogue::ExtraireNom(std::string_view ligne) {
    AjouterNom(AnalyserCorps(CorpsDeLigne(ligne), tampon_).nom);
}

void Catalogue::Cataloguer(std::string_view ligne) {
    const Extraction e = AnalyserCorps(CorpsDeLigne(ligne), tampon_);
    if (e.genre == GenreCorps::Channel)
        AjouterChannel(e.tag);
    AjouterNom(e.nom);
}

void Catalogue::Cataloguer(std::string_view ligne, std::uint64_t rang) {
    const Extraction e = AnalyserCorps(CorpsDeLigne(ligne), tampon_);
    if (e.genre == GenreCorps::Channel && AjouterChannel(e.tag))
        rangsChannels_.push_back(rang);
    if (AjouterNom(e.nom))
        rangsNoms_.push_back(rang);
}

Catalogue Catalogue::Fusionner(const std::vector<Catalogue>& partiels) {
    // Chaque entrée d'un catalogue partiel y est à sa première apparition dans ses lignes ; la
    // plus ancienne des premières apparitions d'une entrée est sa première dans tout le fichier.
    // Rejouées dans l'ordre des rangs, les entrées donnent donc l'ordre, la graphie retenue (casse
    // des tags) et les limites du catalogue fait d'un seul tenant. Une entrée qu'un partiel plein
    // a ignorée vient après au moins Max autres entrées : elle n'aurait pas été retenue.
    std::vector<std::pair<std::uint64_t, const std::string*>> channels, noms;
    Catalogue fusion;
    for (const Catalogue& p : partiels) {
        for (std::size_t i = 0; i < p.rangsChannels_.size(); ++i)
            channels.emplace_back(p.rangsChannels_[i], &p.TabChannels[i + 1]);
        for (std::size_t i = 0; i < p.rangsNoms_.size(); ++i)
            noms.emplace_back(p.rangsNoms_[i], &p.TabNoms[i + 1]);
        fusion.LimiteChannelsAtteinte = fusion.LimiteChannelsAtteinte || p.LimiteChannelsAtteinte;
        fusion.LimiteNomsAtteinte = fusion.LimiteNomsAtteinte || p.LimiteNomsAtteinte;
    }
    const auto parRang = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::sort(channels.begin(), channels.end(), parRang);
    std::sort(noms.begin(), noms.end(), parRang);
    for (const auto& [rang, tag] : channels)
        if (fusion.AjouterChannel(*tag))
            fusion.rangsChannels_.push_back(rang);
    for (const auto& [rang, nom] : noms)
        if (fusion.AjouterNom(*nom))
            fusion.rangsNoms_.push_back(rang);
    return fusion;
}

} // namespace vek
