#pragma once
// Le squelette commun des passes qui lisent des lignes et les envoient par lots à leurs fils de
// travail (recherche, écriture des sorties).

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string_view>

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Erreurs.h"
#include "Progression.h"

namespace vek {

// Fait suivre le jeton d'arrêt aux attentes de la chaîne (fils de travail lents, disque lent) :
// une attente rend faux dès que l'arrêt est demandé, et la chaîne abandonne.
void ArreterSurDemande(ChaineDeLots& chaine, std::stop_token arret);

// Lit les lignes d'entree (une source de lignes, ou un lecteur de fichier) jusqu'au bout : à
// chaque ligne, la progression (la barre ; le compteur de lignes lues, à partir de
// compteurDepuis, s'il est donné) et le jeton d'arrêt ; parLigne(ligne) décide du sort de la
// ligne (rien, ou la ranger dans un lot). À la fin, verifier() dit si ce qui a été lu est bien
// le fichier entier, puis les fils sont attendus. Un échec ou un arrêt abandonne la chaîne : la
// sortie entamée ne passe jamais pour complète. lus : lignes lues. Dans l'en-tête : la boucle
// est le chemin chaud du fil qui lit, parLigne s'y fond.
template <class Entree, class ParLigne, class Verifier>
Resultat ParcourirLignes(Entree& entree, ChaineDeLots& chaine, SuiviProgression& suivi,
                         Progression& progression, std::stop_token arret,
                         std::optional<std::uint64_t> compteurDepuis, ParLigne&& parLigne,
                         Verifier&& verifier, std::uint64_t& lus) {
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
        if (compteurDepuis)
            progression.Compteur(*compteurDepuis + n);
        parLigne(ligne);
    }
    lus = n;
    if (Resultat r = verifier(); !r.ok) {
        chaine.Abandonner();
        return r;
    }
    if (!chaine.Terminer())
        return Resultat::Interruption();
    return Resultat::Succes();
}

// Range la ligne que entree vient de lire dans le lot courant ; une ligne démesurée passe du
// lecteur à son lot sans copie. source : le journal d'où elle vient, rangé avec elle.
template <class Entree>
void RangerLigne(ChaineDeLots& chaine, Entree& entree, std::string_view ligne,
                 std::optional<std::uint8_t> source = std::nullopt) {
    const bool longue = chaine.Demesuree(ligne) && entree.LigneLongue();
    if (source && longue && chaine.Courant().NombreLignes() != 0) {
        // La ligne démesurée est seule dans son lot, avec les modes du lot courant.
        const Modes modes = chaine.Courant().modes;
        chaine.Envoyer();
        chaine.Courant().modes = modes;
    }
    if (source)
        chaine.Courant().sources.push_back(*source);
    if (longue)
        chaine.AjouterLongue(entree.CederLigneLongue());
    else
        chaine.Ajouter(ligne);
}

} // namespace vek
