#include "Candidats.h"

#include "Octets.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>

namespace vek {

namespace {

// Pour chaque lettre repliée, les octets dont le repli finit par elle, commence par elle, la
// contient ; et les digrammes, deux lettres qu'un seul octet donne (œ pour « oe ») : une telle
// paire peut tenir dans un octet, et ne se cherche pas comme deux voisins.
struct Replis {
    std::array<EnsembleOctets, 256> finit{}, commence{}, contient{};
    std::vector<std::pair<char, char>> digrammes;
    Replis() {
        for (int b = 0; b < 256; ++b) {
            const OctetReplie r = Replier(static_cast<unsigned char>(b));
            const auto noter = [b](EnsembleOctets& e) {
                e[static_cast<std::size_t>(b) / 64] |= std::uint64_t{1} << (b % 64);
            };
            noter(commence[static_cast<unsigned char>(r.octets[0])]);
            noter(finit[static_cast<unsigned char>(r.octets[r.longueur - 1])]);
            for (std::size_t k = 0; k < r.longueur; ++k)
                noter(contient[static_cast<unsigned char>(r.octets[k])]);
            if (r.longueur == 2)
                digrammes.emplace_back(r.octets[0], r.octets[1]);
        }
    }
    bool Digramme(char a, char b) const {
        return std::find(digrammes.begin(), digrammes.end(), std::pair{a, b}) != digrammes.end();
    }
};

const Replis& LesReplis() {
    static const Replis r;
    return r;
}

std::vector<unsigned char> Membres(const EnsembleOctets& e) {
    std::vector<unsigned char> v;
    for (int b = 0; b < 256; ++b)
        if (Contient(e, static_cast<unsigned char>(b)))
            v.push_back(static_cast<unsigned char>(b));
    return v;
}

std::vector<unsigned char> Compares(const EnsembleOctets& e) {
    std::vector<unsigned char> v = Membres(e);
    for (unsigned char& b : v)
        b |= 0x20;
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

// Ce que coûte un choix, en dixièmes de nanoseconde par octet du journal (à un facteur près) :
// une lettre seule candidate fait examiner sa ligne (environ 200 ns), une paire est d'abord
// vérifiée sur place (environ 20 ns), chaque comparaison coûte environ 0,02 ns par octet.
constexpr double CoutCandidat = 2000.0;
constexpr double CoutVerification = 200.0;
constexpr double CoutComparaison = 0.2;
constexpr std::size_t MaxCompares = 16;

// Les fréquences des octets et des paires d'octets voisins d'un échantillon, et le coût de
// chaque choix, calculé une fois (une requête démesurée répète ses lettres).
class Estimation {
public:
    explicit Estimation(std::string_view e) : taille_(static_cast<double>(e.size())) {
        for (std::size_t i = 0; i < e.size(); ++i) {
            const auto a = static_cast<unsigned char>(e[i]);
            ++octets_[a];
            if (i + 1 < e.size())
                ++paires_[a * 256u + static_cast<unsigned char>(e[i + 1])];
        }
    }
    // Le coût de la lettre a seule, ou de la paire a b ; négatif si elle demande trop de
    // comparaisons.
    double Cout(char a, char b, bool paire) {
        const auto x = static_cast<unsigned char>(a), y = static_cast<unsigned char>(b);
        float& memo = paire ? couts_[x * 256u + y] : seules_[x];
        if (memo == Inconnu)
            memo = static_cast<float>(Calculer(a, b, paire));
        return memo;
    }

private:
    static constexpr float Inconnu = -2;
    double Calculer(char a, char b, bool paire) const {
        const Replis& r = LesReplis();
        const EnsembleOctets& x = paire ? r.finit[static_cast<unsigned char>(a)]
                                        : r.contient[static_cast<unsigned char>(a)];
        const EnsembleOctets* y = paire ? &r.commence[static_cast<unsigned char>(b)] : nullptr;
        const std::size_t compares = Compares(x).size(), comparesY = y ? Compares(*y).size() : 0;
        if (compares > MaxCompares || comparesY > MaxCompares)
            return -1;
        std::uint64_t compte = 0;
        const std::vector<unsigned char> ys = y ? Membres(*y) : std::vector<unsigned char>{};
        for (const unsigned char o : Membres(x)) {
            if (!y)
                compte += octets_[o];
            for (const unsigned char o2 : ys)
                compte += paires_[o * 256u + o2];
        }
        const double part = taille_ > 0 ? static_cast<double>(compte) / taille_ : 0;
        return part * (y ? CoutVerification : CoutCandidat) +
               static_cast<double>(compares + comparesY) * CoutComparaison;
    }
    double taille_;
    std::array<std::uint64_t, 256> octets_{};
    std::vector<std::uint32_t> paires_ = std::vector<std::uint32_t>(65536);
    std::vector<float> couts_ = std::vector<float>(65536, Inconnu);
    std::vector<float> seules_ = std::vector<float>(256, Inconnu);
};

// Les textes repliés que toute ligne trouvée contient tels quels, une fois ses octets repliés :
// les mots des termes retenus, et le locuteur quand un seul est demandé.
std::vector<std::string> TextesSurs(const Requete& r) {
    std::vector<std::string> textes;
    for (const Terme& t : r.termes)
        if (!t.exclu)
            textes.insert(textes.end(), t.mots.begin(), t.mots.end());
    const auto demandes = std::count_if(r.locuteurs.begin(), r.locuteurs.end(),
                                        [](const Champ& c) { return !c.exclu; });
    if (demandes == 1)
        for (const Champ& c : r.locuteurs)
            if (!c.exclu)
                textes.push_back(c.valeur);
    return textes;
}

} // namespace

OctetsCandidats::OctetsCandidats(const Requete& requete, std::string_view echantillon) {
    Estimation estimation(echantillon);
    double meilleur = -1;
    const std::string* texteChoisi = nullptr;
    const auto essayer = [&](const std::string& texte, std::size_t i, std::size_t n) {
        const double cout = estimation.Cout(texte[i], n == 2 ? texte[i + 1] : '\0', n == 2);
        if (cout < 0 || (meilleur >= 0 && cout >= meilleur))
            return;
        meilleur = cout;
        texteChoisi = &texte;
        rang_ = i;
        longueur_ = n;
    };
    const std::vector<std::string> textes = TextesSurs(requete);
    for (const std::string& texte : textes) {
        bool paire = false;
        for (std::size_t i = 0; i + 1 < texte.size(); ++i) {
            if (!LesReplis().Digramme(texte[i], texte[i + 1])) {
                essayer(texte, i, 2);
                paire = true;
            }
        }
        // Un mot d'une lettre, ou fait de digrammes (« oe ») : une lettre seule.
        for (std::size_t i = 0; !paire && i < texte.size(); ++i)
            essayer(texte, i, 1);
    }
    if (!texteChoisi) {
        longueur_ = 0;
        return;
    }
    mot_ = *texteChoisi;
    std::copy_n(mot_.begin() + static_cast<std::ptrdiff_t>(rang_), longueur_, choix_);
    const Replis& r = LesReplis();
    premier_ = longueur_ == 1 ? r.contient[static_cast<unsigned char>(choix_[0])]
                              : r.finit[static_cast<unsigned char>(choix_[0])];
    second_ = longueur_ == 2 ? r.commence[static_cast<unsigned char>(choix_[1])] : EnsembleOctets{};
    comparesPremier_ = Compares(premier_);
    comparesSecond_ = Compares(second_);
    ChoisirBalayage();
}

bool OctetsCandidats::Confirme(const char* q, const char* debut, const char* fin) const {
    // Le repli de q finit par la lettre de rang rang_ du mot : après q, la suite du mot ; avant,
    // son début (le repli de q compris, s'il a deux lettres). Sans dépasser debut ni fin.
    const std::string_view mot = mot_;
    std::size_t i = rang_ + 1;
    for (const char* p = q + 1; i < mot.size(); ++p) {
        if (p == fin)
            return false;
        const OctetReplie r = Replier(static_cast<unsigned char>(*p));
        for (std::size_t k = 0; k < r.longueur && i < mot.size(); ++k, ++i)
            if (r.octets[k] != mot[i])
                return false;
    }
    std::size_t avant = rang_ + 1; // les lettres du mot jusqu'à celle de q comprise
    for (const char* p = q + 1; avant > 0;) {
        if (p == debut)
            return false;
        const OctetReplie r = Replier(static_cast<unsigned char>(*--p));
        for (std::size_t k = r.longueur; k > 0; --k, --avant)
            if (avant == 0 || r.octets[k - 1] != mot[avant - 1])
                return false; // le mot commencerait au milieu d'une ligature
    }
    return true;
}

const char* OctetsCandidats::Suivant(const char* p, const char* fin) const {
    if (longueur_ == 0)
        return p;
    return balayage_(*this, p, fin);
}

template <int N1, int N2>
const char* OctetsCandidats::Balayer(const OctetsCandidats& c, const char* p, const char* fin) {
    constexpr std::ptrdiff_t Marge = N2 > 0 ? 1 : 0; // le second octet d'une paire
    const char* const debut = p;
    const auto candidat = [&](const char* q) {
        return c.Candidat(q) && (N2 == 0 || c.Confirme(q, debut, fin));
    };
#if VEK_SSE2
    __m128i premiers[N1], seconds[N2 > 0 ? N2 : 1];
    for (int k = 0; k < N1; ++k)
        premiers[k] =
            _mm_set1_epi8(static_cast<char>(c.comparesPremier_[static_cast<std::size_t>(k)]));
    for (int k = 0; k < N2; ++k)
        seconds[k] =
            _mm_set1_epi8(static_cast<char>(c.comparesSecond_[static_cast<std::size_t>(k)]));
    const __m128i bit = _mm_set1_epi8(0x20);
    // Les octets de p + decalage qui sont candidats (le bit 0x20 mis, ce que les compares
    // portent aussi).
    const auto candidats = [&](const char* q) {
        const __m128i x = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)), bit);
        __m128i egaux = _mm_cmpeq_epi8(x, premiers[0]);
        for (int k = 1; k < N1; ++k)
            egaux = _mm_or_si128(egaux, _mm_cmpeq_epi8(x, premiers[k]));
        if constexpr (N2 > 0) {
            const __m128i y =
                _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 1)), bit);
            __m128i egauxY = _mm_cmpeq_epi8(y, seconds[0]);
            for (int k = 1; k < N2; ++k)
                egauxY = _mm_or_si128(egauxY, _mm_cmpeq_epi8(y, seconds[k]));
            egaux = _mm_and_si128(egaux, egauxY);
        }
        return static_cast<std::uint32_t>(_mm_movemask_epi8(egaux));
    };
    for (; fin - p >= 32 + Marge; p += 32) {
        for (std::uint32_t masque = candidats(p) | (candidats(p + 16) << 16); masque != 0;
             masque &= masque - 1) {
            const char* q = p + std::countr_zero(masque);
            if (candidat(q))
                return q;
        }
    }
#endif
    for (; fin - p >= 1 + Marge; ++p)
        if (candidat(p))
            return p;
    return fin;
}

void OctetsCandidats::ChoisirBalayage() {
    // Chaque liste est complétée par répétition de son dernier octet jusqu'à 1, 2, 4, 8 ou 16.
    const auto completer = [](std::vector<unsigned char>& v) {
        std::size_t n = 1;
        while (n < v.size())
            n *= 2;
        v.resize(n, v.back());
        return static_cast<int>(n);
    };
    const int n1 = completer(comparesPremier_);
    const int n2 = longueur_ == 2 ? completer(comparesSecond_) : 0;
    constexpr Balayage Table[5][6] = {{&Balayer<1, 0>, &Balayer<1, 1>, &Balayer<1, 2>,
                                       &Balayer<1, 4>, &Balayer<1, 8>, &Balayer<1, 16>},
                                      {&Balayer<2, 0>, &Balayer<2, 1>, &Balayer<2, 2>,
                                       &Balayer<2, 4>, &Balayer<2, 8>, &Balayer<2, 16>},
                                      {&Balayer<4, 0>, &Balayer<4, 1>, &Balayer<4, 2>,
                                       &Balayer<4, 4>, &Balayer<4, 8>, &Balayer<4, 16>},
                                      {&Balayer<8, 0>, &Balayer<8, 1>, &Balayer<8, 2>,
                                       &Balayer<8, 4>, &Balayer<8, 8>, &Balayer<8, 16>},
                                      {&Balayer<16, 0>, &Balayer<16, 1>, &Balayer<16, 2>,
                                       &Balayer<16, 4>, &Balayer<16, 8>, &Balayer<16, 16>}};
    const auto rang = [](int n) { return std::countr_zero(static_cast<unsigned>(n)); };
    balayage_ = Table[rang(n1)][n2 == 0 ? 0 : rang(n2) + 1];
}

} // namespace vek
