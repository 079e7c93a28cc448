#pragma once
// Lecture, pour les tests, de ce qu'on colle sur un forum ou sur Discord. Le BBCode est lu comme
// le lit un forum de type phpBB (une balise : « [ », son nom, une valeur après « = », « ] ») et
// rendu en HTML ; le Markdown est lu comme Discord le lit (barre oblique inverse, signes de mise
// en forme, liens, mentions). Rien n'est repris du programme.

#include <string>
#include <string_view>
#include <vector>

namespace vek::test {

inline constexpr std::string_view EspaceSansChasse = "\xE2\x80\x8B";

inline std::string SansEspacesSansChasse(std::string texte) {
    for (std::size_t i; (i = texte.find(EspaceSansChasse)) != std::string::npos;)
        texte.erase(i, EspaceSansChasse.size());
    return texte;
}

struct BbcodeLu {
    std::string erreur;               // vide : chaque balise ouverte est fermée dans l'ordre
    std::vector<std::string> balises; // les balises ouvrantes, dans l'ordre
    std::string visible;              // le texte qui se voit (espaces sans chasse ôtées)
    std::string html;
};

// Les balises qu'un forum reconnaît (phpBB et ses voisins).
inline bool BaliseConnue(std::string_view nom) {
    for (const char* b : {"b", "i", "u", "s", "color", "size", "url", "img", "quote", "code",
                          "list", "*", "email", "spoiler"})
        if (nom == b)
            return true;
    return false;
}

inline BbcodeLu LireBbcode(std::string_view t) {
    BbcodeLu lu;
    std::vector<std::string> pile;
    for (std::size_t i = 0; i < t.size();) {
        if (t[i] == '[') {
            const std::size_t fin = t.find(']', i);
            const bool fermante = i + 1 < t.size() && t[i + 1] == '/';
            const std::size_t debutNom = i + (fermante ? 2 : 1);
            if (fin != std::string_view::npos) {
                std::string_view corps = t.substr(debutNom, fin - debutNom);
                const std::string nom(corps.substr(0, corps.find('=')));
                if (BaliseConnue(nom)) {
                    if (fermante) {
                        if (pile.empty() || pile.back() != nom)
                            lu.erreur = "[/" + nom + "] ne ferme pas la dernière balise";
                        else
                            pile.pop_back();
                        lu.html += "</" + nom + ">";
                    } else {
                        pile.push_back(nom);
                        lu.balises.push_back(std::string(corps));
                        lu.html += "<" + nom + ">";
                    }
                    i = fin + 1;
                    continue;
                }
            }
        }
        if (t.substr(i, 3) != EspaceSansChasse) {
            lu.visible += t[i];
            lu.html += t[i] == '<' ? std::string("&lt;") : std::string(1, t[i]);
        }
        i += t.substr(i, 3) == EspaceSansChasse ? 3 : 1;
    }
    if (lu.erreur.empty() && !pile.empty())
        lu.erreur = "[" + pile.back() + "] n'est pas fermée";
    return lu;
}

struct MarkdownLu {
    std::string visible; // le texte qui se voit (échappements et espaces sans chasse ôtés)
    std::string signes;  // les signes de mise en forme non échappés, dans l'ordre
    std::vector<std::string> liens;    // les adresses entre chevrons
    std::vector<std::string> nus;      // les adresses sans chevrons (qui feraient un aperçu)
    std::vector<std::string> mentions; // @everyone, @here, <@…>, <#…>, <@&…>
};

// Une ligne de Markdown telle que Discord la lit.
inline MarkdownLu LireMarkdown(std::string_view t) {
    MarkdownLu lu;
    const std::string_view Signes = "*_~`|>#[";
    for (std::size_t i = 0; i < t.size();) {
        const char c = t[i];
        if (c == '\\' && i + 1 < t.size() &&
            std::string_view("*_~`|>#[\\:<@-").find(t[i + 1]) != std::string_view::npos) {
            lu.visible += t[i + 1];
            i += 2;
            continue;
        }
        if (c == '<' && t.substr(i + 1, 4) == "http") {
            const std::size_t fin = t.find('>', i);
            lu.liens.emplace_back(t.substr(i + 1, fin - i - 1));
            lu.visible += lu.liens.back();
            i = fin + 1;
            continue;
        }
        if (t.substr(i, 4) == "http") {
            std::size_t fin = i;
            while (fin < t.size() && t[fin] != ' ')
                ++fin;
            lu.nus.emplace_back(t.substr(i, fin - i));
        }
        for (const char* mention : {"@everyone", "@here", "<@", "<#"})
            if (t.substr(i, std::string_view(mention).size()) == mention)
                lu.mentions.emplace_back(mention);
        if (Signes.find(c) != std::string_view::npos)
            lu.signes += c;
        if (t.substr(i, 3) == EspaceSansChasse) {
            i += 3;
            continue;
        }
        lu.visible += c;
        ++i;
    }
    return lu;
}

} // namespace vek::test
