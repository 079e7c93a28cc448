#include "ProcessusTrace.h"

#include <climits>
#include <fcntl.h>
#include <fstream>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace vek::coupure {

std::string LireMemoire(pid_t fil, std::uint64_t adresse, std::size_t longueur) {
    std::string octets(longueur, '\0');
    std::size_t lus = 0;
    while (lus < longueur) {
        iovec local{octets.data() + lus, longueur - lus};
        iovec distant{reinterpret_cast<void*>(adresse + lus), longueur - lus};
        const ssize_t n = ::process_vm_readv(fil, &local, 1, &distant, 1, 0);
        if (n <= 0)
            break;
        lus += static_cast<std::size_t>(n);
    }
    octets.resize(lus);
    return octets;
}

std::string LireChaine(pid_t fil, std::uint64_t adresse) {
    std::string texte;
    // Par morceaux qui ne passent pas une frontière de page : une chaîne au bout de la dernière
    // page lisible se lit quand même.
    while (texte.size() < PATH_MAX) {
        const std::uint64_t ici = adresse + texte.size();
        const std::size_t morceau = static_cast<std::size_t>(4096 - ici % 4096);
        const std::string lu = LireMemoire(fil, ici, morceau);
        const auto zero = lu.find('\0');
        texte += lu.substr(0, zero);
        if (zero != std::string::npos || lu.size() < morceau)
            break;
    }
    return texte;
}

std::string LireVecteurs(pid_t fil, std::uint64_t iov, std::uint64_t nombre, std::size_t longueur) {
    std::string octets;
    const std::string table =
        LireMemoire(fil, iov, static_cast<std::size_t>(nombre) * sizeof(iovec));
    for (std::size_t i = 0; i + sizeof(iovec) <= table.size() && octets.size() < longueur;
         i += sizeof(iovec)) {
        iovec v{};
        table.copy(reinterpret_cast<char*>(&v), sizeof v, i);
        const std::size_t n = std::min(v.iov_len, longueur - octets.size());
        octets += LireMemoire(fil, reinterpret_cast<std::uint64_t>(v.iov_base), n);
    }
    return octets;
}

std::string CheminDuDescripteur(pid_t fil, int fd) {
    const std::string lien = fd == AT_FDCWD
                                 ? "/proc/" + std::to_string(fil) + "/cwd"
                                 : "/proc/" + std::to_string(fil) + "/fd/" + std::to_string(fd);
    char chemin[PATH_MAX + 1] = {};
    const ssize_t n = ::readlink(lien.c_str(), chemin, PATH_MAX);
    if (n <= 0)
        return {};
    std::string s(chemin, static_cast<std::size_t>(n));
    constexpr std::string_view supprime = " (deleted)";
    if (s.size() > supprime.size() &&
        s.compare(s.size() - supprime.size(), supprime.size(), supprime.data()) == 0)
        s.resize(s.size() - supprime.size());
    return s;
}

std::optional<struct stat> EtatDuDescripteur(pid_t fil, int fd) {
    const std::string lien = "/proc/" + std::to_string(fil) + "/fd/" + std::to_string(fd);
    struct stat info {};
    if (::stat(lien.c_str(), &info) != 0)
        return std::nullopt;
    return info;
}

bool PositionDuDescripteur(pid_t fil, int fd, std::uint64_t& position, std::uint64_t& drapeaux) {
    std::ifstream f("/proc/" + std::to_string(fil) + "/fdinfo/" + std::to_string(fd));
    std::string cle;
    bool pos = false, flags = false;
    while (f >> cle) {
        if (cle == "pos:")
            pos = static_cast<bool>(f >> position);
        else if (cle == "flags:")
            flags = static_cast<bool>(f >> std::oct >> drapeaux >> std::dec);
    }
    return pos && flags;
}

std::string Normaliser(const std::string& absolu) {
    std::vector<std::string> parties;
    std::size_t debut = 0;
    while (debut <= absolu.size()) {
        const auto fin = std::min(absolu.find('/', debut), absolu.size());
        const std::string partie = absolu.substr(debut, fin - debut);
        if (partie == "..") {
            if (!parties.empty())
                parties.pop_back();
        } else if (!partie.empty() && partie != ".") {
            parties.push_back(partie);
        }
        debut = fin + 1;
    }
    std::string chemin;
    for (const std::string& p : parties)
        chemin += "/" + p;
    return chemin.empty() ? "/" : chemin;
}

} // namespace vek::coupure
