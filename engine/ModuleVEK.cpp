#include "ModuleVEK.h"

#include "Formats.h"

#include "ChaineDeLots.h"
#include "Passe.h"

#include "Fichiers.h"
#include "Publication.h"
#include "Validation.h"

namespace vek {

ModuleVEK::ModuleVEK(std::string repertoire) : repertoire_(std::move(repertoire)) {}

std::string ModuleVEK::CheminExtrait() const {
    return JoindreChemin(repertoire_, NomExtrait);
}

std::string ModuleVEK::CheminLogFinal() const {
    return JoindreChemin(repertoire_, NomLogFinal);
}

std::string ModuleVEK::CheminSortie(std::string_view fichier) const {
    return JoindreChemin(repertoire_, fichier);
}

std::optional<std::uint64_t>
ModuleVEK::LignesConnues(const std::string& chemin,
                         const std::optional<EmpreinteFichier>& e) const {
    if (!e)
        return std::nullopt;
    for (const CompteConnu& c : comptes_)
        if (c.chemin == chemin && c.empreinte == *e)
            return c.lignes;
    return std::nullopt;
}

void ModuleVEK::MemoriserLignes(const std::string& chemin, const std::optional<EmpreinteFichier>& e,
                                std::uint64_t lignes) {
    std::erase_if(comptes_, [&](const CompteConnu& c) { return c.chemin == chemin; });
    if (!e)
        return;
    if (comptes_.size() >= 4) // le journal et l'extrait suffisent ; on garde les plus récents
        comptes_.erase(comptes_.begin());
    comptes_.push_back({chemin, *e, lignes});
}

bool ModuleVEK::PasseDeComptage(LecteurTexte& fichier, const std::string& chemin,
                                const std::optional<EmpreinteFichier>& e,
                                const Progression& progression,
                                std::optional<std::uint64_t>& lignes,
                                ComptageEnParallele& comptage) {
    lignes = LignesConnues(chemin, e);
    if (lignes || !progression.Affichee())
        return true; // sans barre visible, le compte ne servirait à rien
    if (!e || e->taille >= SeuilComptageEnParallele) {
        comptage.Lancer(chemin); // le fichier reste ouvert pour la passe principale
        return true;
    }
    lignes = fichier.CompterLignes();
    if (fichier.ErreurLecture())
        return false;
    fichier.Fermer();
    return true;
}

bool ModuleVEK::TousLesNomsRetenus(const Selection& selection,
                                   const std::string& cheminExtrait) const {
    if (!RaccourciToutRetenu || !empreinteCatalogue_ || catalogue_->LimiteNomsAtteinte ||
        selection.NomRetenu(""))
        return false;
    for (std::size_t i = 0; i < catalogue_->NombreNoms(); ++i)
        if (!selection.NomRetenu(catalogue_->Nom(i)))
            return false;
    const auto e = LireEmpreinte(cheminExtrait);
    return e && *e == *empreinteCatalogue_;
}

std::vector<std::string_view> NomsDuDossierDeSortie() {
    std::vector<std::string_view> noms = FichiersDuDossier();
    noms.push_back(NomVerrou);
    noms.push_back(NomValidation);
    return noms;
}

Resultat ModuleVEK::PrendreLeDossier(VerrouDossier& verrou) {
    if (!verrou.Prendre(repertoire_))
        return Resultat::Echec(verrou.Occupe() ? "Le dossier de sortie est occupé"
                                               : "Impossible d'écrire dans le dossier de sortie",
                               repertoire_,
                               verrou.Occupe() ? verrou.Raison() + " ; réessayez quand il aura fini"
                                               : verrou.Raison());
    // Une validation interrompue d'abord (ses temporaires ne sont pas des orphelins à jeter),
    // puis les temporaires des écritures tuées.
    const std::vector<std::string_view> noms = NomsDuDossierDeSortie();
    if (std::string avis = ReprendreValidation(repertoire_, noms, *SystemeDesSorties);
        !avis.empty())
        avis_ = "Dans le dossier \xC2\xAB " + repertoire_ + " \xC2\xBB : " + avis + ".";
    SupprimerTemporairesOrphelins(repertoire_, noms);
    return Resultat::Succes();
}

void ArreterSurDemande(ChaineDeLots& chaine, std::stop_token arret) {
    chaine.DefinirAttente([arret] { return !arret.stop_requested(); });
}

} // namespace vek
