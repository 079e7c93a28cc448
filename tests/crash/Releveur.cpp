#include "Releveur.h"

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "ProcessusTrace.h"

namespace vek::coupure {

namespace {

std::string LireFichier(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

int Descripteur(std::uint64_t valeur) {
    return static_cast<int>(static_cast<std::int64_t>(valeur));
}

} // namespace

Releveur::Releveur(std::string racine, Trace& trace) : racine_(Normaliser(racine)), trace_(trace) {}

Noeud Releveur::Nouveau(Cle cle) {
    const Noeud noeud = ++dernier_;
    noeuds_[cle] = noeud;
    // Créé par l'opération qui va être notée (au départ, aucune n'a encore été notée).
    trace_.noeuds.push_back(
        {noeud, cle.first, cle.second, trace_.operations.size() + (depart_ ? 0 : 1)});
    return noeud;
}

void Releveur::Parcourir(const std::string& dossier, Noeud noeud) {
    DIR* d = ::opendir(dossier.c_str());
    if (!d)
        return;
    std::vector<std::string> noms;
    while (const dirent* e = ::readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            noms.push_back(e->d_name);
    ::closedir(d);
    for (const std::string& nom : noms) {
        const std::string chemin = dossier + "/" + nom;
        struct stat info {};
        if (::lstat(chemin.c_str(), &info) != 0)
            continue;
        const Noeud fils = Nouveau({info.st_dev, info.st_ino});
        trace_.depart.entrees[{noeud, nom}] = fils;
        if (S_ISDIR(info.st_mode)) {
            trace_.depart.dossiers.insert(fils);
            Parcourir(chemin, fils);
        } else if (S_ISREG(info.st_mode)) {
            trace_.depart.contenus[fils] = LireFichier(chemin);
        } else {
            HorsModele("ni fichier ni dossier au départ : " + chemin);
        }
    }
}

void Releveur::ReleverDepart() {
    struct stat info {};
    if (::lstat(racine_.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        HorsModele("le dossier observé n'existe pas : " + racine_);
        return;
    }
    volume_ = info.st_dev;
    depart_ = true;
    trace_.depart.racine = Nouveau({info.st_dev, info.st_ino});
    trace_.depart.dossiers.insert(trace_.depart.racine);
    Parcourir(racine_, trace_.depart.racine);
    depart_ = false;
}

std::string Releveur::CheminAbsolu(pid_t fil, std::uint64_t dossier, std::uint64_t adresse) const {
    const std::string chemin = LireChaine(fil, adresse);
    if (!chemin.empty() && chemin[0] == '/')
        return Normaliser(chemin);
    return Normaliser(CheminDuDescripteur(fil, Descripteur(dossier)) + "/" + chemin);
}

std::optional<std::string> Releveur::Relatif(const std::string& absolu) const {
    if (absolu == racine_)
        return std::string();
    if (absolu.size() > racine_.size() && absolu.compare(0, racine_.size(), racine_) == 0 &&
        absolu[racine_.size()] == '/')
        return absolu.substr(racine_.size() + 1);
    return std::nullopt;
}

Noeud Releveur::NoeudDuChemin(const std::string& absolu) const {
    struct stat info {};
    if (::lstat(absolu.c_str(), &info) != 0)
        return 0;
    const auto n = noeuds_.find({info.st_dev, info.st_ino});
    return n == noeuds_.end() ? 0 : n->second;
}

Noeud Releveur::NoeudDuDescripteur(pid_t fil, int fd) const {
    const auto info = EtatDuDescripteur(fil, fd);
    if (!info)
        return 0;
    const auto n = noeuds_.find({info->st_dev, info->st_ino});
    return n == noeuds_.end() ? 0 : n->second;
}

std::string Releveur::NomDuDescripteur(pid_t fil, int fd) const {
    const std::string chemin = CheminDuDescripteur(fil, fd);
    return Relatif(chemin).value_or(chemin);
}

std::optional<coupure::Entree> Releveur::EntreeDe(const std::string& absolu) {
    const auto barre = absolu.find_last_of('/');
    const Noeud dossier = NoeudDuChemin(barre == 0 ? "/" : absolu.substr(0, barre));
    if (dossier == 0) {
        HorsModele("dossier inconnu du banc : " + absolu);
        return std::nullopt;
    }
    return coupure::Entree{dossier, absolu.substr(barre + 1)};
}

void Releveur::Entree(pid_t fil, std::uint64_t numero, const std::uint64_t (&a)[6]) {
    EnCours& e = enCours_[fil];
    e = EnCours{};
    e.numero = numero;
    std::copy(std::begin(a), std::end(a), e.args);
    switch (numero) {
    case SYS_open:
        return EntreeOuverture(fil, e, static_cast<std::uint64_t>(AT_FDCWD), a[0], a[1]);
    case SYS_creat:
        return EntreeOuverture(fil, e, static_cast<std::uint64_t>(AT_FDCWD), a[0],
                               O_CREAT | O_WRONLY | O_TRUNC);
    case SYS_openat:
        return EntreeOuverture(fil, e, a[0], a[1], a[2]);
    case SYS_openat2: {
        std::uint64_t drapeaux = 0;
        LireMemoire(fil, a[2], sizeof drapeaux).copy(reinterpret_cast<char*>(&drapeaux), 8);
        return EntreeOuverture(fil, e, a[0], a[1], drapeaux);
    }
    case SYS_mkdir:
    case SYS_unlink:
    case SYS_rmdir:
    case SYS_truncate:
        return EntreeNom(fil, e, static_cast<std::uint64_t>(AT_FDCWD), a[0]);
    case SYS_mkdirat:
    case SYS_unlinkat:
        return EntreeNom(fil, e, a[0], a[1]);
    case SYS_rename:
        return EntreeRenommage(fil, e, static_cast<std::uint64_t>(AT_FDCWD), a[0],
                               static_cast<std::uint64_t>(AT_FDCWD), a[1], 0);
    case SYS_renameat:
        return EntreeRenommage(fil, e, a[0], a[1], a[2], a[3], 0);
    case SYS_renameat2:
        return EntreeRenommage(fil, e, a[0], a[1], a[2], a[3], a[4]);
    case SYS_write:
    case SYS_writev:
        return EntreeEcriture(fil, e, Descripteur(a[0]), std::nullopt);
    case SYS_pwrite64:
    case SYS_pwritev:
        return EntreeEcriture(fil, e, Descripteur(a[0]), a[3]);
    case SYS_pwritev2:
        return EntreeEcriture(fil, e, Descripteur(a[0]),
                              static_cast<std::int64_t>(a[3]) == -1
                                  ? std::nullopt
                                  : std::optional<std::uint64_t>(a[3]));
    case SYS_ftruncate:
    case SYS_fsync:
    case SYS_fdatasync:
        return EntreeDescripteur(fil, e, Descripteur(a[0]));
    case SYS_syncfs: {
        const auto info = EtatDuDescripteur(fil, Descripteur(a[0]));
        e.suivi = info && static_cast<std::uint64_t>(info->st_dev) == volume_;
        return;
    }
    case SYS_sync:
        e.suivi = true;
        return;
    default:
        return SurveillerAutres(fil, numero, a);
    }
}

void Releveur::EntreeOuverture(pid_t fil, EnCours& e, std::uint64_t dossier, std::uint64_t chemin,
                               std::uint64_t drapeaux) {
    e.chemin = CheminAbsolu(fil, dossier, chemin);
    e.drapeaux = drapeaux;
    if (!Relatif(e.chemin) || !(drapeaux & (O_CREAT | O_TRUNC)))
        return;
    if ((drapeaux & O_TMPFILE) == O_TMPFILE) {
        HorsModele("O_TMPFILE : " + e.chemin);
        return;
    }
    struct stat info {};
    e.existait = ::lstat(e.chemin.c_str(), &info) == 0;
    e.noeudA = e.existait ? NoeudDuChemin(e.chemin) : 0;
    e.suivi = true;
}

void Releveur::EntreeNom(pid_t fil, EnCours& e, std::uint64_t dossier, std::uint64_t chemin) {
    e.chemin = CheminAbsolu(fil, dossier, chemin);
    if (!Relatif(e.chemin) || *Relatif(e.chemin) == "")
        return;
    e.suivi = true;
    e.noeudA = NoeudDuChemin(e.chemin);
    if (const auto entree = EntreeDe(e.chemin))
        e.a = *entree;
    else
        e.suivi = false;
}

void Releveur::EntreeRenommage(pid_t fil, EnCours& e, std::uint64_t d1, std::uint64_t c1,
                               std::uint64_t d2, std::uint64_t c2, std::uint64_t drapeaux) {
    e.chemin = CheminAbsolu(fil, d1, c1);
    e.chemin2 = CheminAbsolu(fil, d2, c2);
    e.drapeaux = drapeaux;
    const bool dedans = Relatif(e.chemin).has_value(), dedans2 = Relatif(e.chemin2).has_value();
    if (dedans != dedans2)
        HorsModele("renommage entre le dossier observé et l'extérieur : " + e.chemin + " -> " +
                   e.chemin2);
    if (!dedans || !dedans2)
        return;
    if (drapeaux & RENAME_WHITEOUT)
        HorsModele("RENAME_WHITEOUT : " + e.chemin);
    const auto a = EntreeDe(e.chemin), b = EntreeDe(e.chemin2);
    if (!a || !b)
        return;
    e.a = *a;
    e.b = *b;
    e.noeudA = NoeudDuChemin(e.chemin);
    e.noeudB = NoeudDuChemin(e.chemin2);
    e.suivi = true;
}

void Releveur::EntreeEcriture(pid_t fil, EnCours& e, int fd,
                              std::optional<std::uint64_t> position) {
    e.noeudA = NoeudDuDescripteur(fil, fd);
    if (e.noeudA == 0)
        return;
    e.suivi = true;
    if (position) {
        e.position = *position;
        return;
    }
    std::uint64_t drapeaux = 0;
    if (!PositionDuDescripteur(fil, fd, e.position, drapeaux))
        HorsModele("position d'écriture illisible : " + NomDuDescripteur(fil, fd));
    if (drapeaux & O_APPEND)
        if (const auto info = EtatDuDescripteur(fil, fd))
            e.position = static_cast<std::uint64_t>(info->st_size);
}

void Releveur::EntreeDescripteur(pid_t fil, EnCours& e, int fd) {
    e.noeudA = NoeudDuDescripteur(fil, fd);
    e.suivi = e.noeudA != 0;
    const auto info = EtatDuDescripteur(fil, fd);
    e.existait = info && S_ISDIR(info->st_mode); // un dossier (pour fsync)
}

void Releveur::SurveillerAutres(pid_t fil, std::uint64_t numero, const std::uint64_t (&a)[6]) {
    const auto chemin = [&](std::uint64_t d, std::uint64_t c) {
        return Relatif(CheminAbsolu(fil, d, c)).has_value();
    };
    const auto fd = [&](std::uint64_t v) { return NoeudDuDescripteur(fil, Descripteur(v)) != 0; };
    const auto cwd = static_cast<std::uint64_t>(AT_FDCWD);
    bool touche = false;
    switch (numero) {
    case SYS_link:
    case SYS_symlink:
        touche = chemin(cwd, a[1]);
        break;
    case SYS_linkat:
        touche = chemin(a[2], a[3]);
        break;
    case SYS_symlinkat:
        touche = chemin(a[1], a[2]);
        break;
    case SYS_mknod:
        touche = chemin(cwd, a[0]);
        break;
    case SYS_mknodat:
        touche = chemin(a[0], a[1]);
        break;
    case SYS_fallocate:
    case SYS_sendfile:
        touche = fd(a[0]);
        break;
    case SYS_copy_file_range:
    case SYS_splice:
        touche = fd(a[2]);
        break;
    case SYS_mmap:
        touche = (a[2] & PROT_WRITE) && (a[3] & MAP_SHARED) && fd(a[4]);
        break;
    case SYS_io_uring_setup:
        touche = true; // ses écritures échapperaient au relevé
        break;
    default:
        return;
    }
    if (touche)
        HorsModele("appel système n° " + std::to_string(numero) + " sur le dossier observé");
}

} // namespace vek::coupure
