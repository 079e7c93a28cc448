#pragma once
// Lancer un programme du banc : dans un dossier, avec un environnement, sorties recueillies,
// arrêté passé son délai. Sans traceur (Executer) ou sous le traceur (Traceur.h).

#include <string>
#include <vector>

namespace vek::coupure {

struct Lancement {
    std::vector<std::string> commande;      // le programme (chemin) puis ses arguments
    std::string dossier;                    // le dossier courant du programme
    std::vector<std::string> environnement; // « NOM=valeur », ajoutés à celui du banc
    int delaiSecondes = 120;
};

struct Fin {
    int code = -1; // le code de sortie ; 128 + n pour un programme tué par le signal n
    bool horsDelai = false;
    std::string sortie;
    std::string erreur;
};

// Les arguments et l'environnement du programme, prêts avant fork : le fils n'alloue plus rien.
struct Preparation {
    explicit Preparation(const Lancement& l);
    Preparation(const Preparation&) = delete;
    Preparation& operator=(const Preparation&) = delete;
    std::string dossier;
    std::vector<std::string> variables;
    std::vector<char*> argv;
    std::vector<char*> envp;
};
// Dans le fils : dossier et sorties (deux descripteurs), puis le programme. Ne rend jamais la
// main (127 si le programme ne démarre pas).
[[noreturn]] void DevenirLeProgramme(const Preparation& p, int sortie, int erreur);
// Deux fichiers anonymes en mémoire pour les sorties d'un fils, et leur relecture.
int FichierEnMemoire(const char* nom);
std::string RelireFichierEnMemoire(int fd);
// Le code de fin d'un état rendu par waitpid.
int CodeDeFin(int etat);

Fin Executer(const Lancement& l);

} // namespace vek::coupure
