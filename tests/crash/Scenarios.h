#pragma once
// Les scénarios du banc : chacun prépare un dossier (un journal dans « jeu/ », les sorties
// d'une exécution précédente dans « sortie/ »), y lance le vrai programme sous le traceur, puis,
// sur chaque état qu'une coupure peut laisser, l'exécution suivante.
//
// L'exécution suivante est, pour tous, « vek-extraire --catalogue » sur la même période et le même
// dossier de sortie : elle prend le verrou du dossier (Moteur::PrendreLeDossier), donc reprend
// une validation interrompue (ReprendreValidation) et supprime les temporaires orphelins, puis
// réécrit l'extrait, mais n'écrit aucune sortie : ce qu'elle laisse est ce que la reprise a fait,
// sans un nouvel ensemble complet écrit par-dessus qui masquerait un défaut. La reprise est la même
// pour la fenêtre (même moteur, même dossier) : c'est elle qui sert après le scénario de la
// fenêtre.

#include <functional>
#include <string>
#include <vector>

#include "Disque.h"
#include "Lancement.h"

namespace vek::coupure {

struct Programmes {
    std::string extraire; // vek-extraire
    std::string moteur;   // vek-essai-moteur
    std::string fenetre;  // vek-essai-fenetre-coupure (vide : construit sans les fenêtres)
};

// Ce que la préparation d'un scénario rend.
struct Preparatifs {
    std::string raison; // pourquoi elle a échoué
    // Des arborescences de la racine qui valent comme ensembles de sorties valides en plus de
    // ceux de la trace : celles d'avant une validation que la préparation a interrompue.
    std::vector<Arborescence> anterieures;
};

struct Scenario {
    std::string cle;    // pour --scenario
    std::string titre;  // pour le rapport
    std::string aVenir; // non vide : scénario prévu, pas encore écrit (et pourquoi)
    // Prépare racine (existant, vide) ; donnees : un dossier hors de la racine, pour ce que le
    // programme lit sans que ce soit le journal. Faux (p.raison) en cas d'échec.
    std::function<bool(const std::string& racine, const std::string& donnees, Preparatifs& p)>
        preparer;
    Lancement execution; // lancée dans la racine, sous le traceur
    Lancement suivante;  // lancée dans chaque état bâti
};

// travail : le dossier de travail du banc ; celui d'un scénario est travail/<clé>, sa racine
// travail/<clé>/racine et ses données travail/<clé>/donnees.
std::vector<Scenario> Scenarios(const Programmes& p, const std::string& travail);

} // namespace vek::coupure
