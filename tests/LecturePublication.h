#pragma once
// Lecture stricte, pour les tests, de ce que la publication écrit : une page web (chaque élément
// ouvert est fermé dans l'ordre, le texte ne porte ni « < », ni « > », ni « & » nus, les entités
// sont connues, aucun script) et une ligne JSON (un objet plat de chaînes et de null). Écrit
// sans rien reprendre du programme : le décodage de Windows-1252 attendu a sa propre table.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vek::test {

inline void AjouterUtf8(std::string& s, char32_t c) {
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Windows-1252 tel que le décodent les outils courants (Python : errors="replace") : les cinq
// octets sans caractère donnent U+FFFD. Avec controlesVisibles, les caractères de contrôle
// (sauf la tabulation) donnent leur symbole U+2400… (U+2421 pour DEL), comme sur la page.
inline std::string DecoderCp1252(std::string_view octets, bool controlesVisibles) {
    static constexpr char32_t Haut[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string s;
    for (const char o : octets) {
        const auto b = static_cast<unsigned char>(o);
        char32_t c = b;
        if (b >= 0x80 && b <= 0x9F)
            c = Haut[b - 0x80];
        else if (controlesVisibles && b < 0x20 && b != '\t')
            c = 0x2400 + b;
        else if (controlesVisibles && b == 0x7F)
            c = 0x2421;
        AjouterUtf8(s, c);
    }
    return s;
}

// Un texte UTF-8 tel que la page le montre : ses caractères de contrôle en leur symbole.
inline std::string ControlesVisibles(std::string_view utf8) {
    std::string s;
    for (const char o : utf8) {
        const auto b = static_cast<unsigned char>(o);
        if ((b < 0x20 && b != '\t') || b == 0x7F)
            AjouterUtf8(s, b == 0x7F ? char32_t{0x2421} : char32_t{0x2400} + b);
        else
            s += o;
    }
    return s;
}

inline bool Utf8Valide(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80             ? 1
                        : (b & 0xE0) == 0xC0 ? 2
                        : (b & 0xF0) == 0xE0 ? 3
                        : (b & 0xF8) == 0xF0 ? 4
                                             : 0;
        if (n == 0 || i + n > s.size() || (n == 2 && b < 0xC2))
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// Un élément d'une entrée : sa balise, sa classe, son texte.
struct MorceauLu {
    std::string balise;
    std::string classe;
    std::string texte;
};

struct EntreeLue {
    std::string classe; // celle du <p>
    std::string texte;  // son texte, entités décodées
    std::vector<MorceauLu> morceaux;
};

struct PageLue {
    std::string erreur;               // vide : la page est bien formée
    std::vector<EntreeLue> entrees;   // les <p> de <main>, dans l'ordre
    std::vector<std::string> titres;  // les <h2> de <main>
    std::vector<std::size_t> avant;   // pour chaque titre : le nombre d'entrées qui le précèdent
    std::vector<std::string> balises; // toutes les balises ouvertes
    std::vector<std::string> valeurs; // toutes les valeurs d'attributs
    std::string styles;               // le contenu de <style>
    std::string texteEnTete;          // le texte de <header>
};

inline PageLue LirePage(std::string_view h) {
    PageLue page;
    const auto echec = [&](std::size_t i, const std::string& quoi) {
        if (page.erreur.empty())
            page.erreur = quoi + " (octet " + std::to_string(i) + ")";
    };
    static constexpr std::string_view Doctype = "<!DOCTYPE html>";
    if (h.substr(0, Doctype.size()) != Doctype) {
        echec(0, "pas de <!DOCTYPE html> en tête");
        return page;
    }
    const auto estVide = [](const std::string& b) { return b == "meta" || b == "br"; };
    const auto lettre = [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); };
    std::vector<std::string> pile;
    std::string* texte = nullptr; // où va le texte courant (entrée, titre ou en-tête)
    bool dansMain = false, dansHeader = false;
    std::size_t i = Doctype.size();
    while (i < h.size() && page.erreur.empty()) {
        const char c = h[i];
        if (c == '<') {
            const bool fin = i + 1 < h.size() && h[i + 1] == '/';
            std::size_t j = i + (fin ? 2 : 1);
            const std::size_t debutNom = j;
            while (j < h.size() && lettre(h[j]))
                ++j;
            const std::string nom(h.substr(debutNom, j - debutNom));
            if (nom.empty()) {
                echec(i, "« < » nu dans le texte");
                break;
            }
            std::string classe;
            while (!fin && j < h.size() && h[j] == ' ') {
                ++j;
                std::size_t k = j;
                while (k < h.size() && (lettre(h[k]) || h[k] == '-'))
                    ++k;
                const std::string attribut(h.substr(j, k - j));
                if (attribut.empty() || k >= h.size() || h[k] != '=') {
                    echec(k, "attribut mal formé");
                    break;
                }
                j = k + 1;
                std::string valeur;
                if (j < h.size() && h[j] == '"') {
                    const std::size_t ferme = h.find('"', j + 1);
                    if (ferme == std::string_view::npos) {
                        echec(j, "valeur d'attribut non fermée");
                        break;
                    }
                    valeur = h.substr(j + 1, ferme - j - 1);
                    j = ferme + 1;
                } else {
                    while (j < h.size() &&
                           std::string_view(" \"'=<>`").find(h[j]) == std::string_view::npos)
                        valeur += h[j++];
                }
                if (valeur.find_first_of("<>&") != std::string::npos)
                    echec(j, "valeur d'attribut suspecte : " + valeur);
                if (attribut == "class")
                    classe = valeur;
                page.valeurs.push_back(valeur);
            }
            if (j >= h.size() || h[j] != '>') {
                echec(j, "balise <" + nom + "> mal fermée");
                break;
            }
            i = j + 1;
            if (fin) {
                if (pile.empty() || pile.back() != nom) {
                    echec(i,
                          "</" + nom + "> ne ferme pas " + (pile.empty() ? "rien" : pile.back()));
                    break;
                }
                pile.pop_back();
                if (nom == "main")
                    dansMain = false;
                if (nom == "header")
                    dansHeader = false;
                if (dansMain && (nom == "p" || nom == "h2"))
                    texte = nullptr;
                continue;
            }
            page.balises.push_back(nom);
            if (nom == "script") {
                echec(i, "un script");
                break;
            }
            if (nom == "style") {
                const std::size_t ferme = h.find("</style>", i);
                if (ferme == std::string_view::npos) {
                    echec(i, "<style> non fermé");
                    break;
                }
                page.styles += h.substr(i, ferme - i);
                i = ferme + 8;
                continue;
            }
            if (estVide(nom))
                continue;
            pile.push_back(nom);
            if (nom == "main")
                dansMain = true;
            if (nom == "header")
                dansHeader = true;
            if (dansMain && nom == "p") {
                page.entrees.push_back({classe, {}, {}});
                texte = &page.entrees.back().texte;
            } else if (dansMain && nom == "h2") {
                page.titres.emplace_back();
                page.avant.push_back(page.entrees.size());
                texte = &page.titres.back();
            } else if (dansMain && texte && !page.entrees.empty()) {
                page.entrees.back().morceaux.push_back({nom, classe, {}});
            }
            continue;
        }
        // Du texte : jusqu'à la balise suivante, entités décodées.
        std::string morceau;
        while (i < h.size() && h[i] != '<') {
            if (h[i] == '>') {
                echec(i, "« > » nu dans le texte");
                break;
            }
            if (h[i] != '&') {
                morceau += h[i++];
                continue;
            }
            const std::size_t pv = h.find(';', i);
            const std::string entite(h.substr(i, pv == std::string_view::npos ? 1 : pv - i + 1));
            if (entite == "&amp;")
                morceau += '&';
            else if (entite == "&lt;")
                morceau += '<';
            else if (entite == "&gt;")
                morceau += '>';
            else if (entite == "&quot;")
                morceau += '"';
            else {
                echec(i, "entité inconnue " + entite);
                break;
            }
            i += entite.size();
        }
        if (texte) {
            *texte += morceau;
            if (dansMain && !page.entrees.empty() && texte == &page.entrees.back().texte &&
                !page.entrees.back().morceaux.empty() && pile.back() != "p")
                page.entrees.back().morceaux.back().texte += morceau;
        }
        if (dansHeader)
            page.texteEnTete += morceau;
    }
    if (page.erreur.empty() && !pile.empty())
        page.erreur = "élément <" + pile.back() + "> jamais fermé";
    return page;
}

// Une ligne JSON : un objet plat dont les valeurs sont des chaînes ou null ; rien si la ligne
// n'en est pas un (erreur dit pourquoi).
using ObjetJson = std::map<std::string, std::optional<std::string>>;

inline std::optional<ObjetJson> LireObjetJson(std::string_view l, std::string& erreur) {
    std::size_t i = 0;
    const auto espaces = [&] {
        while (i < l.size() && (l[i] == ' ' || l[i] == '\t'))
            ++i;
    };
    const auto chaine = [&]() -> std::optional<std::string> {
        if (i >= l.size() || l[i] != '"')
            return std::nullopt;
        std::string s;
        for (++i; i < l.size() && l[i] != '"'; ++i) {
            const auto b = static_cast<unsigned char>(l[i]);
            if (b < 0x20)
                return std::nullopt; // un contrôle doit être échappé
            if (l[i] != '\\') {
                s += l[i];
                continue;
            }
            if (++i >= l.size())
                return std::nullopt;
            switch (l[i]) {
            case '"':
            case '\\':
            case '/':
                s += l[i];
                break;
            case 'b':
                s += '\b';
                break;
            case 'f':
                s += '\f';
                break;
            case 'n':
                s += '\n';
                break;
            case 'r':
                s += '\r';
                break;
            case 't':
                s += '\t';
                break;
            case 'u': {
                if (i + 4 >= l.size())
                    return std::nullopt;
                const std::string hex(l.substr(i + 1, 4));
                if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                    return std::nullopt;
                const auto c = static_cast<char32_t>(std::stoul(hex, nullptr, 16));
                if (c >= 0xD800 && c <= 0xDFFF)
                    return std::nullopt; // la publication n'en a pas besoin
                AjouterUtf8(s, c);
                i += 4;
                break;
            }
            default:
                return std::nullopt;
            }
        }
        if (i >= l.size())
            return std::nullopt;
        ++i;
        return s;
    };
    ObjetJson objet;
    espaces();
    if (i >= l.size() || l[i++] != '{') {
        erreur = "pas d'objet";
        return std::nullopt;
    }
    for (bool premier = true;; premier = false) {
        espaces();
        if (i < l.size() && l[i] == '}' && premier) {
            ++i;
            break;
        }
        const auto cle = chaine();
        espaces();
        if (!cle || i >= l.size() || l[i++] != ':') {
            erreur = "clé mal formée";
            return std::nullopt;
        }
        espaces();
        if (objet.count(*cle) != 0) {
            erreur = "clé en double";
            return std::nullopt;
        }
        if (l.substr(i, 4) == "null") {
            objet[*cle] = std::nullopt;
            i += 4;
        } else if (const auto valeur = chaine()) {
            objet[*cle] = *valeur;
        } else {
            erreur = "valeur de « " + *cle + " » mal formée";
            return std::nullopt;
        }
        espaces();
        if (i < l.size() && l[i] == ',') {
            ++i;
            continue;
        }
        if (i < l.size() && l[i] == '}') {
            ++i;
            break;
        }
        erreur = "ni « , » ni « } »";
        return std::nullopt;
    }
    espaces();
    if (i != l.size()) {
        erreur = "texte après l'objet";
        return std::nullopt;
    }
    return objet;
}

} // namespace vek::test
