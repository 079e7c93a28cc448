#pragma once
// Le choix du journal et son analyse, depuis la fenêtre principale : le dialogue d'ouverture (ou
// un journal donné au démarrage), la passe d'analyse, le sablier pendant qu'elle lit, et les
// fenêtres « Analyse :) » : chaque analyse ouvre la sienne, outil de la fenêtre principale, à côté
// d'elle et pas sur ses champs de date, en cascade des autres encore ouvertes. Les dates trouvées
// vont dans les champs (un journal rechargé garde la période qu'ils disent) ; des séances choisies
// dans un résumé deviennent la période des champs, et la recherche part. Un fichier vide, ou qui
// n'est pas un journal texte du jeu, est dit en un seul message, sans résumé. « Ajouter un
// journal… » en joint d'autres à celui du champ et analyse leur fusion ; l'horloge ou le joueur
// d'un journal changé dans le résumé relance son analyse, et vaut pour les passes suivantes.

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "DialogueJournal.h"
#include "Moteur.h"
#include "PilotePasses.h"

class ChampsDeDate;
class FrmAnalyse;
class JournauxDuChamp;
class QWidget;

class AnalyseDuJournal {
public:
    // Rend le nom du fichier choisi, ou le texte vide si le dialogue est annulé.
    using Dialogue = std::function<QString(QWidget* parent, const DemandeOuverture& demande)>;

    struct Liens {
        QWidget* principale;
        JournauxDuChamp& journaux; // ceux du champ du journal
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
    // Le dialogue d'ouverture, puis l'analyse de la fusion du journal choisi et de ceux du champ.
    void Ajouter();
    // Comme si le premier de ces journaux avait été choisi dans le dialogue et les autres
    // ajoutés (le même fichier deux fois n'est qu'un journal).
    void Ouvrir(const QStringList& chemins);
    // L'analyse des journaux du champ tels qu'ils sont (après un retrait) ; pendant une autre
    // passe, rien.
    void Reanalyser();
    // La pause qui coupe les séances, en minutes : celle du dernier résumé changé.
    int Pause() const { return pause_; }
    // Les résumés encore ouverts, du plus ancien au plus récent.
    std::vector<FrmAnalyse*> Resumes() const;
    // Le programme se termine : les résumés se ferment, le sablier s'en va.
    void FermerTout();

private:
    struct Resume {
        QPointer<FrmAnalyse> fenetre;
        vek::Journaux journaux;
        QString cle; // celle des journaux du champ quand il a été ouvert
    };

    // Le dialogue d'ouverture ; le texte vide s'il est annulé.
    QString Demander(bool ajout) const;
    // L'analyse des journaux du champ.
    void Analyser();
    void Montrer(vek::Issue<vek::ResumeJournal>& issue, std::size_t ouverts,
                 const vek::Journaux& journaux, const QString& cle);
    // Les dates du journal dans les champs, sauf pour le journal déjà chargé dont les champs
    // disent une période.
    void PoserDates(const QString& cle, const vek::ResumeJournal& resume);
    void OuvrirResume(const vek::Journaux& journaux, const QString& cle);
    // Un résumé refait pour la pause et les horloges et joueurs qu'il montre (après la passe en
    // cours).
    void Regrouper(FrmAnalyse* fenetre);
    void DonneesChangees(FrmAnalyse* fenetre, const std::vector<vek::DonneesJournal>& donnees);
    // Le résumé de l'analyse qui en avait trouvé ouverts avant elle, s'il est encore là.
    FrmAnalyse* ResumeDe(std::size_t ouverts) const;
    void Sablier(bool actif);

    Liens l_;
    Dialogue dialogue_;
    bool sablier_ = false;
    int pause_ = vek::PauseSessionsParDefaut; // minutes, celle du dernier résumé changé
    QString charge_;                          // la clé des journaux de la dernière analyse
    QPointer<FrmAnalyse> aRegrouper_;
    std::vector<Resume> resumes_;
};
