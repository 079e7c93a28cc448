#include "Lancement.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vek::coupure {

Preparation::Preparation(const Lancement& l) : dossier(l.dossier) {
    // L'environnement du banc, chaque variable donnée remplaçant celle du même nom.
    const auto nom = [](const std::string& v) { return v.substr(0, v.find('=')); };
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        bool remplacee = false;
        for (const std::string& donnee : l.environnement)
            remplacee = remplacee || nom(donnee) == nom(v);
        if (!remplacee)
            variables.push_back(v);
    }
    variables.insert(variables.end(), l.environnement.begin(), l.environnement.end());
    for (const std::string& a : l.commande)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (std::string& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);
}

void DevenirLeProgramme(const Preparation& p, int sortie, int erreur) {
    if (::chdir(p.dossier.c_str()) != 0)
        ::_exit(127);
    ::dup2(sortie, 1);
    ::dup2(erreur, 2);
    const int nul = ::open("/dev/null", O_RDONLY);
    if (nul >= 0)
        ::dup2(nul, 0);
    ::execve(p.argv[0], p.argv.data(), p.envp.data());
    ::_exit(127);
}

int FichierEnMemoire(const char* nom) {
    return ::memfd_create(nom, 0);
}

std::string RelireFichierEnMemoire(int fd) {
    std::string texte;
    char tampon[65536];
    ::lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = ::read(fd, tampon, sizeof tampon)) > 0;)
        texte.append(tampon, static_cast<std::size_t>(n));
    ::close(fd);
    return texte;
}

int CodeDeFin(int etat) {
    if (WIFEXITED(etat))
        return WEXITSTATUS(etat);
    if (WIFSIGNALED(etat))
        return 128 + WTERMSIG(etat);
    return -1;
}

Fin Executer(const Lancement& l) {
    Fin fin;
    const int sortie = FichierEnMemoire("sortie");
    const int erreur = FichierEnMemoire("erreur");
    const Preparation preparation(l);
    const pid_t pid = ::fork();
    if (pid == 0)
        DevenirLeProgramme(preparation, sortie, erreur);
    // Le délai se compte sur un descripteur du processus : poll rend à sa fin ou au délai.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    pollfd attente{pidfd, POLLIN, 0};
    if (pidfd >= 0 && ::poll(&attente, 1, l.delaiSecondes * 1000) == 0) {
        ::kill(pid, SIGKILL);
        fin.horsDelai = true;
    }
    if (pidfd >= 0)
        ::close(pidfd);
    int etat = 0;
    while (::waitpid(pid, &etat, 0) < 0 && errno == EINTR) {
    }
    fin.code = CodeDeFin(etat);
    fin.sortie = RelireFichierEnMemoire(sortie);
    fin.erreur = RelireFichierEnMemoire(erreur);
    return fin;
}

} // namespace vek::coupure
