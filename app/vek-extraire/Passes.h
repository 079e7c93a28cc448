#pragma once
// Les seuls appels de vek-extraire au moteur : chaque passe reçoit une demande et rend ce
// qu'elle a trouvé, ou son échec. Ce que la passe a fait d'elle-même dans le dossier (une
// validation interrompue, reprise) est dit aussitôt, qu'elle réussisse ou non.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <stop_token>
#include <string>
#include <vector>

#include "Erreurs.h"
#include "Moteur.h"
#include "Suivre.h"

namespace vek {

class Messages;

// Ce que reçoit l'écriture des sorties, à côté de la sélection.
struct DemandeEcriture {
    Modes modes;
    ReglagesNettoyage nettoyage;
    FormatsSortie formats;                 // aucun : le texte seul
    std::size_t tailleMessage = 0;         // 0 : celle de chaque format
    Decoupage decoupe = Decoupage::Aucun;  // la page web : une seule, ou par jour ou par mois
    std::shared_ptr<const Requete> filtre; // --filtre : seules les lignes qui lui correspondent
};

// L'analyse des journaux (dates, nombre de lignes, séances de pause minutes au plus) ; rien
// n'est écrit.
Issue<ResumeJournal> AnalyserJournal(const Journaux& journaux, int pause, Progression& progression,
                                     std::stop_token arret);

// Les passes qui écrivent dans un dossier de sortie : la recherche, le suivi, l'écriture.
class Passes {
public:
    // horloge : celle des passes et du suivi (nulle : celle de la machine) ; direJournaux : dire
    // les horloges et les joueurs d'une fusion (pas avec -q).
    Passes(const std::string& dossier, Horloge* horloge, Messages& messages, bool direJournaux);

    Issue<ResultatRecherche> Rechercher(const Journaux& journaux, const Periode& periode,
                                        Progression& progression, std::stop_token arret);
    // Jusqu'à l'arrêt demandé : voir SuivreJournal. La recherche doit avoir réussi.
    void Suivre(const Journaux& journaux, const Periode& periode, const Selection& selection,
                const DemandeEcriture& demande, std::ostream& out, std::stop_token arret,
                const ReglagesSuivi& reglages);
    Issue<ResultatSorties> Ecrire(const Selection& selection, const DemandeEcriture& demande,
                                  Progression& progression, std::stop_token arret);

private:
    template <class T> Issue<T> DireAvis(Issue<T> issue);

    Moteur moteur_;
    Messages& messages_;
    bool journauxDits_;
};

} // namespace vek
