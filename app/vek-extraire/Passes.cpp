#include "Passes.h"

#include "Messages.h"

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

Issue<ResumeJournal> AnalyserJournal(const std::string& journal, int pause,
                                     Progression& progression, std::stop_token arret) {
    // Le moteur a besoin d'un dossier même pour la seule analyse : rien n'y est écrit.
    Moteur moteur{ReglagesMoteur{}};
    return moteur.Analyser({journal, pause}, progression, arret);
}

Passes::Passes(const std::string& dossier, Horloge* horloge, Messages& messages)
    : moteur_(Reglages(dossier, horloge)), messages_(messages) {}

template <class T> Issue<T> Passes::DireAvis(Issue<T> issue) {
    const std::string& avis = issue.ok() ? issue->avisDossier : issue.Echec().avis;
    if (!avis.empty())
        messages_.Avertir(avis);
    return issue;
}

Issue<ResultatRecherche> Passes::Rechercher(const std::string& journal, const Periode& periode,
                                            Progression& progression, std::stop_token arret) {
    return DireAvis(moteur_.Rechercher({journal, periode}, progression, arret));
}

void Passes::Suivre(const std::string& journal, const Periode& periode, const Selection& selection,
                    const DemandeEcriture& demande, std::ostream& out, std::stop_token arret,
                    const ReglagesSuivi& reglages) {
    SuivreJournal(moteur_, journal, periode,
                  {selection, reglages.tousChannels, reglages.toutLeMonde}, demande.modes,
                  demande.nettoyage, out, messages_, arret, reglages);
}

Issue<ResultatSorties> Passes::Ecrire(const Selection& selection, const DemandeEcriture& demande,
                                      Progression& progression, std::stop_token arret) {
    const ModesPartages modes(demande.modes);
    return DireAvis(moteur_.EcrireSorties({selection, &modes, demande.nettoyage, demande.formats,
                                           demande.tailleMessage, demande.decoupe, std::nullopt},
                                          progression, arret));
}

} // namespace vek
