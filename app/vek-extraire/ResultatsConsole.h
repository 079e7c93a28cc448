#pragma once
// Les lignes que --chercher trouve, telles que vek-extraire les imprime : une ligne à lire (sur un
// terminal, les mots trouvés en gras), ou un objet JSON ; et le résumé d'une séance.

#include <string>
#include <vector>

#include "Parcours.h"

namespace vek {

struct PresentationResultats {
    // La sortie est un terminal : les contrôles du journal y sont montrés par leur symbole
    // (TexteAffichable), sinon écrits \xHH.
    bool terminal = false;
    // Les mots trouvés entre deux échappements ANSI (gras, puis normal) : seulement vers un
    // terminal qui les comprend.
    bool gras = false;
    // Avec plusieurs journaux, le nom à montrer de chacun (UTF-8), par rang (LigneTrouvee::source)
    // ; vide avec un seul.
    std::vector<std::string> sources;
};

// « 24/12/2001 21:04:05  [Guilde] Aldric : la mariée arrive  — séance 1 » : la date et l'heure,
// le tag d'un message de channel, le locuteur (« Vous », « Nom (murmure) ») et le message de la
// ligne, en UTF-8 ; puis sa séance, et le journal d'où elle vient quand il y en a plusieurs. Une
// ligne qui n'a pas la forme régulière de son genre montre son corps après le tag.
std::string LigneLisible(const LigneTrouvee& trouvee, const PresentationResultats& p);

// Un objet JSON sur une ligne (sans fin de ligne) : date, heure, genre, channel, nom, texte,
// ligne, numero, seance, et source avec plusieurs journaux. Les textes sont ceux du journal,
// décodés de Windows-1252 et échappés comme dans LogFinal.jsonl.
std::string ObjetJson(const LigneTrouvee& trouvee, const PresentationResultats& p);

// « Séance 12 — 24/12/2001 21:04 → 23:40 : 5 résultats » (la date de la fin n'est écrite que si
// elle n'est pas celle du début).
std::string LigneSeance(const SeanceTrouvee& seance);

} // namespace vek
