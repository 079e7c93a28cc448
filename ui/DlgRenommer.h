#pragma once
// DlgRenommer : la table des renommages du nettoyage role-play, deux colonnes (« Ancien nom »,
// « Nouveau nom »). Remplie à l'ouverture depuis les réglages, elle ne les réécrit qu'à
// « Valider » ; elle vit le temps de l'exécution (rien n'est gardé sur le disque).

#include <QDialog>

#include "Nettoyage.h"

class QTableWidget;
class QLabel;

class DlgRenommer : public QDialog {
    Q_OBJECT

public:
    explicit DlgRenommer(vek::ReglagesNettoyage& reglages, QWidget* parent = nullptr);

    // Montre le dialogue (modal) ; « Valider » écrit les renommages dans reglages.
    static void Ouvrir(vek::ReglagesNettoyage& reglages, QWidget* parent = nullptr);

    QTableWidget* Table() const { return table_; }

private slots:
    void AjouterLigne();
    void RetirerLigne();
    void Valider();

private:
    // Une ligne vide reste toujours en bas, prête à la saisie.
    void GarderLigneVide();

    vek::ReglagesNettoyage& reglages_;
    QTableWidget* table_ = nullptr;
    QLabel* avis_ = nullptr;
};
