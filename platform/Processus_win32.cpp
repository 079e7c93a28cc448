// Démarrage détaché d'un programme sous Windows (CreateProcessA).

#include "Processus.h"

#include <windows.h>

namespace vek {

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

} // namespace vek
