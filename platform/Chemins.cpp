#include "Chemins.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include "Erreurs.h"
#include "Systeme.h"

namespace vek {

std::string DescriptionGenre(GenreFichier genre) {
    switch (genre) {
    case GenreFichier::Ordinaire:
        return "c'est un fichier ordinaire";
    case GenreFichier::Lien:
        return "c'est un lien symbolique";
    case GenreFichier::Dossier:
        return "c'est un dossier";
    case GenreFichier::Tube:
        return "c'est un tube nommé";
    case GenreFichier::Peripherique:
        return "c'est un périphérique";
    case GenreFichier::Autre:
        break;
    }
    return "c'est un fichier spécial";
}

std::optional<GenreFichier> GenreDuFichier(const std::string& chemin) {
    struct stat info {};
    if (::stat(chemin.c_str(), &info) != 0)
        return std::nullopt;
    switch (info.st_mode & S_IFMT) {
    case S_IFREG:
        return GenreFichier::Ordinaire;
    case S_IFDIR:
        return GenreFichier::Dossier;
#ifdef S_IFIFO
    case S_IFIFO:
        return GenreFichier::Tube;
#endif
    case S_IFCHR:
#ifdef S_IFBLK
    case S_IFBLK:
#endif
        return GenreFichier::Peripherique;
    default:
        return GenreFichier::Autre;
    }
}

bool FichierExiste(const std::string& chemin) {
    struct stat info {};
    return ::stat(chemin.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
}

bool SupprimerFichier(const std::string& chemin, std::string* raison) {
    systeme::RendreSupprimable(chemin);
    errno = 0;
    if (std::remove(chemin.c_str()) == 0 || errno == ENOENT)
        return true;
    if (raison)
        *raison = RaisonSysteme(DernierCode());
    return false;
}

std::string JoindreChemin(const std::string& dossier, std::string_view nom) {
    std::string chemin = dossier;
    if (!chemin.empty() && chemin.back() != '/' && chemin.back() != '\\')
        chemin.push_back(systeme::Separateur);
    chemin.append(nom);
    return chemin;
}

namespace {

bool CreerDossiers(const std::string& chemin) {
    for (std::size_t i = 1; i <= chemin.size(); ++i) {
        if (i < chemin.size() && chemin[i] != '/' && chemin[i] != '\\')
            continue;
        const std::string partiel = chemin.substr(0, i);
        struct stat info {};
        if (::stat(partiel.c_str(), &info) != 0 && !systeme::CreerDossier(partiel))
            return false;
    }
    return true;
}

} // namespace

std::string RepertoireProgramme() {
    const std::string exe = RepertoireExecutable();
    if (DossierAccessibleEnEcriture(exe))
        return exe;
    const std::string donnees = systeme::DossierDonneesUtilisateur();
    if (donnees.empty() || !CreerDossiers(donnees))
        return exe;
    return donnees;
}

} // namespace vek
