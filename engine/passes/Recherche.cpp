// Recherche d'une période : copie des lignes datées de la période dans l'extrait et catalogue.

#include "ModuleVEK.h"

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Fichiers.h"
#include "Passe.h"
#include "TemoinJournal.h"

#include <algorithm>
#include <cstring>

namespace vek {

namespace {

// Les lignes d'un journal se suivent par jour : le sort du jour des dix premiers caractères de
// la ligne précédente est gardé pour ne pas le recalculer. Un jour entièrement dans la période
// (ou hors d'elle) décide seul ; seul un jour de borne coupé par une heure fait lire l'heure de
// chaque ligne, et une heure illisible y compte pour minuit.
class FiltrePeriode {
public:
    explicit FiltrePeriode(const Periode& periode) : periode_(periode) {}
    bool Retient(std::string_view ligne) {
        if (ligne.size() < 10 || !teteConnue_ || std::memcmp(ligne.data(), tete_, 10) != 0)
            Classer(ligne);
        if (sort_ != Sort::NonDatee)
            ++datees_;
        if (sort_ == Sort::Dehors && periode_.fin.date < jour_)
            apresLaFin_ = true;
        if (sort_ != Sort::Borne)
            return sort_ == Sort::Dedans;
        const Instant instant{jour_, SecondesDeLigne(ligne).value_or(0)};
        apresLaFin_ = apresLaFin_ || periode_.fin < instant;
        return !(instant < periode_.debut) && !(periode_.fin < instant);
    }
    std::uint64_t Datees() const { return datees_; } // lignes datées vues
    bool ApresLaFin() const { return apresLaFin_; }  // une ligne vue datée après la période

private:
    enum class Sort { NonDatee, Dehors, Dedans, Borne };
    void Classer(std::string_view ligne) {
        const auto date = DateDeLigne(ligne);
        teteConnue_ = ligne.size() >= 10;
        if (teteConnue_)
            std::memcpy(tete_, ligne.data(), 10);
        if (!date) {
            sort_ = Sort::NonDatee;
            return;
        }
        jour_ = *date;
        if (*date < periode_.debut.date || periode_.fin.date < *date)
            sort_ = Sort::Dehors;
        else if ((*date == periode_.debut.date && periode_.debut.seconde > 0) ||
                 (*date == periode_.fin.date && periode_.fin.seconde < SecondesParJour - 1))
            sort_ = Sort::Borne;
        else
            sort_ = Sort::Dedans;
    }
    Periode periode_;
    char tete_[10] = {};
    bool teteConnue_ = false;
    Sort sort_ = Sort::NonDatee;
    Date jour_;
    std::uint64_t datees_ = 0;
    bool apresLaFin_ = false;
};

// Le journal n'est jamais un fichier du dossier de sortie : choisi parmi eux (ou par un lien,
// ou sous un autre nom du même fichier), il serait écrasé ou supprimé par la passe. Comparé par
// identité (volume et nœud, liens suivis) à chaque nom que les passes écrivent ou suppriment.
std::optional<std::string_view>
SortieQuiEstLeJournal(const std::optional<EmpreinteFichier>& journal, const std::string& dossier) {
    if (!journal)
        return std::nullopt;
    for (const std::string_view nom : NomsDuDossierDeSortie()) {
        const auto e = LireEmpreinte(JoindreChemin(dossier, nom));
        if (e && e->noeud == journal->noeud && e->volume == journal->volume)
            return nom;
    }
    return std::nullopt;
}

} // namespace

Issue<ResultatRecherche> ModuleVEK::Rechercher(const std::string& cheminDonne,
                                               const Periode& cherchee, Progression& progression,
                                               std::stop_token arret) try {
    const std::string chemin(RognerEspaces(cheminDonne));
    const std::string lecture = "Impossible de lire le journal";
    // Le même journal, seulement prolongé depuis la recherche précédente : seule la suite est lue.
    const std::optional<std::string> toutRelire = RaisonDeToutRelire(chemin, cherchee);
    if (!toutRelire)
        return RechercherSuite(chemin, cherchee, progression, arret);
    lectureFaite_.reset(); // l'ancienne lecture ne sera plus prolongée

    // Le journal est ouvert avant toute remise à zéro : s'il est illisible, rien ne change.
    LecteurTexte journal;
    if (!journal.Ouvrir(chemin))
        return Resultat::Echec(lecture, chemin, journal.Raison());
    journal.AttendreLignesAchevees(*HorlogeDesPasses, DelaiLigneInachevee);
    TemoinJournal temoin;
    if (!temoin.Noter(chemin, journal))
        return Resultat::Echec(lecture, chemin, TemoinJournal::Raison());

    const auto empreinte = LireEmpreinte(chemin);
    const std::string cheminExtrait = CheminExtrait();
    if (const auto nom = SortieQuiEstLeJournal(empreinte, repertoire_))
        return Resultat::Echec("Le journal choisi est un fichier de sortie du programme", chemin,
                               "c'est « " + std::string(*nom) +
                                   " » du dossier de sortie, que le programme écrase ou "
                                   "supprime : choisissez un autre journal, ou copiez-le "
                                   "ailleurs sous un autre nom");
    VerrouDossier verrou;
    if (Resultat r = PrendreLeDossier(verrou); !r.ok)
        return r;

    // Passe de comptage : nombre de lignes plus un, jamais 0.
    // Un journal déjà compté (par l'analyse) et inchangé depuis n'est pas relu pour cela.
    std::optional<std::uint64_t> lignesJournal;
    ComptageEnParallele comptage;
    if (!PasseDeComptage(journal, chemin, empreinte, progression, lignesJournal, comptage))
        return Resultat::Echec(lecture, chemin, journal.Raison());

    // L'extrait, fichier de travail, est réécrit sur place : ses pages et ses blocs resservent.
    // Un échec en cours d'écriture le supprime. Quand le système ne permet pas de s'assurer que
    // le journal n'est pas l'extrait, ou que l'extrait n'est pas un fichier ordinaire à un seul
    // nom, il s'écrit sous un nom temporaire et ne remplace l'ancien qu'une fois complet.
    const auto empreinteExtrait = LireEmpreinte(cheminExtrait);
    const bool enPlace = empreinte && empreinteExtrait &&
                         !(empreinte->noeud == empreinteExtrait->noeud &&
                           empreinte->volume == empreinteExtrait->volume);
    EcritureAtomique extrait;
    if (!(enPlace ? extrait.OuvrirEnPlace(cheminExtrait) : extrait.Ouvrir(cheminExtrait)))
        return Resultat::Echec("Impossible d'écrire l'extrait", cheminExtrait, extrait.Raison());
    if (!journal.EstOuvert()) {
        // Rouvert après le comptage : ce doit être le même fichier, relu selon la même règle.
        if (!journal.Ouvrir(chemin))
            return Resultat::Echec(lecture, chemin, journal.Raison());
        journal.AttendreLignesAchevees(*HorlogeDesPasses, DelaiLigneInachevee);
    }

    SuiviProgression suivi(progression, lignesJournal, comptage);

    // Les lignes de la période partent par lots : plusieurs fils les cataloguent en parallèle,
    // chacun dans un catalogue partiel qui note le rang de chaque première apparition, et un
    // dernier fil les écrit dans l'extrait. Les partiels sont fusionnés à la fin, dans l'ordre
    // des premières apparitions. Le nouveau catalogue ne remplace l'ancien qu'en cas de succès.
    const int fils = FilsDisponibles();
    std::vector<Catalogue> partiels(static_cast<std::size_t>(fils));
    std::uint64_t lots = 0; // lots écrits : les rangs d'une suite viendront après les leurs
    EcrivainTexte& sortie = extrait.Flux();
    ChaineDeLots chaine({{[&partiels](Lot& lot, int w) {
                              Catalogue& partiel = partiels[static_cast<std::size_t>(w)];
                              for (std::size_t i = 0; i < lot.NombreLignes(); ++i)
                                  partiel.Cataloguer(lot.Ligne(i), (lot.numero << 32) | i);
                          },
                          fils},
                         {[&sortie, &lots](Lot& lot, int) {
                             sortie.Ecrire(lot.octets);
                             lots = lot.numero + 1;
                         }}});
    std::uint64_t ecrites = 0;
    FiltrePeriode periode(cherchee);
    std::uint64_t lus = 0;
    const Resultat parcours = ParcourirLignes(
        journal, chemin, lecture, chaine, suivi, progression, arret, true,
        [&](std::string_view ligne) {
            if (!periode.Retient(ligne))
                return;
            RangerLigne(chaine, journal, ligne);
            ++ecrites;
        },
        lus);
    comptage.Arreter(); // la passe a compté les lignes elle-même
    if (!parcours.ok)
        return parcours; // l'extrait entamé est abandonné
    // Avant d'annoncer le succès : le journal lu est toujours celui du début de la passe.
    if (const auto changement = temoin.Changement(chemin, journal)) {
        extrait.Abandonner();
        return Resultat::Echec(lecture, chemin, *changement);
    }
    LectureFaite lue{
        chemin, {},      journal.FinDeLecture(), {}, cherchee, periode.ApresLaFin(), lots << 32,
        lus,    ecrites, periode.Datees()};
    if (journal.EmpreinteOuverture())
        lue.identite = *journal.EmpreinteOuverture();
    journal.Fermer();
    if (!extrait.Valider())
        return Resultat::Echec("Impossible d'écrire l'extrait", extrait.FichierEnCause(),
                               extrait.Raison());
    MemoriserLignes(chemin, empreinte, lus);
    empreinteCatalogue_ = LireEmpreinte(cheminExtrait);
    periodeCatalogue_ = {cherchee.debut.date, cherchee.fin.date};
    MemoriserLignes(cheminExtrait, empreinteCatalogue_, ecrites);

    catalogue_ = std::make_shared<const Catalogue>(Catalogue::Fusionner(partiels));
    if (empreinte)
        NoterLecture(std::move(lue));
    else
        lectureFaite_.reset();
    std::vector<Catalogue>().swap(partiels); // la fusion faite, les partiels rendent leur mémoire
    progression.Valeur(0);
    ResultatRecherche resultat;
    resultat.catalogue = catalogue_;
    resultat.extrait = cheminExtrait;
    resultat.empreinte = empreinteCatalogue_;
    resultat.lignesLues = lus;
    resultat.lignesRetenues = ecrites;
    resultat.lignesDatees = periode.Datees();
    resultat.periode = cherchee;
    resultat.avisComplet = *toutRelire;
    return resultat;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres.
    return Resultat::Exception("Impossible de faire la recherche",
                               std::string(RognerEspaces(cheminDonne)));
}

void ModuleVEK::NoterLecture(LectureFaite lue) {
    // La queue est relue du fichier même qui a été lu : la suite devra la retrouver intacte.
    const std::uint64_t n = std::min<std::uint64_t>(lue.fin, TemoinJournal::TailleDebut);
    auto queue =
        LireOctetsSiMeme(lue.chemin, lue.identite, lue.fin - n, static_cast<std::size_t>(n));
    if (!queue || queue->size() != n) {
        lectureFaite_.reset();
        return;
    }
    lue.queue = std::move(*queue);
    lectureFaite_ = std::move(lue);
}

std::optional<std::string> ModuleVEK::RaisonDeToutRelire(const std::string& chemin,
                                                         const Periode& periode) const {
    if (!lectureFaite_)
        return std::string();
    const LectureFaite& l = *lectureFaite_;
    if (chemin != l.chemin)
        return "un autre journal : recherche complète";
    // La même période, ou une fin plus tardive quand rien de ce qui a été lu ne la dépassait.
    if (!(periode.debut == l.periode.debut) || periode.fin < l.periode.fin ||
        (l.periode.fin < periode.fin && l.apresLaFin))
        return "une autre période : recherche complète";
    if (catalogue_->LimiteChannelsAtteinte || catalogue_->LimiteNomsAtteinte)
        return "catalogue plein : recherche complète";
    const auto extrait = LireEmpreinte(CheminExtrait());
    if (!extrait || !empreinteCatalogue_ || !(*extrait == *empreinteCatalogue_))
        return "l'extrait a changé depuis la recherche précédente : recherche complète";
    const auto e = LireEmpreinte(chemin);
    if (!e || e->noeud != l.identite.noeud || e->volume != l.identite.volume)
        return "le journal a été remplacé : recherche complète";
    if (e->taille < l.fin)
        return "le journal a raccourci : recherche complète";
    // Une dernière ligne prise sans fin de ligne (le journal ne grandissait plus) que le jeu a
    // prolongée depuis : elle n'est plus celle de l'extrait.
    if (e->taille > l.fin && !l.queue.empty() && l.queue.back() != '\n' && l.queue.back() != '\r')
        return "la dernière ligne lue a été prolongée : recherche complète";
    const auto queue = LireOctetsSiMeme(chemin, l.identite, l.fin - l.queue.size(), l.queue.size());
    if (!queue || *queue != l.queue)
        return "le journal a changé avant son ancienne fin : recherche complète";
    return std::nullopt;
}

Issue<ResultatRecherche> ModuleVEK::RechercherSuite(const std::string& chemin,
                                                    const Periode& cherchee,
                                                    Progression& progression,
                                                    std::stop_token arret) {
    const std::string lecture = "Impossible de lire le journal";
    LectureFaite l = *lectureFaite_;
    // Un CR LF coupé entre deux lectures : le LF appartient à la ligne déjà lue.
    std::uint64_t depuis = l.fin;
    if (!l.queue.empty() && l.queue.back() == '\r' &&
        LireOctetsSiMeme(chemin, l.identite, depuis, 1) == std::optional<std::string>("\n"))
        ++depuis;
    LecteurTexte journal;
    if (!journal.Ouvrir(chemin, depuis))
        return Resultat::Echec(lecture, chemin, journal.Raison());
    journal.AttendreLignesAchevees(*HorlogeDesPasses, DelaiLigneInachevee);
    TemoinJournal temoin;
    if (!temoin.Noter(chemin, journal))
        return Resultat::Echec(lecture, chemin, TemoinJournal::Raison());
    VerrouDossier verrou;
    if (Resultat r = PrendreLeDossier(verrou); !r.ok)
        return r;
    const std::string cheminExtrait = CheminExtrait();
    EcrivainTexte extrait;
    if (!extrait.Prolonger(cheminExtrait, empreinteCatalogue_->taille))
        return Resultat::Echec("Impossible d'écrire l'extrait", cheminExtrait, extrait.Raison());

    // La suite est courte (ce que le jeu a écrit depuis) : lue et cataloguée sur ce fil.
    progression.Debut();
    Catalogue suite;
    FiltrePeriode periode(cherchee);
    std::uint64_t lus = 0, ecrites = 0;
    while (!journal.FinFichier()) {
        if (arret.stop_requested()) {
            extrait.Ramener();
            return Resultat::Interruption();
        }
        const std::string_view ligne = journal.LireLigne();
        progression.Compteur(l.lus + ++lus);
        if (!periode.Retient(ligne))
            continue;
        suite.Cataloguer(ligne, l.prochainRang++);
        extrait.EcrireLigne(ligne);
        ++ecrites;
    }
    std::optional<std::string> changement;
    if (journal.ErreurLecture())
        changement = journal.Raison();
    else if (journal.Raccourci())
        changement = TemoinJournal::Raison();
    else
        changement = temoin.Changement(chemin, journal);
    if (changement) {
        // L'extrait revient à ce qu'il était ; la prochaine recherche relira tout.
        extrait.Ramener();
        lectureFaite_.reset();
        return Resultat::Echec(lecture, chemin, *changement);
    }
    if (!extrait.Fermer()) {
        extrait.Ramener();
        lectureFaite_.reset();
        return Resultat::Echec("Impossible d'écrire l'extrait", cheminExtrait, extrait.Raison());
    }
    l.fin = journal.FinDeLecture();
    l.apresLaFin = l.apresLaFin || periode.ApresLaFin();
    l.lus += lus;
    l.retenues += ecrites;
    l.datees += periode.Datees();
    journal.Fermer();

    catalogue_ = std::make_shared<const Catalogue>(Catalogue::Fusionner({*catalogue_, suite}));
    empreinteCatalogue_ = LireEmpreinte(cheminExtrait);
    MemoriserLignes(cheminExtrait, empreinteCatalogue_, l.retenues);
    progression.Maximum(l.lus + 1); // l'échelle d'une recherche complète : lignes plus un
    progression.Valeur(0);
    ResultatRecherche resultat;
    resultat.catalogue = catalogue_;
    resultat.extrait = cheminExtrait;
    resultat.empreinte = empreinteCatalogue_;
    resultat.lignesLues = l.lus;
    resultat.lignesRetenues = l.retenues;
    resultat.lignesDatees = l.datees;
    resultat.periode = cherchee;
    resultat.suite = true;
    NoterLecture(std::move(l));
    return resultat;
}

} // namespace vek
