#include "Verification.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace vek::coupure {

namespace {

const std::string Sortie = "sortie/";
const std::string Extrait = "LogVEKtemp.txt";
// Le fichier de travail d'une fusion : le journal de chaque ligne de l'extrait.
const std::string Sources = "LogVEKtemp.sources";
const std::string Enregistrement = "LogVEK.validation";
const std::string Verrou = "LogVEK.verrou";

std::string NomSeul(const std::string& chemin) {
    return chemin.substr(chemin.find_last_of('/') + 1);
}

// Le premier nom sous « sortie/ » (« LogFinal » pour « sortie/LogFinal/index.html »).
std::string Premier(const std::string& chemin) {
    const std::string reste = chemin.substr(Sortie.size());
    return reste.substr(0, reste.find('/'));
}

bool EnCours(const Arborescence& arbre) {
    for (const auto& [chemin, contenu] : SousArbre(arbre, Sortie))
        if (Premier(chemin) == Enregistrement || EstTemporaire(Premier(chemin)))
            return true;
    return false;
}

std::vector<std::string> Champs(const std::string& ligne) {
    std::vector<std::string> champs;
    std::stringstream flux(ligne);
    for (std::string champ; std::getline(flux, champ, '\t');)
        champs.push_back(champ);
    return champs;
}

bool Nombre(const std::string& texte, std::uint64_t& n) {
    if (texte.empty() || texte.size() > 20 ||
        texte.find_first_not_of("0123456789") != std::string::npos)
        return false;
    n = std::stoull(texte);
    return true;
}

} // namespace

bool EstTemporaire(const std::string& nom) {
    static const std::regex forme(R"(.+\.tmp-[0-9]{1,10}-[0-9a-f]{16}(-ancien)?)");
    return std::regex_match(nom, forme);
}

Verificateur::Verificateur(const Scenario& scenario, const Trace& trace, const Coupures& coupures,
                           const std::vector<Arborescence>& anterieures, std::string etat,
                           std::string reference)
    : scenario_(scenario), trace_(trace), etat_(std::move(etat)), reference_(std::move(reference)) {
    for (std::size_t k = 0; k < coupures.Points(); ++k) {
        const Arborescence arbre = Arbre(coupures.Logique(k));
        if (!EnCours(arbre))
            valides_.insert(Sorties(arbre));
    }
    for (const Arborescence& a : anterieures)
        valides_.insert(Sorties(a));
    ancien_ = Sorties(anterieures.empty() ? Arbre(coupures.Logique(0)) : anterieures.front());
    nouveau_ = Sorties(Arbre(coupures.Logique(coupures.Points() - 1)));
}

Arborescence Verificateur::Sorties(const Arborescence& arbre) const {
    Arborescence sorties;
    for (const auto& [chemin, contenu] : SousArbre(arbre, Sortie)) {
        const std::string premier = Premier(chemin);
        if (premier != Extrait && premier != Sources && premier != Enregistrement &&
            premier != Verrou && !EstTemporaire(premier))
            sorties.emplace(chemin, contenu);
    }
    return sorties;
}

std::string Verificateur::Decrire(const Arborescence& sorties) const {
    std::set<std::string> noms;
    for (const Arborescence* a : {&ancien_, &nouveau_, &sorties})
        for (const auto& [chemin, contenu] : *a)
            noms.insert(Premier(chemin));
    const auto de = [](const Arborescence& a, const std::string& nom) {
        Arborescence sien;
        for (const auto& [chemin, contenu] : a)
            if (Premier(chemin) == nom)
                sien.emplace(chemin, contenu);
        return sien;
    };
    std::string texte;
    for (const std::string& nom : noms) {
        const Arborescence sien = de(sorties, nom);
        const bool ancien = sien == de(ancien_, nom), nouveau = sien == de(nouveau_, nom);
        texte += (texte.empty() ? "" : ", ") + nom + " " +
                 (sien.empty()        ? "absent"
                  : ancien && nouveau ? "inchangé"
                  : ancien            ? "ancien"
                  : nouveau           ? "nouveau"
                                      : "ni ancien ni nouveau");
    }
    return texte;
}

std::size_t Verificateur::NeDe(Noeud noeud) const {
    for (const NoeudConnu& n : trace_.noeuds)
        if (n.noeud == noeud)
            return n.ne;
    return 0;
}

void Verificateur::TraduireEnregistrement(
    const EtatDisque& etat, const std::map<Noeud, std::pair<std::uint64_t, std::uint64_t>>& bati) {
    for (const Element& e : Elements(etat)) {
        if (e.dossier || NomSeul(e.chemin) != Enregistrement)
            continue;
        std::string texte;
        std::stringstream lignes(etat.contenus.at(e.noeud));
        for (std::string ligne; std::getline(lignes, ligne);) {
            std::vector<std::string> champs = Champs(ligne);
            std::uint64_t volume = 0, numero = 0;
            if (champs.size() >= 4 && Nombre(champs[champs.size() - 2], volume) &&
                Nombre(champs.back(), numero)) {
                // Le nœud qui portait ces numéros quand l'enregistrement a été écrit : le plus
                // récent qui les porte, né avant lui (ou, pour un enregistrement déjà là au
                // départ, celui du départ).
                Noeud cite = 0;
                std::size_t neCite = 0;
                const std::size_t neEnregistrement = NeDe(e.noeud);
                for (const NoeudConnu& n : trace_.noeuds)
                    if (n.volume == volume && n.numero == numero && n.ne <= neEnregistrement &&
                        (cite == 0 || n.ne >= neCite)) {
                        cite = n.noeud;
                        neCite = n.ne;
                    }
                if (const auto b = bati.find(cite); b != bati.end()) {
                    champs[champs.size() - 2] = std::to_string(b->second.first);
                    champs.back() = std::to_string(b->second.second);
                }
            }
            for (std::size_t i = 0; i < champs.size(); ++i)
                texte += (i ? "\t" : "") + champs[i];
            texte += lignes.eof() ? "" : "\n";
        }
        std::ofstream(etat_ + "/" + e.chemin, std::ios::binary | std::ios::trunc) << texte;
    }
}

std::optional<std::string> Verificateur::ExtraitAttendu(const Arborescence& jeu) {
    const std::uint64_t cle = Empreinte(jeu);
    if (const auto connu = extraits_.find(cle); connu != extraits_.end())
        return connu->second;
    Vider(reference_);
    std::filesystem::create_directories(reference_ + "/" + Sortie);
    std::filesystem::create_directories(reference_ + "/jeu");
    EcrireArbre(jeu, reference_);
    Lancement l = scenario_.suivante;
    l.dossier = reference_;
    const Fin fin = Executer(l);
    const Arborescence apres = LireArbre(reference_);
    const auto extrait = apres.find(Sortie + Extrait);
    std::optional<std::string> attendu;
    if (fin.code == 0 && extrait != apres.end())
        attendu = extrait->second;
    return extraits_[cle] = attendu;
}

std::vector<Defaut> Verificateur::Verifier(const EtatDisque& etat) {
    Vider(etat_);
    std::filesystem::create_directories(etat_);
    TraduireEnregistrement(etat, Materialiser(etat, etat_));
    const Arborescence avant = Arbre(etat);
    Lancement l = scenario_.suivante;
    l.dossier = etat_;
    const Fin fin = Executer(l);
    ++executions_;
    std::vector<Defaut> defauts;
    Examiner(avant, LireArbre(etat_), fin, defauts);
    return defauts;
}

void Verificateur::Examiner(const Arborescence& avant, const Arborescence& apres, const Fin& fin,
                            std::vector<Defaut>& defauts) {
    const std::string erreur = fin.erreur.substr(0, fin.erreur.find('\n'));
    if (fin.code != 0 || fin.horsDelai)
        defauts.push_back(
            {"exécution suivante en échec",
             (fin.horsDelai ? "hors délai" : "code " + std::to_string(fin.code)) + " : " + erreur});
    const Arborescence sorties = Sorties(apres);
    if (!valides_.count(sorties))
        defauts.push_back({"ensemble mêlé", "après l'exécution suivante : " + Decrire(sorties)});
    if (avant.count(Sortie + Enregistrement) &&
        fin.erreur.find("remplacement") == std::string::npos)
        defauts.push_back(
            {"reprise muette", "elle a laissé " + Decrire(sorties) +
                                   (erreur.empty() ? "" : " ; elle a dit : " + erreur)});
    if (SousArbre(avant, "jeu/") != SousArbre(apres, "jeu/"))
        defauts.push_back({"journal touché", "le contenu de « jeu/ » a changé"});
    std::string restes;
    for (const auto& [chemin, contenu] : SousArbre(apres, Sortie))
        if (EstTemporaire(NomSeul(chemin)) || NomSeul(chemin) == Enregistrement ||
            NomSeul(chemin) == Verrou)
            restes += (restes.empty() ? "" : ", ") + chemin;
    if (!restes.empty())
        defauts.push_back({"temporaire restant", restes});
    if (fin.code != 0)
        return;
    const auto extrait = apres.find(Sortie + Extrait);
    const std::optional<std::string> obtenu =
        extrait == apres.end() ? std::nullopt : extrait->second;
    if (obtenu != ExtraitAttendu(SousArbre(avant, "jeu/")))
        defauts.push_back({"extrait faux", obtenu ? "LogVEKtemp.txt diffère de celui d'un "
                                                    "dossier neuf"
                                                  : "LogVEKtemp.txt manque"});
}

} // namespace vek::coupure
