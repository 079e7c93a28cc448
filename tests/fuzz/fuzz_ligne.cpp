// Grammaire d'une ligne : date, corps, genre, tag et locuteur. Les vues rendues désignent la
// ligne ou le tampon de l'analyse ; le catalogue d'une ligne retrouve son tag et son nom, et la
// sélection qui les contient la retient.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Catalogue.h"
#include "Ligne.h"
#include "Selection.h"
#include "Verifier.h"

namespace {

bool Dans(std::string_view vue, std::string_view texte) {
    return vue.empty() ||
           (vue.data() >= texte.data() && vue.data() + vue.size() <= texte.data() + texte.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace vek;
    const std::string ligne(reinterpret_cast<const char*>(donnees), taille);
    if (const auto date = DateDeLigne(ligne)) {
        VERIFIER(date->mois >= 1 && date->mois <= 12 && date->jour >= 1 && date->jour <= 31);
        VERIFIER(ligne.size() >= 10 && ligne[2] == '/');
    }
    const std::string_view corps = CorpsDeLigne(ligne);
    VERIFIER(Dans(corps, ligne));
    std::string tampon;
    const Extraction e = AnalyserCorps(corps, tampon);
    VERIFIER(Dans(e.nom, corps) || Dans(e.nom, tampon) || e.nom == NomVous || e.nom == NomWhisps);
    VERIFIER(Dans(e.tag, corps) || Dans(e.tag, tampon));
    VERIFIER(e.genre == GenreCorps::Channel || e.tag.empty());
    const std::string_view rogne = RognerEspaces(ligne);
    VERIFIER(Dans(rogne, ligne) &&
             (rogne.empty() || (rogne.front() != ' ' && rogne.back() != ' ')));

    // Le catalogue de la ligne et la sélection de tout ce qu'il contient.
    Catalogue catalogue;
    catalogue.Cataloguer(ligne);
    Selection selection;
    selection.AjouterChannel(TexteZoneProximite);
    for (std::size_t i = 0; i < catalogue.NombreChannels(); ++i)
        selection.AjouterChannel(catalogue.Channel(i));
    for (std::size_t i = 0; i < catalogue.NombreNoms(); ++i)
        selection.AjouterNom(catalogue.Nom(i));
    VERIFIER(catalogue.NombreNoms() == (e.nom.empty() ? 0u : 1u));
    if (e.genre == GenreCorps::Channel && !e.tag.empty())
        VERIFIER(selection.ChannelRetenu(e.tag));
    if (!e.nom.empty())
        VERIFIER(selection.NomRetenu(e.nom));
    TravailReecriture travail;
    const bool retenue = FiltrerEtReecrire(ligne, selection, {}, travail).has_value();
    if (!e.nom.empty() && e.genre != GenreCorps::Autre &&
        (e.genre != GenreCorps::Channel || !e.tag.empty()))
        VERIFIER(retenue);
    return 0;
}
