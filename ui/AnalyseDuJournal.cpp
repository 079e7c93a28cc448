#include "AnalyseDuJournal.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include "ChampsDeDate.h"
#include "Chemins.h"
#include "CommandesDePasse.h"
#include "FrmAnalyse.h"
#include "JournauxDuChamp.h"
#include "Ligne.h"
#include "TemoinJournal.h"
#include "TexteQt.h"

namespace {

// Le dialogue d'ouverture du journal (CDLG).
constexpr std::string_view TitreDialogue = "Chemin du fichier LOG Q7R";
constexpr std::string_view TitreAjout = "Ajouter un journal";
constexpr std::string_view FiltreDialogue = "TXT file (*.txt *.TXT)";
constexpr std::string_view ExtensionDialogue = "txt";

// Ce qu'on lit du début d'un fichier pour savoir s'il est un journal texte du jeu.
constexpr std::size_t DebutLu = std::size_t{64} << 10;

// Pourquoi un fichier lu par l'analyse n'est pas un journal texte du jeu : un octet nul, ou
// aucune ligne datée, dans ses 64 premiers Kio. Un journal vide ou marqué comme texte Unicode a
// son propre conseil.
std::optional<QString> PasUnJournal(const QString& nom, const vek::ResumeJournal& resume) {
    if (resume.lignes == 0 || resume.marque != vek::ResumeJournal::Marque::Aucune)
        return std::nullopt;
    const vek::NomFichier chemin = VersNomFichier(nom);
    const auto empreinte = vek::LireEmpreinte(chemin);
    const auto debut =
        empreinte ? vek::LireOctetsSiMeme(chemin, *empreinte, 0, DebutLu) : std::nullopt;
    if (!debut)
        return std::nullopt;
    const bool nul = debut->find('\0') != std::string::npos;
    bool datee = false;
    for (std::size_t i = 0; i < debut->size() && !datee;) {
        const std::size_t fin = std::min(debut->find('\n', i), debut->size());
        datee = vek::DateDeLigne(std::string_view(*debut).substr(i, fin - i)).has_value();
        i = fin + 1;
    }
    if (!nul && datee)
        return std::nullopt;
    return QStringLiteral("« %1 » n'est pas un journal de discussion du jeu : %2 dans ses "
                          "64 premiers Kio. Choisissez le journal que le jeu écrit (un fichier "
                          "texte, une ligne par message, chacune commençant par sa date).")
        .arg(QFileInfo(nom).fileName(),
             nul ? QStringLiteral("il contient des octets nuls, comme un fichier binaire (une "
                                  "image, une archive…), et n'est donc pas du texte")
                 : QStringLiteral("aucune ligne n'y commence par une date mm/jj/aaaa"));
}

} // namespace

AnalyseDuJournal::AnalyseDuJournal(const Liens& liens)
    : l_(liens), dialogue_(OuvrirDialogueJournal) {
    // Des séances à refaire pendant une autre passe : après elle.
    l_.passes.QuandAuRepos([this] {
        if (aRegrouper_)
            Regrouper(aRegrouper_);
    });
}

AnalyseDuJournal::~AnalyseDuJournal() {
    Sablier(false);
    for (const Resume& resume : resumes_)
        delete resume.fenetre.data();
}

QString AnalyseDuJournal::Demander(bool ajout) const {
    const DemandeOuverture demande{DepuisUtf8(ajout ? TitreAjout : TitreDialogue),
                                   {DepuisUtf8(FiltreDialogue), FiltreTousLesFichiers},
                                   DepuisUtf8(ExtensionDialogue),
                                   l_.journaux.Premier()};
    return dialogue_ ? dialogue_(l_.principale, demande) : QString();
}

void AnalyseDuJournal::Choisir() {
    if (l_.passes.Differer([this] { Choisir(); }) || l_.passes.EnCours())
        return;
    // Le nom rendu par le dialogue va dans le champ, quel qu'il soit.
    l_.journaux.DefinirSeul(Demander(false));
    Analyser();
}

void AnalyseDuJournal::Ajouter() {
    if (l_.passes.Differer([this] { Ajouter(); }) || l_.passes.EnCours())
        return;
    const QString nom = Demander(true);
    if (nom.isEmpty())
        return; // annulé : les journaux restent
    if (l_.journaux.Ajouter({nom}) == 0) {
        l_.message(QStringLiteral("« %1 » est déjà parmi les journaux chargés.")
                       .arg(QFileInfo(nom).fileName()),
                   vek::Icone::Aucune);
        return;
    }
    Analyser();
}

void AnalyseDuJournal::Ouvrir(const QStringList& chemins) {
    if (l_.passes.Differer([this, chemins] { Ouvrir(chemins); }) || l_.passes.EnCours())
        return;
    l_.journaux.DefinirSeul(chemins.value(0));
    if (chemins.size() > 1)
        l_.journaux.Ajouter(chemins.mid(1));
    Analyser();
}

void AnalyseDuJournal::Reanalyser() {
    if (l_.passes.Differer([this] { Reanalyser(); }) || l_.passes.EnCours())
        return;
    Analyser();
}

void AnalyseDuJournal::Analyser() {
    if (l_.journaux.Premier().isEmpty())
        return;
    const vek::Journaux journaux = l_.journaux.Journaux();
    const QString cle = l_.journaux.Cle();
    const std::size_t ouverts = resumes_.size();
    l_.passes.Analyser(
        journaux, pause_,
        [this, ouverts, journaux, cle](vek::Issue<vek::ResumeJournal>& issue) {
            Montrer(issue, ouverts, journaux, cle);
        },
        // Le journal est ouvert : le résumé se montre pendant que l'analyse lit.
        [this, journaux, cle] {
            Sablier(true);
            OuvrirResume(journaux, cle);
        });
}

void AnalyseDuJournal::Montrer(vek::Issue<vek::ResumeJournal>& issue, std::size_t ouverts,
                               const vek::Journaux& journaux, const QString& cle) {
    Sablier(false);
    FrmAnalyse* resume = ResumeDe(ouverts);
    if (issue.ok() && !issue->existe) {
        l_.message(QStringLiteral("Fichier introuvable !"), vek::Icone::Stop);
        l_.journaux.DefinirSeul({});
        return;
    }
    std::optional<QString> pasUnJournal;
    for (std::size_t i = 0; issue.ok() && !pasUnJournal && i < journaux.chemins.size(); ++i)
        pasUnJournal = PasUnJournal(DepuisNomFichier(journaux.chemins[i]), *issue);
    // Un journal illisible, vide ou qui n'en est pas un : son résumé n'aurait rien à montrer.
    if (!issue.ok() || pasUnJournal || (issue->lignes == 0 && !issue->debut)) {
        if (resume)
            resume->close();
        if (pasUnJournal)
            l_.message(*pasUnJournal, vek::Icone::Aucune);
        else if (issue.ok())
            l_.message(DepuisUtf8(issue->Conseil()), vek::Icone::Aucune);
        return;
    }
    PoserDates(cle, *issue);
    DonnerFocus(l_.suiteDeLaRoute);
    if (resume) {
        resume->DefinirResume(DepuisCp1252(issue->Texte()));
        resume->DefinirSessions(std::move(issue->sessions));
        resume->DefinirJournaux(std::move(issue->journaux));
    }
    if (const std::string conseil = issue->Conseil(); !conseil.empty())
        l_.message(DepuisUtf8(conseil), vek::Icone::Aucune);
}

void AnalyseDuJournal::PoserDates(const QString& cle, const vek::ResumeJournal& resume) {
    const bool recharge = cle == std::exchange(charge_, cle);
    if (recharge && l_.dates.Periode())
        return; // le journal a grandi : la période de la scène reste
    using Champ = ChampsDeDate::Champ;
    if (resume.debut)
        l_.dates.Controle(Champ::Debut)->setText(DepuisCp1252(vek::DateCourte(*resume.debut)));
    if (resume.fin)
        l_.dates.Controle(Champ::Fin)->setText(DepuisCp1252(vek::DateCourte(*resume.fin)));
}

void AnalyseDuJournal::OuvrirResume(const vek::Journaux& journaux, const QString& cle) {
    // Non modal : la fenêtre principale reste utilisable. Il se peint avant que la lecture du
    // journal ne commence.
    QWidget* principale = l_.principale;
    auto* resume = new FrmAnalyse(principale);
    resume->DefinirPause(pause_);
    std::vector<vek::JournalDeSource> attendus(journaux.chemins.size());
    for (std::size_t i = 0; i < attendus.size(); ++i)
        attendus[i].chemin = journaux.chemins[i];
    resume->DefinirJournaux(std::move(attendus), true); // sa place, avant qu'il soit placé
    resume->winId(); // sa fenêtre du système existe : son cadre compte dans sa place
    const QRect ecran = principale->screen() ? principale->screen()->availableGeometry() : QRect();
    resume->move(FrmAnalyse::Placer(principale->frameGeometry(), l_.dates.ZoneAEcran(),
                                    resume->frameGeometry().size(), ecran,
                                    static_cast<int>(Resumes().size())));
    QObject::connect(resume, &FrmAnalyse::PeriodeChoisie, principale,
                     [this](const QString& debut, const QString& fin) {
                         l_.dates.Controle(ChampsDeDate::Champ::Debut)->setText(debut);
                         l_.dates.Controle(ChampsDeDate::Champ::Fin)->setText(fin);
                         l_.rechercher();
                     });
    QObject::connect(resume, &FrmAnalyse::PauseChangee, principale, [this, resume](int minutes) {
        pause_ = minutes;
        Regrouper(resume);
    });
    QObject::connect(resume, &FrmAnalyse::DonneesChangees, principale,
                     [this, resume](const std::vector<vek::DonneesJournal>& donnees) {
                         DonneesChangees(resume, donnees);
                     });
    resumes_.push_back({resume, journaux, cle});
    resume->show();
}

void AnalyseDuJournal::Regrouper(FrmAnalyse* fenetre) {
    aRegrouper_ = fenetre;
    if (l_.passes.EnCours())
        return; // quand plus rien ne tourne
    aRegrouper_.clear();
    const auto resume = std::find_if(resumes_.begin(), resumes_.end(),
                                     [fenetre](const Resume& r) { return r.fenetre == fenetre; });
    if (resume == resumes_.end() || !fenetre->isVisible())
        return;
    const QPointer<FrmAnalyse> cible = fenetre;
    const int pause = fenetre->Pause();
    const vek::Journaux journaux = resume->journaux;
    l_.passes.Analyser(
        journaux, pause,
        [this, cible, pause, journaux](vek::Issue<vek::ResumeJournal>& issue) {
            if (!cible || !issue.ok() || !issue->existe)
                return;
            cible->DefinirResume(DepuisCp1252(issue->Texte()));
            cible->DefinirSessions(std::move(issue->sessions));
            cible->DefinirJournaux(std::move(issue->journaux));
            // Changées pendant la lecture : la pause, ou une horloge ou un joueur.
            const auto r = std::find_if(resumes_.begin(), resumes_.end(),
                                        [&](const Resume& x) { return x.fenetre == cible; });
            if (cible->Pause() != pause ||
                (r != resumes_.end() && r->journaux.donnees != journaux.donnees))
                Regrouper(cible);
        },
        nullptr);
}

void AnalyseDuJournal::DonneesChangees(FrmAnalyse* fenetre,
                                       const std::vector<vek::DonneesJournal>& donnees) {
    const auto resume = std::find_if(resumes_.begin(), resumes_.end(),
                                     [fenetre](const Resume& r) { return r.fenetre == fenetre; });
    if (resume == resumes_.end())
        return;
    resume->journaux.donnees = donnees;
    // Les passes suivantes de ces journaux les emploient aussi.
    l_.journaux.DefinirDonnees(resume->cle, donnees);
    Regrouper(fenetre);
}

FrmAnalyse* AnalyseDuJournal::ResumeDe(std::size_t ouverts) const {
    return resumes_.size() > ouverts ? resumes_.back().fenetre.data() : nullptr;
}

std::vector<FrmAnalyse*> AnalyseDuJournal::Resumes() const {
    std::vector<FrmAnalyse*> ouverts;
    for (const Resume& resume : resumes_)
        if (resume.fenetre && resume.fenetre->isVisible())
            ouverts.push_back(resume.fenetre.data());
    return ouverts;
}

void AnalyseDuJournal::FermerTout() {
    Sablier(false);
    for (const Resume& resume : resumes_)
        if (resume.fenetre)
            resume.fenetre->close();
}

void AnalyseDuJournal::Sablier(bool actif) {
    if (actif && !sablier_)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!actif && sablier_)
        QApplication::restoreOverrideCursor();
    sablier_ = actif;
}
