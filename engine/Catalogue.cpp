#include "Catalogue.h"

#include "Ligne.h"

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
    channelsMaj_.clear();
    noms_.clear();
    // L'entrée 0 (le texte vide) prend part à la recherche des doublons.
    channelsMaj_.emplace();
    noms_.emplace();
}

void Catalogue::AjouterChannel(std::string_view tag) {
    MettreEnMajuscules(tag, majuscules_);
    if (channelsMaj_.find(std::string_view{majuscules_}) != channelsMaj_.end())
        return;
    if (NbChannels >= MaxChannels) {
        LimiteChannelsAtteinte = true;
        return;
    }
    channelsMaj_.insert(majuscules_);
    TabChannels.emplace_back(tag);
    ++NbChannels;
}

void Catalogue::AjouterNom(std::string_view nom) {
    if (noms_.find(nom) != noms_.end())
        return;
    if (NbNoms >= MaxNoms) {
        LimiteNomsAtteinte = true;
        return;
    }
    noms_.emplace(nom);
    TabNoms.emplace_back(nom);
    ++NbNoms;
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

} // namespace vek
