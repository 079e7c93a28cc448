#include "Catalogue.h"

#include "Ligne.h"

#include <algorithm>

namespace vek {

void Catalogue::Reinitialiser() {
    LimiteChannelsAtteinte = false;
    LimiteNomsAtteinte = false;
    rangsChannels_.clear();
    rangsNoms_.clear();
    rangsChannelsIgnores_.clear();
    rangsNomsIgnores_.clear();
    channels_.Vider();
    noms_.Vider();
    channelsIgnores_.reset();
    nomsIgnores_.reset();
}

namespace {

std::unique_ptr<IndexTextes> Copie(const std::unique_ptr<IndexTextes>& index) {
    return index ? std::make_unique<IndexTextes>(*index) : nullptr;
}

} // namespace

Catalogue::Catalogue(const Catalogue& autre)
    : LimiteChannelsAtteinte(autre.LimiteChannelsAtteinte),
      LimiteNomsAtteinte(autre.LimiteNomsAtteinte), rangsChannels_(autre.rangsChannels_),
      rangsNoms_(autre.rangsNoms_), rangsChannelsIgnores_(autre.rangsChannelsIgnores_),
      rangsNomsIgnores_(autre.rangsNomsIgnores_), channels_(autre.channels_), noms_(autre.noms_),
      channelsIgnores_(Copie(autre.channelsIgnores_)), nomsIgnores_(Copie(autre.nomsIgnores_)),
      tampon_(autre.tampon_) {}

Catalogue& Catalogue::operator=(const Catalogue& autre) {
    if (this != &autre) {
        Catalogue copie(autre);
        *this = std::move(copie);
    }
    return *this;
}

bool Catalogue::Ignorer(std::unique_ptr<IndexTextes>& ignores, bool sansCasse,
                        std::string_view texte) {
    if (!ignores)
        ignores = std::make_unique<IndexTextes>(MaxIgnores, sansCasse);
    if (ignores->Taille() >= MaxIgnores || ignores->Contient(texte))
        return false;
    ignores->Ajouter(texte);
    return true;
}

bool Catalogue::AjouterChannel(std::string_view tag) {
    if (tag.empty() || channels_.Contient(tag))
        return false;
    if (channels_.Taille() >= MaxChannels) {
        LimiteChannelsAtteinte = true;
        Ignorer(channelsIgnores_, true, tag);
        return false;
    }
    channels_.Ajouter(tag);
    return true;
}

bool Catalogue::AjouterNom(std::string_view nom) {
    if (nom.empty() || noms_.Contient(nom))
        return false;
    if (noms_.Taille() >= MaxNoms) {
        LimiteNomsAtteinte = true;
        Ignorer(nomsIgnores_, false, nom);
        return false;
    }
    noms_.Ajouter(nom);
    return true;
}

void Catalogue::Cataloguer(std::string_view ligne) {
    const Extraction e = AnalyserCorps(CorpsDeLigne(ligne), tampon_);
    if (e.genre == GenreCorps::Channel)
        AjouterChannel(e.tag);
    AjouterNom(e.nom);
}

void Catalogue::Cataloguer(std::string_view ligne, std::uint64_t rang) {
    const Extraction e = AnalyserCorps(CorpsDeLigne(ligne), tampon_);
    if (e.genre == GenreCorps::Channel) {
        const std::size_t ignores = ChannelsIgnores();
        if (AjouterChannel(e.tag))
            rangsChannels_.push_back(rang);
        else if (ChannelsIgnores() > ignores)
            rangsChannelsIgnores_.push_back(rang);
    }
    const std::size_t ignores = NomsIgnores();
    if (AjouterNom(e.nom))
        rangsNoms_.push_back(rang);
    else if (NomsIgnores() > ignores)
        rangsNomsIgnores_.push_back(rang);
}

Catalogue Catalogue::Fusionner(const std::vector<Catalogue>& partiels) {
    // Chaque entrée d'un catalogue partiel y est à sa première apparition dans ses lignes ; la
    // plus ancienne des premières apparitions d'une entrée est sa première dans tout le fichier.
    // Rejouées dans l'ordre des rangs, les entrées donnent donc l'ordre, la graphie retenue (casse
    // des tags) et les limites du catalogue fait d'un seul tenant. Une entrée qu'un partiel plein
    // a ignorée vient après au moins Max autres entrées : elle n'aurait pas été retenue. Les
    // entrées ignorées sont rejouées aussi, pour que leur compte soit celui du fichier entier.
    std::vector<std::pair<std::uint64_t, std::string_view>> channels, noms;
    Catalogue fusion;
    for (const Catalogue& p : partiels) {
        for (std::size_t i = 0; i < p.rangsChannels_.size(); ++i)
            channels.emplace_back(p.rangsChannels_[i], p.Channel(i));
        for (std::size_t i = 0; i < p.rangsNoms_.size(); ++i)
            noms.emplace_back(p.rangsNoms_[i], p.Nom(i));
        for (std::size_t i = 0; i < p.rangsChannelsIgnores_.size(); ++i)
            channels.emplace_back(p.rangsChannelsIgnores_[i], p.channelsIgnores_->Texte(i));
        for (std::size_t i = 0; i < p.rangsNomsIgnores_.size(); ++i)
            noms.emplace_back(p.rangsNomsIgnores_[i], p.nomsIgnores_->Texte(i));
        fusion.LimiteChannelsAtteinte = fusion.LimiteChannelsAtteinte || p.LimiteChannelsAtteinte;
        fusion.LimiteNomsAtteinte = fusion.LimiteNomsAtteinte || p.LimiteNomsAtteinte;
    }
    const auto parRang = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::sort(channels.begin(), channels.end(), parRang);
    std::sort(noms.begin(), noms.end(), parRang);
    for (const auto& [rang, tag] : channels)
        if (fusion.AjouterChannel(tag))
            fusion.rangsChannels_.push_back(rang);
    for (const auto& [rang, nom] : noms)
        if (fusion.AjouterNom(nom))
            fusion.rangsNoms_.push_back(rang);
    return fusion;
}

Catalogue Catalogue::AvantLeRang(std::uint64_t rang) const {
    Catalogue avant;
    for (std::size_t i = 0; i < rangsChannels_.size(); ++i)
        if (rangsChannels_[i] < rang && avant.AjouterChannel(Channel(i)))
            avant.rangsChannels_.push_back(rangsChannels_[i]);
    for (std::size_t i = 0; i < rangsNoms_.size(); ++i)
        if (rangsNoms_[i] < rang && avant.AjouterNom(Nom(i)))
            avant.rangsNoms_.push_back(rangsNoms_[i]);
    avant.LimiteChannelsAtteinte = LimiteChannelsAtteinte;
    avant.LimiteNomsAtteinte = LimiteNomsAtteinte;
    return avant;
}

std::vector<std::string_view> NoeudsChannels(const Catalogue& catalogue) {
    std::vector<std::string_view> noeuds{TexteZoneProximite};
    for (std::size_t i = 0; i < catalogue.NombreChannels(); ++i)
        noeuds.push_back(catalogue.Channel(i));
    return noeuds;
}

std::vector<std::string_view> NoeudsNoms(const Catalogue& catalogue) {
    std::vector<std::string_view> noeuds;
    for (std::size_t i = 0; i < catalogue.NombreNoms(); ++i)
        noeuds.push_back(catalogue.Nom(i));
    return noeuds;
}

} // namespace vek
