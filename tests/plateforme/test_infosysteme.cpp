// L'outil d'informations système : son démarrage, ou le message ; hors de Windows, l'outil
// trouvé dans le PATH. Le registre de Windows est essayé pour de vrai dans tests_windows.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "DossierTemporaire.h"
#include "InfoSysteme.h"

using namespace vek;
using vek::test::DossierTemporaire;

namespace {

const std::string MessageAttendu = "Les informations système ne sont pas disponibles actuellement";
const std::string TitreAttendu = "Extracteur de LOG VEK";

class FauxServices final : public ServicesInfoSysteme {
public:
    enum class Demarrage { Reussi, Echoue, Exception };
    Demarrage demarrage = Demarrage::Reussi;
    std::vector<std::string> demarres; // programmes démarrés (ou essayés)
    std::vector<std::pair<std::string, std::string>> messages; // texte, titre

    bool DemarrerProgramme(const NomFichier& chemin) override {
        demarres.push_back(chemin);
        if (demarrage == Demarrage::Exception)
            throw std::runtime_error("démarrage impossible");
        // Comme le système : un chemin vide ne démarre rien.
        return demarrage == Demarrage::Reussi && !chemin.empty();
    }
    void Message(std::string_view texte, std::string_view titre) override {
        messages.emplace_back(texte, titre);
    }
};

// Tout échec finit par le même message, sous le titre du programme ; un démarrage réussi n'en
// montre aucun. Chaque demande repart de zéro.
TEST(LancementInfoSysteme, DemarreLOutilOuDitQuIlNEstPasDisponible) {
    using D = FauxServices::Demarrage;
    const struct {
        const char* nom;
        std::optional<std::string> outil;
        D demarrage;
        bool message;
    } cas[] = {
        {"outil trouvé", "C:\\Outils\\msinfo32.exe", D::Reussi, false},
        {"outil introuvable", std::nullopt, D::Reussi, true},
        {"démarrage refusé", "C:\\Outils\\absent.exe", D::Echoue, true},
        {"chemin vide (valeur d'un autre type)", "", D::Reussi, true},
        {"démarrage en erreur", "C:\\Outils\\msinfo32.exe", D::Exception, true},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        FauxServices services;
        services.demarrage = c.demarrage;
        for (int demande = 0; demande < 2; ++demande)
            LancerInfoSysteme(c.outil, services);
        EXPECT_EQ(services.demarres.size(), c.outil ? 2u : 0u);
        if (c.message) {
            ASSERT_EQ(services.messages.size(), 2u);
            EXPECT_EQ(services.messages[0].first, MessageAttendu);
            EXPECT_EQ(services.messages[0].second, TitreAttendu);
        } else {
            EXPECT_TRUE(services.messages.empty());
        }
    }
}

#ifndef _WIN32

// Le PATH du test le temps d'un essai, puis celui d'avant.
class CheminDeRecherche {
public:
    explicit CheminDeRecherche(const std::string& valeur) {
        if (const char* avant = std::getenv("PATH"))
            avant_ = avant;
        ::setenv("PATH", valeur.c_str(), 1);
    }
    ~CheminDeRecherche() {
        if (avant_)
            ::setenv("PATH", avant_->c_str(), 1);
        else
            ::unsetenv("PATH");
    }

private:
    std::optional<std::string> avant_;
};

std::string PoserProgramme(const DossierTemporaire& dossier, const std::string& sousDossier,
                           const std::string& nom, bool executable) {
    std::filesystem::create_directories(dossier.Fichier(sousDossier));
    const std::string chemin = dossier.Ecrire(sousDossier + "/" + nom, "#!/bin/sh\nexit 0\n");
    ::chmod(chemin.c_str(), executable ? 0755 : 0644);
    return chemin;
}

// Hors de Windows : le premier des outils usuels, dans leur ordre et non dans celui des
// dossiers ; un fichier non exécutable ou un dossier ne comptent pas.
TEST(OutilInfoSystemePosix, LePremierOutilUsuelTrouveDansLePath) {
    DossierTemporaire d;
    PoserProgramme(d, "a", "hardinfo", false);                     // pas exécutable : ignoré
    std::filesystem::create_directories(d.Fichier("a/hardinfo2")); // un dossier : ignoré
    const std::string attendu = PoserProgramme(d, "b", "gnome-system-monitor", true);
    PoserProgramme(d, "a", "lshw-gtk", true); // plus loin dans la liste des outils
    {
        const CheminDeRecherche path(d.Fichier("a") + "::" + d.Fichier("b") + "/");
        const auto outil = CheminOutilInfoSysteme();
        ASSERT_TRUE(outil.has_value());
        EXPECT_EQ(std::filesystem::path(*outil).lexically_normal(),
                  std::filesystem::path(attendu).lexically_normal());
    }
    const CheminDeRecherche vide(d.Fichier("vide"));
    EXPECT_EQ(CheminOutilInfoSysteme(), std::nullopt);
}

#endif

} // namespace
