#include "CatalogueConsole.h"

#include <string>

#include "SessionsConsole.h"

namespace vek {

void AvertirLimites(const Catalogue& catalogue, Messages& messages) {
    if (catalogue.LimiteChannelsAtteinte)
        messages.Avertir("attention : plus de " + std::to_string(Catalogue::MaxChannels) +
                         " channels dans la période, les " +
                         std::to_string(catalogue.ChannelsIgnores()) + " suivants sont ignorés.");
    if (catalogue.LimiteNomsAtteinte)
        messages.Avertir("attention : plus de " + std::to_string(Catalogue::MaxNoms) +
                         " locuteurs dans la période, les " +
                         std::to_string(catalogue.NomsIgnores()) + " suivants sont ignorés.");
}

void EcrireCatalogue(std::ostream& sortie, const Noeuds& channels, const Noeuds& noms,
                     bool terminal) {
    for (const auto& [genre, noeuds] : {std::pair{"canal", &channels}, std::pair{"nom", &noms}})
        for (const auto texte : *noeuds) {
            sortie << genre << '\t';
            EcrireEchappe(sortie, texte, terminal);
            sortie << '\n';
        }
    sortie.flush();
}

} // namespace vek
