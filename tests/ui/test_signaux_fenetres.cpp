// Le programme à fenêtres lancé pour de vrai (hors écran) puis arrêté par SIGTERM ou SIGHUP,
// comme à la fin d'une session : il quitte comme par « Quitter », avec le code 128 + signal,
// au lieu d'être tué sans rien ranger.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DossierTemporaire.h"

namespace {

// Vrai quand le fil principal du processus bloque le signal : le programme est prêt à le
// recevoir sans en mourir.
bool SignalBloque(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string ligne; std::getline(status, ligne);)
        if (ligne.rfind("SigBlk:", 0) == 0)
            return (std::stoull(ligne.substr(7), nullptr, 16) >> (signal - 1)) & 1u;
    return false;
}

class SignauxFenetres : public ::testing::TestWithParam<int> {};

TEST_P(SignauxFenetres, QuitteCommeQuitter) {
    const int signal = GetParam();
    vek::test::DossierTemporaire maison;
    const std::string execution = maison.Fichier("execution");
    std::filesystem::create_directory(execution);
    std::filesystem::permissions(execution, std::filesystem::perms::owner_all);
    // Le fils garde le masque du processus d'essai jusqu'à son execve : si celui-ci bloque déjà
    // le signal (lancé ainsi par l'intégration continue), le masque ne dit rien avant l'execve.
    // Un tube fermé à l'execve dit quand il a eu lieu.
    int tube[2];
    ASSERT_EQ(::pipe2(tube, O_CLOEXEC), 0);
    const pid_t fils = ::fork();
    ASSERT_GE(fils, 0);
    if (fils == 0) {
        std::string h = "HOME=" + maison.Chemin();
        std::string x = "XDG_RUNTIME_DIR=" + execution;
        std::string q = "QT_QPA_PLATFORM=offscreen";
        std::string l = "LC_ALL=C.UTF-8";
        char* env[] = {h.data(), x.data(), q.data(), l.data(), nullptr};
        std::string programme = VEK_LOG;
        std::string journal = VEK_JOURNAL_EXEMPLE;
        char* argv[] = {programme.data(), journal.data(), nullptr};
        sigset_t aucun;
        sigemptyset(&aucun);
        ::sigprocmask(SIG_SETMASK, &aucun, nullptr);
        ::execve(argv[0], argv, env);
        ::_exit(127);
    }
    ::close(tube[1]);
    char octet;
    while (::read(tube[0], &octet, 1) < 0 && errno == EINTR) {
    }
    ::close(tube[0]);
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!SignalBloque(fils, signal) && std::chrono::steady_clock::now() < limite)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(fils, signal);
    int etat = 0;
    ASSERT_EQ(::waitpid(fils, &etat, 0), fils);
    EXPECT_FALSE(WIFSIGNALED(etat)) << "tué par le signal " << WTERMSIG(etat);
    ASSERT_TRUE(WIFEXITED(etat));
    EXPECT_EQ(WEXITSTATUS(etat), 128 + signal);
}

INSTANTIATE_TEST_SUITE_P(Fin, SignauxFenetres, ::testing::Values(SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return i.param == SIGTERM ? std::string("SIGTERM")
                                                       : std::string("SIGHUP");
                         });

} // namespace
