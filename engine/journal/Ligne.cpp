#include "Ligne.h"

#include "Octets.h"

#include <array>
#include <bit>
#include <cstring>

namespace vek {

namespace {

constexpr bool EstChiffre(char c) {
    return c >= '0' && c <= '9';
}
constexpr int Chiffre(char c) {
    return c - '0';
}

} // namespace

std::optional<Date> DateDeLigne(std::string_view ligne) {
    // Mois aux positions 1-2, « / » en 3, jour en 4-5, année en 7-10 ; la 6 n'est pas examinée.
    if (ligne.size() < 3 || ligne[2] != '/')
        return std::nullopt;
    if (ligne.size() < 10)
        return std::nullopt;
    const char* p = ligne.data();
    if (!EstChiffre(p[0]) || !EstChiffre(p[1]) || !EstChiffre(p[3]) || !EstChiffre(p[4]) ||
        !EstChiffre(p[6]) || !EstChiffre(p[7]) || !EstChiffre(p[8]) || !EstChiffre(p[9]))
        return std::nullopt;
    const int mois = Chiffre(p[0]) * 10 + Chiffre(p[1]);
    const int jour = Chiffre(p[3]) * 10 + Chiffre(p[4]);
    const int annee =
        Chiffre(p[6]) * 1000 + Chiffre(p[7]) * 100 + Chiffre(p[8]) * 10 + Chiffre(p[9]);
    if (!DateValide(annee, mois, jour))
        return std::nullopt;
    return Date{annee, mois, jour};
}

std::optional<int> SecondesDeLigne(std::string_view ligne) {
    if (ligne.size() <= 10)
        return std::nullopt;
    const std::string_view zone = ligne.substr(10, LongueurEnTete - 10);
    // La forme du jeu, « hh:mm:ss » juste après un séparateur, se lit d'un coup.
    if (zone.size() >= 10 && !EstChiffre(zone[0]) && EstChiffre(zone[1]) && EstChiffre(zone[2]) &&
        zone[3] == ':' && EstChiffre(zone[4]) && EstChiffre(zone[5]) && zone[6] == ':' &&
        EstChiffre(zone[7]) && EstChiffre(zone[8]) && !EstChiffre(zone[9]) && zone[9] != ':') {
        const int h = Chiffre(zone[1]) * 10 + Chiffre(zone[2]);
        const int m = Chiffre(zone[4]) * 10 + Chiffre(zone[5]);
        const int s = Chiffre(zone[7]) * 10 + Chiffre(zone[8]);
        if (h > 23 || m > 59 || s > 59)
            return std::nullopt;
        return h * 3600 + m * 60 + s;
    }
    std::size_t i = 0;
    while (i < zone.size() && !EstChiffre(zone[i]))
        ++i;
    // Deux nombres de deux chiffres au plus (l'heure peut n'en avoir qu'un), puis peut-être un
    // troisième, séparés par « : ».
    int valeurs[3] = {0, 0, 0};
    int lus = 0;
    while (lus < 3) {
        const std::size_t debut = i;
        while (i < zone.size() && EstChiffre(zone[i]) && i - debut < 2)
            valeurs[lus] = valeurs[lus] * 10 + Chiffre(zone[i++]);
        const std::size_t chiffres = i - debut;
        if (chiffres == 0 || (lus > 0 && chiffres != 2) || (i < zone.size() && EstChiffre(zone[i])))
            return std::nullopt;
        ++lus;
        if (i + 1 >= zone.size() || zone[i] != ':' || !EstChiffre(zone[i + 1]))
            break;
        ++i;
    }
    if (lus < 2 || valeurs[0] > 23 || valeurs[1] > 59 || valeurs[2] > 59)
        return std::nullopt;
    return valeurs[0] * 3600 + valeurs[1] * 60 + valeurs[2];
}

std::string_view CorpsDeLigne(std::string_view ligne) {
    return ligne.size() > LongueurEnTete ? ligne.substr(LongueurEnTete) : std::string_view{};
}

namespace {

// Curseur du tag : s'arrête au premier « ] » ou à la dernière position du corps (1-based).
std::size_t PositionFinTag(std::string_view corps) {
    if (corps.size() <= 1)
        return 1;
    const char* crochet = ChercherOctet(corps.data(), corps.size() - 1, ']');
    return crochet ? static_cast<std::size_t>(crochet - corps.data()) + 1 : corps.size();
}

// Recueille le texte à partir du curseur (1-based) : avance tant que le caractère sous le
// curseur n'est pas « : » et que le curseur est avant la fin, en ajoutant chaque nouveau
// caractère. Rend le texte recueilli (vue dans le corps) moins les `retire` derniers caractères,
// ou vide si le texte recueilli est trop court.
std::string_view Recueillir(std::string_view corps, std::size_t curseur, std::size_t retire) {
    const std::size_t depart = curseur;
    if (curseur < corps.size()) {
        // Premier « : » aux positions depart à len - 1, sinon le curseur s'arrête en fin de corps.
        const char* deuxPoints =
            ChercherOctet(corps.data() + depart - 1, corps.size() - depart, ':');
        curseur =
            deuxPoints ? static_cast<std::size_t>(deuxPoints - corps.data()) + 1 : corps.size();
    }
    // Texte recueilli : positions depart + 1 à curseur (vide si le curseur n'a pas bougé).
    const std::size_t longueur = curseur > depart ? curseur - depart : 0;
    if (longueur < retire)
        return {};
    return corps.substr(depart, longueur - retire);
}

} // namespace

Extraction AnalyserCorps(std::string_view corps, std::string& tampon) {
    Extraction e;
    if (!corps.empty() && corps[0] == '[') {
        e.genre = GenreCorps::Channel;
        const std::size_t p = PositionFinTag(corps);
        if (corps[p - 1] == ']') {
            e.tag = corps.substr(0, p);
        } else {
            // Pas de « ] » : le dernier caractère est perdu et « ] » ajouté.
            tampon.assign(corps.substr(0, p - 1));
            tampon.push_back(']');
            e.tag = tampon;
        }
        e.nom = Recueillir(corps, p + 2, 2);
    } else if (!corps.empty() && corps[0] == '{') {
        e.genre = GenreCorps::Proximite;
        e.nom = Recueillir(corps, 1, 3);
    } else if (corps.substr(0, DebutVousAvezDit.size()) == DebutVousAvezDit) {
        e.genre = GenreCorps::Vous;
        e.nom = NomVous;
    } else {
        e.genre = GenreCorps::Autre;
        e.nom = NomWhisps;
    }
    return e;
}

namespace {

constexpr std::array<unsigned char, 256> TableMajuscules() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 0x20);
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) // ÷
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 0x20);
    t[0x9A] = 0x8A; // š Š
    t[0x9C] = 0x8C; // œ Œ
    t[0x9E] = 0x8E; // ž Ž
    t[0xFF] = 0x9F; // ÿ Ÿ
    return t;
}

constexpr auto Majuscules = TableMajuscules();

} // namespace

unsigned char MajusculeCp1252(unsigned char c) {
    return Majuscules[c];
}

void MettreEnMajuscules(std::string_view texte, std::string& sortie) {
    sortie.resize(texte.size());
    for (std::size_t i = 0; i < texte.size(); ++i)
        sortie[i] = static_cast<char>(Majuscules[static_cast<unsigned char>(texte[i])]);
}

void AjouterEnMajuscules(std::string_view texte, std::string& sortie) {
    const std::size_t debut = sortie.size();
    sortie.resize(debut + texte.size());
    for (std::size_t i = 0; i < texte.size(); ++i)
        sortie[debut + i] = static_cast<char>(Majuscules[static_cast<unsigned char>(texte[i])]);
}

std::string_view RognerEspaces(std::string_view texte) {
    const std::size_t debut = texte.find_first_not_of(' ');
    if (debut == std::string_view::npos)
        return {};
    return texte.substr(debut, texte.find_last_not_of(' ') + 1 - debut);
}

std::size_t ChercherVousAppelle(std::string_view texte) {
    static constexpr std::string_view motif = "VOUS APPELLE";
    constexpr std::size_t Absent = std::string_view::npos;
    if (texte.size() < motif.size())
        return Absent;
    const std::size_t derniere = texte.size() - motif.size(); // dernière position possible
    const auto commenceIci = [&](std::size_t i) {
        std::size_t k = 1;
        while (k < motif.size() && Majuscules[static_cast<unsigned char>(texte[i + k])] ==
                                       static_cast<unsigned char>(motif[k]))
            ++k;
        return k == motif.size();
    };
    std::size_t i = 0;
#if VEK_SSE2
    // Seules les positions d'un « V » ou d'un « v » (les deux seuls octets dont la majuscule est
    // « V ») sont essayées, repérées seize octets à la fois.
    const __m128i bit = _mm_set1_epi8(0x20);
    const __m128i v = _mm_set1_epi8('v');
    for (; i + 16 <= derniere + 1; i += 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texte.data() + i));
        auto masque =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(bloc, bit), v)));
        while (masque != 0) {
            const std::size_t j = i + static_cast<std::size_t>(std::countr_zero(masque));
            if (commenceIci(j))
                return j;
            masque &= masque - 1;
        }
    }
#endif
    for (; i <= derniere; ++i)
        if (Majuscules[static_cast<unsigned char>(texte[i])] == 'V' && commenceIci(i))
            return i;
    return Absent;
}

std::string_view HeureDeLigne(std::string_view ligne) {
    const std::string_view zone = ligne.substr(std::min<std::size_t>(ligne.size(), 10), 12);
    for (std::size_t i = 0; i + 8 <= zone.size(); ++i) {
        const std::string_view h = zone.substr(i, 8);
        if (EstChiffre(h[0]) && EstChiffre(h[1]) && h[2] == ':' && EstChiffre(h[3]) &&
            EstChiffre(h[4]) && h[5] == ':' && EstChiffre(h[6]) && EstChiffre(h[7]))
            return h;
    }
    return {};
}

} // namespace vek
