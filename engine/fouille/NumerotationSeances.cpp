#include "NumerotationSeances.h"

#include <algorithm>

namespace vek {

NumerotationSeances::NumerotationSeances(int pauseMinutes)
    : pause_(std::int64_t{std::max(pauseMinutes, 0)} * 60) {}

std::uint64_t NumerotationSeances::AjouterLentement(std::string_view ligne) {
    if (ligne.size() < 10)
        return 0;
    if (!teteConnue_ || std::memcmp(ligne.data(), tete_, 10) != 0) {
        std::memcpy(tete_, ligne.data(), 10);
        teteConnue_ = true;
        const auto date = DateDeLigne(ligne);
        datee_ = date.has_value();
        if (datee_)
            jourSecondes_ = JoursDepuis1970(*date) * SecondesParJour;
    }
    if (!datee_)
        return 0;
    const auto seconde = SecondesDeLigne(ligne);
    if (!seconde)
        return 0;
    if (ligne.size() >= LongueurEnTete)
        NoterEnTete(ligne.data());
    return Placer(jourSecondes_ + *seconde);
}

void NumerotationSeances::Ouvrir(std::int64_t t) {
    ouverte_ = true;
    if (++numero_ == 1)
        premiere_ = t;
    min_ = max_ = t;
    resultats_ = 0;
}

void NumerotationSeances::Clore() {
    if (!ouverte_)
        return;
    ouverte_ = false;
    if (suite_ && numero_ == 1) {
        premiereClose_ = true;
        premiereMin_ = min_;
        premiereMax_ = max_;
        premiereResultats_ = resultats_;
    }
    if (resultats_ > 0)
        trouvees_.push_back(
            {numero_, InstantDepuis1970(min_), InstantDepuis1970(max_), resultats_});
}

std::uint64_t NumerotationSeances::Decalage(std::int64_t premiereDeLaSuite) const {
    const bool jointe = ouverte_ && premiereDeLaSuite - derniere_ <= pause_ &&
                        derniere_ - premiereDeLaSuite <= pause_;
    return numero_ - (jointe ? 1 : 0);
}

void NumerotationSeances::Fusionner(NumerotationSeances&& suite) {
    if (suite.numero_ == 0)
        return;            // la suite n'a aucune ligne à l'heure lisible : rien ne change ici
    enTeteConnue_ = false; // la dernière ligne placée sera celle de la suite
    const std::uint64_t decalage = Decalage(suite.premiere_);
    const bool jointe = decalage != numero_;
    std::size_t reprises = 0; // séances de la suite versées dans la séance en cours
    if (jointe) {
        // La première séance de la suite continue la séance en cours.
        const bool ouverteDansLaSuite = !suite.premiereClose_;
        min_ = std::min(min_, ouverteDansLaSuite ? suite.min_ : suite.premiereMin_);
        max_ = std::max(max_, ouverteDansLaSuite ? suite.max_ : suite.premiereMax_);
        resultats_ += ouverteDansLaSuite ? suite.resultats_ : suite.premiereResultats_;
        if (ouverteDansLaSuite) {
            derniere_ = suite.derniere_;
            return; // la suite n'est qu'un prolongement de la séance en cours, encore ouverte
        }
        reprises = !suite.trouvees_.empty() && suite.trouvees_.front().numero == 1 ? 1 : 0;
    }
    Clore();
    for (std::size_t i = reprises; i < suite.trouvees_.size(); ++i) {
        SeanceTrouvee s = suite.trouvees_[i];
        s.numero += decalage;
        trouvees_.push_back(s);
    }
    // L'état de la suite devient le nôtre : sa séance ouverte, son jour.
    if (numero_ == 0)
        premiere_ = suite.premiere_;
    numero_ = suite.numero_ + decalage;
    ouverte_ = suite.ouverte_;
    min_ = suite.min_;
    max_ = suite.max_;
    derniere_ = suite.derniere_;
    resultats_ = suite.resultats_;
    std::memcpy(enTete_, suite.enTete_, sizeof enTete_);
    enTeteConnue_ = suite.enTeteConnue_;
    std::memcpy(tete_, suite.tete_, sizeof tete_);
    teteConnue_ = suite.teteConnue_;
    datee_ = suite.datee_;
    jourSecondes_ = suite.jourSecondes_;
}

std::vector<SeanceTrouvee> NumerotationSeances::Terminer() {
    Clore();
    return std::move(trouvees_);
}

} // namespace vek
