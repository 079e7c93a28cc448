// Démarrage détaché d'un programme, services natifs du lanceur d'informations système et
// ouverture de documents. Les programmes démarrés sont de petits scripts du test, trouvés par un
// PATH réduit au dossier temporaire : aucun vrai visualiseur ni navigateur n'est ouvert.

#include <gtest/gtest.h>

#ifndef _WIN32

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <sys/stat.h>

#include "DossierTemporaire.h"
#include "InfoSysteme.h"
#include "Lanceur.h"
#include "Processus.h"

using namespace vek;
using vek::test::DossierTemporaire;
using vek::test::LireTout;

namespace {

// Un script qui écrit ses arguments, un par ligne, dans un fichier témoin (écrit sous un nom
// provisoire puis renommé, pour que le test ne lise jamais un témoin à moitié écrit).
std::string PoserScript(const DossierTemporaire& d, const std::string& nom,
                        const std::string& temoin) {
    const std::string chemin = d.Ecrire(nom, "#!/bin/sh\nPATH=/usr/bin:/bin\n"
                                             "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                                 temoin +
                                                 ".tmp'\n"
                                                 "mv '" +
                                                 temoin + ".tmp' '" + temoin + "'\n");
    ::chmod(chemin.c_str(), 0755);
    return chemin;
}

// Attend le témoin du script (au plus quelques secondes : la machine peut être chargée).
std::string AttendreTemoin(const std::string& temoin) {
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(temoin))
            return LireTout(temoin);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "<aucun témoin>";
}

// Remplace PATH le temps d'un test.
class CheminDeRecherche {
public:
    explicit CheminDeRecherche(const std::string& valeur) {
        if (const char* ancien = std::getenv("PATH"))
            ancien_ = ancien;
        ::setenv("PATH", valeur.c_str(), 1);
    }
    ~CheminDeRecherche() { ::setenv("PATH", ancien_.c_str(), 1); }
    CheminDeRecherche(const CheminDeRecherche&) = delete;
    CheminDeRecherche& operator=(const CheminDeRecherche&) = delete;

private:
    std::string ancien_;
};

// Les services du système, sans boîte de message.
struct ServicesSansMessage : ServicesInfoSystemeNatifs {
    void Message(std::string_view, std::string_view) override {}
};

TEST(DemarrerDetache, ArgumentsTransmisEntiers) {
    DossierTemporaire d;
    const std::string temoin = d.Fichier("temoin");
    const std::string script = PoserScript(d, "outil avec espaces", temoin);
    int erreur = -1;
    ASSERT_TRUE(DemarrerDetache({script, "un argument", "", "'guillemets' \"doubles\""}, &erreur));
    EXPECT_EQ(AttendreTemoin(temoin), "un argument\n\n'guillemets' \"doubles\"\n");
}

TEST(DemarrerDetache, EchecsSignales) {
    DossierTemporaire d;
    const std::string nonExecutable = d.Ecrire("simple.txt", "texte\n");
    struct Cas {
        const char* nom;
        std::string programme;
    } cas[] = {
        {"vide", ""},
        {"absent", d.Fichier("absent")},
        {"non executable", nonExecutable},
        {"dossier", d.Chemin()},
    };
    for (const Cas& c : cas) {
        int erreur = 0;
        EXPECT_FALSE(DemarrerDetache({c.programme}, &erreur)) << c.nom;
        EXPECT_NE(erreur, 0) << c.nom;
    }
}

TEST(ServicesNatifs, DemarrageDeLOutil) {
    DossierTemporaire d;
    const std::string temoin = d.Fichier("temoin");
    const std::string outil = PoserScript(d, "outil", temoin);
    ServicesSansMessage services;
    EXPECT_TRUE(services.DemarrerProgramme(outil));
    EXPECT_EQ(AttendreTemoin(temoin), "");
    EXPECT_FALSE(services.DemarrerProgramme(""));
    EXPECT_FALSE(services.DemarrerProgramme(d.Fichier("absent")));
}

TEST(LanceurSysteme, DocumentTransmisEntierAuGestionnaireDuBureau) {
    DossierTemporaire d;
    const std::string temoin = d.Fichier("temoin");
    PoserScript(d, "xdg-open", temoin);
    PoserScript(d, "open", temoin);
    CheminDeRecherche chemin(d.Chemin());

    LanceurSysteme lanceur;
    const std::string document = d.Fichier("dossier avec espaces/LogFinal.txt");
    EXPECT_TRUE(lanceur.OuvrirDocument(document));
    EXPECT_EQ(AttendreTemoin(temoin), document + "\n");

    // Deux clics : deux ouvertures, rien de retenu entre elles.
    std::filesystem::remove(temoin);
    const std::string adresse = "https://www.lanternes-sourdes.example.org/vek/";
    EXPECT_TRUE(lanceur.OuvrirDocument(adresse));
    EXPECT_EQ(AttendreTemoin(temoin), adresse + "\n");
    std::filesystem::remove(temoin);
    EXPECT_TRUE(lanceur.OuvrirDocument(adresse));
    EXPECT_EQ(AttendreTemoin(temoin), adresse + "\n");
}

TEST(LanceurSysteme, SansGestionnaireEchecSilencieux) {
    DossierTemporaire d;
    CheminDeRecherche chemin(d.Chemin());
    LanceurSysteme lanceur;
    EXPECT_FALSE(lanceur.OuvrirDocument(d.Fichier("LogFinal.txt")));
}

} // namespace

#endif
