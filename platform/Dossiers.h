#pragma once
// Les sorties qui sont des dossiers (la page web découpée) : écrites dans un dossier temporaire
// du même dossier, nommé comme les fichiers temporaires (« sortie.tmp-<processus>-<hasard> »),
// puis mises à la place de l'ancien avec les autres sorties, tout ou rien (ValiderEnsemble,
// Validation.h). L'ancien dossier n'est jamais vu à moitié neuf : jusqu'à son échange il reste
// tel quel, après il est supprimé en entier.

#include <string>

namespace vek {

// Crée un dossier temporaire neuf pour la cible ; rend son chemin, vide en cas d'échec (raison).
std::string CreerDossierTemporaire(const std::string& cible, std::string& raison);
// Supprime un dossier et tout ce qu'il contient, sans suivre de lien ; sans erreur s'il manque.
void SupprimerArborescence(const std::string& chemin);

} // namespace vek
