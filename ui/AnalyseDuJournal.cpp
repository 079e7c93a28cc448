#include "AnalyseDuJournal.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include "ChampsDeDate.h"
#include "CommandesDePasse.h"
#include "FrmAnalyse.h"
#include "TexteQt.h"

// Le dialogue d'ouverture du journal (CDLG).
namespace {
constexpr std::string_view TitreDialogue = "Chemin du fichier LOG Q7R";
constexpr std::string_view FiltreDialogue = "TXT file (*.txt *.TXT)";
constexpr std::string_view ExtensionDialogue = "txt";
} // namespace

AnalyseDuJournal::AnalyseDuJournal(const Liens& liens)
    : l_(liens), dialogue_(OuvrirDialogueJournal) {}

AnalyseDuJournal::~AnalyseDuJournal() {
    Sablier(false);
    for (const QPointer<FrmAnalyse>& resume : resumes_)
        delete resume.data();
}

void AnalyseDuJournal::Choisir() {
    if (l_.passes.Differer([this] { Choisir(); }) || l_.passes.EnCours())
        return;
    const DemandeOuverture demande{DepuisUtf8(TitreDialogue),
                                   {DepuisUtf8(FiltreDialogue), FiltreTousLesFichiers},
                                   DepuisUtf8(ExtensionDialogue),
                                   l_.chemin->text()};
    Analyser(dialogue_ ? dialogue_(l_.principale, demande) : QString());
}

void AnalyseDuJournal::Ouvrir(const QString& chemin) {
    if (!l_.passes.Differer([this, chemin] { Ouvrir(chemin); }) && !l_.passes.EnCours())
        Analyser(chemin);
}

void AnalyseDuJournal::Analyser(const QString& nom) {
    // Le nom rendu par le dialogue va dans le champ, quel qu'il soit.
    l_.chemin->setText(nom);
    if (nom.isEmpty())
        return;
    const std::size_t ouverts = resumes_.size();
    l_.passes.Analyser(
        VersNomFichier(nom),
        [this, ouverts](vek::Issue<vek::ResumeJournal>& issue) { Montrer(issue, ouverts); },
        // Le journal est ouvert : le résumé se montre pendant que l'analyse lit.
        [this] {
            Sablier(true);
            OuvrirResume();
        });
}

void AnalyseDuJournal::Montrer(vek::Issue<vek::ResumeJournal>& issue, std::size_t ouverts) {
    Sablier(false);
    FrmAnalyse* resume = ResumeDe(ouverts);
    if (!issue.ok()) {
        // Un journal illisible : le résumé ouvert pour lui n'a rien à montrer.
        if (resume)
            resume->close();
        return;
    }
    if (!issue->existe) {
        l_.message(QStringLiteral("Fichier introuvable !"), vek::Icone::Stop);
        l_.chemin->clear();
        return;
    }
    using Champ = ChampsDeDate::Champ;
    if (issue->debut)
        l_.dates.Controle(Champ::Debut)->setText(DepuisCp1252(vek::DateCourte(*issue->debut)));
    if (issue->fin)
        l_.dates.Controle(Champ::Fin)->setText(DepuisCp1252(vek::DateCourte(*issue->fin)));
    DonnerFocus(l_.suiteDeLaRoute);
    if (resume) {
        resume->DefinirResume(DepuisCp1252(issue->Texte()));
        resume->DefinirSessions(std::move(issue->sessions));
    }
    if (const std::string conseil = issue->Conseil(); !conseil.empty())
        l_.message(DepuisUtf8(conseil), vek::Icone::Aucune);
}

void AnalyseDuJournal::OuvrirResume() {
    // Non modal : la fenêtre principale reste utilisable. Il se peint avant que la lecture du
    // journal ne commence.
    QWidget* principale = l_.principale;
    auto* resume = new FrmAnalyse(principale);
    const QRect ecran = principale->screen() ? principale->screen()->availableGeometry() : QRect();
    resume->move(FrmAnalyse::Placer(principale->frameGeometry(), l_.dates.ZoneAEcran(),
                                    resume->frameGeometry().size(), ecran,
                                    static_cast<int>(Resumes().size())));
    QObject::connect(resume, &FrmAnalyse::SessionChoisie, principale,
                     [this](const QString& debut, const QString& fin) {
                         l_.dates.Controle(ChampsDeDate::Champ::Debut)->setText(debut);
                         l_.dates.Controle(ChampsDeDate::Champ::Fin)->setText(fin);
                     });
    resumes_.emplace_back(resume);
    resume->show();
}

FrmAnalyse* AnalyseDuJournal::ResumeDe(std::size_t ouverts) const {
    return resumes_.size() > ouverts ? resumes_.back().data() : nullptr;
}

std::vector<FrmAnalyse*> AnalyseDuJournal::Resumes() const {
    std::vector<FrmAnalyse*> ouverts;
    for (const QPointer<FrmAnalyse>& resume : resumes_)
        if (resume && resume->isVisible())
            ouverts.push_back(resume.data());
    return ouverts;
}

void AnalyseDuJournal::FermerTout() {
    Sablier(false);
    for (const QPointer<FrmAnalyse>& resume : resumes_)
        if (resume)
            resume->close();
}

void AnalyseDuJournal::Sablier(bool actif) {
    if (actif && !sablier_)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!actif && sablier_)
        QApplication::restoreOverrideCursor();
    sablier_ = actif;
}
