#include "Octets.h"

#include <algorithm>

namespace vek {

void MarquerFinsDeLigne(const char* p, std::size_t n, std::uint64_t* marques) {
    std::size_t k = 0;
#if VEK_SSE2
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; k + 64 <= n; k += 64) {
        std::uint64_t m = 0;
        for (int j = 0; j < 4; ++j) {
            const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 16 * j));
            const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(bloc, lf), _mm_cmpeq_epi8(bloc, cr))));
            m |= static_cast<std::uint64_t>(bits) << (16 * j);
        }
        marques[k / 64] = m;
    }
#endif
    for (; k < n; k += 64) {
        std::uint64_t m = 0;
        const std::size_t bout = std::min<std::size_t>(64, n - k);
        for (std::size_t i = 0; i < bout; ++i)
            if (EstFinDeLigne(p[k + i]))
                m |= std::uint64_t{1} << i;
        marques[k / 64] = m;
    }
}

std::uint64_t CompterFinsDeLigne(const char* p, std::size_t n) {
    std::uint64_t total = 0;
    std::size_t k = 0;
#if VEK_SSE2
    // Seize octets à la fois : un octet est une fin de ligne s'il est un LF, ou un CR que ne
    // suit pas un LF. Les compteurs par octet sont vidés toutes les 255 itérations.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    while (k + 17 <= n) {
        __m128i compteurs = zero;
        for (int tour = 0; tour < 255 && k + 17 <= n; ++tour, k += 16) {
            const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            const __m128i suivant = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 1));
            const __m128i fin =
                _mm_or_si128(_mm_cmpeq_epi8(bloc, lf), _mm_andnot_si128(_mm_cmpeq_epi8(suivant, lf),
                                                                        _mm_cmpeq_epi8(bloc, cr)));
            compteurs = _mm_sub_epi8(compteurs, fin);
        }
        const __m128i sommes = _mm_sad_epu8(compteurs, zero);
        total += static_cast<std::uint64_t>(_mm_cvtsi128_si64(sommes)) +
                 static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sommes, sommes)));
    }
#endif
    for (; k < n; ++k) {
        if (p[k] == '\n')
            ++total;
        else if (p[k] == '\r' && (k + 1 == n || p[k + 1] != '\n'))
            ++total;
    }
    return total;
}

} // namespace vek
