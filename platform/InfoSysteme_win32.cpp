// L'outil d'informations système sous Windows : ses deux emplacements dans le registre de la
// machine, lu seulement.

#include "InfoSysteme.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>
#include <cstdint>

namespace vek {

namespace {

// Droits demandés à l'ouverture : READ_CONTROL et les six droits de clé (lire, écrire une
// valeur, créer une sous-clé, énumérer, être prévenu, créer un lien). Qui ne peut pas écrire
// dans la clé ne la lit donc pas.
constexpr REGSAM AccesDemande = 0x2003F;

enum class Lecture { Absente, Lue, SansDonnees };

// Une valeur du registre de la machine, comme texte (octets de la page de code du système).
Lecture LireValeur(std::string_view sousCle, std::string_view nom, std::string& sortie) {
    HKEY cle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(sousCle).c_str(), 0, AccesDemande, &cle) !=
        ERROR_SUCCESS)
        return Lecture::Absente;
    std::array<unsigned char, 1024> tampon{}; // rempli de NUL
    DWORD taille = static_cast<DWORD>(tampon.size());
    DWORD type = 0;
    const LONG code =
        RegQueryValueExA(cle, std::string(nom).c_str(), nullptr, &type, tampon.data(), &taille);
    RegCloseKey(cle);
    // Une valeur qui ne tient pas dans le tampon compte comme absente.
    if (code != ERROR_SUCCESS || taille > tampon.size())
        return Lecture::Absente;
    // Sans aucune donnée, la coupe du tampon à la taille lue est impossible.
    if (taille == 0)
        return Lecture::SansDonnees;
    const std::size_t garde = tampon[taille - 1] == 0 ? taille - 1 : taille;
    if (type == REG_SZ) {
        sortie.assign(reinterpret_cast<const char*>(tampon.data()), garde);
    } else if (type == REG_DWORD) {
        // Petit-boutiste ; les octets au-delà de la taille lue sont des NUL.
        const std::uint32_t valeur = static_cast<std::uint32_t>(tampon[0]) |
                                     (static_cast<std::uint32_t>(tampon[1]) << 8) |
                                     (static_cast<std::uint32_t>(tampon[2]) << 16) |
                                     (static_cast<std::uint32_t>(tampon[3]) << 24);
        sortie = std::to_string(valeur);
    } else {
        sortie.clear(); // autre type : aucun chemin
    }
    return Lecture::Lue;
}

// Un fichier de ce chemin exact, ni caché, ni système, ni dossier.
bool FichierPresent(const std::string& chemin) {
    const DWORD attributs = GetFileAttributesA(chemin.c_str());
    constexpr DWORD exclus =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributs != INVALID_FILE_ATTRIBUTES && (attributs & exclus) == 0;
}

} // namespace

std::optional<NomFichier> CheminOutilInfoSysteme() {
    std::string chemin;
    switch (LireValeur(SousCleCheminOutil, ValeurCheminOutil, chemin)) {
    case Lecture::Lue:
        return chemin;
    case Lecture::SansDonnees:
        return std::nullopt;
    case Lecture::Absente:
        break;
    }
    if (LireValeur(SousCleDossierOutil, ValeurDossierOutil, chemin) != Lecture::Lue)
        return std::nullopt;
    chemin += FichierOutil;
    if (!FichierPresent(chemin))
        return std::nullopt;
    return chemin;
}

} // namespace vek
