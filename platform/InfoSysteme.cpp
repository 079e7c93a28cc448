// Lanceur de l'outil d'informations système et démarrage détaché d'un programme.

#include "InfoSysteme.h"

#include "VersionVEK.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vek {

namespace {

// Les deux emplacements dans l'ordre, puis le démarrage ; faux à la première impasse.
bool TrouverEtDemarrer(Registre& registre, ServicesInfoSysteme& services) {
    std::string chemin;
    if (!LireCleRegistre(registre, CleMachineLocale, std::string(SousCleCheminOutil),
                         std::string(ValeurCheminOutil), chemin)) {
        if (!LireCleRegistre(registre, CleMachineLocale, std::string(SousCleDossierOutil),
                             std::string(ValeurDossierOutil), chemin))
            return false;
        chemin += FichierOutil;
        if (!services.FichierPresent(chemin))
            return false;
    }
    // Le chemin du premier emplacement n'est pas vérifié : un chemin qui ne mène à aucun
    // programme fait échouer le démarrage.
    return services.DemarrerProgramme(chemin);
}

} // namespace

void LancerInfoSysteme(Registre& registre, ServicesInfoSysteme& services) {
    bool demarre = false;
    try {
        demarre = TrouverEtDemarrer(registre, services);
    } catch (...) {
        // Toute erreur, d'où qu'elle vienne, finit par le message.
        demarre = false;
    }
    if (!demarre)
        services.Message(TexteInfoSystemeIndisponible, VEK_NOM_PRODUIT);
}

#ifdef _WIN32

bool ServicesInfoSystemeNatifs::FichierPresent(const std::string& chemin) {
    const DWORD attributs = GetFileAttributesA(chemin.c_str());
    if (attributs == INVALID_FILE_ATTRIBUTES)
        return false;
    constexpr DWORD exclus =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributs & exclus) == 0;
}

bool ServicesInfoSystemeNatifs::DemarrerProgramme(const std::string& chemin) {
    if (chemin.empty())
        return false;
    return DemarrerDetache({chemin});
}

bool DemarrerDetache(const std::vector<std::string>& arguments, int* erreur) {
    if (arguments.empty() || arguments.front().empty()) {
        if (erreur)
            *erreur = ERROR_FILE_NOT_FOUND;
        return false;
    }
    // Ligne de commande : chaque argument entre guillemets, guillemets internes protégés.
    std::string ligne;
    for (const std::string& argument : arguments) {
        if (!ligne.empty())
            ligne += ' ';
        ligne += '"';
        std::size_t barres = 0;
        for (char c : argument) {
            if (c == '\\') {
                ++barres;
            } else if (c == '"') {
                ligne.append(barres + 1, '\\');
                barres = 0;
            } else {
                barres = 0;
            }
            ligne += c;
        }
        ligne.append(barres, '\\');
        ligne += '"';
    }
    STARTUPINFOA demarrage{};
    demarrage.cb = sizeof demarrage;
    demarrage.dwFlags = STARTF_USESHOWWINDOW;
    demarrage.wShowWindow = SW_SHOWNORMAL; // fenêtre normale, activée
    PROCESS_INFORMATION processus{};
    const char* application = arguments.front().find_first_of("\\/") != std::string::npos
                                  ? arguments.front().c_str()
                                  : nullptr;
    if (!CreateProcessA(application, ligne.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, nullptr, &demarrage, &processus)) {
        if (erreur)
            *erreur = static_cast<int>(GetLastError());
        return false;
    }
    CloseHandle(processus.hThread);
    CloseHandle(processus.hProcess);
    return true;
}

#else

bool ServicesInfoSystemeNatifs::FichierPresent(const std::string& chemin) {
    struct stat etat {};
    if (::stat(chemin.c_str(), &etat) != 0 || !S_ISREG(etat.st_mode))
        return false;
    // Un nom qui commence par un point est un fichier caché.
    const std::size_t barre = chemin.find_last_of('/');
    const std::size_t debutNom = barre == std::string::npos ? 0 : barre + 1;
    return debutNom >= chemin.size() || chemin[debutNom] != '.';
}

bool ServicesInfoSystemeNatifs::DemarrerProgramme(const std::string& chemin) {
    if (chemin.empty())
        return false;
    return DemarrerDetache({chemin});
}

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
    if (intermediaire == 0) {
        // Fils intermédiaire : nouvelle session, lance le petit-fils et s'en va aussitôt, pour
        // que le programme démarré ne reste pas rattaché à nous.
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
            ::execvp(argv[0], argv.data());
            EcrireErreur(tube[1], errno);
            ::_exit(127);
        }
        ::_exit(0);
    }

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

#endif

} // namespace vek
