// La recherche d'une période : les lignes datées de la période copiées dans l'extrait, et le
// catalogue de leurs channels et locuteurs. Une seule opération, lue depuis une position : le
// début des journaux (recherche complète, l'extrait écrit à part et mis à la place de l'ancien
// une fois complet), ou la fin de la recherche précédente (l'extrait et le catalogue prolongés).

#include "Moteur.h"

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "ExtraitEnCours.h"
#include "FiltrePeriode.h"
#include "Memoire.h"
#include "Passe.h"
#include "SourceFichier.h"

#include "Ecriture.h"
#include "Fichiers.h"
#include "Verrou.h"

#include <algorithm>
#include <utility>

namespace vek {

namespace {

// Le journal n'est jamais un fichier du dossier de sortie : choisi parmi eux (ou par un lien,
// ou sous un autre nom du même fichier), il serait écrasé ou supprimé par la passe. Comparé par
// identité (volume et nœud, liens suivis) à chaque nom que les passes écrivent ou suppriment.
Resultat JournalsHorsDuDossier(const std::vector<NomFichier>& journaux,
                               const std::string& dossier) {
    for (const NomFichier& chemin : journaux) {
        const auto journal = LireEmpreinte(chemin);
        if (!journal)
            continue;
        for (const std::string_view nom : NomsDuDossierDeSortie()) {
            const auto e = LireEmpreinte(JoindreChemin(dossier, nom));
            if (e && e->noeud == journal->noeud && e->volume == journal->volume)
                return Resultat::Echec(
                    "Le journal choisi est un fichier de sortie du programme", chemin,
                    "c'est « " + std::string(nom) +
                        " » du dossier de sortie, que le programme écrase ou supprime : "
                        "choisissez un autre journal, ou copiez-le ailleurs sous un autre nom");
        }
    }
    return Resultat::Succes();
}

// La lecture d'une recherche : les lignes de la période partent par lots ; plusieurs fils les
// cataloguent en parallèle, chacun dans un catalogue partiel qui note le rang de chaque première
// apparition (après ceux de la lecture précédente, pour une suite), et un dernier fil les écrit
// dans l'extrait. Les partiels sont fusionnés, dans l'ordre des premières apparitions, à la fin.
struct Lecture {
    std::vector<Catalogue> partiels;
    std::uint64_t lots = 0; // lots écrits
    std::uint64_t lignesDernierLot = 0;
    std::uint64_t lus = 0, ecrites = 0;
    bool derniereRetenue = false, derniereDatee = false; // la dernière ligne lue
    bool premiereRetenue = false;                        // la première ligne lue
    bool aucuneLue = true;
};

// Ce qu'écrit une recherche : l'extrait, et, pour une fusion, le journal de chaque ligne
// (NomSources : un octet par ligne, son rang dans la fusion), écrits et gardés ensemble.
struct EcritsDeRecherche {
    ExtraitEnCours extrait;
    std::optional<ExtraitEnCours> sources;
    Resultat Valider() {
        Resultat r = extrait.Valider();
        if (r.ok && sources)
            r = sources->Valider();
        return r;
    }
    void Abandonner() {
        extrait.Abandonner();
        if (sources)
            sources->Abandonner();
    }
};

template <class Source>
Resultat Lire(Source& source, std::uint64_t premierLot, EcrivainTexte& sortie,
              EcrivainTexte* sources, SuiviProgression& suivi, Progression& progression,
              std::stop_token arret, std::uint64_t dejaLues, FiltrePeriode& filtre, Lecture& l) {
    l.partiels.resize(static_cast<std::size_t>(FilsDisponibles()));
    ChaineDeLots chaine({{[&l, premierLot](Lot& lot, int w) {
                              Catalogue& partiel = l.partiels[static_cast<std::size_t>(w)];
                              const std::uint64_t rang = (premierLot + lot.numero) << 32;
                              for (std::size_t i = 0; i < lot.NombreLignes(); ++i)
                                  partiel.Cataloguer(lot.Ligne(i), rang | i);
                          },
                          static_cast<int>(l.partiels.size())},
                         {[&sortie, &l](Lot& lot, int) {
                             sortie.Ecrire(lot.octets);
                             l.lots = lot.numero + 1;
                             l.lignesDernierLot = lot.NombreLignes();
                         }}});
    return ParcourirLignes(
        source, chaine, suivi, progression, arret, dejaLues,
        [&](std::string_view ligne) {
            const std::uint64_t datees = filtre.Datees();
            l.derniereRetenue = filtre.Retient(ligne);
            l.derniereDatee = filtre.Datees() != datees;
            if (std::exchange(l.aucuneLue, false))
                l.premiereRetenue = l.derniereRetenue;
            if (!l.derniereRetenue)
                return;
            RangerLigne(chaine, source, ligne);
            if (sources) {
                const char rang = static_cast<char>(source.SourceDeLaLigne());
                sources->Ecrire(std::string_view(&rang, 1));
            }
            ++l.ecrites;
        },
        [&source] { return source.Verifier(); }, l.lus);
}

Reprise RepriseDe(const MemoireMoteur& m) {
    Reprise r{*m.lecture, m.empreinteExtrait->taille, {}, false};
    MemoireMoteur::LectureFaite& l = r.avant;
    if (!l.provisoire || l.lue.journaux.size() != 1 || !l.lue.journaux.front().debutProvisoire)
        return r;
    LuDUnJournal& j = l.lue.journaux.front();
    const auto e = LireEmpreinte(j.chemin);
    if (!e || e->taille <= j.fin)
        return r; // pas prolongée : elle reste telle quelle
    const MemoireMoteur::LectureFaite::Provisoire p = std::move(*l.provisoire);
    l.provisoire.reset();
    const std::uint64_t retiree = j.fin - *j.debutProvisoire;
    j.queue.resize(j.queue.size() - std::min<std::size_t>(j.queue.size(), retiree));
    j.fin = *j.debutProvisoire;
    j.debutProvisoire.reset();
    l.lus -= 1;
    l.retenues -= p.octetsExtrait.empty() ? 0 : 1;
    l.datees -= p.datee ? 1 : 0;
    r.tailleExtrait -= p.octetsExtrait.size();
    r.aRemettre = p.octetsExtrait;
    r.relireDerniere = true;
    l.provisoire = MemoireMoteur::LectureFaite::Provisoire{{}, p.catalogue, false};
    return r;
}

// La dernière ligne de cette lecture, prise sans fin de ligne : de quoi la relire en entier.
std::optional<MemoireMoteur::LectureFaite::Provisoire>
ProvisoireDe(const std::string& cheminExtrait, const Lecture& l, std::uint64_t premierLot,
             std::uint64_t tailleLigne, const std::shared_ptr<const Catalogue>& catalogue) {
    MemoireMoteur::LectureFaite::Provisoire p{{}, catalogue, l.derniereDatee};
    if (!l.derniereRetenue)
        return p;
    const auto e = LireEmpreinte(cheminExtrait);
    const std::uint64_t n = tailleLigne + 2;
    if (!e || e->taille < n)
        return std::nullopt;
    auto octets = LireOctetsSiMeme(cheminExtrait, *e, e->taille - n, static_cast<std::size_t>(n));
    if (!octets || octets->size() != n)
        return std::nullopt;
    p.octetsExtrait = std::move(*octets);
    const std::uint64_t rang = ((premierLot + l.lots - 1) << 32) | (l.lignesDernierLot - 1);
    p.catalogue = std::make_shared<const Catalogue>(catalogue->AvantLeRang(rang));
    return p;
}

// Le résultat d'une recherche réussie, d'après ce qu'elle a noté.
void Remplir(ResultatRecherche& resultat, const MemoireMoteur& m,
             const MemoireMoteur::LectureFaite& lue, const std::string& cheminExtrait,
             const Reprise* reprise, bool premiereRetenue) {
    resultat.catalogue = m.catalogue;
    resultat.extrait = cheminExtrait;
    resultat.empreinte = m.empreinteExtrait;
    resultat.lignesLues = lue.lus;
    resultat.lignesRetenues = lue.retenues;
    resultat.lignesDatees = lue.datees;
    resultat.periode = lue.periode;
    resultat.suite = reprise != nullptr;
    resultat.debutSuite = reprise ? reprise->tailleExtrait : 0;
    resultat.derniereRelue = reprise && reprise->relireDerniere;
    resultat.relueDansLExtrait = resultat.derniereRelue && premiereRetenue;
    resultat.derniereProvisoire = lue.provisoire && !lue.provisoire->octetsExtrait.empty();
}

// Note, après une recherche réussie, son extrait, son catalogue et de quoi la prolonger.
void Noter(MemoireMoteur& m, SourceLignes& source, const std::string& cheminExtrait,
           const Periode& cherchee, const Reprise* reprise, const FiltrePeriode& filtre, Lecture& l,
           ResultatRecherche& resultat) {
    MemoireMoteur::LectureFaite lue = reprise ? reprise->avant : MemoireMoteur::LectureFaite{};
    const std::uint64_t premierLot = lue.prochainLot;
    const auto provisoireAvant = lue.provisoire;
    lue.lue = source.Lu();
    lue.periode = cherchee;
    lue.apresLaFin = lue.apresLaFin || filtre.ApresLaFin();
    lue.prochainLot += l.lots;
    lue.lus += l.lus;
    lue.retenues += l.ecrites;
    lue.datees += filtre.Datees();
    source.Fermer();
    // Le journal lu en entier : la passe de comptage suivante s'en passe s'il n'a pas changé.
    if (!reprise && lue.lue.journaux.size() == 1 && !lue.lue.fusion)
        m.MemoriserLignes(lue.lue.journaux.front().chemin, lue.lue.journaux.front().identite,
                          l.lus);
    std::vector<Catalogue> partiels = std::move(l.partiels);
    if (reprise)
        partiels.push_back(reprise->relireDerniere ? *provisoireAvant->catalogue : *m.catalogue);
    m.catalogue = std::make_shared<const Catalogue>(Catalogue::Fusionner(partiels));
    std::vector<Catalogue>().swap(partiels); // la fusion faite, les partiels rendent leur mémoire
    m.empreinteExtrait = LireEmpreinte(cheminExtrait);
    m.periodeExtrait = {cherchee.debut.date, cherchee.fin.date};
    m.sourcesExtrait.clear();
    if (source.Journaux().size() == 1 && !reprise) // celui d'une fusion précédente : plus à jour
        SupprimerFichier(JoindreChemin(DossierDe(cheminExtrait), NomSources));
    if (source.Journaux().size() > 1)
        for (const NomFichier& j : source.Journaux())
            m.sourcesExtrait.push_back(j.substr(j.find_last_of("/\\") + 1));
    m.MemoriserLignes(cheminExtrait, m.empreinteExtrait, lue.retenues);

    // Une dernière ligne sans fin de ligne : celle de cette lecture, ou, si rien n'a été lu,
    // celle d'avant, toujours là.
    const auto& journal = lue.lue.journaux.size() != 1 ? LuDUnJournal{} : lue.lue.journaux.front();
    if (l.lus > 0)
        lue.provisoire = journal.debutProvisoire
                             ? ProvisoireDe(cheminExtrait, l, premierLot,
                                            journal.fin - *journal.debutProvisoire, m.catalogue)
                             : std::nullopt;
    else if (lue.provisoire && lue.lue.journaux.size() == 1 && reprise &&
             reprise->avant.lue.journaux.size() == 1)
        lue.lue.journaux.front().debutProvisoire =
            reprise->avant.lue.journaux.front().debutProvisoire;

    Remplir(resultat, m, lue, cheminExtrait, reprise, l.premiereRetenue);
    if (lue.lue.Vide())
        m.lecture.reset(); // un tube, un fichier sans identité : rien à prolonger
    else
        m.lecture = std::move(lue);
}

} // namespace

Issue<ResultatRecherche> Moteur::Rechercher(const DemandeRecherche& demande,
                                            Progression& progression, std::stop_token arret) try {
    const std::unique_ptr<SourceLignes> source =
        SourceDesJournaux(demande.journaux, *reglages_.horloge, reglages_.delaiLigneInachevee);
    // Les mêmes journaux, seulement prolongés depuis la recherche précédente : seule la suite
    // est lue.
    std::optional<Reprise> reprise;
    if (memoire_->lecture)
        reprise = RepriseDe(*memoire_);
    const std::optional<std::string> toutRelire =
        RaisonDeToutRelire(*source, demande.periode, reprise ? &reprise->avant.lue : nullptr);
    if (toutRelire) {
        memoire_->lecture.reset(); // l'ancienne lecture ne sera plus prolongée
        reprise.reset();
    }

    // Les journaux sont ouverts avant toute écriture : s'ils sont illisibles, rien ne change.
    if (Resultat r = source->Ouvrir(reprise ? &reprise->avant.lue : nullptr); !r.ok)
        return r;
    if (Resultat r = JournalsHorsDuDossier(source->Journaux(), reglages_.dossier); !r.ok)
        return r;
    VerrouDossier verrou;
    ResultatRecherche resultat;
    if (Resultat r = PrendreLeDossier(verrou, resultat.avisDossier); !r.ok)
        return r;
    resultat.avisComplet = toutRelire.value_or("");
    if (Resultat r = LireLaPeriode(*source, demande.periode, reprise ? &*reprise : nullptr,
                                   progression, arret, resultat);
        !r.ok) {
        r.avis = resultat.avisDossier;
        return r;
    }
    if (!resultat.catalogue) {
        // La suite ne pouvait pas tenir l'ordre du temps : une recherche complète, qui le dit.
        verrou.Relacher();
        auto complete = Rechercher(demande, progression, arret);
        if (complete.ok())
            complete->avisComplet = resultat.avisComplet;
        return complete;
    }
    resultat.journaux = source->JournauxLus();
    resultat.avisJournaux = source->Avis();
    return resultat;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres.
    return Resultat::Exception("Impossible de faire la recherche",
                               std::string(RognerEspaces(demande.journaux.Premier())));
}

Resultat Moteur::LireLaPeriode(SourceLignes& source, const Periode& cherchee,
                               const Reprise* reprise, Progression& progression,
                               std::stop_token arret, ResultatRecherche& resultat) {
    MemoireMoteur& m = *memoire_;
    // Passe de comptage d'une recherche complète : nombre de lignes plus un, jamais 0. Un
    // journal déjà compté (par l'analyse) et inchangé depuis n'est pas relu pour cela.
    std::optional<std::uint64_t> lignes;
    ComptageEnParallele comptage;
    const NomFichier& journal = source.Journaux().front();
    std::string raison;
    if (!reprise && !PasseDeComptage(journal, progression, lignes, comptage, raison))
        return Resultat::Echec("Impossible de lire le journal", journal, raison);
    EcritsDeRecherche ecrits{ExtraitEnCours(CheminExtrait()), std::nullopt};
    const auto depuis = reprise ? reprise->tailleExtrait : std::optional<std::uint64_t>{};
    if (Resultat r = ecrits.extrait.Ouvrir(depuis, reprise ? reprise->aRemettre : std::string());
        !r.ok)
        return r;
    if (source.Journaux().size() > 1) {
        ecrits.sources.emplace(CheminSortie(NomSources));
        const auto avant = reprise ? reprise->avant.retenues : std::optional<std::uint64_t>{};
        if (Resultat r = ecrits.sources->Ouvrir(avant, {}); !r.ok)
            return r;
    }
    EcrivainTexte* sources = ecrits.sources ? &ecrits.sources->Flux() : nullptr;
    if (reprise)
        progression.Debut();
    SuiviProgression suivi(progression, lignes, comptage);
    FiltrePeriode filtre(cherchee);
    Lecture l;
    const std::uint64_t premierLot = reprise ? reprise->avant.prochainLot : 0;
    const std::uint64_t dejaLues = reprise ? reprise->avant.lus : 0;
    auto* fichier = dynamic_cast<SourceFichier*>(&source); // sans appel virtuel par ligne
    Resultat parcours = fichier ? Lire(*fichier, premierLot, ecrits.extrait.Flux(), sources, suivi,
                                       progression, arret, dejaLues, filtre, l)
                                : Lire(source, premierLot, ecrits.extrait.Flux(), sources, suivi,
                                       progression, arret, dejaLues, filtre, l);
    comptage.Arreter(); // la passe a compté les lignes elle-même
    if (parcours.ok && reprise && source.ARelireEnEntier()) {
        // Une suite de fusion qui sortirait de l'ordre du temps : rien n'est gardé, tout est
        // relu.
        ecrits.Abandonner();
        m.lecture.reset();
        resultat.avisComplet = *source.ARelireEnEntier();
        return Resultat::Succes();
    }
    if (parcours.ok)
        parcours = ecrits.Valider();
    if (!parcours.ok) {
        ecrits.Abandonner(); // l'ancien extrait reste tel quel, le catalogue aussi
        m.lecture.reset();   // la prochaine recherche relira tout
        return parcours;
    }
    Noter(m, source, CheminExtrait(), cherchee, reprise, filtre, l, resultat);
    if (reprise)
        progression.Maximum(resultat.lignesLues + 1); // l'échelle d'une recherche complète
    progression.Valeur(0);
    return Resultat::Succes();
}

std::optional<std::string> Moteur::RaisonDeToutRelire(const SourceLignes& source,
                                                      const Periode& periode,
                                                      const LectureLue* reprise) const {
    const MemoireMoteur& m = *memoire_;
    if (!m.lecture || !reprise)
        return std::string();
    const MemoireMoteur::LectureFaite& l = *m.lecture;
    if (reprise->journaux.size() != source.Journaux().size() ||
        !std::equal(reprise->journaux.begin(), reprise->journaux.end(), source.Journaux().begin(),
                    [](const LuDUnJournal& lu, const NomFichier& j) { return lu.chemin == j; }))
        return "un autre journal : recherche complète";
    // La même période, ou une fin plus tardive quand rien de ce qui a été lu ne la dépassait.
    if (!(periode.debut == l.periode.debut) || periode.fin < l.periode.fin ||
        (l.periode.fin < periode.fin && l.apresLaFin))
        return "une autre période : recherche complète";
    if (m.catalogue->LimiteChannelsAtteinte || m.catalogue->LimiteNomsAtteinte)
        return "catalogue plein : recherche complète";
    const auto extrait = LireEmpreinte(CheminExtrait());
    if (!extrait || !m.empreinteExtrait || !(*extrait == *m.empreinteExtrait))
        return "l'extrait a changé depuis la recherche précédente : recherche complète";
    return source.RaisonDeToutRelire(*reprise);
}

} // namespace vek
