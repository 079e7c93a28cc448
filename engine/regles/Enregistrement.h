#pragma once
// L'enregistrement d'une ligne retenue : ce que le filtre a tiré de sa seule analyse (genre,
// date, heure, channel, locuteur, message après les modes) et la ligne exacte de LogFinal.txt.
// Chaque sortie le reçoit et n'a plus rien à relire dans la ligne.

#include <optional>
#include <string>
#include <string_view>

#include "Date.h"
#include "Ligne.h"

namespace vek {

struct Modes;
struct TravailReecriture;

// Le genre d'une ligne retenue : message de channel, de proximité, ce que vous avez dit, un
// murmure reçu (« Aldric vous appelle : … »), une autre ligne qui contient « vous appelle ».
enum class GenreEntree { Channel, Proximite, Dit, Murmure, Appel, Autre };

// Ce qu'un genre écrit : son nom dans les lignes JSON (« channel », « proximite », « dit »,
// « murmure », « appel », « autre ») et la classe de son entrée sur la page (aucune pour un
// message de channel).
struct NomsDuGenre {
    std::string_view json;
    std::string_view classe;
};
NomsDuGenre NomsGenre(GenreEntree genre);

struct Enregistrement {
    GenreEntree genre = GenreEntree::Autre;
    std::optional<Date> date;
    std::string_view heure; // « hh:mm:ss », vide quand l'en-tête n'en porte pas
    // Le tag du channel (crochets compris) pour un message de channel, « Zone de proximité » pour
    // un message de proximité, vide sinon.
    std::string_view channel;
    // Le locuteur : le nom de la ligne, « Vous » pour ce que vous avez dit, celui qui appelle
    // pour un murmure ou un appel (vide s'il ne se lit pas).
    std::string_view nom;
    // Vrai quand la ligne a la forme régulière de son genre : la présentation de lecture montre
    // alors « Nom : texte » ; sinon, seulement le texte (le corps entier après les modes).
    bool nomMontre = false;
    std::string_view texte; // le message après les modes, sans espaces aux deux bouts
    std::string_view ligne; // la ligne de LogFinal.txt
    bool hrpRetire = false; // le nettoyage en a retiré du texte hors role-play
    // Le nom du journal d'où vient la ligne, quand plusieurs journaux ont été fusionnés ; vide
    // sinon.
    std::string_view source;
};

// Ce qu'une ligne dit, lu de son corps et de l'analyse de ce corps, avant les modes : le genre,
// le channel et le locuteur comme l'enregistrement les donne, le message (le corps après le tag
// quand la ligne n'a pas la forme régulière de son genre, le corps entier pour une ligne sans
// genre) et si la forme est régulière. Les vues désignent le corps, l'analyse ou des textes fixes.
struct Parole {
    GenreEntree genre = GenreEntree::Autre;
    std::string_view channel;
    std::string_view nom;
    std::string_view message;
    bool reguliere = false;
};
Parole LireParole(std::string_view corps, const Extraction& e);

// L'enregistrement d'une ligne retenue : ligne est celle de l'extrait, e l'analyse de son corps,
// reecrite la ligne que la réécriture en a tirée avec ces modes. formeReguliere : la réécriture
// a pris le raccourci des formes régulières (le message n'a alors rien à remplacer). Les vues
// désignent la ligne, la ligne réécrite, des textes fixes ou travail.tamponTexte.
Enregistrement ConstruireEnregistrement(std::string_view ligne, const Extraction& e,
                                        std::string_view reecrite, const Modes& modes,
                                        bool formeReguliere, TravailReecriture& travail);

// Le message d'une ligne après les modes, calculé sur le message seul par les remplacements un à
// un (ce que rend ConstruireEnregistrement pour une ligne qui n'a pas la forme régulière).
std::string TexteApresModes(std::string_view message, const Extraction& e, const Modes& modes);

// Le texte passe dans sortie s'il est dans tampon (recopié s'il est court, par échange sinon), et
// sa vue désigne alors sortie : elle reste valable quand le tampon sert à la ligne suivante.
void ReprendreSiDans(std::string& tampon, std::string_view& texte, std::string& sortie);

} // namespace vek
