// La passe du journal final : chaque ligne de l'extrait filtrée et réécrite une fois, son
// enregistrement remis à chaque sortie demandée, chacune remplacée une fois complète.

#include "Moteur.h"

#include "Memoire.h"

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Correspondance.h"
#include "Fichiers.h"
#include "Fils.h"
#include "Formats.h"
#include "Passe.h"
#include "Puits.h"
#include "Validation.h"
#include "Verrou.h"

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

// L'extrait lu jusqu'au bout, sans erreur, et pas plus court qu'à l'ouverture.
Resultat LectureEntiere(LecteurTexte& extrait, const std::string& chemin) {
    const std::string action = "Impossible de lire l'extrait";
    if (extrait.Raccourci())
        return Resultat::Echec(action, chemin,
                               "le fichier a raccourci pendant la lecture (un autre programme "
                               "l'a tronqué ou remplacé) ; rien n'a été gardé de cette passe, "
                               "relancez-la");
    if (extrait.ErreurLecture())
        return Resultat::Echec(action, chemin, extrait.Raison());
    return Resultat::Succes();
}

// Le journal de chaque ligne de l'extrait d'une fusion (NomSources), lu à mesure : un octet par
// ligne. Fermé (un seul journal), il ne rend rien ; au-delà de sa fin, un rang inconnu.
class SourcesDesLignes {
public:
    ~SourcesDesLignes() {
        if (fichier_)
            std::fclose(fichier_);
    }
    void Ouvrir(const NomFichier& chemin) { fichier_ = std::fopen(chemin.c_str(), "rb"); }
    std::optional<std::uint8_t> Suivante() {
        if (!fichier_)
            return std::nullopt;
        if (position_ == taille_) {
            taille_ = std::fread(tampon_, 1, sizeof tampon_, fichier_);
            position_ = 0;
            if (taille_ == 0)
                return std::uint8_t{0xFF};
        }
        return static_cast<std::uint8_t>(tampon_[position_++]);
    }

private:
    std::FILE* fichier_ = nullptr;
    char tampon_[1 << 16];
    std::size_t position_ = 0, taille_ = 0;
};

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
// Les zones de travail d'un fil : réécriture, nettoyage, et le correspondeur du filtre de mots.
struct TravailDeFil {
    TravailReecriture reecriture;
    TravailNettoyage nettoyage;
    std::optional<Correspondeur> filtre;
};

// sources : les noms des journaux d'une fusion, par rang (ceux des lignes du lot).
ChaineDeLots::Etape EtapeReecriture(std::vector<TravailDeFil>& travaux, const Selection& selection,
                                    const Nettoyeur& nettoyeur,
                                    std::vector<std::unique_ptr<Sortie>>& sorties, bool tousLesNoms,
                                    const std::vector<std::string>& sources) {
    return {[&travaux, &selection, &nettoyeur, &sorties, tousLesNoms, &sources](Lot& lot, int w) {
                TravailDeFil& travail = travaux[static_cast<std::size_t>(w)];
                lot.etats.resize(sorties.size());
                for (const auto& s : sorties)
                    s->puits->Preparer(lot);
                for (std::size_t i = 0; i < lot.NombreLignes(); ++i) {
                    if (travail.filtre && !travail.filtre->Correspond(lot.Ligne(i)))
                        continue;
                    auto e = FiltrerEnregistrement(lot.Ligne(i), selection, lot.modes,
                                                   travail.reecriture, tousLesNoms);
                    if (!e)
                        continue;
                    if (i < lot.sources.size() && lot.sources[i] < sources.size())
                        e->source = sources[lot.sources[i]];
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

// La passe des sorties : ses sorties, chacune avec son fichier et son puits, la chaîne qui leur
// fait passer les lignes de l'extrait, puis leur validation ensemble.
class PasseSorties {
public:
    PasseSorties(const DemandeSorties& demande, FormatsSortie formats, const Moteur& moteur,
                 const MemoireMoteur& memoire)
        : d_(demande), formats_(formats), moteur_(moteur), memoire_(memoire),
          nettoyeur_(demande.nettoyage, memoire.catalogue.get(), demande.selection) {}

    // Les sorties demandées, dans l'ordre de la table des formats ; au besoin, la page unique et
    // le dossier découpé s'écrivent ensemble, dans la même passe.
    void Declarer() {
        const std::span<const Format> table = TableDesFormats();
        const Decoupage decoupe = d_.decoupage;
        for (std::size_t i = 0; i < table.size(); ++i)
            if (formats_.Contient(i)) {
                const bool html = table[i].nom == "html";
                if (!html || decoupe == Decoupage::Aucun || decoupe == Decoupage::AuBesoin)
                    Ajouter(table[i], false);
                if (html && decoupe != Decoupage::Aucun)
                    Ajouter(table[i], true);
            }
    }
    // Retire de la mémoire, sur un fil de fond, les pages des anciennes sorties ; à plusieurs,
    // chacune est d'abord décrite pour l'enregistrement de la validation, tant qu'elle est encore
    // en mémoire. Le fil doit avoir fini avant Valider.
    std::jthread OublierLesAnciennes() {
        anciennes_.assign(sorties_.size(), DescriptionSortie{});
        std::vector<std::string> cibles;
        for (const auto& s : sorties_)
            cibles.push_back(sorties_.size() > 1 ? s->chemin : std::string());
        return std::jthread([chemins = chemins_, cibles = std::move(cibles),
                             &anciennes = anciennes_](std::stop_token arret) {
            PrioriteDeFond();
            for (std::size_t k = 0; k < chemins.size() && !arret.stop_requested(); ++k) {
                if (!cibles[k].empty())
                    anciennes[k] = DecrireSortie(cibles[k]);
                OublierPagesEnMemoire(chemins[k]);
            }
        });
    }
    // Ouvre chaque fichier (sous son nom temporaire) et commence chaque puits.
    Resultat Ouvrir();
    // Les lignes de l'extrait, par lots, à travers la réécriture et chaque puits.
    Resultat Parcourir(LecteurTexte& extrait, SuiviProgression& suivi, Progression& progression,
                       std::stop_token arret);
    // Finit chaque puits puis valide l'ensemble, tout ou rien.
    Resultat Valider(ResultatSorties& resultat);

private:
    void Ajouter(const Format& format, bool dossier) {
        Sortie& s = *sorties_.emplace_back(std::make_unique<Sortie>());
        s.format = &format;
        s.dossier = dossier;
        s.auBesoin = dossier && d_.decoupage == Decoupage::AuBesoin;
        s.chemin = moteur_.CheminSortie(s.dossier ? NomDossierPages : format.fichier);
        chemins_.push_back(s.dossier ? JoindreChemin(s.chemin, NomSommaire) : s.chemin);
    }
    ContexteSortie Contexte() const;

    const DemandeSorties& d_;
    FormatsSortie formats_;
    const Moteur& moteur_;
    const MemoireMoteur& memoire_;
    // Les noms remplacés sont arrêtés avant la première ligne, du catalogue et de la sélection :
    // les mêmes pour chaque lot, chaque fil et chaque sortie.
    const Nettoyeur nettoyeur_;
    std::vector<std::unique_ptr<Sortie>> sorties_;
    std::vector<std::string> chemins_;
    // Les anciennes sorties, décrites par OublierLesAnciennes (au rang de chaque sortie).
    std::vector<DescriptionSortie> anciennes_;
};

ContexteSortie PasseSorties::Contexte() const {
    ContexteSortie contexte;
    contexte.jour = d_.jour ? *d_.jour : Aujourdhui();
    contexte.selection = nettoyeur_.Actif() ? &nettoyeur_.SelectionMontree() : &d_.selection;
    contexte.teintes = std::make_shared<const TeintesDesNoms>(
        TeintesDesNoms::Pour(*memoire_.catalogue, *contexte.selection));
    contexte.tailleMessage = d_.tailleMessage;
    // La période de la recherche d'où vient le catalogue, sinon celle que l'extrait couvre.
    contexte.periode = memoire_.empreinteExtrait ? memoire_.periodeExtrait
                                                 : PeriodeDeLExtrait(moteur_.CheminExtrait());
    return contexte;
}

Resultat PasseSorties::Ouvrir() {
    ContexteSortie contexte = Contexte();
    for (std::size_t k = 0; k < sorties_.size(); ++k) {
        Sortie& s = *sorties_[k];
        if (!s.dossier && !s.fichier.Ouvrir(s.chemin))
            return Resultat::Echec(s.Action(), s.chemin,
                                   s.fichier.Raison() + RienDeRemplace(sorties_.size()));
        contexte.chemin = s.chemin;
        contexte.decoupage = !s.dossier                            ? Decoupage::Aucun
                             : d_.decoupage == Decoupage::AuBesoin ? Decoupage::Jour
                                                                   : d_.decoupage;
        s.puits = s.format->fabriquer(contexte);
        s.puits->DefinirRang(k);
        s.puits->Commencer(s.fichier.Flux());
    }
    return Resultat::Succes();
}

Resultat PasseSorties::Parcourir(LecteurTexte& extrait, SuiviProgression& suivi,
                                 Progression& progression, std::stop_token arret) {
    // Les lignes partent par lots : plusieurs fils les filtrent, les réécrivent et les mettent
    // en forme en parallèle ; un fil par sortie écrit ensuite les lots dans l'ordre de l'extrait.
    std::vector<TravailDeFil> travaux(static_cast<std::size_t>(FilsDisponibles()));
    for (TravailDeFil& travail : travaux) {
        travail.reecriture.sansMessage = formats_ == FormatsSortie::Texte() && !nettoyeur_.Actif();
        if (d_.filtre)
            travail.filtre.emplace(*d_.filtre);
    }
    // Tous les locuteurs cochés, sur l'extrait dont vient le catalogue : ils ne sont plus cherchés.
    std::vector<ChaineDeLots::Etape> etapes{
        EtapeReecriture(travaux, d_.selection, nettoyeur_, sorties_,
                        moteur_.TousLesNomsRetenus(d_.selection), memoire_.sourcesExtrait)};
    for (const auto& s : sorties_)
        etapes.push_back({[&s = *s](Lot& lot, int) { s.puits->Ecrire(lot, s.fichier.Flux()); }});
    const std::size_t misesEnForme = sorties_.size() - (formats_.Contient("texte") ? 1 : 0);
    ChaineDeLots chaine(std::move(etapes),
                        std::max(TailleLotMin, TailleLot / (1 + 2 * misesEnForme)),
                        LotsEnCirculation);
    const ModesPartages aucun;
    const ModesPartages& modes = d_.modes ? *d_.modes : aucun;
    std::uint64_t lus = 0;
    const std::string chemin = moteur_.CheminExtrait();
    SourcesDesLignes sources;
    if (!memoire_.sourcesExtrait.empty())
        sources.Ouvrir(moteur_.CheminSortie(NomSources));
    return ParcourirLignes(
        extrait, chaine, suivi, progression, arret, std::nullopt,
        [&](std::string_view ligne) {
            // Les modes sont relus à chaque ligne : une option validée pendant l'écriture
            // s'applique aux lignes suivantes (un lot n'a qu'un jeu de modes).
            if (const Modes courants = modes.Lire(); chaine.Courant().modes != courants) {
                if (chaine.Courant().NombreLignes() != 0)
                    chaine.Envoyer();
                chaine.Courant().modes = courants;
            }
            RangerLigne(chaine, extrait, ligne, sources.Suivante());
        },
        [&] { return LectureEntiere(extrait, chemin); }, lus);
}

Resultat PasseSorties::Valider(ResultatSorties& resultat) {
    for (const auto& s : sorties_) {
        std::string raison;
        if (!s->puits->Finir(s->fichier.Flux(), raison))
            return Resultat::Echec(s->Action(), s->chemin,
                                   raison + RienDeRemplace(sorties_.size()));
        if (s->format->nom == "html")
            resultat.entreesPage = s->puits->EntreesEcrites();
    }
    // Tout ou rien : chaque sortie écrite et sur le disque, fichiers et dossier découpé, puis
    // l'ensemble prend ses noms. Écrit au besoin, le dossier n'est gardé (et nommé le premier)
    // qu'au-delà d'une page d'entrées, sinon l'ancien reste tel quel.
    std::vector<SortieAValider> aValider;
    std::vector<const Sortie*> enCause;
    for (std::size_t k = 0; k < sorties_.size(); ++k) {
        Sortie& s = *sorties_[k];
        if (s.auBesoin && s.puits->EntreesEcrites() <= EntreesParPage)
            continue;
        if (!s.dossier)
            aValider.push_back({&s.fichier, {}, {}});
        else if (auto dossier = s.puits->ConfierDossier())
            aValider.push_back(std::move(*dossier));
        else
            return Resultat::Echec(s.Action(), s.chemin,
                                   "le dossier n'a pas été écrit" +
                                       RienDeRemplace(sorties_.size()));
        if (k < anciennes_.size())
            aValider.back().ancienne = std::move(anciennes_[k]);
        enCause.push_back(&s);
        auto& ecrits = resultat.chemins;
        ecrits.insert(s.auBesoin ? ecrits.begin() : ecrits.end(), chemins_[k]);
    }
    if (const auto echec = ValiderEnsemble(aValider, *moteur_.Reglages().systemeSorties))
        return Resultat::Echec(enCause[echec->indice]->Action(), enCause[echec->indice]->chemin,
                               echec->raison);
    return Resultat::Succes();
}

} // namespace

Issue<ResultatSorties> Moteur::EcrireSorties(const DemandeSorties& demande,
                                             Progression& progression, std::stop_token arret) try {
    const FormatsSortie formats =
        demande.formats.Aucun() ? FormatsSortie::Texte() : demande.formats;
    ResultatSorties resultat;
    VerrouDossier verrou;
    if (Resultat r = PrendreLeDossier(verrou, resultat.avisDossier); !r.ok)
        return r;
    Issue<ResultatSorties> issue = Ecrire(demande, formats, progression, arret, resultat);
    if (!issue.ok()) {
        Resultat echec = issue.Echec();
        echec.avis = resultat.avisDossier;
        return echec;
    }
    return issue;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres. La première sortie demandée est nommée.
    for (const Format& f : TableDesFormats())
        if (demande.formats.Aucun() ? f.nom == "texte" : demande.formats.Contient(f.nom))
            return Resultat::Exception("Impossible d'écrire " + std::string(f.quoi),
                                       CheminSortie(f.fichier));
    return Resultat::Exception("Impossible d'écrire le journal final", CheminSortie(NomLogFinal));
}

Issue<ResultatSorties> Moteur::Ecrire(const DemandeSorties& demande, FormatsSortie formats,
                                      Progression& progression, std::stop_token arret,
                                      ResultatSorties& resultat) {
    const std::string cheminExtrait = CheminExtrait();
    const std::string lecture = "Impossible de lire l'extrait";
    // Le catalogue à l'écran vient de l'extrait que sa recherche a écrit : si un autre programme
    // l'a réécrit depuis, la période et les noms ne correspondent plus.
    if (memoire_->empreinteExtrait && LireEmpreinte(cheminExtrait) != memoire_->empreinteExtrait)
        return Resultat::Echec("L'extrait a changé depuis la recherche", cheminExtrait,
                               "un autre programme l'a réécrit ; relancez la recherche avant de "
                               "créer le fichier log");
    // L'extrait est ouvert avant de toucher aux sorties : absent, les anciennes restent telles
    // quelles. Celui que la recherche vient d'écrire, inchangé depuis, n'est pas recompté.
    LecteurTexte extrait;
    if (!extrait.Ouvrir(cheminExtrait))
        return Resultat::Echec(lecture, cheminExtrait, extrait.Raison());
    std::optional<std::uint64_t> lignesExtrait;
    ComptageEnParallele comptage;
    std::string raison;
    if (!PasseDeComptage(cheminExtrait, progression, lignesExtrait, comptage, raison))
        return Resultat::Echec(lecture, cheminExtrait, raison);

    PasseSorties passe(demande, formats, *this, *memoire_);
    passe.Declarer();
    // Les anciennes sorties ne seront remplacées qu'une fois les nouvelles complètes ; leurs
    // pages en mémoire, elles, peuvent partir dès maintenant, en parallèle de la passe : leur
    // suppression finale en devient presque gratuite, et les nouvelles réemploient cette mémoire.
    std::jthread oubli = passe.OublierLesAnciennes();
    if (Resultat r = passe.Ouvrir(); !r.ok)
        return r;
    SuiviProgression suivi(progression, lignesExtrait, comptage);
    Resultat parcours = passe.Parcourir(extrait, suivi, progression, arret);
    comptage.Arreter();
    if (!parcours.ok)
        return parcours; // les anciennes sorties restent telles quelles
    extrait.Fermer();
    oubli.join();
    if (Resultat r = passe.Valider(resultat); !r.ok)
        return r;
    progression.Valeur(0);
    return resultat;
}

} // namespace vek
