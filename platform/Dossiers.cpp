// Les sorties qui sont des dossiers : dossier temporaire, échange, suppression.

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

bool RemplacerDossier(const std::string& neuf, const std::string& cible, std::string& raison) {
    std::error_code e;
    const fs::file_status etat = fs::symlink_status(fs::path(cible), e);
    if (!fs::exists(etat)) {
        fs::rename(fs::path(neuf), fs::path(cible), e);
        if (e)
            raison = RaisonSysteme(e.value());
        return !e;
    }
    // L'ancien prend le nom temporaire du neuf, le neuf celui de l'ancien, d'un coup.
    if (systeme::EchangerNoms(neuf, cible) == 0) {
        SupprimerArborescence(neuf);
        return true;
    }
    // Sans échange : l'ancien passe sous un nom temporaire, puis le neuf prend sa place ; un
    // échec du second renommage remet l'ancien.
    const std::string ancien = NomTemporaireDossier(cible);
    fs::rename(fs::path(cible), fs::path(ancien), e);
    if (e) {
        raison = RaisonSysteme(e.value());
        return false;
    }
    fs::rename(fs::path(neuf), fs::path(cible), e);
    if (e) {
        raison = RaisonSysteme(e.value());
        std::error_code retour;
        fs::rename(fs::path(ancien), fs::path(cible), retour);
        return false;
    }
    SupprimerArborescence(ancien);
    return true;
}

} // namespace vek
