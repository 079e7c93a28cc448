#pragma once
// Les opérations de fenêtre de la ligne de commande : arbres et champs gardés en mémoire,
// progression dessinée sur la sortie d'erreur quand c'est un terminal, messages en UTF-8.

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "OperationsFenetre.h"

namespace vek {

struct NoeudArbre {
    std::string cle;
    std::string texte;
    bool coche = false;
};

class FenetreConsole final : public OperationsFenetre {
public:
    // erreur : flux des messages et de la barre ; progression : dessiner la barre.
    FenetreConsole(std::ostream& erreur, bool progression);
    ~FenetreConsole() override;
    FenetreConsole(const FenetreConsole&) = delete;
    FenetreConsole& operator=(const FenetreConsole&) = delete;

    // Libellé de la passe en cours, affiché devant la barre ; TerminerEtape efface la barre.
    void DefinirEtape(std::string_view libelle);
    void TerminerEtape();

    const std::vector<NoeudArbre>& Noeuds(Arbre arbre) const;
    void DefinirCase(CaseACocher caseACocher, int valeur);
    // Légende du résumé de la dernière analyse (Windows-1252), vide sans analyse.
    const std::string& ResumeAnalyse() const { return resume_; }
    bool CreerLogActive() const { return creerLogActive_; }

    // --- opérations appelées par le moteur ---
    std::string LireTexte(ChampTexte champ) override;
    void EcrireTexte(ChampTexte champ, std::string_view texte) override;
    void DefinirMaxProgression(float max) override;
    void DefinirValeurProgression(float valeur) override;
    void DefinirCompteur(double lignes) override;
    bool ProgressionAffichee() const override { return progression_; }
    void ViderArbre(Arbre arbre) override;
    void AjouterNoeud(Arbre arbre, std::string_view cle, std::string_view texte) override;
    int NombreNoeuds(Arbre arbre) override;
    bool NoeudCoche(Arbre arbre, int i) override;
    void CocherNoeud(Arbre arbre, int i, bool coche) override;
    std::string TexteNoeud(Arbre arbre, int i) override;
    int ValeurCase(CaseACocher caseACocher) override;
    void ActiverCreerLog() override;
    bool TraiterEvenements() override;
    void DefinirPointeur(Pointeur pointeur) override;
    void OuvrirFenetreAnalyse() override;
    void DefinirResumeAnalyse(std::string_view texte) override;
    void Message(std::string_view texte, std::string_view titre, Icone icone) override;

    // Nombre d'appels entre deux lectures de l'horloge, et intervalle minimal entre deux
    // dessins de la barre.
    static constexpr std::uint32_t MasqueAppels = 4096 - 1;
    static constexpr std::chrono::milliseconds Intervalle{100};

private:
    void Rafraichir();
    void Dessiner();
    void Effacer();
    NoeudArbre& Noeud(Arbre arbre, int i);

    std::ostream& erreur_;
    bool progression_;
    std::string champs_[3];
    std::vector<NoeudArbre> arbres_[2];
    int cases_[2] = {0, 0};
    bool creerLogActive_ = false;
    std::string resume_;

    float max_ = 0.0f;
    float valeur_ = 0.0f;
    double compteur_ = 0.0;
    std::uint32_t appels_ = 0;
    std::chrono::steady_clock::time_point dernierDessin_{};
    std::string etape_;
    std::size_t largeurAffichee_ = 0; // caractères de la barre à effacer
};

} // namespace vek
