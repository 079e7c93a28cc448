#pragma once
// Le banc : pour chaque scénario, la trace du vrai programme, chaque point de coupure, les états
// de chaque modèle, l'exécution suivante sur chacun, et le rapport.

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "Modeles.h"
#include "Scenarios.h"

namespace vek::coupure {

struct Reglages {
    std::string travail;    // le dossier de travail du banc (vidé au départ)
    std::size_t seuil = 96; // états au plus par point de coupure et par modèle
};

// Les défauts d'un même genre, d'un même modèle, au même point de coupure.
struct GroupeDefauts {
    std::string genre;
    Modele modele = Modele::Ext4Ordonne;
    std::size_t point = 0;
    std::string coupure; // où tombe la coupure
    std::size_t etats = 0;
    std::vector<std::string> exemples;
    bool connu = false; // dans la liste des défauts connus (voir Defauts connus)
};

struct ParModele {
    std::size_t tires = 0;       // états tirés (avec les doublons)
    std::size_t distincts = 0;   // états différents
    std::uint64_t possibles = 0; // tous ceux du modèle, sur tous les points
};

struct Bilan {
    std::string cle, titre, aVenir, erreur;
    std::size_t operations = 0, points = 0, executions = 0, ensemblesValides = 0;
    std::vector<std::string> appels; // les opérations relevées, dans l'ordre
    std::map<Modele, ParModele> modeles;
    std::vector<GroupeDefauts> defauts;
    double secondes = 0;
};

Bilan Passer(const Scenario& scenario, const Reglages& reglages);

// Les défauts connus, laissés à corriger ailleurs : une ligne « clé du scénario | genre |
// modèle | texte de l'appel où tombe la coupure (« * » : n'importe où) | explication » (les
// lignes vides et celles qui commencent par « # » sont ignorées). Un groupe qui correspond est
// marqué connu ; un défaut connu d'un scénario passé qui ne se montre plus est signalé (il faut le
// retirer de la liste).
struct DefautConnu {
    std::string scenario, genre, modele, appel, explication;
    bool vu = false;
};
std::vector<DefautConnu> LireDefautsConnus(const std::string& chemin);
void MarquerConnus(std::vector<Bilan>& bilans, std::vector<DefautConnu>& connus);

// Imprime le rapport ; rend vrai si rien n'est à reprocher (aucun défaut nouveau, aucun défaut
// connu disparu, aucun scénario en erreur).
bool Rapport(std::ostream& out, const std::vector<Bilan>& bilans,
             const std::vector<DefautConnu>& connus, const Reglages& reglages, double secondes);

} // namespace vek::coupure
