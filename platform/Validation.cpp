// Validation tout ou rien d'un ensemble de sorties (fichiers et dossiers) : préparation,
// enregistrement, échanges, retour en arrière, et reprise d'une validation interrompue.

#include "Validation.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Chemins.h"
#include "Dossiers.h"
#include "Ecriture.h"
#include "Erreurs.h"
#include "Systeme.h"

namespace vek {

namespace {

constexpr std::string_view EnTeteEnregistrement = "VEK validation 1";
// Un enregistrement ne cite que quelques sorties : au-delà, ce n'est pas le nôtre.
constexpr std::size_t TailleMaximaleEnregistrement = 64 * 1024;

bool Existe(const std::string& chemin) {
    return systeme::IdentiteDuNom(chemin).has_value();
}

std::string Garage(const std::string& temporaire) {
    return temporaire + std::string(SuffixeAncien);
}

std::string NomSeul(const std::string& chemin) {
    const auto barre = chemin.find_last_of("/\\");
    return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

// Met le fichier du temporaire à la place de la cible ; l'ancien, s'il y en a un, prend le nom
// temporaire. Appelé une seconde fois, il défait la première. 0 ou un code errno.
int Basculer(const std::string& temporaire, const std::string& cible) {
    const std::string garage = Garage(temporaire);
    // Un échange sans échange de noms interrompu entre ses deux derniers renommages : l'ancien
    // attend au garage, il reprend d'abord le nom temporaire.
    if (!Existe(temporaire) && Existe(garage))
        systeme::Renommer(garage, temporaire);
    const bool cibleLa = Existe(cible);
    if (!Existe(temporaire))
        return cibleLa ? systeme::Renommer(cible, temporaire) : ENOENT;
    if (!cibleLa)
        return systeme::Renommer(temporaire, cible);
    int code = essai::SansEchange ? ENOSYS : systeme::EchangerNoms(temporaire, cible);
    if (code != ENOSYS)
        return code;
    // Sans échange : l'ancien passe par le garage.
    if ((code = systeme::Renommer(cible, garage)) != 0)
        return code;
    if ((code = systeme::Renommer(temporaire, cible)) != 0) {
        systeme::Renommer(garage, cible);
        return code;
    }
    systeme::Renommer(garage, temporaire); // raté : l'ancien reste au garage, supprimé de même
    return 0;
}

// Supprime ce que porte le nom : un fichier, ou un dossier avec tout ce qu'il contient (jamais
// à travers un lien).
void SupprimerNom(const std::string& chemin) {
    const auto id = systeme::IdentiteDuNom(chemin);
    if (id && id->dossier)
        SupprimerArborescence(chemin);
    else if (id)
        SupprimerFichier(chemin);
}

void SupprimerAncien(const std::string& temporaire) {
    SupprimerNom(temporaire);
    SupprimerNom(Garage(temporaire));
}

struct Entree {
    std::string cible; // chemins complets
    std::string temporaire;
    systeme::IdentiteNom neuf; // le nouveau fichier ou dossier
};

bool EstLeNeuf(const std::string& chemin, const systeme::IdentiteNom& neuf) {
    const auto i = systeme::IdentiteDuNom(chemin);
    return i && (i->ordinaire || i->dossier) && i->volume == neuf.volume && i->noeud == neuf.noeud;
}

bool EcrireEnregistrement(const std::string& chemin, const std::vector<Entree>& entrees,
                          std::string& raison) {
    std::string texte(EnTeteEnregistrement);
    texte += '\n';
    for (const Entree& e : entrees)
        texte += NomSeul(e.cible) + '\t' + NomSeul(e.temporaire) + '\t' +
                 std::to_string(e.neuf.volume) + '\t' + std::to_string(e.neuf.noeud) + '\n';
    EcrivainTexte f;
    // Un ancien enregistrement que la reprise n'a pas voulu suivre n'est pas le nôtre : il n'est
    // pas écrasé, et la validation n'a pas lieu.
    if (!f.CreerNeuf(chemin)) {
        raison = f.Raison();
        return false;
    }
    f.Ecrire(texte);
    if (essai::EtapeEnPanne == essai::Etape::Enregistrement) {
        f.Fermer();
        SupprimerFichier(chemin);
        raison = RaisonSysteme(essai::CodePanne);
        return false;
    }
    if (!f.Synchroniser() || !f.Fermer()) {
        raison = f.Raison();
        f.Fermer();
        SupprimerFichier(chemin);
        return false;
    }
    return true;
}

std::optional<std::string> LireTexte(const std::string& chemin) {
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f)
        return std::nullopt;
    std::string texte(TailleMaximaleEnregistrement + 1, '\0');
    texte.resize(std::fread(texte.data(), 1, texte.size(), f));
    std::fclose(f);
    if (texte.size() > TailleMaximaleEnregistrement)
        return std::nullopt;
    return texte;
}

bool LireNombre(std::string_view texte, std::uint64_t& n) {
    if (texte.empty() || texte.size() > 20)
        return false;
    n = 0;
    for (const char c : texte) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

// Les entrées d'un enregistrement ; rien s'il est illisible ou cite un nom qui n'est pas une
// sortie permise et son temporaire exact.
std::optional<std::vector<Entree>> LireEnregistrement(const std::string& dossier,
                                                      const std::vector<std::string_view>& permis) {
    const auto texte = LireTexte(JoindreChemin(dossier, NomValidation));
    if (!texte)
        return std::nullopt;
    std::vector<std::string_view> lignes;
    std::string_view reste = *texte;
    while (!reste.empty()) {
        const auto fin = reste.find('\n');
        if (fin == std::string_view::npos)
            return std::nullopt; // coupé en cours d'écriture
        lignes.push_back(reste.substr(0, fin));
        reste.remove_prefix(fin + 1);
    }
    if (lignes.size() < 2 || lignes.front() != EnTeteEnregistrement)
        return std::nullopt;
    std::vector<Entree> entrees;
    for (std::size_t i = 1; i < lignes.size(); ++i) {
        std::string_view champs[4];
        std::string_view l = lignes[i];
        for (int k = 0; k < 4; ++k) {
            const auto tab = l.find('\t');
            champs[k] = l.substr(0, tab);
            l = tab == std::string_view::npos ? std::string_view() : l.substr(tab + 1);
            if (k < 3 && tab == std::string_view::npos)
                return std::nullopt;
        }
        bool connu = false;
        for (const std::string_view nom : permis)
            connu = connu || nom == champs[0];
        Entree e;
        if (!connu || !EstTemporaireDe(champs[1], champs[0]) ||
            !LireNombre(champs[2], e.neuf.volume) || !LireNombre(champs[3], e.neuf.noeud))
            return std::nullopt;
        e.cible = JoindreChemin(dossier, champs[0]);
        e.temporaire = JoindreChemin(dossier, champs[1]);
        entrees.push_back(std::move(e));
    }
    return entrees;
}

std::string Noms(const std::vector<Entree>& entrees) {
    std::string noms;
    for (const Entree& e : entrees)
        noms += (noms.empty() ? "« " : ", « ") + NomSeul(e.cible) + " »";
    return noms;
}

// Défait les échanges [0, fin) ; vrai si tous l'ont été.
bool Defaire(const std::vector<Entree>& entrees, std::size_t fin) {
    bool defait = true;
    for (std::size_t j = fin; j-- > 0;)
        defait = Basculer(entrees[j].temporaire, entrees[j].cible) == 0 && defait;
    return defait;
}

// Les échanges, défaits au premier qui échoue ; enregistrement : celui de la validation (vide
// pour une seule sortie), supprimé quand l'ensemble est d'un côté ou de l'autre.
std::optional<EchecValidation> EchangerEnsemble(const std::vector<Entree>& entrees,
                                                const std::string& enregistrement,
                                                const std::string& garde) {
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        const int code = essai::EtapeEnPanne == essai::Etape::Echange && essai::RangEnPanne == i
                             ? essai::CodePanne
                             : Basculer(entrees[i].temporaire, entrees[i].cible);
        if (code == 0) {
            if (essai::ApresEchange)
                essai::ApresEchange(i);
            continue;
        }
        if (!Defaire(entrees, i))
            return EchecValidation{i, RaisonSysteme(code) +
                                          " ; le retour aux anciennes sorties a échoué lui aussi : "
                                          "la prochaine exécution dans ce dossier terminera le "
                                          "remplacement"};
        for (const Entree& e : entrees)
            SupprimerAncien(e.temporaire); // les nouveaux, revenus sous leurs noms temporaires
        if (!enregistrement.empty())
            SupprimerFichier(enregistrement);
        return EchecValidation{i, RaisonSysteme(code) + garde};
    }
    // Tout est en place : l'enregistrement part, puis les anciens fichiers.
    if (!enregistrement.empty())
        SupprimerFichier(enregistrement);
    systeme::SynchroniserDossier(DossierDe(entrees.front().cible));
    for (const Entree& e : entrees)
        SupprimerAncien(e.temporaire);
    return std::nullopt;
}

// Le premier temps pour une sortie : un fichier écrit jusqu'au bout et sur le disque (avec les
// droits de l'ancien) ; pour un dossier, écrit et fermé par sa sortie, ses fichiers et ses noms. 0
// ou un code errno ; raison : celle du fichier.
int Preparer(const SortieAValider& s, std::size_t rang, std::string& raison) {
    if (essai::EtapeEnPanne == essai::Etape::Synchronisation && essai::RangEnPanne == rang)
        return essai::CodePanne;
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

std::string Cible(const SortieAValider& s) {
    return s.fichier ? s.fichier->Cible() : s.cible;
}

std::string Temporaire(const SortieAValider& s) {
    return s.fichier ? s.fichier->Temporaire() : s.temporaire;
}

} // namespace

bool TraiterOrphelin(const NomFichier& dossier, std::string_view nom, std::string_view base,
                     bool estDossier) {
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
        sorties.push_back({f, {}, {}});
    return ValiderEnsemble(sorties);
}

std::optional<EchecValidation> ValiderEnsemble(const std::vector<SortieAValider>& sorties) {
    if (sorties.empty())
        return std::nullopt;
    const std::string dossier = DossierDe(Cible(sorties.front()));
    const bool plusieurs = sorties.size() > 1;
    const auto ancien = systeme::IdentiteDuNom(Cible(sorties.front()));
    const std::string garde =
        plusieurs ? " ; aucune sortie n'a été remplacée, les anciennes sont restées telles "
                    "quelles"
        : !ancien ? ""
        : ancien->dossier ? " ; l'ancien dossier est resté tel quel"
                          : " ; l'ancien fichier est resté tel quel";
    const auto echec = [&](std::size_t rang, std::string raison) {
        for (const SortieAValider& s : sorties)
            if (s.fichier)
                s.fichier->Abandonner();
            else if (!s.temporaire.empty())
                SupprimerArborescence(s.temporaire);
        return EchecValidation{rang, std::move(raison) + garde};
    };

    // Premier temps : chaque temporaire complet et sur le disque.
    std::vector<Entree> entrees;
    for (std::size_t i = 0; i < sorties.size(); ++i) {
        std::string raison;
        if (const int code = Preparer(sorties[i], i, raison); code != 0)
            return echec(i, raison.empty() ? RaisonSysteme(code) : raison);
        const auto neuf = systeme::IdentiteDuNom(Temporaire(sorties[i]));
        entrees.push_back(
            {Cible(sorties[i]), Temporaire(sorties[i]), neuf.value_or(systeme::IdentiteNom{})});
    }
    const std::string enregistrement = JoindreChemin(dossier, NomValidation);
    if (plusieurs) {
        std::string raison;
        if (!EcrireEnregistrement(enregistrement, entrees, raison))
            return echec(0, "impossible d'écrire « " + std::string(NomValidation) + " » (" +
                                raison + ")");
        systeme::SynchroniserDossier(dossier);
    }

    // Second temps : les échanges.
    for (const SortieAValider& s : sorties)
        if (s.fichier)
            s.fichier->Confier();
    return EchangerEnsemble(entrees, plusieurs ? enregistrement : std::string(), garde);
}

TexteUtf8 ReprendreValidation(const NomFichier& dossier,
                              const std::vector<std::string_view>& nomsPermis) {
    const std::string chemin = JoindreChemin(dossier, NomValidation);
    const auto id = systeme::IdentiteDuNom(chemin);
    if (!id)
        return {};
    const std::string nom = "« " + std::string(NomValidation) + " »";
    if (!id->ordinaire || !id->aNous)
        return nom + " n'est pas un enregistrement de ce programme (un lien, un dossier ou le "
                     "fichier d'un autre utilisateur) : il est laissé tel quel et aucune sortie "
                     "n'est touchée";
    const auto entrees = LireEnregistrement(dossier, nomsPermis);
    if (!entrees) {
        SupprimerFichier(chemin);
        return "un enregistrement de remplacement illisible (" + nom +
               ") a été supprimé ; aucune sortie n'a été touchée";
    }
    bool tousLa = true;
    for (const Entree& e : *entrees)
        tousLa = tousLa && (EstLeNeuf(e.cible, e.neuf) || EstLeNeuf(e.temporaire, e.neuf) ||
                            EstLeNeuf(Garage(e.temporaire), e.neuf));
    for (const Entree& e : *entrees) {
        const bool enPlace = EstLeNeuf(e.cible, e.neuf);
        if (tousLa && !enPlace)
            Basculer(e.temporaire, e.cible); // terminé : le nouveau prend le nom
        else if (!tousLa && enPlace)
            Basculer(e.temporaire, e.cible); // annulé : l'ancien le reprend
    }
    for (const Entree& e : *entrees) {
        if (tousLa) {
            SupprimerAncien(e.temporaire);
            continue;
        }
        if (EstLeNeuf(e.temporaire, e.neuf))
            SupprimerNom(e.temporaire);
        if (Existe(Garage(e.temporaire)) && !Existe(e.cible))
            systeme::Renommer(Garage(e.temporaire), e.cible);
    }
    SupprimerFichier(chemin);
    systeme::SynchroniserDossier(dossier);
    return tousLa ? "un remplacement interrompu (programme arrêté entre deux échanges) a été "
                    "terminé : " +
                        Noms(*entrees) + " sont les nouvelles sorties"
                  : "un remplacement interrompu (programme arrêté entre deux échanges) a été "
                    "annulé, un nouveau fichier manquant : " +
                        Noms(*entrees) + " sont revenues à leur état d'avant";
}

} // namespace vek
