#pragma once
// Écriture des fichiers texte, octet pour octet, et remplacement atomique d'une sortie.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Empreinte.h"
#include "Erreurs.h"

namespace vek {

// Écrivain tamponné : écrit les octets tels quels ; les appelants ajoutent CR LF eux-mêmes.
class EcrivainTexte {
public:
    EcrivainTexte();
    ~EcrivainTexte();
    EcrivainTexte(const EcrivainTexte&) = delete;
    EcrivainTexte& operator=(const EcrivainTexte&) = delete;

    bool Creer(const NomFichier& chemin); // crée ou vide le fichier
    // Crée un fichier qui n'existe pas encore, sans suivre de lien ; faux (EEXIST) si le nom est
    // déjà pris, par un fichier ou par un lien.
    bool CreerNeuf(const NomFichier& chemin);
    // Ouvre un fichier existant pour le réécrire depuis le début sans le vider d'abord : ses
    // pages en mémoire et ses blocs sur le disque resservent. Fermer coupe ce qui dépasse de ce
    // qui a été écrit. Faux si le fichier n'existe pas ou ne s'ouvre pas en écriture.
    bool Reprendre(const NomFichier& chemin);
    // Comme Reprendre, mais l'écriture commence à la position taille : le fichier est prolongé
    // (Fermer coupe aussi ce qui dépasse de ce qui a été écrit depuis).
    bool Prolonger(const NomFichier& chemin, std::uint64_t taille);
    // Oublie ce qui a été écrit depuis Prolonger et ferme : le fichier revient à sa taille
    // d'alors. Faux en cas d'échec.
    bool Ramener();
    void Ecrire(std::string_view texte);
    void EcrireLigne(std::string_view texte); // texte puis CR LF
    // Vide le tampon et ferme ; faux si une écriture ou la fermeture a échoué.
    bool Fermer();
    // Vide le tampon et attend que tout soit sur le disque (fsync) ; faux en cas d'échec. Un
    // fichier créé par CreerNeuf part vers le disque au fil de l'écriture : il n'en reste alors
    // que la fin à attendre.
    bool Synchroniser();
    // Donne au fichier ouvert les droits de l'ancien fichier qu'il remplacera (voir
    // systeme::DroitsAvantFermeture).
    void ReprendreDroitsDe(const NomFichier& ancien);
    // Un fichier de travail, relu puis supprimé : rien n'en part vers le disque au fil de
    // l'écriture (la place qu'il prend en mémoire est rendue à sa suppression).
    void SansPoussee() { neuf_ = false; }
    // L'empreinte de ce qui est remis au système, calculée au fil de l'écriture d'un fichier
    // créé par CreerNeuf (écrit depuis son début) ; rien pour un autre, ou après une erreur.
    std::optional<ContenuSortie> Contenu() const;
    bool EstOuvert() const { return fichier_ != nullptr; }
    std::string Raison() const { return RaisonSysteme(codeErreur_); }

private:
    void Vider();
    void Repartir(); // ferme le fichier éventuel et remet l'état à zéro
    bool OuvrirFichier(const NomFichier& chemin, const char* mode);
    std::FILE* fichier_ = nullptr;
    std::vector<char> tampon_;
    std::size_t rempli_ = 0;
    std::uint64_t ecrits_ = 0; // octets remis au système depuis l'ouverture
    bool repris_ = false;      // ouvert par Reprendre : la fin de l'ancien contenu reste à couper
    std::uint64_t depart_ = 0; // position où Prolonger a commencé l'écriture
    void PousserVersLeDisque();
    void RemettreAuSysteme();    // vide le tampon, puis celui de la bibliothèque C
    std::uint64_t pousses_ = 0;  // octets dont l'écriture sur le disque est déjà lancée
    bool neuf_ = false;          // créé par CreerNeuf, poussé vers le disque
    bool depuisLeDebut_ = false; // créé par CreerNeuf : l'empreinte est celle du fichier
    CalculEmpreinte empreinte_;
    void Remis(std::string_view octets); // octets remis au système, dans l'ordre
    int codeErreur_ = 0;
};

// Écriture d'un fichier sous un nom temporaire du même dossier, qui ne prend le nom de la cible
// qu'une fois complet et sur le disque : un échec ne laisse jamais de fichier à moitié écrit,
// l'ancien reste tel quel. Le nouveau garde les droits de l'ancien (lecture seule comprise) ; un
// fichier neuf reçoit 0666 moins le masque de l'utilisateur.
//
// Plusieurs sorties se valident ensemble, tout ou rien, par ValiderEnsemble (Validation.h) :
// chacune est d'abord préparée (Preparer), puis l'ensemble prend ses noms.
class EcritureAtomique {
public:
    ~EcritureAtomique(); // abandonne si ni Valider ni Abandonner n'ont été appelés

    bool Ouvrir(const NomFichier& cible);
    EcrivainTexte& Flux() { return ecrivain_; }
    bool Valider(); // prépare, puis remplace la cible (même en lecture seule)
    // Un fichier de travail, qu'on peut perdre (l'extrait) : fermé, puis il prend le nom de la
    // cible sans attendre le disque ni passer par l'enregistrement de validation. Faux (Raison())
    // si la fermeture ou le renommage échoue : le temporaire est supprimé, la cible reste.
    bool ValiderTravail();
    void Abandonner(); // ferme et supprime le fichier temporaire (la cible, en place)
    // Reprend les droits de l'ancienne cible, écrit le temporaire sur le disque et le ferme ; il
    // garde son nom temporaire. Faux (Raison()) si une écriture, l'attente du disque ou la
    // fermeture a échoué : le temporaire est alors supprimé.
    bool Preparer();
    // Le contenu du temporaire préparé (voir EcrivainTexte::Contenu).
    std::optional<ContenuSortie> Contenu() const { return contenu_; }
    // Le temporaire préparé n'est plus à supprimer par cet objet : il a pris le nom de la cible
    // (ou la validation de l'ensemble s'en charge).
    void Confier() { prepare_ = false; }
    const NomFichier& Cible() const { return cible_; }
    // Le fichier en cours d'écriture, sous son nom temporaire.
    const NomFichier& Temporaire() const { return temporaire_; }
    const std::string& Raison() const { return raison_; }
    // Le fichier en cause lors du dernier échec (la cible ou le fichier temporaire).
    const std::string& FichierEnCause() const { return fichierEnCause_; }

private:
    EcrivainTexte ecrivain_;
    std::string cible_;
    std::string temporaire_;
    std::string raison_;
    std::string fichierEnCause_;
    std::optional<ContenuSortie> contenu_;
    bool ouvert_ = false;
    bool prepare_ = false; // préparé, pas encore confié : le temporaire est encore à nous
};

// Les fichiers temporaires d'une sortie s'appellent « sortie.tmp-<processus>-<hasard> » (16
// chiffres hexadécimaux) ; sans échange de noms, l'ancien passe un instant par le même nom suivi
// de « -ancien ». Aucun autre nom n'est pris pour un temporaire du programme.
inline constexpr std::string_view SuffixeTemporaire = ".tmp-";
inline constexpr std::string_view SuffixeAncien = "-ancien";
// Un nom temporaire pour la cible, propre à ce processus.
std::string NomTemporaire(const NomFichier& cible);
// Vrai si nom (sans dossier) est exactement un nom temporaire de base ; numero reçoit alors le
// numéro du processus qui l'a créé.
bool EstTemporaireDe(std::string_view nom, std::string_view base, unsigned long* numero = nullptr);

} // namespace vek
