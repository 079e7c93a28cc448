// Le lecteur de lignes contre un découpage naïf (LF, CR LF ou CR finissent une ligne ; une
// dernière ligne sans fin compte), avec un tampon minuscule pour que les lignes chevauchent les
// remplissages : lecture, saut, début de ligne, ligne cédée, comptage et dernière ligne.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "Fichiers.h"
#include "Verifier.h"

namespace {

std::vector<std::string> Decouper(const std::string& t) {
    std::vector<std::string> lignes;
    std::string courante;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' || t[i] == '\n') {
            if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
                ++i;
            lignes.push_back(courante);
            courante.clear();
        } else {
            courante += t[i];
        }
    }
    if (!courante.empty())
        lignes.push_back(courante);
    return lignes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace vek;
    if (taille < 2)
        return 0;
    const std::size_t tailleTampon = 1 + donnees[0] % 48;
    const unsigned facons = donnees[1];
    const std::string contenu(reinterpret_cast<const char*>(donnees) + 2, taille - 2);
    static const std::string chemin = "/tmp/vek-fuzz-lecteur-" + std::to_string(::getpid());
    {
        std::FILE* f = std::fopen(chemin.c_str(), "wb");
        VERIFIER(f != nullptr);
        VERIFIER(std::fwrite(contenu.data(), 1, contenu.size(), f) == contenu.size());
        std::fclose(f);
    }
    const std::vector<std::string> attendues = Decouper(contenu);

    LecteurTexte lecteur(tailleTampon);
    VERIFIER(lecteur.Ouvrir(chemin));
    std::size_t i = 0;
    for (; !lecteur.FinFichier(); ++i) {
        VERIFIER(i < attendues.size());
        switch ((facons >> (2 * (i % 4))) & 3u) {
        case 0:
            VERIFIER(lecteur.LireLigne() == attendues[i]);
            break;
        case 1:
            VERIFIER(lecteur.LireDebutDeLigne(0).empty()); // passe la ligne
            break;
        case 2: {
            const std::size_t n = i % 7;
            VERIFIER(lecteur.LireDebutDeLigne(n) == attendues[i].substr(0, n));
            break;
        }
        default: {
            const std::string vue(lecteur.LireLigne());
            VERIFIER(vue == attendues[i]);
            if (lecteur.LigneLongue())
                VERIFIER(lecteur.CederLigneLongue() == attendues[i]);
        }
        }
    }
    VERIFIER(i == attendues.size() && !lecteur.Raccourci() && !lecteur.ErreurLecture());

    LecteurTexte compteur(tailleTampon);
    VERIFIER(compteur.Ouvrir(chemin));
    VERIFIER(compteur.CompterLignes() == attendues.size());

    std::string derniere;
    VERIFIER(LireDerniereLigne(chemin, derniere) == !attendues.empty());
    if (!attendues.empty()) {
        VERIFIER(derniere == attendues.back());
        VERIFIER(LireDerniereLigne(chemin, derniere, 3) &&
                 derniere == attendues.back().substr(0, 3));
    }
    return 0;
}
