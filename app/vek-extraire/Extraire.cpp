#include "Extraire.h"

#include <utility>

#include "AnalyseConsole.h"
#include "Arguments.h"
#include "CatalogueConsole.h"
#include "Chemins.h"
#include "Chercher.h"
#include "Ecritures.h"
#include "Execution.h"
#include "OptionsFusion.h"
#include "Passes.h"
#include "PeriodeDemandee.h"
#include "SelectionDemandee.h"

namespace vek {

namespace {

// Jusqu'à Ctrl+C, les lignes retenues que le jeu ajoute au journal.
void Suivre(Execution& e, Passes& moteur, const Periode& periode, const Selection& selection) {
    const Arguments& a = e.arguments;
    ReglagesSuivi reglages;
    reglages.horloge = e.contexte.horloge;
    reglages.terminal = e.contexte.sortieEstTerminal;
    reglages.tousChannels = a.tousChannels;
    reglages.toutLeMonde = a.toutLeMonde;
    moteur.Suivre(e.journaux, periode, selection, a.ecriture, e.out, e.contexte.arret, reglages);
}

// La recherche dans la période, puis le catalogue, ou la sélection et l'écriture des sorties.
Resultat Extraire(Execution& e) {
    const Arguments& a = e.arguments;
    // Les bornes écrites sont vérifiées avant les textes des nœuds, sans rien lire.
    const auto bornes = LireBornes(a);
    if (!bornes.ok())
        return bornes.Echec();
    const auto demandes = ConvertirDemandes(a);
    if (!demandes.ok())
        return demandes.Echec();
    const auto periode = FixerPeriode(e, *bornes);
    if (!periode.ok())
        return periode.Echec();
    if (periode->fin < periode->debut && !a.silencieux)
        e.messages.Avertir("le début de la période (" +
                           InstantCourt(periode->debut, Precision::Seconde) + ") suit sa fin (" +
                           InstantCourt(periode->fin, Precision::Seconde) +
                           ") : aucune ligne ne sera retenue.");

    Passes moteur(a.dossier ? *a.dossier : RepertoireProgramme(), e.contexte.horloge, e.messages,
                  !a.silencieux);
    e.progression.DefinirEtape("Recherche");
    const auto recherche = moteur.Rechercher(e.journaux, *periode, e.progression, e.contexte.arret);
    e.progression.TerminerEtape();
    if (!recherche.ok())
        return recherche.Echec();
    AvertirLimites(*recherche->catalogue, e.messages);
    const Noeuds channels = NoeudsChannels(*recherche->catalogue);
    const Noeuds noms = NoeudsNoms(*recherche->catalogue);
    if (a.tache == Tache::Catalogue) {
        EcrireCatalogue(e.out, channels, noms, e.contexte.sortieEstTerminal);
        return Resultat::Succes();
    }

    Selection selection;
    if (Resultat choix = Selectionner(e, channels, noms, *demandes, *periode, selection); !choix.ok)
        return choix;
    if (!a.suivre)
        return EcrireLesSorties(e, moteur, selection, e.contexte.arret);
    // Puis les sorties demandées, de tout ce qui a été lu, sans que l'arrêt qui a fini le suivi
    // n'interrompe leur écriture.
    Suivre(e, moteur, *periode, selection);
    return EcrireLesSorties(e, moteur, selection, {});
}

Resultat Lancer(Execution& e) {
    switch (e.arguments.tache) {
    case Tache::Analyse:
        return ImprimerAnalyse(e);
    case Tache::Sessions:
        return ImprimerSessions(e);
    case Tache::Chercher:
        return ChercherDesMots(e);
    case Tache::Extraction:
    case Tache::Catalogue:
        break;
    }
    return Extraire(e);
}

} // namespace

int ExecuterExtraire(std::vector<std::string> args, std::ostream& out, std::ostream& err,
                     const ContexteExtraire& contexte) {
    Arguments a = LireArguments(args);
    if (a.aide) {
        out << TexteAide();
        return SortieSucces;
    }
    if (a.version) {
        out << TexteVersion() << '\n';
        return SortieSucces;
    }
    ProgressionConsole progression(err, contexte.erreurEstTerminal && !a.silencieux);
    Messages messages(err, &progression, contexte.signal);
    if (!a.erreur.ok)
        return messages.Conclure(a.erreur);
    std::vector<std::string> journauxTapes = a.journaux;
    if (contexte.cheminSysteme != nullptr) {
        for (auto& j : a.journaux)
            j = contexte.cheminSysteme(j);
        if (a.dossier)
            a.dossier = contexte.cheminSysteme(*a.dossier);
    }
    try {
        Execution execution{
            a, contexte, out, progression, messages, JournauxDemandes(a), std::move(journauxTapes)};
        for (const std::string& avis : JournauxEnDouble(execution.journaux))
            messages.Avertir(avis);
        return messages.Conclure(Lancer(execution));
    } catch (...) {
        // Hors des passes (qui rendent leurs propres échecs) : la mémoire épuisée en imprimant
        // le catalogue, par exemple.
        return messages.Conclure(Resultat::Exception("Impossible de terminer", {}));
    }
}

} // namespace vek
