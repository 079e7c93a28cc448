// Le socle des sorties mises en forme : octets par lot, ligne démesurée, titres des jours.

#include "Puits.h"

#include "Ecriture.h"

namespace vek {

struct PuitsMisEnForme::Etat : EtatDeLot {
    TamponSortie octets;
    std::uint64_t entrees = 0;
    std::optional<Date> premierJour; // titre à décider à l'écriture, avant octets[avantPremier]
    std::size_t avantPremier = 0;
    std::optional<Date> dernierJour;
    bool sansDate = false;
    std::optional<Enregistrement> demesuree;
    Modes modes;
};

void PuitsMisEnForme::Preparer(Lot& lot) {
    Etat& m = EtatDe<Etat>(lot);
    // Un lot qui a porté une ligne démesurée rend sa mémoire.
    constexpr std::size_t Garde = std::size_t{8} << 20;
    m.octets.Vider(Garde);
    m.entrees = 0;
    m.premierJour.reset();
    m.avantPremier = 0;
    m.dernierJour.reset();
    m.sansDate = lot.modes.ModeUnlessDate;
    m.demesuree.reset();
    m.modes = lot.modes;
}

void PuitsMisEnForme::Ajouter(Lot& lot, const Enregistrement& e, bool demesuree) {
    Etat& m = EtatDe<Etat>(lot);
    ++m.entrees;
    // Les titres des jours : celui de la première ligne datée du lot est décidé à l'écriture,
    // les suivants ici, à chaque changement de jour.
    const std::optional<Date> jour = lot.modes.ModeUnlessDate ? std::nullopt : e.date;
    if (jour && AvecTitres()) {
        if (!m.premierJour) {
            m.premierJour = jour;
            m.avantPremier = m.octets.Taille();
        } else if (*jour != *m.dernierJour) {
            Titre(m.octets, *jour);
        }
        m.dernierJour = jour;
    }
    if (demesuree) {
        m.demesuree = e;
        return;
    }
    VersZone zone(m.octets, VersZone::Place(e.ligne.size() + e.texte.size() + e.nom.size() +
                                            e.channel.size() + e.heure.size() + e.source.size()));
    Rendre(zone, e, lot.modes);
}

void PuitsMisEnForme::Sortir(std::string_view octets, EcrivainTexte& fichier) {
    fichier.Ecrire(octets);
}

void PuitsMisEnForme::Ecrire(Lot& lot, EcrivainTexte& fichier) {
    Etat& m = EtatDe<Etat>(lot);
    const std::string_view octets = m.octets.Vue();
    Sortir(octets.substr(0, m.avantPremier), fichier);
    if (m.premierJour && m.premierJour != jourCourant_) {
        TamponSortie titre;
        Titre(titre, *m.premierJour);
        Sortir(titre.Vue(), fichier);
    }
    if (m.demesuree) {
        VersFichier s(
            fichier,
            [](void* puits, std::string_view o, EcrivainTexte& f) {
                static_cast<PuitsMisEnForme*>(puits)->Sortir(o, f);
            },
            this);
        Rendre(s, *m.demesuree, m.modes);
    } else {
        Sortir(octets.substr(m.avantPremier), fichier);
    }
    if (m.dernierJour)
        jourCourant_ = m.dernierJour;
    else if (m.sansDate && m.entrees != 0)
        jourCourant_.reset(); // au retour des dates, le jour est redit
    entrees_ += m.entrees;
}

} // namespace vek
