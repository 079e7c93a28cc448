#pragma once
// Ce que le moteur retient d'une passe à l'autre (privé aux passes).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Catalogue.h"
#include "Date.h"
#include "Fichiers.h"
#include "SourceLignes.h"

namespace vek {

struct MemoireMoteur {
    // Le nombre de lignes d'un fichier déjà lu en entier (le journal par l'analyse ou la
    // recherche, l'extrait par la recherche qui l'a écrit) : la passe de comptage suivante s'en
    // passe tant que le fichier n'a pas changé.
    struct CompteConnu {
        std::string chemin;
        EmpreinteFichier empreinte;
        std::uint64_t lignes = 0;
    };
    std::vector<CompteConnu> comptes;
    std::optional<std::uint64_t> LignesConnues(const NomFichier& chemin,
                                               const std::optional<EmpreinteFichier>& e) const;
    void MemoriserLignes(const NomFichier& chemin, const std::optional<EmpreinteFichier>& e,
                         std::uint64_t lignes);

    // Ce que la dernière recherche réussie a lu des journaux, pour n'en lire ensuite que la
    // suite.
    struct LectureFaite {
        LectureLue lue;
        Periode periode;
        bool apresLaFin = false;       // une ligne lue était datée après la fin de la période
        std::uint64_t prochainLot = 0; // les rangs de catalogue de la suite viennent après
        std::uint64_t lus = 0, retenues = 0, datees = 0;
        // La dernière ligne lue n'avait pas de fin de ligne : ce qu'elle a ajouté, pour la
        // relire en entier si le jeu la prolonge (sans tout relire ni la garder deux fois).
        struct Provisoire {
            std::string octetsExtrait; // ses octets dans l'extrait, CR LF compris ; vide : hors
                                       // de la période
            std::shared_ptr<const Catalogue> catalogue; // le catalogue d'avant elle
            bool datee = false;
        };
        std::optional<Provisoire> provisoire;
    };
    std::optional<LectureFaite> lecture;

    // L'extrait que la dernière recherche réussie a écrit : son catalogue, son identité sur le
    // disque (un extrait réécrit depuis par un autre programme n'est plus le sien) et sa période.
    std::shared_ptr<const Catalogue> catalogue = std::make_shared<const Catalogue>();
    std::optional<EmpreinteFichier> empreinteExtrait;
    std::optional<std::pair<Date, Date>> periodeExtrait;
    // Les journaux d'une fusion qui a écrit l'extrait (leurs noms, par rang) : le fichier
    // NomSources dit de quel rang vient chaque ligne. Vide : un seul journal.
    std::vector<std::string> sourcesExtrait;
};

// D'où repart une recherche de suite : la fin de la précédente ; ou, quand sa dernière ligne a
// été prise sans fin de ligne et que le jeu l'a prolongée depuis, le début de cette ligne, qui
// est relue en entier (l'extrait, le catalogue et les comptes reviennent à ce qu'ils étaient
// avant elle).
struct Reprise {
    MemoireMoteur::LectureFaite avant; // l'état d'où repartir
    std::uint64_t tailleExtrait = 0;   // l'extrait, ramené à cette taille
    std::string aRemettre;             // ce qu'il y avait au-delà, remis en cas d'échec
    bool relireDerniere = false;
};

} // namespace vek
