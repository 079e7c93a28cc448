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
// est écrit dans le dossier avant le premier échange et supprimé après le dernier. L'exécution
// suivante qui prend le verrou du dossier le trouve et reprend la validation
// (ReprendreValidation) : elle la termine si chaque nouveau fichier est encore là, sinon elle
// l'annule, et le dit.
//
// Là où le système ne sait pas échanger deux noms (Windows), l'échange se fait en trois
// renommages par le nom « temporaire-ancien » : un programme tué au milieu laisse un instant la
// cible sans fichier, mais l'enregistrement permet à l'exécution suivante de tout remettre.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Encodages.h"

namespace vek {

class EcritureAtomique;

inline constexpr std::string_view NomValidation = "LogVEK.validation";

struct EchecValidation {
    std::size_t indice = 0; // la sortie en cause
    TexteUtf8 raison;       // raison du système, et ce qui est resté (les anciennes sorties)
};

// Une sortie à valider : un fichier ouvert (EcritureAtomique::Ouvrir), ou, sans fichier, un
// dossier complet déjà écrit sous son nom temporaire (CreerDossierTemporaire), dont la
// validation prend la charge : il prend la place de la cible, ou il est supprimé.
struct SortieAValider {
    EcritureAtomique* fichier = nullptr;
    NomFichier temporaire; // le dossier, sans fichier
    NomFichier cible;
};

// Valide ensemble des sorties, toutes dans un même dossier, dans l'ordre donné. Rien si toutes
// ont pris leur nom ; sinon la sortie en cause (son rang) et la raison, les anciennes sorties
// restant toutes telles quelles et les temporaires supprimés.
std::optional<EchecValidation> ValiderEnsemble(const std::vector<SortieAValider>& sorties);
std::optional<EchecValidation> ValiderEnsemble(const std::vector<EcritureAtomique*>& fichiers);

// Reprend la validation qu'un programme tué a laissée dans le dossier ; nomsPermis : les seuls
// noms de sortie que l'enregistrement peut citer (un enregistrement qui en cite d'autres n'est
// pas suivi). À n'appeler qu'en tenant le verrou du dossier. Rend ce qu'il faut dire à
// l'utilisateur (vide : aucune validation à reprendre).
TexteUtf8 ReprendreValidation(const NomFichier& dossier,
                              const std::vector<std::string_view>& nomsPermis);

// Un temporaire orphelin nom de la sortie base (déjà reconnu par EstTemporaireDe, d'un
// processus qui ne tourne plus, fichier ordinaire ou dossier de l'utilisateur) : un ancien resté
// au garage (« temporaire-ancien ») par un échange en trois renommages interrompu, alors que la
// sortie n'a plus de fichier ni de dossier, reprend le nom de la sortie (une seule sortie se
// remplace sans enregistrement) ; tout autre est supprimé, un dossier avec ce qu'il contient.
// Vrai s'il a été supprimé. Pour le nettoyage des orphelins, sous le verrou.
bool TraiterOrphelin(const NomFichier& dossier, std::string_view nom, std::string_view base,
                     bool estDossier);

// Le dossier d'un chemin, sans séparateur final (« . » pour un nom seul).
NomFichier DossierDe(const NomFichier& chemin);

namespace essai {
// Les pannes que les tests font subir à la validation : l'étape, la sortie (son rang) et le
// code errno rendu. ApresEchange est appelé après chaque échange réussi, avec le rang.
enum class Etape { Aucune, Synchronisation, Enregistrement, Echange };
inline Etape EtapeEnPanne = Etape::Aucune;
inline std::size_t RangEnPanne = 0;
inline int CodePanne = 0;
inline void (*ApresEchange)(std::size_t rang) = nullptr;
// Fait comme si le système ne savait pas échanger deux noms (les trois renommages de Windows).
inline bool SansEchange = false;
} // namespace essai

} // namespace vek
