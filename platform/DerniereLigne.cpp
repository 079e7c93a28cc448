#include "Lecture.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <vector>

#include "Erreurs.h"
#include "Octets.h"
#include "Systeme.h"

namespace vek {

namespace {

using systeme::AllerA;
using systeme::Position;
using systeme::PositionActuelle;

// La fin de la dernière ligne d'un fichier de taille octets (non vide) : avant sa fin de ligne
// finale (LF, CR LF ou CR), qui n'appartient pas à la ligne ; -1 si la lecture échoue.
Position FinDeLaDerniereLigne(std::FILE* f, Position taille) {
    Position fin = taille;
    char c = 0;
    const auto lireOctet = [&](Position p) {
        return AllerA(f, p, SEEK_SET) == 0 && std::fread(&c, 1, 1, f) == 1;
    };
    if (!lireOctet(fin - 1))
        return -1;
    if (c == '\n' || c == '\r') {
        --fin;
        if (c == '\n' && fin > 0) {
            if (!lireOctet(fin - 1))
                return -1;
            if (c == '\r')
                --fin;
        }
    }
    return fin;
}

// Le début de la ligne qui finit à fin : après la fin de ligne précédente, cherchée par blocs
// depuis la fin ; -1 si la lecture échoue.
Position DebutDeLaLigne(std::FILE* f, Position fin) {
    constexpr Position Bloc = 1 << 16;
    std::vector<char> tampon(static_cast<std::size_t>(Bloc));
    for (Position position = fin; position > 0;) {
        const Position n = std::min(Bloc, position);
        position -= n;
        if (AllerA(f, position, SEEK_SET) != 0 ||
            std::fread(tampon.data(), 1, static_cast<std::size_t>(n), f) !=
                static_cast<std::size_t>(n))
            return -1;
        Position k = n - 1;
        while (k >= 0 && !EstFinDeLigne(tampon[static_cast<std::size_t>(k)]))
            --k;
        if (k >= 0)
            return position + k + 1;
    }
    return 0;
}

// Les maximum premiers octets de la dernière ligne du fichier ouvert ; faux si elle ne se lit
// pas, code dit pourquoi (0 : le fichier est vide).
bool LireDerniereLigneOuverte(std::FILE* f, std::string& ligne, std::size_t maximum, int& code) {
    code = 0;
    if (AllerA(f, 0, SEEK_END) != 0) {
        code = DernierCode();
        return false;
    }
    const Position taille = PositionActuelle(f);
    if (taille == 0)
        return false;
    const Position fin = taille > 0 ? FinDeLaDerniereLigne(f, taille) : -1;
    const Position debut = fin >= 0 ? DebutDeLaLigne(f, fin) : -1;
    if (debut < 0) {
        code = DernierCode();
        return false;
    }
    // Seul le début de la ligne est lu : une ligne démesurée ne passe pas en mémoire.
    const std::size_t longueur = std::min(static_cast<std::size_t>(fin - debut), maximum);
    ligne.resize(longueur);
    if (longueur > 0 &&
        (AllerA(f, debut, SEEK_SET) != 0 || std::fread(ligne.data(), 1, longueur, f) != longueur)) {
        ligne.clear();
        code = DernierCode();
        return false;
    }
    return true;
}

} // namespace

bool LireDerniereLigne(const std::string& chemin, std::string& ligne, std::size_t maximum,
                       std::string* raison) {
    ligne.clear();
    struct stat info {};
    if (::stat(chemin.c_str(), &info) != 0 || (info.st_mode & S_IFMT) == S_IFDIR) {
        if (raison)
            *raison = RaisonSysteme((info.st_mode & S_IFMT) == S_IFDIR ? EISDIR : DernierCode());
        return false;
    }
    errno = 0;
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f) {
        if (raison)
            *raison = RaisonSysteme(DernierCode());
        return false;
    }
    int code = 0;
    const bool lue = LireDerniereLigneOuverte(f, ligne, maximum, code);
    std::fclose(f);
    if (!lue && code != 0 && raison)
        *raison = RaisonSysteme(code);
    return lue;
}

} // namespace vek
