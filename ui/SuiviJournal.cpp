#include "SuiviJournal.h"

vek::Issue<LotDirect> RegarderJournal(vek::Suiveur& suiveur, const Regard& regard,
                                      std::stop_token arret) {
    auto r =
        suiveur.Regarder(regard.selection, regard.modes, regard.nettoyage, regard.maximum, arret);
    if (!r.ok())
        return r.Echec();
    LotDirect lot{std::move(*r), nullptr};
    // Les teintes de la sélection du regard, telle que les sorties la montreraient.
    const vek::Catalogue& catalogue = *lot.regard.recherche.catalogue;
    const vek::Selection selection = vek::SelectionDuRegard(regard.selection, catalogue);
    const vek::Nettoyeur nettoyeur(regard.nettoyage, &catalogue, selection);
    lot.teintes = std::make_shared<const vek::TeintesDesNoms>(vek::TeintesDesNoms::Pour(
        catalogue, nettoyeur.Actif() ? nettoyeur.SelectionMontree() : selection));
    return lot;
}

SuiviJournal::SuiviJournal(std::shared_ptr<vek::Suiveur> suiveur, std::function<void()> changement)
    : suiveur_(std::move(suiveur)), changement_(std::move(changement)),
      fil_([this](std::stop_token arret) { Veiller(arret); }) {}

SuiviJournal::~SuiviJournal() {
    fil_.request_stop(); // réveille l'attente du suivi, ou celle du regard
    if (fil_.joinable())
        fil_.join();
}

void SuiviJournal::Regarde() {
    const std::lock_guard verrou(m_);
    regarde_ = true;
    cv_.notify_all();
}

void SuiviJournal::Veiller(std::stop_token arret) {
    while (suiveur_->Attendre(arret)) {
        {
            const std::lock_guard verrou(m_);
            regarde_ = false;
        }
        changement_();
        std::unique_lock verrou(m_);
        if (!cv_.wait(verrou, arret, [this] { return regarde_; }))
            return;
    }
}
