#pragma once
// L'analyse du journal à la ligne de commande : --analyse et --sessions l'impriment, l'extraction
// et le catalogue y prennent les dates qui leur manquent.

#include "Erreurs.h"
#include "Execution.h"
#include "Moteur.h"

namespace vek {

// L'analyse du journal ; son conseil (journal vide, texte Unicode) est dit. Un journal
// introuvable est un échec.
Issue<ResumeJournal> Analyser(Execution& e);

// --analyse : le résumé de l'analyse.
Resultat ImprimerAnalyse(Execution& e);
// --sessions : les séances de jeu.
Resultat ImprimerSessions(Execution& e);

} // namespace vek
