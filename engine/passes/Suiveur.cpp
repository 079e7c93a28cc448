#include "Suiveur.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "Catalogue.h"
#include "Correspondance.h"
#include "Ligne.h"

#include "Lecture.h"
#include "TemoinJournal.h"

namespace vek {

namespace {

constexpr std::size_t TailleQueue = std::size_t{64} << 10;

// Personne ne voit de barre pendant un regard : la passe de comptage est sautée.
struct Muette final : Progression {
    bool Affichee() const override { return false; }
};

LigneSuivie LigneDe(const Enregistrement& e, const Modes& modes) {
    LigneSuivie l;
    l.genre = e.genre;
    if (!modes.ModeUnlessDate)
        l.heure = e.heure;
    if (e.genre == GenreEntree::Channel && !modes.ModeUnlessChannel)
        l.channel = e.channel;
    if (e.nomMontre)
        l.nom = e.nom;
    l.texte = e.texte;
    l.ligne = e.ligne;
    return l;
}

// Les octets de l'extrait de debut à fin ; rien s'il ne se lit pas jusque-là.
std::optional<std::string> Octets(const NomFichier& extrait, std::uint64_t debut,
                                  std::uint64_t fin) {
    const auto e = LireEmpreinte(extrait);
    if (!e || e->taille < fin)
        return std::nullopt;
    auto octets = LireOctetsSiMeme(extrait, *e, debut, static_cast<std::size_t>(fin - debut));
    if (!octets || octets->size() != fin - debut)
        return std::nullopt;
    return octets;
}

std::vector<std::optional<EmpreinteFichier>> Empreintes(const Journaux& journaux) {
    std::vector<std::optional<EmpreinteFichier>> e;
    for (const NomFichier& chemin : journaux.chemins)
        e.push_back(LireEmpreinte(chemin));
    return e;
}

// Le journal finit par une ligne sans fin de ligne.
bool FinitSansFinDeLigne(const NomFichier& journal) {
    const auto e = LireEmpreinte(journal);
    if (!e || e->taille == 0)
        return false;
    const auto dernier = LireOctetsSiMeme(journal, *e, e->taille - 1, 1);
    return dernier && !dernier->empty() && dernier->back() != '\n' && dernier->back() != '\r';
}

} // namespace

Selection SelectionDuRegard(const SelectionSuivie& s, const Catalogue& catalogue) {
    if (!s.tousChannels && !s.toutLeMonde)
        return s.selection;
    const auto nouveau = [](const std::unordered_set<std::string>& connus, std::string_view t) {
        return !connus.contains(std::string(t));
    };
    Selection r;
    for (std::size_t i = 0; i < s.selection.NombreChannels(); ++i)
        r.AjouterChannel(s.selection.Channel(i));
    if (s.tousChannels)
        for (const std::string_view texte : NoeudsChannels(catalogue))
            if (nouveau(s.channelsConnus, texte))
                r.AjouterChannel(texte);
    for (std::size_t i = 0; i < s.selection.NombreNoms(); ++i)
        r.AjouterNom(s.selection.Nom(i));
    if (s.toutLeMonde)
        for (const std::string_view texte : NoeudsNoms(catalogue))
            if (nouveau(s.nomsConnus, texte))
                r.AjouterNom(texte);
    return r;
}

Suiveur::Suiveur(Moteur& moteur, Journaux journaux, Periode periode, std::unique_ptr<Veille> veille,
                 ReglagesSuiveur reglages)
    : moteur_(moteur), journaux_(std::move(journaux)), periode_(periode),
      veille_(std::move(veille)), reglages_(reglages), vu_(Empreintes(journaux_)) {
    if (reglages_.depuisLeDebut)
        return;
    // Seulement ce que le jeu ajoutera : l'extrait de la dernière recherche est déjà connu.
    const NomFichier extrait = moteur_.CheminExtrait();
    if (const auto e = LireEmpreinte(extrait)) {
        lu_ = e->taille;
        queueLue_ = Octets(extrait, lu_ - std::min<std::uint64_t>(lu_, TailleQueue), lu_)
                        .value_or(std::string());
        // Les dernières minutes de l'extrait, déjà connues.
        LecteurTexte lecteur;
        if (lecteur.Ouvrir(extrait, 0))
            while (!lecteur.FinFichier())
                connues_.Noter(lecteur.LireLigne());
    }
    premier_ = false;
}

void Suiveur::Reveiller() {
    if (veille_)
        veille_->Reveiller();
}

bool Suiveur::Attendre(std::stop_token arret) {
    const std::stop_callback reveil(arret, [this] { Reveiller(); });
    const auto coup = veille_ && veille_->SignaleLaCroissance()
                          ? reglages_.coupDOeil
                          : reglages_.coupDOeilSansNotification;
    while (!arret.stop_requested()) {
        // Une dernière ligne laissée pour plus tard compte une fois le journal tu assez
        // longtemps : un regard de plus, même s'il ne bouge plus.
        const bool revoir = revoir_.exchange(false);
        const auto delai =
            revoir ? std::min(coup, moteur_.Reglages().delaiLigneInachevee + coup / 10) : coup;
        if (veille_)
            veille_->Attendre(delai);
        else
            moteur_.Reglages().horloge->Attendre(delai);
        if (arret.stop_requested())
            break;
        auto maintenant = Empreintes(journaux_);
        if (maintenant == vu_ && !revoir)
            continue; // rien de neuf : un stat, pas de lecture
        vu_ = std::move(maintenant);
        return true;
    }
    return false;
}

Issue<RegardSuivi> Suiveur::Regarder(const SelectionSuivie& selection, const Modes& modes,
                                     const ReglagesNettoyage& nettoyage, std::size_t maximum,
                                     std::stop_token arret) {
    Muette muette;
    auto recherche = moteur_.Rechercher({journaux_, periode_}, muette, arret);
    if (!recherche.ok())
        return recherche.Echec();
    RegardSuivi regard;
    regard.recherche = std::move(*recherche);
    const ResultatRecherche& r = regard.recherche;
    // La ligne rendue inachevée, relue par la recherche mais tombée hors de la période :
    // retirée.
    if (provisoire_ && r.suite && r.derniereRelue && !r.relueDansLExtrait) {
        regard.corrigee = true;
        provisoire_.reset();
    }
    const std::uint64_t depuis = Depuis(r, regard);
    const bool correction = provisoire_ && depuis == provisoire_->first;
    LireExtrait(r, depuis, correction, selection, modes, nettoyage, maximum, regard);
    premier_ = false;
    revoir_ = !r.derniereProvisoire && FinitSansFinDeLigne(journaux_.Premier());
    return regard;
}

std::uint64_t Suiveur::Depuis(const ResultatRecherche& r, RegardSuivi& regard) {
    relecture_ = false;
    if (premier_)
        return 0;
    if (r.suite)
        return r.derniereRelue ? std::min(r.debutSuite, lu_) : lu_;
    regard.avis = r.avisComplet;
    // Un extrait refait qui redonne ce qui a été rendu (jusqu'au début d'une ligne rendue
    // inachevée, qui a pu changer depuis) : la lecture reprend là.
    const std::uint64_t jusqua = provisoire_ ? provisoire_->first : lu_;
    if (jusqua == 0)
        return 0;
    const std::size_t exclus =
        static_cast<std::size_t>(std::min<std::uint64_t>(lu_ - jusqua, queueLue_.size()));
    const std::string_view attendu =
        std::string_view(queueLue_).substr(0, queueLue_.size() - exclus);
    const auto octets = Octets(r.extrait, jusqua - attendu.size(), jusqua);
    if (!attendu.empty() && octets && *octets == attendu)
        return jusqua;
    // D'autres lignes : seules celles que le suivi ne connaissait pas sont rendues.
    relecture_ = true;
    connues_.Relire();
    provisoire_.reset();
    return 0;
}

// La queue de ce qui a été lu : les octets d'avant depuis, gardés, puis ceux-ci.
void Suiveur::NoterQueue(std::uint64_t depuis, std::uint64_t fin, const std::string& lues) {
    if (depuis == lu_ && fin == lu_)
        return;
    std::string queue =
        depuis >= lu_ - std::min<std::uint64_t>(lu_, queueLue_.size()) && depuis <= lu_
            ? queueLue_.substr(0, queueLue_.size() - static_cast<std::size_t>(lu_ - depuis))
            : std::string();
    queue += lues;
    queueLue_ = queue.substr(queue.size() - std::min(queue.size(), TailleQueue));
    lu_ = fin;
}

// La dernière rendue est la dernière de l'extrait, et le jeu ne l'a pas achevée : la ligne
// provisoire, à corriger quand il l'achèvera.
void Suiveur::NoterProvisoire(const ResultatRecherche& r,
                              const std::optional<std::uint64_t>& derniereRendue, std::uint64_t fin,
                              RegardSuivi& regard) {
    if (!derniereRendue)
        return;
    provisoire_.reset();
    if (r.derniereProvisoire && !regard.lignes.empty() &&
        fin - *derniereRendue == regard.lignes.back().ligne.size() + 2)
        provisoire_ = {*derniereRendue, regard.lignes.back()};
    regard.derniereProvisoire = provisoire_.has_value();
}

void Suiveur::LireExtrait(const ResultatRecherche& r, std::uint64_t depuis, bool correction,
                          const SelectionSuivie& selection, const Modes& modes,
                          const ReglagesNettoyage& nettoyage, std::size_t maximum,
                          RegardSuivi& regard) {
    const Selection retenue = SelectionDuRegard(selection, *r.catalogue);
    const Nettoyeur nettoyeur(nettoyage, r.catalogue.get(), retenue);
    LecteurTexte lecteur;
    if (!lecteur.Ouvrir(r.extrait, depuis))
        return;
    std::deque<LigneSuivie> dernieres;
    TravailReecriture travail;
    TravailNettoyage tn;
    std::optional<Correspondeur> filtre;
    if (selection.filtre)
        filtre.emplace(*selection.filtre);
    std::optional<std::uint64_t> derniereRendue; // sa place dans l'extrait
    std::string lues;                            // les octets lus, pour la queue
    while (!lecteur.FinFichier()) {
        const std::uint64_t position = lecteur.DebutLigneSuivante();
        const std::string_view ligne = lecteur.LireLigne();
        lues.append(ligne).append("\r\n");
        if (lues.size() > 2 * TailleQueue)
            lues.erase(0, lues.size() - TailleQueue);
        const bool dejaVue = relecture_ && connues_.DejaVue(ligne);
        connues_.Noter(ligne);
        auto e = filtre && !filtre->Correspond(ligne)
                     ? std::nullopt
                     : FiltrerEnregistrement(ligne, retenue, modes, travail);
        const bool garde = e && nettoyeur.Nettoyer(*e, tn);
        if (correction && position == depuis) {
            // La ligne rendue inachevée, maintenant entière : corrigée une fois, si elle a changé.
            std::optional<LigneSuivie> l;
            if (garde)
                l = LigneDe(*e, modes);
            regard.corrigee = l != provisoire_->second;
            regard.correction = std::move(l);
            provisoire_.reset();
            continue;
        }
        if (!garde || dejaVue)
            continue;
        LigneSuivie l = LigneDe(*e, modes);
        ++regard.total;
        derniereRendue = position;
        if (dernieres.size() == maximum && maximum > 0)
            dernieres.pop_front();
        if (maximum > 0)
            dernieres.push_back(std::move(l));
    }
    const std::uint64_t fin = lecteur.FinDeLecture();
    connues_.FinDeRelecture();
    NoterQueue(depuis, fin, lues);
    regard.lignes.assign(std::make_move_iterator(dernieres.begin()),
                         std::make_move_iterator(dernieres.end()));
    NoterProvisoire(r, derniereRendue, fin, regard);
}

} // namespace vek
