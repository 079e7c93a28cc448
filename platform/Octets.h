#pragma once
// Noyaux de balayage d'octets : fins de ligne et octets cherchés seize à la fois quand le
// processeur le permet (SSE2, que tout processeur x86-64 a), un octet à la fois sinon. VEK_SSE2 est
// le seul interrupteur du projet pour ces instructions.

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#define VEK_SSE2 1
#include <emmintrin.h>
#else
#define VEK_SSE2 0
#endif

namespace vek {

inline bool EstFinDeLigne(char c) {
    return c == '\n' || c == '\r';
}

// Première fin de ligne (CR ou LF) dans [p, fin), ou fin : un seul balayage pour les deux octets.
inline const char* ChercherFinDeLigne(const char* p, const char* fin) {
#if VEK_SSE2
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (fin - p >= 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int masque =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bloc, lf), _mm_cmpeq_epi8(bloc, cr)));
        if (masque != 0)
            return p + std::countr_zero(static_cast<unsigned>(masque));
        p += 16;
    }
#endif
    for (; p < fin; ++p)
        if (EstFinDeLigne(*p))
            return p;
    return fin;
}

// Premier octet c dans [p, p + n), ou nullptr : seize octets à la fois, sans appel, pour les
// textes courts des lignes de discussion.
inline const char* ChercherOctet(const char* p, std::size_t n, char c) {
#if VEK_SSE2
    const __m128i cherche = _mm_set1_epi8(c);
    for (; n >= 16; p += 16, n -= 16) {
        const int masque = _mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), cherche));
        if (masque != 0)
            return p + std::countr_zero(static_cast<unsigned>(masque));
    }
#endif
    for (; n > 0; ++p, --n)
        if (*p == c)
            return p;
    return nullptr;
}

// Marque les fins de ligne (CR ou LF) de [p, p + n) : le bit i du mot i / 64 dit si l'octet i
// en est une. Un seul balayage par remplissage du tampon ; chaque ligne n'a plus qu'à chercher le
// bit suivant.
void MarquerFinsDeLigne(const char* p, std::size_t n, std::uint64_t* marques);

// Nombre de fins de ligne dans [p, p + n) : les LF, plus les CR qui ne sont pas suivis d'un LF
// dans la zone (un CR en dernier octet compte).
std::uint64_t CompterFinsDeLigne(const char* p, std::size_t n);

} // namespace vek
