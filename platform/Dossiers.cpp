// Les sorties qui sont des dossiers : dossier temporaire, suppression.

#include "Dossiers.h"

#include "Ecriture.h"
#include "Erreurs.h"
#include "Systeme.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace vek {

namespace fs = std::filesystem;

namespace {

std::string Hasard() {
    static std::mt19937_64 generateur{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    char texte[17];
    std::snprintf(texte, sizeof texte, "%016llx", static_cast<unsigned long long>(generateur()));
    return texte;
}

std::string NomTemporaireDossier(const std::string& cible) {
    return cible + std::string(SuffixeTemporaire) + std::to_string(systeme::NumeroProcessus()) +
           "-" + Hasard();
}

} // namespace

std::string CreerDossierTemporaire(const std::string& cible, std::string& raison) {
    for (int essai = 0; essai < 16; ++essai) {
        const std::string nom = NomTemporaireDossier(cible);
        std::error_code e;
        // create_directory rend faux sans erreur quand le nom existe déjà : il est écarté.
        if (fs::create_directory(fs::path(nom), e))
            return nom;
        if (e) {
            raison = RaisonSysteme(e.value());
            return {};
        }
    }
    raison = RaisonSysteme(EEXIST);
    return {};
}

void SupprimerArborescence(const std::string& chemin) {
    std::error_code e;
    fs::remove_all(fs::path(chemin), e); // ne suit pas les liens
}

} // namespace vek
