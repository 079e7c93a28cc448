// vek-extraire face aux erreurs d'un utilisateur et à son système : le journal sous le nom d'une
// sortie, un journal vide, un tube nommé, puis le vrai programme lancé et arrêté par SIGHUP,
// limité par « ulimit -f » ou lu par un « head » déjà parti.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "DossierTemporaire.h"
#include "Extraire.h"
#include "OutilsMoteur.h"

namespace {

namespace fs = std::filesystem;
using vek::test::DossierTemporaire;
using vek::test::LireTout;

std::string Journal(int lignes) {
    return vek::test::JournalDeMessages(lignes);
}

struct Sortie {
    int code = -1;
    std::string out;
    std::string err;
};

Sortie EnMemoire(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    Sortie s;
    s.code = vek::ExecuterExtraire(std::move(args), out, err);
    s.out = out.str();
    s.err = err.str();
    return s;
}

class ProgrammeExtraire : public ::testing::Test {
protected:
    DossierTemporaire sortie;
    DossierTemporaire ailleurs;
    const std::vector<std::string> tout = {"--tous-channels", "--tout-le-monde", "--dossier",
                                           sortie.Chemin()};

    std::vector<std::string> Args(std::vector<std::string> fin) const {
        std::vector<std::string> a = tout;
        a.insert(a.end(), fin.begin(), fin.end());
        return a;
    }
    std::vector<std::string> Temporaires() const {
        std::vector<std::string> noms;
        for (const auto& e : fs::directory_iterator(sortie.Chemin()))
            if (e.path().filename().string().find(".tmp-") != std::string::npos)
                noms.push_back(e.path().filename().string());
        return noms;
    }
};

// Le journal sous le nom de chaque sortie d'un format, du verrou ou du fichier de travail :
// refusé (code 1) avant toute écriture, le journal intact.
TEST_F(ProgrammeExtraire, JournalSousLeNomDUneSortieRefuse) {
    for (const char* nom : {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl", "LogVEK.verrou",
                            "LogVEKtemp.txt", "LogVEK.validation"}) {
        SCOPED_TRACE(nom);
        const std::string journal = sortie.Ecrire(nom, Journal(3));
        const Sortie s =
            EnMemoire(Args({"--format", "texte", "--format", "html", "--format", "json", journal}));
        EXPECT_EQ(s.code, vek::SortieEchecFichier);
        EXPECT_NE(s.err.find("fichier de sortie du programme"), std::string::npos) << s.err;
        EXPECT_TRUE(s.out.empty());
        EXPECT_EQ(LireTout(journal), Journal(3));
        EXPECT_EQ(std::distance(fs::directory_iterator(sortie.Chemin()), {}), 1);
        fs::remove(journal);
    }
}

// Un journal vide : même code et même message, dates données ou non ; LogFinal.txt n'est pas
// vidé.
TEST_F(ProgrammeExtraire, JournalVideDitDeMemeAvecOuSansDates) {
    const std::string journal = ailleurs.Ecrire("vide.txt", "");
    sortie.Ecrire("LogFinal.txt", "ancien");
    const Sortie sans = EnMemoire(Args({journal}));
    const Sortie avec = EnMemoire(Args({"--debut", "01/01/2001", "--fin", "31/12/2001", journal}));
    EXPECT_EQ(sans.code, vek::SortieEchecFichier);
    EXPECT_EQ(avec.code, sans.code);
    EXPECT_EQ(avec.err, sans.err);
    EXPECT_NE(avec.err.find("Le journal est vide"), std::string::npos) << avec.err;
    EXPECT_EQ(LireTout(sortie.Fichier("LogFinal.txt")), "ancien");
}

// Un dossier, un périphérique ou un tube nommé pris pour journal : « n'est pas un fichier
// ordinaire », jamais « introuvable », et --analyse n'attend pas un écrivain du tube.
TEST_F(ProgrammeExtraire, JournalQuiNEstPasUnFichierOrdinaire) {
    std::vector<std::string> journaux = {ailleurs.Chemin()};
#ifndef _WIN32
    journaux.push_back("/dev/null");
    const std::string tube = ailleurs.Fichier("tube");
    ASSERT_EQ(::mkfifo(tube.c_str(), 0644), 0);
    journaux.push_back(tube);
#endif
    for (const std::string& journal : journaux) {
        SCOPED_TRACE(journal);
        const Sortie s = EnMemoire({"--analyse", journal});
        EXPECT_EQ(s.code, vek::SortieEchecFichier);
        EXPECT_NE(s.err.find("n'est pas un fichier ordinaire"), std::string::npos) << s.err;
        EXPECT_EQ(s.err.find("introuvable"), std::string::npos) << s.err;
    }
}

#ifndef _WIN32

struct Lancement {
    int code = -1;   // code de sortie, ou -1 si tué par un signal
    int signal = 0;  // le signal qui l'a tué
    std::string err; // sa sortie d'erreur
};

// Lance le vrai vek-extraire, locale et HOME fixés. avant : dans le fils, juste avant exec ;
// pendant : dans le parent, le programme lancé. Sans lecteur, la sortie standard est un tube
// déjà refermé (un « head » parti).
Lancement Executer(const std::vector<std::string>& args, const std::string& home,
                   const std::function<void()>& avant, const std::function<void(pid_t)>& pendant,
                   bool sansLecteur = false) {
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        return {};
    // Sans lecteur : fermé avant de lancer le programme, qui ne peut donc jamais y écrire.
    if (sansLecteur)
        ::close(out[0]);
    const pid_t fils = ::fork();
    if (fils == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        for (const int fd : {out[0], out[1], err[0], err[1]})
            if (fd != out[0] || !sansLecteur)
                ::close(fd);
        if (avant)
            avant();
        std::vector<std::string> tout = {VEK_EXTRAIRE};
        tout.insert(tout.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : tout)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::string h = "HOME=" + home;
        std::string l = "LC_ALL=C.UTF-8";
        char* env[] = {h.data(), l.data(), nullptr};
        // Les signaux que le lanceur a pu bloquer ou ignorer ne passent pas au programme.
        sigset_t aucun;
        sigemptyset(&aucun);
        ::sigprocmask(SIG_SETMASK, &aucun, nullptr);
        std::signal(SIGPIPE, SIG_DFL);
        ::execve(argv[0], argv.data(), env);
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (pendant)
        pendant(fils);
    Lancement l;
    char tampon[4096];
    for (ssize_t n; (n = ::read(err[0], tampon, sizeof tampon)) > 0;)
        l.err.append(tampon, static_cast<std::size_t>(n));
    ::close(err[0]);
    if (!sansLecteur)
        ::close(out[0]);
    int etat = 0;
    ::waitpid(fils, &etat, 0);
    if (WIFEXITED(etat))
        l.code = WEXITSTATUS(etat);
    if (WIFSIGNALED(etat))
        l.signal = WTERMSIG(etat);
    return l;
}

// SIGHUP (le terminal fermé) pendant l'écriture : arrêt propre, code 129, anciennes sorties
// gardées, aucun temporaire laissé.
TEST_F(ProgrammeExtraire, SighupCommeSigterm) {
    const std::string journal = ailleurs.Ecrire("journal.txt", Journal(400000));
    for (const char* nom : {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl"})
        sortie.Ecrire(nom, "ancien");
    const Lancement l =
        Executer(Args({"--format", "texte", "--format", "html", "--format", "json", journal}),
                 ailleurs.Chemin(), nullptr, [&](pid_t pid) {
                     const auto limite =
                         std::chrono::steady_clock::now() + std::chrono::seconds(30);
                     while (Temporaires().empty() && std::chrono::steady_clock::now() < limite)
                         std::this_thread::sleep_for(std::chrono::milliseconds(2));
                     ::kill(pid, SIGHUP);
                 });
    EXPECT_EQ(l.signal, 0);
    EXPECT_EQ(l.code, 128 + SIGHUP) << l.err;
    EXPECT_NE(l.err.find("interrompu"), std::string::npos) << l.err;
    for (const char* nom : {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl"})
        EXPECT_EQ(LireTout(sortie.Fichier(nom)), "ancien") << nom;
    EXPECT_TRUE(Temporaires().empty());
}

// Sous « ulimit -f » : l'écriture trop grande échoue (EFBIG) avec une raison française et le
// code 1, au lieu d'un SIGXFSZ qui tuerait le programme sans un mot.
TEST_F(ProgrammeExtraire, LimiteDeTailleDesFichiersDiteEnFrancais) {
    const std::string journal = ailleurs.Ecrire("journal.txt", Journal(40000));
    sortie.Ecrire("LogFinal.txt", "ancien");
    const Lancement l = Executer(
        Args({journal}), ailleurs.Chemin(),
        [] {
            const rlimit r{1u << 20, 1u << 20};
            ::setrlimit(RLIMIT_FSIZE, &r);
            std::signal(SIGXFSZ, SIG_DFL);
        },
        nullptr);
    EXPECT_EQ(l.signal, 0);
    EXPECT_EQ(l.code, 1);
    EXPECT_NE(l.err.find("fichier trop grand"), std::string::npos) << l.err;
    EXPECT_EQ(LireTout(sortie.Fichier("LogFinal.txt")), "ancien");
    EXPECT_TRUE(Temporaires().empty());
}

// La sortie standard lue par un « head » déjà parti : fin sans bruit, code 1 ; les sorties sont
// écrites.
TEST_F(ProgrammeExtraire, SortieStandardRompueFinitSansBruit) {
    const std::string journal = ailleurs.Ecrire("journal.txt", Journal(3));
    const Lancement l = Executer(Args({journal}), ailleurs.Chemin(), nullptr, nullptr, true);
    EXPECT_EQ(l.signal, 0);
    EXPECT_EQ(l.code, 1);
    EXPECT_EQ(l.err, "");
    EXPECT_NE(LireTout(sortie.Fichier("LogFinal.txt")).find("message 2"), std::string::npos);
}

#endif

} // namespace
