// Écriture du journal final : bannière, lignes retenues et réécrites, pied de page.

#include "ModuleVEK.h"

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Fichiers.h"
#include "Fils.h"
#include "Passe.h"
#include "Publication.h"
#include "Validation.h"

#include <thread>
#include <utility>

namespace vek {

namespace {

const std::string Etoiles(68, '*');

// Au-delà, une ligne seule dans son lot n'est pas recopiée pour être écrite.
constexpr std::size_t LigneDemesuree = std::size_t{1} << 20;

std::string Espaces(std::size_t n, std::string_view texte) {
    return std::string(n, ' ').append(texte);
}

void EcrireBanniere(EcrivainTexte& f, Date jour) {
    f.EcrireLigne(Etoiles);
    f.EcrireLigne(Etoiles);
    f.EcrireLigne(Espaces(21, TitreApplication));
    f.EcrireLigne(Espaces(18, "LOG extrait le : ") + DateLongue(jour));
    f.EcrireLigne(Etoiles);
    f.EcrireLigne(Etoiles);
    f.EcrireLigne("");
    f.EcrireLigne("");
    f.EcrireLigne("");
}

void EcrirePied(EcrivainTexte& f) {
    f.EcrireLigne("");
    f.EcrireLigne("");
    f.EcrireLigne("");
    f.EcrireLigne(Etoiles);
    f.EcrireLigne(Etoiles);
    f.EcrireLigne(Espaces(25, TitreApplication));
    f.EcrireLigne(Espaces(18, "Merci d'avoir utiliser ce petit logiciel"));
    f.EcrireLigne(Espaces(24, "Pour tout renseignement :"));
    f.EcrireLigne(Espaces(24, AdresseContact));
    f.EcrireLigne(Etoiles);
    f.EcrireLigne(Etoiles);
}

// Les lots de la chaîne. La publication garde la mise en forme de chacun, deux à trois fois plus
// grande que ses lignes : ses lots sont deux fois plus petits, la mémoire reste bornée.
constexpr std::size_t TailleLot = std::size_t{1} << 20;
constexpr std::size_t TailleLotPublie = TailleLot / 2;
constexpr std::size_t LotsEnCirculation = 8;

// La période d'un extrait que la recherche de cette exécution n'a pas écrit : les dates de sa
// première et de sa dernière ligne.
std::optional<std::pair<Date, Date>> PeriodeDeLExtrait(const std::string& chemin) {
    LecteurTexte extrait;
    if (!extrait.Ouvrir(chemin) || extrait.FinFichier())
        return std::nullopt;
    const auto debut = DateDeLigne(extrait.LireDebutDeLigne(LongueurEnTete));
    std::string derniere;
    if (!debut || !LireDerniereLigne(chemin, derniere, LongueurEnTete))
        return std::nullopt;
    const auto fin = DateDeLigne(derniere);
    if (!fin)
        return std::nullopt;
    return std::pair{*debut, *fin};
}

struct Sortie {
    std::string chemin;
    std::string action; // ce qui a échoué, pour le message
    EcritureAtomique fichier;
};

// Les sorties d'une passe ; demandees : celles qui s'écrivent, dans l'ordre où elles sont rendues.
struct Sorties {
    Sortie texte, page, json;
    std::vector<Sortie*> demandees;

    Sorties(FormatsSortie formats, std::string cheminTexte, std::string cheminPage,
            std::string cheminJson)
        : texte{std::move(cheminTexte), "Impossible d'écrire le journal final", {}},
          page{std::move(cheminPage), "Impossible d'écrire la page web", {}},
          json{std::move(cheminJson), "Impossible d'écrire les lignes JSON", {}} {
        for (auto [demande, sortie] :
             {std::pair{formats.texte, &texte}, std::pair{formats.html, &page},
              std::pair{formats.json, &json}})
            if (demande)
                demandees.push_back(sortie);
    }
    std::vector<std::string> Chemins() const {
        std::vector<std::string> chemins;
        for (const Sortie* sortie : demandees)
            chemins.push_back(sortie->chemin);
        return chemins;
    }
};

// Ce qu'un échec avant la validation laisse : aucune sortie touchée.
std::string RienDeRemplace(const Sorties& sorties) {
    return sorties.demandees.size() > 1
               ? " ; aucune sortie n'a été remplacée, les anciennes sont restées telles quelles"
               : "";
}

// L'étape des fils de travail : chaque ligne du lot est filtrée, réécrite, rangée pour
// LogFinal.txt et mise en forme pour la publication. Les fils ne lisent que des données que
// personne n'écrit pendant la passe (tousLesNoms est copié : rangé près des variables du fil
// qui lit, il partagerait leur ligne de cache).
ChaineDeLots::Etape EtapeReecriture(std::vector<TravailReecriture>& travaux,
                                    const Selection& selection, Publication& publication,
                                    bool tousLesNoms, bool enTexte) {
    return {[&travaux, &selection, &publication, tousLesNoms, enTexte](Lot& lot, int w) {
                TravailReecriture& travail = travaux[static_cast<std::size_t>(w)];
                const bool publier = publication.Active();
                if (publier)
                    publication.Preparer(lot);
                Extraction analyse;
                for (std::size_t i = 0; i < lot.NombreLignes(); ++i) {
                    const auto reecrite = FiltrerEtReecrire(lot.Ligne(i), selection, lot.modes,
                                                            travail, tousLesNoms, &analyse);
                    if (!reecrite)
                        continue;
                    const bool demesuree =
                        lot.NombreLignes() == 1 && reecrite->size() >= LigneDemesuree;
                    if (demesuree) {
                        // Ligne démesurée : désignée là où elle a été réécrite, sans copie.
                        ReprendreReecriture(travail, *reecrite, lot.sortie);
                        lot.sortieLongue = *reecrite;
                    } else if (enTexte) {
                        lot.sortie.append(*reecrite).append("\r\n", 2);
                    }
                    if (publier)
                        publication.Ajouter(lot, lot.Ligne(i), analyse, *reecrite, demesuree);
                }
            },
            static_cast<int>(travaux.size())};
}

// Les étapes d'écriture, une par sortie, chacune dans l'ordre de l'extrait.
void AjouterEtapesEcriture(std::vector<ChaineDeLots::Etape>& etapes, FormatsSortie formats,
                           Sorties& sorties, Publication& publication) {
    if (formats.texte)
        etapes.push_back({[&sortie = sorties.texte.fichier.Flux()](Lot& lot, int) {
            if (lot.sortieLongue.empty()) {
                sortie.Ecrire(lot.sortie);
            } else {
                sortie.Ecrire(lot.sortieLongue);
                sortie.Ecrire("\r\n");
            }
        }});
    if (formats.html)
        etapes.push_back({[&publication, &sortie = sorties.page.fichier.Flux()](Lot& lot, int) {
            publication.EcrireHtml(lot, sortie);
        }});
    if (formats.json)
        etapes.push_back({[&publication, &sortie = sorties.json.fichier.Flux()](Lot& lot, int) {
            publication.EcrireJson(lot, sortie);
        }});
}

} // namespace

Issue<std::string> ModuleVEK::EcrireLogFinal(const Selection& selection, const ModesPartages& modes,
                                             Progression& progression, std::stop_token arret) {
    Issue<std::vector<std::string>> ecrits =
        EcrireSorties(selection, modes, FormatsSortie{}, progression, arret);
    if (!ecrits.ok())
        return ecrits.Echec();
    return ecrits->front();
}

Issue<std::vector<std::string>> ModuleVEK::EcrireSorties(const Selection& selection,
                                                         const ModesPartages& modes,
                                                         FormatsSortie formats,
                                                         Progression& progression,
                                                         std::stop_token arret) try {
    if (formats.Aucun())
        formats.texte = true;
    const std::string cheminExtrait = CheminExtrait();
    const std::string lecture = "Impossible de lire l'extrait";

    VerrouDossier verrou;
    if (Resultat r = PrendreLeDossier(verrou); !r.ok)
        return r;
    // Le catalogue à l'écran vient de l'extrait que sa recherche a écrit : si un autre programme
    // l'a réécrit depuis, la période et les noms ne correspondent plus.
    if (empreinteCatalogue_ && LireEmpreinte(cheminExtrait) != empreinteCatalogue_)
        return Resultat::Echec("L'extrait a changé depuis la recherche", cheminExtrait,
                               "un autre programme l'a réécrit ; relancez la recherche avant de "
                               "créer le fichier log");

    // L'extrait est ouvert avant de toucher aux sorties : absent, les anciennes restent telles
    // quelles.
    LecteurTexte extrait;
    if (!extrait.Ouvrir(cheminExtrait))
        return Resultat::Echec(lecture, cheminExtrait, extrait.Raison());
    // L'extrait que la recherche vient d'écrire, inchangé depuis, n'est pas recompté.
    std::optional<std::uint64_t> lignesExtrait;
    ComptageEnParallele comptage;
    if (!PasseDeComptage(extrait, cheminExtrait, LireEmpreinte(cheminExtrait), progression,
                         lignesExtrait, comptage))
        return Resultat::Echec(lecture, cheminExtrait, extrait.Raison());

    Sorties sorties(formats, CheminLogFinal(), CheminPageWeb(), CheminLignesJson());
    const std::vector<std::string> chemins = sorties.Chemins();

    // Les anciennes sorties ne seront remplacées qu'une fois les nouvelles complètes ; leurs
    // pages en mémoire, elles, peuvent partir dès maintenant, en parallèle de la passe : leur
    // suppression finale en devient presque gratuite, et les nouvelles réemploient cette mémoire.
    const std::jthread oubli([chemins] {
        PrioriteDeFond();
        for (const std::string& chemin : chemins)
            OublierPagesEnMemoire(chemin);
    });

    for (Sortie* sortie : sorties.demandees)
        if (!sortie->fichier.Ouvrir(sortie->chemin))
            return Resultat::Echec(sortie->action, sortie->chemin,
                                   sortie->fichier.Raison() + RienDeRemplace(sorties));
    const Date jour = DateDuJour();
    if (formats.texte)
        EcrireBanniere(sorties.texte.fichier.Flux(), jour);
    if (formats.html) {
        // La période de la recherche d'où vient le catalogue, sinon celle que l'extrait couvre.
        const auto periode =
            empreinteCatalogue_ ? periodeCatalogue_ : PeriodeDeLExtrait(cheminExtrait);
        EnTetePage entete{jour, std::nullopt, std::nullopt, &selection};
        if (periode) {
            entete.debut = periode->first;
            entete.fin = periode->second;
        }
        sorties.page.fichier.Flux().Ecrire(DebutPage(entete));
    }

    SuiviProgression suivi(progression, lignesExtrait, comptage);
    if (!extrait.EstOuvert() && !extrait.Ouvrir(cheminExtrait))
        return Resultat::Echec(lecture, cheminExtrait, extrait.Raison());

    // Les lignes partent par lots : plusieurs fils les filtrent, les réécrivent et les mettent
    // en forme en parallèle ; un fil par sortie écrit ensuite les lots dans l'ordre de l'extrait.
    const int fils = FilsDisponibles();
    std::vector<TravailReecriture> travaux(static_cast<std::size_t>(fils));
    Publication publication(formats, LotsEnCirculation);
    // Tous les locuteurs cochés, sur l'extrait dont vient le catalogue : ils ne sont plus cherchés.
    std::vector<ChaineDeLots::Etape> etapes{
        EtapeReecriture(travaux, selection, publication,
                        TousLesNomsRetenus(selection, cheminExtrait), formats.texte)};
    AjouterEtapesEcriture(etapes, formats, sorties, publication);
    ChaineDeLots chaine(std::move(etapes), publication.Active() ? TailleLotPublie : TailleLot,
                        LotsEnCirculation);
    std::uint64_t lus = 0;
    const Resultat parcours = ParcourirLignes(
        extrait, cheminExtrait, lecture, chaine, suivi, progression, arret, false,
        [&](std::string_view ligne) {
            // Les modes sont relus à chaque ligne : une option validée pendant l'écriture
            // s'applique aux lignes suivantes (un lot n'a qu'un jeu de modes).
            if (const Modes courants = modes.Lire(); chaine.Courant().modes != courants) {
                if (chaine.Courant().NombreLignes() != 0)
                    chaine.Envoyer();
                chaine.Courant().modes = courants;
            }
            RangerLigne(chaine, extrait, ligne);
        },
        lus);
    comptage.Arreter();
    if (!parcours.ok)
        return parcours; // les anciennes sorties restent telles quelles
    extrait.Fermer();
    if (formats.texte)
        EcrirePied(sorties.texte.fichier.Flux());
    if (formats.html)
        sorties.page.fichier.Flux().Ecrire(FinPage(publication.EntreesHtml()));
    // Tout ou rien : chaque sortie écrite et sur le disque, puis l'ensemble prend ses noms.
    std::vector<EcritureAtomique*> fichiers;
    for (Sortie* sortie : sorties.demandees)
        fichiers.push_back(&sortie->fichier);
    if (const auto echec = ValiderEnsemble(fichiers)) {
        const Sortie& sortie = *sorties.demandees[echec->indice];
        return Resultat::Echec(sortie.action, sortie.chemin, echec->raison);
    }

    progression.Valeur(0);
    return chemins;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres.
    if (formats.texte || formats.Aucun())
        return Resultat::Exception("Impossible d'écrire le journal final", CheminLogFinal());
    return Resultat::Exception(formats.html ? "Impossible d'écrire la page web"
                                            : "Impossible d'écrire les lignes JSON",
                               formats.html ? CheminPageWeb() : CheminLignesJson());
}

} // namespace vek
