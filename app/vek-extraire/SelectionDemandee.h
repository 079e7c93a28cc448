#pragma once
// Les nœuds que cochent --channel, --nom, --tous-channels et --tout-le-monde, trouvés dans les
// arbres bâtis du catalogue.

#include <string>
#include <vector>

#include "Date.h"
#include "Erreurs.h"
#include "Execution.h"
#include "Noeuds.h"
#include "Selection.h"

namespace vek {

// Un texte de --channel ou de --nom.
struct Demande {
    bool channel = false; // sinon, un locuteur
    std::string utf8;     // tel que tapé
    std::string cp1252;   // converti, comme les textes des arbres
};

// Les textes de --channel et --nom, en Windows-1252 ; une erreur d'utilisation pour un
// caractère qui n'y existe pas.
Issue<std::vector<Demande>> ConvertirDemandes(const Arguments& arguments);

// Les nœuds nommés, puis les cases « tout cocher » ; la sélection suit l'ordre des arbres. Un
// texte qui ne désigne aucun nœud est dit, avec les plus proches, et l'exécution s'arrête.
Resultat Selectionner(Execution& e, const Noeuds& channels, const Noeuds& noms,
                      const std::vector<Demande>& demandes, const Periode& periode,
                      Selection& selection);

} // namespace vek
