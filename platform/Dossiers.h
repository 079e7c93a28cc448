#pragma once
// Les sorties qui sont des dossiers (la page web découpée) : écrites dans un dossier temporaire
// du même dossier, nommé comme les fichiers temporaires (« sortie.tmp-<processus>-<hasard> »),
// puis mises à la place de l'ancien d'un seul échange de noms. L'ancien dossier n'est jamais vu
// à moitié neuf : jusqu'à l'échange il reste tel quel, après il est supprimé en entier.

#include <string>

namespace vek {

// Crée un dossier temporaire neuf pour la cible ; rend son chemin, vide en cas d'échec (raison).
std::string CreerDossierTemporaire(const std::string& cible, std::string& raison);
// Met le dossier neuf à la place de la cible (dossier, fichier ou absente) d'un seul échange,
// puis supprime l'ancienne. Faux, avec la raison, si l'échange a échoué : rien n'a changé.
bool RemplacerDossier(const std::string& neuf, const std::string& cible, std::string& raison);
// Supprime un dossier et tout ce qu'il contient, sans suivre de lien ; sans erreur s'il manque.
void SupprimerArborescence(const std::string& chemin);

} // namespace vek
