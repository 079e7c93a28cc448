#include "Sessions.h"

#include "Ligne.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vek {

namespace {

std::int64_t JoursDepuis1970(Date d) {
    const std::chrono::year_month_day ymd{std::chrono::year{d.annee},
                                          std::chrono::month{static_cast<unsigned>(d.mois)},
                                          std::chrono::day{static_cast<unsigned>(d.jour)}};
    return std::chrono::sys_days{ymd}.time_since_epoch().count();
}

} // namespace

DetecteurSessions::DetecteurSessions(int pauseMinutes)
    : pause_(std::int64_t{std::max(pauseMinutes, 0)} * 60) {}

void DetecteurSessions::Ajouter(std::string_view ligne) {
    // Les lignes se suivent par jour : le jour des dix premiers octets est gardé.
    if (ligne.size() < 10)
        return;
    if (!teteConnue_ || std::memcmp(ligne.data(), tete_, 10) != 0) {
        std::memcpy(tete_, ligne.data(), 10);
        teteConnue_ = true;
        const auto date = DateDeLigne(ligne);
        datee_ = date.has_value();
        if (datee_) {
            date_ = *date;
            jour_ = JoursDepuis1970(*date);
        }
    }
    if (!datee_)
        return;
    const auto seconde = SecondesDeLigne(ligne);
    if (!seconde)
        return;
    const std::int64_t t = jour_ * SecondesParJour + *seconde;
    if (ouverte_ && (t - derniere_ > pause_ || derniere_ - t > pause_))
        Clore();
    if (!ouverte_) {
        ouverte_ = true;
        courante_ = Session{};
        courante_.numero = ++numero_;
        min_ = max_ = t;
        courante_.debut = courante_.fin = Instant{date_, *seconde};
    } else if (t < min_) {
        min_ = t;
        courante_.debut = Instant{date_, *seconde};
    } else if (t > max_) {
        max_ = t;
        courante_.fin = Instant{date_, *seconde};
    }
    derniere_ = t;
    ++courante_.lignes;
    const Extraction e = AnalyserCorps(CorpsDeLigne(ligne), tampon_);
    if (e.nom.empty())
        return;
    cle_.assign(e.nom.substr(0, LongueurNom));
    ++compteurs_[cle_];
}

void DetecteurSessions::Clore() {
    if (!ouverte_)
        return;
    ouverte_ = false;
    // Les trois plus bavards ; à égalité, l'ordre des octets du nom.
    std::vector<std::pair<std::uint64_t, const std::string*>> tous;
    tous.reserve(compteurs_.size());
    for (const auto& [nom, n] : compteurs_)
        tous.emplace_back(n, &nom);
    const auto avant = [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : *a.second < *b.second;
    };
    const std::size_t garder = std::min<std::size_t>(3, tous.size());
    std::partial_sort(tous.begin(), tous.begin() + static_cast<std::ptrdiff_t>(garder), tous.end(),
                      avant);
    for (std::size_t i = 0; i < garder; ++i)
        courante_.locuteurs.push_back(*tous[i].second);
    compteurs_.clear();
    if (sessions_.size() >= 2 * MaxSessions) {
        // Les plus anciennes partent par moitié : le coût reste constant par séance.
        sessions_.erase(sessions_.begin(), sessions_.begin() + MaxSessions);
        oubliees_ += MaxSessions;
    }
    sessions_.push_back(std::move(courante_));
}

std::vector<Session> DetecteurSessions::Terminer(std::uint64_t& oubliees) {
    Clore();
    if (sessions_.size() > MaxSessions) {
        const std::size_t trop = sessions_.size() - MaxSessions;
        sessions_.erase(sessions_.begin(), sessions_.begin() + static_cast<std::ptrdiff_t>(trop));
        oubliees_ += trop;
    }
    oubliees = oubliees_;
    return std::move(sessions_);
}

} // namespace vek
