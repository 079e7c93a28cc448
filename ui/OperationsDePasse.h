#pragma once
// Les opérations de fenêtre que le moteur appelle pendant une passe, sur le fil de travail.
//
// Rien ici ne touche un contrôle : chaque opération devient un signal, que la fenêtre reçoit
// en file d'attente sur son propre fil, dans l'ordre d'émission. La progression (barre et
// compteur) n'est envoyée qu'au rythme de l'affichage, une soixantaine de fois par seconde au
// plus (l'horloge n'est lue que toutes les 256 mises à jour) ; les dernières valeurs partent
// toujours à la fin de la passe. La passe s'arrête dès que la fenêtre le demande : chaque
// ligne le vérifie.

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "OperationsFenetre.h"

class OperationsDePasse final : public QObject, public vek::OperationsFenetre {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds IntervalleAffichage{16};
    static constexpr unsigned MisesAJourEntreLecturesHorloge = 256;

    // Avant la passe, sur le fil de la fenêtre : le chemin du journal tel que le champ le
    // montre (la recherche le relit), et un frein éventuel (tests : une passe qui dure).
    void Commencer(std::string cheminJournal, std::function<void()> frein = {});
    // De n'importe quel fil : la passe en cours s'arrête à la ligne suivante, et toute passe
    // suivante aussitôt.
    void Arreter() { arret_.store(true, std::memory_order_relaxed); }
    // À la fin de la passe, sur le fil de travail : envoie les dernières valeurs.
    void Terminer();

    std::string LireTexte(vek::ChampTexte champ) override;
    void EcrireTexte(vek::ChampTexte champ, std::string_view texte) override;

    void DefinirMaxProgression(float max) override;
    void DefinirValeurProgression(float valeur) override;
    void DefinirCompteur(double lignes) override;

    // Les arbres appartiennent à la fenêtre, qui les bâtit elle-même depuis le catalogue rendu
    // par la recherche : ces opérations ne font rien ici.
    void ViderArbre(vek::Arbre) override {}
    void AjouterNoeud(vek::Arbre, std::string_view, std::string_view) override {}
    int NombreNoeuds(vek::Arbre) override { return 0; }
    bool NoeudCoche(vek::Arbre, int) override { return false; }
    void CocherNoeud(vek::Arbre, int, bool) override {}
    std::string TexteNoeud(vek::Arbre, int) override { return {}; }
    int ValeurCase(vek::CaseACocher) override { return 0; }
    void ActiverCreerLog() override {}

    bool TraiterEvenements() override;
    bool TraiterEvenementsEnAttente() override;
    const std::atomic<bool>* DrapeauArret() const override { return &arret_; }
    void DefinirPointeur(vek::Pointeur pointeur) override;

    void OuvrirFenetreAnalyse() override;
    void DefinirResumeAnalyse(std::string_view texte) override;
    void Message(std::string_view texte, std::string_view titre, vek::Icone icone) override;

signals:
    void MaximumChange(int maximum);
    void AvancementChange(int valeur, double lignes);
    void TexteChange(int champ, QString texte); // vek::ChampTexte
    void PointeurChange(int pointeur);          // vek::Pointeur
    void FenetreAnalyseDemandee();
    void ResumeAnalyseChange(QString texte);
    void MessageDemande(QString texte, QString titre, int icone); // vek::Icone

private:
    void Envoyer(bool force);

    std::atomic<bool> arret_{false};
    std::string cheminJournal_;
    std::function<void()> frein_;
    // Côté fil de travail seulement.
    float valeur_ = 0.0f;
    double lignes_ = 0.0;
    bool enAttente_ = false;
    unsigned misesAJour_ = 0;
    std::chrono::steady_clock::time_point dernierEnvoi_{};
};
