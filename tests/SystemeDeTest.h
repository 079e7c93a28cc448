#pragma once
// Ce que les tests demandent au système, écrit une fois pour POSIX et pour Windows.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace vek::test {

// Retire le droit d'écriture (sous Windows : l'attribut « lecture seule »).
inline void LectureSeule(const std::string& chemin) {
    namespace fs = std::filesystem;
    fs::permissions(chemin,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

// Vrai si le fichier s'ouvre quand même en écriture : root passe outre les droits, et wine lancé
// par root aussi.
inline bool OuvrableEnEcriture(const std::string& chemin) {
    std::FILE* f = std::fopen(chemin.c_str(), "r+b");
    if (f)
        std::fclose(f);
    return f != nullptr;
}

// L'administrateur (root) écrit même là où les droits l'interdisent.
inline bool Administrateur() {
#ifdef _WIN32
    return false;
#else
    return ::geteuid() == 0;
#endif
}

// Lance un programme (le premier argument, son chemin) et attend sa fin : son code de sortie,
// 128 + le signal qui l'a tué, -1 s'il n'a pas pu être lancé. Sous Windows, un programme que
// TerminateProcess arrête rend le code qu'il a reçu.
inline int LancerEtAttendre(const std::vector<std::string>& arguments) {
#ifdef _WIN32
    std::vector<std::string> cites;
    for (const std::string& a : arguments)
        cites.push_back("\"" + a + "\"");
    std::vector<const char*> argv;
    for (const std::string& a : cites)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    return static_cast<int>(::_spawnv(_P_WAIT, arguments.front().c_str(), argv.data()));
#else
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t fils = 0;
    if (::posix_spawn(&fils, argv.front(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int etat = 0;
    if (::waitpid(fils, &etat, 0) != fils)
        return -1;
    return WIFSIGNALED(etat) ? 128 + WTERMSIG(etat) : WEXITSTATUS(etat);
#endif
}

} // namespace vek::test
