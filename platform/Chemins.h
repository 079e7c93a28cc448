#pragma once
// Les noms de fichiers : ce que désigne un nom, l'empreinte d'un fichier, les chemins et le
// dossier du programme.

#include "Encodages.h"
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vek {

// Ce que désigne un nom, sans suivre de lien.
enum class GenreFichier { Ordinaire, Lien, Dossier, Tube, Peripherique, Autre };
std::optional<GenreFichier> GenreDuNom(const NomFichier& chemin); // rien : nom libre
std::string DescriptionGenre(GenreFichier genre);                 // « c'est un tube nommé »
// Ce que désigne un nom, liens suivis (jamais Lien) ; rien : nom libre ou lien cassé.
std::optional<GenreFichier> GenreDuFichier(const NomFichier& chemin);

// Ce qui identifie l'état d'un fichier : s'il change (ajout, réécriture, remplacement), son
// empreinte change.
struct EmpreinteFichier {
    std::uint64_t taille = 0;
    std::uint64_t modification = 0; // en nanosecondes
    std::uint64_t noeud = 0;
    std::uint64_t volume = 0;
    friend bool operator==(const EmpreinteFichier&, const EmpreinteFichier&) = default;
};
// L'empreinte d'un fichier ordinaire (liens suivis) ; rien s'il n'existe pas ou n'est pas un
// fichier ordinaire.
std::optional<EmpreinteFichier> LireEmpreinte(const NomFichier& chemin);

bool FichierExiste(const NomFichier& chemin); // vrai seulement pour un fichier existant
// Retire de la mémoire du système les pages du fichier déjà écrites sur le disque ; son contenu
// ne change pas. Sans effet là où le système ne le permet pas.
void OublierPagesEnMemoire(const NomFichier& chemin);
// Supprime le fichier, même en lecture seule ; vrai si le fichier n'existe plus ensuite.
bool SupprimerFichier(const NomFichier& chemin, std::string* raison = nullptr);
// Dossier + séparateur + nom (séparateur du système).
std::string JoindreChemin(const NomFichier& dossier, std::string_view nom);

// Le dossier du programme, sans séparateur final : celui de l'exécutable quand on peut y
// écrire, sinon le dossier de données de l'utilisateur ($XDG_DATA_HOME/vek-log,
// %LOCALAPPDATA%\VEK_Log), créé au besoin.
std::string RepertoireProgramme();
// Le dossier de l'exécutable lui-même.
std::string RepertoireExecutable();
bool DossierAccessibleEnEcriture(const NomFichier& dossier);

} // namespace vek
