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
        } else if (o < 0x20) {
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
