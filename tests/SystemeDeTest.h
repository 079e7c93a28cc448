#pragma once
// Ce que les tests demandent au système, écrit une fois pour POSIX et pour Windows.

#include <cstdio>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <unistd.h>
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

} // namespace vek::test
