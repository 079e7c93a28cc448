#pragma once
// FrmEnDirect : la fenêtre « En direct », où le suivi du journal montre les lignes retenues à
// mesure que le jeu les écrit, dans la présentation de lecture : l'heure, le channel en badge,
// le nom dans sa couleur (celle de la page web), le texte. Elle s'ouvre sur les dernières lignes
// retenues de la période, suit la scène tant que l'utilisateur n'est pas remonté lire (une rafale
// qui la fait déborder comprise), et garde les dernières lignes seulement. Fermée, elle arrête le
// suivi.

#include <QWidget>

#include <memory>
#include <vector>

#include "SuiviJournal.h"

class QLabel;
class QPlainTextEdit;

class FrmEnDirect : public QWidget {
    Q_OBJECT

public:
    static constexpr int LignesGardees = 10000;
    // Les dernières lignes retenues de la période, montrées à l'ouverture.
    static constexpr int LignesAOuverture = 50;

    explicit FrmEnDirect(QWidget* parent = nullptr);

    // Ajoute les lignes d'un regard du suivi (même vide : le compte des regards avance), les noms
    // dans les teintes données (sans elles, celles de leurs octets).
    void Ajouter(const std::vector<LigneDirecte>& lignes,
                 std::shared_ptr<const vek::TeintesDesNoms> teintes = nullptr);
    // Un message du suivi (journal remplacé, lecture impossible), dans le fil de la scène.
    void Annoncer(const QString& message);
    // La ligne d'état sous la vue : ce qui est suivi.
    void DefinirEtat(const QString& texte);

    // Le texte montré, une ligne de la vue par élément (messages compris).
    QStringList Lignes() const;
    // Les regards reçus depuis l'ouverture.
    int Regards() const { return regards_; }
    QPlainTextEdit* Vue() const { return vue_; }

    // Le HTML d'une ligne de la vue.
    static QString Presenter(const LigneDirecte& ligne, const vek::TeintesDesNoms& teintes);

signals:
    void Fermee();
    // Après chaque regard montré : combien de lignes il a ajoutées.
    void Regarde(int lignes);

protected:
    void closeEvent(QCloseEvent* evenement) override;

private:
    // Ajoute des blocs de HTML ; défile jusqu'en bas si la vue suit la scène.
    void AjouterHtml(const QStringList& blocs);
    void Defiler();

    QPlainTextEdit* vue_;
    QLabel* etat_;
    int regards_ = 0;
    // La vue suit la scène : l'utilisateur n'est pas remonté lire. Changé par lui seul, jamais
    // par le défilement que la vue fait elle-même.
    bool suit_ = true;
    bool defile_ = false;
};
