#include "AnalyseConsole.h"

#include "Cp1252.h"
#include "Passes.h"
#include "SessionsConsole.h"

namespace vek {

Issue<ResumeJournal> Analyser(Execution& e) {
    const std::string& journal = e.Journal();
    Issue<ResumeJournal> analyse =
        AnalyserJournal(e.journaux, e.arguments.pause, e.progression, e.contexte.arret);
    if (!analyse.ok())
        return analyse;
    if (!analyse->existe)
        return Resultat::Echec(
            "Fichier introuvable ! Le journal " + Guillemets(journal) + " n'existe pas", {}, {});
    if (const std::string conseil = analyse->Conseil(); !conseil.empty())
        e.messages.Avertir(conseil);
    // Les horloges et les joueurs d'une fusion ; l'extraction et le catalogue les disent après
    // leur recherche.
    const Tache t = e.arguments.tache;
    if (!e.arguments.silencieux && (t == Tache::Analyse || t == Tache::Sessions))
        for (const std::string& avis : analyse->avisJournaux)
            e.messages.Avertir(avis);
    return analyse;
}

Resultat ImprimerAnalyse(Execution& e) {
    const auto resume = Analyser(e);
    if (!resume.ok())
        return resume.Echec();
    // Les CR LF du résumé deviennent des fins de ligne ; rien n'est rogné.
    std::string texte = Cp1252VersUtf8(resume->Texte());
    std::string sortie;
    sortie.reserve(texte.size() + 1);
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n')
            continue;
        sortie += texte[i];
    }
    e.out << sortie << '\n';
    e.out.flush();
    return Resultat::Succes();
}

Resultat ImprimerSessions(Execution& e) {
    const auto resume = Analyser(e);
    if (!resume.ok())
        return resume.Echec();
    if (resume->sessionsOubliees > 0)
        e.messages.Avertir("les " + std::to_string(resume->sessionsOubliees) +
                           " plus anciennes séances ne sont pas gardées (seules les " +
                           std::to_string(DetecteurSessions::MaxSessions) +
                           " plus récentes le sont).");
    EcrireSessions(e.out, resume->sessions, e.contexte.sortieEstTerminal);
    e.out.flush();
    return Resultat::Succes();
}

} // namespace vek
