#pragma once
// FrmResultats : la fenêtre « Résultats » d'une recherche de mots, non modale, outil de la
// fenêtre principale. Les lignes trouvées y sont groupées par séance (ModeleResultats), les mots
// trouvés en gras, le total dessous. Un double-clic sur une ligne ou une séance, « Choisir » ou
// Entrée fait de sa séance la période de la recherche, à la minute (comme la liste des séances de
// « Analyse :) »), et ferme la fenêtre ; « Fermer » (ou Échap) la ferme seulement.

#include <QDialog>

#include "TrouverScene.h"

class ModeleResultats;
class QLabel;
class QPushButton;
class QTreeView;

class FrmResultats : public QDialog {
    Q_OBJECT

public:
    explicit FrmResultats(QWidget* parent = nullptr);
    ~FrmResultats() override;

    // Ce qu'a trouvé la recherche de requete (telle que tapée), faite ou (« dans tout le
    // journal », « du 24/12/2001 au 27/12/2001 »).
    void Definir(const QString& requete, const QString& ou, vek::ResultatScene resultat);
    const ModeleResultats& Modele() const { return *modele_; }
    QTreeView* Vue() const { return vue_; }

    // « Choisir » : la séance de la rangée courante (celle d'une ligne, pour une ligne).
    void Choisir();
    // Comme un double-clic sur la rangée.
    void ChoisirRangee(const QModelIndex& index);

signals:
    // Les bornes de la séance choisie, à la minute, telles que les champs de date les reçoivent.
    void PeriodeChoisie(const QString& debut, const QString& fin);

protected:
    void keyPressEvent(QKeyEvent* evenement) override;

private:
    void PreparerVue();

    ModeleResultats* modele_;
    QLabel* titre_;
    QTreeView* vue_;
    QLabel* total_;
    QPushButton* boutonChoisir_;
    QPushButton* boutonFermer_;
};
