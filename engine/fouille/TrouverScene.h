#pragma once
// « Trouver la scène » : la passe qui cherche une requête dans tout un journal, ou dans la
// fusion de plusieurs. Chaque ligne trouvée vient avec son numéro de ligne, sa date, son heure et
// sa séance ; les séances où il y a des résultats sont résumées. Un grand journal seul est lu en
// deux moitiés à la fois ; seules les lignes où se trouvent les octets candidats de la requête
// sont examinées.

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
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
    // Les journaux, pris rognés de leurs espaces. Plusieurs sont lus par leur fusion
    // (SourceDesJournaux), ligne à ligne : plus lentement qu'un seul, lu par blocs. Les lignes
    // trouvées sont alors celles de la fusion (heures ramenées à l'horloge du premier journal),
    // numérotées dans leur propre journal, et les séances sont celles de la fusion.
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
    std::uint64_t lignesLues = 0;       // les lignes du journal (d'une fusion : rendues)
    // Les journaux lus, dans l'ordre (le même fichier donné deux fois n'y est qu'une fois) :
    // LigneTrouvee::source en est le rang. Avec plusieurs, ce qu'il faut dire de leurs horloges
    // et de leurs joueurs (en UTF-8).
    std::vector<NomFichier> journaux;
    std::vector<std::string> avisJournaux;
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
