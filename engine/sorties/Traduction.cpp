// Les tables de traduction de la page web et des chaînes JSON.

#include "Traduction.h"

#include "Cp1252.h"
#include "Publication.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace vek {

namespace {

void Poser(Traduction& t, std::string_view texte) {
    std::copy(texte.begin(), texte.end(), t.octets.begin());
    t.longueur = static_cast<std::uint8_t>(texte.size());
}

void PoserCaractere(Traduction& t, char32_t c) {
    std::string utf8;
    AjouterUtf8(utf8, c);
    Poser(t, utf8);
}

// Les octets 0x80 à 0xFF, communs aux deux sorties.
void PoserOctetsHauts(TableTraduction& table) {
    for (unsigned o = 0x80; o <= 0xFF; ++o)
        PoserCaractere(table.traductions[o], CaracterePublie(static_cast<unsigned char>(o)));
}

TableTraduction FaireTablePage() {
    TableTraduction table;
    for (unsigned o = 0; o < 0x80; ++o) {
        Traduction& t = table.traductions[o];
        if (o == '&') {
            Poser(t, "&amp;");
        } else if (o == '<') {
            Poser(t, "&lt;");
        } else if (o == '>') {
            Poser(t, "&gt;");
        } else if (o < 0x20 && o != '\t') {
            PoserCaractere(t, 0x2400 + o); // ␀, ␁ … : le caractère reste visible
        } else if (o == 0x7F) {
            PoserCaractere(t, 0x2421); // ␡
        } else {
            PoserCaractere(t, o);
            table.telQuel[o] = true;
        }
    }
    PoserOctetsHauts(table);
    return table;
}

TableTraduction FaireTableJson() {
    TableTraduction table;
    for (unsigned o = 0; o < 0x80; ++o) {
        Traduction& t = table.traductions[o];
        if (o == '"') {
            Poser(t, "\\\"");
        } else if (o == '\\') {
            Poser(t, "\\\\");
        } else if (o == '\n') {
            Poser(t, "\\n");
        } else if (o == '\r') {
            Poser(t, "\\r");
        } else if (o == '\t') {
            Poser(t, "\\t");
        } else if (o < 0x20 || o == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", o);
            Poser(t, code);
        } else {
            PoserCaractere(t, o);
            table.telQuel[o] = true;
        }
    }
    PoserOctetsHauts(table);
    return table;
}

// Les contrôles (sauf la tabulation) et DEL en leur symbole visible ; le reste en UTF-8, sauf
// les octets que traduire écrit autrement (il rend faux pour les laisser tels quels).
template <class Traduire> TableTraduction FaireTableVisible(Traduire traduire) {
    TableTraduction table;
    for (unsigned o = 0; o < 0x80; ++o) {
        Traduction& t = table.traductions[o];
        if (traduire(t, static_cast<char>(o))) {
        } else if (o < 0x20 && o != '\t') {
            PoserCaractere(t, 0x2400 + o);
        } else if (o == 0x7F) {
            PoserCaractere(t, 0x2421);
        } else {
            PoserCaractere(t, o);
            table.telQuel[o] = true;
        }
    }
    PoserOctetsHauts(table);
    return table;
}

// Une espace sans chasse (U+200B), en UTF-8 : elle sépare, sans se voir, ce qui formerait une
// balise ou une mention.
constexpr std::string_view SansChasse = "\xE2\x80\x8B";

TableTraduction FaireTableForum() {
    // Chaque balise BBCode commence par « [ » : suivi d'une espace sans chasse, il n'en ouvre
    // aucune (« [b] », « [url=…] », « [/quote] » se lisent tels quels).
    return FaireTableVisible([](Traduction& t, char c) {
        if (c != '[')
            return false;
        Poser(t, std::string("[").append(SansChasse));
        return true;
    });
}

TableTraduction FaireTableDiscord() {
    return FaireTableVisible([](Traduction& t, char c) {
        switch (c) {
        case '*':
        case '_':
        case '~':
        case '`':
        case '|':
        case '>':
        case '#':
        case '\\':
        case '[':
        case ':':
            // Échappé : le signe se voit et ne met rien en forme (« :nom: » ne devient pas un
            // émoji, « -# » pas un sous-texte, « [x](…) » pas un lien masqué).
            Poser(t, std::string("\\").append(1, c));
            return true;
        case '@':
        case '<':
            // « @everyone », « @here », « <@123> », « <#123> », « <@&123> » : visibles, et
            // personne n'est prévenu.
            Poser(t, std::string(1, c).append(SansChasse));
            return true;
        default:
            return false;
        }
    });
}

TableTraduction FaireTableBrute() {
    TableTraduction table;
    for (unsigned o = 0; o < 0x80; ++o) {
        PoserCaractere(table.traductions[o], o);
        table.telQuel[o] = true;
    }
    PoserOctetsHauts(table);
    return table;
}

} // namespace

const TableTraduction& TablePage() {
    static const TableTraduction table = FaireTablePage();
    return table;
}

const TableTraduction& TableJson() {
    static const TableTraduction table = FaireTableJson();
    return table;
}

} // namespace vek

namespace vek {

const TableTraduction& TableForum() {
    static const TableTraduction table = FaireTableForum();
    return table;
}

const TableTraduction& TableDiscord() {
    static const TableTraduction table = FaireTableDiscord();
    return table;
}

const TableTraduction& TableBrute() {
    static const TableTraduction table = FaireTableBrute();
    return table;
}

} // namespace vek
