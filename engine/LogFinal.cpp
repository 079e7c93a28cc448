// Écriture du journal final : bannière, lignes retenues et réécrites, pied de page.

#include "ModuleVEK.h"

#include "Fichiers.h"

namespace vek {

namespace {

const std::string Etoiles(68, '*');

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

Resultat ModuleVEK::CreerLogFinal() {
    const std::string cheminExtrait = CheminExtrait();
    const std::string cheminFinal = CheminLogFinal();

    // L'extrait est ouvert avant de toucher au journal final : absent, l'ancien reste tel quel.
    LecteurTexte extrait;
    if (!extrait.Ouvrir(cheminExtrait))
        return Resultat::Echec("Impossible de lire l'extrait", cheminExtrait, extrait.Raison());
    // L'extrait que la recherche vient d'écrire, inchangé depuis, n'est pas recompté.
    const auto lignesExtrait =
        PasseDeComptage(extrait, cheminExtrait, LireEmpreinte(cheminExtrait));
    if (!lignesExtrait)
        return Resultat::Echec("Impossible de lire l'extrait", cheminExtrait, extrait.Raison());
    const double nbLignes = 1.0 + static_cast<double>(*lignesExtrait);

    EcritureAtomique final;
    if (!final.Ouvrir(cheminFinal))
        return Resultat::Echec("Impossible d'écrire le journal final", cheminFinal, final.Raison());
    EcrivainTexte& sortie = final.Flux();
    EcrireBanniere(sortie, DateDuJour());

    fenetre_.DefinirMaxProgression(static_cast<float>(nbLignes));
    if (!extrait.EstOuvert() && !extrait.Ouvrir(cheminExtrait))
        return Resultat::Echec("Impossible de lire l'extrait", cheminExtrait, extrait.Raison());
    double lus = 0;
    while (!extrait.FinFichier()) {
        fenetre_.DefinirValeurProgression(static_cast<float>(lus));
        if (!fenetre_.TraiterEvenements())
            return Resultat::Interruption();
        const std::string_view ligne = extrait.LireLigne();
        lus += 1;
        // Les modes sont relus à chaque ligne : une option validée pendant l'écriture
        // s'applique aux lignes suivantes.
        if (const auto reecrite = FiltrerEtReecrire(ligne, selection, modes, travail_))
            sortie.EcrireLigne(*reecrite);
    }
    if (extrait.ErreurLecture())
        return Resultat::Echec("Impossible de lire l'extrait", cheminExtrait, extrait.Raison());
    extrait.Fermer();
    EcrirePied(sortie);
    if (!final.Valider())
        return Resultat::Echec("Impossible d'écrire le journal final", final.FichierEnCause(),
                               final.Raison());

    fenetre_.DefinirValeurProgression(0.0f);
    lanceur_.OuvrirDocument(cheminFinal);
    return Resultat::Succes();
}

} // namespace vek
