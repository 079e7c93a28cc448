// Démarrage détaché d'un programme sous POSIX : double fork, nouvelle session, exec.

#include "Processus.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vek {

namespace {

void EcrireErreur(int descripteur, int code) {
    // Seulement des appels sûrs après fork : write et rien d'autre.
    const char* octets = reinterpret_cast<const char*>(&code);
    std::size_t restant = sizeof code;
    while (restant > 0) {
        const ssize_t ecrit = ::write(descripteur, octets, restant);
        if (ecrit < 0 && errno == EINTR)
            continue;
        if (ecrit <= 0)
            return;
        octets += ecrit;
        restant -= static_cast<std::size_t>(ecrit);
    }
}

// Dans le fils intermédiaire, après fork : nouvelle session, lance le petit-fils et s'en va
// aussitôt, pour que le programme démarré ne reste pas rattaché à nous. N'alloue rien.
[[noreturn]] void LancerPetitFils(char* const* argv, const int tube[2]) {
    ::close(tube[0]);
    ::setsid();
    const pid_t petitFils = ::fork();
    if (petitFils < 0) {
        EcrireErreur(tube[1], errno);
        ::_exit(1);
    }
    if (petitFils == 0) {
        sigset_t aucun;
        sigemptyset(&aucun);
        ::sigprocmask(SIG_SETMASK, &aucun, nullptr);
        const int nul = ::open("/dev/null", O_RDONLY);
        if (nul >= 0) {
            ::dup2(nul, STDIN_FILENO);
            if (nul != STDIN_FILENO)
                ::close(nul);
        }
        ::execvp(argv[0], argv);
        EcrireErreur(tube[1], errno);
        ::_exit(127);
    }
    ::_exit(0);
}

} // namespace

bool DemarrerDetache(const std::vector<std::string>& arguments, int* erreur) {
    auto echec = [erreur](int code) {
        if (erreur)
            *erreur = code;
        return false;
    };
    if (arguments.empty() || arguments.front().empty())
        return echec(ENOENT);

    // Tout ce dont les processus fils ont besoin est préparé avant fork : après, le fils d'un
    // programme à plusieurs fils d'exécution ne doit rien allouer.
    std::vector<std::string> copies(arguments);
    std::vector<char*> argv;
    argv.reserve(copies.size() + 1);
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // Le petit-fils signale un exec manqué par ce tube, qui se ferme tout seul quand exec
    // réussit.
    int tube[2];
    if (::pipe(tube) != 0)
        return echec(errno);
    for (int descripteur : tube)
        ::fcntl(descripteur, F_SETFD, FD_CLOEXEC);

    const pid_t intermediaire = ::fork();
    if (intermediaire < 0) {
        const int code = errno;
        ::close(tube[0]);
        ::close(tube[1]);
        return echec(code);
    }
    if (intermediaire == 0)
        LancerPetitFils(argv.data(), tube);

    ::close(tube[1]);
    int etat = 0;
    while (::waitpid(intermediaire, &etat, 0) < 0 && errno == EINTR) {
    }
    int code = 0;
    ssize_t lu = 0;
    do {
        lu = ::read(tube[0], &code, sizeof code);
    } while (lu < 0 && errno == EINTR);
    ::close(tube[0]);
    if (lu > 0)
        return echec(code != 0 ? code : ENOEXEC);
    return true;
}

} // namespace vek
