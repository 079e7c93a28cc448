// vek-extraire : point d'entrée mince ; tout le travail est dans ExecuterExtraire.

#include <atomic>
#include <cstdio>
#include <iostream>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
// après windows.h
#include <shellapi.h>
#else
#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#endif

#include "Extraire.h"

#ifdef _WIN32
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
#endif

int main(int argc, char** argv) {
    vek::ContexteExtraire contexte;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    SetConsoleCtrlHandler(&SurCtrlConsole, TRUE);
    contexte.arret = arretConsole.get_token();
    contexte.signal = &signalConsole;
    SetConsoleOutputCP(CP_UTF8);
    contexte.erreurEstTerminal = _isatty(_fileno(stderr)) != 0;
    contexte.cheminSysteme = &CheminAnsi;
    std::vector<std::string> args = ArgumentsUtf8();
#else
    // SIGINT et SIGTERM arrêtent la passe proprement : bloqués avant tout autre fil, ils sont
    // attendus par un fil à eux, qui demande l'arrêt au moteur.
    static std::stop_source arret;
    static std::atomic<int> signalRecu{0};
    sigset_t signaux;
    sigemptyset(&signaux);
    sigaddset(&signaux, SIGINT);
    sigaddset(&signaux, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signaux, nullptr);
    std::thread([signaux] {
        int recu = 0;
        if (sigwait(&signaux, &recu) == 0) {
            signalRecu.store(recu);
            arret.request_stop();
        }
    }).detach();
    contexte.arret = arret.get_token();
    contexte.signal = &signalRecu;
    contexte.erreurEstTerminal = isatty(fileno(stderr)) != 0;
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
    std::ios::sync_with_stdio(false);
    const int code = vek::ExecuterExtraire(std::move(args), std::cout, std::cerr, contexte);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "vek-extraire : impossible d'écrire sur la sortie standard.\n";
        return code == vek::SortieSucces ? vek::SortieEchecFichier : code;
    }
    return code;
}
