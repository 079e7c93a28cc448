// La lecture des arguments de vek-extraire par la table des options, puis les vérifications des
// combinaisons : la première erreur rencontrée est celle qui est dite.

#include "Arguments.h"

#include <algorithm>

#include "Messages.h"
#include "Options.h"
#include "OptionsFusion.h"

namespace vek {

namespace {

void Noter(Arguments& a, Resultat issue) {
    if (a.erreur.ok && !issue.ok)
        a.erreur = std::move(issue);
}

// Lit l'option args[i] (nom, et valeur jointe par « = » ou argument suivant).
void LireOption(Arguments& a, const std::vector<std::string>& args, std::size_t& i) {
    const std::string& arg = args[i];
    std::string nom = arg;
    std::optional<std::string> jointe;
    if (const auto egal = arg.find('='); arg.starts_with("--") && egal != std::string::npos) {
        nom = arg.substr(0, egal);
        jointe = arg.substr(egal + 1);
    }
    const Option* o = TrouverOption(nom);
    if (o == nullptr)
        return Noter(a, ErreurUtilisation("option inconnue " + Guillemets(arg) + "."));
    a.donnees.push_back(nom);
    if (o->valeur.empty()) {
        if (jointe)
            Noter(a, ErreurUtilisation("l'option " + nom + " ne prend pas de valeur."));
        Noter(a, o->ranger(a, {}));
    } else if (jointe) {
        Noter(a, o->ranger(a, std::move(*jointe)));
    } else if (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
        // La valeur est l'argument suivant, sauf une autre option longue.
        Noter(a, o->ranger(a, args[++i]));
    } else {
        Noter(a, ErreurUtilisation("l'option " + nom + " attend " + std::string(o->attendu) + "."));
    }
}

// --- les vérifications, dans leur ordre ---

Resultat UneSeuleTache(const Arguments& a) {
    std::vector<std::string_view> taches;
    for (const Option& o : TableDesOptions())
        if (o.choisit)
            taches.push_back(NomsDe(o).front());
    const auto choisies = std::count_if(a.donnees.begin(), a.donnees.end(), [](const auto& nom) {
        return TrouverOption(nom)->choisit.has_value();
    });
    if (choisies <= 1)
        return Resultat::Succes();
    std::string liste;
    for (std::size_t k = 0; k < taches.size(); ++k)
        liste += (k == 0 ? "" : k + 1 == taches.size() ? " et " : ", ") + std::string(taches[k]);
    return ErreurUtilisation(liste + " ne se combinent pas.");
}

// Le refus de la première option donnée qui ne se combine pas avec la tâche, quand la tâche
// nomme l'option refusée (nommee) ou non. L'extraction, sans option qui la choisisse, nomme.
Resultat RefusDeLaTache(const Arguments& a, bool nommee) {
    const Option* tache = OptionDeLaTache(a.tache);
    const std::string_view refus =
        tache ? tache->refus : "l'option {} ne sert pas à l'écriture de LogFinal.txt.";
    if ((tache ? tache->refusNomme : true) != nommee)
        return Resultat::Succes();
    for (const std::string& nom : a.donnees) {
        if (TrouverOption(nom)->taches.Contient(a.tache))
            continue;
        std::string message(refus);
        if (const auto place = message.find("{}"); place != std::string::npos)
            message.replace(place, 2, nom);
        return ErreurUtilisation(std::move(message));
    }
    return Resultat::Succes();
}

Resultat SessionSansBornes(const Arguments& a) {
    if (a.session && (a.debut || a.fin))
        return ErreurUtilisation("--session donne toute la période : ni --debut ni --fin avec "
                                 "elle.");
    return Resultat::Succes();
}

Resultat PauseAvecSeances(const Arguments& a) {
    if (a.Donnee("--pause") && !a.session && a.tache != Tache::Sessions &&
        a.tache != Tache::Chercher)
        return ErreurUtilisation("--pause ne sert qu'avec --sessions, --session ou --chercher.");
    return Resultat::Succes();
}

Resultat DecouperAvecHtml(const Arguments& a) {
    if (a.ecriture.decoupe != Decoupage::Aucun && !a.ecriture.formats.Contient("html"))
        return ErreurUtilisation("--decouper découpe la page web : il va avec --format html.");
    return Resultat::Succes();
}

Resultat DesJournaux(const Arguments& a) {
    if (a.journaux.empty())
        return ErreurUtilisation("il manque le chemin du journal.");
    return FichiersDesDonneesConnus(a);
}

// Une tâche qui refuse toute autre option le dit avant les règles entre options ; une tâche qui
// nomme l'option refusée, après elles.
Resultat (*const Verifications[])(const Arguments&) = {
    UneSeuleTache,
    [](const Arguments& a) { return RefusDeLaTache(a, false); },
    SessionSansBornes,
    PauseAvecSeances,
    [](const Arguments& a) { return RefusDeLaTache(a, true); },
    DecouperAvecHtml,
    DesJournaux,
};

} // namespace

bool Arguments::Donnee(std::string_view nom) const {
    const Option* option = TrouverOption(nom);
    return std::any_of(donnees.begin(), donnees.end(),
                       [&](const std::string& d) { return TrouverOption(d) == option; });
}

Arguments LireArguments(const std::vector<std::string>& args) {
    Arguments a;
    bool finOptions = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (finOptions || arg.empty() || arg == "-" || arg[0] != '-')
            a.journaux.push_back(arg);
        else if (arg == "--")
            finOptions = true;
        else
            LireOption(a, args, i);
    }
    for (const auto verifier : Verifications)
        Noter(a, verifier(a));
    return a;
}

} // namespace vek
