#pragma once
// Les opérations de fenêtre du moteur, sur les vrais contrôles de FrmPrincipal.
//
// Pendant une passe longue, le moteur donne la progression et la main à la fenêtre à chaque
// ligne. Les valeurs sont seulement mémorisées ; la barre, le compteur et le traitement des
// événements ne s'appliquent qu'environ toutes les 15 ms (l'horloge n'est lue que toutes les
// 256 lignes), et les dernières valeurs sont toujours montrées à la fin de la passe.

#include <chrono>
#include <string>
#include <string_view>

#include "OperationsFenetre.h"

class FrmPrincipal;
class QLineEdit;
class QTreeWidget;

class OperationsFenetreQt final : public vek::OperationsFenetre {
public:
    static constexpr std::chrono::milliseconds IntervalleEvenements{15};
    static constexpr unsigned LignesEntreLecturesHorloge = 256;

    explicit OperationsFenetreQt(FrmPrincipal& fenetre);

    std::string LireTexte(vek::ChampTexte champ) override;
    void EcrireTexte(vek::ChampTexte champ, std::string_view texte) override;

    void DefinirMaxProgression(float max) override;
    void DefinirValeurProgression(float valeur) override;
    void DefinirCompteur(double lignes) override;

    void ViderArbre(vek::Arbre arbre) override;
    void AjouterNoeud(vek::Arbre arbre, std::string_view cle, std::string_view texte) override;
    int NombreNoeuds(vek::Arbre arbre) override;
    bool NoeudCoche(vek::Arbre arbre, int i) override;
    void CocherNoeud(vek::Arbre arbre, int i, bool coche) override;
    std::string TexteNoeud(vek::Arbre arbre, int i) override;

    int ValeurCase(vek::CaseACocher caseACocher) override;
    void ActiverCreerLog() override;

    bool TraiterEvenements() override;
    bool TraiterEvenementsEnAttente() override;
    void DefinirPointeur(vek::Pointeur pointeur) override;

    void OuvrirFenetreAnalyse() override;
    void DefinirResumeAnalyse(std::string_view texte) override;
    void Message(std::string_view texte, std::string_view titre, vek::Icone icone) override;

    // Début et fin d'une passe longue (recherche, journal final).
    void DebutPasse();
    void FinPasse();

    // Rôles des données d'un nœud : les octets exacts de son texte et de sa clé.
    static constexpr int RoleOctets = 0x0100; // Qt::UserRole
    static constexpr int RoleCle = 0x0100 + 1;

private:
    QLineEdit* Champ(vek::ChampTexte champ) const;
    QTreeWidget* Arbre(vek::Arbre arbre) const;
    void AppliquerValeur(float valeur);
    void AppliquerCompteur(double lignes);
    void AppliquerEnAttente();

    FrmPrincipal& fenetre_;
    bool enPasse_ = false;
    float valeur_ = 0.0f;
    double compteur_ = 0.0;
    bool valeurEnAttente_ = false;
    bool compteurEnAttente_ = false;
    unsigned appels_ = 0;
    std::chrono::steady_clock::time_point dernierPassage_{};
    bool sablier_ = false;
};
