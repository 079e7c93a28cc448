#include "ProgressionConsole.h"

#include <algorithm>
#include <cmath>

namespace vek {

namespace {

// Largeur à l'écran d'un texte UTF-8 : un caractère par octet qui n'est pas un octet de suite.
std::size_t LargeurUtf8(std::string_view texte) {
    return static_cast<std::size_t>(std::count_if(texte.begin(), texte.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

ProgressionConsole::ProgressionConsole(std::ostream& erreur, bool dessiner)
    : erreur_(erreur), dessiner_(dessiner) {}

ProgressionConsole::~ProgressionConsole() {
    Effacer();
}

void ProgressionConsole::DefinirEtape(std::string_view libelle) {
    Effacer();
    etape_ = libelle;
    appels_ = 0;
    max_ = 0.0;
    valeur_ = 0.0;
    compteur_ = 0.0;
    dernierDessin_ = std::chrono::steady_clock::now();
}

void ProgressionConsole::TerminerEtape() {
    Effacer();
    etape_.clear();
}

void ProgressionConsole::Compteur(std::uint64_t lignes) {
    compteur_ = lignes;
    // Appelé à chaque ligne : l'horloge n'est consultée qu'une fois toutes les 4096 lignes.
    if (!dessiner_ || (++appels_ & MasqueAppels) != 0)
        return;
    const auto maintenant = std::chrono::steady_clock::now();
    if (maintenant - dernierDessin_ < Intervalle)
        return;
    dernierDessin_ = maintenant;
    Dessiner();
}

void ProgressionConsole::Dessiner() {
    constexpr int LargeurBarre = 30;
    const double part = std::clamp(
        max_ > 0 ? static_cast<double>(valeur_) / static_cast<double>(max_) : 0.0, 0.0, 1.0);
    const int pleins = static_cast<int>(part * LargeurBarre);
    std::string ligne = etape_.empty() ? std::string("Progression") : etape_;
    ligne += " [";
    ligne.append(static_cast<std::size_t>(pleins), '#');
    ligne.append(static_cast<std::size_t>(LargeurBarre - pleins), '.');
    ligne += "] ";
    ligne += std::to_string(static_cast<int>(part * 100.0));
    ligne += " %";
    if (compteur_ > 0) {
        ligne += "  ";
        ligne += std::to_string(compteur_);
        ligne += " lignes lues";
    }
    const std::size_t largeur = LargeurUtf8(ligne);
    erreur_ << '\r' << ligne;
    if (largeur < largeurAffichee_)
        erreur_ << std::string(largeurAffichee_ - largeur, ' ');
    erreur_.flush();
    largeurAffichee_ = std::max(largeur, largeurAffichee_);
}

void ProgressionConsole::Effacer() {
    if (largeurAffichee_ == 0)
        return;
    erreur_ << '\r' << std::string(largeurAffichee_, ' ') << '\r';
    erreur_.flush();
    largeurAffichee_ = 0;
}

} // namespace vek
