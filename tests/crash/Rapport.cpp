// Le rapport du banc : par scénario, les points de coupure, les états vérifiés par modèle, les
// défauts trouvés (nouveaux et connus), puis le bilan.

#include <iomanip>
#include <regex>
#include <sstream>

#include "Banc.h"

namespace vek::coupure {

namespace {

// Les noms temporaires, tirés au hasard, raccourcis : « LogFinal.txt.tmp-… ».
std::string Lisible(const std::string& texte) {
    static const std::regex temporaire(R"(\.tmp-[0-9]+-[0-9a-f]{16})");
    return std::regex_replace(texte, temporaire, ".tmp-…");
}

// Un nombre avec ses milliers séparés par une espace fine insécable.
std::string Nombre(std::uint64_t n) {
    std::string s = std::to_string(n);
    for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3)
        s.insert(static_cast<std::size_t>(i), "\u202f");
    return s;
}

std::string Secondes(double s) {
    std::ostringstream t;
    t << std::fixed << std::setprecision(1) << s;
    std::string texte = t.str();
    texte.replace(texte.find('.'), 1, ",");
    return texte + " s";
}

void ImprimerDefauts(std::ostream& out, const Bilan& b) {
    if (b.defauts.empty()) {
        out << "  défauts : aucun\n";
        return;
    }
    for (const GroupeDefauts& g : b.defauts) {
        out << "  " << (g.connu ? "CONNU " : "DÉFAUT ") << "[" << NomModele(g.modele) << "] "
            << g.genre << ", coupure " << Lisible(g.coupure) << " (point " << g.point << " sur "
            << b.points - 1 << ") : " << Nombre(g.etats) << " état" << (g.etats > 1 ? "s" : "")
            << "\n";
        for (const std::string& e : g.exemples)
            out << "      " << Lisible(e) << "\n";
    }
}

} // namespace

bool Rapport(std::ostream& out, const std::vector<Bilan>& bilans,
             const std::vector<DefautConnu>& connus, const Reglages& reglages, double secondes) {
    out << "Banc de coupures de courant\n"
        << "Au plus " << reglages.seuil
        << " états par point de coupure et par modèle ; exécution suivante : vek-extraire "
           "--catalogue, même période, même dossier de sortie.\n";
    bool ok = true;
    std::size_t executions = 0, defauts = 0, dejaConnus = 0, passes = 0;
    for (const Bilan& b : bilans) {
        out << "\nScénario « " << b.titre << " » [" << b.cle << "]\n";
        if (!b.aVenir.empty()) {
            out << "  à venir : " << b.aVenir << "\n";
            continue;
        }
        ++passes;
        if (!b.erreur.empty()) {
            out << "  ERREUR DU BANC : " << Lisible(b.erreur) << "\n";
            ok = false;
            continue;
        }
        out << "  opérations relevées : " << b.operations << " ; points de coupure : " << b.points
            << " ; ensembles de sorties valides : " << b.ensemblesValides << "\n";
        for (const auto& [m, pm] : b.modeles)
            out << "  " << NomModele(m) << " : " << Nombre(pm.tires) << " états tirés sur "
                << Nombre(pm.possibles) << " possibles, " << Nombre(pm.distincts) << " distincts\n";
        out << "  opérations relevées (le point k tombe juste avant la k-ième, le dernier après "
               "toutes) :\n";
        for (std::size_t k = 0; k < b.appels.size(); ++k)
            out << "    " << std::setw(3) << k << " " << Lisible(b.appels[k]) << "\n";
        out << "  exécutions suivantes : " << Nombre(b.executions) << " ; " << Secondes(b.secondes)
            << "\n";
        ImprimerDefauts(out, b);
        executions += b.executions;
        for (const GroupeDefauts& g : b.defauts) {
            ++defauts;
            dejaConnus += g.connu ? 1 : 0;
            ok = ok && g.connu;
        }
    }
    for (const DefautConnu& c : connus) {
        if (!c.vu) {
            out << "\nLe défaut connu « " << c.genre << " » [" << c.modele << "] du scénario "
                << c.scenario << ", coupure avant « " << c.appel
                << " », ne se montre plus : retirez-le de la liste.\n";
            ok = false;
        } else {
            out << "\nConnu [" << c.scenario << ", " << c.modele << "] " << c.genre << " : "
                << c.explication << "\n";
        }
    }
    out << "\nBilan : " << passes << " scénarios passés ; " << Nombre(executions)
        << " états vérifiés par l'exécution suivante ; " << defauts << " groupe"
        << (defauts > 1 ? "s" : "") << " de défauts (" << dejaConnus << " connu"
        << (dejaConnus > 1 ? "s" : "") << ") ; " << Secondes(secondes) << "\n";
    return ok;
}

} // namespace vek::coupure
