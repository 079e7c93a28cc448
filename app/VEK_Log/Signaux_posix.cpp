// Les signaux de fin, attendus par un fil à eux : bloqués avant tout autre fil, ils ne tuent
// plus le programme, et le fil des fenêtres est prié de quitter.

#include "Signaux.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <csignal>
#include <pthread.h>
#include <thread>

namespace {

sigset_t SignauxDeFin() {
    sigset_t signaux;
    sigemptyset(&signaux);
    sigaddset(&signaux, SIGTERM);
    sigaddset(&signaux, SIGHUP);
    sigaddset(&signaux, SIGINT);
    return signaux;
}

} // namespace

void PreparerSignauxDeFin() {
    const sigset_t signaux = SignauxDeFin();
    pthread_sigmask(SIG_BLOCK, &signaux, nullptr);
    std::signal(SIGXFSZ, SIG_IGN); // une écriture trop grande échoue (EFBIG) et se dit
}

void QuitterSurSignal(std::function<void(int code)> quitter) {
    std::thread([quitter = std::move(quitter)] {
        const sigset_t signaux = SignauxDeFin();
        int recu = 0;
        if (sigwait(&signaux, &recu) != 0)
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [quitter, recu] { quitter(128 + recu); },
            Qt::QueuedConnection);
    }).detach();
}
