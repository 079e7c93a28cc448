#pragma once
// Le squelette commun des passes du moteur (recherche, journal final).

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>

#include "ModuleVEK.h"

namespace vek {

class ChaineDeLots;
class LecteurTexte;
class SuiviProgression;

// Le squelette commun des passes qui lisent un fichier ligne à ligne et envoient des lots à leurs
// fils de travail : à chaque ligne, la progression (la barre, et le compteur de lignes lues si
// compter) et le jeton d'arrêt ; parLigne(ligne) décide du sort de la ligne (rien, ou
// chaine.Ajouter). À la fin, les fils sont attendus et une
// erreur de lecture est rendue comme échec de actionLecture. lus : lignes lues.
Resultat ParcourirLignes(LecteurTexte& entree, const std::string& chemin,
                         const std::string& actionLecture, ChaineDeLots& chaine,
                         SuiviProgression& suivi, Progression& progression, std::stop_token arret,
                         bool compter, const std::function<void(std::string_view ligne)>& parLigne,
                         std::uint64_t& lus);

// Fait suivre le jeton d'arrêt aux attentes de la chaîne (fils de travail lents, disque lent) :
// une attente rend faux dès que l'arrêt est demandé, et la chaîne abandonne.
void ArreterSurDemande(ChaineDeLots& chaine, std::stop_token arret);

} // namespace vek
