// vek-extraire : point d'entrée mince ; tout le travail est dans ExecuterExtraire.

#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "Console.h"
#include "Extraire.h"
#include "Messages.h"

int main(int argc, char** argv) {
    vek::ContexteExtraire contexte;
    std::vector<std::string> args = vek::PreparerConsole(argc, argv, contexte);
    std::ios::sync_with_stdio(false);
    const int code = vek::ExecuterExtraire(std::move(args), std::cout, std::cerr, contexte);
    std::cout.flush();
    if (!std::cout) {
        if (vek::SortieStandardRompue())
            return vek::SortieEchecFichier; // le lecteur (head) a eu ce qu'il voulait
        vek::Messages(std::cerr).Avertir("impossible d'écrire sur la sortie standard.");
        return code == vek::SortieSucces ? vek::SortieEchecFichier : code;
    }
    return code;
}
