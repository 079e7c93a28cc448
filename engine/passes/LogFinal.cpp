// La passe du journal final : chaque ligne de l'extrait filtrée et réécrite une fois, son
// enregistrement remis à chaque sortie demandée, chacune remplacée une fois complète.

#include "ModuleVEK.h"

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Fichiers.h"
#include "Fils.h"
#include "Formats.h"
#include "Passe.h"
#include "Puits.h"
#include "Validation.h"

#include <algorithm>
#include <span>
#include <thread>
#include <utility>

namespace vek {

namespace {

// Au-delà, une ligne seule dans son lot n'est pas recopiée pour être écrite.
constexpr std::size_t LigneDemesuree = std::size_t{1} << 20;

// Les lots de la chaîne. Chaque sortie mise en forme garde, dans chaque lot, des octets deux à
// trois fois plus nombreux que ses lignes : plus elles sont nombreuses, plus les lots sont
// petits, et la mémoire reste bornée.
constexpr std::size_t TailleLot = std::size_t{1} << 20;
constexpr std::size_t TailleLotMin = std::size_t{128} << 10;
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

// Une sortie de la passe : son format, son fichier et son puits.
struct Sortie {
    const Format* format = nullptr;
    std::string chemin;
    EcritureAtomique fichier;
    std::unique_ptr<Puits> puits;
    bool dossier = false;  // la page découpée : le puits écrit son dossier lui-même
    bool auBesoin = false; // le dossier n'est gardé qu'au-delà d'une page d'entrées
    std::string Action() const { return "Impossible d'écrire " + std::string(format->quoi); }
};

// Ce qu'un échec avant la validation laisse : aucune sortie touchée.
std::string RienDeRemplace(std::size_t nombreSorties) {
    return nombreSorties > 1
               ? " ; aucune sortie n'a été remplacée, les anciennes sont restées telles quelles"
               : "";
}

// L'étape des fils de travail : chaque ligne du lot est filtrée et réécrite, et son
// enregistrement passe à chaque sortie. Les fils ne lisent que des données que personne
// n'écrit pendant la passe (tousLesNoms est copié : rangé près des variables du fil qui lit,
// il partagerait leur ligne de cache).
// Les zones de travail d'un fil : réécriture et nettoyage.
struct TravailDeFil {
    TravailReecriture reecriture;
    TravailNettoyage nettoyage;
};

ChaineDeLots::Etape EtapeReecriture(std::vector<TravailDeFil>& travaux, const Selection& selection,
                                    const Nettoyeur& nettoyeur,
                                    std::vector<std::unique_ptr<Sortie>>& sorties,
                                    bool tousLesNoms) {
    return {[&travaux, &selection, &nettoyeur, &sorties, tousLesNoms](Lot& lot, int w) {
                TravailDeFil& travail = travaux[static_cast<std::size_t>(w)];
                lot.etats.resize(sorties.size());
                for (const auto& s : sorties)
                    s->puits->Preparer(lot);
                for (std::size_t i = 0; i < lot.NombreLignes(); ++i) {
                    auto e = FiltrerEnregistrement(lot.Ligne(i), selection, lot.modes,
                                                   travail.reecriture, tousLesNoms);
                    if (!e)
                        continue;
                    const bool demesuree =
                        lot.NombreLignes() == 1 && e->ligne.size() >= LigneDemesuree;
                    // Ligne démesurée : ses textes restent là où ils ont été réécrits, sans copie,
                    // jusqu'à l'écriture du lot.
                    if (demesuree)
                        ReprendreReecriture(travail.reecriture, *e, lot.sortie, lot.annexe);
                    // Le nettoyage, une fois pour toutes les sorties.
                    if (!nettoyeur.Nettoyer(*e, travail.nettoyage))
                        continue;
                    if (demesuree)
                        ReprendreNettoyage(travail.nettoyage, *e, lot.nettoyee, lot.nettoyeeTexte);
                    for (const auto& s : sorties)
                        s->puits->Ajouter(lot, *e, demesuree);
                }
            },
            static_cast<int>(travaux.size())};
}

} // namespace

Issue<std::string> ModuleVEK::EcrireLogFinal(const Selection& selection, const ModesPartages& modes,
                                             Progression& progression, std::stop_token arret) {
    Issue<std::vector<std::string>> ecrits =
        EcrireSorties(selection, modes, FormatsSortie::Texte(), progression, arret);
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
        formats = FormatsSortie::Texte();
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

    // Les sorties demandées, dans l'ordre de la table des formats.
    ContexteSortie contexte;
    contexte.jour = DateDuJour();
    // Les noms remplacés sont arrêtés avant la première ligne, du catalogue et de la sélection :
    // les mêmes pour chaque lot, chaque fil et chaque sortie.
    const Nettoyeur nettoyeur(Nettoyage, catalogue_.get(), selection);
    contexte.selection = nettoyeur.Actif() ? &nettoyeur.SelectionMontree() : &selection;
    contexte.teintes = std::make_shared<const TeintesDesNoms>(
        TeintesDesNoms::Pour(*catalogue_, *contexte.selection));
    contexte.tailleMessage = TailleMessage;
    // La période de la recherche d'où vient le catalogue, sinon celle que l'extrait couvre.
    contexte.periode = empreinteCatalogue_ ? periodeCatalogue_ : PeriodeDeLExtrait(cheminExtrait);
    const std::span<const Format> table = TableDesFormats();
    std::vector<std::unique_ptr<Sortie>> sorties;
    std::vector<std::string> chemins;
    const auto ajouter = [&](const Format& format, bool dossier) {
        Sortie& s = *sorties.emplace_back(std::make_unique<Sortie>());
        s.format = &format;
        s.dossier = dossier;
        s.auBesoin = dossier && Decoupe == Decoupage::AuBesoin;
        s.chemin = CheminSortie(s.dossier ? NomDossierPages : format.fichier);
        chemins.push_back(s.dossier ? JoindreChemin(s.chemin, NomSommaire) : s.chemin);
    };
    // Au besoin, la page unique et le dossier s'écrivent ensemble, dans la même passe.
    for (std::size_t i = 0; i < table.size(); ++i)
        if (formats.Contient(i)) {
            const bool html = table[i].nom == "html";
            if (!html || Decoupe == Decoupage::Aucun || Decoupe == Decoupage::AuBesoin)
                ajouter(table[i], false);
            if (html && Decoupe != Decoupage::Aucun)
                ajouter(table[i], true);
        }

    // Les anciennes sorties ne seront remplacées qu'une fois les nouvelles complètes ; leurs
    // pages en mémoire, elles, peuvent partir dès maintenant, en parallèle de la passe : leur
    // suppression finale en devient presque gratuite, et les nouvelles réemploient cette mémoire.
    const std::jthread oubli([chemins] {
        PrioriteDeFond();
        for (const std::string& chemin : chemins)
            OublierPagesEnMemoire(chemin);
    });

    for (std::size_t k = 0; k < sorties.size(); ++k) {
        Sortie& s = *sorties[k];
        if (!s.dossier && !s.fichier.Ouvrir(s.chemin))
            return Resultat::Echec(s.Action(), s.chemin,
                                   s.fichier.Raison() + RienDeRemplace(sorties.size()));
        contexte.chemin = s.chemin;
        contexte.decoupage = !s.dossier                       ? Decoupage::Aucun
                             : Decoupe == Decoupage::AuBesoin ? Decoupage::Jour
                                                              : Decoupe;
        s.puits = s.format->fabriquer(contexte);
        s.puits->DefinirRang(k);
        s.puits->Commencer(s.fichier.Flux());
    }

    SuiviProgression suivi(progression, lignesExtrait, comptage);
    if (!extrait.EstOuvert() && !extrait.Ouvrir(cheminExtrait))
        return Resultat::Echec(lecture, cheminExtrait, extrait.Raison());

    // Les lignes partent par lots : plusieurs fils les filtrent, les réécrivent et les mettent
    // en forme en parallèle ; un fil par sortie écrit ensuite les lots dans l'ordre de l'extrait.
    const int fils = FilsDisponibles();
    std::vector<TravailDeFil> travaux(static_cast<std::size_t>(fils));
    for (TravailDeFil& travail : travaux)
        travail.reecriture.sansMessage = formats == FormatsSortie::Texte() && !nettoyeur.Actif();
    // Tous les locuteurs cochés, sur l'extrait dont vient le catalogue : ils ne sont plus cherchés.
    std::vector<ChaineDeLots::Etape> etapes{EtapeReecriture(
        travaux, selection, nettoyeur, sorties, TousLesNomsRetenus(selection, cheminExtrait))};
    for (const auto& s : sorties)
        etapes.push_back({[&s = *s](Lot& lot, int) { s.puits->Ecrire(lot, s.fichier.Flux()); }});
    const std::size_t misesEnForme = sorties.size() - (formats.Contient("texte") ? 1 : 0);
    ChaineDeLots chaine(std::move(etapes),
                        std::max(TailleLotMin, TailleLot / (1 + 2 * misesEnForme)),
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
    for (const auto& s : sorties) {
        std::string raison;
        if (!s->puits->Finir(s->fichier.Flux(), raison))
            return Resultat::Echec(s->Action(), s->chemin, raison + RienDeRemplace(sorties.size()));
        if (s->format->nom == "html")
            EntreesPage = s->puits->EntreesEcrites();
    }
    // Tout ou rien : chaque sortie écrite et sur le disque, fichiers et dossier découpé, puis
    // l'ensemble prend ses noms. Écrit au besoin, le dossier n'est gardé (et nommé le premier)
    // qu'au-delà d'une page d'entrées, sinon l'ancien reste tel quel.
    std::vector<SortieAValider> aValider;
    std::vector<const Sortie*> enCause;
    std::vector<std::string> ecrits;
    for (std::size_t k = 0; k < sorties.size(); ++k) {
        Sortie& s = *sorties[k];
        if (s.auBesoin && s.puits->EntreesEcrites() <= EntreesParPage)
            continue;
        if (!s.dossier)
            aValider.push_back({&s.fichier, {}, {}});
        else if (auto dossier = s.puits->ConfierDossier())
            aValider.push_back(std::move(*dossier));
        else
            return Resultat::Echec(s.Action(), s.chemin,
                                   "le dossier n'a pas été écrit" + RienDeRemplace(sorties.size()));
        enCause.push_back(&s);
        ecrits.insert(s.auBesoin ? ecrits.begin() : ecrits.end(), chemins[k]);
    }
    if (const auto echec = ValiderEnsemble(aValider))
        return Resultat::Echec(enCause[echec->indice]->Action(), enCause[echec->indice]->chemin,
                               echec->raison);

    progression.Valeur(0);
    return ecrits;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres.
    // La première sortie demandée est nommée.
    for (const Format& f : TableDesFormats())
        if (formats.Aucun() ? f.nom == "texte" : formats.Contient(f.nom))
            return Resultat::Exception("Impossible d'écrire " + std::string(f.quoi),
                                       CheminSortie(f.fichier));
    return Resultat::Exception("Impossible d'écrire le journal final", CheminLogFinal());
}

} // namespace vek
