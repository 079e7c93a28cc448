#pragma once
// Dossier temporaire unique, supprimé avec son contenu à la fin du test.

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <stdlib.h>

namespace vek::test {

class DossierTemporaire {
public:
    DossierTemporaire() {
        std::string modele = (std::filesystem::temp_directory_path() / "vek-test-XXXXXX").string();
        if (::mkdtemp(modele.data()))
            chemin_ = modele;
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
    std::string Fichier(std::string_view nom) const { return chemin_ + "/" + std::string(nom); }

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
