#pragma once
// « Trouver la scène » : la passe qui cherche une requête dans tout un journal. Chaque ligne
// trouvée vient avec son numéro de ligne, sa position, sa date, son heure et sa séance ; les
// séances où il y a des résultats sont résumées. Un grand journal est lu en deux moitiés à la
// fois ; seules les lignes où se trouvent les octets candidats de la requête sont examinées.

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

#include "Date.h"
#include "Encodages.h"
#include "Erreurs.h"
#include "Parcours.h"
#include "Progression.h"
#include "Requete.h"
#include "Sessions.h"
#include "SourceLignes.h"

namespace vek {

struct DemandeScene {
    // Le journal, pris rogné de ses espaces. Un seul est lu aujourd'hui, le premier ; des
    // journaux fusionnés passeront par une source de lignes et la boucle de ParcoursRecherche.
    Journaux journaux{};
    Requete requete{};
    // Seules les lignes de la période sont trouvées, selon la règle de la recherche d'une
    // période ; les séances restent numérotées sur tout le journal.
    std::optional<Periode> periode{};
    int pauseSessions = PauseSessionsParDefaut; // minutes, comme --pause
    // Les lignes trouvées gardées dans le résultat ; au-delà, elles ne sont que comptées.
    std::uint64_t maximumGardees = 10000;
    // À partir de cette taille (octets), le journal est lu en deux moitiés à la fois (s'il y a
    // deux cœurs) ; les essais la baissent.
    std::uint64_t seuilEnDeux = std::uint64_t{16} << 20;
};

struct ResultatScene {
    std::vector<LigneTrouvee> lignes;   // dans l'ordre du journal (sauf avec un receveur)
    std::uint64_t trouvees = 0;         // toutes les lignes trouvées, gardées ou non
    std::vector<SeanceTrouvee> seances; // celles qui ont des résultats, dans l'ordre
    std::uint64_t lignesLues = 0;       // les lignes du journal
};

// Reçoit chaque ligne trouvée, dans l'ordre du journal, sur le fil de l'appel, dès qu'elle est
// sûre (une ligne de la seconde moitié attend la fin de la première). La vue ne vaut que le temps
// de l'appel.
using ReceveurLignes = std::function<void(const LigneTrouvee&)>;

// Cherche la requête dans le journal. La progression reçoit la taille du journal plus un comme
// maximum et les octets lus comme valeur (la passe ne compte pas les lignes d'abord), et le
// compteur des lignes lues ; l'arrêt est regardé à chaque bloc lu. Avec un receveur, les lignes
// trouvées lui vont à mesure et le résultat n'en garde aucune (la mémoire reste alors bornée quel
// que soit leur nombre). Rend l'échec d'un journal illisible, qui a raccourci ou qui a été
// remplacé pendant la lecture.
Issue<ResultatScene> TrouverScene(const DemandeScene& demande, Progression& progression,
                                  std::stop_token arret, const ReceveurLignes& receveur = {});

} // namespace vek
