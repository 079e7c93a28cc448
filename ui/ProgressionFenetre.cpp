#include "ProgressionFenetre.h"

#include <climits>
#include <cmath>

namespace {

// La barre de progression compte en entiers.
int EntierBarre(double valeur) {
    if (!(valeur > 0.0))
        return 0;
    if (valeur >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(std::lround(valeur));
}

} // namespace

void ProgressionFenetre::Commencer(std::function<void()> frein) {
    frein_ = std::move(frein);
    valeur_ = 0.0;
    lignes_ = 0.0;
    enAttente_ = false;
    misesAJour_ = 0;
    // Le premier avancement part tout de suite.
    dernierEnvoi_ = std::chrono::steady_clock::time_point{};
}

void ProgressionFenetre::Terminer() {
    if (enAttente_)
        Envoyer(true);
}

void ProgressionFenetre::Maximum(double maximum) {
    emit MaximumChange(EntierBarre(maximum));
}

void ProgressionFenetre::Valeur(double valeur) {
    valeur_ = valeur;
    Envoyer(false);
}

void ProgressionFenetre::Compteur(double lignes) {
    lignes_ = lignes;
    Envoyer(false);
}

void ProgressionFenetre::Envoyer(bool force) {
    enAttente_ = true;
    if (!force) {
        // Appelé à chaque ligne : presque gratuit tant que l'intervalle n'est pas écoulé.
        if (++misesAJour_ % MisesAJourEntreLecturesHorloge != 1)
            return;
        if (frein_)
            frein_();
        const auto maintenant = std::chrono::steady_clock::now();
        if (maintenant - dernierEnvoi_ < IntervalleAffichage)
            return;
        dernierEnvoi_ = maintenant;
    }
    enAttente_ = false;
    emit AvancementChange(EntierBarre(valeur_), lignes_);
}
