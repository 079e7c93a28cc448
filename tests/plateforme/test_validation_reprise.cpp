// La reprise d'une validation qu'un vrai programme tué a laissée (vek-validation-tuee, tué après
// chacune de ses opérations sur les noms), dans le dossier même et dans une copie du dossier
// (sauvegarde restaurée, dossier synchronisé : mêmes noms, mêmes contenus, autres nœuds).
// L'exécution suivante laisse toutes les sorties nouvelles ou toutes anciennes, et le dit
// exactement. Des fichiers modifiés à la main depuis ne sont ni changés ni supprimés, et le
// message dit où est chaque fichier.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Chemins.h"
#include "DossierTemporaire.h"
#include "Ecriture.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "SystemeDeTest.h"
#include "SystemeValidationEssai.h"
#include "Validation.h"
#include "Verrou.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

constexpr int Tue = 137; // 128 + SIGKILL, ou le code donné à TerminateProcess

std::string Programme() {
#ifdef _WIN32
    return JoindreChemin(RepertoireExecutable(), "vek-validation-tuee.exe");
#else
    return JoindreChemin(RepertoireExecutable(), "vek-validation-tuee");
#endif
}

// Copie ce que contient un dossier dans un autre, élément par élément : de nouveaux fichiers, de
// mêmes noms et mêmes contenus, comme une sauvegarde restaurée.
void Copier(const std::string& de, const std::string& vers) {
    for (const auto& e : fs::directory_iterator(de))
        fs::copy(e.path(), fs::path(vers) / e.path().filename(), fs::copy_options::recursive);
}

struct Facon {
    const char* nom;
    const char* argument; // echange, lien, trois
    bool decoupe;         // la page web en dossier découpé (LogFinal/)
};

class BancReprise : public ::testing::Test {
protected:
    virtual Facon LaFacon() const { return {"LienPhysique", "lien", false}; }
    test::DossierTemporaire ailleurs;
    std::string journal = ailleurs.Ecrire(
        "journal.txt", "12/24/2001 [18:30:05] [Commerce] \"Aldric\": message 1\r\n"
                       "12/24/2001 [18:31:05] [Commerce] \"Aldric\": message 2\r\n");

    bool Decoupe() const { return LaFacon().decoupe; }
    std::string Page() const { return Decoupe() ? "LogFinal" : "LogFinal.html"; }
    std::vector<std::string> Sorties() const { return {"LogFinal.txt", Page(), "LogFinal.jsonl"}; }

    void PoserAnciennes(const test::DossierTemporaire& d) const {
        for (const std::string& nom : Sorties())
            if (nom == "LogFinal") {
                fs::create_directory(d.Fichier(nom));
                d.Ecrire("LogFinal/index.html", "ancien sommaire");
            } else {
                d.Ecrire(nom, "ancien " + nom);
            }
    }
    // Lance le programme, tué après sa n-ième opération : son code de sortie.
    int Lancer(const std::string& dossier, int n) const {
        std::vector<std::string> arguments = {Programme(), dossier, journal, std::to_string(n),
                                              LaFacon().argument};
        if (Decoupe())
            arguments.push_back("decoupe");
        return test::LancerEtAttendre(arguments);
    }
    // « anciennes », « nouvelles », ou le détail d'un mélange.
    std::string Etat(const std::string& dossier) const {
        int anciennes = 0;
        int nouvelles = 0;
        for (const std::string& nom : Sorties()) {
            const std::string chemin = JoindreChemin(dossier, nom);
            const std::string contenu =
                nom == "LogFinal" ? test::LireTout(JoindreChemin(chemin, "index.html")) +
                                        test::LireTout(JoindreChemin(chemin, "2001-12-24.html"))
                                  : test::LireTout(chemin);
            anciennes += contenu == (nom == "LogFinal" ? "ancien sommaire" : "ancien " + nom);
            nouvelles += contenu.find("message 2") != std::string::npos;
        }
        if (anciennes == 3)
            return "anciennes";
        if (nouvelles == 3)
            return "nouvelles";
        return std::to_string(anciennes) + " anciennes, " + std::to_string(nouvelles) +
               " nouvelles";
    }
    static std::set<std::string> Noms(const std::string& dossier) {
        std::set<std::string> noms;
        for (const auto& e : fs::directory_iterator(dossier))
            noms.insert(e.path().filename().string());
        return noms;
    }
    std::set<std::string> Attendus() const {
        return {"LogFinal.txt", Page(), "LogFinal.jsonl", "LogVEKtemp.txt"};
    }
    // La passe suivante (une recherche, qui prend le verrou du dossier) : ce qu'elle dit.
    std::string Relancer(const std::string& dossier,
                         SystemeValidation& systeme = SystemeValidation::Reel()) const {
        Moteur m{test::Reglages(dossier, systeme)};
        test::ProgressionNotee p;
        const auto r = test::Chercher(m, journal, {2001, 12, 24}, {2001, 12, 24}, p);
        EXPECT_TRUE(r.ok());
        return r.ok() ? r->avisDossier : std::string();
    }
    // L'état de la reprise et son message vont ensemble : « terminé » si et seulement si toutes
    // les sorties sont les nouvelles, « revenues à leur état d'avant » si et seulement si toutes
    // sont les anciennes.
    void Verifier(const std::string& dossier, const std::string& avis,
                  const std::string& attendu) const {
        EXPECT_EQ(Etat(dossier), attendu) << avis;
        EXPECT_EQ(avis.find("terminé") != std::string::npos, attendu == "nouvelles") << avis;
        EXPECT_EQ(avis.find("revenues à leur état d'avant") != std::string::npos,
                  attendu == "anciennes")
            << avis;
        EXPECT_EQ(Noms(dossier), Attendus());
    }
    // Un dossier où le programme a été tué juste après son premier échange : le texte nouveau,
    // la page et le JSON encore anciens.
    std::unique_ptr<test::DossierTemporaire> TueApresLePremierEchange() const {
        for (int n = 1; n < 20; ++n) {
            auto dossier = std::make_unique<test::DossierTemporaire>();
            PoserAnciennes(*dossier);
            if (Lancer(dossier->Chemin(), n) != Tue)
                return nullptr;
            if (Etat(dossier->Chemin()) == "2 anciennes, 1 nouvelles")
                return dossier;
        }
        return nullptr;
    }
};

class Reprise : public BancReprise, public ::testing::WithParamInterface<Facon> {
protected:
    Facon LaFacon() const override { return GetParam(); }
};

// Tué après chaque opération sur les noms, de l'enregistrement écrit au dernier échange : le
// dossier, et sa copie, reprennent la validation et la terminent (chaque nouvelle sortie est
// là) ; dans une seconde copie dont une nouvelle sortie a disparu, elle est annulée.
TEST_P(Reprise, TueApresChaqueOperationPuisCopie) {
    int n = 0;
    for (;; ++n) {
        ASSERT_LT(n, 40) << "le programme n'a jamais fini";
        SCOPED_TRACE("tué après l'opération " + std::to_string(n));
        const test::DossierTemporaire sortie;
        PoserAnciennes(sortie);
        const int code = Lancer(sortie.Chemin(), n);
        if (code == 0)
            break; // la validation a fini avant la n-ième opération
        ASSERT_EQ(code, Tue);
        ASSERT_TRUE(Noms(sortie.Chemin()).count(std::string(NomValidation)));

        const test::DossierTemporaire copie;
        const test::DossierTemporaire amputee;
        for (const auto* d : {&copie, &amputee})
            Copier(sortie.Chemin(), d->Chemin());
        // La nouvelle page a disparu de la seconde copie (effacée, pas synchronisée).
        bool retiree = false;
        for (const std::string& nom : Noms(amputee.Chemin()))
            if (nom.rfind(Page() + ".tmp-", 0) == 0 || nom == Page()) {
                const std::string chemin = amputee.Fichier(nom);
                const std::string contenu = Page() == "LogFinal"
                                                ? test::LireTout(chemin + "/2001-12-24.html")
                                                : test::LireTout(chemin);
                if (contenu.find("message 2") != std::string::npos && !retiree) {
                    fs::remove_all(chemin);
                    retiree = true;
                }
            }
        ASSERT_TRUE(retiree);

        Verifier(copie.Chemin(), Relancer(copie.Chemin()), "nouvelles");
        Verifier(sortie.Chemin(), Relancer(sortie.Chemin()), "nouvelles");
        Verifier(amputee.Chemin(), Relancer(amputee.Chemin()), "anciennes");
    }
    EXPECT_GE(n, 3) << "au moins l'enregistrement et deux échanges";
}

// Les fichiers qu'un enregistrement nomme, modifiés à la main depuis (la nouvelle sortie déjà en
// place, et l'ancienne page encore sous son nom) puis copiés : la reprise ne change ni ne
// supprime rien, garde l'enregistrement sous un nom qu'elle donne et dit où est chaque fichier ;
// les exécutions suivantes ne suppriment rien non plus, tant que l'enregistrement mis de côté est
// là.
TEST_P(Reprise, FichiersModifiesALaMainRienNEstSupprime) {
    const auto dossier = TueApresLePremierEchange();
    ASSERT_TRUE(dossier);
    const test::DossierTemporaire& sortie = *dossier;
    ASSERT_EQ(Etat(sortie.Chemin()), "2 anciennes, 1 nouvelles");
    {
        std::ofstream(sortie.Fichier("LogFinal.txt"), std::ios::app) << "ma note\r\n";
        const std::string page = Page() == "LogFinal" ? "LogFinal/index.html" : Page();
        std::ofstream(sortie.Fichier(page), std::ios::app) << "<!-- retouche -->";
    }
    const test::DossierTemporaire copie;
    Copier(sortie.Chemin(), copie.Chemin());
    for (const auto* d : {&sortie, &copie}) {
        SCOPED_TRACE(d == &sortie ? "dans le dossier" : "dans la copie");
        const auto Instantane = [&] {
            std::map<std::string, std::string> fichiers;
            for (const auto& e : fs::recursive_directory_iterator(d->Chemin()))
                if (e.is_regular_file() && e.path().filename() != "LogVEKtemp.txt" &&
                    e.path().filename() != "LogVEK.verrou")
                    fichiers[fs::relative(e.path(), d->Chemin()).string()] =
                        test::LireTout(e.path().string());
            return fichiers;
        };
        auto avant = Instantane();
        const std::string enregistrement = avant.at(std::string(NomValidation));
        const std::string avis = Relancer(d->Chemin());
        EXPECT_NE(avis.find("n'a pas pu être repris sans risque"), std::string::npos) << avis;
        // Dans le dossier, l'identité du fichier dit encore lequel c'était ; pas dans la copie.
        EXPECT_NE(avis.find(d == &sortie
                                ? "« LogFinal.txt » est la nouvelle sortie, modifiée depuis"
                                : "« LogFinal.txt » n'est ni l'ancienne ni la nouvelle sortie"),
                  std::string::npos)
            << avis;
        EXPECT_NE(avis.find("Aucune sortie n'a été changée et aucun fichier supprimé"),
                  std::string::npos)
            << avis;
        EXPECT_NE(avis.find("« LogVEK.validation-a-verifier »"), std::string::npos) << avis;
        EXPECT_EQ(avis.find("terminé"), std::string::npos) << avis;
        EXPECT_EQ(avis.find("revenues"), std::string::npos) << avis;
        avant.erase(std::string(NomValidation));
        avant["LogVEK.validation-a-verifier"] = enregistrement;
        EXPECT_EQ(Instantane(), avant);
        // Les passes suivantes : rien à dire, rien de supprimé.
        EXPECT_EQ(Relancer(d->Chemin()), "");
        EXPECT_EQ(Instantane(), avant);
        // L'enregistrement supprimé par l'utilisateur, les temporaires qu'il nommait partent.
        fs::remove(d->Fichier("LogVEK.validation-a-verifier"));
        EXPECT_EQ(Relancer(d->Chemin()), "");
        EXPECT_EQ(Noms(d->Chemin()), Attendus());
    }
}

// Terminer échoue (l'échange de la page refusé, une fois) : la reprise annule, et le dit avec la
// raison. Terminer et annuler échouent tous deux (le texte et la page refusés, toujours) : rien
// n'est supprimé, l'enregistrement est mis de côté, chaque sortie est dite.
TEST_F(BancReprise, TerminerQuiEchoueAnnulerQuiEchoue) {
    using Etape = test::SystemeDEssai::Etape;
    {
        const auto dossier = TueApresLePremierEchange();
        ASSERT_TRUE(dossier);
        test::SystemeDEssai panne(Etape::Echange, "LogFinal.html", EIO);
        const std::string avis = Relancer(dossier->Chemin(), panne);
        Verifier(dossier->Chemin(), avis, "anciennes");
        EXPECT_NE(avis.find("annulé, le terminer ayant échoué (" + RaisonSysteme(EIO) + ")"),
                  std::string::npos)
            << avis;
    }
    const auto dossier = TueApresLePremierEchange();
    ASSERT_TRUE(dossier);
    test::SystemeDEssai panne(Etape::Echange, "LogFinal.html", EACCES);
    panne.sorties.push_back("LogFinal.txt");
    panne.toujours = true;
    const std::string avis = Relancer(dossier->Chemin(), panne);
    EXPECT_EQ(Etat(dossier->Chemin()), "2 anciennes, 1 nouvelles");
    EXPECT_NE(avis.find("n'a pas pu être repris sans risque : « LogFinal.txt » est la nouvelle "
                        "sortie, « LogFinal.txt.tmp-"),
              std::string::npos)
        << avis;
    EXPECT_NE(avis.find("« LogFinal.html » est l'ancienne sortie, « LogFinal.html.tmp-"),
              std::string::npos)
        << avis;
    EXPECT_NE(avis.find("« LogVEK.validation-a-verifier »"), std::string::npos) << avis;
    EXPECT_EQ(Relancer(dossier->Chemin()), "");
    EXPECT_EQ(Noms(dossier->Chemin()).size(), Attendus().size() + 4)
        << "les trois autres versions et l'enregistrement mis de côté";
}

// Un enregistrement de la première forme (l'identité des nouvelles sorties seulement, rien sur
// les anciennes) ne dit pas assez pour terminer ni annuler : il est mis de côté, sous un nom
// libre quand une mise de côté plus ancienne est déjà là, et rien n'est supprimé.
TEST_F(BancReprise, EnregistrementDeLaPremiereFormeMisDeCote) {
    const auto dossier = TueApresLePremierEchange();
    ASSERT_TRUE(dossier);
    const std::string chemin = dossier->Fichier(std::string(NomValidation));
    std::string premiere = "VEK validation 1\n";
    std::istringstream lignes(test::LireTout(chemin));
    std::string ligne;
    std::getline(lignes, ligne);
    while (std::getline(lignes, ligne)) {
        std::istringstream champs(ligne);
        std::string cible, temporaire, volume, noeud;
        std::getline(champs, cible, '\t');
        std::getline(champs, temporaire, '\t');
        champs >> volume >> noeud;
        premiere += cible + '\t' + temporaire + '\t' + volume + '\t' + noeud + '\n';
    }
    dossier->Ecrire(std::string(NomValidation), premiere);
    dossier->Ecrire("LogVEK.validation-a-verifier", "plus ancienne");
    const auto avant = Noms(dossier->Chemin());
    const std::string avis = Relancer(dossier->Chemin());
    EXPECT_NE(avis.find("n'a pas pu être repris sans risque"), std::string::npos) << avis;
    EXPECT_NE(avis.find("« LogVEK.validation-a-verifier-2 »"), std::string::npos) << avis;
    EXPECT_EQ(test::LireTout(dossier->Fichier("LogVEK.validation-a-verifier")), "plus ancienne");
    EXPECT_EQ(test::LireTout(dossier->Fichier("LogVEK.validation-a-verifier-2")), premiere);
    auto attendus = avant;
    attendus.erase(std::string(NomValidation));
    attendus.erase(std::string(NomVerrou)); // laissé par le programme tué, relâché par la passe
    attendus.insert("LogVEK.validation-a-verifier-2");
    EXPECT_EQ(Noms(dossier->Chemin()), attendus);
    EXPECT_EQ(Etat(dossier->Chemin()), "2 anciennes, 1 nouvelles");
}

// L'ancienne sortie décrite d'avance (pendant la passe) puis changée avant la validation : la
// validation la décrit de nouveau, et la reprise la reconnaît ; décrite d'avance et inchangée,
// la description d'avance sert telle quelle.
TEST(DescriptionDAvance, ReprisePourUneAncienneInchangeeRelueSinon) {
    for (const bool changee : {false, true}) {
        SCOPED_TRACE(changee ? "changée depuis" : "inchangée");
        const test::DossierTemporaire d;
        const std::string a = d.Ecrire("LogFinal.txt", "ancien texte");
        const std::string b = d.Ecrire("LogFinal.jsonl", "ancien json");
        const auto avance = DecrireSortie(a);
        if (changee)
            std::ofstream(a, std::ios::app) << ", retouché";
        EcritureAtomique ea;
        EcritureAtomique eb;
        ASSERT_TRUE(ea.Ouvrir(a) && eb.Ouvrir(b));
        ea.Flux().Ecrire("nouveau texte");
        eb.Flux().Ecrire("nouveau json");
        test::SystemeDEssai arret;
        arret.apresEchange = [](std::size_t) { throw std::runtime_error("arrêt"); };
        EXPECT_THROW(ValiderEnsemble({{&ea, {}, {}, avance}, {&eb, {}, {}, std::nullopt}}, arret),
                     std::runtime_error);
        const std::string avis =
            ReprendreValidation(d.Chemin(), {"LogFinal.txt", "LogFinal.jsonl"});
        EXPECT_NE(avis.find("terminé"), std::string::npos) << avis;
        EXPECT_EQ(test::LireTout(a), "nouveau texte");
        EXPECT_EQ(test::LireTout(b), "nouveau json");
    }
}

const Facon Facons[] = {
#ifndef _WIN32
    {"EchangeDeNoms", "echange", false}, {"EchangeDeNomsDossierDecoupe", "echange", true},
#endif
    {"LienPhysique", "lien", false},     {"LienPhysiqueDossierDecoupe", "lien", true},
    {"TroisRenommages", "trois", false}, {"TroisRenommagesDossierDecoupe", "trois", true},
};

INSTANTIATE_TEST_SUITE_P(Facons, Reprise, ::testing::ValuesIn(Facons),
                         [](const auto& parametre) { return std::string(parametre.param.nom); });

} // namespace
} // namespace vek
