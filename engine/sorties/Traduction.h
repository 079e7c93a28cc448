#pragma once
// Traduction des octets Windows-1252 d'un extrait en UTF-8 échappé, pour la page web et pour les
// chaînes JSON : une table de 256 entrées par sortie, et un balayage seize octets à la fois des
// octets qui s'écrivent eux-mêmes.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "Octets.h"

namespace vek {

// Ce qu'un octet devient dans une sortie : ses octets UTF-8, ou son échappement (six octets au
// plus ; les huit sont recopiés d'un coup).
struct Traduction {
    std::array<char, 8> octets{};
    std::uint8_t longueur = 0;
};

struct TableTraduction {
    std::array<Traduction, 256> traductions{};
    std::array<bool, 256> telQuel{}; // l'octet s'écrit lui-même
};

// Un octet s'écrit au plus en six.
constexpr std::size_t ExpansionMax = 6;

// Les sorties traduites : la page (« & », « < », « > » en entités, contrôles en leur symbole
// visible), JSON (guillemets, barres obliques inverses, contrôles et DEL échappés), le forum
// (chaque « [ » suivi d'une espace sans chasse, contrôles visibles) et Discord (chaque signe de
// mise en forme précédé d'une barre oblique inverse, « @ » et « < » suivis d'une espace sans
// chasse, contrôles visibles).
enum class Vers { Page, Json, Forum, Discord };
const TableTraduction& TablePage();
const TableTraduction& TableJson();
const TableTraduction& TableForum();
const TableTraduction& TableDiscord();
// Les octets tels quels, en UTF-8 (sans échappement) : les adresses des liens sur Discord.
const TableTraduction& TableBrute();

#if VEK_SSE2
// Les octets d'un bloc de seize qui ne s'écrivent pas eux-mêmes, un bit chacun : les contrôles,
// DEL et les octets hauts (sous l'espace en signé), et les signes propres à la sortie. La
// tabulation, un contrôle, est renvoyée à la table.
template <Vers V> inline unsigned OctetsAEchapper(__m128i bloc) {
    const __m128i espace = _mm_set1_epi8(0x20); // en signé : les octets hauts sont au-dessous
    const auto egal = [&](char c) { return _mm_cmpeq_epi8(bloc, _mm_set1_epi8(c)); };
    __m128i speciaux = _mm_or_si128(_mm_cmplt_epi8(bloc, espace), egal(0x7F));
    if constexpr (V == Vers::Page)
        speciaux =
            _mm_or_si128(speciaux, _mm_or_si128(egal('&'), _mm_or_si128(egal('<'), egal('>'))));
    else if constexpr (V == Vers::Json)
        speciaux = _mm_or_si128(speciaux, _mm_or_si128(egal('"'), egal('\\')));
    else if constexpr (V == Vers::Forum)
        speciaux = _mm_or_si128(speciaux, egal('['));
    else
        for (const char c : {'*', '_', '~', '`', '|', '>', '#', '\\', '[', '<', '@', ':'})
            speciaux = _mm_or_si128(speciaux, egal(c));
    return static_cast<unsigned>(_mm_movemask_epi8(speciaux));
}
#endif

// Écrit la traduction du texte à partir de d, qui a la place d'au moins
// texte.size() * ExpansionMax + 16 octets ; rend la fin de ce qui a été écrit. Seize octets à
// la fois : chaque bloc est recopié d'un coup, puis la copie est arrêtée au premier octet à
// traduire (la place réservée le permet : la suite sera récrite).
template <Vers V>
inline char* TraduireVers(char* d, std::string_view texte, const TableTraduction& table) {
    const auto* p = reinterpret_cast<const unsigned char*>(texte.data());
    const auto* const fin = p + texte.size();
    const auto traduire = [&] {
        const Traduction& t = table.traductions[*p++];
        std::memcpy(d, t.octets.data(), t.octets.size());
        d += t.longueur;
    };
#if VEK_SSE2
    while (fin - p >= 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), bloc);
        const unsigned masque = OctetsAEchapper<V>(bloc);
        if (masque == 0) {
            p += 16;
            d += 16;
            continue;
        }
        const int k = std::countr_zero(masque);
        p += k;
        d += k;
        traduire();
    }
#endif
    while (p < fin) {
        if (table.telQuel[*p])
            *d++ = static_cast<char>(*p++);
        else
            traduire();
    }
    return d;
}

} // namespace vek
