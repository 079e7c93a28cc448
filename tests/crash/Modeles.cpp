#include "Modeles.h"

#include <algorithm>
#include <map>
#include <set>

#include "Enumeration.h"

namespace vek::coupure {

namespace {

constexpr std::size_t Aucune = static_cast<std::size_t>(-1);
constexpr std::uint64_t Bloc = 4096;
constexpr std::size_t PartsMax = 8;

// Les frontières (en octets depuis le début de l'écriture) où une écriture à position se coupe
// en blocs du fichier ; au-delà de PartsMax parts, PartsMax parts égales en blocs.
std::vector<std::size_t> Frontieres(std::uint64_t position, std::size_t longueur) {
    std::vector<std::size_t> f;
    for (std::uint64_t b = (position / Bloc + 1) * Bloc; b < position + longueur; b += Bloc)
        f.push_back(static_cast<std::size_t>(b - position));
    if (f.size() + 1 <= PartsMax)
        return f;
    std::vector<std::size_t> reduites;
    for (std::size_t i = 1; i < PartsMax; ++i)
        reduites.push_back(f[i * f.size() / PartsMax]);
    return reduites;
}

std::string Joindre(const std::vector<std::string>& parts) {
    std::string texte;
    for (const std::string& p : parts)
        texte += (texte.empty() ? "" : " ; ") + p;
    return texte;
}

} // namespace

std::string_view NomModele(Modele modele) {
    return modele == Modele::Ext4Ordonne ? "ext4 data=ordered" : "tout peut se perdre";
}

Coupures::Coupures(const Trace& trace) : ops_(trace.operations) {
    const std::size_t n = ops_.size();
    logiques_.reserve(n + 1);
    logiques_.push_back(trace.depart);
    for (const Operation& op : ops_) {
        logiques_.push_back(logiques_.back());
        Appliquer(logiques_.back(), op);
    }
    const auto premiere = [&](std::size_t i, auto&& qui) {
        for (std::size_t j = i + 1; j < n; ++j)
            if (qui(ops_[j]))
                return j;
        return Aucune;
    };
    const auto syncDossier = [&](std::size_t i, Noeud d) {
        return premiere(
            i, [d](const Operation& o) { return o.genre == Genre::SyncDossier && o.noeud == d; });
    };
    durableExt4_.assign(n, Aucune);
    durableDesordre_.assign(n, Aucune);
    for (std::size_t i = 0; i < n; ++i) {
        const Operation& op = ops_[i];
        const std::size_t tout =
            premiere(i, [](const Operation& o) { return o.genre == Genre::SyncTout; });
        if (EstNom(op.genre)) {
            durableExt4_[i] =
                premiere(i, [](const Operation& o) { return EstSynchronisation(o.genre); });
            std::size_t dossiers = syncDossier(i, op.a.dossier);
            if (op.genre == Genre::Renommer || op.genre == Genre::Echanger)
                dossiers = std::max(dossiers, syncDossier(i, op.b.dossier));
            durableDesordre_[i] = std::min(tout, dossiers);
        } else if (EstDonnee(op.genre)) {
            durableExt4_[i] = durableDesordre_[i] = premiere(i, [&op](const Operation& o) {
                return o.genre == Genre::SyncTout ||
                       (o.genre == Genre::SyncFichier && o.noeud == op.noeud);
            });
        }
    }
}

std::string Coupures::Nom(std::size_t point, Noeud noeud) const {
    for (const Element& e : Elements(logiques_[point]))
        if (e.noeud == noeud)
            return e.chemin;
    return "fichier sans nom";
}

std::vector<Coupures::Coupe>
Coupures::CoupesPossibles(const std::vector<std::size_t>& donnees) const {
    std::vector<Coupe> coupes;
    for (std::size_t c = 0; c <= donnees.size(); ++c) {
        coupes.push_back({c, 0});
        if (c == donnees.size() || ops_[donnees[c]].genre != Genre::Ecrire)
            continue;
        const Operation& op = ops_[donnees[c]];
        for (const std::size_t b : Frontieres(op.position, op.octets.size()))
            coupes.push_back({c, b});
    }
    return coupes;
}

Coupures::AttenteExt4 Coupures::EnAttenteExt4(std::size_t point) const {
    AttenteExt4 a;
    a.rang.assign(point, 0);
    for (std::size_t i = 0; i < point; ++i) {
        if (durableExt4_[i] < point)
            continue;
        if (EstNom(ops_[i].genre)) {
            a.rang[i] = a.noms.size();
            a.noms.push_back(i);
        } else if (EstDonnee(ops_[i].genre)) {
            a.rang[i] = a.donnees[ops_[i].noeud].size();
            a.donnees[ops_[i].noeud].push_back(i);
        }
    }
    for (const auto& [noeud, liste] : a.donnees)
        a.coupes[noeud] = CoupesPossibles(liste);
    return a;
}

EtatPossible Coupures::BatirExt4(std::size_t point, const AttenteExt4& a,
                                 const Combinaison& c) const {
    std::map<Noeud, Coupe> choix;
    std::size_t d = 1;
    for (const auto& [noeud, liste] : a.coupes)
        choix[noeud] = liste[c[d++]];
    // auto_da_alloc : les données d'un fichier qui en remplace un autre partent avant lui.
    for (std::size_t x = 0; x < c[0]; ++x) {
        const Operation& op = ops_[a.noms[x]];
        if (op.genre != Genre::Renommer || op.autre == 0 || !a.donnees.count(op.noeud))
            continue;
        const auto& liste = a.donnees.at(op.noeud);
        const auto avant = static_cast<std::size_t>(
            std::lower_bound(liste.begin(), liste.end(), a.noms[x]) - liste.begin());
        if (choix[op.noeud].gardees < avant)
            choix[op.noeud] = {avant, 0};
    }
    EtatPossible e{logiques_.front(), {}};
    for (std::size_t i = 0; i < point; ++i) {
        const Operation& op = ops_[i];
        const bool nom = EstNom(op.genre), donnee = EstDonnee(op.genre);
        if (durableExt4_[i] < point || (nom && a.rang[i] < c[0]) ||
            (donnee && a.rang[i] < choix[op.noeud].gardees))
            Appliquer(e.etat, op);
        else if (donnee && a.rang[i] == choix[op.noeud].gardees && choix[op.noeud].octets > 0)
            EcrireDans(e.etat.contenus[op.noeud], op.position,
                       std::string_view(op.octets).substr(0, choix[op.noeud].octets));
    }
    std::vector<std::string> pertes;
    if (c[0] < a.noms.size())
        pertes.push_back("noms perdus à partir de « " + ops_[a.noms[c[0]]].appel + " » (" +
                         std::to_string(a.noms.size() - c[0]) + " sur " +
                         std::to_string(a.noms.size()) + ")");
    for (const auto& [noeud, coupe] : choix) {
        const auto& liste = a.donnees.at(noeud);
        if (coupe.gardees == liste.size())
            continue;
        pertes.push_back("« " + ops_[liste[coupe.gardees]].appel + " » " +
                         (coupe.octets ? "coupée après " + std::to_string(coupe.octets) + " octets"
                                       : std::string("perdue")) +
                         (liste.size() - coupe.gardees > 1 ? ", et les suivantes" : ""));
    }
    e.pertes = Joindre(pertes);
    return e;
}

std::vector<Coupures::Unite> Coupures::Unites(std::size_t i) const {
    const Operation& op = ops_[i];
    if (op.genre != Genre::Ecrire)
        return {{i, 0, 0}};
    std::vector<Unite> unites;
    std::size_t debut = 0;
    for (const std::size_t f : Frontieres(op.position, op.octets.size())) {
        unites.push_back({i, debut, f});
        debut = f;
    }
    unites.push_back({i, debut, op.octets.size()});
    return unites;
}

Coupures::AttenteDesordre Coupures::EnAttenteDesordre(std::size_t point) const {
    AttenteDesordre a;
    std::set<Noeud> fichiers;
    for (std::size_t i = 0; i < point; ++i) {
        if (durableDesordre_[i] < point)
            continue;
        if (EstNom(ops_[i].genre))
            a.noms.push_back(i);
        if (EstDonnee(ops_[i].genre)) {
            const auto u = Unites(i);
            a.unites.insert(a.unites.end(), u.begin(), u.end());
            fichiers.insert(ops_[i].noeud);
        }
    }
    a.tailles.assign(fichiers.begin(), fichiers.end());
    return a;
}

EtatPossible Coupures::BatirDesordre(std::size_t point, const AttenteDesordre& a,
                                     const Combinaison& c) const {
    std::set<std::size_t> nomsGardes;
    std::multimap<std::size_t, Unite> gardees;
    std::vector<std::string> pertes;
    for (std::size_t x = 0; x < a.noms.size(); ++x) {
        if (c[x])
            nomsGardes.insert(a.noms[x]);
        else
            pertes.push_back("« " + ops_[a.noms[x]].appel + " » perdu");
    }
    for (std::size_t x = 0; x < a.unites.size(); ++x) {
        const Unite& u = a.unites[x];
        if (c[a.noms.size() + x])
            gardees.insert({u.op, u});
        else
            pertes.push_back("« " + ops_[u.op].appel + " »" +
                             (u.fin > u.debut ? " octets " + std::to_string(u.debut) + " à " +
                                                    std::to_string(u.fin)
                                              : std::string()) +
                             " perdu");
    }
    EtatPossible e{logiques_.front(), {}};
    for (std::size_t i = 0; i < point; ++i) {
        const Operation& op = ops_[i];
        if (durableDesordre_[i] < point || nomsGardes.count(i)) {
            Appliquer(e.etat, op);
            continue;
        }
        const auto [debut, fin] = gardees.equal_range(i);
        for (auto it = debut; it != fin; ++it) {
            const Unite& u = it->second;
            if (op.genre == Genre::Ecrire)
                EcrireDans(e.etat.contenus[op.noeud], op.position + u.debut,
                           std::string_view(op.octets).substr(u.debut, u.fin - u.debut));
            else
                Appliquer(e.etat, op);
        }
    }
    const auto& logique = logiques_[point].contenus;
    for (std::size_t x = 0; x < a.tailles.size(); ++x) {
        const auto it = logique.find(a.tailles[x]);
        const std::size_t taille = it == logique.end() ? 0 : it->second.size();
        std::string& contenu = e.etat.contenus[a.tailles[x]];
        if (!c[a.noms.size() + a.unites.size() + x] || contenu.size() == taille)
            continue;
        contenu.resize(taille, '\0');
        pertes.push_back("taille de « " + Nom(point, a.tailles[x]) + " » à jour sans ses données");
    }
    e.pertes = Joindre(pertes);
    return e;
}

std::vector<EtatPossible> Coupures::Etats(std::size_t point, Modele modele, std::size_t seuil,
                                          std::uint64_t graine, std::uint64_t* possibles) const {
    std::vector<std::size_t> options;
    std::vector<EtatPossible> etats;
    if (modele == Modele::Ext4Ordonne) {
        const AttenteExt4 a = EnAttenteExt4(point);
        options.push_back(a.noms.size() + 1);
        for (const auto& [noeud, liste] : a.coupes)
            options.push_back(liste.size());
        for (const Combinaison& c : Combinaisons(options, seuil, graine))
            etats.push_back(BatirExt4(point, a, c));
    } else {
        const AttenteDesordre a = EnAttenteDesordre(point);
        options.assign(a.noms.size() + a.unites.size() + a.tailles.size(), 2);
        for (const Combinaison& c : Combinaisons(options, seuil, graine))
            etats.push_back(BatirDesordre(point, a, c));
    }
    if (possibles)
        *possibles = NombreDeCombinaisons(options);
    return etats;
}

} // namespace vek::coupure
