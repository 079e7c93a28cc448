// Écriture du journal final : bannière, lignes retenues et réécrites, pied de page.

#include "ModuleVEK.h"

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Fichiers.h"
#include "Fils.h"
#include "Passe.h"

#include <thread>

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

} // namespace

Issue<std::string> ModuleVEK::EcrireLogFinal(const Selection& selection, const ModesPartages& modes,
                                             Progression& progression, std::stop_token arret) try {
    const std::string cheminExtrait = CheminExtrait();
    const std::string cheminFinal = CheminLogFinal();
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

    // L'extrait est ouvert avant de toucher au journal final : absent, l'ancien reste tel quel.
    LecteurTexte extrait;
    if (!extrait.Ouvrir(cheminExtrait))
        return Resultat::Echec(lecture, cheminExtrait, extrait.Raison());
    // L'extrait que la recherche vient d'écrire, inchangé depuis, n'est pas recompté.
    std::optional<std::uint64_t> lignesExtrait;
    ComptageEnParallele comptage;
    if (!PasseDeComptage(extrait, cheminExtrait, LireEmpreinte(cheminExtrait), progression,
                         lignesExtrait, comptage))
        return Resultat::Echec(lecture, cheminExtrait, extrait.Raison());

    // L'ancien journal final ne sera remplacé qu'une fois le nouveau complet ; ses pages en
    // mémoire, elles, peuvent partir dès maintenant, en parallèle de la passe : sa suppression
    // finale en devient presque gratuite, et le nouveau réemploie cette mémoire.
    const std::jthread oubli([cheminFinal] {
        PrioriteDeFond();
        OublierPagesEnMemoire(cheminFinal);
    });

    EcritureAtomique final;
    if (!final.Ouvrir(cheminFinal))
        return Resultat::Echec("Impossible d'écrire le journal final", cheminFinal, final.Raison());
    EcrivainTexte& sortie = final.Flux();
    EcrireBanniere(sortie, DateDuJour());

    SuiviProgression suivi(progression, lignesExtrait, comptage);
    if (!extrait.EstOuvert() && !extrait.Ouvrir(cheminExtrait))
        return Resultat::Echec(lecture, cheminExtrait, extrait.Raison());

    // Les lignes partent par lots : plusieurs fils les filtrent et les réécrivent en parallèle,
    // un dernier écrit les lots réécrits dans l'ordre de l'extrait.
    const int fils = FilsDisponibles();
    std::vector<TravailReecriture> travaux(static_cast<std::size_t>(fils));
    // Tous les locuteurs cochés, sur l'extrait dont vient le catalogue : ils ne sont plus cherchés.
    const bool tousLesNoms = TousLesNomsRetenus(selection, cheminExtrait);
    // Les fils de travail ne lisent que des données que personne n'écrit pendant la passe
    // (tousLesNoms est copié : rangé près des variables du fil qui lit, il partagerait leur ligne
    // de cache).
    ChaineDeLots chaine(
        {{[&travaux, &selection, tousLesNoms](Lot& lot, int w) {
              TravailReecriture& travail = travaux[static_cast<std::size_t>(w)];
              for (std::size_t i = 0; i < lot.NombreLignes(); ++i) {
                  const auto reecrite =
                      FiltrerEtReecrire(lot.Ligne(i), selection, lot.modes, travail, tousLesNoms);
                  if (!reecrite)
                      continue;
                  if (lot.NombreLignes() == 1 && reecrite->size() >= LigneDemesuree) {
                      // Ligne démesurée : désignée là où elle a été réécrite, sans copie.
                      ReprendreReecriture(travail, *reecrite, lot.sortie);
                      lot.sortieLongue = *reecrite;
                  } else {
                      lot.sortie.append(*reecrite).append("\r\n", 2);
                  }
              }
          },
          fils},
         {[&sortie](Lot& lot, int) {
             if (lot.sortieLongue.empty()) {
                 sortie.Ecrire(lot.sortie);
             } else {
                 sortie.Ecrire(lot.sortieLongue);
                 sortie.Ecrire("\r\n");
             }
         }}});
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
        return parcours; // l'ancien journal final reste tel quel
    extrait.Fermer();
    EcrirePied(sortie);
    if (!final.Valider())
        return Resultat::Echec("Impossible d'écrire le journal final", final.FichierEnCause(),
                               final.Raison());

    progression.Valeur(0);
    return cheminFinal;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres.
    return Resultat::Exception("Impossible d'écrire le journal final", CheminLogFinal());
}

} // namespace vek
