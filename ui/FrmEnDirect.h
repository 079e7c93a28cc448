#pragma once
// FrmEnDirect : la fenêtre « En direct », où le suivi du journal montre les lignes retenues à
// mesure que le jeu les écrit, dans la présentation de lecture : l'heure, le channel en badge,
// le nom dans sa couleur (celle de la page web), le texte. Elle s'ouvre sur les dernières lignes
// retenues de la période, suit la scène tant que l'utilisateur n'est pas remonté lire (une rafale
// qui la fait déborder comprise), et garde les dernières lignes seulement. Une ligne que le jeu
// n'a pas encore achevée est montrée suivie d'un « … » gris, puis corrigée en place. Fermée, elle
// arrête le suivi.

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

#include "Publication.h"
#include "Suiveur.h"

class QLabel;
class QPlainTextEdit;

class FrmEnDirect : public QWidget {
    Q_OBJECT

public:
    static constexpr int LignesGardees = 10000;
    // Les dernières lignes retenues de la période, montrées à l'ouverture.
    static constexpr int LignesAOuverture = 50;

    explicit FrmEnDirect(QWidget* parent = nullptr);

    using Teintes = std::shared_ptr<const vek::TeintesDesNoms>;
    // Ajoute les lignes d'un regard du suivi (même vide : le compte des regards avance), les noms
    // dans les teintes données (sans elles, celles de leurs octets). derniereProvisoire : le jeu
    // n'a pas achevé la dernière. Des lignes ajoutées achèvent une ligne restée provisoire.
    void Ajouter(const std::vector<vek::LigneSuivie>& lignes, Teintes teintes = nullptr,
                 bool derniereProvisoire = false);
    // La ligne provisoire, achevée par le jeu autrement : remplacée en place par ligne, ou retirée
    // (rien : elle n'est plus retenue).
    void Corriger(const std::optional<vek::LigneSuivie>& ligne, Teintes teintes = nullptr);
    // La ligne provisoire est achevée telle qu'elle est montrée.
    void Achever();
    // Une ligne de la vue attend encore que le jeu l'achève.
    bool Provisoire() const { return provisoire_.has_value(); }
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
    static QString Presenter(const vek::LigneSuivie& ligne, const vek::TeintesDesNoms& teintes);

signals:
    void Fermee();
    // Après chaque regard montré : combien de lignes il a ajoutées.
    void Regarde(int lignes);

protected:
    void closeEvent(QCloseEvent* evenement) override;

private:
    // Ajoute des blocs de HTML ; défile jusqu'en bas si la vue suit la scène.
    void AjouterHtml(const QStringList& blocs);
    // Ce qui suit une ligne provisoire : un « … » gris.
    static QString MarqueProvisoire();
    void Defiler();
    // Remplace le bloc de la ligne provisoire par html (rien : le retire), qui n'est plus
    // provisoire.
    void RemplacerProvisoire(const std::optional<QString>& html);

    QPlainTextEdit* vue_;
    QLabel* etat_;
    int regards_ = 0;
    // La vue suit la scène : l'utilisateur n'est pas remonté lire. Changé par lui seul, jamais
    // par le défilement que la vue fait elle-même.
    bool suit_ = true;
    bool defile_ = false;
    // La ligne provisoire et ses teintes (son bloc porte EtatProvisoire).
    std::optional<std::pair<vek::LigneSuivie, Teintes>> provisoire_;
};
