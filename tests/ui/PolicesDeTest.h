#pragma once
// Les tests des fenêtres ne voient aucune police de la machine : avant la création de
// QApplication, FONTCONFIG_FILE désigne une configuration de fontconfig propre au test, qui ne
// liste qu'un dossier vide. Seules existent alors les polices livrées par le programme ; une
// largeur mesurée ici est celle de toutes les machines.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <stdlib.h>

namespace vek::test {

// Écrit une configuration de fontconfig qui ne liste que les dossiers donnés (aucun : un dossier
// vide), avec son propre cache, dans le dossier indiqué ; rend le chemin du fichier.
inline std::string EcrireConfigurationPolices(const std::filesystem::path& dossier,
                                              const std::vector<std::string>& polices = {}) {
    std::filesystem::create_directories(dossier / "vide");
    std::filesystem::create_directories(dossier / "cache");
    const std::filesystem::path fichier = dossier / "fonts.conf";
    std::ofstream conf(fichier);
    conf << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n";
    conf << "  <dir>" << (dossier / "vide").string() << "</dir>\n";
    for (const std::string& d : polices)
        conf << "  <dir>" << d << "</dir>\n";
    conf << "  <cachedir>" << (dossier / "cache").string() << "</cachedir>\n</fontconfig>\n";
    return fichier.string();
}

// Pose FONTCONFIG_FILE pour tout le programme de test ; le dossier part à la fin du programme.
inline void MasquerPolicesDuSysteme() {
    struct Dossier {
        std::filesystem::path chemin;
        Dossier() {
            std::string modele =
                (std::filesystem::temp_directory_path() / "vek-polices-XXXXXX").string();
            if (::mkdtemp(modele.data()))
                chemin = modele;
        }
        ~Dossier() {
            std::error_code ec;
            std::filesystem::remove_all(chemin, ec);
        }
    };
    static const Dossier dossier;
    ::setenv("FONTCONFIG_FILE", EcrireConfigurationPolices(dossier.chemin).c_str(), 1);
}

} // namespace vek::test
