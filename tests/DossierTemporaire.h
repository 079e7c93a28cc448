#pragma once
// Dossier temporaire unique, supprimé avec son contenu à la fin du test.

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <cstdio>
#include <random>

namespace vek::test {

class DossierTemporaire {
public:
    DossierTemporaire() {
        // Un nom tiré au hasard, créé seulement s'il est libre (create_directory rend faux sinon).
        const auto base = std::filesystem::temp_directory_path();
        std::random_device alea;
        for (int essai = 0; essai < 100 && chemin_.empty(); ++essai) {
            char nom[32];
            std::snprintf(nom, sizeof nom, "vek-test-%08x%08x", alea(), alea());
            std::error_code ec;
            if (std::filesystem::create_directory(base / nom, ec))
                chemin_ = (base / nom).string();
        }
    }
    ~DossierTemporaire() {
        std::error_code ec;
        std::filesystem::permissions(chemin_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(chemin_, ec);
    }
    DossierTemporaire(const DossierTemporaire&) = delete;
    DossierTemporaire& operator=(const DossierTemporaire&) = delete;

    const std::string& Chemin() const { return chemin_; }
    // Le chemin d'un fichier du dossier, avec le séparateur du système.
    std::string Fichier(std::string_view nom) const {
#ifdef _WIN32
        std::string n(nom);
        for (char& c : n)
            if (c == '/')
                c = '\\';
        return chemin_ + "\\" + n;
#else
        return chemin_ + "/" + std::string(nom);
#endif
    }

    // Écrit les octets tels quels et rend le chemin.
    std::string Ecrire(std::string_view nom, std::string_view contenu) const {
        const std::string f = Fichier(nom);
        std::ofstream(f, std::ios::binary) << contenu;
        return f;
    }

private:
    std::string chemin_;
};

inline std::string LireTout(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

} // namespace vek::test
