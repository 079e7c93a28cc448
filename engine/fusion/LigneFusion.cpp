#include "LigneFusion.h"

#include "Enregistrement.h"

namespace vek {

namespace {

std::size_t PasserEspaces(std::string_view texte, std::size_t i) {
    while (i < texte.size() && texte[i] == ' ')
        ++i;
    return i;
}

void DeuxChiffres(char* d, int valeur) {
    d[0] = static_cast<char>('0' + valeur / 10 % 10);
    d[1] = static_cast<char>('0' + valeur % 10);
}

} // namespace

LigneAnalysee AnalyserPourFusion(std::string_view ligne, std::string& tampon) {
    LigneAnalysee l;
    if (const auto date = DateDeLigne(ligne)) {
        const auto secondes = SecondesDeLigne(ligne);
        l.secondes = JoursDepuis1970(*date) * SecondesParJour + secondes.value_or(0);
        if (const std::string_view heure = HeureDeLigne(ligne); secondes && heure.size() == 8)
            l.heure = static_cast<std::size_t>(heure.data() - ligne.data());
    }
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

bool AjouterCle(const LigneAnalysee& l, std::string_view joueur, std::size_t memeJoueur,
                std::string& octets) {
    switch (l.genre) {
    case GenreFusion::Channel:
        octets.push_back('c');
        AjouterEnMajuscules(l.tag, octets);
        octets.push_back('\0');
        octets.append(l.nom);
        break;
    case GenreFusion::Proximite:
        octets.push_back('p');
        octets.append(l.nom);
        break;
    case GenreFusion::Vous:
        octets.push_back(joueur.empty() ? 'v' : 'p');
        octets.append(joueur.empty() ? std::to_string(memeJoueur) : std::string(joueur));
        break;
    case GenreFusion::Prive:
        return false;
    }
    octets.push_back('\0');
    octets.append(l.message);
    return true;
}

std::optional<CleMessage> CleDe(const LigneAnalysee& l, std::string_view joueur,
                                std::size_t memeJoueur) {
    CleMessage c;
    if (!AjouterCle(l, joueur, memeJoueur, c.octets))
        return std::nullopt;
    c.empreinte = EmpreinteCle(c.octets);
    return c;
}

void DecalerEnPlace(std::string& octets, std::size_t debut, const LigneAnalysee& analyse,
                    std::int64_t decalage, JourEcrit& jour) {
    if (decalage == 0 || !analyse.secondes || !analyse.heure)
        return;
    const std::int64_t instant = *analyse.secondes + decalage;
    const std::int64_t j = instant >= 0 ? instant / SecondesParJour
                                        : (instant - SecondesParJour + 1) / SecondesParJour;
    if (j != jour.jour)
        jour = {j, InstantDepuis1970(instant).date};
    const auto seconde = static_cast<int>(instant - j * SecondesParJour);
    // La date, mois d'abord, avec les séparateurs de la ligne ; l'heure à sa place.
    char* d = octets.data() + debut;
    DeuxChiffres(d, jour.date.mois);
    DeuxChiffres(d + 3, jour.date.jour);
    DeuxChiffres(d + 6, jour.date.annee / 100);
    DeuxChiffres(d + 8, jour.date.annee);
    char* h = d + *analyse.heure;
    DeuxChiffres(h, seconde / 3600);
    DeuxChiffres(h + 3, seconde / 60 % 60);
    DeuxChiffres(h + 6, seconde % 60);
}

void AjouterLigneDeProximite(std::string_view ligne, std::string_view joueur,
                             std::string_view message, std::string& octets) {
    const std::size_t debut = octets.size();
    octets.append(ligne.substr(0, std::min(ligne.size(), LongueurEnTete)));
    octets.resize(debut + LongueurEnTete, ' ');
    octets.append("{").append(joueur).append("}\":\"").append(message);
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
