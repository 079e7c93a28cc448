#pragma once
// Le traceur : lance un programme sous ptrace et relève, dans l'ordre où ils s'achèvent, les
// appels système qui changent le dossier observé, quels que soient la bibliothèque ou le fil qui
// les font (les écritures internes de stdio comprises : on voit les write eux-mêmes). Chaque
// écriture est relevée avec ses octets, pour que le banc puisse refaire chaque état du disque.
//
// Appels relevés : open, openat, openat2, creat (création, O_TRUNC), mkdir, mkdirat, rename,
// renameat, renameat2 (RENAME_EXCHANGE compris), unlink, unlinkat, rmdir, write, pwrite64,
// writev, pwritev, pwritev2, truncate, ftruncate, fsync, fdatasync, syncfs, sync. Les appels qui
// changeraient le dossier par un autre chemin (liens, fallocate, copy_file_range, sendfile,
// splice, projection partagée en écriture, io_uring, O_TMPFILE) sont notés « hors modèle » : le
// banc refuse alors la trace plutôt que de la croire complète. sync_file_range ne garantit rien
// et n'est pas relevé ; les droits et les dates non plus.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Disque.h"
#include "Lancement.h"
#include "Operation.h"

namespace vek::coupure {

// L'identité d'un nœud pendant l'exécution tracée. Un numéro peut resservir après suppression :
// le bon est le plus récent qui le portait à l'instant voulu.
struct NoeudConnu {
    Noeud noeud = 0;
    std::uint64_t volume = 0;
    std::uint64_t numero = 0;
    std::size_t ne = 0; // le rang de l'opération qui l'a créé, plus un ; 0 : là au départ
};

struct Trace {
    EtatDisque depart; // le dossier observé au lancement, tenu pour entièrement sur le disque
    std::vector<Operation> operations;
    std::vector<NoeudConnu> noeuds;
    std::vector<std::string> horsModele;
    Fin fin; // le code et les sorties du programme tracé
};

// racine : le dossier observé (chemin absolu) ; seul ce qui est dessous compte. arreter, s'il est
// donné, est appelé après chaque opération relevée : vrai, le programme est tué aussitôt (SIGKILL),
// rien de ce qu'il ferait ensuite n'a lieu.
Trace Tracer(const Lancement& l, const std::string& racine,
             const std::function<bool(const Operation&)>& arreter = {});

} // namespace vek::coupure
