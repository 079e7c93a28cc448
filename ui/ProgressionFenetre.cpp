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
    travail_ = CoteTravail{}; // le premier avancement part tout de suite
}

void ProgressionFenetre::Terminer() {
    Envoyer(true);
}

void ProgressionFenetre::Maximum(double maximum) {
    emit MaximumChange(EntierBarre(maximum));
}

void ProgressionFenetre::Valeur(double valeur) {
    travail_.valeur = valeur;
    travail_.valeurEnAttente = true;
    Envoyer(false);
}

void ProgressionFenetre::Compteur(double lignes) {
    travail_.lignes = lignes;
    travail_.lignesEnAttente = true;
    Envoyer(false);
}

void ProgressionFenetre::Envoyer(bool force) {
    if (!force) {
        // Appelé à chaque ligne : presque gratuit tant que l'intervalle n'est pas écoulé.
        if (++travail_.misesAJour % MisesAJourEntreLecturesHorloge != 1)
            return;
        if (frein_)
            frein_();
        const auto maintenant = std::chrono::steady_clock::now();
        if (maintenant - travail_.dernierEnvoi < IntervalleAffichage)
            return;
        travail_.dernierEnvoi = maintenant;
    }
    if (travail_.valeurEnAttente)
        emit ValeurChange(EntierBarre(travail_.valeur));
    if (travail_.lignesEnAttente)
        emit CompteurChange(travail_.lignes);
    travail_.valeurEnAttente = false;
    travail_.lignesEnAttente = false;
}
