#include "Suivre.h"

#include <cstdint>
#include <memory>

#include "Affichable.h"
#include "Cp1252.h"
#include "Messages.h"
#include "VeilleFichier.h"

namespace vek {

void SuivreJournal(Moteur& moteur, const Journaux& journaux, const Periode& periode,
                   const SelectionSuivie& selection, const Modes& modes,
                   const ReglagesNettoyage& nettoyage, std::ostream& out, Messages& messages,
                   std::stop_token arret, const ReglagesSuivi& reglages) {
    // Sans horloge d'essai, la notification du système réveille le suivi dès que le journal
    // change, et Ctrl+C aussi ; le coup d'œil à l'empreinte ne fait que la doubler.
    ReglagesSuiveur r;
    r.coupDOeilSansNotification = reglages.intervalle;
    r.coupDOeil = std::max(reglages.intervalle, r.coupDOeil);
    Suiveur suiveur(moteur, journaux, periode,
                    reglages.horloge ? nullptr : VeilleDuSysteme(journaux.chemins), r);
    const auto imprimer = [&](const LigneSuivie& l) {
        out << TexteAffichable(Cp1252VersUtf8(l.ligne), reglages.terminal) << '\n';
    };
    while (suiveur.Attendre(arret)) {
        // Le regard lui-même n'est pas interrompu : ce qu'il a lu est imprimé.
        const auto regard = suiveur.Regarder(selection, modes, nettoyage, SIZE_MAX);
        if (!regard.ok()) {
            messages.Avertir(regard.Echec().Message());
            continue; // la recherche suivante relira tout
        }
        if (!regard->avis.empty())
            messages.Avertir(regard->avis + " ; le suivi reprend du nouveau journal.");
        if (regard->corrigee && regard->correction)
            imprimer(*regard->correction); // la ligne achevée, une fois de plus, entière
        for (const LigneSuivie& l : regard->lignes)
            imprimer(l);
        out.flush();
    }
}

} // namespace vek
