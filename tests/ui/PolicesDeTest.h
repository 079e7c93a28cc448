#pragma once
// Les tests des fenêtres ne voient aucune police de la machine : avant la création de
// QApplication, FONTCONFIG_FILE désigne une configuration de fontconfig propre au test, qui ne
// liste qu'un dossier vide. Sous Windows, le greffon hors écran lit les polices d'un dossier,
// QT_QPA_FONTDIR, qui est alors ce dossier vide. Seules existent ainsi les polices livrées par le
// programme ; une largeur mesurée ici est celle de toutes les machines.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <random>

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

// Pose FONTCONFIG_FILE (QT_QPA_FONTDIR sous Windows) pour tout le programme de test ; le dossier
// part à la fin du programme.
inline void MasquerPolicesDuSysteme() {
    struct Dossier {
        std::filesystem::path chemin;
        Dossier() {
            // Un nom tiré au hasard, pris seulement s'il était libre.
            const auto base = std::filesystem::temp_directory_path();
            std::random_device alea;
            for (int essai = 0; essai < 100 && chemin.empty(); ++essai) {
                const auto nom = base / ("vek-polices-" + std::to_string(alea()));
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
    [[maybe_unused]] const std::string conf = EcrireConfigurationPolices(dossier.chemin);
#ifdef _WIN32
    ::_putenv_s("QT_QPA_FONTDIR", (dossier.chemin / "vide").string().c_str());
#else
    ::setenv("FONTCONFIG_FILE", conf.c_str(), 1);
#endif
}

} // namespace vek::test
