#include "Sessions.h"

#include "Ligne.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vek {

namespace {

// Empreinte d'un nom, huit octets à la fois.
std::uint64_t Empreinte(std::string_view t) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ t.size();
    std::size_t i = 0;
    for (; i + 8 <= t.size(); i += 8) {
        std::uint64_t mot;
        std::memcpy(&mot, t.data() + i, 8);
        h = (h ^ mot) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    // La fin : les huit derniers octets d'un coup (quitte à relire), ou octet par octet pour
    // un nom plus court. Une recopie de longueur variable vers la pile ferait relire le mot
    // avant que ses octets n'y soient arrivés (le processeur attend alors).
    std::uint64_t reste = 0;
    if (t.size() >= 8)
        std::memcpy(&reste, t.data() + t.size() - 8, 8);
    else
        for (std::size_t k = 0; k < t.size(); ++k)
            reste = (reste << 8) | static_cast<unsigned char>(t[k]);
    h = (h ^ reste) * 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 29);
}

// Demande une case à la mémoire sans l'attendre.
inline void Pressentir(const void* adresse) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(adresse);
#else
    (void)adresse;
#endif
}

} // namespace

DetecteurSessions::DetecteurSessions(int pauseMinutes)
    : pause_(std::int64_t{std::max(pauseMinutes, 0)} * 60), cases_(256) {}

void DetecteurSessions::Compter(std::string_view nom, std::uint64_t h, std::uint64_t paroles) {
    const std::size_t masque = cases_.size() - 1;
    for (std::size_t i = h & masque;; i = (i + 1) & masque) {
        Case& c = cases_[i];
        if (c.compte == 0) {
            c.empreinte = h;
            c.paroles = paroles;
            comptes_.push_back({noms_.size(), nom.size(), 0, i});
            c.compte = static_cast<std::uint32_t>(comptes_.size());
            noms_.append(nom);
            if (comptes_.size() * 2 > cases_.size())
                Agrandir();
            return;
        }
        if (c.empreinte == h) {
            c.paroles += paroles;
            return;
        }
    }
}

void DetecteurSessions::Agrandir() {
    std::vector<Case> anciennes(cases_.size() * 2);
    anciennes.swap(cases_);
    const std::size_t masque = cases_.size() - 1;
    for (const Case& c : anciennes) {
        if (c.compte == 0)
            continue;
        std::size_t i = c.empreinte & masque;
        while (cases_[i].compte != 0)
            i = (i + 1) & masque;
        cases_[i] = c;
        comptes_[c.compte - 1].cas = i;
    }
}

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
    // Le nom d'abord : sa case est demandée à la mémoire pendant que l'heure se lit (la table
    // sort du cache au fil de la lecture du journal, et l'attente de sa case coûtait autant que
    // le reste de la ligne).
    const Extraction e = AnalyserCorps(CorpsDeLigne(ligne), tampon_);
    const std::string_view nom = e.nom.substr(0, LongueurNom);
    const std::uint64_t h = nom.empty() ? 0 : Empreinte(nom);
    if (!nom.empty())
        Pressentir(&cases_[h & (cases_.size() - 1)]);
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
        if (numero_ == 1)
            premiere_ = t;
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
    if (!nom.empty())
        Compter(nom, h);
}

void DetecteurSessions::Clore() {
    if (!ouverte_)
        return;
    ouverte_ = false;
    // Les trois plus bavards ; à égalité, l'ordre des octets du nom.
    const auto nom = [this](const Compte& c) {
        return std::string_view(noms_).substr(c.debut, c.longueur);
    };
    const auto avant = [&nom](const Compte& a, const Compte& b) {
        return a.paroles != b.paroles ? a.paroles > b.paroles : nom(a) < nom(b);
    };
    for (Compte& c : comptes_)
        c.paroles = cases_[c.cas].paroles;
    const std::size_t garder = std::min<std::size_t>(3, comptes_.size());
    std::partial_sort(comptes_.begin(), comptes_.begin() + static_cast<std::ptrdiff_t>(garder),
                      comptes_.end(), avant);
    for (std::size_t i = 0; i < garder; ++i)
        courante_.locuteurs.emplace_back(nom(comptes_[i]));
    if (suite_ && courante_.numero == 1) {
        for (const Compte& c : comptes_)
            comptesPremiere_.emplace_back(nom(c), c.paroles);
        premiereSeance_ = courante_;
        premiereMin_ = min_;
        premiereMax_ = max_;
    }
    for (const Compte& c : comptes_)
        cases_[c.cas] = Case{};
    comptes_.clear();
    noms_.clear();
    Garder(std::move(courante_));
}

void DetecteurSessions::Garder(Session&& session) {
    if (sessions_.size() >= 2 * MaxSessions) {
        // Les plus anciennes partent par moitié : le coût reste constant par séance.
        sessions_.erase(sessions_.begin(), sessions_.begin() + MaxSessions);
        oubliees_ += MaxSessions;
    }
    sessions_.push_back(std::move(session));
}

void DetecteurSessions::Etendre(const Session& s, std::int64_t min, std::int64_t max) {
    courante_.lignes += s.lignes;
    if (min < min_) {
        min_ = min;
        courante_.debut = s.debut;
    }
    if (max > max_) {
        max_ = max;
        courante_.fin = s.fin;
    }
}

void DetecteurSessions::Fusionner(DetecteurSessions&& suite) {
    if (suite.numero_ == 0)
        return; // la suite n'a aucune ligne à l'heure lisible
    // La première ligne de la suite continue-t-elle la séance en cours ?
    const bool jointe =
        ouverte_ && suite.premiere_ - derniere_ <= pause_ && derniere_ - suite.premiere_ <= pause_;
    const std::uint64_t decalage = numero_ - (jointe ? 1 : 0);
    std::size_t reprises = 0; // séances de la suite déjà versées dans la séance en cours
    if (jointe && suite.numero_ == 1 && suite.ouverte_) {
        // La suite n'est qu'un prolongement de la séance en cours, qui reste ouverte.
        for (const Compte& c : suite.comptes_) {
            const Case& k = suite.cases_[c.cas];
            Compter(std::string_view(suite.noms_).substr(c.debut, c.longueur), k.empreinte,
                    k.paroles);
        }
        Etendre(suite.courante_, suite.min_, suite.max_);
        derniere_ = suite.derniere_;
        return;
    }
    if (jointe) {
        for (const auto& [nom, paroles] : suite.comptesPremiere_)
            Compter(nom, Empreinte(nom), paroles);
        Etendre(suite.premiereSeance_, suite.premiereMin_, suite.premiereMax_);
        // Encore en tête des séances de la suite si aucune n'y a été oubliée.
        reprises = suite.oubliees_ == 0 ? 1 : 0;
    }
    Clore();
    if (suite.oubliees_ > 0) {
        // Des séances de la suite, plus récentes que toutes celles d'ici, ont été oubliées :
        // celles d'ici le sont aussi (une séance jointe n'est comptée qu'une fois).
        oubliees_ += sessions_.size() + suite.oubliees_ - (jointe ? 1 : 0);
        sessions_.clear();
    }
    for (std::size_t i = reprises; i < suite.sessions_.size(); ++i) {
        suite.sessions_[i].numero += decalage;
        Garder(std::move(suite.sessions_[i]));
    }
    // L'état de la suite devient le nôtre : sa séance ouverte, sa table des locuteurs.
    numero_ = suite.numero_ + decalage;
    ouverte_ = suite.ouverte_;
    courante_ = std::move(suite.courante_);
    courante_.numero += decalage;
    min_ = suite.min_;
    max_ = suite.max_;
    derniere_ = suite.derniere_;
    cases_.swap(suite.cases_);
    comptes_.swap(suite.comptes_);
    noms_.swap(suite.noms_);
    std::memcpy(tete_, suite.tete_, sizeof tete_);
    teteConnue_ = suite.teteConnue_;
    jour_ = suite.jour_;
    datee_ = suite.datee_;
    date_ = suite.date_;
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
