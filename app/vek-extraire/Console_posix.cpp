#include "Console.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <stop_token>
#include <thread>
#include <unistd.h>

namespace vek {

std::vector<std::string> PreparerConsole(int argc, char** argv, ContexteExtraire& contexte) {
    // SIGINT et SIGTERM arrêtent la passe proprement : bloqués avant tout autre fil, ils sont
    // attendus par un fil à eux, qui demande l'arrêt au moteur.
    static std::stop_source arret;
    static std::atomic<int> signalRecu{0};
    sigset_t signaux;
    sigemptyset(&signaux);
    sigaddset(&signaux, SIGINT);
    sigaddset(&signaux, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signaux, nullptr);
    std::thread([signaux] {
        int recu = 0;
        if (sigwait(&signaux, &recu) == 0) {
            signalRecu.store(recu);
            arret.request_stop();
        }
    }).detach();
    contexte.arret = arret.get_token();
    contexte.signal = &signalRecu;
    contexte.erreurEstTerminal = isatty(fileno(stderr)) != 0;
    contexte.sortieEstTerminal = isatty(fileno(stdout)) != 0;
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

} // namespace vek
