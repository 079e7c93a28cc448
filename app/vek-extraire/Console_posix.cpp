#include "Console.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <pthread.h>
#include <stop_token>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace vek {

std::vector<std::string> PreparerConsole(int argc, char** argv, ContexteExtraire& contexte) {
    // SIGINT, SIGTERM et SIGHUP (le terminal fermé) arrêtent la passe proprement : bloqués
    // avant tout autre fil, ils sont attendus par un fil à eux, qui demande l'arrêt au moteur.
    // Les temporaires sont supprimés, les anciennes sorties gardées, le code est 128 + signal.
    static std::stop_source arret;
    static std::atomic<int> signalRecu{0};
    sigset_t signaux;
    sigemptyset(&signaux);
    sigaddset(&signaux, SIGINT);
    sigaddset(&signaux, SIGTERM);
    sigaddset(&signaux, SIGHUP);
    // Une écriture au-delà de la taille permise (ulimit -f) échoue alors avec EFBIG, dite en
    // français, au lieu de tuer le programme sans un mot ; une sortie standard dont le lecteur
    // est parti (| head) échoue avec EPIPE, et le programme s'arrête sans bruit (code 1).
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
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
    // Un terminal « dumb » (celui d'un éditeur, par exemple) ne connaît pas le gras.
    const char* terminal = std::getenv("TERM");
    contexte.grasSurLaSortie = contexte.sortieEstTerminal && terminal != nullptr &&
                               *terminal != '\0' && std::string_view(terminal) != "dumb";
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool SortieStandardRompue() {
    // Le bout d'écriture d'un tube dont le lecteur est parti se signale par POLLERR.
    pollfd p{STDOUT_FILENO, POLLOUT, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLERR) != 0;
}

} // namespace vek
