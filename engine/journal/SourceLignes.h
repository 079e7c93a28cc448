#pragma once
// La couture de lecture des passes : les lignes d'un ou de plusieurs journaux, dans l'ordre du
// temps, lues depuis le début ou depuis la fin d'une lecture précédente. Une passe ne sait pas
// d'où viennent ses lignes : d'un seul fichier (SourceFichier), ou de la fusion de plusieurs.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Erreurs.h"
#include "Fichiers.h"
#include "Horloge.h"

namespace vek {

// Ce qu'une lecture a lu d'un journal : de quoi la prolonger plus tard, si le fichier n'a fait
// que grandir depuis.
struct LuDUnJournal {
    NomFichier chemin;
    EmpreinteFichier identite; // le fichier à l'ouverture
    std::uint64_t fin = 0;     // fin de ce qui a été lu (une ligne inachevée exclue)
    std::string queue;         // les octets (64 Kio au plus) juste avant fin
    // La dernière ligne lue n'avait pas de fin de ligne (le journal s'était tu assez longtemps
    // pour qu'elle compte) : sa position, pour la relire en entier si le jeu la prolonge.
    std::optional<std::uint64_t> debutProvisoire;
};
// Ce qu'une lecture a lu de chacun de ses journaux, dans l'ordre de la source.
using LectureLue = std::vector<LuDUnJournal>;

class SourceLignes {
public:
    virtual ~SourceLignes() = default;

    // Les journaux, dans l'ordre donné (le premier est la référence d'une fusion).
    virtual const std::vector<NomFichier>& Journaux() const = 0;
    // Ouvre la lecture, depuis le début, ou depuis la fin de precedente quand elle est donnée
    // (RaisonDeToutRelire l'a permis) : seule la suite est lue. Un échec nomme le journal.
    virtual Resultat Ouvrir(const LectureLue* precedente = nullptr) = 0;
    // Rien si une lecture peut reprendre à la fin de precedente (les mêmes fichiers, qui n'ont
    // fait que grandir) ; sinon pourquoi il faut tout relire, en un court avis.
    virtual std::optional<std::string> RaisonDeToutRelire(const LectureLue& precedente) const = 0;

    virtual bool FinFichier() = 0;
    // La ligne suivante, sans sa fin de ligne ; la vue reste valable jusqu'à l'appel suivant.
    virtual std::string_view LireLigne() = 0;
    // La dernière ligne lue ne tenait pas dans le tampon : CederLigneLongue la rend sans copie.
    virtual bool LigneLongue() const = 0;
    virtual std::string CederLigneLongue() = 0;

    // Une fois la dernière ligne lue : un échec (lecture du journal en cause) si un journal a
    // changé pendant la lecture (tronqué, remplacé, réécrit) ou n'a pas pu être lu.
    virtual Resultat Verifier() = 0;
    // Ce qui a été lu, pour une lecture de suite ; vide si elle ne pourra pas reprendre (un
    // tube, un fichier sans identité).
    virtual LectureLue Lu() const = 0;
    virtual void Fermer() = 0;
};

// Les journaux d'une passe, dans l'ordre donné.
struct Journaux {
    std::vector<NomFichier> chemins;
    Journaux() = default;
    Journaux(NomFichier chemin) : chemins{std::move(chemin)} {}
    Journaux(std::vector<NomFichier> c) : chemins(std::move(c)) {}
    const NomFichier& Premier() const { return chemins.front(); }
};

// La source qui lit ces journaux (chacun pris rogné de ses espaces) ; delaiInachevee : voir
// SourceFichier.
std::unique_ptr<SourceLignes> SourceDesJournaux(const Journaux& journaux, Horloge& horloge,
                                                std::chrono::milliseconds delaiInachevee);

} // namespace vek
