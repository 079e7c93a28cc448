// vek-banc-coupure : le banc de coupures de courant. Pour chaque scénario, le vrai programme
// tourne sous le traceur ; chaque état que laisserait une coupure à chaque instant, selon deux
// modèles du disque, est bâti, l'exécution suivante y tourne, et le rapport dit ce qu'elle a
// laissé. Code de sortie : 0 si aucun défaut nouveau, 1 sinon, 2 pour une erreur d'usage.
//
//   vek-banc-coupure [--scenario CLÉ]… [--seuil N] [--travail DOSSIER] [--rapport FICHIER]
//                    [--connus FICHIER] [--extraire PROGRAMME] [--moteur PROGRAMME]
//                    [--fenetre PROGRAMME]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <unistd.h>

#include "Banc.h"
#include "Disque.h"

using namespace vek::coupure;

namespace {

struct Options {
    Reglages reglages;
    Programmes programmes{VEK_EXTRAIRE, VEK_ESSAI_MOTEUR, VEK_ESSAI_FENETRE};
    std::set<std::string> scenarios;
    std::string rapport;
    std::string connus = VEK_DEFAUTS_CONNUS;
};

bool Lire(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string v = argv[++i];
        if (a == "--scenario")
            o.scenarios.insert(v);
        else if (a == "--seuil")
            o.reglages.seuil = static_cast<std::size_t>(std::stoul(v));
        else if (a == "--travail")
            o.reglages.travail = v;
        else if (a == "--rapport")
            o.rapport = v;
        else if (a == "--connus")
            o.connus = v;
        else if (a == "--extraire")
            o.programmes.extraire = v;
        else if (a == "--moteur")
            o.programmes.moteur = v;
        else if (a == "--fenetre")
            o.programmes.fenetre = v;
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Lire(argc, argv, o)) {
        std::cerr << "usage : vek-banc-coupure [--scenario CLÉ]… [--seuil N] [--travail DOSSIER] "
                     "[--rapport FICHIER] [--connus FICHIER]\n";
        return 2;
    }
    const bool dossierDonne = !o.reglages.travail.empty();
    if (!dossierDonne)
        o.reglages.travail = (std::filesystem::temp_directory_path() /
                              ("vek-banc-coupure-" + std::to_string(::getpid())))
                                 .string();
    o.reglages.travail = std::filesystem::absolute(o.reglages.travail).string();
    Vider(o.reglages.travail);
    std::filesystem::create_directories(o.reglages.travail);
    const auto debut = std::chrono::steady_clock::now();
    std::vector<Bilan> bilans;
    std::set<std::string> passes;
    for (const Scenario& s : Scenarios(o.programmes, o.reglages.travail)) {
        if (!o.scenarios.empty() && !o.scenarios.count(s.cle))
            continue;
        std::cerr << "scénario " << s.cle << "…\n";
        bilans.push_back(Passer(s, o.reglages));
        if (s.aVenir.empty())
            passes.insert(s.cle);
    }
    std::vector<DefautConnu> connus;
    for (DefautConnu& c : LireDefautsConnus(o.connus))
        if (passes.count(c.scenario))
            connus.push_back(std::move(c));
    MarquerConnus(bilans, connus);
    const double secondes =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    std::ostringstream texte;
    const bool ok = Rapport(texte, bilans, connus, o.reglages, secondes);
    std::cout << texte.str();
    if (!o.rapport.empty())
        std::ofstream(o.rapport) << texte.str();
    if (!dossierDonne)
        Vider(o.reglages.travail);
    return ok ? 0 : 1;
}
