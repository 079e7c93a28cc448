#include "SourceFusion.h"

#include <algorithm>
#include <cstdlib>

#include "Estimation.h"
#include "Ligne.h"

namespace vek {

namespace {

constexpr std::int64_t Tolerance = 2; // secondes

} // namespace

// Une ligne lue, prête à être rendue : ses octets (réécrits), son heure corrigée, d'où elle vient.
struct SourceFusion::Entree {
    std::string ligne;
    std::int64_t instant = INT64_MIN;
    std::size_t source = 0;
    std::uint64_t rang = 0;   // parmi les lignes gardées de son journal
    std::uint64_t numero = 0; // sa ligne dans son journal (SourceLignes::NumeroDeLaLigne)
    std::optional<CleMessage> cle;
    bool appariee = false;  // membre d'un groupe de copies d'un même message
    bool supprimee = false; // une copie gardée ailleurs
    bool Avant(const Entree& e) const {
        return instant != e.instant ? instant < e.instant
               : source != e.source ? source < e.source
                                    : rang < e.rang;
    }
};

// Un journal de la fusion : sa lecture, son horloge, son joueur, sa ligne suivante.
struct SourceFusion::Flux {
    std::unique_ptr<SourceFichier> lecture;
    std::size_t rang = 0; // dans la fusion : 0 est la référence
    JournalDeSource journal;
    std::int64_t dernierInstant = INT64_MIN;
    std::uint64_t lues = 0;
    std::optional<Entree> tete;
};

SourceFusion::SourceFusion(::vek::Journaux journaux, Horloge& horloge,
                           std::chrono::milliseconds delaiInachevee)
    : journaux_(std::move(journaux)), horloge_(horloge), delai_(delaiInachevee) {}

SourceFusion::~SourceFusion() = default;

Resultat SourceFusion::Ouvrir(const LectureLue* precedente) {
    suite_ = precedente && precedente->fusion;
    if (suite_) {
        etat_ = *precedente->fusion;
    } else {
        std::vector<DonneesJournal> donnees;
        for (std::size_t i = 0; i < journaux_.chemins.size(); ++i)
            donnees.push_back(journaux_.Donnees(i));
        etat_ = EtatFusion{EstimerJournaux(journaux_.chemins, donnees), donnees, INT64_MIN, {}};
    }
    flux_.clear();
    // Chaque journal est là, et c'est un fichier ordinaire, avant qu'aucun ne soit lu.
    for (const NomFichier& chemin : journaux_.chemins)
        if (!FichierExiste(chemin)) {
            const auto genre = GenreDuFichier(chemin);
            return Resultat::Echec("Impossible de lire le journal", chemin,
                                   genre ? "ce n'est pas un fichier ordinaire (" +
                                               DescriptionGenre(*genre) + ")"
                                         : std::string("il n'existe pas"));
        }
    for (std::size_t i = 0; i < journaux_.chemins.size(); ++i) {
        auto f = std::make_unique<Flux>();
        f->rang = i;
        f->journal = etat_.journaux[i];
        f->lecture = std::make_unique<SourceFichier>(journaux_.chemins[i], horloge_, delai_);
        if (Resultat r = f->lecture->OuvrirDepuis(suite_ ? &precedente->journaux[i] : nullptr);
            !r.ok)
            return r;
        flux_.push_back(std::move(f));
    }
    for (auto& f : flux_)
        Avancer(*f);
    return Resultat::Succes();
}

std::optional<std::string> SourceFusion::RaisonDeToutRelire(const LectureLue& precedente) const {
    if (!precedente.fusion || precedente.journaux.size() != journaux_.chemins.size())
        return "d'autres journaux : recherche complète";
    for (std::size_t i = 0; i < journaux_.chemins.size(); ++i) {
        if (precedente.fusion->donnees[i] != journaux_.Donnees(i))
            return "une autre horloge ou un autre joueur donné : recherche complète";
        const SourceFichier un(journaux_.chemins[i], horloge_, delai_);
        if (auto raison = un.RaisonDeToutRelire(precedente.journaux[i]))
            return *raison;
    }
    return std::nullopt;
}

void SourceFusion::Avancer(Flux& f) {
    f.tete.reset();
    const bool reference = f.rang == 0;
    while (!f.lecture->FinFichier()) {
        const std::string_view ligne = f.lecture->LireLigne();
        const LigneAnalysee a = AnalyserPourFusion(ligne, tampon_);
        if (!reference && a.genre == GenreFusion::Prive)
            continue; // propre à un autre joueur
        Entree e;
        e.source = f.rang;
        e.rang = f.lues++;
        e.numero = f.lecture->NumeroDeLaLigne();
        if (a.secondes)
            f.dernierInstant = *a.secondes + f.journal.Correction();
        e.instant = f.dernierInstant;
        const std::string joueur = f.journal.joueur.value_or("");
        if (!reference && a.genre == GenreFusion::Vous && !joueur.empty())
            e.ligne =
                DecalerLigne(LigneDeProximite(ligne, joueur, a.message), f.journal.Correction());
        else
            e.ligne = DecalerLigne(ligne, f.journal.Correction());
        e.cle = CleDe(a, joueur, f.journal.memeJoueurQue);
        f.tete = std::move(e);
        return;
    }
}

SourceFusion::Flux* SourceFusion::ProchainFlux() {
    Flux* meilleur = nullptr;
    for (auto& f : flux_)
        if (f->tete && (!meilleur || f->tete->Avant(*meilleur->tete)))
            meilleur = f.get();
    return meilleur;
}

bool SourceFusion::Garder(Entree& tete) {
    if (!tete.cle || tete.appariee)
        return !tete.supprimee;
    // Déjà rendu par une lecture précédente, depuis un autre journal : une copie en retard.
    for (MessageRendu& m : etat_.recents)
        if (m.source != tete.source && !m.apparie[tete.source] && m.cle == *tete.cle &&
            std::llabs(m.instant - tete.instant) <= Tolerance) {
            m.apparie[tete.source] = true;
            return false;
        }
    // Les copies des autres journaux, une par journal, dans la fenêtre (à deux secondes).
    std::vector<Entree*> groupe{&tete};
    std::vector<bool> pris(flux_.size(), false);
    pris[tete.source] = true;
    for (Entree& e : fenetre_) {
        if (e.instant - tete.instant > Tolerance)
            break;
        if (&e == &tete || pris[e.source] || e.appariee || e.supprimee || !e.cle ||
            !(*e.cle == *tete.cle))
            continue;
        pris[e.source] = true;
        groupe.push_back(&e);
    }
    if (groupe.size() == 1)
        return true;
    Entree* gardee = *std::min_element(groupe.begin(), groupe.end(),
                                       [](auto* a, auto* b) { return a->source < b->source; });
    for (Entree* e : groupe) {
        e->appariee = true;
        e->supprimee = e != gardee;
    }
    return gardee == &tete;
}

bool SourceFusion::Preparer() {
    while (true) {
        // La fenêtre tient tout ce qui peut doubler sa tête : deux secondes de plus.
        while (Flux* f = ProchainFlux()) {
            if (!fenetre_.empty() && f->tete->instant > fenetre_.front().instant + Tolerance)
                break;
            fenetre_.push_back(std::move(*f->tete));
            Avancer(*f);
        }
        if (fenetre_.empty())
            return false;
        const bool garder = Garder(fenetre_.front());
        Entree tete = std::move(fenetre_.front());
        fenetre_.pop_front();
        if (!garder)
            continue;
        if (suite_ && tete.instant < etat_.dernierInstant && !horsOrdre_)
            horsOrdre_ = "un journal a écrit des lignes plus anciennes que la fin de l'extrait : "
                         "recherche complète";
        if (tete.cle) {
            MessageRendu m{tete.instant, tete.source, *tete.cle,
                           std::vector<bool>(flux_.size(), false)};
            etat_.recents.push_back(std::move(m));
        }
        etat_.dernierInstant = std::max(etat_.dernierInstant, tete.instant);
        while (!etat_.recents.empty() &&
               etat_.recents.front().instant < etat_.dernierInstant - Tolerance)
            etat_.recents.pop_front();
        courante_ = std::move(tete.ligne);
        sourceCourante_ = tete.source;
        numeroCourant_ = tete.numero;
        return true;
    }
}

bool SourceFusion::FinFichier() {
    if (!prete_)
        prete_ = Preparer();
    return !prete_;
}

std::string_view SourceFusion::LireLigne() {
    if (!prete_)
        prete_ = Preparer();
    prete_ = false;
    return courante_;
}

Resultat SourceFusion::Verifier() {
    for (auto& f : flux_)
        if (Resultat r = f->lecture->Verifier(); !r.ok)
            return r;
    return Resultat::Succes();
}

LectureLue SourceFusion::Lu() const {
    LectureLue lue;
    for (const auto& f : flux_) {
        auto l = f->lecture->LuDuJournal();
        if (!l)
            return {};
        lue.journaux.push_back(std::move(*l));
    }
    lue.fusion = std::make_shared<const EtatFusion>(etat_);
    return lue;
}

void SourceFusion::Fermer() {
    for (auto& f : flux_)
        f->lecture->Fermer();
}

std::vector<std::string> SourceFusion::Avis() const {
    std::vector<std::string> avis;
    for (std::size_t i = 0; i < etat_.journaux.size(); ++i)
        avis.push_back(
            DireEstimation(journaux_.chemins[i], journaux_.chemins[0], etat_.journaux[i], i == 0));
    return avis;
}

Journaux JournauxDistincts(const Journaux& demandes) {
    Journaux journaux;
    std::vector<EmpreinteFichier> vus;
    for (std::size_t i = 0; i < demandes.chemins.size(); ++i) {
        const std::string chemin(RognerEspaces(demandes.chemins[i]));
        const auto e = LireEmpreinte(chemin);
        if (e && std::any_of(vus.begin(), vus.end(), [&](const EmpreinteFichier& v) {
                return v.noeud == e->noeud && v.volume == e->volume;
            }))
            continue;
        if (e)
            vus.push_back(*e);
        journaux.chemins.push_back(chemin);
        journaux.donnees.push_back(demandes.Donnees(i));
    }
    return journaux;
}

std::unique_ptr<SourceLignes> SourceDesJournaux(const Journaux& demandes, Horloge& horloge,
                                                std::chrono::milliseconds delaiInachevee) {
    // Le même fichier donné deux fois (par le même chemin ou par un lien) n'est lu qu'une fois.
    Journaux journaux = JournauxDistincts(demandes);
    if (journaux.chemins.size() == 1)
        return std::make_unique<SourceFichier>(journaux.chemins.front(), horloge, delaiInachevee);
    return std::make_unique<SourceFusion>(std::move(journaux), horloge, delaiInachevee);
}

} // namespace vek
