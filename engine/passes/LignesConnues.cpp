#include "LignesConnues.h"

#include "Date.h"
#include "Ligne.h"

namespace vek {

namespace {

std::uint64_t Empreinte(std::string_view octets) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : octets) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

// L'instant d'une ligne (secondes depuis 1970) ; une ligne sans date compte pour la plus ancienne.
std::int64_t InstantDe(std::string_view ligne) {
    const auto date = DateDeLigne(ligne);
    return date ? SecondesDepuis1970({*date, SecondesDeLigne(ligne).value_or(0)}) : INT64_MIN;
}

} // namespace

void LignesConnues::Fenetre::Ajouter(std::int64_t instant, std::uint64_t empreinte) {
    lignes.emplace_back(instant, empreinte);
    ++comptes[empreinte];
}

void LignesConnues::Fenetre::Oublier() {
    const auto i = comptes.find(lignes.front().second);
    if (i != comptes.end() && --i->second == 0)
        comptes.erase(i);
    lignes.pop_front();
}

void LignesConnues::Noter(std::string_view ligne) {
    const std::int64_t instant = InstantDe(ligne);
    connues_.Ajouter(instant, Empreinte(ligne));
    const std::int64_t plusRecent = instant > connues_.lignes.front().first ? instant : INT64_MIN;
    while (connues_.lignes.size() > 1 && plusRecent != INT64_MIN &&
           connues_.lignes.front().first < plusRecent - FenetreSecondes)
        connues_.Oublier();
}

void LignesConnues::Relire() {
    reference_ = std::move(connues_);
    connues_.clear();
}

bool LignesConnues::DejaVue(std::string_view ligne) {
    if (reference_.lignes.empty())
        return false;
    if (const auto i = reference_.comptes.find(Empreinte(ligne)); i != reference_.comptes.end()) {
        if (--i->second == 0)
            reference_.comptes.erase(i);
        return true;
    }
    return InstantDe(ligne) < reference_.lignes.front().first;
}

} // namespace vek
