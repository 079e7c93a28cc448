// La passe de recherche d'une requête, seule, pour la mesurer à côté de grep -ci et rg -ci.
//
// Utilisation : vek-bench-chercher [--garder] [--pause MINUTES] REQUÊTE JOURNAL
//
// Imprime le nombre de lignes trouvées (comme grep -c), puis sur la sortie d'erreur le nombre de
// lignes lues et de séances où il y a des résultats. Les lignes trouvées vont à un receveur qui
// les compte (la mémoire ne dépend pas de leur nombre) ; avec --garder, le résultat les garde
// comme la fenêtre le fera (les 10 000 premières).

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "TrouverScene.h"

int main(int argc, char** argv) {
    bool garder = false;
    int pause = vek::PauseSessionsParDefaut;
    int i = 1;
    for (; i < argc && std::string_view(argv[i]).starts_with("--"); ++i) {
        if (std::string_view(argv[i]) == "--garder")
            garder = true;
        else if (std::string_view(argv[i]) == "--pause" && i + 1 < argc)
            pause = std::atoi(argv[++i]);
        else
            break;
    }
    if (argc - i != 2) {
        std::fprintf(stderr, "utilisation : vek-bench-chercher [--garder] [--pause MINUTES] "
                             "REQUÊTE JOURNAL\n");
        return 2;
    }
    auto requete = vek::AnalyserRequete(argv[i]);
    if (!requete.ok()) {
        std::fprintf(stderr, "%s\n", requete.Echec().Message().c_str());
        return 2;
    }
    vek::DemandeScene demande{vek::NomFichier(argv[i + 1]), std::move(*requete), std::nullopt,
                              pause};
    std::uint64_t recues = 0;
    const vek::ReceveurLignes compter = [&recues](const vek::LigneTrouvee&) { ++recues; };
    vek::Progression progression;
    const auto r =
        vek::TrouverScene(demande, progression, {}, garder ? vek::ReceveurLignes{} : compter);
    if (!r.ok()) {
        std::fprintf(stderr, "%s\n", r.Echec().Message().c_str());
        return 2;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(r->trouvees));
    std::fprintf(stderr, "%llu lignes lues, %zu séances avec des résultats\n",
                 static_cast<unsigned long long>(r->lignesLues), r->seances.size());
    return 0;
}
