// vek-bench-estimation JOURNAL JOURNAL… : le temps de l'estimation des horloges et des joueurs
// d'une fusion (ce que fait chaque passe sur plusieurs journaux avant de les lire), et ce
// qu'elle dit de chaque journal. Le meilleur de cinq essais.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Estimation.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage : vek-bench-estimation JOURNAL JOURNAL…\n");
        return 2;
    }
    const std::vector<vek::NomFichier> journaux(argv + 1, argv + argc);
    const std::vector<vek::DonneesJournal> donnees(journaux.size());
    double meilleur = 1e9;
    std::vector<vek::JournalDeSource> e;
    for (int essai = 0; essai < 5; ++essai) {
        const auto debut = std::chrono::steady_clock::now();
        e = vek::EstimerJournaux(journaux, donnees);
        const std::chrono::duration<double> duree = std::chrono::steady_clock::now() - debut;
        meilleur = std::min(meilleur, duree.count());
    }
    for (std::size_t i = 0; i < journaux.size() && i < e.size(); ++i)
        std::printf("%s\n",
                    vek::DireEstimation(journaux[i], journaux.front(), e[i], i == 0).c_str());
    std::printf("estimation : %.3f s (meilleur de 5)\n", meilleur);
    return 0;
}
