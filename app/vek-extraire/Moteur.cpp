#include "Moteur.h"

#include "Messages.h"

namespace vek {

Issue<ResumeJournal> AnalyserJournal(const std::string& journal, int pause,
                                     Progression& progression, std::stop_token arret) {
    // Le moteur a besoin d'un dossier même pour la seule analyse : rien n'y est écrit.
    ModuleVEK module{std::string()};
    module.PauseSessions = pause;
    return module.Analyser(journal, progression, arret);
}

Moteur::Moteur(const std::string& dossier, Horloge* horloge, Messages& messages)
    : module_(dossier), messages_(messages) {
    if (horloge != nullptr)
        module_.HorlogeDesPasses = horloge;
}

void Moteur::DireAvis() {
    if (const std::string avis = module_.PrendreAvis(); !avis.empty())
        messages_.Avertir(avis);
}

Issue<ResultatRecherche> Moteur::Rechercher(const std::string& journal, const Periode& periode,
                                            Progression& progression, std::stop_token arret) {
    Issue<ResultatRecherche> recherche = module_.Rechercher(journal, periode, progression, arret);
    DireAvis();
    return recherche;
}

void Moteur::Suivre(const std::string& journal, const Periode& periode, const Selection& selection,
                    const DemandeEcriture& demande, std::ostream& out, std::stop_token arret,
                    const ReglagesSuivi& reglages) {
    module_.Nettoyage = demande.nettoyage;
    SuivreJournal(module_, journal, periode, selection, ModesPartages(demande.modes), out,
                  messages_, arret, reglages);
}

Issue<SortiesEcrites> Moteur::Ecrire(const Selection& selection, const DemandeEcriture& demande,
                                     Progression& progression, std::stop_token arret) {
    module_.TailleMessage = demande.tailleMessage;
    module_.Decoupe = demande.decoupe;
    module_.Nettoyage = demande.nettoyage;
    const ModesPartages modes(demande.modes);
    Issue<std::vector<std::string>> chemins =
        module_.EcrireSorties(selection, modes, demande.formats, progression, arret);
    DireAvis();
    if (!chemins.ok())
        return chemins.Echec();
    return SortiesEcrites{std::move(*chemins), module_.EntreesPage};
}

} // namespace vek
