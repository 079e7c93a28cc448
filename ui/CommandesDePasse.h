#pragma once
// Les commandes qui lancent une passe (boutons et entrées de menu) : pendant qu'une passe dure,
// toutes sont grisées ; hors passe, chacune suit sa règle. Une commande nouvelle s'ajoute d'une
// ligne, avec la règle de la commande qu'elle suit.
//
// Griser le contrôle qui a le focus enverrait Qt au contrôle suivant comme par la tabulation,
// et un champ de texte atteint ainsi sélectionne tout son texte : une touche égarée l'effacerait.
// Le focus est donc mis à l'abri avant, sans rien sélectionner.

#include <QList>
#include <QObject>

#include <functional>
#include <initializer_list>
#include <vector>

class QWidget;

class CommandesDePasse {
public:
    // abri : reçoit le focus pendant la passe quand le contrôle qui l'avait est grisé.
    explicit CommandesDePasse(QWidget* abri) : abri_(abri) {}

    // Des commandes (QAbstractButton, QAction) qui suivent la même règle hors passe.
    void Ajouter(std::initializer_list<QObject*> commandes, std::function<bool()> regle);

    // Applique les règles ; pendant une passe, tout est grisé.
    void Appliquer(bool passeEnCours);

private:
    struct Groupe {
        QList<QObject*> commandes;
        std::function<bool()> regle;
    };
    QWidget* abri_;
    std::vector<Groupe> groupes_;
};

// Donne le focus au contrôle (s'il peut le prendre) sans rien sélectionner dans un champ.
void DonnerFocus(QWidget* controle);
