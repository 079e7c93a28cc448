#include "OperationsDePasse.h"

#include "TexteQt.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// La barre de progression compte en entiers.
int EntierBarre(float valeur) {
    if (!(valeur > 0.0f))
        return 0;
    if (valeur >= static_cast<float>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(std::lround(valeur));
}

} // namespace

void OperationsDePasse::Commencer(std::string cheminJournal, std::function<void()> frein) {
    cheminJournal_ = std::move(cheminJournal);
    frein_ = std::move(frein);
    valeur_ = 0.0f;
    lignes_ = 0.0;
    enAttente_ = false;
    misesAJour_ = 0;
    // Le premier avancement part tout de suite.
    dernierEnvoi_ = std::chrono::steady_clock::time_point{};
}

void OperationsDePasse::Terminer() {
    if (enAttente_)
        Envoyer(true);
}

std::string OperationsDePasse::LireTexte(vek::ChampTexte champ) {
    // Seul le chemin du journal est relu pendant une passe ; il a été pris avant.
    return champ == vek::ChampTexte::CheminLog ? cheminJournal_ : std::string();
}

void OperationsDePasse::EcrireTexte(vek::ChampTexte champ, std::string_view texte) {
    emit TexteChange(static_cast<int>(champ), champ == vek::ChampTexte::CheminLog
                                                  ? DepuisNomFichier(texte)
                                                  : DepuisCp1252(texte));
}

void OperationsDePasse::DefinirMaxProgression(float max) {
    emit MaximumChange(EntierBarre(max));
}

void OperationsDePasse::DefinirValeurProgression(float valeur) {
    valeur_ = valeur;
    Envoyer(false);
}

void OperationsDePasse::DefinirCompteur(double lignes) {
    lignes_ = lignes;
    Envoyer(false);
}

void OperationsDePasse::Envoyer(bool force) {
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

bool OperationsDePasse::TraiterEvenements() {
    return !arret_.load(std::memory_order_relaxed);
}

bool OperationsDePasse::TraiterEvenementsEnAttente() {
    return !arret_.load(std::memory_order_relaxed);
}

void OperationsDePasse::DefinirPointeur(vek::Pointeur pointeur) {
    emit PointeurChange(static_cast<int>(pointeur));
}

void OperationsDePasse::OuvrirFenetreAnalyse() {
    emit FenetreAnalyseDemandee();
}

void OperationsDePasse::DefinirResumeAnalyse(std::string_view texte) {
    emit ResumeAnalyseChange(DepuisCp1252(texte));
}

void OperationsDePasse::Message(std::string_view texte, std::string_view titre, vek::Icone icone) {
    emit MessageDemande(DepuisCp1252(texte), DepuisCp1252(titre), static_cast<int>(icone));
}
