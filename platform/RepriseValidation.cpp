// La reprise d'une validation qu'un programme tué a laissée à moitié : ce que porte chaque nom de
// chaque sortie (la cible, le temporaire, le garage) est reconnu à son contenu, même dans une
// copie du dossier ; puis la validation est terminée (chaque nouvelle sortie retrouvée), annulée
// (chaque ancienne retrouvée) ou, dans le doute, laissée telle quelle, l'enregistrement mis de
// côté et chaque fichier dit.

#include <array>
#include <cerrno>
#include <string>
#include <vector>

#include "Chemins.h"
#include "Erreurs.h"
#include "Systeme.h"
#include "ValidationInterne.h"

namespace vek {

using namespace validation;

namespace {

constexpr unsigned Nouvelle = 1;
constexpr unsigned Ancienne = 2;

// Un des noms d'une sortie et ce qu'il porte : la nouvelle sortie, l'ancienne, les deux (même
// contenu) ou aucune (classe nulle).
struct Place {
    std::string chemin;
    std::optional<Vu> vu; // rien : nom libre
    unsigned classe = 0;
};

struct Sortie {
    const Entree* entree = nullptr;
    std::array<Place, 3> places; // la cible, le temporaire, le garage
    std::optional<Vu> avant;     // ce que portait la cible avant la reprise
};

bool MemeFichier(const Vu& a, const Vu& b) {
    return a.volume == b.volume && a.noeud == b.noeud;
}

unsigned Classer(const Entree& e, const Vu& vu) {
    return (Correspond(e.neuf, vu) ? Nouvelle : 0u) | (Correspond(e.ancien, vu) ? Ancienne : 0u);
}

std::vector<Sortie> Regarder(const std::vector<Entree>& entrees) {
    std::vector<Sortie> sorties;
    for (const Entree& e : entrees) {
        Sortie s;
        s.entree = &e;
        for (std::size_t k = 0; k < s.places.size(); ++k)
            s.places[k].chemin = k == 0 ? e.cible : k == 1 ? e.temporaire : Garage(e.temporaire);
        for (std::size_t k = 0; k < s.places.size(); ++k) {
            Place& p = s.places[k];
            p.vu = Voir(p.chemin, false);
            if (!p.vu)
                continue;
            // Un second nom d'un fichier déjà lu (le garage d'un échange interrompu) n'est pas
            // relu.
            for (std::size_t j = 0; j < k && !p.vu->contenu; ++j)
                if (s.places[j].vu && MemeFichier(*s.places[j].vu, *p.vu))
                    p.vu->contenu = s.places[j].vu->contenu;
            if (!p.vu->contenu)
                p.vu = Voir(p.chemin, true);
            if (p.vu)
                p.classe = Classer(e, *p.vu);
        }
        s.avant = s.places[0].vu;
        sorties.push_back(std::move(s));
    }
    return sorties;
}

// Après des renommages : chaque nom regardé de nouveau, sa classe retrouvée par l'identité de
// ce qu'il porte (un renommage dans le dossier la garde).
void Revoir(std::vector<Sortie>& sorties) {
    for (Sortie& s : sorties) {
        const std::array<Place, 3> avant = s.places;
        for (Place& p : s.places) {
            p.vu = Voir(p.chemin, false);
            p.classe = 0;
            for (const Place& a : avant)
                if (p.vu && a.vu && MemeFichier(*a.vu, *p.vu)) {
                    p.vu->contenu = a.vu->contenu;
                    p.classe = a.classe;
                }
        }
    }
}

bool AncienneAbsente(const Sortie& s) {
    return s.entree->ancien.etat == Description::Etat::Absente;
}

// Vrai si la sortie peut être amenée, sans risque, à la classe voulue : ce qu'elle doit porter
// est retrouvé (ou, sans ancienne sortie, il n'y a rien à retrouver), et chaque nom occupé porte
// la nouvelle ou l'ancienne sortie, rien d'autre.
bool Possible(const Sortie& s, unsigned voulue) {
    bool trouvee = voulue == Ancienne && AncienneAbsente(s);
    for (const Place& p : s.places) {
        if (p.vu && p.classe == 0)
            return false;
        trouvee = trouvee || (p.vu && (p.classe & voulue) != 0);
    }
    return trouvee;
}

bool Atteinte(const Sortie& s, unsigned voulue) {
    const Place& cible = s.places[0];
    if (voulue == Ancienne && AncienneAbsente(s))
        return !cible.vu;
    return cible.vu && (cible.classe & voulue) != 0;
}

// Amène une sortie à la classe voulue ; 0 ou un code errno.
int Amener(SystemeValidation& systeme, const Sortie& s, unsigned voulue) {
    const Place& cible = s.places[0];
    const Place& temporaire = s.places[1];
    const Place& garage = s.places[2];
    if (Atteinte(s, voulue))
        return 0;
    if (voulue == Ancienne && AncienneAbsente(s)) {
        // La nouvelle sortie quitte le nom : avant, il n'y en avait pas.
        const Place* libre = !temporaire.vu ? &temporaire : !garage.vu ? &garage : nullptr;
        return libre ? systeme.Renommer(cible.chemin, libre->chemin) : EEXIST;
    }
    const Place& source = temporaire.vu && (temporaire.classe & voulue) != 0 ? temporaire : garage;
    if (!cible.vu)
        return systeme.Renommer(source.chemin, cible.chemin);
    if (&source == &garage && temporaire.vu)
        return EEXIST; // trois noms occupés : pas un état que laisse la validation
    return Basculer(systeme, temporaire.chemin, cible.chemin);
}

bool AmenerTout(SystemeValidation& systeme, std::vector<Sortie>& sorties, unsigned voulue,
                std::string& raison) {
    for (const Sortie& s : sorties)
        if (!Possible(s, voulue))
            return false;
    for (const Sortie& s : sorties)
        if (const int code = Amener(systeme, s, voulue); code != 0 && raison.empty())
            raison = RaisonSysteme(code);
    Revoir(sorties);
    for (const Sortie& s : sorties)
        if (!Atteinte(s, voulue))
            return false;
    return true;
}

std::string Cite(const std::string& chemin) {
    return "« " + NomSeul(chemin) + " »";
}

std::string Noms(const std::vector<Sortie>& sorties) {
    std::string noms;
    for (const Sortie& s : sorties)
        noms += (noms.empty() ? "" : ", ") + Cite(s.entree->cible);
    return noms;
}

// Ce que porte un nom occupé, dit à l'utilisateur.
std::string Qualite(const Entree& e, const Place& p) {
    if ((p.classe & Nouvelle) != 0)
        return (p.classe & Ancienne) != 0 ? "est la nouvelle sortie (identique à l'ancienne)"
                                          : "est la nouvelle sortie";
    if ((p.classe & Ancienne) != 0)
        return "est l'ancienne sortie";
    if (Modifiee(e.neuf, *p.vu))
        return "est la nouvelle sortie, modifiée depuis";
    if (Modifiee(e.ancien, *p.vu))
        return "est l'ancienne sortie, modifiée depuis";
    return "n'est ni l'ancienne ni la nouvelle sortie (modifiée ou remplacée depuis)";
}

// Où est chaque fichier d'une sortie.
std::string Etat(const Sortie& s) {
    const Place& cible = s.places[0];
    std::string texte =
        Cite(cible.chemin) + (cible.vu ? " " + Qualite(*s.entree, cible) : " manque");
    unsigned trouvees = 0;
    for (const Place& p : s.places) {
        if (!p.vu)
            continue;
        trouvees |= p.classe;
        if (&p != &cible)
            texte += ", " + Cite(p.chemin) + " " + Qualite(*s.entree, p);
    }
    if ((trouvees & Nouvelle) == 0)
        texte += ", la nouvelle sortie est introuvable";
    if ((trouvees & Ancienne) == 0 && !AncienneAbsente(s))
        texte += ", l'ancienne sortie est introuvable";
    return texte;
}

// La sortie dont la nouvelle version n'a pas été retrouvée (pour dire pourquoi l'annulation).
std::string NouvellesIntrouvables(const std::vector<Sortie>& sorties) {
    std::string noms;
    for (const Sortie& s : sorties)
        if (!Possible(s, Nouvelle))
            noms += (noms.empty() ? "" : ", ") + Cite(s.entree->cible);
    return noms;
}

constexpr std::string_view Interrompu =
    "un remplacement interrompu (programme arrêté entre deux échanges) ";

std::string LaisserTelQuel(const std::string& dossier, const std::vector<Sortie>& sorties) {
    std::string etats;
    bool change = false;
    for (const Sortie& s : sorties) {
        etats += (etats.empty() ? "" : " ; ") + Etat(s);
        const auto& apres = s.places[0].vu;
        change = change || apres.has_value() != s.avant.has_value() ||
                 (apres && !MemeFichier(*apres, *s.avant));
    }
    const std::string mis = MettreDeCote(dossier);
    const std::string garde =
        mis.empty() ? "l'enregistrement reste sous « " + std::string(NomValidation) +
                          " » (il n'a pas pu être mis de côté) : aucune sortie ne sera remplacée "
                          "dans ce dossier tant qu'il y sera"
                    : "l'enregistrement est gardé sous « " + mis +
                          " » : supprimez-le une fois les fichiers vérifiés, l'exécution suivante "
                          "supprimera alors les fichiers temporaires qu'il nomme";
    return std::string(Interrompu) + "n'a pas pu être repris sans risque : " + etats + ". " +
           (change ? "Aucun fichier n'a été supprimé"
                   : "Aucune sortie n'a été changée et aucun fichier supprimé") +
           " ; " + garde;
}

} // namespace

TexteUtf8 ReprendreValidation(const NomFichier& dossier,
                              const std::vector<std::string_view>& nomsPermis,
                              SystemeValidation& systeme) {
    const std::string chemin = JoindreChemin(dossier, NomValidation);
    const auto id = systeme::IdentiteDuNom(chemin);
    if (!id)
        return {};
    const std::string nom = "« " + std::string(NomValidation) + " »";
    if (!id->ordinaire || !id->aNous)
        return nom + " n'est pas un enregistrement de ce programme (un lien, un dossier ou le "
                     "fichier d'un autre utilisateur) : il est laissé tel quel et aucune sortie "
                     "n'est touchée";
    const auto entrees = LireEnregistrement(chemin, dossier, nomsPermis);
    if (!entrees) {
        SupprimerFichier(chemin);
        return "un enregistrement de remplacement illisible (" + nom +
               ") a été supprimé ; aucune sortie n'a été touchée";
    }
    std::vector<Sortie> sorties = Regarder(*entrees);
    const std::string introuvables = NouvellesIntrouvables(sorties);
    std::string raison;
    unsigned faite = 0;
    if (AmenerTout(systeme, sorties, Nouvelle, raison))
        faite = Nouvelle;
    else if (AmenerTout(systeme, sorties, Ancienne, raison))
        faite = Ancienne;
    if (faite == 0)
        return LaisserTelQuel(dossier, sorties);
    // Chaque sortie est d'un côté : ses noms sur le disque, puis l'enregistrement part, puis les
    // autres versions.
    systeme::SynchroniserDossier(dossier);
    SupprimerFichier(chemin);
    systeme::SynchroniserDossier(dossier);
    for (const Sortie& s : sorties)
        for (std::size_t k = 1; k < s.places.size(); ++k)
            if (s.places[k].vu)
                SupprimerNom(s.places[k].chemin);
    if (faite == Nouvelle)
        return std::string(Interrompu) + "a été terminé : " + Noms(sorties) +
               " sont les nouvelles sorties";
    const std::string pourquoi = !introuvables.empty()
                                     ? "la nouvelle version de " + introuvables + " manquant"
                                 : raison.empty() ? std::string("le terminer ayant échoué")
                                                  : "le terminer ayant échoué (" + raison + ")";
    return std::string(Interrompu) + "a été annulé, " + pourquoi + " : " + Noms(sorties) +
           " sont revenues à leur état d'avant";
}

} // namespace vek
