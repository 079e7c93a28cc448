#pragma once
// Grammaire d'une ligne du journal : date en tête (mois d'abord), corps à partir de la
// position 23, genre du corps, tag du channel et locuteur. Une seule règle sert au catalogue et
// au filtre, pour qu'un nœud coché retrouve exactement les lignes dont il vient.

#include "Date.h"

#include <optional>
#include <string>
#include <string_view>

namespace vek {

// Textes fixes, en Windows-1252, espaces de tête compris.
inline constexpr std::string_view TexteZoneProximite = "Zone de proximit\xE9";
inline constexpr std::string_view CleZoneProximite = "M0";
inline constexpr std::string_view NomVous = " Vous (ce que vous avez dit)";
inline constexpr std::string_view NomWhisps = " Vos Whisps re\xE7us";
inline constexpr std::string_view DebutVousAvezDit = "Vous avez dit";

inline constexpr std::size_t LongueurEnTete = 22; // date et heure

// Date d'une ligne : non datée (nullopt) si la 3e position n'est pas « / » ou si le texte
// jour/mois/année ne forme pas une date valide (chiffres aux positions 1-2, 4-5 et 7-10).
std::optional<Date> DateDeLigne(std::string_view ligne);

// Heure d'une ligne, en secondes depuis minuit : hh:mm:ss (ou hh:mm) lu dans les positions 11
// à 22, quels que soient les séparateurs autour (« 21:04:05 - », « [21:04:05] ») ; rien si ces
// positions ne portent pas une heure valide.
std::optional<int> SecondesDeLigne(std::string_view ligne);

// L'heure d'une ligne, « hh:mm:ss », trouvée dans les positions 11 à 22 quels que soient les
// séparateurs autour (« 21:04:05 - », « [21:04:05] ») ; vide si elle n'y est pas.
std::string_view HeureDeLigne(std::string_view ligne);

// Corps : de la position 23 à la fin, vide pour une ligne de 22 caractères ou moins.
std::string_view CorpsDeLigne(std::string_view ligne);

enum class GenreCorps { Channel, Proximite, Vous, Autre };

struct Extraction {
    GenreCorps genre = GenreCorps::Autre;
    std::string_view tag; // Channel seulement, crochets compris
    std::string_view nom; // le locuteur ; vide quand le texte recueilli est trop court
};

// Analyse un corps. Le tag peut pointer dans tampon (quand le corps n'a pas de « ] ») ; les vues
// restent valables tant que corps et tampon ne changent pas.
Extraction AnalyserCorps(std::string_view corps, std::string& tampon);

// Position du premier « vous appelle » du texte, casse ignorée (Windows-1252), ou npos.
std::size_t ChercherVousAppelle(std::string_view texte);
inline bool ContientVousAppelle(std::string_view texte) {
    return ChercherVousAppelle(texte) != std::string_view::npos;
}

// Le texte sans ses espaces (0x20 seulement) aux deux bouts.
std::string_view RognerEspaces(std::string_view texte);

// Casse Windows-1252 : a-z, à-þ (sauf ÷), š, œ, ž, ÿ.
unsigned char MajusculeCp1252(unsigned char c);
void MettreEnMajuscules(std::string_view texte, std::string& sortie);
// La même chose, ajoutée au bout de sortie.
void AjouterEnMajuscules(std::string_view texte, std::string& sortie);

} // namespace vek
