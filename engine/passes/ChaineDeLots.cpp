#include "ChaineDeLots.h"

#include <algorithm>

#include "Fils.h"

namespace vek {

namespace {

// Un lot agrandi par une ligne démesurée rend sa mémoire.
void Alleger(Lot& lot, std::size_t tailleLot) {
    if (lot.octets.capacity() > 4 * tailleLot)
        std::string().swap(lot.octets);
    if (lot.sortie.capacity() > 4 * tailleLot)
        std::string().swap(lot.sortie);
    for (std::string* s : {&lot.annexe, &lot.nettoyee, &lot.nettoyeeTexte})
        if (s->capacity() > 4 * tailleLot)
            std::string().swap(*s);
    lot.sortieLongue = {};
}

void Preparer(Lot& lot, std::size_t tailleLot, std::uint64_t numero) {
    Alleger(lot, tailleLot);
    lot.octets.clear();
    lot.sortie.clear();
    lot.annexe.clear();
    lot.fins.clear();
    lot.sources.clear();
    lot.octets.reserve(2 * tailleLot);
    lot.numero = numero;
}

} // namespace

int FilsDisponibles() {
    const unsigned coeurs = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(coeurs, 1u, 4u));
}

ChaineDeLots::ChaineDeLots(std::vector<Etape> etapes, std::size_t tailleLot, std::size_t nbLots)
    : etapes_(std::move(etapes)), tailleLot_(std::max<std::size_t>(tailleLot, 1)),
      places_(std::max<std::size_t>(nbLots, 2)), suivant_(etapes_.size(), 0),
      signaux_(etapes_.size() + 1) {
    for (Place& p : places_)
        p.etape = etapes_.size();
    Place& premiere = places_[0];
    Preparer(premiere.lot, tailleLot_, 0);
    premiere.etape = 0;
    premiere.pris = true; // en remplissage
    courant_ = &premiere.lot;
    try {
        for (std::size_t e = 0; e < etapes_.size(); ++e)
            for (int w = 0; w < std::max(etapes_[e].travailleurs, 1); ++w)
                fils_.emplace_back(&ChaineDeLots::Travailler, this, e, w);
    } catch (...) {
        Abandonner();
        throw;
    }
}

ChaineDeLots::~ChaineDeLots() {
    Abandonner();
}

void ChaineDeLots::AjouterLongue(std::string&& ligne) {
    if (!courant_->fins.empty()) {
        const Modes modes = courant_->modes; // ceux de la ligne, choisis pour le lot courant
        Envoyer();
        courant_->modes = modes;
    }
    Lot& lot = *courant_;
    lot.octets.swap(ligne);
    lot.octets.append("\r\n", 2);
    lot.fins.push_back(lot.octets.size() - 2);
    Envoyer();
}

void ChaineDeLots::Envoyer() {
    std::unique_lock<std::mutex> verrou(verrou_);
    if (!arret_) {
        Place& envoye = places_[envoyes_ % places_.size()];
        envoye.pris = false;
        ++envoyes_;
        Reveiller(0);
        Patienter(verrou,
                  [&] { return places_[envoyes_ % places_.size()].etape == etapes_.size(); });
    }
    if (arret_) {
        // Une étape a échoué ou la chaîne est abandonnée : les lignes ne vont plus nulle part.
        courant_ = &poubelle_;
        Preparer(poubelle_, tailleLot_, envoyes_);
        return;
    }
    Place& suivante = places_[envoyes_ % places_.size()];
    Preparer(suivante.lot, tailleLot_, envoyes_);
    suivante.etape = 0;
    suivante.pris = true;
    courant_ = &suivante.lot;
}

bool ChaineDeLots::Patienter(std::unique_lock<std::mutex>& verrou,
                             const std::function<bool()>& pret) {
    const auto condition = [&] { return arret_ || pret(); };
    if (!patienter_) {
        signaux_.back().wait(verrou, condition);
        return true;
    }
    while (!signaux_.back().wait_for(verrou, IntervalleAttente, condition)) {
        verrou.unlock();
        const bool continuer = patienter_();
        verrou.lock();
        if (!continuer) {
            arret_ = true;
            interrompue_ = true;
            ReveillerTous();
            return false;
        }
    }
    return true;
}

bool ChaineDeLots::Terminer() {
    bool continuer = true;
    {
        std::unique_lock<std::mutex> verrou(verrou_);
        Place& derniere = places_[envoyes_ % places_.size()];
        if (!arret_ && !courant_->fins.empty()) {
            derniere.pris = false;
            ++envoyes_;
            Reveiller(0);
        }
        fin_ = true;
        ReveillerTous();
        // Tous les lots envoyés ont passé la dernière étape quand ils sont tous libres.
        continuer = Patienter(verrou, [&] {
            for (const Place& p : places_)
                if (p.etape != etapes_.size() && !(p.pris && &p.lot == courant_))
                    return false;
            return true;
        });
    }
    ReveillerTous();
    for (std::thread& f : fils_)
        if (f.joinable())
            f.join();
    if (erreur_) {
        const std::exception_ptr e = erreur_;
        erreur_ = nullptr;
        std::rethrow_exception(e);
    }
    return continuer && !interrompue_;
}

void ChaineDeLots::Abandonner() {
    {
        std::lock_guard<std::mutex> verrou(verrou_);
        arret_ = true;
    }
    ReveillerTous();
    for (std::thread& f : fils_)
        if (f.joinable())
            f.join();
}

void ChaineDeLots::Travailler(std::size_t etape, int travailleur) {
    PrioriteDeFond();
    std::unique_lock<std::mutex> verrou(verrou_);
    for (;;) {
        Place* place = nullptr;
        signaux_[etape].wait(verrou, [&] {
            if (arret_)
                return true;
            const std::uint64_t rang = suivant_[etape];
            if (rang < envoyes_) {
                Place& p = places_[rang % places_.size()];
                if (p.etape == etape && !p.pris) {
                    place = &p;
                    return true;
                }
                return false; // l'étape précédente ne l'a pas encore rendu
            }
            return fin_;
        });
        if (arret_ || !place)
            return;
        place->pris = true;
        ++suivant_[etape];
        verrou.unlock();
        try {
            etapes_[etape].traiter(place->lot, travailleur);
        } catch (...) {
            verrou.lock();
            if (!erreur_)
                erreur_ = std::current_exception();
            arret_ = true;
            verrou.unlock();
            ReveillerTous();
            return;
        }
        if (etape + 1 == etapes_.size())
            Alleger(place->lot, tailleLot_); // sa ligne démesurée est écrite
        verrou.lock();
        place->pris = false;
        ++place->etape;
        // L'étape suivante peut le prendre (ou, après la dernière, le fil qui remplit les lots).
        Reveiller(etape + 1);
    }
}

void ChaineDeLots::ReveillerTous() {
    for (std::condition_variable& s : signaux_)
        s.notify_all();
}

} // namespace vek
