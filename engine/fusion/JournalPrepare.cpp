#include "JournalPrepare.h"

#include <utility>

#include "LigneFusion.h"

namespace vek {

namespace {

constexpr std::size_t LignesParPaquet = 4096;
constexpr std::size_t OctetsParPaquet = std::size_t{1} << 19;
constexpr std::size_t AvanceMax = 2; // paquets pleins qui attendent la fusion, au plus

} // namespace

JournalPrepare::JournalPrepare(std::unique_ptr<SourceFichier> lecture, std::size_t rang,
                               JournalDeSource journal)
    : lecture_(std::move(lecture)), rang_(rang), journal_(std::move(journal)) {
    fil_ = std::jthread([this](std::stop_token arret) { Produire(arret); });
}

JournalPrepare::~JournalPrepare() = default;

void JournalPrepare::Produire(std::stop_token arret) {
    try {
        Preparer(arret);
    } catch (...) {
        // La mémoire épuisée (une ligne démesurée) : la fusion la reçoit à la place des lignes
        // suivantes, et la passe échoue comme pour toute autre.
        const std::lock_guard verrou(garde_);
        erreur_ = std::current_exception();
    }
    {
        const std::lock_guard verrou(garde_);
        fini_ = true;
    }
    signal_.notify_all();
}

void JournalPrepare::Preparer(std::stop_token arret) {
    bool fin = false;
    while (!fin) {
        PaquetDeLignes* p = nullptr;
        {
            std::unique_lock verrou(garde_);
            // Arrêté, le fil ne lit plus rien (wait rend vrai quand la place est libre, même
            // après la demande d'arrêt).
            if (!signal_.wait(verrou, arret, [this] { return pleins_.size() < AvanceMax; }) ||
                arret.stop_requested())
                break;
            if (libres_.empty()) {
                paquets_.push_back(std::make_unique<PaquetDeLignes>());
                p = paquets_.back().get();
            } else {
                p = libres_.back();
                libres_.pop_back();
            }
        }
        Remplir(*p);
        fin = lecture_->FinFichier();
        {
            const std::lock_guard verrou(garde_);
            pleins_.push_back(p);
        }
        signal_.notify_all();
    }
}

void JournalPrepare::Remplir(PaquetDeLignes& p) {
    // Un paquet qui a tenu une ligne démesurée rend sa place : il ne la garde pas jusqu'à la fin.
    if (p.octets.capacity() > 4 * OctetsParPaquet)
        std::string().swap(p.octets);
    p.octets.clear();
    p.lignes.clear();
    const bool reference = rang_ == 0;
    const std::int64_t correction = journal_.Correction();
    const std::string joueur = journal_.joueur.value_or("");
    while (p.lignes.size() < LignesParPaquet && p.octets.size() < OctetsParPaquet &&
           !lecture_->FinFichier()) {
        const std::string_view ligne = lecture_->LireLigne();
        const LigneAnalysee a = AnalyserPourFusion(ligne, tampon_);
        if (!reference && a.genre == GenreFusion::Prive)
            continue; // propre à un autre joueur
        LignePreparee l;
        l.numero = lecture_->NumeroDeLaLigne();
        if (a.secondes)
            dernierInstant_ = *a.secondes + correction;
        l.instant = dernierInstant_; // une ligne sans date suit la précédente
        l.debut = static_cast<std::uint32_t>(p.octets.size());
        if (!reference && a.genre == GenreFusion::Vous && !joueur.empty())
            AjouterLigneDeProximite(ligne, joueur, a.message, p.octets);
        else
            p.octets.append(ligne);
        DecalerEnPlace(p.octets, l.debut, a, correction, jour_);
        l.taille = p.octets.size() - l.debut;
        l.aCle = AjouterCle(a, joueur, journal_.memeJoueurQue, p.octets);
        l.tailleCle = p.octets.size() - l.debut - l.taille;
        if (l.aCle)
            l.empreinte = EmpreinteCle(p.Cle(l));
        p.lignes.push_back(l);
    }
}

LignePreparee* JournalPrepare::PaquetSuivant() {
    while (!courant_ || position_ >= courant_->lignes.size()) {
        if (epuise_)
            return nullptr;
        std::unique_lock verrou(garde_);
        if (courant_ && courant_->dansLaFenetre == 0)
            libres_.push_back(courant_);
        courant_ = nullptr;
        signal_.notify_all();
        signal_.wait(verrou, [this] { return !pleins_.empty() || fini_; });
        if (pleins_.empty()) {
            if (erreur_)
                std::rethrow_exception(std::exchange(erreur_, nullptr));
            epuise_ = true;
            return nullptr;
        }
        courant_ = pleins_.front();
        pleins_.pop_front();
        signal_.notify_all();
        courant_->dansLaFenetre = courant_->lignes.size();
        position_ = 0;
    }
    return &courant_->lignes[position_];
}

void JournalPrepare::Rendre(PaquetDeLignes* paquet) {
    if (--paquet->dansLaFenetre > 0 || paquet == courant_)
        return;
    {
        const std::lock_guard verrou(garde_);
        libres_.push_back(paquet);
    }
    signal_.notify_all();
}

SourceFichier& JournalPrepare::Lecture() {
    if (fil_.joinable()) {
        fil_.request_stop();
        fil_.join();
    }
    return *lecture_;
}

} // namespace vek
