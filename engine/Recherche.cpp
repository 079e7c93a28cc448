// Recherche d'une période : copie des lignes datées de la période dans l'extrait et catalogue.

#include "ModuleVEK.h"

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Fichiers.h"

#include <cstring>

namespace vek {

Resultat ModuleVEK::RechercherPeriode(Date debut, Date fin) {
    const std::string chemin(RognerEspaces(fenetre_.LireTexte(ChampTexte::CheminLog)));

    // Le journal est ouvert avant toute remise à zéro : s'il est illisible, rien ne change.
    LecteurTexte journal;
    if (!journal.Ouvrir(chemin))
        return Resultat::Echec("Impossible de lire le journal", chemin, journal.Raison());

    // Passe de comptage : nombre de lignes plus un, jamais 0 ; ni affichage ni événements.
    // Un journal déjà compté (par l'analyse) et inchangé depuis n'est pas relu pour cela.
    const auto empreinte = LireEmpreinte(chemin);
    std::optional<std::uint64_t> lignesJournal;
    ComptageEnParallele comptage;
    if (!PasseDeComptage(journal, chemin, empreinte, lignesJournal, comptage))
        return Resultat::Echec("Impossible de lire le journal", chemin, journal.Raison());

    // L'extrait, fichier de travail, est réécrit sur place : ses pages et ses blocs resservent.
    // Un échec en cours d'écriture le supprime. Quand le journal est l'extrait lui-même (ou que
    // le système ne permet pas de s'en assurer), l'extrait s'écrit sous un nom temporaire et ne
    // remplace l'ancien qu'une fois complet.
    const auto empreinteExtrait = LireEmpreinte(CheminExtrait());
    const bool enPlace = empreinte && empreinteExtrait &&
                         !(empreinte->noeud == empreinteExtrait->noeud &&
                           empreinte->volume == empreinteExtrait->volume);
    EcritureAtomique extrait;
    if (!(enPlace ? extrait.OuvrirEnPlace(CheminExtrait()) : extrait.Ouvrir(CheminExtrait())))
        return Resultat::Echec("Impossible d'écrire l'extrait", CheminExtrait(), extrait.Raison());
    if (!journal.EstOuvert() && !journal.Ouvrir(chemin))
        return Resultat::Echec("Impossible de lire le journal", chemin, journal.Raison());

    SuiviProgression progression(fenetre_, lignesJournal, comptage);

    // Les lignes de la période partent par lots : plusieurs fils les cataloguent en parallèle,
    // chacun dans un catalogue partiel qui note le rang de chaque première apparition, et un
    // dernier fil les écrit dans l'extrait. Les partiels sont fusionnés à la fin, dans l'ordre
    // des premières apparitions. Le nouveau catalogue ne remplace l'ancien qu'en cas de succès.
    const int fils = FilsDisponibles();
    std::vector<Catalogue> partiels(static_cast<std::size_t>(fils));
    EcrivainTexte& sortie = extrait.Flux();
    ChaineDeLots chaine({{[&partiels](Lot& lot, int w) {
                              Catalogue& partiel = partiels[static_cast<std::size_t>(w)];
                              for (std::size_t i = 0; i < lot.NombreLignes(); ++i)
                                  partiel.Cataloguer(lot.Ligne(i), (lot.numero << 32) | i);
                          },
                          fils},
                         {[&sortie](Lot& lot, int) { sortie.Ecrire(lot.octets); }}});
    bool interrompu = false;
    FaireVivreLaFenetre(chaine, interrompu);
    double lus = 0;
    std::uint64_t ecrites = 0;
    // Les lignes d'un journal se suivent par jour : la date des dix premiers caractères de la
    // ligne précédente est gardée pour ne pas la recalculer.
    char tetePrecedente[10] = {};
    bool teteConnue = false;
    bool dansPeriode = false;
    while (!journal.FinFichier()) {
        const std::string_view ligne = journal.LireLigne();
        progression.Avancer(lus);
        if (!fenetre_.TraiterEvenements()) {
            chaine.Abandonner();
            return Resultat::Interruption(); // l'extrait temporaire est abandonné
        }
        lus += 1;
        fenetre_.DefinirCompteur(lus);
        if (ligne.size() >= 10 && teteConnue &&
            std::memcmp(ligne.data(), tetePrecedente, 10) == 0) {
            if (!dansPeriode)
                continue;
        } else {
            const auto date = DateDeLigne(ligne);
            dansPeriode = date && !(*date < debut) && !(*date > fin);
            teteConnue = ligne.size() >= 10;
            if (teteConnue)
                std::memcpy(tetePrecedente, ligne.data(), 10);
            if (!dansPeriode)
                continue;
        }
        chaine.Ajouter(ligne);
        ++ecrites;
        if (interrompu)
            return Resultat::Interruption();
    }
    comptage.Arreter(); // la passe a compté les lignes elle-même
    if (!chaine.Terminer())
        return Resultat::Interruption();
    if (journal.ErreurLecture())
        return Resultat::Echec("Impossible de lire le journal", chemin, journal.Raison());
    journal.Fermer();
    if (!extrait.Valider())
        return Resultat::Echec("Impossible d'écrire l'extrait", extrait.FichierEnCause(),
                               extrait.Raison());
    MemoriserLignes(chemin, empreinte, static_cast<std::uint64_t>(lus));
    empreinteCatalogue_ = LireEmpreinte(CheminExtrait());
    MemoriserLignes(CheminExtrait(), empreinteCatalogue_, ecrites);

    catalogue = Catalogue::Fusionner(partiels);
    RemplirArbres();
    fenetre_.DefinirValeurProgression(0.0f);
    return Resultat::Succes();
}

void ModuleVEK::RemplirArbres() {
    fenetre_.ViderArbre(Arbre::Channels);
    fenetre_.ViderArbre(Arbre::Noms);
    fenetre_.AjouterNoeud(Arbre::Channels, CleZoneProximite, TexteZoneProximite);
    for (std::int16_t i = 1; i <= catalogue.NbChannels; ++i) {
        const std::string& tag = catalogue.TabChannels[static_cast<std::size_t>(i)];
        fenetre_.AjouterNoeud(Arbre::Channels, tag, tag);
    }
    for (std::int16_t i = 1; i <= catalogue.NbNoms; ++i) {
        const std::string& nom = catalogue.TabNoms[static_cast<std::size_t>(i)];
        fenetre_.AjouterNoeud(Arbre::Noms, nom, nom);
    }
    fenetre_.ActiverCreerLog();
}

void ModuleVEK::CocherSelonCase(CaseACocher caseACocher, Arbre arbre) {
    const int valeur = fenetre_.ValeurCase(caseACocher);
    if (valeur != 0 && valeur != 1)
        return; // grisée : rien
    const int n = fenetre_.NombreNoeuds(arbre);
    for (int i = 1; i <= n; ++i)
        fenetre_.CocherNoeud(arbre, i, valeur == 1);
}

} // namespace vek
