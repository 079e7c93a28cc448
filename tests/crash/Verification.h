#pragma once
// La vérification d'un état qu'une coupure peut laisser : il est bâti dans un vrai dossier,
// l'exécution suivante y est lancée, puis on regarde ce qu'elle a laissé.
//
// Les défauts cherchés, après l'exécution suivante :
//  - « ensemble mêlé » : les sorties (tout ce que « sortie/ » contient hors de l'extrait, du
//    verrou, de l'enregistrement de validation et des temporaires) ne sont pas un ensemble que
//    le dossier a eu à un instant sans validation en cours (ni temporaire ni enregistrement) :
//    ni entièrement anciennes, ni entièrement nouvelles ;
//  - « reprise muette » : l'état avait un enregistrement de validation (une validation
//    interrompue) et l'exécution suivante n'a rien dit d'un remplacement sur sa sortie d'erreur ;
//  - « journal touché » : ce que « jeu/ » contient a changé ;
//  - « temporaire restant » : un temporaire, l'enregistrement ou le verrou est encore là ;
//  - « extrait faux » : LogVEKtemp.txt n'est pas celui qu'écrit la même commande dans un
//    dossier neuf avec le même journal ;
//  - « exécution suivante en échec » : elle n'a pas fini avec succès dans son délai.
//
// Une coupure garde les numéros de nœud des fichiers ; un état bâti ne les garde pas. Les
// numéros que cite l'enregistrement de validation (« volume<TAB>numéro » en fin de ligne) sont
// donc remplacés par ceux des fichiers bâtis pour les mêmes nœuds, avant l'exécution suivante.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Disque.h"
#include "Modeles.h"
#include "Scenarios.h"
#include "Traceur.h"

namespace vek::coupure {

struct Defaut {
    std::string genre;
    std::string detail;
};

// Un nom temporaire du programme (« sortie.tmp-<processus>-<16 chiffres hexadécimaux> », suivi
// ou non de « -ancien »).
bool EstTemporaire(const std::string& nom);

class Verificateur {
public:
    // anterieures : des arborescences dont les sorties valent aussi (Preparatifs) ; etat,
    // reference : deux dossiers de travail à lui.
    Verificateur(const Scenario& scenario, const Trace& trace, const Coupures& coupures,
                 const std::vector<Arborescence>& anterieures, std::string etat,
                 std::string reference);
    std::vector<Defaut> Verifier(const EtatDisque& etat);
    std::size_t EnsemblesValides() const { return valides_.size(); }
    std::size_t Executions() const { return executions_; }

private:
    Arborescence Sorties(const Arborescence& arbre) const;
    std::string Decrire(const Arborescence& sorties) const;
    std::optional<std::string> ExtraitAttendu(const Arborescence& jeu);
    std::size_t NeDe(Noeud noeud) const;
    void
    TraduireEnregistrement(const EtatDisque& etat,
                           const std::map<Noeud, std::pair<std::uint64_t, std::uint64_t>>& bati);
    void Examiner(const Arborescence& avant, const Arborescence& apres, const Fin& fin,
                  std::vector<Defaut>& defauts);

    const Scenario& scenario_;
    const Trace& trace_;
    std::string etat_, reference_;
    std::set<Arborescence> valides_;
    Arborescence ancien_, nouveau_;
    std::map<std::uint64_t, std::optional<std::string>> extraits_;
    std::size_t executions_ = 0;
};

} // namespace vek::coupure
