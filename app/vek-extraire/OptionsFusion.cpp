#include "OptionsFusion.h"

#include <algorithm>
#include <cstdlib>

#include "Arguments.h"
#include "Cp1252.h"
#include "Fichiers.h"
#include "Messages.h"
#include "Options.h"

namespace vek {

namespace {

// Le rang du journal que nomme fichier : son chemin tel que donné, ou son nom court ; -1 sinon.
long RangDuJournal(const Arguments& a, std::string_view fichier) {
    for (std::size_t i = 0; i < a.journaux.size(); ++i)
        if (a.journaux[i] == fichier || NomCourt(a.journaux[i]) == fichier)
            return static_cast<long>(i);
    return -1;
}

} // namespace

std::string_view NomCourt(std::string_view chemin) {
    const std::size_t barre = chemin.find_last_of("/\\");
    return barre == std::string_view::npos ? chemin : chemin.substr(barre + 1);
}

std::optional<std::int64_t> LireDecalage(std::string_view t) {
    if (t.size() < 2 || (t[0] != '+' && t[0] != '-'))
        return std::nullopt;
    const std::int64_t signe = t[0] == '-' ? -1 : 1;
    t.remove_prefix(1);
    std::vector<std::string_view> parties;
    for (std::size_t debut = 0;;) {
        const std::size_t fin = std::min(t.find(':', debut), t.size());
        parties.push_back(t.substr(debut, fin - debut));
        if (fin == t.size())
            break;
        debut = fin + 1;
    }
    if (parties.size() != 1 && parties.size() != 3)
        return std::nullopt;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < parties.size(); ++i) {
        const std::string_view p = parties[i];
        if (p.empty() || p.size() > 7 ||
            !std::all_of(p.begin(), p.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        const std::int64_t n = std::strtoll(std::string(p).c_str(), nullptr, 10);
        if (i > 0 && n > 59)
            return std::nullopt;
        total = total * 60 + n;
    }
    return signe * total;
}

Resultat RangerDecalage(Arguments& a, std::string valeur) {
    const auto paire = CouperPaire(valeur);
    const auto decalage = paire ? LireDecalage(paire->second) : std::nullopt;
    if (!paire || paire->first.empty() || !decalage)
        return ErreurUtilisation(Guillemets(valeur) +
                                 " n'est pas un décalage pour --decalage (FICHIER=±SECONDES ou "
                                 "FICHIER=±hh:mm:ss, l'avance de l'horloge de ce journal sur celle "
                                 "du premier).");
    a.decalages.emplace_back(paire->first, *decalage);
    return Resultat::Succes();
}

Resultat RangerJoueur(Arguments& a, std::string valeur) {
    const auto paire = CouperPaire(valeur);
    std::string nom;
    if (!paire || paire->first.empty() || RognerEspaces(paire->second).empty())
        return ErreurUtilisation(Guillemets(valeur) +
                                 " n'est pas un joueur pour --joueur (FICHIER=NOM).");
    if (!Utf8VersCp1252(paire->second, nom))
        return ErreurUtilisation(Guillemets(paire->second) +
                                 " ne s'écrit pas en Windows-1252 (la page de code du journal).");
    a.joueurs.emplace_back(paire->first, std::move(nom));
    return Resultat::Succes();
}

Resultat FichiersDesDonneesConnus(const Arguments& a) {
    std::vector<std::string> fichiers;
    for (const auto& d : a.decalages)
        fichiers.push_back(d.first);
    for (const auto& j : a.joueurs)
        fichiers.push_back(j.first);
    for (const std::string& f : fichiers)
        if (RangDuJournal(a, f) < 0)
            return ErreurUtilisation(Guillemets(f) +
                                     " n'est aucun des journaux donnés (--decalage et --joueur "
                                     "nomment un journal par son chemin ou son nom).");
    return Resultat::Succes();
}

Journaux JournauxDemandes(const Arguments& a) {
    Journaux j(a.journaux);
    j.donnees.resize(a.journaux.size());
    for (const auto& [fichier, decalage] : a.decalages)
        j.donnees[static_cast<std::size_t>(RangDuJournal(a, fichier))].avance = decalage;
    for (const auto& [fichier, nom] : a.joueurs)
        j.donnees[static_cast<std::size_t>(RangDuJournal(a, fichier))].joueur = nom;
    return j;
}

std::vector<std::string> JournauxEnDouble(const Journaux& journaux) {
    std::vector<std::string> avis;
    std::vector<std::pair<EmpreinteFichier, std::string>> vus;
    for (const NomFichier& chemin : journaux.chemins) {
        const auto e = LireEmpreinte(chemin);
        if (!e)
            continue;
        const auto deja = std::find_if(vus.begin(), vus.end(), [&](const auto& v) {
            return v.first.noeud == e->noeud && v.first.volume == e->volume;
        });
        if (deja == vus.end())
            vus.emplace_back(*e, chemin);
        else
            avis.push_back(Guillemets(chemin) + " est le même fichier que " +
                           Guillemets(deja->second) + " : il n'est lu qu'une fois.");
    }
    return avis;
}

} // namespace vek
