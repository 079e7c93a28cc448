#pragma once
// Ce qu'une coupure de courant peut laisser sur le disque, selon deux modèles.
//
// Une coupure « au point k » tombe après les k premières opérations de la trace et avant la
// suivante (k de 0 à n : avant la première, entre deux, après la dernière). Tout ce que la trace
// tenait pour sur le disque au départ l'est resté. Chaque opération sur un nom est d'un bloc :
// l'appel entier ou rien (un échange ne laisse jamais un seul des deux noms changé).
//
// Modèle « ext4 data=ordered » (options par défaut : journal, allocation différée, auto_da_alloc) :
//  1. Les opérations sur les noms (création, création de dossier, renommage, échange, suppression)
//     vont au journal dans l'ordre du programme : une coupure en garde un préfixe, de zéro à
//     toutes.
//  2. Un fsync ou un fdatasync (d'un fichier ou d'un dossier), un syncfs ou un sync valide le
//     journal : toutes les opérations sur les noms qui le précèdent sont sur le disque, quel que
//     soit leur dossier.
//  3. Les données d'un fichier (ses écritures et ses troncatures, dans leur ordre) partent à
//     l'écriture différée : une coupure en garde un préfixe, la dernière écriture gardée pouvant
//     être coupée à une frontière de bloc de 4 Kio du fichier. Jamais de zéros ni d'octets
//     étrangers : en data=ordered la taille ne grandit qu'avec les données. Un fsync ou un
//     fdatasync du fichier, un syncfs ou un sync met sur le disque toutes ses données qui le
//     précèdent. Simplification : la troncature, qu'ext4 journalise, suit ici le sort des données
//     de son fichier (elle ne sert qu'à réécrire sur place un fichier de travail).
//  4. auto_da_alloc : un rename(2) qui remplace un fichier existant met d'abord sur le disque les
//     données du fichier renommé (pas un échange, RENAME_EXCHANGE).
//
// Modèle « tout ce qui n'a pas été mis sur le disque peut se perdre ou se réordonner », entrées
// des dossiers comprises :
//  1. Les opérations sur les noms qui ne sont pas encore sur le disque se gardent ou se perdent
//     chacune pour soi, dans n'importe quel sous-ensemble : un renommage, une création ou une
//     suppression peuvent être défaits alors qu'une opération qui les suit est gardée. Celles qui
//     sont gardées s'appliquent dans l'ordre du programme, chacune posant sous ses noms les nœuds
//     qu'elle y a posés pendant l'exécution ; un nœud qu'aucun nom ne joint plus depuis la racine
//     est perdu (comme un fichier qu'fsck met de côté).
//  2. Une opération sur un nom n'est sur le disque qu'après un fsync de chaque dossier dont elle
//     change une entrée (pour un renommage, le dossier de départ et celui d'arrivée), ou un
//     syncfs ou un sync. Le fsync d'un fichier ne met pas son nom sur le disque.
//  3. Les données d'un fichier qu'aucun fsync ou fdatasync de ce fichier, syncfs ou sync n'a mises
//     sur le disque peuvent se perdre en tout ou en partie : chaque bloc de 4 Kio du fichier
//     qu'une écriture touche (au-delà de 8 blocs, l'écriture se découpe en 8 parts égales) et
//     chaque troncature se garde ou se perd pour soi, dans n'importe quel sous-ensemble. La
//     taille du fichier peut de plus être à jour sans ses données : les blocs perdus au-delà de
//     l'ancienne fin sont alors des zéros.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Disque.h"
#include "Enumeration.h"
#include "Traceur.h"

namespace vek::coupure {

enum class Modele { Ext4Ordonne, ToutPeutSePerdre };
std::string_view NomModele(Modele modele);

struct EtatPossible {
    EtatDisque etat;
    std::string pertes; // ce que la coupure a perdu, pour le rapport (vide : rien)
};

class Coupures {
public:
    explicit Coupures(const Trace& trace);
    std::size_t Points() const { return ops_.size() + 1; }
    const std::vector<Operation>& Operations() const { return ops_; }
    // L'état que voit le programme au point (tout ce qui précède appliqué).
    const EtatDisque& Logique(std::size_t point) const { return logiques_[point]; }
    // Les états à vérifier pour une coupure au point : tous, ou au plus seuil choisis
    // (Enumeration.h) ; possibles reçoit le nombre de tous ceux du modèle.
    std::vector<EtatPossible> Etats(std::size_t point, Modele modele, std::size_t seuil,
                                    std::uint64_t graine, std::uint64_t* possibles = nullptr) const;

private:
    struct Coupe {
        std::size_t gardees = 0; // écritures gardées entières
        std::size_t octets = 0;  // puis les premiers octets de la suivante
    };
    struct Unite {
        std::size_t op = 0;
        std::size_t debut = 0, fin = 0; // la part des octets d'une écriture
    };
    // Ce qui n'est pas encore sur le disque au point, pour chaque modèle.
    struct AttenteExt4 {
        std::vector<std::size_t> noms; // les opérations sur les noms, dans l'ordre
        std::vector<std::size_t> rang; // le rang de chaque opération dans sa liste
        std::map<Noeud, std::vector<std::size_t>> donnees; // par fichier, dans l'ordre
        std::map<Noeud, std::vector<Coupe>> coupes;        // les préfixes possibles
    };
    struct AttenteDesordre {
        std::vector<std::size_t> noms;
        std::vector<Unite> unites;
        std::vector<Noeud> tailles; // les fichiers dont la taille peut aller sans les données
    };
    AttenteExt4 EnAttenteExt4(std::size_t point) const;
    EtatPossible BatirExt4(std::size_t point, const AttenteExt4& a, const Combinaison& c) const;
    AttenteDesordre EnAttenteDesordre(std::size_t point) const;
    EtatPossible BatirDesordre(std::size_t point, const AttenteDesordre& a,
                               const Combinaison& c) const;
    std::vector<Coupe> CoupesPossibles(const std::vector<std::size_t>& donnees) const;
    std::vector<Unite> Unites(std::size_t op) const;
    std::string Nom(std::size_t point, Noeud noeud) const;

    std::vector<Operation> ops_;
    std::vector<EtatDisque> logiques_;
    // L'opération qui met chacune sur le disque, par modèle (npos : aucune).
    std::vector<std::size_t> durableExt4_, durableDesordre_;
};

} // namespace vek::coupure
