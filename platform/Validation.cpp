// Validation tout ou rien d'un ensemble de sorties (fichiers et dossiers) : préparation,
// description et enregistrement, échanges, retour en arrière ; le vrai système de la validation.

#include "Validation.h"

#include <cerrno>
#include <string>

#include "Chemins.h"
#include "Dossiers.h"
#include "Ecriture.h"
#include "Erreurs.h"
#include "Systeme.h"
#include "ValidationInterne.h"

namespace vek {

namespace validation {

std::string Garage(const std::string& temporaire) {
    return temporaire + std::string(SuffixeAncien);
}

std::string NomSeul(const std::string& chemin) {
    const auto barre = chemin.find_last_of("/\\");
    return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

bool Existe(const std::string& chemin) {
    return systeme::IdentiteDuNom(chemin).has_value();
}

void SupprimerNom(const std::string& chemin) {
    const auto id = systeme::IdentiteDuNom(chemin);
    if (id && id->dossier)
        SupprimerArborescence(chemin); // jamais à travers un lien
    else if (id)
        SupprimerFichier(chemin);
}

std::optional<Vu> Voir(const std::string& chemin, bool lireContenu) {
    const auto id = systeme::IdentiteDuNom(chemin);
    if (!id)
        return std::nullopt;
    Vu vu{id->volume, id->noeud, std::nullopt};
    if (lireContenu && (id->ordinaire || id->dossier))
        vu.contenu = LireContenu(chemin);
    return vu;
}

bool Correspond(const Description& d, const Vu& v) {
    if (d.etat != Description::Etat::Decrite)
        return false;
    if (d.contenu)
        return v.contenu && *v.contenu == *d.contenu;
    return v.volume == d.volume && v.noeud == d.noeud;
}

bool Modifiee(const Description& d, const Vu& v) {
    return d.etat == Description::Etat::Decrite && v.volume == d.volume && v.noeud == d.noeud &&
           !Correspond(d, v);
}

int Basculer(SystemeValidation& systeme, const std::string& temporaire, const std::string& cible) {
    const std::string garage = Garage(temporaire);
    // Un échange sans échange de noms interrompu : un second nom de l'ancien, posé avant le
    // remplacement, n'est qu'un nom de trop ; un ancien qui attend seul au garage reprend d'abord
    // le nom temporaire.
    if (const auto g = systeme::IdentiteDuNom(garage)) {
        const auto c = systeme::IdentiteDuNom(cible);
        if (c && c->ordinaire && c->volume == g->volume && c->noeud == g->noeud)
            SupprimerFichier(garage);
        else if (!Existe(temporaire))
            systeme.Renommer(garage, temporaire);
    }
    const bool cibleLa = Existe(cible);
    if (!Existe(temporaire))
        return cibleLa ? systeme.Renommer(cible, temporaire) : ENOENT;
    if (!cibleLa)
        return systeme.Renommer(temporaire, cible);
    int code = systeme.EchangerNoms(temporaire, cible);
    if (code != ENOSYS)
        return code;
    // Sans échange de noms, plusieurs opérations, chacune sur le disque avant la suivante : une
    // coupure de courant n'en garde jamais une sans celles d'avant.
    const std::string dossier = DossierDe(cible);
    // Le nouveau remplace l'ancien d'un seul renommage, l'ancien gardé au garage, qu'il quitte
    // ensuite pour le nom temporaire (raté, il y reste, supprimé de même).
    code = systeme.Remplacer(temporaire, cible, garage);
    if (code == 0) {
        systeme::SynchroniserDossier(dossier);
        systeme.Renommer(garage, temporaire);
        return 0;
    }
    // Sans lien physique (un dossier), ou une cible tenue ouverte qui ne se laisse pas remplacer
    // mais se laisse renommer (Windows) : trois renommages par le garage.
    if (code != ENOSYS && code != CodeOuvertAilleurs)
        return code;
    if ((code = systeme.Renommer(cible, garage)) != 0)
        return code;
    systeme::SynchroniserDossier(dossier);
    if ((code = systeme.Renommer(temporaire, cible)) != 0) {
        systeme.Renommer(garage, cible);
        return code;
    }
    systeme::SynchroniserDossier(dossier);
    systeme.Renommer(garage, temporaire);
    return 0;
}

} // namespace validation

using namespace validation;

namespace {

void SupprimerAncien(const std::string& temporaire) {
    SupprimerNom(temporaire);
    SupprimerNom(Garage(temporaire));
}

// L'ensemble d'un côté ou de l'autre : ses noms mis sur le disque, puis l'enregistrement (vide :
// aucun) supprimé et ses noms de même, puis les autres versions, sous les noms temporaires.
void Clore(const std::vector<Entree>& entrees, const std::string& enregistrement) {
    const std::string dossier = DossierDe(entrees.front().cible);
    systeme::SynchroniserDossier(dossier);
    if (!enregistrement.empty()) {
        SupprimerFichier(enregistrement);
        systeme::SynchroniserDossier(dossier);
    }
    for (const Entree& e : entrees)
        SupprimerAncien(e.temporaire);
}

// Défait les échanges [0, fin) ; vrai si tous l'ont été.
bool Defaire(SystemeValidation& systeme, const std::vector<Entree>& entrees, std::size_t fin) {
    bool defait = true;
    for (std::size_t j = fin; j-- > 0;)
        defait = Basculer(systeme, entrees[j].temporaire, entrees[j].cible) == 0 && defait;
    return defait;
}

// Les échanges, défaits au premier qui échoue ; enregistrement : celui de la validation (vide
// pour une seule sortie), supprimé quand l'ensemble est d'un côté ou de l'autre.
std::optional<EchecValidation> EchangerEnsemble(SystemeValidation& systeme,
                                                const std::vector<Entree>& entrees,
                                                const std::string& enregistrement,
                                                const std::string& garde) {
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        const int code = Basculer(systeme, entrees[i].temporaire, entrees[i].cible);
        if (code == 0) {
            systeme.ApresEchange(i);
            continue;
        }
        if (!Defaire(systeme, entrees, i))
            return EchecValidation{i, RaisonSysteme(code) +
                                          " ; le retour aux anciennes sorties a échoué lui aussi : "
                                          "la prochaine exécution dans ce dossier terminera le "
                                          "remplacement"};
        // Les échanges défaits sont sur le disque avant que l'enregistrement parte.
        Clore(entrees, enregistrement);
        return EchecValidation{i, RaisonSysteme(code) + garde};
    }
    // Tout est en place : les échanges sur le disque, puis l'enregistrement part, puis les
    // anciens fichiers.
    Clore(entrees, enregistrement);
    return std::nullopt;
}

// L'ancienne sortie décrite d'avance, si rien n'a changé depuis sous son nom ; sinon relue.
DescriptionSortie Ancienne(const SortieAValider& s, const std::string& cible) {
    if (s.ancienne) {
        const auto id = systeme::IdentiteDuNom(cible);
        const bool absente = s.ancienne->etat == DescriptionSortie::Etat::Absente;
        if (absente ? !id
                    : id && id->volume == s.ancienne->volume && id->noeud == s.ancienne->noeud &&
                          LireEmpreinte(cible) == s.ancienne->fichier)
            return *s.ancienne;
    }
    return DecrireSortie(cible);
}

std::string Cible(const SortieAValider& s) {
    return s.fichier ? s.fichier->Cible() : s.cible;
}

std::string Temporaire(const SortieAValider& s) {
    return s.fichier ? s.fichier->Temporaire() : s.temporaire;
}

// Ce que le message ajoute à la raison d'un échec : ce qui est resté.
std::string Garde(const std::vector<SortieAValider>& sorties) {
    if (sorties.size() > 1)
        return " ; aucune sortie n'a été remplacée, les anciennes sont restées telles quelles";
    const auto ancien = systeme::IdentiteDuNom(Cible(sorties.front()));
    return !ancien           ? ""
           : ancien->dossier ? " ; l'ancien dossier est resté tel quel"
                             : " ; l'ancien fichier est resté tel quel";
}

} // namespace

DescriptionSortie DecrireSortie(const NomFichier& chemin, std::optional<ContenuSortie> connu) {
    const auto vu = Voir(chemin, !connu);
    if (!vu)
        return {DescriptionSortie::Etat::Absente, 0, 0, std::nullopt, std::nullopt};
    return {DescriptionSortie::Etat::Decrite, vu->volume, vu->noeud, connu ? connu : vu->contenu,
            LireEmpreinte(chemin)};
}

SystemeValidation& SystemeValidation::Reel() {
    static SystemeValidation reel;
    return reel;
}

int SystemeValidation::Preparer(const SortieAValider& s, std::string& raison) {
    if (s.fichier) {
        if (s.fichier->Preparer())
            return 0;
        raison = s.fichier->Raison();
        return EIO;
    }
    const auto id = systeme::IdentiteDuNom(s.temporaire);
    if (!id || !id->dossier)
        return ENOENT;
    systeme::SynchroniserContenu(s.temporaire);
    systeme::SynchroniserDossier(s.temporaire);
    return 0;
}

int SystemeValidation::EcrireEnregistrement(const NomFichier& chemin, std::string_view texte,
                                            std::string& raison) {
    EcrivainTexte f;
    // Un ancien enregistrement que la reprise n'a pas pu suivre ni mettre de côté n'est pas
    // écrasé : la validation n'a pas lieu.
    if (!f.CreerNeuf(chemin)) {
        raison = f.Raison();
        return EIO;
    }
    f.Ecrire(texte);
    if (f.Synchroniser() && f.Fermer())
        return 0;
    raison = f.Raison();
    f.Fermer();
    SupprimerFichier(chemin);
    return EIO;
}

int SystemeValidation::EchangerNoms(const NomFichier& a, const NomFichier& b) {
    return systeme::EchangerNoms(a, b);
}

int SystemeValidation::Remplacer(const NomFichier& source, const NomFichier& cible,
                                 const NomFichier& garage) {
    return systeme::Remplacer(source, cible, garage);
}

int SystemeValidation::Renommer(const NomFichier& source, const NomFichier& cible) {
    return systeme::Renommer(source, cible);
}

bool TraiterOrphelin(const NomFichier& dossier, std::string_view nom, std::string_view base,
                     bool estDossier) {
    if (NommeParUnEnregistrement(dossier, nom))
        return false;
    const std::string chemin = JoindreChemin(dossier, nom);
    const std::string cible = JoindreChemin(dossier, base);
    if (nom.size() > SuffixeAncien.size() &&
        nom.substr(nom.size() - SuffixeAncien.size()) == SuffixeAncien && !Existe(cible) &&
        systeme::Renommer(chemin, cible) == 0)
        return false;
    if (estDossier) {
        SupprimerArborescence(chemin);
        return !Existe(chemin);
    }
    return SupprimerFichier(chemin);
}

NomFichier DossierDe(const NomFichier& chemin) {
    const auto barre = chemin.find_last_of("/\\");
    if (barre == std::string::npos)
        return ".";
    return barre == 0 ? chemin.substr(0, 1) : chemin.substr(0, barre);
}

std::optional<EchecValidation> ValiderEnsemble(const std::vector<EcritureAtomique*>& fichiers) {
    std::vector<SortieAValider> sorties;
    for (EcritureAtomique* f : fichiers)
        sorties.push_back({f, {}, {}, std::nullopt});
    return ValiderEnsemble(sorties);
}

std::optional<EchecValidation> ValiderEnsemble(const std::vector<SortieAValider>& sorties,
                                               SystemeValidation& systeme) {
    if (sorties.empty())
        return std::nullopt;
    const std::string dossier = DossierDe(Cible(sorties.front()));
    const bool plusieurs = sorties.size() > 1;
    const std::string garde = Garde(sorties);
    const auto echec = [&](std::size_t rang, std::string raison) {
        for (const SortieAValider& s : sorties)
            if (s.fichier)
                s.fichier->Abandonner();
            else if (!s.temporaire.empty())
                SupprimerArborescence(s.temporaire);
        return EchecValidation{rang, std::move(raison) + garde};
    };

    // Premier temps : chaque temporaire complet et sur le disque ; à plusieurs, chaque sortie
    // décrite, la nouvelle et l'ancienne, pour l'enregistrement.
    std::vector<Entree> entrees;
    for (std::size_t i = 0; i < sorties.size(); ++i) {
        std::string raison;
        if (const int code = systeme.Preparer(sorties[i], raison); code != 0)
            return echec(i, raison.empty() ? RaisonSysteme(code) : raison);
        Entree e{Cible(sorties[i]), Temporaire(sorties[i]), {}, {}};
        if (plusieurs) {
            // Le contenu d'un fichier neuf est connu de son écriture ; un dossier est relu.
            const auto contenu = sorties[i].fichier ? sorties[i].fichier->Contenu() : std::nullopt;
            e.neuf = DecrireSortie(e.temporaire, contenu);
            e.ancien = Ancienne(sorties[i], e.cible);
        }
        entrees.push_back(std::move(e));
    }
    const std::string enregistrement = JoindreChemin(dossier, NomValidation);
    if (plusieurs) {
        std::string raison;
        const std::string texte = TexteEnregistrement(entrees);
        if (const int code = systeme.EcrireEnregistrement(enregistrement, texte, raison); code != 0)
            return echec(0, "impossible d'écrire « " + std::string(NomValidation) + " » (" +
                                (raison.empty() ? RaisonSysteme(code) : raison) + ")");
        systeme::SynchroniserDossier(dossier);
    }

    // Second temps : les échanges.
    for (const SortieAValider& s : sorties)
        if (s.fichier)
            s.fichier->Confier();
    return EchangerEnsemble(systeme, entrees, plusieurs ? enregistrement : std::string(), garde);
}

} // namespace vek
