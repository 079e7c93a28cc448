#include "ProgressionFenetre.h"

#include <climits>

namespace {

// La barre de progression compte en entiers.
int EntierBarre(std::uint64_t valeur) {
    return valeur >= static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(valeur);
}

} // namespace

void ProgressionFenetre::Commencer() {
    travail_ = CoteTravail{}; // le premier avancement part tout de suite
}

void ProgressionFenetre::Terminer() {
    Envoyer(true);
}

void ProgressionFenetre::Maximum(std::uint64_t maximum) {
    emit MaximumChange(EntierBarre(maximum));
}

void ProgressionFenetre::Valeur(std::uint64_t valeur) {
    travail_.valeur = valeur;
    travail_.valeurEnAttente = true;
    Envoyer(false);
}

void ProgressionFenetre::Compteur(std::uint64_t lignes) {
    travail_.lignes = lignes;
    travail_.lignesEnAttente = true;
    Envoyer(false);
}

void ProgressionFenetre::Envoyer(bool force) {
    if (!force) {
        // Appelé à chaque ligne : presque gratuit tant que l'intervalle n'est pas écoulé.
        if (++travail_.misesAJour % MisesAJourEntreLecturesHorloge != 1)
            return;
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
