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
    channels_.Vider();
    noms_.Vider();
    // L'entrée 0 (le texte vide) prend part à la recherche des doublons.
    channels_.Ajouter({});
    noms_.Ajouter({});
}

void Catalogue::AjouterChannel(std::string_view tag) {
    if (channels_.Contient(tag))
        return;
    if (NbChannels >= MaxChannels) {
        LimiteChannelsAtteinte = true;
        return;
    }
    TabChannels.emplace_back(tag);
    ++NbChannels;
    channels_.Ajouter(tag);
}

void Catalogue::AjouterNom(std::string_view nom) {
    if (noms_.Contient(nom))
        return;
    if (NbNoms >= MaxNoms) {
        LimiteNomsAtteinte = true;
        return;
    }
    TabNoms.emplace_back(nom);
    ++NbNoms;
    noms_.Ajouter(nom);
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
