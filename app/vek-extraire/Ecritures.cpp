#include "Ecritures.h"

#include "Lanceur.h"

namespace vek {

namespace {

void Ouvrir(Execution& e, const std::vector<std::string>& chemins) {
    LanceurSysteme systeme;
    LanceurDocument& lanceur = e.contexte.lanceur != nullptr ? *e.contexte.lanceur : systeme;
    for (const std::string& chemin : chemins)
        if (!lanceur.OuvrirDocument(chemin))
            e.messages.Avertir("aucun visualiseur n'a pu ouvrir " + Guillemets(chemin) + ".");
}

} // namespace

Resultat EcrireLesSorties(Execution& e, Passes& moteur, const Selection& selection,
                          std::stop_token arret) {
    const DemandeEcriture& demande = e.arguments.ecriture;
    std::string fichiers;
    for (const std::string_view nomFichier : FichiersDesFormats(demande.formats))
        fichiers += (fichiers.empty() ? "" : ", ") + std::string(nomFichier);
    e.progression.DefinirEtape("Écriture de " + fichiers);
    const Issue<ResultatSorties> ecrites = moteur.Ecrire(selection, demande, e.progression, arret);
    e.progression.TerminerEtape();
    if (!ecrites.ok())
        return ecrites.Echec();
    // Une page unique trop longue est écrite, mais le navigateur peine à la montrer.
    if (demande.formats.Contient("html") && demande.decoupe == Decoupage::Aucun &&
        ecrites->entreesPage > EntreesPageUniqueMax)
        e.messages.Avertir("la page web tient " + std::to_string(ecrites->entreesPage) +
                           " entrées : un navigateur la montre lentement. --decouper jour (ou "
                           "mois) l'écrit en une page par jour (ou par mois) dans le dossier "
                           "LogFinal, avec un sommaire.");
    if (e.arguments.ouvrir)
        Ouvrir(e, ecrites->chemins);
    for (const std::string& chemin : ecrites->chemins)
        e.out << chemin << '\n';
    e.out.flush();
    return Resultat::Succes();
}

} // namespace vek
