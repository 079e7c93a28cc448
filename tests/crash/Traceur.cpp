#include "Traceur.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <set>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "Releveur.h"

namespace vek::coupure {

namespace {

// Tue le programme tracé passé son délai (ses fils meurent avec lui : PTRACE_O_EXITKILL).
class Minuterie {
public:
    Minuterie(pid_t pid, int secondes)
        : fil_([this, pid, secondes] {
              std::unique_lock verrou(m_);
              if (!cv_.wait_for(verrou, std::chrono::seconds(secondes), [this] { return fini_; })) {
                  echue_ = true;
                  ::kill(pid, SIGKILL);
              }
          }) {}
    ~Minuterie() {
        {
            const std::lock_guard verrou(m_);
            fini_ = true;
        }
        cv_.notify_all();
        fil_.join();
    }
    Minuterie(const Minuterie&) = delete;
    Minuterie& operator=(const Minuterie&) = delete;
    bool Echue() const { return echue_; }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool fini_ = false;
    std::atomic<bool> echue_{false};
    std::thread fil_;
};

// Un arrêt à un appel système : son entrée ou sa sortie, lue par PTRACE_GET_SYSCALL_INFO.
void SurAppel(pid_t fil, Releveur& releveur) {
    __ptrace_syscall_info info{};
    if (::ptrace(PTRACE_GET_SYSCALL_INFO, fil, sizeof info, &info) <= 0)
        return;
    if (info.op == PTRACE_SYSCALL_INFO_ENTRY) {
        std::uint64_t args[6];
        std::copy(std::begin(info.entry.args), std::end(info.entry.args), args);
        releveur.Entree(fil, info.entry.nr, args);
    } else if (info.op == PTRACE_SYSCALL_INFO_EXIT) {
        releveur.Sortie(fil, info.exit.is_error ? -1 : info.exit.rval);
    }
}

// Suit le programme et tous ses fils jusqu'à la fin du processus principal et de ses fils.
int Suivre(pid_t pid, Releveur& releveur, const Trace& trace,
           const std::function<bool(const Operation&)>& arreter) {
    std::set<pid_t> connus{pid};
    int code = -1;
    while (!connus.empty()) {
        int etat = 0;
        const pid_t fil = ::waitpid(-1, &etat, __WALL);
        if (fil < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (WIFEXITED(etat) || WIFSIGNALED(etat)) {
            connus.erase(fil);
            if (fil == pid)
                code = CodeDeFin(etat);
            continue;
        }
        if (!WIFSTOPPED(etat))
            continue;
        int signal = 0;
        const int sig = WSTOPSIG(etat);
        if (sig == (SIGTRAP | 0x80)) {
            const std::size_t avant = trace.operations.size();
            SurAppel(fil, releveur);
            if (arreter && trace.operations.size() > avant && arreter(trace.operations.back()))
                ::kill(pid, SIGKILL);
        } else if (const int evenement = etat >> 16; evenement != 0) {
            // Un nouveau fil ou processus (suivi dès sa naissance), un exec : rien à transmettre.
            unsigned long nouveau = 0;
            if ((evenement == PTRACE_EVENT_CLONE || evenement == PTRACE_EVENT_FORK ||
                 evenement == PTRACE_EVENT_VFORK) &&
                ::ptrace(PTRACE_GETEVENTMSG, fil, nullptr, &nouveau) == 0)
                connus.insert(static_cast<pid_t>(nouveau));
        } else if (sig == SIGSTOP && fil != pid) {
            // L'arrêt de naissance d'un fil, qu'il arrive avant ou après son annonce.
            connus.insert(fil);
        } else {
            signal = sig;
        }
        ::ptrace(PTRACE_SYSCALL, fil, nullptr, reinterpret_cast<void*>(static_cast<long>(signal)));
    }
    return code;
}

} // namespace

Trace Tracer(const Lancement& l, const std::string& racine,
             const std::function<bool(const Operation&)>& arreter) {
    Trace trace;
    Releveur releveur(racine, trace);
    releveur.ReleverDepart();
    const int sortie = FichierEnMemoire("sortie");
    const int erreur = FichierEnMemoire("erreur");
    const Preparation preparation(l);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(126); // sans traceur, l'arrêt qui suit ne finirait jamais
        ::raise(SIGSTOP);
        DevenirLeProgramme(preparation, sortie, erreur);
    }
    int etat = 0;
    ::waitpid(pid, &etat, 0);
    if (!WIFSTOPPED(etat)) {
        trace.horsModele.push_back("le système refuse ptrace : rien ne peut être relevé");
        return trace;
    }
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr,
             PTRACE_O_TRACESYSGOOD | PTRACE_O_TRACECLONE | PTRACE_O_TRACEFORK |
                 PTRACE_O_TRACEVFORK | PTRACE_O_TRACEEXEC | PTRACE_O_EXITKILL);
    ::ptrace(PTRACE_SYSCALL, pid, nullptr, nullptr);
    {
        const Minuterie minuterie(pid, l.delaiSecondes);
        trace.fin.code = Suivre(pid, releveur, trace, arreter);
        trace.fin.horsDelai = minuterie.Echue();
    }
    trace.fin.sortie = RelireFichierEnMemoire(sortie);
    trace.fin.erreur = RelireFichierEnMemoire(erreur);
    return trace;
}

} // namespace vek::coupure
