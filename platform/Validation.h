#pragma once
// Validation tout ou rien d'un ensemble de sorties écrites sous leurs noms temporaires : des
// fichiers, et des dossiers complets (la page web découpée).
//
// Deux temps : chaque temporaire est d'abord écrit jusqu'au bout et mis sur le disque ; puis
// l'ensemble prend ses noms, un échange de noms par sortie (l'ancien fichier ou dossier garde le
// nom temporaire tant que tous les échanges n'ont pas réussi). Un échec à n'importe quelle étape
// laisse toutes les anciennes sorties en place : les échanges déjà faits sont défaits.
//
// Contre un programme tué entre deux échanges, un petit enregistrement (« LogVEK.validation »)
// est écrit et mis sur le disque avant le premier échange, et supprimé après le dernier. Il
// décrit chaque sortie, la nouvelle et l'ancienne, par son identité sur le disque et par son
// contenu (taille et empreinte) : une copie du dossier (sauvegarde restaurée, dossier
// synchronisé) se reconnaît à son contenu. L'exécution suivante qui prend le verrou du dossier
// le trouve et reprend la validation (ReprendreValidation) : elle la termine si chaque nouvelle
// sortie est retrouvée, l'annule si chaque ancienne l'est, et sinon ne touche à rien, met
// l'enregistrement de côté et dit où est chaque fichier.
//
// Là où le système ne sait pas échanger deux noms (Windows), un fichier remplace l'autre d'un
// seul renommage, l'ancien gardé sous un second nom (un lien physique, le « garage ») : le nom
// de la sortie n'est jamais libre. Un dossier, un système de fichiers sans liens physiques, ou
// une cible qu'un autre programme tient ouverte, passe par trois renommages : un instant, le nom
// de la sortie ne désigne rien.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Chemins.h"
#include "Empreinte.h"
#include "Encodages.h"

namespace vek {

class EcritureAtomique;

inline constexpr std::string_view NomValidation = "LogVEK.validation";
// Le nom sous lequel la reprise met de côté un enregistrement qu'elle ne peut pas suivre sans
// risque (suivi au besoin de « -2 », « -3 »…) ; les fichiers qu'il nomme ne sont jamais supprimés
// comme temporaires orphelins tant qu'il est là.
inline constexpr std::string_view NomValidationMiseDeCote = "LogVEK.validation-a-verifier";

struct EchecValidation {
    std::size_t indice = 0; // la sortie en cause
    TexteUtf8 raison;       // raison du système, et ce qui est resté (les anciennes sorties)
};

// Une sortie telle qu'elle est sur le disque : son identité et son contenu (taille et
// empreinte), qui la reconnaît même copiée ailleurs. Sans contenu (un lien, un fichier
// illisible), elle ne se reconnaît qu'à son identité, donc pas dans une copie du dossier.
struct DescriptionSortie {
    enum class Etat {
        Absente,  // pas de sortie sous ce nom
        Decrite,  // identité, et contenu s'il a pu être lu
        Inconnue, // non décrite (première forme de l'enregistrement)
    };
    Etat etat = Etat::Inconnue;
    std::uint64_t volume = 0;
    std::uint64_t noeud = 0;
    std::optional<ContenuSortie> contenu;
    std::optional<EmpreinteFichier> fichier; // d'un fichier : de quoi voir s'il a changé depuis
};
// Décrit ce que porte le nom, son contenu lu (ou donné : connu). Le moteur décrit ainsi chaque
// ancienne sortie pendant sa passe, quand ses pages sont encore en mémoire, avant de les en
// retirer (SortieAValider::ancienne).
DescriptionSortie DecrireSortie(const NomFichier& chemin,
                                std::optional<ContenuSortie> connu = std::nullopt);

// Une sortie à valider : un fichier ouvert (EcritureAtomique::Ouvrir), ou, sans fichier, un
// dossier complet déjà écrit sous son nom temporaire (CreerDossierTemporaire), dont la
// validation prend la charge : il prend la place de la cible, ou il est supprimé. ancienne :
// l'ancienne sortie décrite d'avance (DecrireSortie), reprise si elle n'a pas changé depuis ;
// sans elle, l'ancienne est relue quand il faut l'enregistrer (plusieurs sorties).
struct SortieAValider {
    EcritureAtomique* fichier = nullptr;
    NomFichier temporaire; // le dossier, sans fichier
    NomFichier cible;
    std::optional<DescriptionSortie> ancienne = std::nullopt;
};

// Les opérations du système par lesquelles passe la validation. Le programme prend le vrai
// système (SystemeValidation::Reel()) ; les tests en dérivent pour faire échouer une étape,
// arrêter le programme entre deux échanges ou faire comme un système qui n'échange pas deux noms
// d'un coup. Chaque opération rend 0 ou un code errno.
class SystemeValidation {
public:
    virtual ~SystemeValidation() = default;
    static SystemeValidation& Reel();

    // Le premier temps pour une sortie : un fichier écrit jusqu'au bout et sur le disque (avec
    // les droits de l'ancien), un dossier écrit avec ses fichiers et ses noms. raison : celle que
    // donne le fichier, s'il en donne une.
    virtual int Preparer(const SortieAValider& sortie, std::string& raison);
    // Écrit l'enregistrement sous un nom libre et le met sur le disque ; raison : celle que
    // donne le fichier, s'il en donne une.
    virtual int EcrireEnregistrement(const NomFichier& chemin, std::string_view texte,
                                     std::string& raison);
    // systeme::EchangerNoms, systeme::Remplacer, systeme::Renommer (Systeme.h).
    virtual int EchangerNoms(const NomFichier& a, const NomFichier& b);
    virtual int Remplacer(const NomFichier& source, const NomFichier& cible,
                          const NomFichier& garage);
    virtual int Renommer(const NomFichier& source, const NomFichier& cible);
    // La sortie de ce rang vient de prendre son nom ; rien d'autre à faire ici.
    virtual void ApresEchange(std::size_t) {}
};

// Valide ensemble des sorties, toutes dans un même dossier, dans l'ordre donné. Rien si toutes
// ont pris leur nom ; sinon la sortie en cause (son rang) et la raison, les anciennes sorties
// restant toutes telles quelles et les temporaires supprimés.
std::optional<EchecValidation>
ValiderEnsemble(const std::vector<SortieAValider>& sorties,
                SystemeValidation& systeme = SystemeValidation::Reel());
std::optional<EchecValidation> ValiderEnsemble(const std::vector<EcritureAtomique*>& fichiers);

// Reprend la validation qu'un programme tué a laissée dans le dossier ; nomsPermis : les seuls
// noms de sortie que l'enregistrement peut citer (un enregistrement qui en cite d'autres n'est
// pas suivi). À n'appeler qu'en tenant le verrou du dossier. Rend ce qu'il faut dire à
// l'utilisateur (vide : aucune validation à reprendre).
TexteUtf8 ReprendreValidation(const NomFichier& dossier,
                              const std::vector<std::string_view>& nomsPermis,
                              SystemeValidation& systeme = SystemeValidation::Reel());

// Un temporaire orphelin nom de la sortie base (déjà reconnu par EstTemporaireDe, d'un
// processus qui ne tourne plus, fichier ordinaire ou dossier de l'utilisateur). Un fichier
// qu'un enregistrement resté dans le dossier ou mis de côté nomme reste tel quel. Un ancien
// resté au garage (« temporaire-ancien ») par un échange interrompu, alors que la sortie n'a
// plus de fichier ni de dossier, reprend le nom de la sortie (une seule sortie se remplace sans
// enregistrement) ; tout autre est supprimé, un dossier avec ce qu'il contient. Vrai s'il a été
// supprimé. Pour le nettoyage des orphelins, sous le verrou.
bool TraiterOrphelin(const NomFichier& dossier, std::string_view nom, std::string_view base,
                     bool estDossier);

// Le dossier d'un chemin, sans séparateur final (« . » pour un nom seul).
NomFichier DossierDe(const NomFichier& chemin);

} // namespace vek
