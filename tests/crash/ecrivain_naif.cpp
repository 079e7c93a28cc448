// vek-ecrivain-naif DOSSIER MANIÈRE : remplace LogFinal.txt et LogFinal.html du dossier par
// « nouveau <nom> », de manières qu'une coupure de courant prend en défaut ; les essais du banc
// vérifient qu'il les trouve. Manières :
//   en-place       : chaque sortie réécrite sur place (O_TRUNC), sans fsync ;
//   sans-synchro   : écrite sous un nom temporaire puis renommée, sans aucun fsync ;
//   deux-renommages : les deux temporaires écrits et sur le disque, puis deux renommages
//                    sans enregistrement : une coupure entre les deux mêle les sorties.

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

bool Ecrire(const std::string& chemin, const std::string& texte, int drapeaux, bool synchro) {
    const int fd = ::open(chemin.c_str(), O_WRONLY | O_CREAT | drapeaux, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, texte.data(), texte.size()) == static_cast<ssize_t>(texte.size()) &&
                    (!synchro || ::fsync(fd) == 0);
    return ::close(fd) == 0 && ok;
}

std::string Temporaire(const std::string& cible, int rang) {
    char nom[64];
    std::snprintf(nom, sizeof nom, ".tmp-%d-%016x", static_cast<int>(::getpid()), rang + 1);
    return cible + nom;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const std::string dossier = argv[1], maniere = argv[2];
    const std::string noms[] = {"LogFinal.txt", "LogFinal.html"};
    if (maniere == "en-place") {
        for (const std::string& nom : noms)
            if (!Ecrire(dossier + "/" + nom, "nouveau " + nom, O_TRUNC, false))
                return 1;
        return 0;
    }
    const bool synchro = maniere == "deux-renommages";
    for (int i = 0; i < 2; ++i)
        if (!Ecrire(Temporaire(dossier + "/" + noms[i], i), "nouveau " + noms[i], O_EXCL, synchro))
            return 1;
    for (int i = 0; i < 2; ++i)
        if (::rename(Temporaire(dossier + "/" + noms[i], i).c_str(),
                     (dossier + "/" + noms[i]).c_str()) != 0)
            return 1;
    if (synchro) {
        const int d = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY);
        ::fsync(d);
        ::close(d);
    }
    return maniere == "sans-synchro" || synchro ? 0 : 2;
}
