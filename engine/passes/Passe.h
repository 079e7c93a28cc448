#pragma once
// Le squelette commun des passes du moteur (recherche, journal final).

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Fichiers.h"
#include "ModuleVEK.h"

namespace vek {

// Fait suivre le jeton d'arrêt aux attentes de la chaîne (fils de travail lents, disque lent) :
// une attente rend faux dès que l'arrêt est demandé, et la chaîne abandonne.
void ArreterSurDemande(ChaineDeLots& chaine, std::stop_token arret);

// Le squelette commun des passes qui lisent un fichier ligne à ligne et envoient des lots à leurs
// fils de travail : à chaque ligne, la progression (la barre, et le compteur de lignes lues si
// compter) et le jeton d'arrêt ; parLigne(ligne) décide du sort de la ligne (rien, ou
// chaine.Ajouter). À la fin, les fils sont attendus et une erreur de lecture est rendue comme
// échec de actionLecture. lus : lignes lues. Dans l'en-tête : la boucle est le chemin chaud du
// fil qui lit, parLigne s'y fond.
template <class ParLigne>
Resultat ParcourirLignes(LecteurTexte& entree, const std::string& chemin,
                         const std::string& actionLecture, ChaineDeLots& chaine,
                         SuiviProgression& suivi, Progression& progression, std::stop_token arret,
                         bool compter, ParLigne&& parLigne, std::uint64_t& lus) {
    ArreterSurDemande(chaine, arret);
    // Le compte vit dans un registre : une variable en mémoire écrite à chaque ligne, voisine de
    // ce que lisent les fils de travail, ferait rebondir sa ligne de cache d'un cœur à l'autre.
    std::uint64_t n = 0;
    while (!entree.FinFichier()) {
        suivi.Avancer(n);
        if (arret.stop_requested()) {
            chaine.Abandonner();
            lus = n;
            return Resultat::Interruption(); // la sortie entamée est abandonnée
        }
        const std::string_view ligne = entree.LireLigne();
        ++n;
        if (compter)
            progression.Compteur(n);
        parLigne(ligne);
    }
    lus = n;
    if (entree.Raccourci()) {
        // Ce qui a été lu ne va pas jusqu'au bout du fichier que la passe a ouvert : la sortie
        // entamée ne doit pas passer pour complète.
        chaine.Abandonner();
        return Resultat::Echec(actionLecture, chemin,
                               "le fichier a raccourci pendant la lecture (un autre programme "
                               "l'a tronqué ou remplacé) ; rien n'a été gardé de cette passe, "
                               "relancez-la");
    }
    if (!chaine.Terminer())
        return Resultat::Interruption();
    if (entree.ErreurLecture())
        return Resultat::Echec(actionLecture, chemin, entree.Raison());
    return Resultat::Succes();
}

// Range la ligne que entree vient de lire dans le lot courant ; une ligne démesurée passe du
// lecteur à son lot sans copie.
inline void RangerLigne(ChaineDeLots& chaine, LecteurTexte& entree, std::string_view ligne) {
    if (chaine.Demesuree(ligne) && entree.LigneLongue())
        chaine.AjouterLongue(entree.CederLigneLongue());
    else
        chaine.Ajouter(ligne);
}

} // namespace vek
