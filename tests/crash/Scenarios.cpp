#include "Scenarios.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Traceur.h"

namespace vek::coupure {

namespace {

const std::string Journal = "jeu/journal.txt";
const std::string Sortie = "sortie";
const std::vector<std::string> Periode = {"--debut", "24/12/2001", "--fin", "25/12/2001"};
const std::vector<std::string> CinqFormats = {"--format", "texte",  "--format", "html",
                                              "--format", "json",   "--format", "forum",
                                              "--format", "discord"};

using Preparation = std::function<bool(const std::string&, const std::string&, Preparatifs&)>;

// Les lignes premier à dernier d'un journal de deux jours (24 et 25/12/2001), trois channels et
// cinq locuteurs qui tournent, une zone de proximité, une ligne sans date de temps en temps.
std::string Lignes(int premier, int dernier) {
    std::string texte;
    for (int n = premier; n <= dernier; ++n) {
        char entete[40];
        std::snprintf(entete, sizeof entete, "12/%02d/2001 20:%02d:%02d - ", n < 80 ? 24 : 25,
                      n / 60 % 60, n % 60);
        const std::string nom = "\"Nom" + std::to_string(n % 5) + "\"";
        if (n % 13 == 12)
            texte += "ligne sans date " + std::to_string(n);
        else if (n % 4 == 3)
            texte += std::string(entete) + nom + ": pres " + std::to_string(n);
        else
            texte += std::string(entete) + "[Canal" + std::to_string(n % 3) + "] " + nom +
                     ": message " + std::to_string(n);
        texte += "\r\n";
    }
    return texte;
}

void Ecrire(const std::string& chemin, const std::string& octets, bool ajouter = false) {
    std::ofstream(chemin, std::ios::binary | (ajouter ? std::ios::app : std::ios::trunc)) << octets;
}

std::vector<std::string> Joindre(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// vek-extraire, tout coché, sur le journal et le dossier du scénario, avec ces options.
std::vector<std::string> Extraire(const Programmes& p, const std::vector<std::string>& options) {
    return Joindre(Joindre({p.extraire, "-q"}, options),
                   {"--tous-channels", "--tout-le-monde", "--dossier", Sortie, Journal});
}

// Le journal des lignes 0 à 99, et, si ancienne n'est pas vide, les sorties qu'en tire cette
// commande (les « anciennes »), puis les lignes 100 à 149 : ajoutées au journal, ou mises à part
// (donnees/ajout.txt) pour le programme tracé.
Preparation Preparer(std::vector<std::string> ancienne, bool ajoutAPart) {
    return [ancienne, ajoutAPart](const std::string& racine, const std::string& donnees,
                                  Preparatifs& p) {
        std::filesystem::create_directories(racine + "/jeu");
        std::filesystem::create_directories(racine + "/" + Sortie);
        Ecrire(racine + "/" + Journal, Lignes(0, 99));
        if (!ancienne.empty()) {
            const Fin fin = Executer({ancienne, racine, {}, 120});
            if (fin.code != 0) {
                p.raison = "les anciennes sorties ne s'écrivent pas : " + fin.erreur;
                return false;
            }
        }
        if (ajoutAPart)
            Ecrire(donnees + "/ajout.txt", Lignes(100, 149));
        else
            Ecrire(racine + "/" + Journal, Lignes(100, 149), true);
        return true;
    };
}

// Comme Preparer, puis la commande lancée sous le traceur et tuée juste après son deuxième
// échange de noms : une validation interrompue, enregistrement compris, sur le vrai disque.
Preparation Interrompre(std::vector<std::string> commande) {
    return [commande, base = Preparer(commande, false)](
               const std::string& racine, const std::string& donnees, Preparatifs& p) {
        if (!base(racine, donnees, p))
            return false;
        p.anterieures.push_back(LireArbre(racine));
        int echanges = 0;
        const Trace t = Tracer({commande, racine, {}, 120}, racine, [&](const Operation& op) {
            return op.genre == Genre::Echanger && ++echanges == 2;
        });
        if (echanges != 2 ||
            !std::filesystem::exists(racine + "/" + Sortie + "/LogVEK.validation")) {
            p.raison = "la validation n'a pas été interrompue après deux échanges";
            return false;
        }
        return true;
    };
}

// Deux journaux qui partagent une partie de leurs lignes : leur fusion, en cinq formats, comme
// anciennes sorties, puis la suite de chacun, ajoutée.
const std::string Autre = "jeu/autre.txt";

Preparation PreparerFusion(std::vector<std::string> ancienne) {
    return [ancienne](const std::string& racine, const std::string&, Preparatifs& p) {
        std::filesystem::create_directories(racine + "/jeu");
        std::filesystem::create_directories(racine + "/" + Sortie);
        Ecrire(racine + "/" + Journal, Lignes(0, 99));
        Ecrire(racine + "/" + Autre, Lignes(50, 119));
        if (const Fin fin = Executer({ancienne, racine, {}, 120}); fin.code != 0) {
            p.raison = "les anciennes sorties ne s'écrivent pas : " + fin.erreur;
            return false;
        }
        Ecrire(racine + "/" + Journal, Lignes(100, 149), true);
        Ecrire(racine + "/" + Autre, Lignes(120, 169), true);
        return true;
    };
}

Scenario Nouveau(std::string cle, std::string titre, Preparation preparer,
                 std::vector<std::string> commande) {
    Scenario s;
    s.cle = std::move(cle);
    s.titre = std::move(titre);
    s.preparer = std::move(preparer);
    s.execution.commande = std::move(commande);
    return s;
}

Scenario ScenarioExtraire(const Programmes& p, std::string cle, std::string titre,
                          const std::vector<std::string>& options, bool ancienne) {
    return Nouveau(std::move(cle), std::move(titre),
                   Preparer(ancienne ? Extraire(p, options) : std::vector<std::string>(), false),
                   Extraire(p, options));
}

// La fenêtre : un dossier personnel à elle, hors de la racine (Qt y range ce qu'il veut).
Scenario ScenarioFenetre(const Programmes& p, const std::string& donnees) {
    Scenario s = Nouveau(
        "fenetre", "« Créer le fichier log » de la fenêtre pendant la vue « En direct »",
        [base = Preparer(Extraire(p, {}), true)](const std::string& racine, const std::string& d,
                                                 Preparatifs& x) {
            std::filesystem::create_directories(d + "/personnel/run");
            std::filesystem::permissions(d + "/personnel/run", std::filesystem::perms::owner_all);
            return base(racine, d, x);
        },
        {p.fenetre, Journal, Sortie, donnees + "/ajout.txt"});
    const std::string personnel = donnees + "/personnel";
    s.execution.environnement = {"QT_QPA_PLATFORM=offscreen",
                                 "LC_ALL=C.UTF-8",
                                 "HOME=" + personnel,
                                 "XDG_CONFIG_HOME=" + personnel + "/.config",
                                 "XDG_DATA_HOME=" + personnel + "/.local/share",
                                 "XDG_CACHE_HOME=" + personnel + "/.cache",
                                 "XDG_RUNTIME_DIR=" + personnel + "/run"};
    if (p.fenetre.empty())
        s.aVenir = "construit sans le programme à fenêtres";
    return s;
}

} // namespace

std::vector<Scenario> Scenarios(const Programmes& p, const std::string& travail) {
    const auto donnees = [&travail](const std::string& cle) {
        return travail + "/" + cle + "/donnees";
    };
    const std::vector<std::string> decoupe = {"--format", "html", "--decouper", "jour"};
    std::vector<Scenario> s;
    s.push_back(ScenarioExtraire(p, "logfinal", "LogFinal.txt seul", {}, true));
    s.push_back(
        ScenarioExtraire(p, "logfinal-neuf", "LogFinal.txt seul, sans ancienne sortie", {}, false));
    s.push_back(
        ScenarioExtraire(p, "cinq-formats", "les cinq formats ensemble", CinqFormats, true));
    s.push_back(ScenarioExtraire(p, "decoupe",
                                 "le dossier découpé LogFinal/ (--format html --decouper jour)",
                                 decoupe, true));
    s.push_back(ScenarioExtraire(p, "decoupe-et-texte",
                                 "le dossier découpé LogFinal/ et LogFinal.txt ensemble",
                                 Joindre({"--format", "texte"}, decoupe), true));
    s.push_back(Nouveau("suite",
                        "une recherche de suite qui prolonge LogVEKtemp.txt, puis LogFinal.txt",
                        Preparer(Extraire(p, {}), true),
                        {p.moteur, "suite", Journal, Sortie, donnees("suite") + "/ajout.txt"}));
    s.push_back(ScenarioFenetre(p, donnees("fenetre")));
    s.push_back(Nouveau("trois-renommages",
                        "les cinq formats, chaque échange en trois renommages (comme sous Windows)",
                        Preparer(Extraire(p, CinqFormats), false),
                        {p.moteur, "trois-renommages", Journal, Sortie}));
    s.push_back(Nouveau("trois-renommages-texte",
                        "LogFinal.txt seul, l'échange en trois renommages (comme sous Windows)",
                        Preparer(Extraire(p, {}), false),
                        {p.moteur, "trois-renommages", Journal, Sortie, "texte"}));
    Scenario reprise =
        Nouveau("reprise",
                "la reprise d'une validation des cinq formats interrompue (programme "
                "tué après deux échanges) : coupure pendant la reprise",
                Interrompre(Extraire(p, CinqFormats)), {});
    s.push_back(reprise);
    const auto fusion = Joindre(Extraire(p, CinqFormats), {Autre});
    s.push_back(Nouveau("fusion", "la fusion de deux journaux, les cinq formats ensemble",
                        PreparerFusion(fusion), fusion));

    for (Scenario& x : s) {
        x.suivante.commande =
            Joindre(Joindre({p.extraire, "--catalogue"}, Periode), {"--dossier", Sortie, Journal});
        x.suivante.environnement = {"LC_ALL=C.UTF-8"};
        x.suivante.delaiSecondes = 30;
        x.execution.delaiSecondes = 120;
        if (x.execution.commande.empty() && x.aVenir.empty())
            x.execution = x.suivante; // la reprise : l'exécution tracée est l'exécution suivante
    }
    return s;
}

} // namespace vek::coupure
