#include "Estimation.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <unordered_map>

#include "Cp1252.h"
#include "Lecture.h"
#include "LigneFusion.h"

namespace vek {

namespace {

constexpr std::uint64_t TailleMorceau = std::uint64_t{1} << 20;
constexpr std::uint64_t Morceaux = 16;
constexpr std::size_t MaxEntrees = std::size_t{1} << 15;
constexpr std::int64_t Tolerance = 2; // secondes : le même message arrive à une seconde près

std::uint64_t Empreinte(std::string_view octets) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : octets) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h ^ (h >> 29);
}

// Ce qu'un journal montre de lui, sur l'échantillon.
struct Echantillon {
    struct Message {
        std::uint64_t empreinte;
        std::int64_t instant;
    };
    struct Parole {
        std::uint64_t message; // empreinte du message seul
        std::string nom;
        std::int64_t instant;
    };
    std::vector<Message> messages; // channel et proximité, clé entière
    std::vector<Parole> paroles;   // proximité : qui a dit quoi
    std::vector<Message> dits;     // « Vous avez dit » : le message seul
    std::uint64_t modulo = 1;      // seules les empreintes multiples de modulo sont gardées

    void Garder(std::uint64_t m) {
        while (m > modulo || messages.size() + paroles.size() + dits.size() > MaxEntrees) {
            modulo *= 2;
            const auto hors = [this](std::uint64_t h) { return h % modulo != 0; };
            std::erase_if(messages, [&](const Message& x) { return hors(x.empreinte); });
            std::erase_if(dits, [&](const Message& x) { return hors(x.empreinte); });
            std::erase_if(paroles, [&](const Parole& x) { return hors(x.message); });
            if (m <= modulo && messages.size() + paroles.size() + dits.size() <= MaxEntrees)
                break;
        }
    }
    void Ajouter(std::string_view ligne, std::string& tampon) {
        const LigneAnalysee l = AnalyserPourFusion(ligne, tampon);
        if (!l.secondes)
            return;
        const std::uint64_t message = Empreinte(l.message);
        if (l.genre == GenreFusion::Vous && message % modulo == 0)
            dits.push_back({message, *l.secondes});
        if (l.genre == GenreFusion::Proximite && message % modulo == 0)
            paroles.push_back({message, std::string(l.nom), *l.secondes});
        if (const auto cle = CleDe(l); cle && cle->empreinte % modulo == 0)
            messages.push_back({cle->empreinte, *l.secondes});
        Garder(1);
    }
};

// Lit au plus maximum octets de lignes depuis debut (la ligne coupée de tête passée).
void LireMorceau(const NomFichier& chemin, std::uint64_t debut, std::uint64_t maximum,
                 Echantillon& e) {
    LecteurTexte lecteur;
    if (!lecteur.Ouvrir(chemin, debut))
        return;
    if (debut > 0 && !lecteur.FinFichier())
        lecteur.LireDebutDeLigne(0);
    std::string tampon;
    while (!lecteur.FinFichier() && lecteur.DebutLigneSuivante() < debut + maximum)
        e.Ajouter(lecteur.LireLigneBornee(4096), tampon);
}

Echantillon Echantillonner(const NomFichier& chemin) {
    Echantillon e;
    const auto empreinte = LireEmpreinte(chemin);
    const std::uint64_t taille = empreinte ? empreinte->taille : 0;
    if (taille <= Morceaux * TailleMorceau) {
        LireMorceau(chemin, 0, UINT64_MAX, e);
        return e;
    }
    for (std::uint64_t k = 0; k < Morceaux; ++k)
        LireMorceau(chemin, (taille - TailleMorceau) / (Morceaux - 1) * k, TailleMorceau, e);
    return e;
}

// L'avance de l'horloge de autre sur celle de ref : l'écart le plus fréquent entre les instants
// d'un même message dans les deux journaux, à la tolérance près, puis la médiane des écarts
// de ce groupe ; rien sans deux messages en commun au moins.
std::optional<std::pair<std::int64_t, std::uint64_t>> Avance(const Echantillon& ref,
                                                             const Echantillon& autre) {
    std::unordered_map<std::uint64_t, std::vector<std::int64_t>> parCle;
    for (const auto& m : ref.messages)
        if (auto& v = parCle[m.empreinte]; v.size() < 8)
            v.push_back(m.instant);
    std::map<std::int64_t, std::uint64_t> ecarts;
    for (const auto& m : autre.messages)
        if (const auto i = parCle.find(m.empreinte); i != parCle.end())
            for (const std::int64_t t : i->second)
                ++ecarts[m.instant - t];
    std::uint64_t meilleur = 0;
    std::int64_t centre = 0;
    for (const auto& [ecart, n] : ecarts) {
        std::uint64_t score = 0;
        for (auto j = ecarts.lower_bound(ecart - Tolerance);
             j != ecarts.end() && j->first <= ecart + Tolerance; ++j)
            score += j->second;
        if (score > meilleur) {
            meilleur = score;
            centre = ecart;
        }
    }
    if (meilleur < 2)
        return std::nullopt;
    // La médiane des écarts autour du meilleur.
    std::uint64_t vus = 0;
    for (auto j = ecarts.lower_bound(centre - Tolerance);
         j != ecarts.end() && j->first <= centre + Tolerance; ++j) {
        vus += j->second;
        if (2 * vus >= meilleur)
            return std::pair{j->first, meilleur};
    }
    return std::pair{centre, meilleur};
}

// Le joueur d'un journal : le locuteur des autres journaux dont les paroles sont, à la même
// heure corrigée, ce que ce journal a dit.
std::optional<std::string> Joueur(std::size_t i, const std::vector<Echantillon>& e,
                                  const std::vector<JournalDeSource>& r) {
    std::map<std::string, std::uint64_t> voix;
    for (std::size_t j = 0; j < e.size(); ++j) {
        if (j == i)
            continue;
        std::unordered_multimap<std::uint64_t, const Echantillon::Parole*> paroles;
        for (const auto& p : e[j].paroles)
            paroles.emplace(p.message, &p);
        for (const auto& d : e[i].dits) {
            const auto [debut, fin] = paroles.equal_range(d.empreinte);
            for (auto k = debut; k != fin; ++k)
                if (std::llabs((k->second->instant + r[j].Correction()) -
                               (d.instant + r[i].Correction())) <= Tolerance)
                    ++voix[k->second->nom];
        }
    }
    const auto meilleur = std::max_element(
        voix.begin(), voix.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    if (meilleur == voix.end() || meilleur->second < 2)
        return std::nullopt;
    for (const auto& [nom, n] : voix)
        if (nom != meilleur->first && 2 * n >= meilleur->second)
            return std::nullopt; // deux noms aussi plausibles : aucun
    return meilleur->first;
}

// Deux journaux d'un même joueur : leurs « Vous avez dit » se répondent, à la même heure
// corrigée (deux au moins, et la moitié de ceux du plus petit).
bool MemeJoueur(const Echantillon& a, const JournalDeSource& ra, const Echantillon& b,
                const JournalDeSource& rb) {
    std::unordered_multimap<std::uint64_t, std::int64_t> dits;
    for (const auto& d : b.dits)
        dits.emplace(d.empreinte, d.instant + rb.Correction());
    std::uint64_t communs = 0;
    for (const auto& d : a.dits) {
        const auto [debut, fin] = dits.equal_range(d.empreinte);
        for (auto k = debut; k != fin; ++k)
            if (std::llabs(k->second - (d.instant + ra.Correction())) <= Tolerance) {
                ++communs;
                break;
            }
    }
    return communs >= 2 && 2 * communs >= std::min(a.dits.size(), b.dits.size());
}

std::string NomCourt(const NomFichier& chemin) {
    const std::size_t barre = chemin.find_last_of("/\\");
    return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

} // namespace

std::vector<JournalDeSource> EstimerJournaux(const std::vector<NomFichier>& journaux,
                                             const std::vector<DonneesJournal>& donnees) {
    std::vector<Echantillon> e;
    for (const NomFichier& j : journaux)
        e.push_back(Echantillonner(j));
    // Les mêmes tranches d'empreintes de part et d'autre.
    std::uint64_t modulo = 1;
    for (const auto& x : e)
        modulo = std::max(modulo, x.modulo);
    for (auto& x : e)
        x.Garder(modulo);
    std::vector<JournalDeSource> r(journaux.size());
    for (std::size_t i = 0; i < journaux.size(); ++i) {
        r[i].chemin = journaux[i];
        const DonneesJournal d = i < donnees.size() ? donnees[i] : DonneesJournal{};
        r[i].avanceDonnee = d.avance.has_value();
        if (i == 0)
            r[i].avance = 0;
        else if (d.avance)
            r[i].avance = d.avance;
        else if (const auto a = Avance(e[0], e[i])) {
            r[i].avance = a->first;
            r[i].communs = a->second;
        }
    }
    for (std::size_t i = 0; i < journaux.size(); ++i) {
        r[i].memeJoueurQue = i;
        for (std::size_t j = 0; j < i; ++j)
            if (r[j].memeJoueurQue == j && MemeJoueur(e[i], r[i], e[j], r[j])) {
                r[i].memeJoueurQue = j;
                break;
            }
    }
    for (std::size_t i = 0; i < journaux.size(); ++i) {
        const DonneesJournal d = i < donnees.size() ? donnees[i] : DonneesJournal{};
        r[i].joueurDonne = d.joueur.has_value();
        r[i].joueur = d.joueur ? d.joueur : Joueur(i, e, r);
    }
    // Un nom donné ou trouvé pour un journal vaut pour les autres journaux du même joueur.
    for (std::size_t i = 0; i < journaux.size(); ++i)
        if (const std::size_t j = r[i].memeJoueurQue; j != i && !r[i].joueur && r[j].joueur)
            r[i].joueur = r[j].joueur;
    for (std::size_t i = 0; i < journaux.size(); ++i)
        if (const std::size_t j = r[i].memeJoueurQue; j != i && r[i].joueur && !r[j].joueur)
            r[j].joueur = r[i].joueur;
    return r;
}

std::string DireEstimation(const NomFichier& journal, const NomFichier& reference,
                           const JournalDeSource& e, bool estReference) {
    std::string s = NomCourt(journal) + " : ";
    if (estReference) {
        s += "journal de référence (son horloge et son joueur sont ceux de la fusion)";
    } else if (!e.avance) {
        s += "aucun message en commun avec " + NomCourt(reference) +
             ", fusionné sur sa propre horloge";
    } else {
        const std::int64_t a = *e.avance;
        s += a == 0 ? "horloge à l'heure de " + NomCourt(reference)
                    : std::string("horloge en ") + (a > 0 ? "avance" : "retard") + " de " +
                          DureeLisible(std::llabs(a));
        s += e.avanceDonnee ? " (donnée)"
                            : " (" + std::to_string(e.communs) + " messages en commun)";
    }
    if (e.joueur)
        s += ", joueur " + Cp1252VersUtf8(*e.joueur) + (e.joueurDonne ? " (donné)" : " (trouvé)");
    else
        s += ", joueur introuvable : ses lignes « Vous avez dit » restent telles quelles";
    return s;
}

} // namespace vek
