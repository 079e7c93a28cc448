// Les valeurs de --format, --taille-message et --decouper.

#include "OptionsFormats.h"

#include <algorithm>

#include "Arguments.h"
#include "Formats.h"
#include "Messages.h"

namespace vek {

namespace {

// Les formats connus, tirés de la table des formats : « texte, html, json, forum ou discord ».
std::string ListeDesFormats() {
    std::string liste = NomsDesFormats(", ");
    if (const auto virgule = liste.rfind(", "); virgule != std::string::npos)
        liste.replace(virgule, 2, " ou ");
    return liste;
}

// Bornes de --taille-message : un message de quelques lignes au moins, un forum au plus.
constexpr std::size_t TailleMessageMin = 100;
constexpr std::size_t TailleMessageMax = 1000000;

} // namespace

Resultat RangerFormat(Arguments& a, std::string v) {
    const int rang = RangFormat(v);
    if (rang < 0)
        return ErreurUtilisation("format inconnu " + Guillemets(v) + " pour --format (" +
                                 ListeDesFormats() + ").");
    a.ecriture.formats.Ajouter(static_cast<std::size_t>(rang));
    return Resultat::Succes();
}

Resultat RangerTailleMessage(Arguments& a, std::string v) {
    std::size_t n = 0;
    bool chiffres = !v.empty() && v.size() <= 8;
    for (const char c : v) {
        chiffres = chiffres && c >= '0' && c <= '9';
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (!chiffres || n < TailleMessageMin || n > TailleMessageMax)
        return ErreurUtilisation(Guillemets(v) +
                                 " n'est pas une taille pour --taille-message (un nombre de "
                                 "caractères de " +
                                 std::to_string(TailleMessageMin) + " à " +
                                 std::to_string(TailleMessageMax) + ").");
    a.ecriture.tailleMessage = n;
    return Resultat::Succes();
}

Resultat RangerDecoupage(Arguments& a, std::string v) {
    if (v != "jour" && v != "mois")
        return ErreurUtilisation("découpage inconnu " + Guillemets(v) +
                                 " pour --decouper (jour ou mois).");
    a.ecriture.decoupe = v == "jour" ? Decoupage::Jour : Decoupage::Mois;
    return Resultat::Succes();
}

const std::string& AttenduFormat() {
    static const std::string attendu = "un format : " + ListeDesFormats();
    return attendu;
}

std::string AideDesFormats() {
    std::string s;
    for (const Format& f : TableDesFormats()) {
        std::string nom(f.nom);
        nom.resize(std::max<std::size_t>(nom.size() + 1, 8), ' ');
        s += "  " + nom + std::string(f.fichier) + "\n";
        for (std::string_view d = f.description; !d.empty();) {
            const std::size_t fin = std::min(d.find('\n'), d.size());
            s += "          " + std::string(d.substr(0, fin)) + "\n";
            d.remove_prefix(std::min(d.size(), fin + 1));
        }
    }
    return s + "Hors du texte, les cinq octets que Windows-1252 laisse sans\n"
               "caractère deviennent U+FFFD.";
}

} // namespace vek
