#include "SourceFusion.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "Estimation.h"
#include "Ligne.h"

namespace vek {

namespace {

constexpr std::int64_t Tolerance = 2; // secondes

} // namespace

// Une ligne de la fenêtre : préparée par le fil de son journal, dans un paquet que la fusion rend
// quand elle la quitte.
struct SourceFusion::Entree {
    LignePreparee* ligne;
    PaquetDeLignes* paquet;
    JournalPrepare* journal;
    std::int64_t Instant() const { return ligne->instant; }
    std::size_t Source() const { return journal->Rang(); }
    std::string_view Cle() const { return paquet->Cle(*ligne); }
};

namespace {

// L'ordre de la fusion entre les têtes de deux journaux : l'heure corrigée, puis le rang du
// journal (dans un même journal, l'ordre est celui de ses lignes).
bool Avant(const LignePreparee& a, std::size_t sourceA, const LignePreparee& b,
           std::size_t sourceB) {
    return a.instant != b.instant ? a.instant < b.instant : sourceA < sourceB;
}

} // namespace

// L'horloge que consultent les fils des journaux, chacun à la fin du sien (une dernière ligne
// inachevée) : une horloge d'essai, qui garde son temps, n'est pas faite pour deux fils à la
// fois ; ils la prennent tour à tour. Celle de la machine, sans état, sert telle quelle.
class SourceFusion::HorlogeDesFils final : public Horloge {
public:
    explicit HorlogeDesFils(Horloge& horloge) : horloge_(horloge) {}
    Instant Maintenant() override {
        const std::lock_guard verrou(garde_);
        return horloge_.Maintenant();
    }
    void Attendre(std::chrono::milliseconds duree) override {
        const std::lock_guard verrou(garde_);
        horloge_.Attendre(duree);
    }

private:
    Horloge& horloge_;
    std::mutex garde_;
};

SourceFusion::SourceFusion(::vek::Journaux journaux, Horloge& horloge,
                           std::chrono::milliseconds delaiInachevee)
    : journaux_(std::move(journaux)), horloge_(horloge), delai_(delaiInachevee),
      horlogeDesFils_(&horloge == &HorlogeMachine() ? nullptr
                                                    : std::make_unique<HorlogeDesFils>(horloge)) {}

SourceFusion::~SourceFusion() = default;

namespace {

std::uint64_t TailleDesJournaux(const std::vector<NomFichier>& chemins) {
    std::uint64_t total = 0;
    for (const NomFichier& chemin : chemins)
        if (const auto e = LireEmpreinte(chemin))
            total += e->taille;
    return total;
}

// Une horloge ou un joueur que rien n'a donné et que l'estimation n'a pas trouvé.
bool Incomplet(const std::vector<JournalDeSource>& journaux) {
    for (std::size_t i = 0; i < journaux.size(); ++i)
        if ((i > 0 && !journaux[i].avance && !journaux[i].avanceDonnee) ||
            (!journaux[i].joueur && !journaux[i].joueurDonne))
            return true;
    return false;
}

bool MemesEstimations(const std::vector<JournalDeSource>& a,
                      const std::vector<JournalDeSource>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.avance == y.avance && x.joueur == y.joueur && x.memeJoueurQue == y.memeJoueurQue;
    });
}

} // namespace

std::optional<std::string> SourceFusion::Reestimer() {
    if (!Incomplet(etat_.journaux))
        return std::nullopt;
    const std::uint64_t taille = TailleDesJournaux(journaux_.chemins);
    if (taille < 2 * etat_.octetsEstimes)
        return std::nullopt; // estimés de nouveau chaque fois que les journaux ont doublé
    std::vector<JournalDeSource> journaux = EstimerJournaux(journaux_.chemins, etat_.donnees);
    etat_.octetsEstimes = std::max<std::uint64_t>(taille, 1);
    if (MemesEstimations(journaux, etat_.journaux))
        return std::nullopt;
    return "les journaux ont grandi assez pour trouver une horloge ou un joueur : recherche "
           "complète";
}

Resultat SourceFusion::Ouvrir(const LectureLue* precedente) {
    suite_ = precedente && precedente->fusion;
    horsOrdre_.reset();
    if (suite_) {
        etat_ = *precedente->fusion;
        // Une horloge ou un joueur que les journaux, encore courts, n'avaient pas laissé
        // trouver : trouvés maintenant, la suite ne lit rien et tout est relu avec eux.
        horsOrdre_ = Reestimer();
    } else {
        std::vector<DonneesJournal> donnees;
        for (std::size_t i = 0; i < journaux_.chemins.size(); ++i)
            donnees.push_back(journaux_.Donnees(i));
        const std::uint64_t taille = TailleDesJournaux(journaux_.chemins);
        etat_ =
            EtatFusion{EstimerJournaux(journaux_.chemins, donnees), donnees, INT64_MIN, {}, taille};
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
    fenetre_.clear();
    prete_ = false;
    if (suite_ && horsOrdre_)
        return Resultat::Succes(); // tout sera relu : rien n'est lu de la suite
    for (std::size_t i = 0; i < journaux_.chemins.size(); ++i) {
        auto lecture = std::make_unique<SourceFichier>(
            journaux_.chemins[i], horlogeDesFils_ ? *horlogeDesFils_ : horloge_, delai_);
        if (Resultat r = lecture->OuvrirDepuis(suite_ ? &precedente->journaux[i] : nullptr); !r.ok)
            return r;
        flux_.push_back(std::make_unique<JournalPrepare>(std::move(lecture), i, etat_.journaux[i]));
    }
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

JournalPrepare* SourceFusion::ProchainFlux() {
    JournalPrepare* meilleur = nullptr;
    LignePreparee* tete = nullptr;
    for (auto& f : flux_)
        if (LignePreparee* t = f->Tete();
            t && (!meilleur || Avant(*t, f->Rang(), *tete, meilleur->Rang()))) {
            meilleur = f.get();
            tete = t;
        }
    return meilleur;
}

bool SourceFusion::Garder(Entree& tete) {
    LignePreparee& t = *tete.ligne;
    if (!t.aCle || t.appariee)
        return !t.supprimee;
    const std::string_view cle = tete.Cle();
    // Déjà rendu par une lecture précédente, depuis un autre journal : une copie en retard.
    for (MessageRendu& m : etat_.recents)
        if (m.source != tete.Source() && !m.Apparie(tete.Source()) &&
            m.cle.Egale(t.empreinte, cle) && std::llabs(m.instant - t.instant) <= Tolerance) {
            m.apparie.resize(flux_.size());
            m.apparie[tete.Source()] = true;
            return false;
        }
    // Les copies des autres journaux, une par journal, dans la fenêtre (à deux secondes).
    groupe_.assign(1, &tete);
    pris_.assign(flux_.size(), false);
    pris_[tete.Source()] = true;
    for (Entree& e : fenetre_) {
        const LignePreparee& l = *e.ligne;
        if (l.instant - t.instant > Tolerance)
            break;
        if (&e == &tete || pris_[e.Source()] || l.appariee || l.supprimee || !l.aCle ||
            l.empreinte != t.empreinte || e.Cle() != cle)
            continue;
        pris_[e.Source()] = true;
        groupe_.push_back(&e);
    }
    if (groupe_.size() == 1)
        return true;
    Entree* gardee = *std::min_element(groupe_.begin(), groupe_.end(),
                                       [](auto* a, auto* b) { return a->Source() < b->Source(); });
    for (Entree* e : groupe_) {
        e->ligne->appariee = true;
        e->ligne->supprimee = e != gardee;
        if (e->Source() < 64)
            gardee->ligne->appariees |= std::uint64_t{1} << e->Source();
    }
    return gardee == &tete;
}

void SourceFusion::NoterRendu(const Entree& tete) {
    // Le plus ancien, s'il a passé ses deux secondes, resservira (sa clé garde sa place).
    MessageRendu m;
    if (!etat_.recents.empty() &&
        etat_.recents.front().instant < etat_.dernierInstant - Tolerance) {
        m = std::move(etat_.recents.front());
        etat_.recents.pop_front();
    }
    m.instant = tete.Instant();
    m.source = tete.Source();
    m.cle.octets.assign(tete.Cle());
    m.cle.empreinte = tete.ligne->empreinte;
    // Ses copies déjà appariées dans la fenêtre ne le doublent plus.
    m.apparie.clear();
    if (const std::uint64_t a = tete.ligne->appariees)
        for (std::size_t i = 0; i < std::min<std::size_t>(flux_.size(), 64); ++i)
            if (a >> i & 1) {
                m.apparie.resize(flux_.size());
                m.apparie[i] = true;
            }
    etat_.recents.push_back(std::move(m));
}

bool SourceFusion::Preparer() {
    while (true) {
        // La fenêtre tient tout ce qui peut doubler sa tête : deux secondes de plus.
        while (JournalPrepare* f = ProchainFlux()) {
            LignePreparee* t = f->Tete();
            if (!fenetre_.empty() && t->instant > fenetre_.front().Instant() + Tolerance)
                break;
            fenetre_.push_back({t, f->PaquetDeTete(), f});
            f->Avancer();
        }
        if (fenetre_.empty())
            return false;
        const bool garder = Garder(fenetre_.front());
        const Entree tete = fenetre_.front();
        fenetre_.pop_front();
        if (!garder) {
            tete.journal->Rendre(tete.paquet);
            continue;
        }
        if (suite_ && tete.Instant() < etat_.dernierInstant && !horsOrdre_)
            horsOrdre_ = "un journal a écrit des lignes plus anciennes que la fin de l'extrait : "
                         "recherche complète";
        etat_.dernierInstant = std::max(etat_.dernierInstant, tete.Instant());
        if (tete.ligne->aCle)
            NoterRendu(tete);
        while (!etat_.recents.empty() &&
               etat_.recents.front().instant < etat_.dernierInstant - Tolerance)
            etat_.recents.pop_front();
        courante_.assign(tete.paquet->Ligne(*tete.ligne));
        sourceCourante_ = tete.Source();
        numeroCourant_ = tete.ligne->numero;
        tete.journal->Rendre(tete.paquet);
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
        if (Resultat r = f->Lecture().Verifier(); !r.ok)
            return r;
    return Resultat::Succes();
}

LectureLue SourceFusion::Lu() const {
    LectureLue lue;
    for (const auto& f : flux_) {
        auto l = f->Lecture().LuDuJournal();
        if (!l)
            return {};
        lue.journaux.push_back(std::move(*l));
    }
    lue.fusion = std::make_shared<const EtatFusion>(etat_);
    return lue;
}

void SourceFusion::Fermer() {
    for (auto& f : flux_)
        f->Lecture().Fermer();
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
