#pragma once
// Lecture stricte, pour les tests, de ce que la publication écrit : une page (chaque élément
// ouvert est fermé dans l'ordre, aucun « < », « > » ou « & » nu dans le texte, aucune entité
// inconnue, aucun script) et une ligne JSON (un objet plat de chaînes et de null). Rien n'est
// repris du programme : le décodage attendu de Windows-1252 a sa propre table.

#include <algorithm>
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
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Windows-1252 comme le décodent les outils courants (Python : errors="replace") : U+FFFD pour
// les cinq octets sans caractère. Avec visibles, les contrôles (sauf la tabulation) donnent leur
// symbole (U+2400…, U+2421 pour DEL), comme sur la page.
inline std::string DecoderCp1252(std::string_view octets, bool visibles) {
    static constexpr char32_t Haut[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string s;
    for (const char o : octets) {
        const auto b = static_cast<unsigned char>(o);
        const bool controle = (b < 0x20 && b != '\t') || b == 0x7F;
        AjouterUtf8(s, b >= 0x80 && b <= 0x9F ? Haut[b - 0x80]
                       : visibles && controle ? (b == 0x7F ? 0x2421 : 0x2400 + b)
                                              : char32_t{b});
    }
    return s;
}

// UTF-8 bien formé (sans forme trop longue pour deux octets).
inline bool Utf8Valide(std::string_view s) {
    for (std::size_t i = 0, n = 0; i < s.size(); i += n) {
        const auto b = static_cast<unsigned char>(s[i]);
        n = b < 0x80                ? 1
            : b >= 0xC2 && b < 0xE0 ? 2
            : (b & 0xF0) == 0xE0    ? 3
            : (b & 0xF8) == 0xF0    ? 4
                                    : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
    }
    return true;
}

struct MorceauLu {
    std::string balise, classe, texte;
};
struct EntreeLue {
    std::string classe, texte; // du <p>, entités décodées
    std::vector<MorceauLu> morceaux;
};
struct PageLue {
    std::string erreur;              // vide : la page est bien formée
    std::vector<EntreeLue> entrees;  // les <p> de <main>
    std::vector<std::string> titres; // les <h2> de <main>
    std::vector<std::size_t> avant;  // pour chaque titre, les entrées qui le précèdent
    std::string texteEnTete;
};

inline PageLue LirePage(std::string_view h) {
    PageLue page;
    std::vector<std::string> pile;
    std::string* texte = nullptr; // l'entrée ou le titre en cours
    const auto echec = [&](std::string quoi) {
        if (page.erreur.empty())
            page.erreur = std::move(quoi);
    };
    constexpr std::string_view Doctype = "<!DOCTYPE html>";
    if (h.substr(0, Doctype.size()) != Doctype)
        echec("pas de <!DOCTYPE html>");
    for (std::size_t i = Doctype.size(); i < h.size() && page.erreur.empty();) {
        const std::size_t lt = std::min(h.find('<', i), h.size());
        std::string brut(h.substr(i, lt - i)), clair;
        for (std::size_t k = 0; k < brut.size(); ++k) {
            static const std::map<std::string, char> Entites = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
            if (brut[k] == '>')
                echec("« > » nu");
            if (brut[k] != '&') {
                clair += brut[k];
                continue;
            }
            const std::string entite = brut.substr(k, brut.find(';', k) + 1 - k);
            if (!Entites.count(entite))
                echec("entité inconnue " + entite);
            clair += Entites.count(entite) ? Entites.at(entite) : '?';
            k += entite.size() - 1;
        }
        if (texte) {
            *texte += clair;
            if (!page.entrees.empty() && texte == &page.entrees.back().texte && pile.back() != "p")
                page.entrees.back().morceaux.back().texte += clair;
        }
        if (std::find(pile.begin(), pile.end(), "header") != pile.end())
            page.texteEnTete += clair;
        if (lt == h.size())
            break;
        const std::size_t gt = h.find('>', lt);
        const std::string balise(h.substr(lt + 1, gt - lt - 1));
        if (gt == std::string_view::npos || balise.find('<') != std::string::npos) {
            echec("« < » nu ou balise non fermée");
            break;
        }
        i = gt + 1;
        const std::string nom =
            balise.substr(balise[0] == '/', balise.find(' ') - (balise[0] == '/'));
        if (balise[0] == '/') {
            if (pile.empty() || pile.back() != nom)
                echec("</" + nom + "> ne ferme pas <" + (pile.empty() ? "" : pile.back()) + ">");
            else
                pile.pop_back();
            if (nom == "p" || nom == "h2")
                texte = nullptr;
            continue;
        }
        std::string classe;
        for (std::size_t e = balise.find('='); e != std::string::npos;
             e = balise.find('=', e + 1)) {
            const bool guillemets = balise[e + 1] == '"';
            const std::size_t fin = guillemets ? balise.find('"', e + 2) : balise.find(' ', e);
            const std::string valeur = balise.substr(e + 1 + guillemets, fin - e - 1 - guillemets);
            if (e >= 5 && balise.compare(e - 5, 5, "class") == 0)
                classe = valeur;
            e = fin == std::string::npos ? balise.size() - 1 : fin;
        }
        if (nom == "script")
            echec("un script");
        if (nom == "style") {
            i = std::min(h.find("</style>", i), h.size()) + 8;
        } else if (nom != "meta" && nom != "input") { // éléments vides
            pile.push_back(nom);
        }
        const bool dansMain = std::find(pile.begin(), pile.end(), "main") != pile.end();
        if (dansMain && nom == "p") {
            page.entrees.push_back({classe, {}, {}});
            texte = &page.entrees.back().texte;
        } else if (dansMain && nom == "h2") {
            page.avant.push_back(page.entrees.size());
            texte = &page.titres.emplace_back();
        } else if (texte && !page.entrees.empty()) {
            page.entrees.back().morceaux.push_back({nom, classe, {}});
        }
    }
    if (!pile.empty())
        echec("<" + pile.back() + "> jamais fermé");
    return page;
}

// Une ligne JSON : un objet plat dont les valeurs sont des chaînes, des entiers positifs (lus en
// chiffres), true (lu « true ») ou null ; rien sinon.
using ObjetJson = std::map<std::string, std::optional<std::string>>;

inline std::optional<ObjetJson> LireObjetJson(std::string_view l) {
    std::size_t i = 0;
    const auto chaine = [&]() -> std::optional<std::string> {
        static const std::map<char, char> Simples = {{'"', '"'},  {'\\', '\\'}, {'/', '/'},
                                                     {'b', '\b'}, {'f', '\f'},  {'n', '\n'},
                                                     {'r', '\r'}, {'t', '\t'}};
        std::string s;
        if (i >= l.size() || l[i++] != '"')
            return std::nullopt;
        for (; i < l.size() && l[i] != '"'; ++i) {
            if (static_cast<unsigned char>(l[i]) < 0x20)
                return std::nullopt; // un contrôle doit être échappé
            if (l[i] != '\\') {
                s += l[i];
            } else if (i + 1 < l.size() && Simples.count(l[i + 1])) {
                s += Simples.at(l[++i]);
            } else if (l.substr(i + 1, 1) == "u" && i + 5 < l.size()) {
                const std::string hex(l.substr(i + 2, 4));
                if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                    return std::nullopt;
                AjouterUtf8(s, static_cast<char32_t>(std::stoul(hex, nullptr, 16)));
                i += 5;
            } else {
                return std::nullopt;
            }
        }
        if (i++ >= l.size())
            return std::nullopt;
        return s;
    };
    ObjetJson objet;
    if (l.substr(0, 1) != "{")
        return std::nullopt;
    for (i = 1; i < l.size();) {
        const auto cle = chaine();
        if (!cle || objet.count(*cle) || l.substr(i, 1) != ":")
            return std::nullopt;
        ++i;
        if (l.substr(i, 4) == "null") {
            objet[*cle] = std::nullopt;
            i += 4;
        } else if (l.substr(i, 4) == "true") {
            objet[*cle] = "true";
            i += 4;
        } else if (const auto n = l.find_first_not_of("0123456789", i); n > i && n != l.npos) {
            objet[*cle] = std::string(l.substr(i, n - i));
            i = n;
        } else if (auto valeur = chaine()) {
            objet[*cle] = std::move(valeur);
        } else {
            return std::nullopt;
        }
        if (l.substr(i) == "}")
            return objet;
        if (l.substr(i, 1) != ",")
            return std::nullopt;
        ++i;
    }
    return std::nullopt;
}

} // namespace vek::test
