#include "SuiviJournal.h"

#include <deque>

#include "Chemins.h"
#include "Lecture.h"
#include "TemoinJournal.h"

LignesRetenues LireLignesRetenues(const vek::NomFichier& extrait, std::uint64_t debut,
                                  const vek::Selection& selection, const vek::Modes& modes,
                                  std::size_t maximum, const vek::Nettoyeur* nettoyeur) {
    LignesRetenues retenues;
    vek::LecteurTexte lecteur;
    if (maximum == 0 || !lecteur.Ouvrir(extrait, debut))
        return retenues;
    std::deque<LigneDirecte> dernieres;
    vek::TravailReecriture travail;
    vek::TravailNettoyage nettoyage;
    while (!lecteur.FinFichier()) {
        const std::string_view ligne = lecteur.LireLigne();
        auto e = vek::FiltrerEnregistrement(ligne, selection, modes, travail);
        if (!e || (nettoyeur && nettoyeur->Actif() && !nettoyeur->Nettoyer(*e, nettoyage)))
            continue;
        ++retenues.total;
        if (dernieres.size() == maximum)
            dernieres.pop_front();
        LigneDirecte& l = dernieres.emplace_back();
        l.genre = e->genre;
        if (!modes.ModeUnlessDate)
            l.heure = e->heure;
        if (e->genre == vek::GenreEntree::Channel && !modes.ModeUnlessChannel)
            l.channel = e->channel;
        if (e->nomMontre)
            l.nom = e->nom;
        l.texte = e->texte;
    }
    retenues.lignes.assign(std::make_move_iterator(dernieres.begin()),
                           std::make_move_iterator(dernieres.end()));
    return retenues;
}

vek::Issue<LotDirect> RegarderJournal(vek::ModuleVEK& module, const vek::NomFichier& journal,
                                      const vek::Periode& periode, const vek::Selection& selection,
                                      const vek::Modes& modes,
                                      const vek::ReglagesNettoyage& nettoyage, std::size_t maximum,
                                      std::stop_token arret) {
    module.Nettoyage = nettoyage;
    const auto avant = vek::LireEmpreinte(module.CheminExtrait());
    // Personne ne voit de barre : la passe de comptage est sautée.
    struct Muette final : vek::Progression {
        bool Affichee() const override { return false; }
    } muette;
    auto recherche = module.Rechercher(journal, periode, muette, arret);
    if (!recherche.ok())
        return recherche.Echec();
    // Une suite prolonge l'extrait : seules ses nouvelles lignes sont à montrer. Une recherche
    // complète (journal remplacé ou tronqué) l'a refait : tout ce qu'il retient est nouveau.
    const std::uint64_t depuis = recherche->suite && avant ? avant->taille : 0;
    LotDirect lot{std::move(*recherche), {}, std::nullopt};
    const vek::Nettoyeur nettoyeur(module.Nettoyage, lot.recherche.catalogue.get(), selection);
    lot.retenues =
        LireLignesRetenues(lot.recherche.extrait, depuis, selection, modes, maximum, &nettoyeur);
    if (const auto e = vek::LireEmpreinte(journal); e && e->taille > 0) {
        const auto dernier = vek::LireOctetsSiMeme(journal, *e, e->taille - 1, 1);
        if (dernier && !dernier->empty() && dernier->back() != '\n' && dernier->back() != '\r')
            lot.inachevee = e;
    }
    return lot;
}

SuiviJournal::SuiviJournal(vek::NomFichier journal, std::unique_ptr<vek::Veille> veille,
                           std::function<void()> changement, std::chrono::milliseconds coupDOeil)
    : journal_(std::move(journal)), veille_(std::move(veille)), changement_(std::move(changement)),
      coupDOeil_(coupDOeil), vu_(vek::LireEmpreinte(journal_)),
      fil_([this](std::stop_token arret) { Veiller(arret); }) {}

SuiviJournal::~SuiviJournal() {
    fil_.request_stop();
    veille_->Reveiller();
    if (fil_.joinable())
        fil_.join();
}

void SuiviJournal::Veiller(std::stop_token arret) {
    auto vu = vu_;
    while (!arret.stop_requested()) {
        veille_->Attendre(coupDOeil_);
        if (arret.stop_requested())
            break;
        const auto maintenant = vek::LireEmpreinte(journal_);
        if (maintenant == vu && !revoir_.exchange(false))
            continue; // rien de neuf : un stat, pas de lecture
        vu = maintenant;
        changement_();
    }
}
