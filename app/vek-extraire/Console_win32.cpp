#include "Console.h"

#include <atomic>
#include <cstdio>
#include <stop_token>

#include <io.h>
#include <windows.h>
// après windows.h
#include <shellapi.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace vek {

namespace {

std::string Convertir(const wchar_t* texte, int longueur, UINT pageCode) {
    const int n = WideCharToMultiByte(pageCode, 0, texte, longueur, nullptr, 0, nullptr, nullptr);
    std::string sortie(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(pageCode, 0, texte, longueur, sortie.data(), n, nullptr, nullptr);
    return sortie;
}

// Les arguments en UTF-8, depuis la ligne de commande en UTF-16 (argv est dans la page de code
// ANSI, qui ne sait pas tout écrire).
std::vector<std::string> ArgumentsUtf8() {
    std::vector<std::string> args;
    int n = 0;
    wchar_t** argvW = CommandLineToArgvW(GetCommandLineW(), &n);
    for (int i = 1; argvW != nullptr && i < n; ++i)
        args.push_back(Convertir(argvW[i], -1, CP_UTF8));
    LocalFree(argvW);
    for (auto& a : args)
        if (!a.empty() && a.back() == '\0')
            a.pop_back();
    return args;
}

// Les fonctions de fichiers « A » du moteur attendent la page de code ANSI.
std::string CheminAnsi(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring large(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), large.data(),
                            n);
    return Convertir(large.data(), static_cast<int>(large.size()), CP_ACP);
}

// Ctrl+C et Ctrl+Attn arrêtent la passe proprement, comme SIGINT ailleurs : le système appelle
// ce gestionnaire sur un fil à lui.
std::stop_source arretConsole;
std::atomic<int> signalConsole{0};

BOOL WINAPI SurCtrlConsole(DWORD evenement) {
    if (evenement != CTRL_C_EVENT && evenement != CTRL_BREAK_EVENT)
        return FALSE;
    signalConsole.store(2); // SIGINT : code de sortie 130
    arretConsole.request_stop();
    return TRUE;
}

} // namespace

std::vector<std::string> PreparerConsole(int, char**, ContexteExtraire& contexte) {
    SetConsoleCtrlHandler(&SurCtrlConsole, TRUE);
    contexte.arret = arretConsole.get_token();
    contexte.signal = &signalConsole;
    SetConsoleOutputCP(CP_UTF8);
    contexte.erreurEstTerminal = _isatty(_fileno(stderr)) != 0;
    contexte.sortieEstTerminal = _isatty(_fileno(stdout)) != 0;
    // Le gras seulement si la console lit déjà les échappements ANSI (Windows Terminal) : son
    // mode n'est pas changé pour autant.
    DWORD mode = 0;
    contexte.grasSurLaSortie = contexte.sortieEstTerminal &&
                               GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) &&
                               (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
    contexte.cheminSysteme = &CheminAnsi;
    return ArgumentsUtf8();
}

bool SortieStandardRompue() {
    return GetLastError() == ERROR_BROKEN_PIPE || GetLastError() == ERROR_NO_DATA;
}

} // namespace vek
