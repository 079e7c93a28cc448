// Les valeurs de --chercher et de --filtre.

#include "OptionsRecherche.h"

#include <memory>
#include <utility>

#include "Arguments.h"
#include "Messages.h"

namespace vek {

namespace {

// La requête analysée, ou l'erreur d'utilisation qui nomme l'option et dit la faute (la requête
// elle-même n'est citée que par morceaux courts, ses contrôles rendus visibles).
Issue<std::shared_ptr<const Requete>> Analyser(const std::string& valeur, std::string_view option) {
    auto requete = AnalyserRequete(valeur);
    if (!requete.ok())
        return ErreurUtilisation("requête incorrecte pour " + std::string(option) + " : " +
                                 requete.Echec().raison + ".");
    return std::make_shared<const Requete>(std::move(*requete));
}

} // namespace

Resultat RangerChercher(Arguments& a, std::string valeur) {
    a.tache = Tache::Chercher;
    if (a.requete)
        return ErreurUtilisation("--chercher n'est donné qu'une fois : écrivez tous les mots, "
                                 "phrases et exclusions dans une seule requête.");
    auto requete = Analyser(valeur, "--chercher");
    if (!requete.ok())
        return requete.Echec();
    a.requete = std::move(*requete);
    return Resultat::Succes();
}

Resultat RangerFiltre(Arguments& a, std::string valeur) {
    if (a.ecriture.filtre)
        return ErreurUtilisation("--filtre n'est donné qu'une fois : écrivez tous les mots, "
                                 "phrases et exclusions dans une seule requête.");
    auto requete = Analyser(valeur, "--filtre");
    if (!requete.ok())
        return requete.Echec();
    a.ecriture.filtre = std::move(*requete);
    return Resultat::Succes();
}

} // namespace vek
