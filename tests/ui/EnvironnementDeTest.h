#pragma once
// L'environnement des programmes de test des fenêtres, posé avant la création de QApplication :
// aucune police de la machine, une locale fixe, et un dossier personnel à eux (HOME et les
// dossiers XDG), vide et supprimé à la fin. Rien de ce que font les fenêtres ne peut ainsi
// toucher le vrai dossier personnel, et un test peut vérifier que rien n'y a été écrit.

#include <filesystem>
#include <string>

#include <stdlib.h>

#include "PolicesDeTest.h"

namespace vek::test {

// Le dossier personnel du programme de test (vide au départ).
inline const std::filesystem::path& DossierPersonnelDeTest() {
    struct Dossier {
        std::filesystem::path chemin;
        Dossier() {
            std::string modele =
                (std::filesystem::temp_directory_path() / "vek-personnel-XXXXXX").string();
            if (::mkdtemp(modele.data()))
                chemin = modele;
        }
        ~Dossier() {
            std::error_code ec;
            std::filesystem::remove_all(chemin, ec);
        }
    };
    static const Dossier dossier;
    return dossier.chemin;
}

inline void PreparerEnvironnementDeTest() {
    MasquerPolicesDuSysteme();
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("LANG", "C.UTF-8", 1);
    const std::filesystem::path& personnel = DossierPersonnelDeTest();
    ::setenv("HOME", personnel.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (personnel / ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (personnel / ".local/share").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (personnel / ".cache").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (personnel / ".local/state").c_str(), 1);
}

} // namespace vek::test
