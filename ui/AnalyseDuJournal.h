#pragma once
// Le choix du journal et son analyse, depuis la fenêtre principale : le dialogue d'ouverture (ou
// un journal donné au démarrage), la passe d'analyse, le sablier pendant qu'elle lit, et les
// fenêtres « Analyse :) » : chaque analyse ouvre la sienne, outil de la fenêtre principale, à côté
// d'elle et pas sur ses champs de date, en cascade des autres encore ouvertes. Les dates trouvées
// vont dans les champs (un journal rechargé garde la période qu'ils disent) ; des séances choisies
// dans un résumé deviennent la période des champs, et la recherche part. Un fichier vide, ou qui
// n'est pas un journal texte du jeu, est dit en un seul message, sans résumé.

#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

#include "DialogueJournal.h"
#include "Moteur.h"
#include "PilotePasses.h"

class ChampsDeDate;
class FrmAnalyse;
class QLineEdit;
class QWidget;

class AnalyseDuJournal {
public:
    // Rend le nom du fichier choisi, ou le texte vide si le dialogue est annulé.
    using Dialogue = std::function<QString(QWidget* parent, const DemandeOuverture& demande)>;

    struct Liens {
        QWidget* principale;
        QLineEdit* chemin;
        ChampsDeDate& dates;
        QWidget* suiteDeLaRoute; // reçoit le focus après l'analyse
        PilotePasses& passes;
        PilotePasses::Message message;
        std::function<void()> rechercher; // la recherche de la période des champs
    };

    explicit AnalyseDuJournal(const Liens& liens);
    ~AnalyseDuJournal();
    AnalyseDuJournal(const AnalyseDuJournal&) = delete;
    AnalyseDuJournal& operator=(const AnalyseDuJournal&) = delete;

    void DefinirDialogue(Dialogue dialogue) { dialogue_ = std::move(dialogue); }

    // Le dialogue d'ouverture, puis l'analyse du journal choisi. Pendant un regard du suivi, après
    // lui ; pendant une autre passe, rien.
    void Choisir();
    // Comme si ce journal avait été choisi dans le dialogue.
    void Ouvrir(const QString& chemin);
    // La pause qui coupe les séances, en minutes : celle du dernier résumé changé.
    int Pause() const { return pause_; }
    // Les résumés encore ouverts, du plus ancien au plus récent.
    std::vector<FrmAnalyse*> Resumes() const;
    // Le programme se termine : les résumés se ferment, le sablier s'en va.
    void FermerTout();

private:
    struct Resume {
        QPointer<FrmAnalyse> fenetre;
        QString journal;
    };

    void Analyser(const QString& nom);
    void Montrer(vek::Issue<vek::ResumeJournal>& issue, std::size_t ouverts);
    // Les dates du journal dans les champs, sauf pour le journal déjà chargé dont les champs
    // disent une période.
    void PoserDates(const QString& journal, const vek::ResumeJournal& resume);
    void OuvrirResume(const QString& journal);
    // Les séances d'un résumé, refaites pour la pause qu'il montre (après la passe en cours).
    void Regrouper(FrmAnalyse* fenetre);
    // Le résumé de l'analyse qui en avait trouvé ouverts avant elle, s'il est encore là.
    FrmAnalyse* ResumeDe(std::size_t ouverts) const;
    void Sablier(bool actif);

    Liens l_;
    Dialogue dialogue_;
    bool sablier_ = false;
    int pause_ = vek::PauseSessionsParDefaut; // minutes, celle du dernier résumé changé
    QString charge_;                          // le journal de la dernière analyse
    QPointer<FrmAnalyse> aRegrouper_;
    std::vector<Resume> resumes_;
};
