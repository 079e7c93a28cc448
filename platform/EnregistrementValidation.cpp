// L'enregistrement d'une validation (« LogVEK.validation ») : son texte, sa lecture, sa mise de
// côté quand la reprise ne peut pas le suivre, et les temporaires qu'il protège.
//
//   VEK validation 2
//   <sortie> TAB <temporaire> TAB <nouvelle> TAB <ancienne>
//
// Une description : « volume nœud », suivi de « f|d taille empreinte » quand le contenu a pu être
// lu ; « - » : pas d'ancienne sortie. La première forme (« VEK validation 1 ») ne décrivait que
// l'identité de la nouvelle sortie.

#include <cstdio>
#include <string>

#include "Chemins.h"
#include "Ecriture.h"
#include "Systeme.h"
#include "ValidationInterne.h"

namespace vek::validation {

namespace {

constexpr std::string_view EnTete = "VEK validation 2";
constexpr std::string_view EnTetePremiereForme = "VEK validation 1";
// Un enregistrement ne cite que quelques sorties : au-delà, ce n'est pas le nôtre.
constexpr std::size_t TailleMaximale = 64 * 1024;

std::optional<std::string> LireTexte(const std::string& chemin) {
    const auto id = systeme::IdentiteDuNom(chemin);
    if (!id || !id->ordinaire)
        return std::nullopt;
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f)
        return std::nullopt;
    std::string texte(TailleMaximale + 1, '\0');
    texte.resize(std::fread(texte.data(), 1, texte.size(), f));
    std::fclose(f);
    if (texte.size() > TailleMaximale)
        return std::nullopt;
    return texte;
}

// Les lignes d'un texte qui finit par une fin de ligne ; rien s'il est coupé.
std::optional<std::vector<std::string_view>> Lignes(std::string_view texte) {
    std::vector<std::string_view> lignes;
    while (!texte.empty()) {
        const auto fin = texte.find('\n');
        if (fin == std::string_view::npos)
            return std::nullopt; // coupé en cours d'écriture
        lignes.push_back(texte.substr(0, fin));
        texte.remove_prefix(fin + 1);
    }
    return lignes;
}

std::vector<std::string_view> Champs(std::string_view ligne, char separateur) {
    std::vector<std::string_view> champs;
    for (;;) {
        const auto fin = ligne.find(separateur);
        champs.push_back(ligne.substr(0, fin));
        if (fin == std::string_view::npos)
            return champs;
        ligne.remove_prefix(fin + 1);
    }
}

bool LireNombre(std::string_view texte, std::uint64_t& n, int base = 10) {
    if (texte.empty() || texte.size() > (base == 10 ? 20u : 16u))
        return false;
    n = 0;
    for (const char c : texte) {
        const int chiffre = c >= '0' && c <= '9'                 ? c - '0'
                            : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                 : -1;
        if (chiffre < 0)
            return false;
        n = n * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(chiffre);
    }
    return true;
}

std::string Hexadecimal(std::uint64_t n) {
    char texte[17];
    std::snprintf(texte, sizeof texte, "%016llx", static_cast<unsigned long long>(n));
    return texte;
}

std::string TexteDescription(const Description& d) {
    if (d.etat != Description::Etat::Decrite)
        return "-";
    std::string texte = std::to_string(d.volume) + ' ' + std::to_string(d.noeud);
    if (d.contenu)
        texte += std::string(d.contenu->dossier ? " d " : " f ") +
                 std::to_string(d.contenu->taille) + ' ' + Hexadecimal(d.contenu->empreinte);
    return texte;
}

std::optional<Description> LireDescription(std::string_view texte) {
    Description d;
    if (texte == "-") {
        d.etat = Description::Etat::Absente;
        return d;
    }
    const auto champs = Champs(texte, ' ');
    d.etat = Description::Etat::Decrite;
    if ((champs.size() != 2 && champs.size() != 5) || !LireNombre(champs[0], d.volume) ||
        !LireNombre(champs[1], d.noeud))
        return std::nullopt;
    if (champs.size() == 2)
        return d;
    ContenuSortie c;
    c.dossier = champs[2] == "d";
    if ((champs[2] != "d" && champs[2] != "f") || !LireNombre(champs[3], c.taille) ||
        !LireNombre(champs[4], c.empreinte, 16))
        return std::nullopt;
    d.contenu = c;
    return d;
}

// Une ligne de l'enregistrement ; rien si elle ne se lit pas.
std::optional<Entree> LireEntree(std::string_view ligne, bool premiereForme) {
    const auto champs = Champs(ligne, '\t');
    if (champs.size() != 4)
        return std::nullopt;
    Entree e;
    e.cible = champs[0];
    e.temporaire = champs[1];
    if (premiereForme) {
        e.neuf.etat = Description::Etat::Decrite;
        if (!LireNombre(champs[2], e.neuf.volume) || !LireNombre(champs[3], e.neuf.noeud))
            return std::nullopt;
        return e; // l'ancienne sortie n'est pas décrite
    }
    const auto neuf = LireDescription(champs[2]);
    const auto ancien = LireDescription(champs[3]);
    if (!neuf || !ancien || neuf->etat != Description::Etat::Decrite)
        return std::nullopt;
    e.neuf = *neuf;
    e.ancien = *ancien;
    return e;
}

} // namespace

std::string TexteEnregistrement(const std::vector<Entree>& entrees) {
    std::string texte(EnTete);
    texte += '\n';
    for (const Entree& e : entrees)
        texte += NomSeul(e.cible) + '\t' + NomSeul(e.temporaire) + '\t' + TexteDescription(e.neuf) +
                 '\t' + TexteDescription(e.ancien) + '\n';
    return texte;
}

std::optional<std::vector<Entree>> LireEnregistrement(const std::string& chemin,
                                                      const std::string& dossier,
                                                      const std::vector<std::string_view>& permis) {
    const auto texte = LireTexte(chemin);
    const auto lignes = texte ? Lignes(*texte) : std::nullopt;
    if (!lignes || lignes->size() < 2 ||
        (lignes->front() != EnTete && lignes->front() != EnTetePremiereForme))
        return std::nullopt;
    const bool premiereForme = lignes->front() == EnTetePremiereForme;
    std::vector<Entree> entrees;
    for (std::size_t i = 1; i < lignes->size(); ++i) {
        auto e = LireEntree((*lignes)[i], premiereForme);
        bool connu = false;
        for (const std::string_view nom : permis)
            connu = connu || (e && nom == e->cible);
        if (!e || !connu || !EstTemporaireDe(e->temporaire, e->cible))
            return std::nullopt;
        e->cible = JoindreChemin(dossier, e->cible);
        e->temporaire = JoindreChemin(dossier, e->temporaire);
        entrees.push_back(std::move(*e));
    }
    return entrees;
}

std::string MettreDeCote(const std::string& dossier) {
    const std::string chemin = JoindreChemin(dossier, NomValidation);
    const auto texte = LireTexte(chemin);
    if (!texte)
        return {};
    for (int n = 1; n < 100; ++n) {
        const std::string nom =
            std::string(NomValidationMiseDeCote) + (n > 1 ? "-" + std::to_string(n) : "");
        const std::string copie = JoindreChemin(dossier, nom);
        EcrivainTexte f;
        if (!f.CreerNeuf(copie)) {
            if (Existe(copie))
                continue; // une mise de côté plus ancienne garde son nom
            return {};
        }
        f.Ecrire(*texte);
        if (f.Synchroniser() && f.Fermer() && SupprimerFichier(chemin)) {
            systeme::SynchroniserDossier(dossier);
            return nom;
        }
        f.Fermer();
        SupprimerFichier(copie);
        return {};
    }
    return {};
}

bool NommeParUnEnregistrement(const std::string& dossier, std::string_view nom) {
    const auto noms = systeme::ListerDossier(dossier);
    if (!noms)
        return true; // dans le doute, rien n'est supprimé
    for (const std::string& n : *noms) {
        if (n != NomValidation && n.rfind(NomValidationMiseDeCote, 0) != 0)
            continue;
        const auto texte = LireTexte(JoindreChemin(dossier, n));
        const auto lignes = texte ? Lignes(*texte) : std::nullopt;
        if (!lignes)
            continue;
        for (const std::string_view ligne : *lignes) {
            const auto champs = Champs(ligne, '\t');
            if (champs.size() >= 2 &&
                (nom == champs[1] || nom == std::string(champs[1]) + std::string(SuffixeAncien)))
                return true;
        }
    }
    return false;
}

} // namespace vek::validation
