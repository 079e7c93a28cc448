#pragma once
// L'état d'un disque tel que le banc le manie : des dossiers et des fichiers (des nœuds) reliés
// par des noms. L'état de départ d'une exécution, l'état logique après chaque opération, chaque
// état qu'une coupure peut laisser, et leur passage à un vrai dossier (pour y relancer le
// programme) ou depuis un vrai dossier (pour le comparer).

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Operation.h"

namespace vek::coupure {

struct EtatDisque {
    Noeud racine = 1;
    std::map<std::pair<Noeud, std::string>, Noeud> entrees; // (dossier, nom) -> nœud
    std::map<Noeud, std::string> contenus;                  // le contenu de chaque fichier
    std::set<Noeud> dossiers;
};

// L'effet entier d'une opération (l'état logique, celui que voit le programme).
void Appliquer(EtatDisque& etat, const Operation& op);
// Écrit octets à position, le fichier grandissant au besoin (de zéros s'il y a un trou).
void EcrireDans(std::string& contenu, std::uint64_t position, std::string_view octets);

// Ce qu'on voit depuis la racine, chemin relatif par chemin relatif (« sortie/LogFinal.txt ») :
// le contenu d'un fichier, rien pour un dossier. Un nœud qui n'a plus de nom joignable depuis la
// racine n'y est pas.
using Arborescence = std::map<std::string, std::optional<std::string>>;

struct Element {
    std::string chemin;
    Noeud noeud = 0;
    bool dossier = false;
};
std::vector<Element> Elements(const EtatDisque& etat); // triés par chemin
Arborescence Arbre(const EtatDisque& etat);
// L'arborescence d'un vrai dossier (sans suivre de lien).
Arborescence LireArbre(const std::string& dossier);
std::uint64_t Empreinte(const Arborescence& arbre);
// Les éléments dont le chemin commence par prefixe (« sortie/ »).
Arborescence SousArbre(const Arborescence& arbre, std::string_view prefixe);

// Bâtit l'état dans dossier, qui doit être vide ; un nœud joignable par deux noms y devient un
// lien physique. Les fichiers sont datés d'une heure plus tôt (un journal qu'on vient d'écrire
// ferait attendre la recherche). Rend l'identité (volume, numéro) de chaque nœud bâti.
std::map<Noeud, std::pair<std::uint64_t, std::uint64_t>> Materialiser(const EtatDisque& etat,
                                                                      const std::string& dossier);
// Écrit une arborescence dans dossier (existant), fichiers datés d'une heure plus tôt.
void EcrireArbre(const Arborescence& arbre, const std::string& dossier);
// Supprime un vrai dossier et ce qu'il contient.
void Vider(const std::string& dossier);

} // namespace vek::coupure
