#include "Passes.h"

#include "Messages.h"

#include <utility>

namespace vek {

namespace {

ReglagesMoteur Reglages(const std::string& dossier, Horloge* horloge) {
    ReglagesMoteur r;
    r.dossier = dossier;
    if (horloge != nullptr)
        r.horloge = horloge;
    return r;
}

} // namespace

Issue<ResumeJournal> AnalyserJournal(const Journaux& journaux, int pause, Progression& progression,
                                     std::stop_token arret) {
    // Le moteur a besoin d'un dossier même pour la seule analyse : rien n'y est écrit.
    Moteur moteur{ReglagesMoteur{}};
    return moteur.Analyser({journaux, pause}, progression, arret);
}

Passes::Passes(const std::string& dossier, Horloge* horloge, Messages& messages, bool direJournaux)
    : moteur_(Reglages(dossier, horloge)), messages_(messages), journauxDits_(!direJournaux) {}

template <class T> Issue<T> Passes::DireAvis(Issue<T> issue) {
    const std::string& avis = issue.ok() ? issue->avisDossier : issue.Echec().avis;
    if (!avis.empty())
        messages_.Avertir(avis);
    return issue;
}

Issue<ResultatRecherche> Passes::Rechercher(const Journaux& journaux, const Periode& periode,
                                            Progression& progression, std::stop_token arret) {
    auto recherche = DireAvis(moteur_.Rechercher({journaux, periode}, progression, arret));
    // Les horloges et les joueurs de la fusion, dits une fois.
    if (recherche.ok() && !std::exchange(journauxDits_, true))
        for (const std::string& avis : recherche->avisJournaux)
            messages_.Avertir(avis);
    return recherche;
}

void Passes::Suivre(const Journaux& journaux, const Periode& periode, const Selection& selection,
                    const DemandeEcriture& demande, std::ostream& out, std::stop_token arret,
                    const ReglagesSuivi& reglages) {
    SuivreJournal(moteur_, journaux, periode,
                  {selection, reglages.tousChannels, reglages.toutLeMonde, demande.filtre},
                  demande.modes, demande.nettoyage, out, messages_, arret, reglages);
}

Issue<ResultatSorties> Passes::Ecrire(const Selection& selection, const DemandeEcriture& demande,
                                      Progression& progression, std::stop_token arret) {
    const ModesPartages modes(demande.modes);
    return DireAvis(moteur_.EcrireSorties({selection, &modes, demande.nettoyage, demande.formats,
                                           demande.tailleMessage, demande.decoupe, std::nullopt,
                                           demande.filtre},
                                          progression, arret));
}

} // namespace vek
