// Le relevé à la sortie d'un appel : s'il a réussi, l'opération qu'il a faite.

#include "Releveur.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include "ProcessusTrace.h"

namespace vek::coupure {

void Releveur::Sortie(pid_t fil, std::int64_t retour) {
    const auto trouve = enCours_.find(fil);
    if (trouve == enCours_.end() || !trouve->second.suivi || retour < 0)
        return;
    EnCours& e = trouve->second;
    switch (e.numero) {
    case SYS_open:
    case SYS_openat:
    case SYS_openat2:
    case SYS_creat:
        return SortieOuverture(fil, e, static_cast<int>(retour));
    case SYS_mkdir:
    case SYS_mkdirat:
    case SYS_unlink:
    case SYS_rmdir:
    case SYS_unlinkat:
    case SYS_rename:
    case SYS_renameat:
    case SYS_renameat2:
        return SortieNom(e);
    case SYS_write:
    case SYS_writev:
    case SYS_pwrite64:
    case SYS_pwritev:
    case SYS_pwritev2:
        return SortieEcriture(fil, e, static_cast<std::uint64_t>(retour));
    case SYS_truncate:
    case SYS_ftruncate:
        return Noter(
            {Genre::Tronquer,
             {},
             {},
             e.noeudA,
             0,
             e.args[1],
             {},
             "ftruncate(" +
                 (e.numero == SYS_truncate ? Relatif(e.chemin).value_or("")
                                           : NomDuDescripteur(fil, static_cast<int>(e.args[0]))) +
                 ", " + std::to_string(e.args[1]) + ")"});
    case SYS_fsync:
    case SYS_fdatasync:
    case SYS_syncfs:
    case SYS_sync:
        return SortieSynchronisation(fil, e);
    default:
        return;
    }
}

void Releveur::SortieNom(EnCours& e) {
    const auto nom = [this](const std::string& absolu) { return Relatif(absolu).value_or(""); };
    Operation op;
    if (e.numero == SYS_mkdir || e.numero == SYS_mkdirat) {
        struct stat info {};
        if (::lstat(e.chemin.c_str(), &info) != 0)
            return HorsModele("dossier créé introuvable : " + e.chemin);
        op = {Genre::CreerDossier, e.a, {}, Nouveau({info.st_dev, info.st_ino}), 0, 0, {}, {}};
        op.appel = "mkdir(" + nom(e.chemin) + ")";
    } else if (e.numero == SYS_rename || e.numero == SYS_renameat || e.numero == SYS_renameat2) {
        const bool echange = (e.drapeaux & RENAME_EXCHANGE) != 0;
        op = {echange ? Genre::Echanger : Genre::Renommer, e.a, e.b, e.noeudA, e.noeudB, 0, {}, {}};
        op.appel = std::string(echange ? "renameat2(" : "rename(") + nom(e.chemin) + ", " +
                   nom(e.chemin2) + (echange ? ", RENAME_EXCHANGE)" : ")");
    } else {
        const bool dossier =
            e.numero == SYS_rmdir || (e.numero == SYS_unlinkat && (e.args[2] & AT_REMOVEDIR));
        op = {
            dossier ? Genre::SupprimerDossier : Genre::Supprimer, e.a, {}, e.noeudA, 0, 0, {}, {}};
        op.appel = std::string(dossier ? "rmdir(" : "unlink(") + nom(e.chemin) + ")";
    }
    Noter(std::move(op));
}

void Releveur::SortieOuverture(pid_t fil, EnCours& e, int fd) {
    const std::string nom = Relatif(e.chemin).value_or("");
    if ((e.drapeaux & O_CREAT) && !e.existait) {
        const auto info = EtatDuDescripteur(fil, fd);
        const auto entree = EntreeDe(e.chemin);
        if (!info || !entree)
            return HorsModele("fichier créé introuvable : " + e.chemin);
        Operation op{Genre::Creer,
                     *entree,
                     {},
                     Nouveau({info->st_dev, info->st_ino}),
                     0,
                     0,
                     {},
                     "open(" + nom + ", O_CREAT)"};
        return Noter(std::move(op));
    }
    if ((e.drapeaux & O_TRUNC) && e.existait) {
        if (e.noeudA == 0)
            return HorsModele("fichier tronqué inconnu du banc : " + e.chemin);
        Noter({Genre::Tronquer, {}, {}, e.noeudA, 0, 0, {}, "open(" + nom + ", O_TRUNC)"});
    }
}

void Releveur::SortieEcriture(pid_t fil, EnCours& e, std::uint64_t ecrits) {
    if (ecrits == 0)
        return;
    const std::size_t n = static_cast<std::size_t>(ecrits);
    const bool vecteurs =
        e.numero == SYS_writev || e.numero == SYS_pwritev || e.numero == SYS_pwritev2;
    std::string octets =
        vecteurs ? LireVecteurs(fil, e.args[1], e.args[2], n) : LireMemoire(fil, e.args[1], n);
    if (octets.size() != n)
        return HorsModele("octets écrits illisibles dans la mémoire du programme");
    const int fd = static_cast<int>(e.args[0]);
    Operation op{Genre::Ecrire, {}, {}, e.noeudA, 0, e.position, std::move(octets), {}};
    op.appel = "write(" + NomDuDescripteur(fil, fd) + ", " + std::to_string(n) + " octets à " +
               std::to_string(e.position) + ")";
    Noter(std::move(op));
}

void Releveur::SortieSynchronisation(pid_t fil, EnCours& e) {
    if (e.numero == SYS_syncfs || e.numero == SYS_sync)
        return Noter(
            {Genre::SyncTout, {}, {}, 0, 0, 0, {}, e.numero == SYS_sync ? "sync()" : "syncfs()"});
    const std::string nom = NomDuDescripteur(fil, static_cast<int>(e.args[0]));
    const std::string appel = e.numero == SYS_fsync ? "fsync(" : "fdatasync(";
    Noter({e.existait ? Genre::SyncDossier : Genre::SyncFichier,
           {},
           {},
           e.noeudA,
           0,
           0,
           {},
           appel + (nom.empty() ? "." : nom) + ")"});
}

} // namespace vek::coupure
