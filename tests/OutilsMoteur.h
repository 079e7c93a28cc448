#pragma once
// Outils des tests du moteur : une progression qui note ce que la passe montre et peut agir
// pendant la passe (arrêt, modes changés), et les textes des arbres bâtis d'un catalogue.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Catalogue.h"
#include "Ligne.h"
#include "Moteur.h"
#include "Progression.h"
#include "Selection.h"

namespace vek::test {

class ProgressionNotee : public Progression {
public:
    std::vector<std::uint64_t> maximums; // chaque maximum donné à la barre
    std::int64_t valeur = -1;            // la dernière valeur ; -1 : aucune
    std::int64_t valeurMax = -1;         // la plus grande valeur donnée
    std::uint64_t compteur = 0;          // le dernier compte de lignes lues
    int debuts = 0;
    bool affichee = true;
    // Appelé à chaque ligne lue par la recherche, avec son numéro (à partir de 1), avant son
    // traitement.
    std::function<void(std::uint64_t lignes)> surLigne;
    // Appelé à chaque avancement de la barre, avant la lecture de la ligne suivante : la valeur
    // est le nombre de lignes déjà lues et rangées.
    std::function<void(std::uint64_t valeur)> surValeur;

    void Debut() override { ++debuts; }
    void Maximum(std::uint64_t m) override { maximums.push_back(m); }
    void Valeur(std::uint64_t v) override {
        valeur = static_cast<std::int64_t>(v);
        valeurMax = std::max(valeurMax, valeur);
        if (surValeur)
            surValeur(v);
    }
    void Compteur(std::uint64_t n) override {
        compteur = n;
        if (surLigne)
            surLigne(n);
    }
    bool Affichee() const override { return affichee; }
};

// Les nœuds de l'arbre des channels (« Zone de proximité » d'abord) et de celui des noms.
inline std::vector<std::string> Channels(const Catalogue& c) {
    const auto noeuds = NoeudsChannels(c);
    return {noeuds.begin(), noeuds.end()};
}
inline std::vector<std::string> Noms(const Catalogue& c) {
    const auto noeuds = NoeudsNoms(c);
    return {noeuds.begin(), noeuds.end()};
}

// Les deux arbres de la fenêtre, avec leurs coches, bâtis d'un catalogue ; la sélection est
// prise comme la fenêtre la prend : les nœuds cochés, dans l'ordre des arbres.
struct ArbresCoches {
    std::vector<std::pair<std::string, bool>> channels, noms;

    void Remplir(const Catalogue& c) {
        channels.clear();
        noms.clear();
        for (const auto& t : Channels(c))
            channels.emplace_back(t, false);
        for (const auto& t : Noms(c))
            noms.emplace_back(t, false);
    }
    static void Cocher(std::vector<std::pair<std::string, bool>>& arbre, std::string_view texte,
                       bool coche = true) {
        for (auto& [t, c] : arbre)
            if (t == texte)
                c = coche;
    }
    static void ToutCocher(std::vector<std::pair<std::string, bool>>& arbre, bool coche = true) {
        for (auto& n : arbre)
            n.second = coche;
    }
    Selection Capturer() const {
        Selection s;
        for (const auto& [t, c] : channels)
            if (c)
                s.AjouterChannel(t);
        for (const auto& [t, c] : noms)
            if (c)
                s.AjouterNom(t);
        return s;
    }
};

// L'en-tête d'une ligne datée du 24 décembre 2001, heure entre crochets.
inline const std::string P = "12/24/2001 [18:30:05] ";

// Un journal de lignes lignes d'Aldric sur [Commerce], toutes à la même heure : « message 0 »…
inline std::string JournalDeMessages(int lignes) {
    std::string t;
    for (int i = 0; i < lignes; ++i)
        t += P + "[Commerce] \"Aldric\": message " + std::to_string(i) + "\r\n";
    return t;
}

// La date du jour des sorties d'essai : la bannière est la même à chaque exécution.
inline constexpr Date JourDesEssais{2002, 12, 7};

// Les réglages d'un moteur d'essai qui écrit dans dossier.
inline ReglagesMoteur Reglages(std::string dossier) {
    ReglagesMoteur r;
    r.dossier = std::move(dossier);
    return r;
}
// Le même, les sorties prenant leurs noms par ce système (pannes, arrêt entre deux échanges).
inline ReglagesMoteur Reglages(std::string dossier, SystemeValidation& systeme) {
    ReglagesMoteur r = Reglages(std::move(dossier));
    r.systemeSorties = &systeme;
    return r;
}

// Ce que les essais règlent d'une écriture, à côté de la sélection et des modes.
struct ReglagesEcriture {
    ReglagesNettoyage nettoyage;
    Decoupage decoupage = Decoupage::Aucun;
    std::size_t tailleMessage = 0;
    std::optional<Date> jour = JourDesEssais;
};

// Les demandes courantes des essais.
inline Issue<ResultatRecherche> Chercher(Moteur& m, const std::string& journal, Date debut,
                                         Date fin, Progression& p, std::stop_token arret = {}) {
    return m.Rechercher({journal, Periode::Jours(debut, fin)}, p, arret);
}
inline Issue<ResultatRecherche> Chercher(Moteur& m, const std::string& journal,
                                         const Periode& periode, Progression& p,
                                         std::stop_token arret = {}) {
    return m.Rechercher({journal, periode}, p, arret);
}
inline Issue<ResultatSorties> Ecrire(Moteur& m, const Selection& selection,
                                     const ModesPartages& modes, FormatsSortie formats,
                                     Progression& p, std::stop_token arret = {},
                                     const ReglagesEcriture& r = {}) {
    return m.EcrireSorties(
        {selection, &modes, r.nettoyage, formats, r.tailleMessage, r.decoupage, r.jour}, p, arret);
}
// LogFinal.txt seul : rend son chemin.
inline Issue<std::string> EcrireLogFinal(Moteur& m, const Selection& selection,
                                         const ModesPartages& modes, Progression& p,
                                         std::stop_token arret = {},
                                         const ReglagesEcriture& r = {}) {
    auto ecrit = Ecrire(m, selection, modes, {}, p, arret, r);
    if (!ecrit.ok())
        return ecrit.Echec();
    return ecrit->chemins.front();
}

} // namespace vek::test
