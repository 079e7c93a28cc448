#pragma once
// L'environnement des programmes de test des fenêtres, posé avant la création de QApplication :
// aucune police de la machine, une locale fixe, et un dossier personnel à eux (HOME et les
// dossiers XDG ; sous Windows aussi USERPROFILE, APPDATA et LOCALAPPDATA), vide et supprimé à la
// fin. Rien de ce que font les fenêtres ne peut ainsi
// toucher le vrai dossier personnel, et un test peut vérifier que rien n'y a été écrit.

#include <filesystem>
#include <random>
#include <string>

#include <stdlib.h>

#include "PolicesDeTest.h"

namespace vek::test {

// Le dossier personnel du programme de test (vide au départ).
inline const std::filesystem::path& DossierPersonnelDeTest() {
    struct Dossier {
        std::filesystem::path chemin;
        Dossier() {
            // Un nom tiré au hasard, pris seulement s'il était libre.
            const auto base = std::filesystem::temp_directory_path();
            std::random_device alea;
            for (int essai = 0; essai < 100 && chemin.empty(); ++essai) {
                const auto nom = base / ("vek-personnel-" + std::to_string(alea()));
                std::error_code ec;
                if (std::filesystem::create_directory(nom, ec))
                    chemin = nom;
            }
        }
        ~Dossier() {
            std::error_code ec;
            std::filesystem::remove_all(chemin, ec);
        }
    };
    static const Dossier dossier;
    return dossier.chemin;
}

inline void PoserVariable(const char* nom, const std::filesystem::path& valeur) {
#ifdef _WIN32
    ::_putenv_s(nom, valeur.string().c_str());
#else
    ::setenv(nom, valeur.c_str(), 1);
#endif
}

inline void PreparerEnvironnementDeTest() {
    MasquerPolicesDuSysteme();
    PoserVariable("LC_ALL", "C.UTF-8");
    PoserVariable("LANG", "C.UTF-8");
    const std::filesystem::path& personnel = DossierPersonnelDeTest();
    PoserVariable("HOME", personnel);
    PoserVariable("XDG_CONFIG_HOME", personnel / ".config");
    PoserVariable("XDG_DATA_HOME", personnel / ".local/share");
    PoserVariable("XDG_CACHE_HOME", personnel / ".cache");
    PoserVariable("XDG_STATE_HOME", personnel / ".local/state");
#ifdef _WIN32
    // Les dossiers de l'utilisateur sous Windows, dans le dossier personnel du test ; ils ne sont
    // pas créés d'avance : ce qui y serait écrit se verrait.
    PoserVariable("USERPROFILE", personnel);
    PoserVariable("APPDATA", personnel / "AppData" / "Roaming");
    PoserVariable("LOCALAPPDATA", personnel / "AppData" / "Local");
#endif
}

} // namespace vek::test
