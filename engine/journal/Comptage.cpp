#include "Comptage.h"

#include "Fichiers.h"
#include "Fils.h"

namespace vek {

void ComptageEnParallele::Lancer(const std::string& chemin) {
    Arreter();
    arret_.store(false);
    etat_.store(Etat::EnCours);
    fil_ = std::thread([this, chemin] {
        PrioriteDeFond();
        LecteurTexte fichier;
        if (!fichier.Ouvrir(chemin)) {
            etat_.store(Etat::Echec, std::memory_order_release);
            return;
        }
        const std::uint64_t n = fichier.CompterLignes(&arret_);
        if (fichier.ErreurLecture() || arret_.load()) {
            etat_.store(Etat::Echec, std::memory_order_release);
            return;
        }
        lignes_ = n;
        etat_.store(Etat::Fini, std::memory_order_release);
    });
}

void ComptageEnParallele::Arreter() {
    arret_.store(true);
    if (fil_.joinable())
        fil_.join();
}

} // namespace vek
