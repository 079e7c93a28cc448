#include "Suivre.h"

#include <algorithm>
#include <memory>

#include "Affichable.h"
#include "Catalogue.h"
#include "Cp1252.h"
#include "Fichiers.h"
#include "Lecture.h"
#include "Messages.h"
#include "VeilleFichier.h"

namespace vek {

namespace {

// Imprime les lignes retenues de l'extrait à partir de la position debut, nettoyées comme le
// seront les sorties (les pseudonymes suivent l'ordre du catalogue, qui ne fait que s'allonger).
void ImprimerDepuis(const std::string& extrait, std::uint64_t debut, const Selection& selection,
                    const ModesPartages& modes, const Nettoyeur& nettoyeur, std::ostream& out,
                    bool terminal) {
    LecteurTexte lecteur;
    if (!lecteur.Ouvrir(extrait, debut))
        return;
    TravailReecriture travail;
    TravailNettoyage nettoyage;
    while (!lecteur.FinFichier()) {
        const std::string_view ligne = lecteur.LireLigne();
        auto e = FiltrerEnregistrement(ligne, selection, modes.Lire(), travail);
        if (e && nettoyeur.Nettoyer(*e, nettoyage))
            out << TexteAffichable(Cp1252VersUtf8(e->ligne), terminal) << '\n';
    }
    out.flush();
}

// La sélection du suivi : celle du début, plus, avec « tous », les nœuds apparus depuis.
Selection SelectionCourante(const Selection& depart, const Catalogue& catalogue,
                            const ReglagesSuivi& r) {
    if (!r.tousChannels && !r.toutLeMonde)
        return depart;
    Selection s;
    if (r.tousChannels)
        for (const auto texte : NoeudsChannels(catalogue))
            s.AjouterChannel(texte);
    else
        for (std::size_t i = 0; i < depart.NombreChannels(); ++i)
            s.AjouterChannel(depart.Channel(i));
    if (r.toutLeMonde)
        for (const auto texte : NoeudsNoms(catalogue))
            s.AjouterNom(texte);
    else
        for (std::size_t i = 0; i < depart.NombreNoms(); ++i)
            s.AjouterNom(depart.Nom(i));
    return s;
}

} // namespace

void SuivreJournal(ModuleVEK& module, const std::string& journal, const Periode& periode,
                   const Selection& selection, const ModesPartages& modes, std::ostream& out,
                   Messages& messages, std::stop_token arret, const ReglagesSuivi& reglages) {
    // Sans horloge d'essai, la notification du système réveille le suivi dès que le journal
    // change, et Ctrl+C aussi ; le coup d'œil à l'empreinte ne fait que la doubler, une fois
    // par seconde (à l'intervalle, là où elle manque la croissance du fichier).
    std::unique_ptr<Veille> veille = reglages.horloge ? nullptr : VeilleDuSysteme(journal);
    const std::stop_callback reveil(arret, [&veille] {
        if (veille)
            veille->Reveiller();
    });
    const auto coupDOeil = veille && veille->SignaleLaCroissance()
                               ? std::max(reglages.intervalle, ReglagesSuivi::CoupDOeilNotifie)
                               : reglages.intervalle;
    const auto attendre = [&] {
        if (veille)
            veille->Attendre(coupDOeil);
        else
            reglages.horloge->Attendre(reglages.intervalle);
    };
    const std::string extrait = module.CheminExtrait();
    auto vu = LireEmpreinte(journal);
    Progression muette;
    while (!arret.stop_requested()) {
        attendre();
        if (arret.stop_requested())
            break;
        const auto maintenant = LireEmpreinte(journal);
        if (maintenant == vu)
            continue; // rien de neuf : un stat, pas de lecture
        vu = maintenant;
        const auto avant = LireEmpreinte(extrait);
        const auto r = module.Rechercher(journal, periode, muette);
        if (!r.ok()) {
            messages.Avertir(r.Echec().Message());
            continue; // la recherche suivante relira tout
        }
        if (!r->suite && !r->avisComplet.empty())
            messages.Avertir(r->avisComplet + " ; le suivi reprend du nouveau journal.");
        // Une suite prolonge l'extrait : seules ses nouvelles lignes sont imprimées. Une
        // recherche complète (journal remplacé) l'a refait : tout ce qu'il retient l'est.
        const Selection courante = SelectionCourante(selection, *r->catalogue, reglages);
        ImprimerDepuis(extrait, r->suite && avant ? avant->taille : 0, courante, modes,
                       Nettoyeur(module.Nettoyage, r->catalogue.get(), courante), out,
                       reglages.terminal);
    }
}

} // namespace vek
