// Découpage d'une ligne retenue pour la publication (genre, en-tête, badge, nom, texte, champs
// des lignes JSON) et couleurs stables des noms et des channels.

#include "Publication.h"

#include "Ligne.h"

#include <cstring>

namespace vek {

namespace {

constexpr std::size_t LongueurVousAppelle = std::string_view("vous appelle").size();

std::size_t PasserEspaces(std::string_view texte, std::size_t i) {
    while (i < texte.size() && texte[i] == ' ')
        ++i;
    return i;
}

// L'heure d'une ligne : les positions 11 à 22, sans les espaces ni le tiret qui les séparent
// du reste (« 00:12:47 » dans « 12/24/2001 00:12:47 - »).
std::string_view HeureDeLigne(std::string_view ligne) {
    if (ligne.size() <= 10)
        return {};
    std::string_view heure = RognerEspaces(ligne.substr(10, LongueurEnTete - 10));
    if (!heure.empty() && heure.back() == '-')
        heure = RognerEspaces(heure.substr(0, heure.size() - 1));
    return heure;
}

bool Dans(std::string_view vue, std::string_view texte) {
    return !vue.empty() && vue.data() >= texte.data() && vue.data() < texte.data() + texte.size();
}

} // namespace

NomsDuGenre NomsGenre(GenreEntree genre) {
    // Dans l'ordre de GenreEntree.
    static constexpr NomsDuGenre Noms[] = {{"channel", ""},  {"proximite", "p"}, {"dit", "d"},
                                           {"murmure", "m"}, {"appel", "a"},     {"autre", "x"}};
    return Noms[static_cast<std::size_t>(genre)];
}

Entree DecouperEntree(std::string_view ligne, const Extraction& x, std::string_view r,
                      const Modes& modes) {
    Entree e;
    e.ligne = ligne;
    e.reecrite = r;
    e.date = DateDeLigne(ligne);
    e.heure = HeureDeLigne(ligne);
    const std::string_view corps = CorpsDeLigne(ligne);

    // La date et l'heure, quand la ligne réécrite commence encore par elles.
    std::size_t pos = 0;
    if (!modes.ModeUnlessDate && ligne.size() > LongueurEnTete && r.size() >= LongueurEnTete &&
        r.substr(0, LongueurEnTete) == ligne.substr(0, LongueurEnTete))
        pos = LongueurEnTete;
    e.finEnTete = pos;
    e.debutBadge = e.finBadge = e.debutNom = e.finNom = e.debutTexte = pos;
    const auto nomA = [&](std::size_t debut, std::size_t longueur) {
        e.debutNom = debut;
        e.finNom = debut + longueur;
    };
    const auto texteA = [&](std::size_t debut) { e.debutTexte = PasserEspaces(r, debut); };

    switch (x.genre) {
    case GenreCorps::Channel: {
        e.genre = GenreEntree::Channel;
        if (Dans(x.tag, ligne)) {
            e.channel = x.tag;
        } else {
            e.channel = corps.substr(0, x.tag.size() - 1); // le tag d'un corps sans « ] »
            e.crochetAjoute = true;
        }
        e.nom = x.nom;
        if (!modes.ModeUnlessChannel && r.substr(pos, x.tag.size()) == x.tag) {
            e.debutBadge = pos;
            e.finBadge = pos + x.tag.size();
            pos = e.finBadge;
        }
        e.debutNom = e.finNom = pos;
        e.debutTexte = pos;
        const std::size_t n = x.nom.size();
        if (n == 0)
            break;
        // Après le tag (ou à sa place) : un caractère, puis le nom, entre guillemets sauf en
        // mode RP.
        for (std::size_t p = pos; p <= pos + 2 && p < r.size(); ++p) {
            if (modes.ModeRPName) {
                if (r.substr(p, n) == x.nom) {
                    nomA(p, n);
                    break;
                }
            } else if (r[p] == '"' && r.substr(p + 1, n) == x.nom && p + 1 + n < r.size() &&
                       r[p + 1 + n] == '"') {
                nomA(p + 1, n);
                break;
            }
        }
        if (e.finNom == e.debutNom)
            break;
        std::size_t q = e.finNom;
        if (!modes.ModeRPName && q < r.size() && r[q] == '"')
            ++q;
        if (q < r.size() && r[q] == ':')
            ++q;
        texteA(q);
        break;
    }
    case GenreCorps::Proximite: {
        e.genre = GenreEntree::Proximite;
        e.channel = TexteZoneProximite;
        e.nom = x.nom;
        const std::size_t n = x.nom.size();
        if (n == 0)
            break;
        if (!modes.ModeRPName && r.substr(pos, 1) == "{" && r.substr(pos + 1, n) == x.nom) {
            nomA(pos + 1, n);
            const std::size_t q = e.finNom;
            texteA(r.substr(q, 4) == "}\":\"" ? q + 4 : q);
        } else if (modes.ModeRPName && r.substr(pos, n) == x.nom) {
            nomA(pos, n);
            const std::size_t q = e.finNom;
            texteA(r.substr(q, 3) == " : " ? q + 3 : q);
        }
        break;
    }
    case GenreCorps::Vous: {
        e.genre = GenreEntree::Dit;
        e.channel = TexteZoneProximite;
        e.nom = "Vous";
        if (r.substr(pos, DebutVousAvezDit.size()) == DebutVousAvezDit) {
            nomA(pos, DebutVousAvezDit.size());
            std::size_t q = PasserEspaces(r, e.finNom);
            if (q < r.size() && r[q] == ':')
                ++q;
            texteA(q);
        }
        break;
    }
    case GenreCorps::Autre: {
        // Retenue, une telle ligne contient « vous appelle » : « Aldric vous appelle : … » est
        // un murmure reçu ; toute autre forme, un appel.
        const std::string_view corpsReecrit = r.substr(pos);
        const std::size_t i = ChercherVousAppelle(corpsReecrit);
        if (i == std::string_view::npos)
            break;
        const std::string_view appelant = RognerEspaces(corpsReecrit.substr(0, i));
        const bool nomPlausible = !appelant.empty() && appelant.find(':') == std::string::npos;
        std::size_t q = PasserEspaces(r, pos + i + LongueurVousAppelle);
        const bool murmure =
            nomPlausible && corpsReecrit[i - 1] == ' ' && q < r.size() && r[q] == ':';
        e.genre = murmure ? GenreEntree::Murmure : GenreEntree::Appel;
        if (nomPlausible) {
            nomA(static_cast<std::size_t>(appelant.data() - r.data()), appelant.size());
            e.nom = appelant;
        }
        if (murmure)
            texteA(q + 1);
        break;
    }
    }
    return e;
}

// --- couleurs ---

std::uint32_t EmpreinteTexte(std::string_view texte) {
    std::uint32_t h = 2166136261u;
    for (const char c : texte) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

int TeinteNom(std::string_view nom) {
    return static_cast<int>(EmpreinteTexte(nom) % TeintesNoms);
}

int TeinteChannel(std::string_view tag) {
    return static_cast<int>(EmpreinteTexte(tag) % TeintesChannels);
}

} // namespace vek
