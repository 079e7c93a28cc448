#include "Disque.h"

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vek::coupure {

namespace fs = std::filesystem;

void EcrireDans(std::string& contenu, std::uint64_t position, std::string_view octets) {
    const std::size_t debut = static_cast<std::size_t>(position);
    if (contenu.size() < debut + octets.size())
        contenu.resize(debut + octets.size(), '\0');
    contenu.replace(debut, octets.size(), octets);
}

void Appliquer(EtatDisque& etat, const Operation& op) {
    const auto cle = [](const Entree& e) { return std::make_pair(e.dossier, e.nom); };
    switch (op.genre) {
    case Genre::Creer:
        etat.entrees[cle(op.a)] = op.noeud;
        etat.contenus.try_emplace(op.noeud);
        break;
    case Genre::CreerDossier:
        etat.entrees[cle(op.a)] = op.noeud;
        etat.dossiers.insert(op.noeud);
        break;
    case Genre::Renommer:
        etat.entrees.erase(cle(op.a));
        etat.entrees[cle(op.b)] = op.noeud;
        break;
    case Genre::Echanger:
        etat.entrees[cle(op.a)] = op.autre;
        etat.entrees[cle(op.b)] = op.noeud;
        break;
    case Genre::Supprimer:
    case Genre::SupprimerDossier:
        etat.entrees.erase(cle(op.a));
        break;
    case Genre::Ecrire:
        EcrireDans(etat.contenus[op.noeud], op.position, op.octets);
        break;
    case Genre::Tronquer:
        etat.contenus[op.noeud].resize(static_cast<std::size_t>(op.position), '\0');
        break;
    case Genre::SyncFichier:
    case Genre::SyncDossier:
    case Genre::SyncTout:
        break;
    }
}

namespace {

void Parcourir(const EtatDisque& etat, Noeud dossier, const std::string& chemin,
               std::set<Noeud>& vus, std::vector<Element>& elements) {
    if (!vus.insert(dossier).second)
        return; // un dossier déjà vu (un cycle d'un état désordonné) n'est pas repris
    for (auto it = etat.entrees.lower_bound({dossier, std::string()});
         it != etat.entrees.end() && it->first.first == dossier; ++it) {
        const std::string sien =
            chemin.empty() ? it->first.second : chemin + "/" + it->first.second;
        const bool estDossier = etat.dossiers.count(it->second) != 0;
        if (estDossier && vus.count(it->second) != 0)
            continue;
        elements.push_back({sien, it->second, estDossier});
        if (estDossier)
            Parcourir(etat, it->second, sien, vus, elements);
    }
}

// Un fichier bâti est daté d'une heure plus tôt.
void Dater(const std::string& chemin) {
    const timespec heure[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, chemin.c_str(), heure, AT_SYMLINK_NOFOLLOW);
}

std::string LireFichier(const fs::path& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

} // namespace

std::vector<Element> Elements(const EtatDisque& etat) {
    std::vector<Element> elements;
    std::set<Noeud> vus;
    Parcourir(etat, etat.racine, std::string(), vus, elements);
    std::sort(elements.begin(), elements.end(),
              [](const Element& x, const Element& y) { return x.chemin < y.chemin; });
    return elements;
}

Arborescence Arbre(const EtatDisque& etat) {
    Arborescence arbre;
    for (const Element& e : Elements(etat)) {
        if (e.dossier) {
            arbre[e.chemin] = std::nullopt;
            continue;
        }
        const auto c = etat.contenus.find(e.noeud);
        arbre[e.chemin] = c == etat.contenus.end() ? std::string() : c->second;
    }
    return arbre;
}

Arborescence LireArbre(const std::string& dossier) {
    Arborescence arbre;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dossier, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string chemin = fs::relative(it->path(), dossier).generic_string();
        if (it->is_directory() && !it->is_symlink())
            arbre[chemin] = std::nullopt;
        else
            arbre[chemin] = LireFichier(it->path());
    }
    return arbre;
}

std::uint64_t Empreinte(const Arborescence& arbre) {
    std::uint64_t h = 14695981039346656037ull;
    const auto melanger = [&h](std::string_view octets) {
        for (const char c : octets) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ull;
        }
        h ^= octets.size();
        h *= 1099511628211ull;
    };
    for (const auto& [chemin, contenu] : arbre) {
        melanger(chemin);
        melanger(contenu ? std::string_view(*contenu) : std::string_view("\x01\x02 dossier"));
    }
    return h;
}

Arborescence SousArbre(const Arborescence& arbre, std::string_view prefixe) {
    Arborescence sous;
    for (auto it = arbre.lower_bound(std::string(prefixe));
         it != arbre.end() && std::string_view(it->first).substr(0, prefixe.size()) == prefixe;
         ++it)
        sous.insert(*it);
    return sous;
}

std::map<Noeud, std::pair<std::uint64_t, std::uint64_t>> Materialiser(const EtatDisque& etat,
                                                                      const std::string& dossier) {
    std::map<Noeud, std::pair<std::uint64_t, std::uint64_t>> identites;
    std::map<Noeud, std::string> premiers; // le premier nom bâti de chaque fichier
    for (const Element& e : Elements(etat)) {
        const std::string chemin = dossier + "/" + e.chemin;
        if (e.dossier) {
            fs::create_directory(chemin);
        } else if (const auto p = premiers.find(e.noeud); p != premiers.end()) {
            fs::create_hard_link(p->second, chemin);
        } else {
            const auto c = etat.contenus.find(e.noeud);
            std::ofstream(chemin, std::ios::binary)
                << (c == etat.contenus.end() ? std::string() : c->second);
            Dater(chemin);
            premiers[e.noeud] = chemin;
        }
        struct stat info {};
        if (::lstat(chemin.c_str(), &info) == 0)
            identites[e.noeud] = {static_cast<std::uint64_t>(info.st_dev),
                                  static_cast<std::uint64_t>(info.st_ino)};
    }
    return identites;
}

void EcrireArbre(const Arborescence& arbre, const std::string& dossier) {
    for (const auto& [chemin, contenu] : arbre) {
        const std::string ici = dossier + "/" + chemin;
        if (!contenu) {
            fs::create_directory(ici);
            continue;
        }
        std::ofstream(ici, std::ios::binary) << *contenu;
        Dater(ici);
    }
}

void Vider(const std::string& dossier) {
    std::error_code ec;
    fs::remove_all(dossier, ec);
}

} // namespace vek::coupure
