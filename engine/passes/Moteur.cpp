#include "Moteur.h"

#include "ChaineDeLots.h"
#include "Comptage.h"
#include "Memoire.h"
#include "Passe.h"

#include "Lecture.h"
#include "Validation.h"
#include "Verrou.h"

namespace vek {

std::optional<std::uint64_t>
MemoireMoteur::LignesConnues(const NomFichier& chemin,
                             const std::optional<EmpreinteFichier>& e) const {
    if (!e)
        return std::nullopt;
    for (const CompteConnu& c : comptes)
        if (c.chemin == chemin && c.empreinte == *e)
            return c.lignes;
    return std::nullopt;
}

void MemoireMoteur::MemoriserLignes(const NomFichier& chemin,
                                    const std::optional<EmpreinteFichier>& e,
                                    std::uint64_t lignes) {
    std::erase_if(comptes, [&](const CompteConnu& c) { return c.chemin == chemin; });
    if (!e)
        return;
    if (comptes.size() >= 4) // le journal et l'extrait suffisent ; on garde les plus récents
        comptes.erase(comptes.begin());
    comptes.push_back({chemin, *e, lignes});
}

Moteur::Moteur(ReglagesMoteur reglages)
    : reglages_(std::move(reglages)), memoire_(std::make_unique<MemoireMoteur>()) {}

Moteur::~Moteur() = default;

std::string Moteur::CheminExtrait() const {
    return JoindreChemin(reglages_.dossier, NomExtrait);
}

std::string Moteur::CheminSortie(std::string_view fichier) const {
    return JoindreChemin(reglages_.dossier, fichier);
}

const Catalogue& Moteur::CatalogueCourant() const {
    return *memoire_->catalogue;
}

bool Moteur::PasseDeComptage(const NomFichier& chemin, const Progression& progression,
                             std::optional<std::uint64_t>& lignes, ComptageEnParallele& comptage,
                             std::string& raison) {
    const auto e = LireEmpreinte(chemin);
    lignes = memoire_->LignesConnues(chemin, e);
    if (lignes || !progression.Affichee())
        return true; // sans barre visible, le compte ne servirait à rien
    if (!e || e->taille >= reglages_.seuilComptageEnParallele) {
        comptage.Lancer(chemin);
        return true;
    }
    LecteurTexte fichier;
    if (!fichier.Ouvrir(chemin)) {
        raison = fichier.Raison();
        return false;
    }
    lignes = fichier.CompterLignes();
    raison = fichier.Raison();
    return !fichier.ErreurLecture();
}

bool Moteur::TousLesNomsRetenus(const Selection& selection) const {
    const MemoireMoteur& m = *memoire_;
    if (!m.empreinteExtrait || m.catalogue->LimiteNomsAtteinte || selection.NomRetenu(""))
        return false;
    for (std::size_t i = 0; i < m.catalogue->NombreNoms(); ++i)
        if (!selection.NomRetenu(m.catalogue->Nom(i)))
            return false;
    const auto e = LireEmpreinte(CheminExtrait());
    return e && *e == *m.empreinteExtrait;
}

std::vector<std::string_view> NomsDuDossierDeSortie() {
    std::vector<std::string_view> noms{NomExtrait, NomSources, NomDossierPages};
    for (const Format& f : TableDesFormats())
        noms.push_back(f.fichier);
    noms.push_back(NomVerrou);
    noms.push_back(NomValidation);
    return noms;
}

Resultat Moteur::PrendreLeDossier(VerrouDossier& verrou, std::string& avis) {
    const std::string& dossier = reglages_.dossier;
    if (!verrou.Prendre(dossier))
        return Resultat::Echec(verrou.Occupe() ? "Le dossier de sortie est occupé"
                                               : "Impossible d'écrire dans le dossier de sortie",
                               dossier,
                               verrou.Occupe() ? verrou.Raison() + " ; réessayez quand il aura fini"
                                               : verrou.Raison());
    // Une validation interrompue d'abord (ses temporaires ne sont pas des orphelins à jeter),
    // puis les temporaires des écritures tuées.
    const std::vector<std::string_view> noms = NomsDuDossierDeSortie();
    if (std::string repris = ReprendreValidation(dossier, noms, *reglages_.systemeSorties);
        !repris.empty())
        avis = "Dans le dossier \xC2\xAB " + dossier + " \xC2\xBB : " + repris + ".";
    SupprimerTemporairesOrphelins(dossier, noms);
    return Resultat::Succes();
}

void ArreterSurDemande(ChaineDeLots& chaine, std::stop_token arret) {
    chaine.DefinirAttente([arret] { return !arret.stop_requested(); });
}

} // namespace vek
