#pragma once
// Boîte des options : les trois modes d'extraction, recopiés dans les cases à l'ouverture et
// réécrits seulement par « Valider ».

#include <QDialog>

#include <memory>

#include "Selection.h"

class QKeyEvent;

namespace vek {
class ModuleVEK;
}

namespace Ui {
class FrmOption;
}

class FrmOption : public QDialog {
    Q_OBJECT

public:
    // Depuis le menu « Options » : une boîte neuve (chargée), cases remplies depuis les modes,
    // montrée modale sans fenêtre propriétaire, libérée à sa fermeture.
    static void Ouvrir(vek::ModesPartages& modes);

    // Crée et charge la boîte ; « Valider » écrira dans modes.
    explicit FrmOption(vek::ModesPartages& modes, QWidget* parent = nullptr);
    ~FrmOption() override;

    // Recopie les modes dans les cases (Value 1 si le mode est actif, 0 sinon).
    void RemplirDepuisModes();

protected:
    // Échap ne fait rien : aucun bouton n'est le bouton d'annulation.
    void keyPressEvent(QKeyEvent* evenement) override;
    // Un clic sur la légende d'une rangée coche ou décoche sa case.
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private slots:
    void EtatInitial();
    void Abandonner(); // « Quitter »
    void Valider();    // « Valider »

private:
    std::unique_ptr<Ui::FrmOption> ui;
    vek::ModesPartages& modes_;
};
