#pragma once
// Ce que partagent les étapes d'une exécution de vek-extraire : ce que la ligne de commande
// demande, le contexte du programme, la sortie standard, la barre de progression et les messages.

#include <ostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Extraire.h"
#include "Messages.h"
#include "ProgressionConsole.h"
#include "SourceLignes.h"

namespace vek {

struct Execution {
    const Arguments& arguments;
    const ContexteExtraire& contexte;
    std::ostream& out;
    ProgressionConsole& progression;
    Messages& messages;
    // Les journaux, avec ce qui a été donné de chacun (--decalage, --joueur).
    Journaux journaux;
    // Les mêmes, tels que tapés (UTF-8, avant leur conversion en chemins du système) : leurs
    // noms se montrent.
    std::vector<std::string> journauxTapes;

    const std::string& Journal() const { return arguments.journaux.front(); }
};

} // namespace vek
