#include "Erreurs.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <system_error>

namespace vek {

std::string RaisonSysteme(int code) {
    switch (code) {
    case 0:
        return "aucune erreur";
    case CodePasFichierOrdinaire:
        return "ce n'est pas un fichier ordinaire (un dossier, un périphérique ou un tube nommé)";
    case CodeOuvertAilleurs:
        return "le fichier est ouvert dans un autre programme, ou protégé : fermez-le, puis "
               "recommencez";
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
    case ELOOP:
        return "lien symbolique refusé (ou trop de liens symboliques à la suite)";
    case EFBIG:
        return "fichier trop grand (la limite de taille des fichiers est atteinte)";
    case EPIPE:
        return "le programme qui lisait la sortie s'est arrêté";
    case EINTR:
        return "opération interrompue par un signal";
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return "ressource momentanément indisponible, réessayez";
    case EINVAL:
        return "opération refusée par le système (argument invalide)";
    case EXDEV:
        return "les deux fichiers ne sont pas sur le même disque";
    case ENOTEMPTY:
        return "le dossier n'est pas vide";
    case ETXTBSY:
        return "fichier en cours d'exécution";
    case ENXIO:
    case ENODEV:
        return "périphérique introuvable";
    case ESPIPE:
        return "le fichier ne permet pas de se déplacer (tube ou périphérique)";
    case EBADF:
        return "fichier mal ouvert";
    case ENOMEM:
        return "la mémoire ne suffit pas";
    case EOVERFLOW:
        return "valeur trop grande pour le système";
    case ENOSYS:
        return "opération inconnue de ce système";
#if defined(ENOTSUP)
    case ENOTSUP:
#if defined(EOPNOTSUPP) && EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP:
#endif
        return "opération non prise en charge par ce système de fichiers";
#endif
#ifdef ESTALE
    case ESTALE:
        return "fichier réseau devenu inaccessible";
#endif
    case ENOLCK:
        return "aucun verrou disponible";
    case EMLINK:
        return "trop de liens vers ce fichier";
    case EDEADLK:
        return "blocage mutuel évité";
    case ETIMEDOUT:
        return "délai dépassé";
    case EILSEQ:
        return "suite d'octets invalide";
    case ERANGE:
        return "résultat hors des limites";
    case EFAULT:
        return "adresse invalide";
    case ENOTTY:
        return "opération inadaptée à ce fichier";
    case ECANCELED:
        return "opération annulée";
    default:
        // Jamais le texte anglais de la bibliothèque C : le numéro, que l'on peut chercher.
        return "erreur système n° " + std::to_string(code);
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
