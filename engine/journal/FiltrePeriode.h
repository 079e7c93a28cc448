#pragma once
// Le filtre d'une période, ligne à ligne, aussi rapide que la lecture.

#include <cstdint>
#include <cstring>
#include <string_view>

#include "Date.h"
#include "Ligne.h"

namespace vek {

// Les lignes d'un journal se suivent par jour : le sort du jour des dix premiers caractères de
// la ligne précédente est gardé pour ne pas le recalculer. Un jour entièrement dans la période
// (ou hors d'elle) décide seul ; seul un jour de borne coupé par une heure fait lire l'heure de
// chaque ligne, et une heure illisible y compte pour minuit.
class FiltrePeriode {
public:
    explicit FiltrePeriode(const Periode& periode) : periode_(periode) {}
    bool Retient(std::string_view ligne) {
        if (ligne.size() < 10 || !teteConnue_ || std::memcmp(ligne.data(), tete_, 10) != 0)
            Classer(ligne);
        if (sort_ != Sort::NonDatee)
            ++datees_;
        if (sort_ == Sort::Dehors && periode_.fin.date < jour_)
            apresLaFin_ = true;
        if (sort_ != Sort::Borne)
            return sort_ == Sort::Dedans;
        const Instant instant{jour_, SecondesDeLigne(ligne).value_or(0)};
        apresLaFin_ = apresLaFin_ || periode_.fin < instant;
        return !(instant < periode_.debut) && !(periode_.fin < instant);
    }
    std::uint64_t Datees() const { return datees_; } // lignes datées vues
    bool ApresLaFin() const { return apresLaFin_; }  // une ligne vue datée après la période

private:
    enum class Sort { NonDatee, Dehors, Dedans, Borne };
    void Classer(std::string_view ligne) {
        const auto date = DateDeLigne(ligne);
        teteConnue_ = ligne.size() >= 10;
        if (teteConnue_)
            std::memcpy(tete_, ligne.data(), 10);
        if (!date) {
            sort_ = Sort::NonDatee;
            return;
        }
        jour_ = *date;
        if (*date < periode_.debut.date || periode_.fin.date < *date)
            sort_ = Sort::Dehors;
        else if ((*date == periode_.debut.date && periode_.debut.seconde > 0) ||
                 (*date == periode_.fin.date && periode_.fin.seconde < SecondesParJour - 1))
            sort_ = Sort::Borne;
        else
            sort_ = Sort::Dedans;
    }
    Periode periode_;
    char tete_[10] = {};
    bool teteConnue_ = false;
    Sort sort_ = Sort::NonDatee;
    Date jour_;
    std::uint64_t datees_ = 0;
    bool apresLaFin_ = false;
};

} // namespace vek
