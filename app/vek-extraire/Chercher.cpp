#include "Chercher.h"

#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "Ligne.h"
#include "OptionsFusion.h"
#include "PeriodeDemandee.h"
#include "ResultatsConsole.h"
#include "TrouverScene.h"

namespace vek {

namespace {

// La période cherchée : aucune (tout le journal), les bornes données (celle qui manque reste
// ouverte : rien n'est lu pour la trouver), ou la séance de --session.
Issue<std::optional<Periode>> PeriodeCherchee(Execution& e) {
    const auto bornes = LireBornes(e.arguments);
    if (!bornes.ok())
        return bornes.Echec();
    if (e.arguments.session) {
        const auto seance = FixerPeriode(e, *bornes);
        if (!seance.ok())
            return seance.Echec();
        return std::optional<Periode>(*seance);
    }
    if (!bornes->debut && !bornes->fin)
        return std::optional<Periode>();
    Periode p{{Date{1, 1, 1}, 0}, {Date{9999, 12, 31}, SecondesParJour - 1}};
    if (bornes->debut)
        p.debut = bornes->debut->Premier();
    if (bornes->fin)
        p.fin = bornes->fin->Dernier();
    if (p.fin < p.debut && !e.arguments.silencieux)
        e.messages.Avertir("le début de la période (" + InstantCourt(p.debut, Precision::Seconde) +
                           ") suit sa fin (" + InstantCourt(p.fin, Precision::Seconde) +
                           ") : aucune ligne ne sera trouvée.");
    return std::optional<Periode>(p);
}

// Avec plusieurs journaux, le nom de chacun, par rang de la recherche : le nom court du chemin
// tel que tapé. Vide avec un seul.
std::vector<std::string> NomsDesSources(const Execution& e) {
    const Journaux lus = JournauxDistincts(e.journaux);
    std::vector<std::string> noms;
    if (lus.chemins.size() < 2)
        return noms;
    for (const NomFichier& chemin : lus.chemins) {
        std::string nom(NomCourt(chemin));
        for (std::size_t i = 0; i < e.journaux.chemins.size(); ++i)
            if (RognerEspaces(e.journaux.chemins[i]) == chemin && i < e.journauxTapes.size()) {
                nom = NomCourt(RognerEspaces(e.journauxTapes[i]));
                break;
            }
        noms.push_back(std::move(nom));
    }
    return noms;
}

} // namespace

Resultat ChercherDesMots(Execution& e) {
    const Arguments& a = e.arguments;
    const auto periode = PeriodeCherchee(e);
    if (!periode.ok())
        return periode.Echec();
    DemandeScene demande;
    demande.journaux = e.journaux;
    demande.requete = *a.requete;
    demande.periode = *periode;
    demande.pauseSessions = a.pause;
    const PresentationResultats presentation{
        e.contexte.sortieEstTerminal, e.contexte.grasSurLaSortie && !a.json, NomsDesSources(e)};
    // Une sortie qui ne s'écrit plus (le lecteur d'un tube est parti) arrête la recherche.
    std::stop_source arret;
    const std::stop_callback relais(e.contexte.arret, [&arret] { arret.request_stop(); });
    bool sortieRompue = false;
    const ReceveurLignes imprimer = [&](const LigneTrouvee& t) {
        e.progression.Effacer();
        e.out << (a.json ? ObjetJson(t, presentation) : LigneLisible(t, presentation)) << '\n';
        if (e.contexte.sortieEstTerminal)
            e.out.flush(); // avant que la barre ne se redessine
        if (!e.out && !std::exchange(sortieRompue, true))
            arret.request_stop();
    };
    e.progression.DefinirEtape("Recherche");
    const auto r = TrouverScene(demande, e.progression, arret.get_token(), imprimer);
    e.progression.TerminerEtape();
    if (sortieRompue)
        return EchecDejaDit(); // dit par main, s'il y a lieu
    if (!r.ok())
        return r.Echec();
    if (!a.silencieux)
        for (const std::string& avis : r->avisJournaux)
            e.messages.Avertir(avis);
    if (r->trouvees == 0)
        return RienTrouve(a.silencieux ? "" : "aucune ligne ne correspond à la requête.");
    if (!a.json && !r->seances.empty()) {
        e.out << '\n';
        for (const SeanceTrouvee& s : r->seances)
            e.out << LigneSeance(s) << '\n';
    }
    e.out.flush();
    return Resultat::Succes();
}

} // namespace vek
