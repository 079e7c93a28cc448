#include "SelectionDemandee.h"

#include <cstdio>
#include <tuple>

#include "Affichable.h"
#include "Cp1252.h"

namespace vek {

namespace {

// Décrit le caractère à la position donnée d'un texte UTF-8 : « ☃ » (U+2603).
std::string DecrireCaractere(std::string_view texte, std::size_t position) {
    const auto premier = static_cast<unsigned char>(texte[position]);
    std::size_t fin = position;
    char32_t c = 0;
    if (!LireCaractereUtf8(texte, fin, c))
        return (premier & 0xC0) == 0x80 || premier >= 0xF8
                   ? "un octet qui n'est pas de l'UTF-8"
                   : "une suite d'octets qui n'est pas de l'UTF-8";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return Guillemets(texte.substr(position, fin - position)) + " (" + code + ")";
}

// Dit qu'un texte ne désigne aucun nœud, et propose les plus proches.
void DireIntrouvable(Execution& e, const Demande& d, const Noeuds& noeuds, const Periode& periode) {
    const char* genre = d.channel ? "channel" : "locuteur";
    e.messages.Avertir("aucun " + std::string(genre) + " " + Guillemets(d.utf8) + " " +
                       TextePeriode(periode) + ".");
    const auto proches = PlusProches(noeuds, d.cp1252);
    if (proches.empty()) {
        e.messages.Completer("  (aucun " + std::string(genre) + " dans la période)");
        return;
    }
    std::string ligne = "  Les plus proches :";
    for (std::size_t k = 0; k < proches.size(); ++k)
        ligne += (k == 0 ? " " : ", ") + Guillemets(TexteAffichable(Cp1252VersUtf8(proches[k]),
                                                                    e.contexte.erreurEstTerminal));
    e.messages.Completer(ligne);
}

} // namespace

Issue<std::vector<Demande>> ConvertirDemandes(const Arguments& a) {
    std::vector<Demande> demandes;
    for (const auto& [channel, option, textes] :
         {std::tuple{true, "--channel", &a.channels}, std::tuple{false, "--nom", &a.noms}})
        for (const auto& t : *textes) {
            Demande d{channel, t, {}};
            std::size_t position = 0;
            if (!Utf8VersCp1252(t, d.cp1252, &position))
                return ErreurUtilisation("le texte " + Guillemets(t) + " de " + option +
                                         " contient " + DecrireCaractere(t, position) +
                                         ", qui n'existe pas en Windows-1252 (la page de code "
                                         "du journal).");
            demandes.push_back(std::move(d));
        }
    return demandes;
}

Resultat Selectionner(Execution& e, const Noeuds& channels, const Noeuds& noms,
                      const std::vector<Demande>& demandes, const Periode& periode,
                      Selection& selection) {
    std::vector<bool> channelsCoches(channels.size(), e.arguments.tousChannels);
    std::vector<bool> nomsCoches(noms.size(), e.arguments.toutLeMonde);
    bool introuvable = false;
    for (const Demande& d : demandes) {
        const auto& noeuds = d.channel ? channels : noms;
        const long i = d.channel ? TrouverChannel(noeuds, d.cp1252) : TrouverNom(noeuds, d.cp1252);
        if (i >= 0) {
            (d.channel ? channelsCoches : nomsCoches)[static_cast<std::size_t>(i)] = true;
            continue;
        }
        introuvable = true;
        DireIntrouvable(e, d, noeuds, periode);
    }
    if (introuvable) {
        e.messages.Completer("Essayez « vek-extraire --catalogue » pour la liste des channels et "
                             "des locuteurs de la période.");
        return UtilisationDejaDite();
    }
    for (std::size_t i = 0; i < channels.size(); ++i)
        if (channelsCoches[i])
            selection.AjouterChannel(channels[i]);
    for (std::size_t i = 0; i < noms.size(); ++i)
        if (nomsCoches[i])
            selection.AjouterNom(noms[i]);
    return Resultat::Succes();
}

} // namespace vek
