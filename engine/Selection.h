#pragma once
// Sélection capturée dans les arbres, et le tri et la réécriture des lignes de l'extrait.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Catalogue.h"

namespace vek {

struct Modes {
    bool ModeUnlessDate = false;    // sans la date et l'heure
    bool ModeRPName = false;        // sans les guillemets autour du nom
    bool ModeUnlessChannel = false; // sans le tag du channel
};

class Selection {
public:
    static constexpr std::int16_t MaxChannels = 101;
    static constexpr std::int16_t MaxNoms = 5000;

    void Vider();
    void AjouterChannel(std::string_view texte); // au rang NbSelChannels
    void AjouterNom(std::string_view texte);

    bool ChannelEtNomRetenus(std::string_view nom, std::string_view channel) const;
    bool ProximiteEtNomRetenus(std::string_view nom) const;
    bool NomRetenu(std::string_view nom) const;

    // Entrées 0 à Nb - 1.
    std::vector<std::string> SelChannels;
    std::vector<std::string> SelNoms;
    std::int16_t NbSelChannels = 0;
    std::int16_t NbSelNoms = 0;

private:
    IndexTextes channels_{MaxChannels, false};
    IndexTextes noms_{MaxNoms, false};
};

// Décide si la ligne est retenue ; si oui, la réécrit sur place (modes puis rognage des
// espaces), sinon la laisse telle quelle. tampon : zone de travail réutilisée d'une ligne à
// l'autre.
bool TraiterLigne(std::string& ligne, const Selection& selection, const Modes& modes,
                  std::string& tampon);

// Remplace chaque occurrence (sensible à la casse, sans chevauchement, depuis le début).
void RemplacerTout(std::string& texte, std::string_view cherche, std::string_view remplace,
                   std::string& tampon);

} // namespace vek
