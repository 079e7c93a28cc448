#pragma once
// La période de l'extraction et du catalogue : les bornes de --debut et --fin, la séance de
// --session, ou les dates que l'analyse du journal trouve pour celles qui manquent.

#include <optional>

#include "Date.h"
#include "Erreurs.h"
#include "Execution.h"

namespace vek {

struct Bornes {
    std::optional<Borne> debut;
    std::optional<Borne> fin;
};

// Les bornes écrites ; une erreur d'utilisation pour une date mal écrite, sans rien lire.
Issue<Bornes> LireBornes(const Arguments& arguments);

// La période : les bornes données, celles de la séance demandée, ou les dates de l'analyse.
Issue<Periode> FixerPeriode(Execution& e, Bornes bornes);

} // namespace vek
