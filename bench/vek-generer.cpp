// vek-generer : écrit un journal de discussion réaliste et déterministe (Windows-1252, CR LF).
//
// Le journal d'exemple du dépôt se régénère, depuis la racine du dépôt, par (une seule ligne) :
//   build/dev/bench/vek-generer --lignes 200 --locuteurs 12 --channels 4 --graine 2001
//       --debut 24/12/2001 --fin 27/12/2001 --sortie exemples/journal-exemple.txt
// Le grand journal des mesures est fabriqué par bench/bench.sh.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "GenerateurJournal.h"
#include "GenerateurScene.h"

#include <vector>

namespace {

const char* const Aide = R"(Utilisation : vek-generer [OPTIONS]

Écrit un journal de discussion de Q7R fabriqué (Windows-1252, lignes terminées par CR LF) :
messages de channels, de proximité, paroles de l'utilisateur, chuchotements reçus, quelques
lignes non datées. Les mêmes options donnent toujours le même fichier.

  --lignes N          nombre de lignes (défaut 200)
  --locuteurs N       nombre de locuteurs distincts (défaut 12)
  --channels N        nombre de channels (défaut 4)
  --graine N          graine du tirage (défaut 1)
  --debut JJ/MM/AAAA  premier jour (défaut 24/12/2001)
  --fin JJ/MM/AAAA    dernier jour (défaut 27/12/2001)
  --sortie FICHIER    fichier à écrire (défaut : la sortie standard)
  -h, --help          cette aide

  --scene N A B…      à la place : une scène de N messages vue par deux joueurs, Aldric et
                      Brune (horloge en avance d'une heure et sept secondes), leurs deux journaux
                      écrits dans A et B ; un troisième, Cœlio (en retard de sept secondes), si C
                      est donné. Chacun entend 35 % de ce qui se dit à proximité ; ils partagent
                      un channel sur trois (les journaux des mesures de la fusion).
)";

bool LireEntier(const std::string& texte, std::uint64_t& valeur) {
    if (texte.empty() || texte[0] == '-')
        return false;
    char* fin = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(texte.c_str(), &fin, 10);
    if (errno != 0 || *fin != '\0')
        return false;
    valeur = v;
    return true;
}

int Erreur(const std::string& message) {
    std::cerr << "vek-generer : " << message << "\nEssayez « vek-generer --help ».\n";
    return 2;
}

} // namespace

// La scène : N messages, les journaux de deux ou trois joueurs.
int EcrireUneScene(int argc, char** argv) {
    std::uint64_t n = 0;
    if (argc < 5 || argc > 6 || !LireEntier(argv[2], n))
        return Erreur("--scene attend un nombre de messages et deux ou trois fichiers.");
    vek::ParametresScene p;
    p.messages = n;
    p.ecoute = 35;
    p.joueurs = {{"Aldric", {0, 1}, 0, true}, {"Brune", {1, 2}, 3607, true}};
    if (argc == 6)
        p.joueurs.push_back({"C\x9clio", {1}, -7, true});
    std::vector<std::FILE*> fichiers;
    for (int i = 3; i < argc; ++i)
        if (std::FILE* f = std::fopen(argv[i], "wb"))
            fichiers.push_back(f);
        else
            return Erreur(std::string("impossible de créer « ") + argv[i] + " ».");
    vek::EcrireScene(p, [&](std::size_t k, const std::string& ligne) {
        std::fwrite(ligne.data(), 1, ligne.size(), fichiers[k]);
    });
    bool ok = true;
    for (std::FILE* f : fichiers)
        ok = std::fclose(f) == 0 && ok;
    return ok ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--scene")
        return EcrireUneScene(argc, argv);
    vek::ParametresJournal p;
    std::string sortie;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help") {
            std::cout << Aide;
            return 0;
        }
        if (i + 1 >= argc)
            return Erreur("l'option " + option + " attend une valeur (ou est inconnue).");
        const std::string valeur = argv[++i];
        std::uint64_t n = 0;
        if (option == "--lignes" || option == "--graine") {
            if (!LireEntier(valeur, n))
                return Erreur("« " + valeur + " » n'est pas un nombre pour " + option + ".");
            (option == "--lignes" ? p.lignes : p.graine) = n;
        } else if (option == "--locuteurs" || option == "--channels") {
            if (!LireEntier(valeur, n) || n < 1 || n > 1000000)
                return Erreur("« " + valeur + " » ne convient pas pour " + option + ".");
            (option == "--locuteurs" ? p.locuteurs : p.channels) = static_cast<int>(n);
        } else if (option == "--debut" || option == "--fin") {
            if (!vek::LireJourCivil(valeur, option == "--debut" ? p.debut : p.fin))
                return Erreur("« " + valeur + " » n'est pas une date JJ/MM/AAAA.");
        } else if (option == "--sortie") {
            sortie = valeur;
        } else {
            return Erreur("option inconnue « " + option + " ».");
        }
    }
    std::FILE* fichier = sortie.empty() ? stdout : std::fopen(sortie.c_str(), "wb");
    if (fichier == nullptr) {
        std::cerr << "vek-generer : impossible de créer « " << sortie
                  << " » : " << std::strerror(errno) << "\n";
        return 1;
    }
    const bool ok = vek::EcrireJournal(p, fichier);
    const bool ferme = sortie.empty() || std::fclose(fichier) == 0;
    if (!ok || !ferme) {
        std::cerr << "vek-generer : échec de l'écriture du journal.\n";
        return 1;
    }
    return 0;
}
