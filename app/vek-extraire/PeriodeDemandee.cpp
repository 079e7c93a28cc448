#include "PeriodeDemandee.h"

#include <algorithm>

#include "AnalyseConsole.h"
#include "Fichiers.h"
#include "SessionsConsole.h"

namespace vek {

namespace {

// Vrai si le journal s'ouvre et n'a pas une ligne ; un journal qui ne s'ouvre pas est laissé à
// la recherche, qui dit pourquoi.
bool JournalVide(const std::string& chemin) {
    LecteurTexte lecteur;
    return lecteur.Ouvrir(chemin) && lecteur.FinFichier() && !lecteur.ErreurLecture();
}

Issue<std::optional<Borne>> LireBorne(const std::optional<std::string>& texte,
                                      std::string_view option) {
    if (!texte)
        return std::optional<Borne>();
    if (auto borne = ConvertirBorne(*texte))
        return borne;
    return ErreurUtilisation(Guillemets(*texte) + " n'est pas une date pour " +
                             std::string(option) +
                             " (formes attendues : JJ/MM/AAAA, JJ/MM/AAAA hh:mm ou JJ/MM/AAAA "
                             "hh:mm:ss).");
}

} // namespace

Issue<Bornes> LireBornes(const Arguments& a) {
    const auto debut = LireBorne(a.debut, "--debut");
    if (!debut.ok())
        return debut.Echec();
    const auto fin = LireBorne(a.fin, "--fin");
    if (!fin.ok())
        return fin.Echec();
    return Bornes{*debut, *fin};
}

Issue<Periode> FixerPeriode(Execution& e, Bornes bornes) {
    auto& [debut, fin] = bornes;
    if (debut && fin) {
        // Un journal vide se dit de la même façon, dates données ou non.
        if (std::all_of(e.journaux.chemins.begin(), e.journaux.chemins.end(), JournalVide))
            return Resultat::Echec("Le journal est vide", {}, "il n'y a rien à extraire");
        return Periode::Entre(*debut, *fin);
    }
    // Une date manquante, ou une séance : l'analyse d'abord.
    const auto resume = Analyser(e);
    if (!resume.ok())
        return resume.Echec();
    if (resume->lignes == 0)
        return EchecDejaDit(); // « Le journal est vide » vient d'être dit
    if (e.arguments.session) {
        const auto session = ChoisirSession(resume->sessions, *e.arguments.session);
        if (!session.ok())
            return session.Echec();
        return session->ALaMinute();
    }
    if (!debut && resume->debut)
        debut = Borne{*resume->debut, 0, Precision::Jour};
    if (!fin && resume->fin)
        fin = Borne{*resume->fin, 0, Precision::Jour};
    if (!debut)
        return ErreurUtilisation("la première ligne du journal n'est pas datée : indiquez la "
                                 "date de début avec --debut JJ/MM/AAAA.");
    if (!fin)
        return ErreurUtilisation("la dernière ligne du journal n'est pas datée : indiquez la "
                                 "date de fin avec --fin JJ/MM/AAAA.");
    return Periode::Entre(*debut, *fin);
}

} // namespace vek
