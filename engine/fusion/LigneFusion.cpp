#include "LigneFusion.h"

#include "Enregistrement.h"

namespace vek {

namespace {

std::size_t PasserEspaces(std::string_view texte, std::size_t i) {
    while (i < texte.size() && texte[i] == ' ')
        ++i;
    return i;
}

// FNV-1a sur 64 bits.
std::uint64_t Empreinte(std::string_view octets) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : octets) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

void DeuxChiffres(char* d, int valeur) {
    d[0] = static_cast<char>('0' + valeur / 10 % 10);
    d[1] = static_cast<char>('0' + valeur % 10);
}

} // namespace

LigneAnalysee AnalyserPourFusion(std::string_view ligne, std::string& tampon) {
    LigneAnalysee l;
    if (const auto date = DateDeLigne(ligne))
        l.secondes = JoursDepuis1970(*date) * SecondesParJour + SecondesDeLigne(ligne).value_or(0);
    const std::string_view corps = CorpsDeLigne(ligne);
    const Extraction x = AnalyserCorps(corps, tampon);
    switch (x.genre) {
    case GenreCorps::Channel: {
        l.genre = GenreFusion::Channel;
        l.tag = x.tag;
        l.nom = x.nom;
        // Le message après « "Nom": » ; une ligne d'une autre forme est prise en entier.
        const auto debut = static_cast<std::size_t>(x.nom.data() - corps.data());
        const bool reguliere = !x.nom.empty() && debut >= 1 && debut <= corps.size() &&
                               corps.substr(debut + x.nom.size(), 2) == "\":";
        l.message = reguliere ? corps.substr(debut + x.nom.size() + 2) : corps;
        break;
    }
    case GenreCorps::Proximite: {
        l.genre = GenreFusion::Proximite;
        l.nom = x.nom;
        const std::size_t fin = 1 + x.nom.size();
        l.message = corps.substr(fin, 4) == "}\":\"" ? corps.substr(fin + 4) : corps;
        break;
    }
    case GenreCorps::Vous: {
        l.genre = GenreFusion::Vous;
        std::size_t q = PasserEspaces(corps, DebutVousAvezDit.size());
        if (q < corps.size() && corps[q] == ':')
            q = PasserEspaces(corps, q + 1);
        l.message = corps.substr(q);
        break;
    }
    case GenreCorps::Autre:
        break;
    }
    return l;
}

std::optional<CleMessage> CleDe(const LigneAnalysee& l, std::string_view joueur,
                                std::size_t memeJoueur) {
    CleMessage c;
    switch (l.genre) {
    case GenreFusion::Channel:
        c.octets.push_back('c');
        MettreEnMajuscules(l.tag, c.octets);
        c.octets.push_back('\0');
        c.octets.append(l.nom);
        break;
    case GenreFusion::Proximite:
        c.octets.push_back('p');
        c.octets.append(l.nom);
        break;
    case GenreFusion::Vous:
        c.octets.push_back(joueur.empty() ? 'v' : 'p');
        c.octets.append(joueur.empty() ? std::to_string(memeJoueur) : std::string(joueur));
        break;
    case GenreFusion::Prive:
        return std::nullopt;
    }
    c.octets.push_back('\0');
    c.octets.append(l.message);
    c.empreinte = Empreinte(c.octets);
    return c;
}

std::string DecalerLigne(std::string_view ligne, std::int64_t decalage) {
    std::string r(ligne);
    const auto date = DateDeLigne(ligne);
    const std::string_view heure = HeureDeLigne(ligne);
    if (decalage == 0 || !date || heure.size() != 8)
        return r;
    const auto secondes = SecondesDeLigne(ligne);
    if (!secondes)
        return r;
    const Instant i = InstantDepuis1970(SecondesDepuis1970({*date, *secondes}) + decalage);
    // La date, mois d'abord, avec les séparateurs de la ligne ; l'heure à sa place.
    DeuxChiffres(r.data(), i.date.mois);
    DeuxChiffres(r.data() + 3, i.date.jour);
    DeuxChiffres(r.data() + 6, i.date.annee / 100);
    DeuxChiffres(r.data() + 8, i.date.annee);
    char* h = r.data() + (heure.data() - ligne.data());
    DeuxChiffres(h, i.seconde / 3600);
    DeuxChiffres(h + 3, i.seconde / 60 % 60);
    DeuxChiffres(h + 6, i.seconde % 60);
    return r;
}

std::string LigneDeProximite(std::string_view ligne, std::string_view joueur,
                             std::string_view message) {
    std::string r(ligne.substr(0, std::min(ligne.size(), LongueurEnTete)));
    r.resize(LongueurEnTete, ' ');
    r.append("{").append(joueur).append("}\":\"").append(message);
    return r;
}

std::string DureeLisible(std::int64_t s) {
    const auto deux = [](std::int64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    const std::int64_t h = s / 3600, m = s / 60 % 60, sec = s % 60;
    if (h > 0)
        return std::to_string(h) + " h " + deux(m) + " min" + (sec ? " " + deux(sec) + " s" : "");
    if (m > 0)
        return std::to_string(m) + " min" + (sec ? " " + deux(sec) + " s" : "");
    return std::to_string(sec) + " s";
}

} // namespace vek
