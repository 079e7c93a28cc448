#pragma once
// Lecture du registre de la machine, réduite à ce dont le programme se sert : ouvrir une clé,
// lire une valeur, fermer la clé. Rien n'y est jamais écrit.
//
// Sous Windows, RegistreSysteme() est le vrai registre (advapi32). Ailleurs, c'est un substitut
// qui ne connaît qu'une valeur : l'emplacement de l'outil d'informations système, trouvé dans le
// PATH parmi les outils usuels du bureau.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vek {

// Poignée de clé ; les racines prédéfinies ont les valeurs de Windows.
using CleRegistre = std::uintptr_t;
inline constexpr CleRegistre CleMachineLocale = 0x80000002u; // HKEY_LOCAL_MACHINE

// Types de valeurs.
inline constexpr std::uint32_t TypeChaine = 1;           // REG_SZ
inline constexpr std::uint32_t TypeChaineExpansible = 2; // REG_EXPAND_SZ
inline constexpr std::uint32_t TypeBinaire = 3;          // REG_BINARY
inline constexpr std::uint32_t TypeMot32 = 4;            // REG_DWORD

// Codes de retour (0 = succès).
inline constexpr std::int32_t RegistreSucces = 0;
inline constexpr std::int32_t RegistreIntrouvable = 2;          // ERROR_FILE_NOT_FOUND
inline constexpr std::int32_t RegistreAccesRefuse = 5;          // ERROR_ACCESS_DENIED
inline constexpr std::int32_t RegistreDonneesTropLongues = 234; // ERROR_MORE_DATA

// Droits demandés à l'ouverture : READ_CONTROL et les six droits de clé (lire, écrire une
// valeur, créer une sous-clé, énumérer, être prévenu, créer un lien).
inline constexpr std::uint32_t AccesCleDemande = 0x2003F;

class Registre {
public:
    virtual ~Registre() = default;
    // RegOpenKeyExA : racine, chemin de la sous-clé, options, masque d'accès, clé ouverte.
    virtual std::int32_t OuvrirCle(CleRegistre racine, const std::string& sousCle,
                                   std::uint32_t options, std::uint32_t masque,
                                   CleRegistre& cle) = 0;
    // RegQueryValueExA : type et données de la valeur. taille vaut en entrée la place du tampon
    // et en sortie le nombre d'octets écrits (ou nécessaires, avec RegistreDonneesTropLongues).
    virtual std::int32_t LireValeur(CleRegistre cle, const std::string& nomValeur,
                                    std::uint32_t& type, unsigned char* tampon,
                                    std::uint32_t& taille) = 0;
    // RegCloseKey.
    virtual std::int32_t FermerCle(CleRegistre cle) = 0;
};

// Erreur levée par une lecture dont la valeur n'a aucune donnée : la coupe du tampon à la taille
// lue est alors impossible.
class ErreurRegistre : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::size_t TailleTamponRegistre = 1024;

// Lit une valeur du registre comme texte (octets de la page de code du système).
// Vrai quand la valeur a été lue. Clé impossible à ouvrir avec les droits demandés, valeur
// absente ou plus longue que le tampon : sortie vidée et faux. Chaîne : la sortie reçoit les
// octets lus, sans le NUL final éventuel. Mot de 32 bits : la sortie reçoit le nombre en
// décimal. Autre type : la sortie garde ce qu'elle contenait. Valeur sans aucune donnée :
// ErreurRegistre. La clé ouverte est toujours refermée.
bool LireCleRegistre(Registre& registre, CleRegistre racine, const std::string& sousCle,
                     const std::string& nomValeur, std::string& sortie);

// Le registre du système (voir plus haut) ; un seul objet pour tout le programme.
Registre& RegistreSysteme();

// Le substitut utilisé hors de Windows, exposé pour les tests : la valeur PATH de la clé MSINFO
// donne le premier des programmes candidats trouvé (fichier exécutable) dans les dossiers du
// chemin de recherche ; le second emplacement n'existe pas. Les noms de clé et de valeur sont
// comparés sans tenir compte de la casse, comme sous Windows.
class RegistreSubstitut final : public Registre {
public:
    // cheminRecherche : liste de dossiers séparés par « : » (la variable PATH).
    RegistreSubstitut(std::string cheminRecherche, std::vector<std::string> candidats);
    // Le chemin de recherche de l'environnement et la liste usuelle des outils.
    RegistreSubstitut();

    std::int32_t OuvrirCle(CleRegistre racine, const std::string& sousCle, std::uint32_t options,
                           std::uint32_t masque, CleRegistre& cle) override;
    std::int32_t LireValeur(CleRegistre cle, const std::string& nomValeur, std::uint32_t& type,
                            unsigned char* tampon, std::uint32_t& taille) override;
    std::int32_t FermerCle(CleRegistre cle) override;

    // Le premier candidat trouvé, ou le texte vide.
    std::string OutilTrouve() const;

    // Outils d'informations système essayés, dans l'ordre.
    static std::vector<std::string> CandidatsUsuels();

private:
    std::string cheminRecherche_;
    std::vector<std::string> candidats_;
};

} // namespace vek
