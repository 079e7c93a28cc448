#pragma once
// Fausse fenêtre qui enregistre chaque opération du moteur, pour vérifier les séquences.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Lanceur.h"
#include "OperationsFenetre.h"

namespace vek::test {

struct Noeud {
    std::string cle;
    std::string texte;
    bool coche = false;
};

class FausseFenetre : public OperationsFenetre {
public:
    // Champs texte
    std::string chemin, dateDeb, dateFin;
    std::vector<std::pair<ChampTexte, std::string>> ecritures;

    // Affichage
    std::vector<float> maxProgression;
    std::vector<float> valeursProgression;
    bool progressionAffichee = true;
    std::vector<double> compteurs;
    std::string compteur = "0";
    std::vector<Noeud> channels, noms;
    int caseTLC = 0, caseTLM = 0;
    bool creerLogActive = false;
    int evenements = 0;
    std::function<bool()> surEvenement; // appelé à chaque passage d'événements
    std::vector<Pointeur> pointeurs;
    int fenetresAnalyse = 0;
    std::vector<std::string> resumes;
    struct MessageVu {
        std::string texte, titre;
        Icone icone;
    };
    std::vector<MessageVu> messages;

    std::string& Champ(ChampTexte c) {
        return c == ChampTexte::CheminLog ? chemin : c == ChampTexte::DateDebut ? dateDeb : dateFin;
    }
    std::vector<Noeud>& Noeuds(Arbre a) { return a == Arbre::Channels ? channels : noms; }

    std::string LireTexte(ChampTexte c) override { return Champ(c); }
    void EcrireTexte(ChampTexte c, std::string_view t) override {
        Champ(c) = std::string(t);
        ecritures.emplace_back(c, std::string(t));
    }
    void DefinirMaxProgression(float m) override { maxProgression.push_back(m); }
    void DefinirValeurProgression(float v) override { valeursProgression.push_back(v); }
    bool ProgressionAffichee() const override { return progressionAffichee; }
    void DefinirCompteur(double n) override {
        compteurs.push_back(n);
        compteur = std::to_string(static_cast<std::uint64_t>(n));
    }
    void ViderArbre(Arbre a) override { Noeuds(a).clear(); }
    void AjouterNoeud(Arbre a, std::string_view cle, std::string_view texte) override {
        Noeuds(a).push_back({std::string(cle), std::string(texte), false});
    }
    int NombreNoeuds(Arbre a) override { return static_cast<int>(Noeuds(a).size()); }
    bool NoeudCoche(Arbre a, int i) override {
        return Noeuds(a).at(static_cast<std::size_t>(i - 1)).coche;
    }
    void CocherNoeud(Arbre a, int i, bool c) override {
        Noeuds(a).at(static_cast<std::size_t>(i - 1)).coche = c;
    }
    std::string TexteNoeud(Arbre a, int i) override {
        return Noeuds(a).at(static_cast<std::size_t>(i - 1)).texte;
    }
    int ValeurCase(CaseACocher c) override {
        return c == CaseACocher::TousChannels ? caseTLC : caseTLM;
    }
    void ActiverCreerLog() override { creerLogActive = true; }
    bool TraiterEvenements() override {
        ++evenements;
        return surEvenement ? surEvenement() : true;
    }
    void DefinirPointeur(Pointeur p) override { pointeurs.push_back(p); }
    void OuvrirFenetreAnalyse() override { ++fenetresAnalyse; }
    void DefinirResumeAnalyse(std::string_view t) override { resumes.emplace_back(t); }
    void Message(std::string_view texte, std::string_view titre, Icone icone) override {
        messages.push_back({std::string(texte), std::string(titre), icone});
    }

    // Textes des nœuds d'un arbre, dans l'ordre.
    std::vector<std::string> Textes(Arbre a) {
        std::vector<std::string> t;
        for (const auto& n : Noeuds(a))
            t.push_back(n.texte);
        return t;
    }
    void Cocher(Arbre a, std::string_view texte) {
        for (auto& n : Noeuds(a))
            if (n.texte == texte)
                n.coche = true;
    }
};

class FauxLanceur : public LanceurDocument {
public:
    std::vector<std::string> ouverts;
    std::int16_t OuvrirDocument(const std::string& document) override {
        ouverts.push_back(document);
        return 42;
    }
};

} // namespace vek::test
