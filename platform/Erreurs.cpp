#include "Erreurs.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>

namespace vek {

std::string RaisonSysteme(int code) {
    switch (code) {
    case 0:
        return "aucune erreur";
    case ENOENT:
        return "fichier ou dossier introuvable";
    case EACCES:
    case EPERM:
        return "permission refusée";
    case EISDIR:
        return "c'est un dossier, pas un fichier";
    case ENOTDIR:
        return "un élément du chemin n'est pas un dossier";
    case ENOSPC:
        return "plus de place sur le disque";
    case EROFS:
        return "système de fichiers en lecture seule";
    case EMFILE:
    case ENFILE:
        return "trop de fichiers ouverts";
    case ENAMETOOLONG:
        return "nom de fichier trop long";
    case EIO:
        return "erreur d'entrée-sortie";
    case EBUSY:
        return "fichier occupé par un autre programme";
    case EEXIST:
        return "le fichier existe déjà";
#ifdef EDQUOT
    case EDQUOT:
        return "quota de disque dépassé";
#endif
    default:
        return std::strerror(code);
    }
}

int DernierCode() {
    return errno != 0 ? errno : EIO;
}

Resultat Resultat::Echec(std::string action, std::string fichier, std::string raison) {
    Resultat r;
    r.ok = false;
    r.action = std::move(action);
    r.fichier = std::move(fichier);
    r.raison = std::move(raison);
    return r;
}

Resultat Resultat::Interruption() {
    Resultat r;
    r.ok = false;
    r.interrompu = true;
    r.action = "Opération interrompue";
    return r;
}

Resultat Resultat::Exception(std::string action, std::string fichier) {
    std::string raison;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        raison = "la mémoire ne suffit pas (une ligne démesurée, ou trop de programmes ouverts) ; "
                 "les fichiers entamés sont supprimés";
    } catch (const std::system_error& e) {
        raison = RaisonSysteme(e.code().value());
    } catch (const std::exception& e) {
        raison = std::string("erreur interne (") + e.what() + ")";
    } catch (...) {
        raison = "erreur interne";
    }
    return Echec(std::move(action), std::move(fichier), std::move(raison));
}

std::string Resultat::Message() const {
    if (ok)
        return {};
    std::string texte = action;
    if (!fichier.empty())
        texte += " \xC2\xAB " + fichier + " \xC2\xBB";
    if (!raison.empty())
        texte += " : " + raison;
    texte += '.';
    return texte;
}

} // namespace vek
