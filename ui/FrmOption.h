#pragma once
// Boîte des options : les trois modes d'extraction et, dessous, le nettoyage role-play (« Sans
// HRP », « Anonymiser les autres », la table de « Renommer… »), recopiés dans les cases à
// l'ouverture et réécrits seulement par « Valider » (la table, par son propre dialogue).

#include <QDialog>

#include <memory>

#include "Nettoyage.h"
#include "Selection.h"

class QKeyEvent;

namespace Ui {
class FrmOption;
}

class FrmOption : public QDialog {
    Q_OBJECT

public:
    // Depuis le menu « Options » : une boîte neuve (chargée), cases remplies depuis les modes,
    // montrée modale sans fenêtre propriétaire, libérée à sa fermeture.
    static void Ouvrir(vek::ModesPartages& modes, vek::ReglagesNettoyage* nettoyage = nullptr);

    // Crée et charge la boîte ; « Valider » écrira dans modes et, s'il est donné, nettoyage
    // (sinon dans des réglages propres à la boîte).
    explicit FrmOption(vek::ModesPartages& modes, QWidget* parent = nullptr,
                       vek::ReglagesNettoyage* nettoyage = nullptr);
    ~FrmOption() override;

    // Recopie les modes et le nettoyage dans les cases (Value 1 si actif, 0 sinon).
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
    void Renommer();   // « Renommer… »

private:
    std::unique_ptr<Ui::FrmOption> ui;
    vek::ModesPartages& modes_;
    vek::ReglagesNettoyage propre_;
    vek::ReglagesNettoyage& nettoyage_;
};
