// Ouverture d'un document par le gestionnaire par défaut de Windows (ShellExecuteA).

#include "Lanceur.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// shellapi.h a besoin des définitions de windows.h.
#include <shellapi.h>

#include <cstdint>

namespace vek {

bool LanceurSysteme::OuvrirDocument(const NomFichier& document) {
    // Le bureau comme fenêtre propriétaire, dossier de travail « C:\ », paramètres vides.
    HWND proprietaire = GetDesktopWindow();
    HINSTANCE resultat =
        ShellExecuteA(proprietaire, "Open", document.c_str(), "", "C:\\", SW_SHOWNORMAL);
    // Au-delà de 32, le gestionnaire a démarré ; 32 ou moins est un code d'échec.
    return reinterpret_cast<std::intptr_t>(resultat) > 32;
}

} // namespace vek
