#include "Parcours.h"

#include "Ligne.h"

namespace vek {

ParcoursRecherche::ParcoursRecherche(const Requete& requete, const std::optional<Periode>& periode,
                                     int pauseMinutes)
    : correspondeur_(requete), seances_(pauseMinutes) {
    if (periode)
        periode_.emplace(*periode);
}

bool ParcoursRecherche::Examiner(std::string_view ligneEntiere, LigneTrouvee& trouvee) {
    const std::uint64_t seance = seances_.Ajouter(ligneEntiere);
    const std::string_view ligne = ligneEntiere.substr(0, LongueurLigneGardee);
    const auto date = DateDeLigne(ligne);
    if (!date)
        return false;
    if (periode_ && !periode_->Retient(ligne))
        return false;
    const auto seconde = SecondesDeLigne(ligne);
    if (!correspondeur_.Correspond(ligne, &trouvee.passages))
        return false;
    trouvee.date = *date;
    trouvee.seconde = seconde;
    trouvee.seance = seance;
    trouvee.ligne.assign(ligne);
    if (seance > 0)
        seances_.CompterResultat();
    return true;
}

} // namespace vek
