// La table des formats de sortie.

#include "Formats.h"

#include "Puits.h"

#include <algorithm>
#include <array>

namespace vek {

namespace {

constexpr std::array<Format, 5> Formats = {{
    {"texte", NomLogFinal, "en Windows-1252, tel que le programme à fenêtres l'écrit.",
     "le journal final", FabriquerTexte},
    {"html", "LogFinal.html",
     "une page web en UTF-8 qui se suffit à elle-même\n"
     "(styles compris, sans script) : un titre par jour,\n"
     "l'heure, le channel en badge de couleur, « Nom : texte »,\n"
     "chaque nom dans sa propre couleur.",
     "la page web", FabriquerPage},
    {"json", "LogFinal.jsonl",
     "un objet JSON par ligne retenue, en UTF-8 : date\n"
     "(AAAA-MM-JJ, ou null), heure (hh:mm:ss, ou null), genre\n"
     "(channel, proximite, dit, murmure, appel ou autre),\n"
     "channel (null sans channel), nom, texte (le message\n"
     "après les modes) et ligne (la ligne de LogFinal.txt) ;\n"
     "date, heure, channel et nom sont ceux du journal, quels\n"
     "que soient les modes.",
     "les lignes JSON", FabriquerJson},
    {"forum", "LogFinal-forum.txt",
     "du BBCode en UTF-8 pour les forums de type phpBB : un\n"
     "titre par jour, l'heure en gris, le nom en gras dans sa\n"
     "couleur, le channel entre crochets ; rien du journal ne\n"
     "devient balise (une espace sans chasse suit chaque « [ »).",
     "l'extrait pour un forum", FabriquerForum},
    {"discord", "LogFinal-discord.txt",
     "du Markdown en UTF-8 tel que Discord l'affiche, en\n"
     "parties d'au plus 2000 caractères (--taille-message),\n"
     "chacune ouverte par « **Partie N/M** » s'il y en a\n"
     "plusieurs ; rien du journal ne met en forme ni ne\n"
     "prévient personne.",
     "l'extrait pour Discord", FabriquerDiscord},
}};

} // namespace

std::span<const Format> TableDesFormats() {
    return Formats;
}

int RangFormat(std::string_view nom) {
    for (std::size_t i = 0; i < Formats.size(); ++i)
        if (Formats[i].nom == nom)
            return static_cast<int>(i);
    return -1;
}

std::string NomsDesFormats(std::string_view sep) {
    std::string noms;
    for (const Format& f : Formats)
        noms.append(noms.empty() ? "" : sep).append(f.nom);
    return noms;
}

FormatsSortie FormatsSortie::De(std::initializer_list<std::string_view> noms) {
    FormatsSortie f;
    for (const std::string_view nom : noms)
        if (const int rang = RangFormat(nom); rang >= 0)
            f.Ajouter(static_cast<std::size_t>(rang));
    return f;
}

bool FormatsSortie::Contient(std::string_view nom) const {
    const int rang = RangFormat(nom);
    return rang >= 0 && Contient(static_cast<std::size_t>(rang));
}

std::vector<std::string_view> FichiersDesFormats(FormatsSortie formats) {
    if (formats.Aucun())
        formats = FormatsSortie::Texte();
    std::vector<std::string_view> fichiers;
    for (std::size_t i = 0; i < Formats.size(); ++i)
        if (formats.Contient(i))
            fichiers.push_back(Formats[i].fichier);
    return fichiers;
}

} // namespace vek
