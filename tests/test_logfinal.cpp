// Écriture du journal final : bannière, lignes retenues, pied, progression, lanceur, échecs.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "DossierTemporaire.h"
#include "FausseFenetre.h"
#include "Fichiers.h"
#include "ModuleVEK.h"

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

// Lanceur qui lit le fichier au moment où on le lui confie.
class LanceurLecteur : public LanceurDocument {
public:
    std::vector<std::string> ouverts;
    std::vector<std::string> contenus;
    std::int16_t OuvrirDocument(const std::string& document) override {
        ouverts.push_back(document);
        contenus.push_back(test::LireTout(document));
        return 42;
    }
};

class JournalFinal : public ::testing::Test {
protected:
    test::DossierTemporaire dossier;
    test::FausseFenetre fenetre;
    LanceurLecteur lanceur;
    ModuleVEK module{fenetre, lanceur, dossier.Chemin()};

    void SetUp() override {
        ASSERT_FALSE(dossier.Chemin().empty());
        module.DateDuJour = [] { return Date{2002, 12, 7}; };
    }

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
    // Recherche du 24/12/2001 à fin dans le journal, puis les deux cases « tout » cochées.
    void ChercherPuisToutCocher(const std::string& journal, Date fin) {
        fenetre.chemin = dossier.Ecrire("journal.txt", journal);
        ASSERT_TRUE(module.RechercherPeriode({2001, 12, 24}, fin).ok);
        fenetre.caseTLC = 1;
        fenetre.caseTLM = 1;
        module.CocherSelonCase(CaseACocher::TousChannels, Arbre::Channels);
        module.CocherSelonCase(CaseACocher::ToutLeMonde, Arbre::Noms);
    }
    void Choisir(std::initializer_list<std::string> channels,
                 std::initializer_list<std::string> noms) {
        module.selection.Vider();
        for (const auto& c : channels)
            module.selection.AjouterChannel(c);
        for (const auto& n : noms)
            module.selection.AjouterNom(n);
    }
};

const std::set<std::string> DeuxFichiers{"LogFinal.txt", "LogVEKtemp.txt"};

TEST_F(JournalFinal, ExtraitVideDonneExactementLaBanniereEtLePied) {
    Extrait("");
    const Resultat r = module.CreerLogFinal();
    ASSERT_TRUE(r.ok) << r.Message();
    const auto lignes = LignesCRLF(Final());
    EXPECT_EQ(lignes.size(), 20u);
    EXPECT_EQ(lignes, Encadrer({}));
    EXPECT_EQ(fenetre.maxProgression, std::vector<float>{1.0f});
    EXPECT_EQ(fenetre.valeursProgression, std::vector<float>{0.0f});
    EXPECT_EQ(fenetre.evenements, 0);
    EXPECT_EQ(lanceur.ouverts, std::vector<std::string>{CheminFinal()});
    EXPECT_EQ(Fichiers(), DeuxFichiers);
    // Ni le compteur de lignes ni le pointeur ne changent pendant l'écriture.
    EXPECT_TRUE(fenetre.compteurs.empty());
    EXPECT_TRUE(fenetre.pointeurs.empty());
}

TEST_F(JournalFinal, LignesRetenuesEntreBanniereEtPiedEtProgression) {
    const std::string extrait = P + "[Commerce] \"Aldric\": bonjour   \r\n" + P +
                                "[Commerce] \"Bob\": non coch\xE9\r\n" + P +
                                "{Aldric}\":\"l\xE0-bas\r\n" + P + "Bob a rejoint la partie\r\n" +
                                P + "Bob vous appelle : psst\r\n" + P + "Vous avez dit : oui\r\n";
    Extrait(extrait);
    Choisir({Zone, "[Commerce]"}, {"Aldric", Whisps});
    std::vector<float> valeurAuPassage;
    fenetre.surEvenement = [&] {
        valeurAuPassage.push_back(fenetre.valeursProgression.back());
        return true;
    };
    const Resultat r = module.CreerLogFinal();
    ASSERT_TRUE(r.ok) << r.Message();
    EXPECT_EQ(LignesCRLF(Final()),
              Encadrer({P + "[Commerce] \"Aldric\": bonjour", P + "{Aldric}\":\"l\xE0-bas",
                        P + "Bob vous appelle : psst"}));
    EXPECT_EQ(fenetre.maxProgression, std::vector<float>{7.0f});
    EXPECT_EQ(fenetre.valeursProgression, (std::vector<float>{0, 1, 2, 3, 4, 5, 0}));
    EXPECT_EQ(fenetre.evenements, 6);
    EXPECT_EQ(valeurAuPassage, (std::vector<float>{0, 1, 2, 3, 4, 5}));
    // Le lanceur reçoit le chemin complet d'un fichier déjà complet.
    ASSERT_EQ(lanceur.ouverts, std::vector<std::string>{CheminFinal()});
    EXPECT_EQ(lanceur.contenus.at(0), Final());
    EXPECT_EQ(test::LireTout(module.CheminExtrait()), extrait) << "l'extrait reste tel quel";
}

TEST_F(JournalFinal, ChaqueLigneFinitParCRLFQuelleQueSoitLaFinDeLExtrait) {
    Extrait(P + "Aldric vous appelle\n" + P + "Bob vous appelle\r" + P + "Zoe vous appelle");
    Choisir({}, {Whisps});
    ASSERT_TRUE(module.CreerLogFinal().ok);
    EXPECT_EQ(LignesCRLF(Final()), Encadrer({P + "Aldric vous appelle", P + "Bob vous appelle",
                                             P + "Zoe vous appelle"}));
    EXPECT_EQ(fenetre.maxProgression, std::vector<float>{4.0f});
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
    ASSERT_TRUE(module.CreerLogFinal().ok);
    EXPECT_EQ(LignesCRLF(Final()), Encadrer({ligne1, ligne2, ligne3}));
    EXPECT_EQ(fenetre.maxProgression, std::vector<float>{4.0f});
    EXPECT_EQ(fenetre.valeursProgression, (std::vector<float>{0, 1, 2, 0}));
}

TEST(JournalFinalChemin, LeLanceurRecoitLeCheminEntierMemeAvecDesEspaces) {
    test::DossierTemporaire dossier;
    const std::string repertoire = dossier.Fichier("Mes documents \xE9t\xE9");
    fs::create_directory(repertoire);
    test::FausseFenetre fenetre;
    test::FauxLanceur lanceur;
    ModuleVEK module(fenetre, lanceur, repertoire);
    std::ofstream(module.CheminExtrait(), std::ios::binary) << "";
    ASSERT_TRUE(module.CreerLogFinal().ok);
    EXPECT_EQ(lanceur.ouverts, std::vector<std::string>{repertoire + "/LogFinal.txt"});
    EXPECT_TRUE(fs::is_regular_file(repertoire + "/LogFinal.txt"));
}

TEST_F(JournalFinal, LesModesSontRelusAChaqueLigne) {
    Extrait(P + "Aldric vous appelle\r\n" + P + "Bob vous appelle\r\n" + P +
            "Zoe vous appelle\r\n");
    Choisir({}, {Whisps});
    fenetre.surEvenement = [&] {
        // Options validées pendant l'écriture, avant la deuxième ligne.
        if (fenetre.evenements == 2)
            module.modes = Modes{true, false, false};
        return true;
    };
    ASSERT_TRUE(module.CreerLogFinal().ok);
    EXPECT_EQ(LignesCRLF(Final()),
              Encadrer({P + "Aldric vous appelle", "Bob vous appelle", "Zoe vous appelle"}));
}

TEST_F(JournalFinal, RienDeCocheDansLesArbresDonneVingtLignes) {
    Extrait(P + "[Commerce] \"Aldric\": bonjour\r\n" + P + "{Aldric}\":\"x\r\n" + P +
            "Aldric vous appelle\r\n");
    module.catalogue.AjouterChannel("[Commerce]");
    module.catalogue.AjouterNom("Aldric");
    module.catalogue.AjouterNom(Whisps);
    module.RemplirArbres();
    const Resultat r = module.CmdCreerLog();
    ASSERT_TRUE(r.ok) << r.Message();
    EXPECT_EQ(module.selection.NbSelChannels, 0);
    EXPECT_EQ(module.selection.NbSelNoms, 0);
    EXPECT_EQ(LignesCRLF(Final()), Encadrer({}));
    EXPECT_EQ(fenetre.maxProgression, std::vector<float>{4.0f});
    EXPECT_EQ(fenetre.valeursProgression, (std::vector<float>{0, 1, 2, 0}));
    EXPECT_EQ(lanceur.ouverts.size(), 1u);
}

TEST_F(JournalFinal, AncienJournalEnLectureSeuleRemplace) {
    Extrait(P + "Aldric vous appelle\r\n");
    // Un ancien plus long que le nouveau : rien ne doit en rester.
    dossier.Ecrire("LogFinal.txt", std::string(20000, 'A') + "\r\n");
    fs::permissions(CheminFinal(),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Choisir({}, {Whisps});
    const Resultat r = module.CreerLogFinal();
    ASSERT_TRUE(r.ok) << r.Message();
    EXPECT_EQ(LignesCRLF(Final()), Encadrer({P + "Aldric vous appelle"}));
    EXPECT_EQ(lanceur.ouverts.size(), 1u);
    EXPECT_EQ(Fichiers(), DeuxFichiers);
}

TEST_F(JournalFinal, DeuxEcrituresDeSuiteAvecDesModesDifferents) {
    const std::string extrait = P + "[Commerce] \"Aldric\": bonjour \"Aldric\"\r\n" + P +
                                "{Aldric}\":\"bonjour\r\n" + P + "Vous avez dit : oui\r\n";
    Extrait(extrait);
    Choisir({Zone, "[Commerce]"}, {"Aldric", Vous});

    ASSERT_TRUE(module.CreerLogFinal().ok);
    const std::string premier = Final();
    EXPECT_EQ(LignesCRLF(premier),
              Encadrer({P + "[Commerce] \"Aldric\": bonjour \"Aldric\"", P + "{Aldric}\":\"bonjour",
                        P + "Vous avez dit : oui"}));

    module.modes = Modes{true, true, true};
    ASSERT_TRUE(module.CreerLogFinal().ok);
    EXPECT_EQ(LignesCRLF(Final()),
              Encadrer({"Aldric: bonjour Aldric", "Aldric : bonjour", "Vous avez dit : oui"}));
    EXPECT_EQ(lanceur.ouverts, (std::vector<std::string>{CheminFinal(), CheminFinal()}));
    EXPECT_EQ(test::LireTout(module.CheminExtrait()), extrait);
    EXPECT_EQ(Fichiers(), DeuxFichiers);
}

// --- Échecs : l'ancien journal final reste tel quel, le lanceur n'est pas appelé ---

const std::string Ancien = "ancien journal\r\n";

class JournalFinalEchec : public JournalFinal {
protected:
    void SetUp() override {
        JournalFinal::SetUp();
        Extrait(P + "Aldric vous appelle\r\n");
        Choisir({}, {Whisps});
    }
    void VerifierEchec(const Resultat& r) {
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.interrompu);
        EXPECT_FALSE(r.action.empty());
        EXPECT_EQ(r.fichier, CheminFinal());
        EXPECT_FALSE(r.raison.empty());
        EXPECT_TRUE(lanceur.ouverts.empty());
    }
};

TEST_F(JournalFinalEchec, DossierNonInscriptible) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "les droits d'accès ne bloquent pas root";
    dossier.Ecrire("LogFinal.txt", Ancien);
    fs::permissions(dossier.Chemin(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const Resultat r = module.CreerLogFinal();
    fs::permissions(dossier.Chemin(), fs::perms::owner_all, fs::perm_options::add);
    VerifierEchec(r);
    EXPECT_EQ(r.raison, RaisonSysteme(EACCES));
    EXPECT_EQ(Final(), Ancien);
    EXPECT_EQ(Fichiers(), DeuxFichiers);
}

TEST_F(JournalFinalEchec, RenommageImpossibleSurUnDossierDuMemeNom) {
    // LogFinal.txt est un dossier non vide : le fichier complet ne peut pas le remplacer.
    fs::create_directory(CheminFinal());
    dossier.Ecrire("LogFinal.txt/garde.txt", Ancien);
    const Resultat r = module.CreerLogFinal();
    VerifierEchec(r);
    EXPECT_TRUE(fs::is_directory(CheminFinal()));
    EXPECT_EQ(test::LireTout(CheminFinal() + "/garde.txt"), Ancien);
    EXPECT_EQ(Fichiers(), DeuxFichiers) << "aucun fichier temporaire ne traîne";
}

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
    Resultat r;
    {
        LimiteTailleFichiers limite(16);
        r = module.CreerLogFinal();
    }
    VerifierEchec(r);
    EXPECT_EQ(Final(), Ancien);
    EXPECT_EQ(Fichiers(), DeuxFichiers) << "aucun fichier temporaire ne traîne";
}

// --- Extrait absent ou illisible ---

TEST_F(JournalFinal, ExtraitAbsentLaisseLAncienJournal) {
    dossier.Ecrire("LogFinal.txt", Ancien);
    const Resultat r = module.CreerLogFinal();
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.interrompu);
    EXPECT_FALSE(r.action.empty());
    EXPECT_EQ(r.fichier, module.CheminExtrait());
    EXPECT_EQ(r.raison, RaisonSysteme(ENOENT));
    EXPECT_EQ(Final(), Ancien);
    EXPECT_TRUE(lanceur.ouverts.empty());
    EXPECT_EQ(Fichiers(), std::set<std::string>{"LogFinal.txt"});
}

TEST_F(JournalFinal, ExtraitIllisibleLaisseLAncienJournal) {
    fs::create_directory(module.CheminExtrait());
    dossier.Ecrire("LogFinal.txt", Ancien);
    const Resultat r = module.CreerLogFinal();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.fichier, module.CheminExtrait());
    EXPECT_FALSE(r.raison.empty());
    EXPECT_EQ(Final(), Ancien);
    EXPECT_TRUE(lanceur.ouverts.empty());
    EXPECT_EQ(Fichiers(), DeuxFichiers);
}

TEST(JournalFinalSansDossier, RepertoireDuProgrammeInutilisable) {
    test::DossierTemporaire dossier;
    const std::string fichierOrdinaire = dossier.Ecrire("pas-un-dossier", "x");
    for (const std::string& repertoire :
         {dossier.Fichier("inexistant"), fichierOrdinaire, std::string("/proc")}) {
        SCOPED_TRACE(repertoire);
        test::FausseFenetre fenetre;
        test::FauxLanceur lanceur;
        ModuleVEK module(fenetre, lanceur, repertoire);
        const Resultat r = module.CreerLogFinal();
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.interrompu);
        EXPECT_EQ(r.fichier, module.CheminExtrait());
        EXPECT_FALSE(r.raison.empty());
        EXPECT_TRUE(lanceur.ouverts.empty());
        EXPECT_FALSE(fs::exists(module.CheminLogFinal()));
    }
    EXPECT_EQ(test::LireTout(fichierOrdinaire), "x");
}

// --- Interruption : le programme se termine au milieu de l'écriture ---

class JournalFinalInterruption : public JournalFinal, public ::testing::WithParamInterface<int> {};

TEST_P(JournalFinalInterruption, ArretImmediatSansToucherALAncien) {
    const int arret = GetParam();
    std::string extrait;
    for (int i = 0; i < 5; ++i)
        extrait += P + "Aldric vous appelle " + std::to_string(i) + "\r\n";
    Extrait(extrait);
    dossier.Ecrire("LogFinal.txt", Ancien);
    Choisir({}, {Whisps});
    fenetre.surEvenement = [&] { return fenetre.evenements < arret; };
    const Resultat r = module.CreerLogFinal();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.interrompu);
    EXPECT_EQ(fenetre.evenements, arret) << "aucun événement après l'arrêt";
    EXPECT_EQ(Final(), Ancien);
    EXPECT_TRUE(lanceur.ouverts.empty());
    EXPECT_EQ(Fichiers(), DeuxFichiers) << "aucun fichier temporaire ne traîne";
}

INSTANTIATE_TEST_SUITE_P(PremiereMilieuDerniere, JournalFinalInterruption,
                         ::testing::Values(1, 3, 5));

TEST_F(JournalFinal, InterruptionSansAncienNeCreeRien) {
    Extrait(P + "Aldric vous appelle\r\n" + P + "Bob vous appelle\r\n");
    Choisir({}, {Whisps});
    fenetre.surEvenement = [] { return false; };
    const Resultat r = module.CreerLogFinal();
    EXPECT_TRUE(r.interrompu);
    EXPECT_EQ(Fichiers(), std::set<std::string>{"LogVEKtemp.txt"});
    EXPECT_TRUE(lanceur.ouverts.empty());
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
    fenetre.maxProgression.clear();
    fenetre.valeursProgression.clear();

    const Resultat r = module.CmdCreerLog();
    ASSERT_TRUE(r.ok) << r.Message();
    EXPECT_EQ(module.selection.SelChannels.at(0), Zone);
    EXPECT_EQ(
        LignesCRLF(Final()),
        Encadrer({P + "[Commerce] \"Aldric\": bonjour", P + "[Guilde] \"Al:dric\": nom coup\xE9",
                  P + "{Carla}\":\"coucou", P + "Vous avez dit : oui",
                  P + "Bob vous appelle : psst", "12/25/2001 [09:00:00] {Carla}\":\"demain"}));
    // Dix lignes dans la période (extrait), donc onze pour la barre.
    EXPECT_EQ(fenetre.maxProgression, std::vector<float>{11.0f});
    EXPECT_EQ(lanceur.ouverts, std::vector<std::string>{CheminFinal()});
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
        fenetre.noms.at(1).coche = false;
    if (cas == "unChannelDecoche")
        fenetre.channels.at(1).coche = false;
    if (cas == "extraitChange") {
        std::ofstream(module.CheminExtrait(), std::ios::app | std::ios::binary)
            << P << "[Autre] \"Zed\": ajout\r\n";
    }
    module.CapturerSelection();
    if (cas == "locuteurVideSelectionne")
        module.selection.AjouterNom("");
    EXPECT_EQ(module.catalogue.LimiteNomsAtteinte, cas == "tableDeNomsPleine");
    EXPECT_EQ(module.TousLesNomsRetenus(module.CheminExtrait()), GetParam().attendu);

    for (int m = 0; m < 8; ++m) {
        module.modes = Modes{(m & 1) != 0, (m & 2) != 0, (m & 4) != 0};
        module.RaccourciToutRetenu = false;
        ASSERT_TRUE(module.CreerLogFinal().ok);
        const std::string ordinaire = Final();
        module.RaccourciToutRetenu = true;
        ASSERT_TRUE(module.CreerLogFinal().ok);
        ASSERT_EQ(Final(), ordinaire) << "modes " << m;
        EXPECT_GT(ordinaire.size(), 3000u);
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
