#pragma once
// Une opération relevée sur le dossier observé : un appel système qui a réussi et qui change ce
// qu'une coupure de courant peut laisser sur le disque (un nom, des octets, ou ce qui est déjà
// sur le disque).

#include <cstdint>
#include <string>

namespace vek::coupure {

// Un fichier ou un dossier (un nœud d'index du système de fichiers), numéroté par le banc dans
// l'ordre où il l'a vu naître ; 0 : aucun.
using Noeud = std::uint32_t;

enum class Genre {
    // Les noms (entrées des dossiers).
    Creer,            // a reçoit le nouveau fichier noeud
    CreerDossier,     // a reçoit le nouveau dossier noeud
    Renommer,         // a perd noeud, que b reçoit (b perd autre, s'il y en avait un)
    Echanger,         // a reçoit autre (celui de b), b reçoit noeud (celui de a)
    Supprimer,        // a perd son fichier
    SupprimerDossier, // a perd son dossier (vide)
    // Les données (le contenu et la taille d'un fichier).
    Ecrire,   // octets écrits dans noeud à la position
    Tronquer, // noeud ramené ou porté à la taille position
    // Ce qui est mis sur le disque.
    SyncFichier, // fsync ou fdatasync d'un fichier
    SyncDossier, // fsync d'un dossier
    SyncTout,    // syncfs ou sync
};

// Un nom dans un dossier.
struct Entree {
    Noeud dossier = 0;
    std::string nom;
};

struct Operation {
    Genre genre = Genre::SyncTout;
    Entree a;
    Entree b;
    Noeud noeud = 0;
    Noeud autre = 0;
    std::uint64_t position = 0; // Ecrire : où ; Tronquer : la taille
    std::string octets;         // Ecrire
    std::string appel;          // l'appel tel que le rapport le montre
};

inline bool EstNom(Genre g) {
    return g == Genre::Creer || g == Genre::CreerDossier || g == Genre::Renommer ||
           g == Genre::Echanger || g == Genre::Supprimer || g == Genre::SupprimerDossier;
}
inline bool EstDonnee(Genre g) {
    return g == Genre::Ecrire || g == Genre::Tronquer;
}
inline bool EstSynchronisation(Genre g) {
    return g == Genre::SyncFichier || g == Genre::SyncDossier || g == Genre::SyncTout;
}

} // namespace vek::coupure
