// Écriture du journal final : bannière, lignes retenues, pied, progression, arrêt, échecs.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "DossierTemporaire.h"
#include "Fichiers.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "SystemeDeTest.h"

namespace vek {
namespace {

namespace fs = std::filesystem;

const std::string P = "12/24/2001 [18:30:05] ";
const std::string Zone(TexteZoneProximite);
const std::string Vous(NomVous);
const std::string Whisps(NomWhisps);
const std::string Etoiles(68, '*');

std::string Espaces(std::size_t n) {
    return std::string(n, ' ');
}

std::vector<std::string> Banniere() {
    return {Etoiles,
            Etoiles,
            Espaces(21) + "Extracteur de LOG VEK",
            Espaces(18) + "LOG extrait le : samedi 7 d\xE9"
                          "cembre 2002",
            Etoiles,
            Etoiles,
            "",
            "",
            ""};
}

std::vector<std::string> Pied() {
    return {"",
            "",
            "",
            Etoiles,
            Etoiles,
            Espaces(25) + "Extracteur de LOG VEK",
            Espaces(18) + "Merci d'avoir utiliser ce petit logiciel",
            Espaces(24) + "Pour tout renseignement :",
            Espaces(24) + "contact@lanternes-sourdes.example.org",
            Etoiles,
            Etoiles};
}

std::vector<std::string> Encadrer(const std::vector<std::string>& milieu) {
    std::vector<std::string> tout = Banniere();
    tout.insert(tout.end(), milieu.begin(), milieu.end());
    const auto pied = Pied();
    tout.insert(tout.end(), pied.begin(), pied.end());
    return tout;
}

// Découpe un fichier dont chaque ligne, la dernière comprise, finit par CR LF ; un CR ou un LF
// isolé fait échouer le test.
std::vector<std::string> LignesCRLF(const std::string& contenu) {
    std::vector<std::string> lignes;
    std::size_t debut = 0;
    while (debut < contenu.size()) {
        const std::size_t fin = contenu.find("\r\n", debut);
        if (fin == std::string::npos) {
            ADD_FAILURE() << "dernière ligne sans CR LF : " << contenu.substr(debut);
            lignes.push_back(contenu.substr(debut));
            break;
        }
        std::string ligne = contenu.substr(debut, fin - debut);
        EXPECT_EQ(ligne.find_first_of("\r\n"), std::string::npos)
            << "CR ou LF isolé dans : " << ligne;
        lignes.push_back(std::move(ligne));
        debut = fin + 2;
    }
    return lignes;
}

class JournalFinal : public ::testing::Test {
protected:
    test::DossierTemporaire dossier;
    Moteur module{test::Reglages(dossier.Chemin())};
    test::ProgressionNotee progression;
    ModesPartages modes;
    Selection selection;
    std::stop_source arret;
    test::ArbresCoches arbres; // ceux de la dernière recherche, avec leurs coches

    void SetUp() override { ASSERT_FALSE(dossier.Chemin().empty()); }

    std::string Extrait(const std::string& contenu) {
        return dossier.Ecrire("LogVEKtemp.txt", contenu);
    }
    std::string CheminFinal() const { return dossier.Fichier("LogFinal.txt"); }
    std::string Final() const { return test::LireTout(CheminFinal()); }
    std::set<std::string> Fichiers() const {
        std::set<std::string> noms;
        for (const auto& e : fs::directory_iterator(dossier.Chemin()))
            noms.insert(e.path().filename().string());
        return noms;
    }
    Issue<std::string> Ecrire() {
        return test::EcrireLogFinal(module, selection, modes, progression, arret.get_token());
    }
    // Recherche du 24/12/2001 à fin dans le journal, puis tout coché dans les deux arbres.
    void ChercherPuisToutCocher(const std::string& journal, Date fin) {
        const auto r = test::Chercher(module, dossier.Ecrire("journal.txt", journal),
                                      {2001, 12, 24}, fin, progression);
        ASSERT_TRUE(r.ok());
        arbres.Remplir(*r->catalogue);
        arbres.ToutCocher(arbres.channels);
        arbres.ToutCocher(arbres.noms);
        Capturer();
    }
    void Capturer() { selection = arbres.Capturer(); }
    void Choisir(std::initializer_list<std::string> ch, std::initializer_list<std::string> no) {
        selection.Vider();
        for (const auto& c : ch)
            selection.AjouterChannel(c);
        for (const auto& n : no)
            selection.AjouterNom(n);
    }
};

const std::set<std::string> DeuxFichiers{"LogFinal.txt", "LogVEKtemp.txt"};

TEST_F(JournalFinal, ExtraitVideDonneExactementLaBanniereEtLePied) {
    Extrait("");
    const auto r = Ecrire();
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    const auto lignes = LignesCRLF(Final());
    EXPECT_EQ(lignes.size(), 20u);
    EXPECT_EQ(lignes, Encadrer({}));
    EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{1});
    EXPECT_EQ(progression.valeurMax, 0);
    EXPECT_EQ(*r, CheminFinal());
    EXPECT_EQ(Fichiers(), DeuxFichiers);
    // Le compteur de lignes n'appartient qu'à la recherche.
    EXPECT_EQ(progression.compteur, 0u);
}

TEST_F(JournalFinal, LignesRetenuesEntreBanniereEtPiedEtProgression) {
    const std::string extrait = P + "[Commerce] \"Aldric\": bonjour   \r\n" + P +
                                "[Commerce] \"Bob\": non coch\xE9\r\n" + P +
                                "{Aldric}\":\"l\xE0-bas\r\n" + P + "Bob a rejoint la partie\r\n" +
                                P + "Bob vous appelle : psst\r\n" + P + "Vous avez dit : oui\r\n";
    Extrait(extrait);
    Choisir({Zone, "[Commerce]"}, {"Aldric", Whisps});
    const auto r = Ecrire();
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_EQ(LignesCRLF(Final()),
              Encadrer({P + "[Commerce] \"Aldric\": bonjour", P + "{Aldric}\":\"l\xE0-bas",
                        P + "Bob vous appelle : psst"}));
    // Barre de 0 à lignes + 1 ; elle avance jusqu'à la dernière ligne et revient à 0.
    EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{7});
    EXPECT_EQ(progression.valeurMax, 5);
    EXPECT_EQ(progression.valeur, 0);
    EXPECT_EQ(*r, CheminFinal()); // le chemin complet du fichier écrit
    EXPECT_EQ(test::LireTout(module.CheminExtrait()), extrait) << "l'extrait reste tel quel";
}

TEST_F(JournalFinal, ChaqueLigneFinitParCRLFQuelleQueSoitLaFinDeLExtrait) {
    Extrait(P + "Aldric vous appelle\n" + P + "Bob vous appelle\r" + P + "Zoe vous appelle");
    Choisir({}, {Whisps});
    ASSERT_TRUE(Ecrire().ok());
    EXPECT_EQ(LignesCRLF(Final()), Encadrer({P + "Aldric vous appelle", P + "Bob vous appelle",
                                             P + "Zoe vous appelle"}));
    EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{4});
}

TEST_F(JournalFinal, LignesLonguesEtFinDeLigneACheval) {
    // Le CR LF de la première ligne est coupé entre deux lectures par blocs ; la deuxième ligne
    // est plus longue qu'un bloc ; la dernière finit par un CR seul.
    const std::string debut1 = P + "Aldric vous appelle ";
    const std::string ligne1 =
        debut1 + std::string((std::size_t{1} << 18) - 1 - debut1.size(), 'x');
    const std::string ligne2 = P + "Bob vous appelle " + std::string(300000, 'y');
    const std::string ligne3 = P + "Zoe vous appelle";
    Extrait(ligne1 + "\r\n" + ligne2 + "\r\n" + ligne3 + "\r");
    Choisir({}, {Whisps});
    ASSERT_TRUE(Ecrire().ok());
    EXPECT_EQ(LignesCRLF(Final()), Encadrer({ligne1, ligne2, ligne3}));
    EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{4});
    EXPECT_EQ(progression.valeurMax, 2);
}

TEST(JournalFinalChemin, RendLeCheminEntierMemeAvecDesEspaces) {
    test::DossierTemporaire dossier;
    const std::string repertoire = dossier.Fichier("Mes documents \xE9t\xE9");
    fs::create_directory(repertoire);
    Moteur module{test::Reglages(repertoire)};
    std::ofstream(module.CheminExtrait(), std::ios::binary) << "";
    test::ProgressionNotee progression;
    const auto r = test::EcrireLogFinal(module, Selection{}, ModesPartages{}, progression);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, JoindreChemin(repertoire, "LogFinal.txt"));
    EXPECT_TRUE(fs::is_regular_file(*r));
}

TEST_F(JournalFinal, LesModesSontRelusAChaqueLigne) {
    Extrait(P + "Aldric vous appelle\r\n" + P + "Bob vous appelle\r\n" + P +
            "Zoe vous appelle\r\n");
    Choisir({}, {Whisps});
    progression.surValeur = [&](std::uint64_t lues) {
        // Options validées pendant l'écriture, avant la deuxième ligne.
        if (lues == 1)
            modes = Modes{true, false, false};
    };
    ASSERT_TRUE(Ecrire().ok());
    EXPECT_EQ(LignesCRLF(Final()),
              Encadrer({P + "Aldric vous appelle", "Bob vous appelle", "Zoe vous appelle"}));
}

TEST_F(JournalFinal, RienDeCocheDansLesArbresDonneVingtLignes) {
    Extrait(P + "[Commerce] \"Aldric\": bonjour\r\n" + P + "{Aldric}\":\"x\r\n" + P +
            "Aldric vous appelle\r\n");
    const auto r = Ecrire(); // sélection vide
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_EQ(LignesCRLF(Final()), Encadrer({}));
    EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{4});
    EXPECT_EQ(progression.valeurMax, 2);
}

TEST_F(JournalFinal, AncienJournalEnLectureSeuleRemplace) {
    Extrait(P + "Aldric vous appelle\r\n");
    // Un ancien plus long que le nouveau : rien ne doit en rester.
    dossier.Ecrire("LogFinal.txt", std::string(20000, 'A') + "\r\n");
    fs::permissions(CheminFinal(),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Choisir({}, {Whisps});
    const auto r = Ecrire();
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_EQ(LignesCRLF(Final()), Encadrer({P + "Aldric vous appelle"}));
    EXPECT_EQ(Fichiers(), DeuxFichiers);
}

TEST_F(JournalFinal, DeuxEcrituresDeSuiteAvecDesModesDifferents) {
    const std::string extrait = P + "[Commerce] \"Aldric\": bonjour \"Aldric\"\r\n" + P +
                                "{Aldric}\":\"bonjour\r\n" + P + "Vous avez dit : oui\r\n";
    Extrait(extrait);
    Choisir({Zone, "[Commerce]"}, {"Aldric", Vous});

    ASSERT_TRUE(Ecrire().ok());
    const std::string premier = Final();
    EXPECT_EQ(LignesCRLF(premier),
              Encadrer({P + "[Commerce] \"Aldric\": bonjour \"Aldric\"", P + "{Aldric}\":\"bonjour",
                        P + "Vous avez dit : oui"}));

    modes = Modes{true, true, true};
    ASSERT_TRUE(Ecrire().ok());
    EXPECT_EQ(LignesCRLF(Final()),
              Encadrer({"Aldric: bonjour Aldric", "Aldric : bonjour", "Vous avez dit : oui"}));
    EXPECT_EQ(test::LireTout(module.CheminExtrait()), extrait);
    EXPECT_EQ(Fichiers(), DeuxFichiers);
}

// --- Échecs : l'ancien journal final reste tel quel ---

const std::string Ancien = "ancien journal\r\n";

class JournalFinalEchec : public JournalFinal {
protected:
    void SetUp() override {
        JournalFinal::SetUp();
        Extrait(P + "Aldric vous appelle\r\n");
        Choisir({}, {Whisps});
    }
    void VerifierEchec(const Issue<std::string>& issue) {
        ASSERT_FALSE(issue.ok());
        const Resultat& r = issue.Echec();
        EXPECT_FALSE(r.interrompu);
        EXPECT_FALSE(r.action.empty());
        EXPECT_EQ(r.fichier, CheminFinal());
        EXPECT_FALSE(r.raison.empty());
    }
};

#ifndef _WIN32 // droits POSIX, limite de taille des fichiers
TEST_F(JournalFinalEchec, DossierNonInscriptible) {
    if (test::Administrateur())
        GTEST_SKIP() << "les droits d'accès ne bloquent pas root";
    dossier.Ecrire("LogFinal.txt", Ancien);
    fs::permissions(dossier.Chemin(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const auto r = Ecrire();
    fs::permissions(dossier.Chemin(), fs::perms::owner_all, fs::perm_options::add);
    VerifierEchec(r);
    EXPECT_EQ(r.Echec().raison, RaisonSysteme(EACCES));
    EXPECT_EQ(Final(), Ancien);
    EXPECT_EQ(Fichiers(), DeuxFichiers);
}
#endif

TEST_F(JournalFinalEchec, RenommageImpossibleSurUnDossierDuMemeNom) {
    // LogFinal.txt est un dossier non vide : le fichier complet ne peut pas le remplacer.
    fs::create_directory(CheminFinal());
    dossier.Ecrire("LogFinal.txt/garde.txt", Ancien);
    const auto r = Ecrire();
    VerifierEchec(r);
    EXPECT_TRUE(fs::is_directory(CheminFinal()));
    EXPECT_EQ(test::LireTout(CheminFinal() + "/garde.txt"), Ancien);
    EXPECT_EQ(Fichiers(), DeuxFichiers) << "aucun fichier temporaire ne traîne";
}

#ifndef _WIN32
// Limite la taille des fichiers écrits par le processus (vaut aussi pour root) ; le signal
// de dépassement est ignoré pour que l'écriture échoue simplement.
class LimiteTailleFichiers {
public:
    explicit LimiteTailleFichiers(rlim_t octets) {
        ::getrlimit(RLIMIT_FSIZE, &ancienne_);
        ancienSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = ancienne_;
        limite.rlim_cur = octets;
        ::setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteTailleFichiers() {
        ::setrlimit(RLIMIT_FSIZE, &ancienne_);
        std::signal(SIGXFSZ, ancienSignal_);
    }
    LimiteTailleFichiers(const LimiteTailleFichiers&) = delete;
    LimiteTailleFichiers& operator=(const LimiteTailleFichiers&) = delete;

private:
    rlimit ancienne_{};
    void (*ancienSignal_)(int) = SIG_DFL;
};

TEST_F(JournalFinalEchec, EcritureQuiEchoueEnCoursDeRoute) {
    dossier.Ecrire("LogFinal.txt", Ancien);
    std::optional<Issue<std::string>> r;
    {
        LimiteTailleFichiers limite(16);
        r = Ecrire();
    }
    VerifierEchec(*r);
    EXPECT_EQ(Final(), Ancien);
    EXPECT_EQ(Fichiers(), DeuxFichiers) << "aucun fichier temporaire ne traîne";
}
#endif

// --- Extrait absent ou illisible ---

TEST_F(JournalFinal, ExtraitAbsentLaisseLAncienJournal) {
    dossier.Ecrire("LogFinal.txt", Ancien);
    const auto issue = Ecrire();
    ASSERT_FALSE(issue.ok());
    const Resultat& r = issue.Echec();
    EXPECT_FALSE(r.interrompu);
    EXPECT_FALSE(r.action.empty());
    EXPECT_EQ(r.fichier, module.CheminExtrait());
    EXPECT_EQ(r.raison, RaisonSysteme(ENOENT));
    EXPECT_EQ(Final(), Ancien);
    EXPECT_EQ(Fichiers(), std::set<std::string>{"LogFinal.txt"});
}

TEST_F(JournalFinal, ExtraitIllisibleLaisseLAncienJournal) {
    fs::create_directory(module.CheminExtrait());
    dossier.Ecrire("LogFinal.txt", Ancien);
    const auto issue = Ecrire();
    ASSERT_FALSE(issue.ok());
    EXPECT_EQ(issue.Echec().fichier, module.CheminExtrait());
    EXPECT_FALSE(issue.Echec().raison.empty());
    EXPECT_EQ(Final(), Ancien);
    EXPECT_EQ(Fichiers(), DeuxFichiers);
}

TEST(JournalFinalSansDossier, RepertoireDuProgrammeInutilisable) {
    test::DossierTemporaire dossier;
    const std::string fichierOrdinaire = dossier.Ecrire("pas-un-dossier", "x");
    for (const std::string& repertoire : {dossier.Fichier("inexistant"), fichierOrdinaire
#ifndef _WIN32
                                          ,
                                          std::string("/proc")
#endif
         }) {
        SCOPED_TRACE(repertoire);
        Moteur module{test::Reglages(repertoire)};
        test::ProgressionNotee progression;
        const auto issue = test::EcrireLogFinal(module, Selection{}, ModesPartages{}, progression);
        ASSERT_FALSE(issue.ok());
        const Resultat& r = issue.Echec();
        EXPECT_FALSE(r.interrompu);
        EXPECT_EQ(r.fichier, repertoire); // le dossier ne se verrouille même pas
        EXPECT_FALSE(r.raison.empty());
        EXPECT_FALSE(fs::exists(module.CheminSortie(NomLogFinal)));
    }
    EXPECT_EQ(test::LireTout(fichierOrdinaire), "x");
}

// --- Interruption : l'arrêt est demandé au milieu de l'écriture ---

class JournalFinalInterruption : public JournalFinal, public ::testing::WithParamInterface<int> {};

TEST_P(JournalFinalInterruption, ArretImmediatSansToucherALAncien) {
    const int arretLigne = GetParam();
    std::string extrait;
    for (int i = 0; i < 5; ++i)
        extrait += P + "Aldric vous appelle " + std::to_string(i) + "\r\n";
    Extrait(extrait);
    dossier.Ecrire("LogFinal.txt", Ancien);
    Choisir({}, {Whisps});
    // Demandé avant la lecture de la ligne numéro arretLigne.
    progression.surValeur = [&](std::uint64_t lues) {
        if (static_cast<int>(lues) == arretLigne - 1)
            this->arret.request_stop();
    };
    const auto r = Ecrire();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.Echec().interrompu);
    EXPECT_EQ(progression.valeurMax, arretLigne - 1) << "la barre n'avance plus après l'arrêt";
    EXPECT_EQ(Final(), Ancien);
    EXPECT_EQ(Fichiers(), DeuxFichiers) << "aucun fichier temporaire ne traîne";
}

INSTANTIATE_TEST_SUITE_P(PremiereMilieuDerniere, JournalFinalInterruption,
                         ::testing::Values(1, 3, 5));

TEST_F(JournalFinal, InterruptionSansAncienNeCreeRien) {
    Extrait(P + "Aldric vous appelle\r\n" + P + "Bob vous appelle\r\n");
    Choisir({}, {Whisps});
    arret.request_stop();
    const auto r = Ecrire();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.Echec().interrompu);
    EXPECT_EQ(Fichiers(), std::set<std::string>{"LogVEKtemp.txt"});
}

// --- Du journal au fichier final : tout coché, chaque ligne retenue selon son genre ---

TEST_F(JournalFinal, RechercheToutCocherPuisCreerLeLog) {
    const std::string journal =
        "12/23/2001 [23:59:59] [Commerce] \"Zed\": trop t\xF4t\r\n" + P +
        "[Commerce] \"Aldric\": bonjour\r\n" + "Ligne sans date : Bob vous appelle\r\n" + P +
        "[COMMERCE] \"Bob\": m\xEAme channel, autre casse\r\n" + P +
        "[Guilde] \"Al:dric\": nom coup\xE9\r\n" + P + "[Commerce] \"\": locuteur vide\r\n" + P +
        "{Carla}\":\"coucou\r\n" + P + "Vous avez dit : oui   \r\n" + P +
        "Bob vous appelle : psst\r\n" + P + "Bob a rejoint la partie\r\n" + P + "[Commerce]\r\n" +
        "12/25/2001 [09:00:00] {Carla}\":\"demain\r\n" +
        "12/26/2001 [00:00:00] {Carla}\":\"trop tard\r\n";
    ChercherPuisToutCocher(journal, {2001, 12, 25});
    progression.maximums.clear();

    const auto r = Ecrire();
    ASSERT_TRUE(r.ok()) << r.Echec().Message();
    EXPECT_TRUE(selection.ChannelRetenu(Zone));
    EXPECT_EQ(
        LignesCRLF(Final()),
        Encadrer({P + "[Commerce] \"Aldric\": bonjour", P + "[Guilde] \"Al:dric\": nom coup\xE9",
                  P + "{Carla}\":\"coucou", P + "Vous avez dit : oui",
                  P + "Bob vous appelle : psst", "12/25/2001 [09:00:00] {Carla}\":\"demain"}));
    // Dix lignes dans la période (extrait), donc onze pour la barre.
    EXPECT_EQ(progression.maximums, std::vector<std::uint64_t>{11});
}

// Tous les locuteurs cochés : le journal final ne les cherche plus dans la sélection quand c'est
// sûr, et donne exactement le même fichier que la voie ordinaire, dans chaque jeu de modes. Les
// cas où le raccourci serait faux (extrait changé depuis la recherche, un locuteur décoché,
// locuteur vide sélectionné, table de noms pleine) le désactivent ; un channel décoché ou un tag
// écrit dans une autre casse ne le gênent pas.
struct CasToutCoche {
    const char* nom;
    bool attendu; // le raccourci s'applique
};

class JournalFinalToutCoche : public JournalFinal,
                              public ::testing::WithParamInterface<CasToutCoche> {};

TEST_P(JournalFinalToutCoche, MemeFichierAvecOuSansRaccourci) {
    const std::string cas = GetParam().nom;
    std::uint32_t graine = 99;
    const auto tirer = [&](std::uint32_t n) {
        graine = graine * 1103515245u + 12345u;
        return (graine >> 16) % n;
    };
    const std::string tags[] = {"[Commerce]", "[Guilde]", "[A]", "[Sans fin", "[R\xF4le]"};
    const std::string noms[] = {"Aldric", "Bob", "\xC9lise", "Al\"dric", "X"};
    const std::string textes[] = {"bonjour",
                                  "  espaces  ",
                                  "[crochet] et \"guillemets\"",
                                  "{accolade}",
                                  "Aldric \"Aldric\" [Commerce]",
                                  ""};
    std::string journal;
    const int nbLignes = cas == "tableDeNomsPleine" ? 14000 : 3000; // 6000 locuteurs environ
    for (int i = 0; i < nbLignes; ++i) {
        const std::string& nom =
            cas == "tableDeNomsPleine" ? "N" + std::to_string(i) : noms[tirer(5)];
        const std::string& texte = textes[tirer(6)];
        std::string corps;
        switch (tirer(7)) {
        case 0:
        case 1:
            corps = tags[tirer(5)] + " \"" + nom + "\": " + texte;
            break;
        case 2:
            corps = "{" + nom + "}\":\"" + texte;
            break;
        case 3:
            corps = "Vous avez dit : " + texte;
            break;
        case 4:
            corps = nom + (tirer(2) ? " vous appelle : " : " VOUS APPELLE ") + texte;
            break;
        case 5:
            corps = nom + " a rejoint la partie";
            break;
        default:
            corps = "[Guilde] \"\": locuteur vide"; // nom trop court
            break;
        }
        journal += P + corps + "\r\n";
    }
    if (cas == "varianteDeCasse")
        journal += P + "[COMMERCE] \"Bob\": autre casse\r\n";
    ChercherPuisToutCocher(journal, {2001, 12, 24});
    if (cas == "uneEntreeDecochee")
        arbres.noms.at(1).second = false;
    if (cas == "unChannelDecoche")
        arbres.channels.at(1).second = false;
    if (cas == "extraitChange") {
        std::ofstream(module.CheminExtrait(), std::ios::app | std::ios::binary)
            << P << "[Autre] \"Zed\": ajout\r\n";
    }
    Capturer();
    if (cas == "locuteurVideSelectionne")
        selection.AjouterNom("");
    EXPECT_EQ(module.CatalogueCourant().LimiteNomsAtteinte, cas == "tableDeNomsPleine");
    EXPECT_EQ(module.TousLesNomsRetenus(selection), GetParam().attendu);
    if (cas == "extraitChange") {
        // Un extrait réécrit depuis la recherche n'est plus celui du catalogue : refusé.
        const auto r = Ecrire();
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.Echec().fichier, module.CheminExtrait());
        return;
    }

    // Raccourci pris ou non, le journal final garde les lignes que le tri ligne à ligne, qui
    // cherche chaque locuteur dans la sélection, retient.
    const std::string extrait = test::LireTout(module.CheminExtrait());
    for (int m = 0; m < 8; ++m) {
        modes = Modes{(m & 1) != 0, (m & 2) != 0, (m & 4) != 0};
        ASSERT_TRUE(Ecrire().ok());
        std::string attendu;
        TravailReecriture travail;
        for (const std::string& ligne : LignesCRLF(extrait))
            if (const auto r = FiltrerEtReecrire(ligne, selection, modes.Lire(), travail))
                attendu.append(*r).append("\r\n");
        const std::string final = Final();
        ASSERT_NE(final.find(attendu), std::string::npos) << "modes " << m;
        EXPECT_GT(attendu.size(), 1500u);
    }
}

INSTANTIATE_TEST_SUITE_P(Cas, JournalFinalToutCoche,
                         ::testing::Values(CasToutCoche{"propre", true},
                                           CasToutCoche{"varianteDeCasse", true},
                                           CasToutCoche{"unChannelDecoche", true},
                                           CasToutCoche{"uneEntreeDecochee", false},
                                           CasToutCoche{"extraitChange", false},
                                           CasToutCoche{"locuteurVideSelectionne", false},
                                           CasToutCoche{"tableDeNomsPleine", false}),
                         [](const auto& param) { return std::string(param.param.nom); });

} // namespace
} // namespace vek
