#pragma once
// Le passage de la plate-forme vers le système : ce que POSIX et Windows font chacun à leur façon,
// écrit une fois par système (Systeme_posix.cpp, Systeme_win32.cpp). Réservé à platform/.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "Fichiers.h"

namespace vek::systeme {

#ifdef _WIN32
// Le code errno le plus proche d'un code de GetLastError.
int ErrnoDeWindows(unsigned long code);
inline constexpr char Separateur = '\\';
#else
inline constexpr char Separateur = '/';
#endif

// Positions sur 64 bits : les journaux dépassent souvent 2 Go.
using Position = long long;
int AllerA(std::FILE* f, Position p, int origine);
Position PositionActuelle(std::FILE* f);
// Taille d'un fichier ordinaire ouvert ; -1 pour un tube ou un périphérique.
Position TailleOuverte(std::FILE* f);
// Identité, taille et date de modification d'un fichier ordinaire ouvert ; rien sinon.
std::optional<EmpreinteFichier> EmpreinteOuverte(std::FILE* f);

// Crée un fichier qui n'existe pas encore, sans suivre de lien ; nullptr (errno) sinon.
std::FILE* CreerExclusif(const std::string& chemin);
// Ouvre en lecture et écriture un fichier ordinaire existant, qui n'est pas un lien et n'a pas
// d'autre nom (lien physique) ; nullptr sinon.
std::FILE* OuvrirSiSeulNom(const std::string& chemin);
// Lance sans attendre l'écriture sur le disque de [debut, debut + longueur) ; sans effet là où
// le système ne le permet pas.
void LancerEcriture(std::FILE* f, std::uint64_t debut, std::uint64_t longueur);
// Attend que le fichier soit sur le disque ; 0 ou un code errno.
int AttendreDisque(std::FILE* f);
// Coupe le fichier à taille octets ; 0 ou un code errno.
int Tronquer(std::FILE* f, std::uint64_t taille);

unsigned long NumeroProcessus();
// Vrai si un processus de ce numéro tourne encore (ou si le système ne permet pas de le savoir).
bool ProcessusVivant(unsigned long numero);

// Ce qu'un nom désigne sur le disque, sans suivre de lien : deux noms de même identité sont le
// même fichier.
struct IdentiteNom {
    std::uint64_t volume = 0;
    std::uint64_t noeud = 0;
    bool ordinaire = false; // un fichier ordinaire (ni lien, ni dossier, ni autre)
    bool dossier = false;   // un dossier (pas un lien vers un dossier)
    bool aNous = true;      // appartient à l'utilisateur du programme (toujours vrai sous Windows)
};
std::optional<IdentiteNom> IdentiteDuNom(const std::string& chemin);
// Échange d'un seul coup les deux noms d'un même dossier ; 0, ENOSYS là où le système ne sait
// pas le faire, ou un code errno.
int EchangerNoms(const std::string& a, const std::string& b);
// Renomme source en cible, une cible existante (même en lecture seule) étant remplacée ; 0 ou
// un code errno. Un dossier se renomme aussi, vers un nom libre.
int Renommer(const std::string& source, const std::string& cible);
// Met le fichier source à la place du fichier cible sans que le nom cible soit jamais libre :
// l'ancien fichier reçoit d'abord un second nom, garage (un lien physique, qui doit être libre),
// puis source remplace cible d'un seul renommage. L'ancien ne garde alors que le nom garage ; en
// cas d'échec, tout est comme avant. 0, ENOSYS si le lien ne peut pas se faire (un dossier, un
// système de fichiers sans liens physiques), CodeOuvertAilleurs (Windows) si un autre programme
// tient la cible ouverte, ou un code errno.
int Remplacer(const std::string& source, const std::string& cible, const std::string& garage);
// Les noms d'un dossier, sans « . » ni « .. » ; rien s'il ne se lit pas.
std::optional<std::vector<std::string>> ListerDossier(const std::string& dossier);
// Écrit sur le disque les noms du dossier, pour qu'un renommage survive à une coupure.
void SynchroniserDossier(const std::string& dossier);
// Écrit sur le disque le contenu des fichiers du dossier (pas de ses sous-dossiers), pour un
// dossier de sortie remplacé tout entier : sous Linux d'un seul appel pour tout le système de
// fichiers, ailleurs fichier par fichier.
void SynchroniserContenu(const std::string& dossier);
// Donne au fichier neuf les droits de l'ancien qu'il va remplacer : ses bits de mode (lecture
// seule comprise) et, là où le processus le peut, son propriétaire et son groupe. Avant la
// fermeture (POSIX, sur le descripteur) puis après (Windows, l'attribut « lecture seule »).
void DroitsAvantFermeture(std::FILE* neuf, const std::string& ancien);
void DroitsApresFermeture(const std::string& neuf, const std::string& ancien);
// Rend supprimable un fichier en lecture seule (Windows refuse sinon de le supprimer).
void RendreSupprimable(const std::string& chemin);
// Crée un dossier ; vrai s'il existe ensuite.
bool CreerDossier(const std::string& chemin);
// Le dossier de données du programme pour l'utilisateur ($XDG_DATA_HOME/vek-log,
// ~/.local/share/vek-log, %LOCALAPPDATA%\VEK_Log) ; vide si le système n'en donne pas.
std::string DossierDonneesUtilisateur();

} // namespace vek::systeme
