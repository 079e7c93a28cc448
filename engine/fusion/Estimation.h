#pragma once
// Ce que la fusion doit savoir de chaque journal avant de les fusionner : l'avance de son
// horloge sur celle du journal de référence, et le nom de son joueur (celui qui « a dit »).
// Estimés des messages que les journaux ont en commun, sur un échantillon : quelques morceaux
// de chaque journal, et seulement les messages dont l'empreinte tombe dans une même tranche
// (un message commun aux deux journaux est gardé des deux côtés ou d'aucun). La mémoire et le
// temps ne dépendent pas de la taille des journaux.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Fichiers.h"
#include "SourceLignes.h"

namespace vek {

// Les estimations de chaque journal, dans l'ordre (le premier est la référence : avance nulle).
// Un journal illisible compte comme sans message en commun.
std::vector<JournalDeSource> EstimerJournaux(const std::vector<NomFichier>& journaux,
                                             const std::vector<DonneesJournal>& donnees);

// Ce que la fusion dit d'une estimation : « brune.txt : horloge en avance de 1 h 00 min 07 s,
// joueur Brune (trouvé) », en UTF-8.
std::string DireEstimation(const NomFichier& journal, const NomFichier& reference,
                           const JournalDeSource& e, bool estReference);

} // namespace vek
