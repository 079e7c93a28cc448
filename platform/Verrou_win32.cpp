// Verrou du dossier de sortie : LockFileEx sur un fichier du dossier, supprimé à sa fermeture.

#include "Verrou.h"

#include "Fichiers.h"
#include "Systeme.h"
#include "Validation.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vek {

bool VerrouDossier::Prendre(const std::string& dossier) {
    Relacher();
    chemin_ = JoindreChemin(dossier, NomVerrou);
    raison_.clear();
    occupe_ = false;
    HANDLE h = CreateFileA(chemin_.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        raison_ =
            "« " + std::string(NomVerrou) + " » ne s'ouvre pas : " + RaisonWindows(GetLastError());
        return false;
    }
    OVERLAPPED zone{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &zone)) {
        CloseHandle(h);
        occupe_ = true;
        raison_ = RaisonOccupe;
        return false;
    }
    poignee_ = h;
    return true;
}

void VerrouDossier::Relacher() {
    if (!poignee_)
        return;
    CloseHandle(static_cast<HANDLE>(poignee_));
    poignee_ = nullptr;
}

int SupprimerTemporairesOrphelins(const std::string& dossier,
                                  const std::vector<std::string_view>& bases) {
    // Sous Windows, le propriétaire n'est pas vérifié : le dossier de sortie est celui de
    // l'utilisateur (à côté du programme, ou dans son %LOCALAPPDATA%).
    int supprimes = 0;
    for (const std::string_view base : bases) {
        const std::string motif =
            JoindreChemin(dossier, std::string(base) + std::string(SuffixeTemporaire) + "*");
        WIN32_FIND_DATAA trouve;
        HANDLE h = FindFirstFileA(motif.c_str(), &trouve);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do {
            // Un lien ou une jonction n'est jamais suivi ni supprimé ; un dossier temporaire (la
            // page découpée) part avec tout ce qu'il contient, sauf l'ancien resté au garage.
            unsigned long processus = 0;
            if (!EstTemporaireDe(trouve.cFileName, base, &processus) ||
                systeme::ProcessusVivant(processus) ||
                (trouve.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                continue;
            const bool estDossier = (trouve.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (TraiterOrphelin(dossier, trouve.cFileName, base, estDossier))
                ++supprimes;
        } while (FindNextFileA(h, &trouve));
        FindClose(h);
    }
    return supprimes;
}

} // namespace vek
