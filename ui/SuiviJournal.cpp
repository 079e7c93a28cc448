#include "SuiviJournal.h"

#include <deque>

#include "Chemins.h"
#include "Lecture.h"
#include "TemoinJournal.h"

LignesRetenues LireLignesRetenues(const vek::NomFichier& extrait, std::uint64_t debut,
                                  const vek::Selection& selection, const vek::Modes& modes,
                                  std::size_t maximum, const vek::Nettoyeur* nettoyeur,
                                  bool partielle) {
    LignesRetenues retenues;
    vek::LecteurTexte lecteur;
    if (maximum == 0 || !lecteur.Ouvrir(extrait, debut))
        return retenues;
    if (partielle && !lecteur.FinFichier())
        lecteur.LireLigne();
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

LignesRetenues LireDernieresLignesRetenues(const vek::NomFichier& extrait,
                                           const vek::Selection& selection, const vek::Modes& modes,
                                           std::size_t maximum, const vek::Nettoyeur* nettoyeur) {
    const auto empreinte = vek::LireEmpreinte(extrait);
    const std::uint64_t taille = empreinte ? empreinte->taille : 0;
    // Depuis la fin, une fenêtre de plus en plus grande, jusqu'à y trouver assez de lignes (une
    // ligne coupée au début de la fenêtre est sautée : elle précède toutes celles qui comptent).
    for (std::uint64_t fenetre = std::uint64_t{64} << 10;; fenetre *= 4) {
        const std::uint64_t debut = taille > fenetre ? taille - fenetre : 0;
        LignesRetenues retenues =
            LireLignesRetenues(extrait, debut, selection, modes, maximum, nettoyeur, debut > 0);
        if (retenues.total >= maximum || debut == 0)
            return retenues;
    }
}

vek::Selection SelectionFuture::Avec(const vek::Catalogue& catalogue) const {
    vek::Selection selection = cochee;
    if (tousLesChannels)
        for (const std::string_view channel : vek::NoeudsChannels(catalogue))
            if (!channels.contains(std::string(channel)))
                selection.AjouterChannel(channel);
    if (tousLesNoms)
        for (const std::string_view nom : vek::NoeudsNoms(catalogue))
            if (!noms.contains(std::string(nom)))
                selection.AjouterNom(nom);
    return selection;
}

vek::Issue<LotDirect> RegarderJournal(vek::ModuleVEK& module, const Regard& regard,
                                      std::stop_token arret) {
    module.Nettoyage = regard.nettoyage;
    const auto avant = vek::LireEmpreinte(module.CheminExtrait());
    // Personne ne voit de barre : la passe de comptage est sautée.
    struct Muette final : vek::Progression {
        bool Affichee() const override { return false; }
    } muette;
    auto recherche = module.Rechercher(regard.journal, regard.periode, muette, arret);
    if (!recherche.ok())
        return recherche.Echec();
    LotDirect lot{std::move(*recherche), {}, nullptr, std::nullopt};
    const vek::Selection selection = regard.selection.Avec(*lot.recherche.catalogue);
    const vek::Nettoyeur nettoyeur(module.Nettoyage, lot.recherche.catalogue.get(), selection);
    lot.teintes = std::make_shared<const vek::TeintesDesNoms>(vek::TeintesDesNoms::Pour(
        *lot.recherche.catalogue, nettoyeur.Actif() ? nettoyeur.SelectionMontree() : selection));
    const std::string& extrait = lot.recherche.extrait;
    if (regard.ouverture > 0) {
        lot.retenues = LireDernieresLignesRetenues(extrait, selection, regard.modes,
                                                   regard.ouverture, &nettoyeur);
    } else {
        // Une suite prolonge l'extrait : seules ses nouvelles lignes sont à montrer. Une
        // recherche complète (journal remplacé ou tronqué) l'a refait : tout ce qu'il retient
        // est nouveau.
        const std::uint64_t depuis = lot.recherche.suite && avant ? avant->taille : 0;
        lot.retenues = LireLignesRetenues(extrait, depuis, selection, regard.modes, regard.maximum,
                                          &nettoyeur);
    }
    if (const auto e = vek::LireEmpreinte(regard.journal); e && e->taille > 0) {
        const auto dernier = vek::LireOctetsSiMeme(regard.journal, *e, e->taille - 1, 1);
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
