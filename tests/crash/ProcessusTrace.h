#pragma once
// Ce qu'on lit d'un processus tracé : sa mémoire, ses descripteurs et son dossier courant (par
// /proc), et les chemins qu'il donne, rendus absolus.

#include <cstdint>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace vek::coupure {

// Une chaîne terminée par un zéro dans la mémoire du processus (4 Kio au plus).
std::string LireChaine(pid_t fil, std::uint64_t adresse);
// longueur octets de la mémoire du processus ; moins si une page manque.
std::string LireMemoire(pid_t fil, std::uint64_t adresse, std::size_t longueur);
// Les octets d'un tableau d'iovec, jusqu'à longueur octets en tout.
std::string LireVecteurs(pid_t fil, std::uint64_t iov, std::uint64_t nombre, std::size_t longueur);

// Le chemin du dossier (AT_FDCWD : le dossier courant) ou du descripteur, sans le « (deleted) »
// d'un fichier supprimé.
std::string CheminDuDescripteur(pid_t fil, int fd);
// Ce que désigne le descripteur (stat à travers /proc).
std::optional<struct stat> EtatDuDescripteur(pid_t fil, int fd);
// La position et les drapeaux d'ouverture du descripteur (/proc/…/fdinfo).
bool PositionDuDescripteur(pid_t fil, int fd, std::uint64_t& position, std::uint64_t& drapeaux);

// Un chemin sans « . », « .. » ni barres doublées (sans suivre de lien).
std::string Normaliser(const std::string& absolu);

} // namespace vek::coupure
