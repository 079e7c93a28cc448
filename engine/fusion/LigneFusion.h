#pragma once
// Une ligne d'un journal vue par la fusion : son instant, ce qui fait d'elle un message (le
// genre, le tag, le locuteur, le message), et les deux réécritures qu'elle peut subir : l'heure
// ramenée à l'horloge du journal de référence, et ce que le joueur d'un autre journal a dit
// (« Vous avez dit : … ») écrit comme les autres journaux l'écrivent ({Nom}":"…).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Date.h"
#include "Ligne.h"

namespace vek {

// Ce qui identifie un message d'un journal à l'autre, en octets : le genre, le tag (casse
// ignorée), le locuteur et le message, séparés par des octets nuls.
struct CleMessage {
    std::string octets;
    std::uint64_t empreinte = 0;
    friend bool operator==(const CleMessage& a, const CleMessage& b) {
        return a.empreinte == b.empreinte && a.octets == b.octets;
    }
    bool Egale(std::uint64_t e, std::string_view o) const { return empreinte == e && octets == o; }
};

// L'empreinte des octets d'une clé (huit octets à la fois).
inline std::uint64_t EmpreinteCle(std::string_view octets) {
    return std::hash<std::string_view>{}(octets);
}

// Le genre d'une ligne pour la fusion.
enum class GenreFusion {
    Channel,   // « [Tag] "Nom": … » : un message que chaque membre du channel reçoit
    Proximite, // « {Nom}":"… » : ce qu'un voisin a dit
    Vous,      // « Vous avez dit : … » : ce que le joueur du journal a dit
    Prive      // tout le reste : murmures reçus, messages du jeu, propres au journal
};

struct LigneAnalysee {
    std::optional<std::int64_t> secondes; // l'instant (secondes depuis 1970), si la ligne est datée
    // La place de l'heure (hh:mm:ss) dans la ligne, quand la date et l'heure se lisent : ce que
    // réécrit le décalage d'une horloge.
    std::optional<std::size_t> heure;
    GenreFusion genre = GenreFusion::Prive;
    std::string_view tag;     // Channel
    std::string_view nom;     // Channel, Proximite
    std::string_view message; // Channel, Proximite, Vous : le message seul, octet pour octet
};

// L'analyse d'une ligne ; les vues désignent la ligne (ou tampon, pour un tag sans « ] »).
LigneAnalysee AnalyserPourFusion(std::string_view ligne, std::string& tampon);

// La clé d'un message tel que les autres journaux l'écrivent : une ligne de channel ou de
// proximité telle quelle ; ce que le joueur a dit, comme une ligne de proximité de joueur, ou,
// sans son nom, comme ce que dit le joueur numéro memeJoueur (les journaux d'un même joueur se
// doublent entre eux). Rien pour une ligne privée.
std::optional<CleMessage> CleDe(const LigneAnalysee& l, std::string_view joueur = {},
                                std::size_t memeJoueur = 0);
// La même clé, ajoutée au bout de octets ; faux (rien d'ajouté) pour une ligne privée.
bool AjouterCle(const LigneAnalysee& l, std::string_view joueur, std::size_t memeJoueur,
                std::string& octets);

// La ligne qui occupe octets[debut, fin), dont l'analyse est donnée : son en-tête ramené de
// decalage secondes (l'heure dans la notation de la ligne, date comprise) ; une ligne sans date
// ou sans heure lisible garde son en-tête. Le corps reste octet pour octet. Le jour écrit en
// dernier est gardé dans jour (ses chiffres resservent).
struct JourEcrit {
    std::int64_t jour = INT64_MIN;
    Date date;
};
void DecalerEnPlace(std::string& octets, std::size_t debut, const LigneAnalysee& analyse,
                    std::int64_t decalage, JourEcrit& jour);

// « Vous avez dit : message » du journal de joueur, écrit comme l'écrivent les autres journaux
// (en-tête, puis {joueur}":"message), ajouté au bout de octets.
void AjouterLigneDeProximite(std::string_view ligne, std::string_view joueur,
                             std::string_view message, std::string& octets);

// « 1 h 00 min 07 s », « 12 s », « 2 h 05 min » : une durée positive, à la seconde.
std::string DureeLisible(std::int64_t secondes);

} // namespace vek
