#include "VeilleFichier.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <set>
#include <string>

#if defined(__linux__)
#include <sys/inotify.h>
#endif

namespace vek {

namespace {

// Le dossier et le nom d'un chemin (« . » pour un nom sans dossier).
std::pair<std::string, std::string> DossierEtNom(const NomFichier& chemin) {
    const auto barre = chemin.find_last_of('/');
    if (barre == std::string::npos)
        return {".", chemin};
    return {barre == 0 ? "/" : chemin.substr(0, barre), chemin.substr(barre + 1)};
}

class VeillePosix final : public Veille {
public:
    explicit VeillePosix(const std::vector<NomFichier>& chemins) {
        // Le tube de réveil n'est pas hérité d'un programme lancé pendant le suivi (un
        // navigateur), et ne bloque ni l'écriture d'un réveil ni sa vidange.
        if (::pipe(reveil_) != 0) {
            reveil_[0] = reveil_[1] = -1;
        } else {
            for (int f : reveil_) {
                ::fcntl(f, F_SETFD, FD_CLOEXEC);
                ::fcntl(f, F_SETFL, ::fcntl(f, F_GETFL) | O_NONBLOCK);
            }
        }
#if defined(__linux__)
        notif_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        // Un dossier veillé une fois, pour chacun de ses fichiers.
        for (const NomFichier& chemin : chemins) {
            const auto [dossier, nom] = DossierEtNom(chemin);
            const int w = notif_ < 0 ? -1
                                     : ::inotify_add_watch(notif_, dossier.c_str(),
                                                           IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB |
                                                               IN_CREATE | IN_DELETE |
                                                               IN_MOVED_FROM | IN_MOVED_TO);
            if (w < 0)
                tous_ = false;
            else
                noms_[w].insert(nom);
        }
        if (notif_ >= 0 && noms_.empty()) {
            ::close(notif_);
            notif_ = -1;
        }
#else
        (void)chemins;
#endif
    }
    ~VeillePosix() override {
        for (int f : {notif_, reveil_[0], reveil_[1]})
            if (f >= 0)
                ::close(f);
    }
    bool Attendre(std::chrono::milliseconds delai) override {
        const auto fin = std::chrono::steady_clock::now() + delai;
        for (;;) {
            const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(
                fin - std::chrono::steady_clock::now());
            if (reste.count() <= 0)
                return false;
            pollfd fd[2] = {{reveil_[0], POLLIN, 0}, {notif_, POLLIN, 0}};
            const int n = ::poll(fd, notif_ >= 0 ? 2 : 1,
                                 static_cast<int>(std::min<long long>(reste.count(), INT_MAX)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            if (fd[0].revents != 0) {
                Vider(reveil_[0]);
                return false;
            }
            if (fd[1].revents != 0 && EvenementDuFichier())
                return true;
        }
    }
    void Reveiller() override {
        if (reveil_[1] >= 0) {
            const char c = 0;
            [[maybe_unused]] const auto n = ::write(reveil_[1], &c, 1);
        }
    }
    bool SignaleLaCroissance() const override {
        return notif_ >= 0 && tous_;
    }

private:
    static void Vider(int f) {
        char tampon[64];
        while (::read(f, tampon, sizeof tampon) > 0) {
        }
    }
    // Lit les événements en attente ; vrai si l'un concerne le fichier veillé (ou a débordé).
    bool EvenementDuFichier() {
        bool concerne = false;
#if defined(__linux__)
        alignas(inotify_event) char tampon[4096];
        for (;;) {
            const ssize_t n = ::read(notif_, tampon, sizeof tampon);
            if (n <= 0)
                break;
            for (ssize_t i = 0; i < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(tampon + i);
                if ((e->mask & IN_Q_OVERFLOW) != 0 ||
                    (e->len > 0 && noms_.count(e->wd) > 0 && noms_[e->wd].count(e->name) > 0))
                    concerne = true;
                i += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
#endif
        return concerne;
    }
    int reveil_[2] = {-1, -1};
    int notif_ = -1;
    std::map<int, std::set<std::string>> noms_; // par dossier veillé, les noms de ses fichiers
    bool tous_ = true;                          // chaque dossier est veillé
};

} // namespace

std::unique_ptr<Veille> VeilleDuSysteme(const std::vector<NomFichier>& chemins) {
    return std::make_unique<VeillePosix>(chemins);
}

} // namespace vek
