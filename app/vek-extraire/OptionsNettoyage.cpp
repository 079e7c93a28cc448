// La valeur de --renommer.

#include "OptionsNettoyage.h"

#include "Cp1252.h"
#include "Ligne.h"
#include "Messages.h"
#include "Options.h"

#include <algorithm>

namespace vek {

Resultat RangerRenommage(const std::string& valeur, ReglagesNettoyage& r) {
    const std::string attendu = " pour --renommer (ANCIEN=NOUVEAU, deux noms non vides).";
    const auto paire = CouperPaire(valeur);
    if (!paire)
        return ErreurUtilisation(Guillemets(valeur) + " n'a pas de « = »" + attendu);
    std::string ancien, nouveau;
    for (auto [utf8, cp1252] :
         {std::pair{&paire->first, &ancien}, std::pair{&paire->second, &nouveau}}) {
        if (!Utf8VersCp1252(*utf8, *cp1252))
            return ErreurUtilisation(Guillemets(*utf8) + " ne s'écrit pas en Windows-1252" +
                                     attendu);
    }
    if (RognerEspaces(ancien).empty() || RognerEspaces(nouveau).empty())
        return ErreurUtilisation(Guillemets(valeur) + " a un nom vide" + attendu);
    const auto deja = std::find_if(r.renommages.begin(), r.renommages.end(),
                                   [&](const auto& p) { return p.first == ancien; });
    if (deja != r.renommages.end() && deja->second != nouveau)
        return ErreurUtilisation(Guillemets(Cp1252VersUtf8(ancien)) + " est renommé deux fois" +
                                 attendu);
    if (deja == r.renommages.end())
        r.renommages.emplace_back(std::move(ancien), std::move(nouveau));
    return Resultat::Succes();
}

} // namespace vek
