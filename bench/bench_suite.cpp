// Mesure de la recherche qui ne lit que la suite d'un journal : une recherche complète, puis,
// après l'ajout d'octets (des lignes du journal recopiées, datées du jour cherché), la même
// recherche qui ne lit que ce qui a été ajouté. Le journal donné est modifié : donnez une copie.
//
// Utilisation : vek-bench-suite JOURNAL JJ/MM/AAAA [JJ/MM/AAAA] [OCTETS_AJOUTES]
//
// La période va du premier jour au second (le premier seul par défaut) ; les lignes ajoutées
// sont datées du dernier. Chaque recherche est donnée en temps écoulé et en temps processeur du
// programme (tous ses fils) : sur une machine partagée, le second dit ce que le premier ne peut.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "Moteur.h"

namespace {

double Secondes(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Processeur(std::clock_t depuis) {
    return static_cast<double>(std::clock() - depuis) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "utilisation : vek-bench-suite JOURNAL JJ/MM/AAAA [OCTETS]\n");
        return 2;
    }
    const std::string journal = argv[1];
    const auto debut = vek::ConvertirDate(argv[2]);
    int suivant = 3;
    auto jour = debut;
    if (argc > 3 && std::strchr(argv[3], '/'))
        jour = vek::ConvertirDate(argv[suivant++]);
    const std::size_t ajout =
        argc > suivant ? std::strtoull(argv[suivant], nullptr, 10) : (1u << 20);
    if (!debut || !jour) {
        std::fprintf(stderr, "date illisible\n");
        return 2;
    }
    const auto dossier = std::filesystem::temp_directory_path() / "vek-bench-suite";
    std::filesystem::create_directories(dossier);
    vek::Moteur module{vek::ReglagesMoteur{dossier.string()}};
    vek::Progression progression;
    auto t0 = std::chrono::steady_clock::now();
    auto c0 = std::clock();
    const auto complete =
        module.Rechercher({journal, vek::Periode::Jours(*debut, *jour)}, progression);
    const double tComplete = Secondes(std::chrono::steady_clock::now() - t0);
    const double cComplete = Processeur(c0);
    if (!complete.ok()) {
        std::fprintf(stderr, "%s\n", complete.Echec().Message().c_str());
        return 1;
    }
    // Des lignes du jour cherché, jusqu'à la taille demandée.
    std::string lignes;
    for (int n = 0; lignes.size() < ajout; ++n) {
        char l[160];
        std::snprintf(l, sizeof l,
                      "%02d/%02d/%04d 23:59:59 - [Commerce] \"Ajout%d\": ligne ajoutee %d\r\n",
                      jour->mois, jour->jour, jour->annee, n % 97, n);
        lignes += l;
    }
    std::ofstream(journal, std::ios::binary | std::ios::app) << lignes;
    t0 = std::chrono::steady_clock::now();
    c0 = std::clock();
    const auto suite =
        module.Rechercher({journal, vek::Periode::Jours(*debut, *jour)}, progression);
    const double tSuite = Secondes(std::chrono::steady_clock::now() - t0);
    const double cSuite = Processeur(c0);
    if (!suite.ok()) {
        std::fprintf(stderr, "%s\n", suite.Echec().Message().c_str());
        return 1;
    }
    std::printf("recherche complète : %.3f s écoulées, %.3f s de processeur (%llu lignes)\n",
                tComplete, cComplete, static_cast<unsigned long long>(complete->lignesLues));
    std::printf("suite de %.2f Mo : %.1f ms écoulées, %.1f ms de processeur (%s), %llu lignes "
                "en tout\n",
                static_cast<double>(lignes.size()) / (1 << 20), tSuite * 1000, cSuite * 1000,
                suite->suite ? "suite seule" : "tout relu",
                static_cast<unsigned long long>(suite->lignesLues));
    std::filesystem::remove_all(dossier);
    return suite->suite && tSuite <= 0.050 ? 0 : 1;
}
