// Ouverture d'un document ou d'une adresse web par le gestionnaire par défaut du bureau.

#include "Lanceur.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// shellapi.h a besoin des définitions de windows.h.
#include <shellapi.h>
#else
#include "InfoSysteme.h"

#include <cerrno>
#endif

namespace vek {

#ifdef _WIN32

std::int16_t LanceurSysteme::OuvrirDocument(const std::string& document) {
    // Le bureau comme fenêtre propriétaire, dossier de travail « C:\ », paramètres vides.
    HWND proprietaire = GetDesktopWindow();
    HINSTANCE resultat =
        ShellExecuteA(proprietaire, "Open", document.c_str(), "", "C:\\", SW_SHOWNORMAL);
    return static_cast<std::int16_t>(reinterpret_cast<std::intptr_t>(resultat));
}

#else

namespace {

// Codes d'échec au sens de l'interpréteur de Windows (32 ou moins).
constexpr std::int16_t CodeFichierIntrouvable = 2;
constexpr std::int16_t CodeSansAssociation = 31;
constexpr std::int16_t CodeSucces = 42;

#ifdef __APPLE__
constexpr const char* OuvreurBureau = "open";
#else
constexpr const char* OuvreurBureau = "xdg-open";
#endif

} // namespace

std::int16_t LanceurSysteme::OuvrirDocument(const std::string& document) {
    // Le document voyage comme un seul argument : un chemin avec des espaces reste entier.
    int erreur = 0;
    if (DemarrerDetache({OuvreurBureau, document}, &erreur))
        return CodeSucces;
    return erreur == ENOENT ? CodeFichierIntrouvable : CodeSansAssociation;
}

#endif

} // namespace vek
