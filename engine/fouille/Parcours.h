#pragma once
// La boucle de correspondance d'une recherche, séparée de la lecture : elle reçoit les lignes
// d'une source dans l'ordre (un fichier lu par blocs, des journaux fusionnés…), les numérote en
// séances et dit lesquelles sont trouvées.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Correspondance.h"
#include "Date.h"
#include "FiltrePeriode.h"
#include "NumerotationSeances.h"
#include "Sessions.h"

namespace vek {

// Une ligne trouvée.
struct LigneTrouvee {
    std::uint64_t numero = 0;   // son numéro de ligne dans son journal, depuis 1
    std::uint64_t position = 0; // l'octet où elle commence dans le journal (0 : une fusion)
    std::size_t source = 0;     // le rang de son journal parmi JournauxDistincts
    Date date;
    std::optional<int> seconde;    // son heure (secondes depuis minuit), si elle se lit
    std::uint64_t seance = 0;      // sa séance, celle de --sessions ; 0 sans heure lisible
    std::string ligne;             // la ligne exacte, en Windows-1252, sans fin de ligne
    std::vector<Passage> passages; // les mots trouvés, en octets de ligne
};

class ParcoursRecherche {
public:
    // Au-delà, une ligne trouvée n'est gardée (et cherchée) que dans ses premiers octets : une
    // ligne démesurée n'entre pas en mémoire.
    static constexpr std::size_t LongueurLigneGardee = std::size_t{1} << 20;

    ParcoursRecherche(const Requete& requete, const std::optional<Periode>& periode,
                      int pauseMinutes = PauseSessionsParDefaut);

    // Une ligne dont la source sait déjà qu'elle ne peut pas correspondre (aucun des octets que
    // toute ligne trouvée contient) : seule sa séance compte.
    void Passer(std::string_view ligne) { seances_.Ajouter(ligne); }
    // La ligne suivante, à examiner : vrai si elle est trouvée (datée, dans la période s'il y en
    // a une, et correspondant à la requête) ; trouvee reçoit alors tout ce qui vient de la
    // ligne (la source y met numero et position).
    bool Examiner(std::string_view ligne, LigneTrouvee& trouvee);

    NumerotationSeances& Seances() { return seances_; }

private:
    Correspondeur correspondeur_;
    // La règle de la recherche d'une période, appliquée aux seules lignes examinées.
    std::optional<FiltrePeriode> periode_;
    NumerotationSeances seances_;
};

} // namespace vek
