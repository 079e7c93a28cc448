// L'extrait d'une recherche pendant son écriture.

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Ecriture.h"
#include "Erreurs.h"
#include "Validation.h"

namespace vek {

// L'extrait en cours d'écriture : nouveau, sous un nom temporaire, qui ne prend la place de
// l'ancien qu'une fois la recherche réussie ; ou prolongé (depuis sa fin, ou avant sa dernière
// ligne quand elle est relue), et ramené à ce qu'il était en cas d'échec. Dans tous les cas, un
// échec laisse l'ancien extrait tel qu'il était, octet pour octet.
class ExtraitEnCours {
public:
    explicit ExtraitEnCours(std::string chemin) : chemin_(std::move(chemin)) {}
    ~ExtraitEnCours() { Abandonner(); }
    // prolongerDepuis : la taille à partir de laquelle l'extrait se prolonge ; aRemettre : les
    // octets qu'il y avait au-delà, remis en cas d'échec.
    Resultat Ouvrir(const std::optional<std::uint64_t>& prolongerDepuis, std::string aRemettre) {
        prolonge_ = prolongerDepuis.has_value();
        aRemettre_ = std::move(aRemettre);
        depuis_ = prolongerDepuis.value_or(0);
        const bool ouvert =
            prolonge_ ? suite_.Prolonger(chemin_, depuis_) : nouveau_.Ouvrir(chemin_);
        if (!ouvert)
            return Echec(prolonge_ ? suite_.Raison() : nouveau_.Raison(), chemin_);
        ouvert_ = true;
        return Resultat::Succes();
    }
    EcrivainTexte& Flux() { return prolonge_ ? suite_ : nouveau_.Flux(); }
    Resultat Valider() {
        ouvert_ = false;
        if (prolonge_ ? suite_.Fermer() : nouveau_.ValiderTravail())
            return Resultat::Succes();
        if (prolonge_)
            Ramener();
        return prolonge_ ? Echec(suite_.Raison(), chemin_)
                         : Echec(nouveau_.Raison(), nouveau_.FichierEnCause());
    }
    void Abandonner() {
        if (!ouvert_)
            return;
        ouvert_ = false;
        if (prolonge_)
            Ramener();
        else
            nouveau_.Abandonner();
    }

private:
    void Ramener() {
        suite_.Ramener();
        if (aRemettre_.empty())
            return;
        EcrivainTexte remise;
        if (remise.Prolonger(chemin_, depuis_)) {
            remise.Ecrire(aRemettre_);
            remise.Fermer();
        }
    }
    static Resultat Echec(const std::string& raison, const std::string& fichier) {
        return Resultat::Echec("Impossible d'écrire l'extrait", fichier, raison);
    }
    std::string chemin_;
    bool prolonge_ = false, ouvert_ = false;
    std::uint64_t depuis_ = 0;
    std::string aRemettre_;
    EcritureAtomique nouveau_;
    EcrivainTexte suite_;
};

} // namespace vek
