#pragma once
// FrmAnalyse : fenêtre de résumé d'une analyse de journal, non modale, outil de la fenêtre
// principale (elle reste au-dessus d'elle tant qu'elle est ouverte). Chaque analyse ouvre la
// sienne, à côté de la fenêtre principale ; « Fermer » (ou Échap) la ferme et la décharge.
// Sous le résumé, les séances de jeu du journal, coupées aux pauses plus longues que celle de
// « Pause : » ; on en sélectionne une ou plusieurs (Maj, Ctrl), ou le dernier soir (« Ce soir »).
// « Choisir », Entrée ou un double-clic fait de leur période celle de la recherche et ferme la
// fenêtre. L'analyse de plusieurs journaux fusionnés les liste entre le résumé et les séances,
// chacun avec son horloge et son joueur, que l'utilisateur peut changer.

#include <QDialog>

#include <memory>
#include <vector>

#include "Sessions.h"
#include "SourceLignes.h"

namespace Ui {
class FrmAnalyse;
}

class ModeleJournaux;
class ModeleSessions;
class QTableView;

class FrmAnalyse : public QDialog {
    Q_OBJECT

public:
    explicit FrmAnalyse(QWidget* parent = nullptr);
    ~FrmAnalyse() override;

    // Légende de resume ; CR LF y passe à la ligne.
    void DefinirResume(const QString& texte);
    QString Resume() const;
    // Les séances, de la plus ancienne à la plus récente ; la liste montre la plus récente en
    // haut, sélectionnée.
    void DefinirSessions(std::vector<vek::Session> sessions);
    int NombreSessions() const;
    // La pause qui sépare les séances, en minutes.
    void DefinirPause(int minutes);
    int Pause() const;
    // Les journaux d'une fusion, avec leurs horloges et leurs joueurs ; un seul : rien à montrer.
    // Avant la fin de l'analyse, ses journaux : le tableau prend sa place dès l'ouverture, leurs
    // horloges et leurs joueurs encore à trouver.
    void DefinirJournaux(std::vector<vek::JournalDeSource> journaux, bool aTrouver = false);
    // Comme un double-clic sur la rangée (la plus récente en 0).
    void ChoisirSession(int rangee);
    // « Ce soir » : sélectionne les séances du dernier soir.
    void SelectionnerCeSoir();
    // « Choisir » : la période des séances sélectionnées, puis la fenêtre se ferme.
    void Choisir();

    // Où ouvrir une fenêtre de taille donnée : à droite de la fenêtre principale, sinon à sa
    // gauche, sinon dessous, sinon dessus ; à défaut, dans l'écran sous la zone à laisser libre
    // (les champs de date). rang : les fenêtres déjà ouvertes, dont celle-ci descend en cascade.
    static QPoint Placer(const QRect& principale, const QRect& libre, QSize taille,
                         const QRect& ecran, int rang);

signals:
    // Les bornes des séances choisies, à la minute, telles que les champs de date les reçoivent.
    void PeriodeChoisie(const QString& debut, const QString& fin);
    // La pause a changé : les séances sont à refaire.
    void PauseChangee(int minutes);
    // L'utilisateur a changé l'horloge ou le joueur d'un journal : tout ce qu'il en a donné.
    void DonneesChangees(std::vector<vek::DonneesJournal> donnees);

private slots:
    void Fermer();

protected:
    void keyPressEvent(QKeyEvent* evenement) override;

private:
    void PreparerListe();
    // Les rangées sélectionnées (la plus récente en 0).
    std::vector<int> RangeesChoisies() const;
    void PreparerTableJournaux();
    // La place du tableau des journaux : ce qui est dessous descend d'autant.
    void Decaler(int hauteur);

    std::unique_ptr<Ui::FrmAnalyse> ui;
    ModeleSessions* modele_;
    ModeleJournaux* journaux_;
    QTableView* tableJournaux_ = nullptr;
    int decalage_ = 0; // la hauteur donnée au tableau des journaux
};
