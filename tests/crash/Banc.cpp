#include "Banc.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "Traceur.h"
#include "Verification.h"

namespace vek::coupure {

namespace {

std::uint64_t Hacher(std::uint64_t h, std::string_view octets) {
    for (const char c : octets) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return (h ^ octets.size()) * 1099511628211ull;
}

// Deux états égaux ont mêmes chemins, mêmes contenus et mêmes nœuds sous chaque nom (la reprise
// d'une validation reconnaît ses fichiers).
std::uint64_t EmpreinteEtat(const EtatDisque& etat) {
    std::uint64_t h = 14695981039346656037ull;
    for (const Element& e : Elements(etat)) {
        h = Hacher(h, e.chemin);
        h = Hacher(h, std::to_string(e.noeud) + (e.dossier ? "/" : ""));
        if (const auto c = etat.contenus.find(e.noeud); !e.dossier && c != etat.contenus.end())
            h = Hacher(h, c->second);
    }
    return h;
}

std::uint64_t Graine(const std::string& cle, Modele modele, std::size_t point) {
    return Hacher(Hacher(14695981039346656037ull, cle),
                  std::to_string(static_cast<int>(modele)) + ":" + std::to_string(point));
}

std::string Differences(const Arborescence& releve, const Arborescence& reel) {
    std::string texte;
    std::set<std::string> chemins;
    for (const Arborescence* a : {&releve, &reel})
        for (const auto& [chemin, contenu] : *a)
            chemins.insert(chemin);
    for (const std::string& c : chemins) {
        const auto x = releve.find(c), y = reel.find(c);
        if (x != releve.end() && y != reel.end() && x->second == y->second)
            continue;
        texte += (texte.empty() ? "" : ", ") + c +
                 (x == releve.end() ? " (absent du relevé)"
                  : y == reel.end() ? " (absent du dossier)"
                                    : " (contenu différent)");
    }
    return texte;
}

// La trace du scénario dans sa racine ; vide (erreur remplie) si elle ne se fie pas.
std::optional<Trace> TracerScenario(const Scenario& s, const std::string& racine,
                                    const std::string& donnees, Preparatifs& p,
                                    std::string& erreur) {
    std::filesystem::create_directories(racine);
    std::filesystem::create_directories(donnees);
    if (!s.preparer(racine, donnees, p)) {
        erreur = "préparation : " + p.raison;
        return std::nullopt;
    }
    Lancement l = s.execution;
    l.dossier = racine;
    Trace trace = Tracer(l, racine);
    if (trace.fin.code != 0 || trace.fin.horsDelai) {
        erreur = "l'exécution tracée a échoué (code " + std::to_string(trace.fin.code) +
                 (trace.fin.horsDelai ? ", hors délai" : "") + ") : " + trace.fin.erreur;
        return std::nullopt;
    }
    for (const std::string& h : trace.horsModele)
        erreur += (erreur.empty() ? "appels hors modèle : " : " ; ") + h;
    if (!erreur.empty())
        return std::nullopt;
    // Le relevé doit refaire exactement le dossier : sinon un appel lui a échappé.
    EtatDisque fin = trace.depart;
    for (const Operation& op : trace.operations)
        Appliquer(fin, op);
    if (const std::string d = Differences(Arbre(fin), LireArbre(racine)); !d.empty()) {
        erreur = "le relevé ne refait pas le dossier : " + d;
        return std::nullopt;
    }
    return trace;
}

} // namespace

namespace {

// Ce que les états vérifiés d'un scénario ont appris.
struct Releves {
    std::map<std::uint64_t, std::vector<Defaut>> vus; // par empreinte d'état
    std::map<Modele, std::set<std::uint64_t>> distincts;
    std::map<std::tuple<std::string, Modele, std::size_t>, GroupeDefauts> groupes;
};

// Vérifie l'état (une seule fois par état distinct) et range ses défauts dans leurs groupes.
void Verifier(Releves& r, Verificateur& v, const EtatPossible& e, Modele m, std::size_t point,
              const std::string& coupure) {
    const std::uint64_t h = EmpreinteEtat(e.etat);
    r.distincts[m].insert(h);
    auto vu = r.vus.find(h);
    if (vu == r.vus.end())
        vu = r.vus.emplace(h, v.Verifier(e.etat)).first;
    for (const Defaut& d : vu->second) {
        GroupeDefauts& g = r.groupes[{d.genre, m, point}];
        g.genre = d.genre;
        g.modele = m;
        g.point = point;
        g.coupure = coupure;
        if (++g.etats <= 2)
            g.exemples.push_back((e.pertes.empty() ? "rien de perdu" : "perdu : " + e.pertes) +
                                 " ; " + d.detail);
    }
}

} // namespace

Bilan Passer(const Scenario& s, const Reglages& r) {
    Bilan b;
    b.cle = s.cle;
    b.titre = s.titre;
    b.aVenir = s.aVenir;
    if (!s.aVenir.empty())
        return b;
    const auto debut = std::chrono::steady_clock::now();
    const std::string base = r.travail + "/" + s.cle;
    Vider(base);
    Preparatifs preparatifs;
    const auto trace =
        TracerScenario(s, base + "/racine", base + "/donnees", preparatifs, b.erreur);
    if (!trace)
        return b;
    const Coupures coupures(*trace);
    b.operations = trace->operations.size();
    for (const Operation& op : trace->operations)
        b.appels.push_back(op.appel);
    b.points = coupures.Points();
    Verificateur v(s, *trace, coupures, preparatifs.anterieures, base + "/etat",
                   base + "/reference");
    Releves releves;
    for (std::size_t point = 0; point < coupures.Points(); ++point) {
        const std::string coupure = point < b.operations
                                        ? "avant « " + trace->operations[point].appel + " »"
                                        : "après la dernière opération";
        for (const Modele m : {Modele::Ext4Ordonne, Modele::ToutPeutSePerdre}) {
            std::uint64_t possibles = 0;
            const auto etats =
                coupures.Etats(point, m, r.seuil, Graine(s.cle, m, point), &possibles);
            b.modeles[m].possibles += possibles;
            b.modeles[m].tires += etats.size();
            for (const EtatPossible& e : etats)
                Verifier(releves, v, e, m, point, coupure);
        }
    }
    for (auto& [m, pm] : b.modeles)
        pm.distincts = releves.distincts[m].size();
    for (auto& [cle, g] : releves.groupes)
        b.defauts.push_back(std::move(g));
    b.executions = v.Executions();
    b.ensemblesValides = v.EnsemblesValides();
    b.secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    return b;
}

std::vector<DefautConnu> LireDefautsConnus(const std::string& chemin) {
    std::vector<DefautConnu> connus;
    std::ifstream f(chemin);
    for (std::string ligne; std::getline(f, ligne);) {
        if (ligne.empty() || ligne[0] == '#')
            continue;
        std::vector<std::string> champs;
        std::stringstream flux(ligne);
        for (std::string champ; std::getline(flux, champ, '|');) {
            const auto debut = champ.find_first_not_of(' ');
            const auto fin = champ.find_last_not_of(' ');
            champs.push_back(debut == std::string::npos ? ""
                                                        : champ.substr(debut, fin - debut + 1));
        }
        if (champs.size() == 5)
            connus.push_back({champs[0], champs[1], champs[2], champs[3], champs[4], false});
    }
    return connus;
}

void MarquerConnus(std::vector<Bilan>& bilans, std::vector<DefautConnu>& connus) {
    for (Bilan& b : bilans)
        for (GroupeDefauts& g : b.defauts)
            for (DefautConnu& c : connus)
                if (c.scenario == b.cle && c.genre == g.genre && c.modele == NomModele(g.modele) &&
                    (c.appel == "*" || g.coupure.find(c.appel) != std::string::npos))
                    g.connu = c.vu = true;
}

} // namespace vek::coupure
