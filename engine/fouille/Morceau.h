#pragma once
// La lecture d'un morceau du journal pour une recherche : par blocs de lignes entières, chaque
// ligne numérotée et passée à la boucle de correspondance, examinée seulement si un candidat de
// la requête s'y trouve.

#include <atomic>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "Candidats.h"
#include "Lecture.h"
#include "Parcours.h"

namespace vek {

// Ce qu'un lecteur trouve dans son morceau.
struct Morceau {
    Morceau(const Requete& requete, const std::optional<Periode>& periode, int pause)
        : parcours(requete, periode, pause) {}

    ParcoursRecherche parcours;
    std::uint64_t lignes = 0; // lues ; les numéros des lignes trouvées en partent
    // Pour la progression, lus d'un autre fil.
    std::atomic<std::uint64_t> octetsLus{0}, lignesLues{0};
    bool erreur = false, raccourci = false, interrompu = false;
    std::string raison;
};

// Reçoit chaque ligne trouvée (numéro dans le morceau, position dans le journal) ; peut la vider.
using Emetteur = std::function<void(LigneTrouvee&)>;

// Lit les lignes du lecteur ouvert jusqu'au début de ligne jusqua (0 : jusqu'au bout). Le
// morceau a raccourci s'il n'atteint pas jusqua, si le fichier est plus court que taille à
// l'ouverture, ou s'il a raccourci pendant la lecture. regard est appelé après chaque bloc.
void LireMorceau(LecteurTexte& lecteur, std::uint64_t jusqua, std::uint64_t taille,
                 const OctetsCandidats& candidats, Morceau& m, const std::stop_token& arret,
                 const Emetteur& emettre, const std::function<void()>& regard);

// Le début de ligne le plus proche après le milieu du journal, ou 0 quand il n'y en a pas.
std::uint64_t PointDeCoupe(const NomFichier& chemin, std::uint64_t taille);

} // namespace vek
