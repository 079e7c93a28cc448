#pragma once
// Le choix du journal et son analyse, depuis la fenêtre principale : le dialogue d'ouverture (ou
// un journal donné au démarrage), la passe d'analyse, le sablier pendant qu'elle lit, et les
// fenêtres « Analyse :) » : chaque analyse ouvre la sienne, outil de la fenêtre principale, à côté
// d'elle et pas sur ses champs de date, en cascade des autres encore ouvertes. Les dates trouvées
// vont dans les champs ; une séance choisie dans un résumé devient la période des champs.

#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

#include "DialogueJournal.h"
#include "ModuleVEK.h"
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
    // Les résumés encore ouverts, du plus ancien au plus récent.
    std::vector<FrmAnalyse*> Resumes() const;
    // Le programme se termine : les résumés se ferment, le sablier s'en va.
    void FermerTout();

private:
    void Analyser(const QString& nom);
    void Montrer(vek::Issue<vek::ResumeJournal>& issue, std::size_t ouverts);
    void OuvrirResume();
    // Le résumé de l'analyse qui en avait trouvé ouverts avant elle, s'il est encore là.
    FrmAnalyse* ResumeDe(std::size_t ouverts) const;
    void Sablier(bool actif);

    Liens l_;
    Dialogue dialogue_;
    bool sablier_ = false;
    std::vector<QPointer<FrmAnalyse>> resumes_;
};
