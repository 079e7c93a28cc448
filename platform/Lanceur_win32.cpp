// Ouverture d'un document par le gestionnaire par défaut de Windows (ShellExecuteA).

#include "Lanceur.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// shellapi.h a besoin des définitions de windows.h.
#include <shellapi.h>

namespace vek {

std::int16_t LanceurSysteme::OuvrirDocument(const std::string& document) {
    // Le bureau comme fenêtre propriétaire, dossier de travail « C:\ », paramètres vides.
    HWND proprietaire = GetDesktopWindow();
    HINSTANCE resultat =
        ShellExecuteA(proprietaire, "Open", document.c_str(), "", "C:\\", SW_SHOWNORMAL);
    return static_cast<std::int16_t>(reinterpret_cast<std::intptr_t>(resultat));
}

} // namespace vek
