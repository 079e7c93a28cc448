#include "Morceau.h"

#include "Octets.h"

#include <algorithm>
#include <bit>

namespace vek {

namespace {

// Marque la fin de chaque ligne de [p, p + n) : un LF, ou un CR que ne suit pas un LF (un CR en
// dernier octet compte) ; le bit i du mot i / 64 pour l'octet i. Le CR d'un CR LF n'est pas
// marqué dans fins, une ligne n'a qu'une marque : il l'est dans crlf, qui dit où la ligne s'arrête
// sans relire ses octets.
void MarquerFins(const char* p, std::size_t n, std::uint64_t* fins, std::uint64_t* crlf) {
    // Les LF et les CR de chaque mot, puis, d'un mot au suivant, ceux des CR que suit un LF (le
    // bit 0 du mot suivant pour le dernier) : au-delà de n, aucun LF.
    const std::size_t mots = (n + 63) / 64;
    std::uint64_t lf = 0, cr = 0;
    const auto finir = [&](std::size_t w, std::uint64_t lfSuivant) {
        const std::uint64_t lfApres = (lf >> 1) | (lfSuivant << 63);
        fins[w] = lf | (cr & ~lfApres);
        crlf[w] = cr & lfApres;
    };
    for (std::size_t w = 0; w < mots; ++w) {
        std::uint64_t lfMot = 0, crMot = 0;
        const std::size_t k = w * 64;
#if VEK_SSE2
        if (k + 64 <= n) {
            const __m128i cLF = _mm_set1_epi8('\n'), cCR = _mm_set1_epi8('\r');
            for (int j = 0; j < 4; ++j) {
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 16 * j));
                lfMot |= std::uint64_t{static_cast<std::uint16_t>(
                             _mm_movemask_epi8(_mm_cmpeq_epi8(a, cLF)))}
                         << (16 * j);
                crMot |= std::uint64_t{static_cast<std::uint16_t>(
                             _mm_movemask_epi8(_mm_cmpeq_epi8(a, cCR)))}
                         << (16 * j);
            }
        } else
#endif
        {
            for (std::size_t i = k; i < std::min(n, k + 64); ++i) {
                lfMot |= std::uint64_t{p[i] == '\n'} << (i - k);
                crMot |= std::uint64_t{p[i] == '\r'} << (i - k);
            }
        }
        if (w > 0)
            finir(w - 1, lfMot);
        lf = lfMot;
        cr = crMot;
    }
    if (mots > 0)
        finir(mots - 1, 0);
}

// Les lignes d'un bloc (chacune finie par CR LF, LF ou CR) : les fins de ligne sont marquées d'un
// balayage, les candidats cherchés d'un autre ; une ligne sans candidat ne fait que passer.
void LireBloc(std::string_view bloc, std::uint64_t position, const OctetsCandidats& candidats,
              std::vector<std::uint64_t>& marques, Morceau& m, LigneTrouvee& trouvee,
              const Emetteur& emettre) {
    const char* base = bloc.data();
    const std::size_t n = bloc.size();
    const char* fin = base + n;
    const std::size_t mots = n / 64 + 1;
    if (marques.size() < 2 * mots)
        marques.resize(2 * mots);
    std::uint64_t* const crlf = marques.data() + mots;
    MarquerFins(base, n, marques.data(), crlf);
    const char* candidat = candidats.Suivant(base, fin);
    std::size_t debut = 0;
    std::uint64_t lignes = m.lignes;
    for (std::size_t w = 0; w * 64 < n; ++w) {
        for (std::uint64_t bits = marques[w]; bits != 0; bits &= bits - 1) {
            const std::size_t e = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
            const std::size_t cr = e > debut ? (crlf[(e - 1) / 64] >> ((e - 1) % 64)) & 1 : 0;
            const std::string_view ligne(base + debut, e - cr - debut);
            ++lignes;
            if (candidat < base + e) {
                if (m.parcours.Examiner(ligne, trouvee)) {
                    trouvee.numero = lignes;
                    trouvee.position = position + debut;
                    emettre(trouvee);
                }
                candidat = candidats.Suivant(base + e + 1, fin);
            } else {
                m.parcours.Passer(ligne);
            }
            debut = e + 1;
        }
    }
    m.lignes = lignes;
}

} // namespace

void LireMorceau(LecteurTexte& lecteur, std::uint64_t jusqua, std::uint64_t taille,
                 const OctetsCandidats& candidats, Morceau& m, const std::stop_token& arret,
                 const Emetteur& emettre, const std::function<void()>& regard) {
    const auto& ouverture = lecteur.EmpreinteOuverture();
    if (ouverture && ouverture->taille < taille) {
        m.raccourci = true;
        return;
    }
    const std::uint64_t depart = lecteur.DebutLigneSuivante();
    std::vector<std::uint64_t> marques;
    LigneTrouvee trouvee;
    while (!lecteur.FinFichier()) {
        if (arret.stop_requested()) {
            m.interrompu = true;
            return;
        }
        const std::uint64_t position = lecteur.DebutLigneSuivante();
        if (jusqua != 0 && position >= jusqua)
            break;
        std::string_view bloc = lecteur.LireLignesEntieres();
        if (bloc.empty()) {
            // Une ligne plus longue que le tampon, ou la dernière sans fin de ligne.
            const std::string_view ligne =
                lecteur.LireLigneBornee(ParcoursRecherche::LongueurLigneGardee);
            ++m.lignes;
            if (m.parcours.Examiner(ligne, trouvee)) {
                trouvee.numero = m.lignes;
                trouvee.position = position;
                emettre(trouvee);
            }
        } else {
            if (jusqua != 0 && position + bloc.size() > jusqua)
                bloc = bloc.substr(0, static_cast<std::size_t>(jusqua - position));
            LireBloc(bloc, position, candidats, marques, m, trouvee, emettre);
        }
        m.octetsLus.store(lecteur.DebutLigneSuivante() - depart, std::memory_order_relaxed);
        m.lignesLues.store(m.lignes, std::memory_order_relaxed);
        regard();
    }
    m.erreur = lecteur.ErreurLecture();
    m.raison = lecteur.Raison();
    m.raccourci = jusqua == 0 ? lecteur.Raccourci() : lecteur.DebutLigneSuivante() < jusqua;
}

std::uint64_t PointDeCoupe(const NomFichier& chemin, std::uint64_t taille) {
    LecteurTexte fichier;
    if (!fichier.Ouvrir(chemin, taille / 2) || fichier.FinFichier())
        return 0;
    fichier.LireDebutDeLigne(0); // la ligne où tombe le milieu, lue jusqu'à sa fin
    if (fichier.FinFichier())
        return 0;
    return fichier.DebutLigneSuivante();
}

} // namespace vek
