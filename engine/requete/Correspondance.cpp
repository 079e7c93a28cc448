#include "Correspondance.h"

#include "Enregistrement.h"
#include "Ligne.h"
#include "Repli.h"

#include <algorithm>
#include <utility>

namespace vek {

namespace {

// Une liste de champs demandés : la valeur doit être l'une des retenues (s'il y en a) et
// aucune des écartées.
bool ChampAdmis(const std::vector<Champ>& champs, std::string_view valeur) {
    bool retenue = false, demande = false;
    for (const Champ& c : champs) {
        const bool egal = c.valeur == valeur;
        if (c.exclu && egal)
            return false;
        if (!c.exclu) {
            demande = true;
            retenue = retenue || egal;
        }
    }
    return retenue || !demande;
}

} // namespace

Correspondeur::Correspondeur(Requete requete) : requete_(std::move(requete)) {
    // Les termes retenus d'abord : une ligne qui n'en contient pas un est écartée au plus tôt.
    std::stable_partition(requete_.termes.begin(), requete_.termes.end(),
                          [](const Terme& t) { return !t.exclu; });
}

bool Correspondeur::ChampsRetenus(std::string_view tag, bool channel, std::string_view nom) {
    if (!requete_.channels.empty()) {
        tagMajuscules_.clear();
        if (channel) {
            // Sans ses crochets (le tag recomposé d'un corps sans « ] » finit aussi par « ] »).
            std::string_view interieur = tag.substr(1);
            if (!interieur.empty() && interieur.back() == ']')
                interieur.remove_suffix(1);
            MettreEnMajuscules(interieur, tagMajuscules_);
        }
        // Une ligne sans channel n'est d'aucun channel demandé, ni d'aucun écarté.
        if (channel ? !ChampAdmis(requete_.channels, tagMajuscules_)
                    : std::any_of(requete_.channels.begin(), requete_.channels.end(),
                                  [](const Champ& c) { return !c.exclu; }))
            return false;
    }
    if (!requete_.locuteurs.empty()) {
        nomReplie_.clear();
        AjouterReplie(nom, nomReplie_);
        if (!ChampAdmis(requete_.locuteurs, nomReplie_))
            return false;
    }
    return true;
}

void Correspondeur::Decouper(std::string_view message) {
    mots_.clear();
    replie_.clear();
    const auto* octets = reinterpret_cast<const unsigned char*>(message.data());
    const std::size_t n = message.size();
    std::size_t i = 0;
    while (i < n) {
        while (i < n && !LettreOuChiffre(octets[i]))
            ++i;
        if (i == n)
            break;
        Mot m{i, i, replie_.size(), 0};
        for (; i < n && LettreOuChiffre(octets[i]); ++i) {
            const OctetReplie r = Replier(octets[i]);
            replie_.append(r.octets, r.longueur);
        }
        m.fin = i;
        m.finReplie = replie_.size();
        mots_.push_back(m);
    }
}

bool Correspondeur::CommenceA(const Terme& terme, std::size_t k) const {
    const std::size_t n = terme.mots.size();
    if (k + n > mots_.size())
        return false;
    for (std::size_t j = 0; j + 1 < n; ++j)
        if (Replie(mots_[k + j]) != terme.mots[j])
            return false;
    return Replie(mots_[k + n - 1]).starts_with(terme.mots[n - 1]);
}

bool Correspondeur::Trouver(const Terme& terme, std::vector<Passage>* passages,
                            std::size_t decalage) const {
    bool trouve = false;
    for (std::size_t k = 0; k < mots_.size(); ++k) {
        if (!CommenceA(terme, k))
            continue;
        if (!passages)
            return true;
        trouve = true;
        const std::size_t fin = mots_[k + terme.mots.size() - 1].fin;
        passages->push_back({decalage + mots_[k].debut, fin - mots_[k].debut});
    }
    return trouve;
}

bool Correspondeur::Correspond(std::string_view ligne, std::vector<Passage>* passages) {
    if (passages)
        passages->clear();
    if (!DateDeLigne(ligne))
        return false;
    const std::string_view corps = CorpsDeLigne(ligne);
    const Extraction e = AnalyserCorps(corps, tampon_);
    const Parole p = LireParole(corps, e);
    if (!ChampsRetenus(e.tag, e.genre == GenreCorps::Channel, p.nom))
        return false;
    Decouper(p.message);
    const auto decalage = static_cast<std::size_t>(p.message.data() - ligne.data());
    for (const Terme& t : requete_.termes) {
        if (!t.exclu ? !Trouver(t, passages, decalage) : Trouver(t, nullptr, 0)) {
            if (passages)
                passages->clear();
            return false;
        }
    }
    if (passages && !passages->empty()) {
        // Dans l'ordre de la ligne ; ceux qui se chevauchent ou se touchent sont réunis.
        std::sort(passages->begin(), passages->end(),
                  [](const Passage& a, const Passage& b) { return a.debut < b.debut; });
        std::size_t garde = 0;
        for (std::size_t i = 1; i < passages->size(); ++i) {
            Passage& dernier = (*passages)[garde];
            const Passage& p2 = (*passages)[i];
            if (p2.debut <= dernier.debut + dernier.longueur)
                dernier.longueur =
                    std::max(dernier.debut + dernier.longueur, p2.debut + p2.longueur) -
                    dernier.debut;
            else
                (*passages)[++garde] = p2;
        }
        passages->resize(garde + 1);
    }
    return true;
}

} // namespace vek
