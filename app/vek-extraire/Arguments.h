#pragma once
// Ce que la ligne de commande de vek-extraire demande, une fois lue par la table des options
// (Options.h) : la tâche, la période, la sélection, ce que reçoit l'écriture, les journaux.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Erreurs.h"
#include "Passes.h"
#include "Requete.h"
#include "Sessions.h"

namespace vek {

// Ce que fait vek-extraire : une tâche par exécution, choisie par son option (--catalogue…) ;
// sans elle, l'extraction (le journal final).
enum class Tache : unsigned {
    Extraction = 1,
    Catalogue = 2,
    Analyse = 4,
    Sessions = 8,
    Chercher = 16
};

// Un ensemble de tâches : celles avec lesquelles une option se combine.
class Taches {
public:
    constexpr Taches(Tache t) : bits_(static_cast<unsigned>(t)) {}
    constexpr bool Contient(Tache t) const { return (bits_ & static_cast<unsigned>(t)) != 0; }
    friend constexpr Taches operator|(Taches a, Taches b) { return Taches(a.bits_ | b.bits_); }
    static constexpr Taches Toutes() { return Taches(~0u); }

private:
    constexpr explicit Taches(unsigned bits) : bits_(bits) {}
    unsigned bits_;
};
constexpr Taches operator|(Tache a, Tache b) {
    return Taches(a) | Taches(b);
}

struct Arguments {
    Tache tache = Tache::Extraction;
    bool aide = false;
    bool version = false;
    bool silencieux = false;

    // La période : des bornes écrites, ou une séance (un numéro ou « derniere »).
    std::optional<std::string> debut;
    std::optional<std::string> fin;
    std::optional<std::string> session;
    int pause = PauseSessionsParDefaut; // --pause, en minutes

    // Les nœuds cochés, tels que tapés (UTF-8).
    std::vector<std::string> channels;
    std::vector<std::string> noms;
    bool tousChannels = false;
    bool toutLeMonde = false;

    // --chercher : la requête analysée, et --json.
    std::shared_ptr<const Requete> requete;
    bool json = false;

    // Ce que reçoit l'écriture des sorties, tel quel (le filtre de --filtre compris).
    DemandeEcriture ecriture;
    std::optional<std::string> dossier;
    bool ouvrir = false;
    bool suivre = false;

    std::vector<std::string> journaux;
    // Plusieurs journaux : ce qui est donné de chacun (FICHIER, valeur), tel que lu.
    std::vector<std::pair<std::string, std::int64_t>> decalages; // --decalage, en secondes
    std::vector<std::pair<std::string, std::string>> joueurs;    // --joueur, en Windows-1252

    // Les options données, telles qu'écrites (sans valeur), dans l'ordre.
    std::vector<std::string> donnees;
    bool Donnee(std::string_view nom) const;
    // La première erreur d'utilisation ; ok si aucune.
    Resultat erreur;
};

// args : les arguments qui suivent le nom du programme. Lit tout, même après une erreur
// (--help l'emporte sur elle), et vérifie les combinaisons d'options.
Arguments LireArguments(const std::vector<std::string>& args);

} // namespace vek
