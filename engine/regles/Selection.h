#pragma once
// Sélection capturée dans les arbres, et le tri et la réécriture des lignes de l'extrait.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Catalogue.h"
#include "Enregistrement.h"
#include "Ligne.h"

namespace vek {

struct Modes {
    bool ModeUnlessDate = false;    // sans la date et l'heure
    bool ModeRPName = false;        // sans les guillemets autour du nom
    bool ModeUnlessChannel = false; // sans le tag du channel
    friend bool operator==(const Modes&, const Modes&) = default;
};

// Les modes tels que la boîte des options les publie : le journal final, qui s'écrit sur un
// autre fil, les lit d'un seul coup, jamais à moitié changés.
class ModesPartages {
public:
    ModesPartages(Modes modes = {}) { Publier(modes); }
    ModesPartages(const ModesPartages&) = delete;
    ModesPartages& operator=(const ModesPartages&) = delete;
    ModesPartages& operator=(const Modes& modes) {
        Publier(modes);
        return *this;
    }
    operator Modes() const { return Lire(); }

    Modes Lire() const {
        const unsigned bits = bits_.load(std::memory_order_acquire);
        return {(bits & 1u) != 0, (bits & 2u) != 0, (bits & 4u) != 0};
    }
    void Publier(const Modes& modes) {
        bits_.store(static_cast<unsigned char>((modes.ModeUnlessDate ? 1u : 0u) |
                                               (modes.ModeRPName ? 2u : 0u) |
                                               (modes.ModeUnlessChannel ? 4u : 0u)),
                    std::memory_order_release);
    }

private:
    std::atomic<unsigned char> bits_{0};
};

class Selection {
public:
    // Au plus MaxChannels channels et MaxNoms noms cochés sont pris (les doublons comptent) ;
    // les suivants sont ignorés.
    static constexpr std::size_t MaxChannels = 101;
    static constexpr std::size_t MaxNoms = 5000;

    void Vider();
    void AjouterChannel(std::string_view texte);
    void AjouterNom(std::string_view texte);

    bool ProximiteEtNomRetenus(std::string_view nom) const;
    bool NomRetenu(std::string_view nom) const;
    bool ChannelRetenu(std::string_view channel) const;

    // Les textes retenus, chacun une fois, dans l'ordre où ils ont été cochés (celui des arbres).
    std::size_t NombreChannels() const { return channels_.Taille(); }
    std::size_t NombreNoms() const { return noms_.Taille(); }
    std::string_view Channel(std::size_t i) const { return channels_.Texte(i); }
    std::string_view Nom(std::size_t i) const { return noms_.Texte(i); }

private:
    std::size_t channelsCoches_ = 0;
    std::size_t nomsCoches_ = 0;
    IndexTextes channels_{MaxChannels, false};
    IndexTextes noms_{MaxNoms, false};
};

// Zones de travail de la réécriture, réutilisées d'une ligne à l'autre (pas d'allocation en
// régime établi). Chaque fil a les siennes, sur ses propres lignes de cache.
struct alignas(64) TravailReecriture {
    std::string tamponTag;
    std::string nom;
    std::string motif;
    std::string remplacement;
    std::string tampons[2];  // alternés entre deux remplacements
    std::string tamponTexte; // le message après les modes, quand il a fallu le réécrire
    // Aucune sortie ne lit le message (seul LogFinal.txt s'écrit) : il n'est pas réécrit à part,
    // et une ligne démesurée n'en coûte pas une seconde copie.
    bool sansMessage = false;
};

// Les textes d'un enregistrement qui sont dans un tampon de travail passent dans sortie (la
// ligne) et annexe (le message) : les vues restent valables après le travail de la ligne
// suivante, et le travail rend la mémoire d'une ligne démesurée.
void ReprendreReecriture(TravailReecriture& travail, Enregistrement& enregistrement,
                         std::string& sortie, std::string& annexe);

// Décide si la ligne est retenue ; si oui, rend son enregistrement, tiré de la même analyse :
// genre, date, heure, channel, locuteur, message et ligne réécrite (modes puis rognage des
// espaces). Avec tousLesNomsRetenus, la sélection est réputée contenir chaque locuteur non vide
// des lignes à trier (mais pas le locuteur vide) : les locuteurs n'y sont pas cherchés. Les vues
// désignent la ligne elle-même, les tampons de travail ou des textes fixes.
std::optional<Enregistrement> FiltrerEnregistrement(std::string_view ligne,
                                                    const Selection& selection, const Modes& modes,
                                                    TravailReecriture& travail,
                                                    bool tousLesNomsRetenus = false);

// Le même tri, qui ne rend que la ligne réécrite.
std::optional<std::string_view> FiltrerEtReecrire(std::string_view ligne,
                                                  const Selection& selection, const Modes& modes,
                                                  TravailReecriture& travail,
                                                  bool tousLesNomsRetenus = false);

// Réécriture d'une ligne retenue (dont l'analyse est e) selon les modes. Reecrire prend un
// raccourci pour les lignes de forme régulière (et le dit dans reguliere, s'il est donné) ;
// ReecrireGenerique applique les remplacements un à un. Les deux donnent toujours le même texte.
std::string_view Reecrire(std::string_view ligne, const Extraction& e, const Modes& modes,
                          TravailReecriture& travail, bool* reguliere = nullptr);
std::string_view ReecrireGenerique(std::string_view ligne, const Extraction& e, const Modes& modes,
                                   TravailReecriture& travail);

// Remplace chaque occurrence (sensible à la casse, sans chevauchement, depuis le début).
// Rend texte quand il n'y a rien à remplacer, sinon une vue sur destination.
std::string_view RemplacerTout(std::string_view texte, std::string_view cherche,
                               std::string_view remplace, std::string& destination);

} // namespace vek
