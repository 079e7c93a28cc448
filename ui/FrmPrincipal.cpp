#include "FrmPrincipal.h"

#include "ui_FrmPrincipal.h"

#include "Apparence.h"
#include "AvisPageWeb.h"
#include "BarreEtat.h"
#include "EntreesExport.h"
#include "FrmAnalyse.h"
#include "Images.h"
#include "InfoSysteme.h"
#include "ProgressionFenetre.h"
#include "SuiviJournal.h"
#include "SuiviRecherche.h"
#include "TexteQt.h"
#include "frmCalendar.h"

#include "DlgRenommer.h"
#include "FrmOption.h"
#include "frmAbout.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>

// Ce que la fenêtre dit d'une sortie écrite : dans la barre d'état, toujours ; dans une boîte,
// où elle est quand aucun programme ne l'a ouverte ou qu'elle est dans le dossier de secours.
struct FrmPrincipal::TextesSortie {
    BarreEtat::Sortie barre;
    QString ecrit;
    QString ecritEnSecours;
    QString sansProgramme;
};

const FrmPrincipal::TextesSortie FrmPrincipal::TextesLogFinal{
    {QStringLiteral("Fichier log écrit et confié au visualiseur du bureau :"),
     QStringLiteral("Fichier log écrit ; aucun visualiseur n'a démarré :")},
    QStringLiteral("Le fichier log a été écrit :\n"),
    QStringLiteral("Le dossier du programme n'est pas accessible en écriture : le fichier log a "
                   "été écrit dans votre dossier personnel :\n"),
    QStringLiteral("\n\nAucun visualiseur n'a pu l'ouvrir ; ouvrez-le avec l'éditeur de texte de "
                   "votre choix.")};

const FrmPrincipal::TextesSortie FrmPrincipal::TextesPageWeb{
    {QStringLiteral("Page web écrite et confiée au navigateur du bureau :"),
     QStringLiteral("Page web écrite ; aucun navigateur n'a démarré :")},
    QStringLiteral("La page web a été écrite :\n"),
    QStringLiteral("Le dossier du programme n'est pas accessible en écriture : la page web a été "
                   "écrite dans votre dossier personnel :\n"),
    QStringLiteral("\n\nAucun navigateur n'a pu l'ouvrir ; ouvrez-la avec le navigateur de votre "
                   "choix.")};

namespace {

// Le texte d'un champ de date, en Windows-1252, sans les espaces des deux bouts.
std::string TexteDeDate(const QLineEdit* champ) {
    return std::string(vek::RognerEspaces(VersCp1252(champ->text())));
}

QString Texte(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void AfficheurMessageQt(QWidget* parent, const QString& texte, const QString& titre,
                        vek::Icone icone) {
    QMessageBox boite(icone == vek::Icone::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                      titre, texte, QMessageBox::Ok, parent);
    boite.exec();
}

bool QuestionQt(QWidget* parent, const QString& texte, const QString& titre) {
    return QMessageBox::question(parent, titre, texte, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

} // namespace

FrmPrincipal::FrmPrincipal(vek::LanceurDocument& lanceur, std::string repertoire, QWidget* parent)
    : FrmPrincipal(lanceur, vek::ReglagesMoteur{std::move(repertoire)}, parent) {}

FrmPrincipal::FrmPrincipal(vek::LanceurDocument& lanceur, vek::ReglagesMoteur reglages,
                           QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::FrmPrincipal>()),
      progression_(std::make_unique<ProgressionFenetre>()),
      moteur_(std::make_unique<vek::Moteur>(std::move(reglages))), lanceur_(lanceur),
      dialogue_(OuvrirDialogueJournal), calendrier_([this](std::optional<vek::Date> dateDuChamp) {
          return frmCalendar::Choisir(this, dateDuChamp);
      }),
      afficheur_(AfficheurMessageQt), question_(QuestionQt),
      terminer_([] { QCoreApplication::exit(0); }), infoSysteme_([this] {
          ServicesInfoSystemeFenetres services(
              [this](QWidget* dessus, const QString& texte, const QString& titre) {
                  if (afficheur_)
                      afficheur_(dessus, texte, titre, vek::Icone::Aucune);
              },
              this);
          vek::LancerInfoSysteme(vek::CheminOutilInfoSysteme(), services);
      }) {
    ui->setupUi(this);
    ui->lienSite->setText(Texte(AdresseSiteAffichee));
    // Le focus attend sur le fond de la fenêtre quand une passe grise le contrôle qui l'avait.
    commandes_ = CommandesDePasse(ui->centralwidget);
    barreEtat_ = new BarreEtat(
        [this](const QString& dossier) { return lanceur_.OuvrirDocument(VersNomFichier(dossier)); },
        this);
    setStatusBar(barreEtat_);

    // Bordure ordinaire redimensionnable, sans bouton d'agrandissement ; les arbres grandissent
    // avec elle (PoserDisposition).
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    PoserFondBlanc(this);
    PoserPolices();

    // Les séparateurs des menus portent leur nom.
    const QList<QAction*> actionsMenu = ui->menuPrincipal->actions();
    const QList<QAction*> actionsAide = ui->menuAide->actions();
    for (QAction* action : actionsMenu)
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("mnutiret1"));
    for (QAction* action : actionsAide)
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("mnutiret2"));

    // lienSite : le lien vers le site des auteurs, avec sa main.
    QPalette bleu = ui->lienSite->palette();
    bleu.setColor(QPalette::WindowText, Qt::blue);
    ui->lienSite->setPalette(bleu);
    ui->lienSite->setCursor(CurseurMain());
    ui->lienSite->setMouseTracking(true);
    ui->lienSite->installEventFilter(this);
    ui->centralwidget->setMouseTracking(true);
    ui->centralwidget->installEventFilter(this);
    for (QLineEdit* champ : {ui->cheminJournal, ui->dateDebut, ui->dateFin})
        champ->installEventFilter(this);

    // Les entrées d'export, tirées de la table des formats, avant le séparateur de « Menu ».
    QAction* separateur = nullptr;
    for (QAction* action : actionsMenu)
        if (action->isSeparator() && !separateur)
            separateur = action;
    exports_ = new EntreesExport(
        ui->menuPrincipal, separateur,
        [this](const vek::Format& format, std::function<void(const std::string&)> suite) {
            if (creerLogActive_ && !RelancerSiPerimes())
                EcrireSortie(vek::FormatsSortie::De({format.nom}), std::move(suite));
        },
        this);
    exports_->ouvrir = [this](const std::string& chemin) {
        TextesSortie textes = TextesPageWeb; // une page trop longue le dit
        textes.barre = BarrePageWeb(entreesPage_, textes.barre);
        SignalerSortie(chemin, lanceur_.OuvrirDocument(chemin), textes);
    };
    exports_->annoncer = [this](const QString& message) { AnnoncerDansBarreEtat(message); };

    PoserImages();
    PoserDisposition();
    Connecter();
    DeclarerCommandesDePasse();
    EtatInitial();

    // La progression de la passe arrive ici, en file d'attente, dans l'ordre d'émission.
    ProgressionFenetre* progression = progression_.get();
    connect(progression, &ProgressionFenetre::MaximumChange, ui->barreProgression,
            &QProgressBar::setMaximum, Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::ValeurChange, this,
        [this](int valeur) {
            QProgressBar* barre = ui->barreProgression;
            barre->setValue(std::clamp(valeur, barre->minimum(), barre->maximum()));
        },
        Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::CompteurChange, this,
        [this](quint64 lignes) { ui->compteurLignes->setText(QString::number(lignes)); },
        Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::Commence, this,
        [this] {
            if (auDebut_)
                auDebut_();
        },
        Qt::QueuedConnection);

    // Zone cliente de 6420 × 7590 twips, à 15 twips par pixel, plus la ligne du bilan de la
    // recherche, entre le menu et la barre d'état ; centrée sur l'écran.
    resize(428, 538 + ui->menubar->sizeHint().height() + barreEtat_->sizeHint().height());
    if (const QScreen* ecran = screen())
        move(ecran->availableGeometry().center() - rect().center());
    ui->dateDebut->setFocus();
}

FrmPrincipal::~FrmPrincipal() {
    suivi_.reset(); // plus aucun changement du journal n'arrive à la fenêtre
    // La passe en cours s'arrête à sa ligne suivante ; le module ne part qu'après elle.
    fil_.request_stop();
    if (fil_.joinable())
        fil_.join();
    Sablier(false);
    for (const QPointer<FrmAnalyse>& fenetre : analyses_)
        delete fenetre.data();
}

void FrmPrincipal::PoserPolices() {
    // La linéale livrée pour la fenêtre (le rôle de « MS Sans Serif »), la police décorative en
    // gras pour les trois grands boutons, la linéale 12 points grasse pour les boutons « ... »
    // et le lien.
    setFont(PoliceSansSerif(8.25));
    for (QPushButton* bouton : {ui->boutonRecherche, ui->boutonCreerLog, ui->boutonQuitter})
        bouton->setFont(PoliceDecorative(8.25, true));
    for (QPushButton* bouton : {ui->boutonDateDebut, ui->boutonDateFin, ui->boutonParcourir})
        bouton->setFont(PoliceSansSerif(12, true));
    ui->lienSite->setFont(PoliceSansSerif(12));
}

void FrmPrincipal::PoserImages() {
    PoserImage(ui->banniere, QStringLiteral("banniere.svg"));
    PoserImage(ui->ornement, QStringLiteral("ornement.svg"));
    PoserImage(ui->bordureGauche, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->bordureDroite, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->bordureHaut, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->bordureBas, QStringLiteral("degrade-horizontal.svg"));
}

void FrmPrincipal::Connecter() {
    // Le menu lance ce que lance le bouton, même quand le bouton est inactif.
    const auto debut = [this] { ChoisirDate(ChampDate::Debut); };
    const auto fin = [this] { ChoisirDate(ChampDate::Fin); };
    connect(ui->boutonParcourir, &QPushButton::clicked, this, &FrmPrincipal::ChoisirJournal);
    connect(ui->actionOuvrirJournal, &QAction::triggered, this, &FrmPrincipal::ChoisirJournal);
    connect(ui->cheminJournal, &QLineEdit::textChanged, this, &FrmPrincipal::ActiverBoutonsDates);
    connect(ui->boutonDateDebut, &QPushButton::clicked, this, debut);
    connect(ui->boutonDateFin, &QPushButton::clicked, this, fin);
    connect(ui->actionDateDebut, &QAction::triggered, this, debut);
    connect(ui->actionDateFin, &QAction::triggered, this, fin);
    connect(ui->dateDebut, &QLineEdit::textChanged, this, &FrmPrincipal::AppliquerRegleRecherche);
    connect(ui->dateFin, &QLineEdit::textChanged, this, &FrmPrincipal::AppliquerRegleRecherche);
    connect(ui->boutonRecherche, &QPushButton::clicked, this, &FrmPrincipal::LancerRecherche);
    connect(ui->caseTousLesChannels, &QCheckBox::clicked, this,
            [this] { CocherTout(ui->arbreChannels, ui->caseTousLesChannels); });
    connect(ui->caseToutLeMonde, &QCheckBox::clicked, this,
            [this] { CocherTout(ui->arbreNoms, ui->caseToutLeMonde); });
    connect(ui->boutonCreerLog, &QPushButton::clicked, this, &FrmPrincipal::CreerLogFinal);
    connect(ui->caseSuivre, &QCheckBox::toggled, this, &FrmPrincipal::BasculerSuivi);
    connect(ui->boutonQuitter, &QPushButton::clicked, this, &FrmPrincipal::Quitter);
    connect(ui->actionQuitter, &QAction::triggered, this, &FrmPrincipal::Quitter);
    connect(ui->actionOptionsLog, &QAction::triggered, this, &FrmPrincipal::MontrerOptions);
    connect(ui->actionRenommer, &QAction::triggered, this,
            [this] { DlgRenommer::Ouvrir(nettoyage_, this); });
    connect(ui->actionInfoSysteme, &QAction::triggered, this, &FrmPrincipal::LancerInfoSysteme);
    connect(ui->actionAPropos, &QAction::triggered, this, &FrmPrincipal::MontrerAPropos);
}

void FrmPrincipal::EtatInitial() {
    // Barre de progression 0..50 à 0 ; les trois modes d'extraction éteints. Rien n'est lu sur
    // le disque : chaque exécution part du même état.
    ui->barreProgression->setMinimum(0);
    ui->barreProgression->setMaximum(50);
    ui->barreProgression->setValue(0);
    modes_ = vek::Modes{};
    AppliquerEtatBoutons();
}

// --- état des boutons ---

void FrmPrincipal::DeclarerCommandesDePasse() {
    // Chaque ligne : un bouton, les entrées de menu qui font ce qu'il fait, et leur règle.
    commandes_.Ajouter({ui->boutonParcourir, ui->actionOuvrirJournal}, [] { return true; });
    commandes_.Ajouter({ui->boutonRecherche}, [this] { return rechercheActive_; });
    // Les entrées d'export (page web, forum, Discord) suivent « Créer le fichier log ».
    std::vector<QObject*> creerLog{ui->boutonCreerLog};
    for (QAction* action : exports_->Actions())
        creerLog.push_back(action);
    commandes_.Ajouter(creerLog, [this] { return creerLogActive_; });
}

void FrmPrincipal::AppliquerEtatBoutons() {
    // Pendant une passe, les commandes qui en lanceraient une autre sont grisées, boutons et
    // menus ; à la fin chacune reprend l'état que lui donne sa règle.
    // Un regard du suivi ne grise rien : une commande lancée pendant qu'il dure attend sa fin.
    commandes_.Appliquer(passeEnCours_ && !passeDiscrete_);
}

void FrmPrincipal::AnnoncerDansBarreEtat(const QString& texte) {
    barreEtat_->Annoncer(texte);
}

void FrmPrincipal::ActiverCreerLog() {
    creerLogActive_ = true;
    AppliquerEtatBoutons();
}

namespace {

// Ce qu'une passe a repris d'elle-même dans le dossier de sortie, réussie ou non.
template <class T> std::string AvisDuDossier(const vek::Issue<T>& issue) {
    if (!issue.ok())
        return issue.Echec().avis;
    if constexpr (requires { issue->avisDossier; })
        return issue->avisDossier;
    else
        return {};
}

} // namespace

template <class T>
void FrmPrincipal::LancerPasse(std::function<vek::Issue<T>(std::stop_token)> passe,
                               std::function<void(vek::Issue<T>&)> suite,
                               std::function<void()> auDebut) {
    if (fil_.joinable())
        fil_.join(); // la passe précédente a fini : son fil n'a plus qu'à sortir
    // Le contrôle qui avait le focus le retrouve à la fin s'il n'a pas d'autre suite.
    const QPointer<QWidget> focusAvant = focusWidget();
    passeEnCours_ = true;
    AppliquerEtatBoutons();
    auDebut_ = std::move(auDebut);
    progression_->Commencer(frein_);
    fil_ = std::jthread([this, passe = std::move(passe), suite = std::move(suite),
                         focusAvant](std::stop_token arret) mutable {
        std::shared_ptr<vek::Issue<T>> issue;
        try {
            issue = std::make_shared<vek::Issue<T>>(passe(arret));
        } catch (...) {
            // Une exception ne sort pas du fil : elle devient un échec affiché.
            issue = std::make_shared<vek::Issue<T>>(
                vek::Resultat::Exception("Opération impossible", {}));
        }
        progression_->Terminer();
        // Après les derniers signaux de la passe, dans la même file d'attente.
        QMetaObject::invokeMethod(
            this,
            [this, issue, suite = std::move(suite), focusAvant] {
                if (fil_.joinable())
                    fil_.join();
                passeEnCours_ = false;
                auDebut_ = nullptr;
                if (quitte_)
                    return; // le programme se termine : rien d'autre à montrer
                AppliquerEtatBoutons();
                if (focusWidget() == ui->centralwidget)
                    DonnerFocus(focusAvant);
                // Une validation interrompue que la passe a reprise dans le dossier : dans une
                // boîte, puis dans la barre d'état, au-dessus de ce que la passe y a dit.
                const QString avis = QString::fromStdString(AvisDuDossier(*issue));
                const QString barreAvant = barreEtat_->Texte();
                if (!avis.isEmpty())
                    AfficherMessage(avis, vek::Icone::Aucune);
                if (suite)
                    suite(*issue);
                if (!issue->ok())
                    AfficherEchec(issue->Echec());
                if (const QString dit = barreEtat_->Texte(); !avis.isEmpty())
                    AnnoncerDansBarreEtat(dit == barreAvant ? avis : avis + u'\n' + dit);
                ApresPasse();
            },
            Qt::QueuedConnection);
    });
}

void FrmPrincipal::Sablier(bool actif) {
    if (actif && !sablier_)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!actif && sablier_)
        QApplication::restoreOverrideCursor();
    sablier_ = actif;
}

void FrmPrincipal::AfficherEchec(const vek::Resultat& resultat) {
    AfficherMessage(TexteEchec(resultat), vek::Icone::Stop);
}

void FrmPrincipal::AfficherMessage(const QString& texte, vek::Icone icone) {
    if (afficheur_)
        afficheur_(this, texte, DepuisCp1252(vek::TitreMessages), icone);
}

// --- journal et analyse ---

void FrmPrincipal::ChoisirJournal() {
    if (passeEnCours_) {
        DiffererPendantRegard([this] { ChoisirJournal(); }); // après le regard du suivi
        return;
    }
    const DemandeOuverture demande{Texte(TitreDialogueJournal),
                                   {Texte(FiltreDialogueJournal), FiltreTousLesFichiers},
                                   Texte(ExtensionDialogueJournal),
                                   ui->cheminJournal->text()};
    const QString nom = dialogue_ ? dialogue_(this, demande) : QString();
    AnalyserJournal(nom);
}

void FrmPrincipal::OuvrirJournal(const QString& chemin) {
    if (!passeEnCours_)
        AnalyserJournal(chemin);
    else
        DiffererPendantRegard([this, chemin] { OuvrirJournal(chemin); });
}

void FrmPrincipal::AnalyserJournal(const QString& nom) {
    // Le nom rendu par le dialogue va dans le champ, quel qu'il soit.
    ui->cheminJournal->setText(nom);
    if (nom.isEmpty())
        return;
    const std::size_t ouvertes = analyses_.size();
    const std::string chemin = VersNomFichier(nom);
    LancerPasse<vek::ResumeJournal>(
        [this, chemin](std::stop_token arret) {
            return moteur_->Analyser({chemin}, *progression_, arret);
        },
        [this, ouvertes](vek::Issue<vek::ResumeJournal>& issue) {
            Sablier(false);
            if (!issue.ok()) {
                // Un journal illisible : la fenêtre de résumé ouverte pour lui n'a rien à
                // montrer.
                if (analyses_.size() > ouvertes && analyses_.back())
                    analyses_.back()->close();
                return;
            }
            if (!issue->existe) {
                AfficherMessage(QStringLiteral("Fichier introuvable !"), vek::Icone::Stop);
                ui->cheminJournal->clear();
                return;
            }
            if (issue->debut)
                ui->dateDebut->setText(DepuisCp1252(vek::DateCourte(*issue->debut)));
            if (issue->fin)
                ui->dateFin->setText(DepuisCp1252(vek::DateCourte(*issue->fin)));
            // La suite de la route : « Lancer la recherche ».
            DonnerFocus(ui->boutonRecherche);
            DefinirResumeAnalyse(DepuisCp1252(issue->Texte()));
            if (analyses_.size() > ouvertes && analyses_.back())
                analyses_.back()->DefinirSessions(std::move(issue->sessions));
            if (const std::string conseil = issue->Conseil(); !conseil.empty())
                AfficherMessage(Texte(conseil), vek::Icone::Aucune);
        },
        // Le journal est ouvert : la fenêtre de résumé se montre pendant que l'analyse lit.
        [this] {
            Sablier(true);
            OuvrirFenetreAnalyse();
        });
}

void FrmPrincipal::ActiverBoutonsDates() {
    const bool actif = !vek::RognerEspaces(VersNomFichier(ui->cheminJournal->text())).empty();
    ui->boutonDateDebut->setEnabled(actif);
    ui->boutonDateFin->setEnabled(actif);
}

void FrmPrincipal::OuvrirFenetreAnalyse() {
    // Sans propriétaire, non modale : la fenêtre principale reste utilisable. Elle se peint
    // avant que la lecture du journal ne commence.
    // Outil de la fenêtre principale, elle reste au-dessus d'elle ; à côté d'elle, pas sur ses
    // champs de date, et en cascade des autres fenêtres de résumé ouvertes.
    auto* fenetre = new FrmAnalyse(this);
    const QRect champs(ui->dateDebut->mapToGlobal(QPoint(0, 0)),
                       ui->boutonDateFin->mapToGlobal(
                           QPoint(ui->boutonDateFin->width(), ui->boutonDateFin->height())));
    const QRect ecran = screen() ? screen()->availableGeometry() : QRect();
    fenetre->move(FrmAnalyse::Placer(frameGeometry(), champs, fenetre->frameGeometry().size(),
                                     ecran, static_cast<int>(FenetresAnalyse().size())));
    connect(fenetre, &FrmAnalyse::SessionChoisie, this,
            [this](const QString& debut, const QString& fin) {
                ui->dateDebut->setText(debut);
                ui->dateFin->setText(fin);
            });
    analyses_.emplace_back(fenetre);
    fenetre->show();
}

void FrmPrincipal::DefinirResumeAnalyse(const QString& texte) {
    if (!analyses_.empty() && analyses_.back())
        analyses_.back()->DefinirResume(texte);
}

std::vector<FrmAnalyse*> FrmPrincipal::FenetresAnalyse() const {
    std::vector<FrmAnalyse*> ouvertes;
    for (const QPointer<FrmAnalyse>& fenetre : analyses_)
        if (fenetre && fenetre->isVisible())
            ouvertes.push_back(fenetre.data());
    return ouvertes;
}

// --- dates ---

void FrmPrincipal::ChoisirDate(ChampDate champ) {
    QLineEdit* champDate = champ == ChampDate::Debut ? ui->dateDebut : ui->dateFin;
    const auto borne = vek::ConvertirBorne(TexteDeDate(champDate));
    const std::optional<vek::Date> date =
        calendrier_ ? calendrier_(borne ? std::optional(borne->date) : std::nullopt) : std::nullopt;
    // Le jour choisi garde l'heure que le champ porte déjà.
    champDate->setText(date ? JourAvecHeure(champDate->text(), *date) : QString());
    AppliquerRegleRecherche();
}

void FrmPrincipal::AppliquerRegleRecherche() {
    const std::string debut = TexteDeDate(ui->dateDebut);
    const std::string fin = TexteDeDate(ui->dateFin);
    // Un champ qui ne contient pas une date le dit dans son info-bulle.
    for (QLineEdit* champ : {ui->dateDebut, ui->dateFin}) {
        const std::string texte = TexteDeDate(champ);
        champ->setToolTip(texte.empty() || vek::ConvertirBorne(texte) ? QString() : FormesDeDate());
    }
    SuivreChampsDeDate();
    // Un champ vide laisse le bouton tel qu'il est.
    if (debut.empty() || fin.empty())
        return;
    rechercheActive_ = vek::ConvertirBorne(debut).has_value() && vek::ConvertirBorne(fin);
    AppliquerEtatBoutons();
}

// --- recherche ---

void FrmPrincipal::LancerRecherche() {
    if (passeEnCours_) {
        DiffererPendantRegard([this] { LancerRecherche(); });
        return;
    }
    vek::Borne debut;
    vek::Borne fin;
    if (!LireBorne(QStringLiteral("Date de début"), TexteDeDate(ui->dateDebut), debut) ||
        !LireBorne(QStringLiteral("Date de Fin"), TexteDeDate(ui->dateFin), fin))
        return;
    const vek::Periode periode = vek::Periode::Entre(debut, fin);
    const std::string chemin = VersNomFichier(ui->cheminJournal->text());
    LancerPasse<vek::ResultatRecherche>(
        [this, chemin, periode](std::stop_token arret) {
            return moteur_->Rechercher({chemin, periode}, *progression_, arret);
        },
        [this, textes = std::pair{ui->dateDebut->text(), ui->dateFin->text()}](
            vek::Issue<vek::ResultatRecherche>& issue) {
            if (!issue.ok())
                return;
            std::tie(debutArbres_, finArbres_) = textes;
            periodeArbres_ = issue->periode;
            if (issue->suite)
                ProlongerArbres(*issue->catalogue);
            else
                RemplirArbres(*issue->catalogue);
            if (!issue->avisComplet.empty())
                AnnoncerDansBarreEtat(QString::fromStdString(issue->avisComplet));
            MontrerBilan(*issue);
            // La suite de la route : cocher les présents.
            DonnerFocus(ui->arbreNoms);
        });
}

namespace {

QByteArray Octets(std::string_view texte) {
    return {texte.data(), static_cast<qsizetype>(texte.size())};
}

// Les octets exacts du texte d'un nœud (Windows-1252), pas un réencodage du texte affiché.
constexpr int RoleOctets = Qt::UserRole;

QTreeWidgetItem* Noeud(std::string_view texte) {
    auto* noeud = new QTreeWidgetItem;
    noeud->setText(0, DepuisCp1252(texte));
    noeud->setToolTip(0, noeud->text(0)); // un nom trop long pour l'arbre s'y lit en entier
    noeud->setData(0, RoleOctets, Octets(texte));
    noeud->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    noeud->setCheckState(0, Qt::Unchecked);
    return noeud;
}

} // namespace

void FrmPrincipal::RemplirArbres(const vek::Catalogue& catalogue) {
    // Depuis le catalogue que la recherche vient de rendre : « Zone de proximité » puis les
    // channels, et les locuteurs, triés à la française, les pseudo-nœuds en tête ; aucun coché.
    std::vector<std::string_view> textesChannels = vek::NoeudsChannels(catalogue);
    std::vector<std::string_view> textesNoms = vek::NoeudsNoms(catalogue);
    TrierNoeuds(textesChannels);
    TrierNoeuds(textesNoms);
    QList<QTreeWidgetItem*> channels;
    for (const std::string_view texte : textesChannels)
        channels.append(Noeud(texte));
    QList<QTreeWidgetItem*> noms;
    for (const std::string_view texte : textesNoms)
        noms.append(Noeud(texte));
    ui->arbreChannels->clear();
    ui->arbreNoms->clear();
    ui->arbreChannels->addTopLevelItems(channels);
    ui->arbreNoms->addTopLevelItems(noms);
    // Les deux cases « Sélectionnez… » disent l'état des arbres neufs : rien de coché.
    ui->caseTousLesChannels->setChecked(false);
    ui->caseToutLeMonde->setChecked(false);
}

void FrmPrincipal::CocherTout(QTreeWidget* arbre, const QCheckBox* boite) {
    if (boite->checkState() == Qt::PartiallyChecked)
        return; // grisée : rien
    const Qt::CheckState etat = boite->checkState();
    for (int i = 0; i < arbre->topLevelItemCount(); ++i)
        arbre->topLevelItem(i)->setCheckState(0, etat);
}

vek::Selection FrmPrincipal::SelectionCochee() const {
    vek::Selection selection;
    auto octets = [](const QTreeWidgetItem* noeud) {
        return noeud->data(0, RoleOctets).toByteArray().toStdString();
    };
    for (int i = 0; i < ui->arbreChannels->topLevelItemCount(); ++i)
        if (const QTreeWidgetItem* n = ui->arbreChannels->topLevelItem(i);
            n->checkState(0) == Qt::Checked)
            selection.AjouterChannel(octets(n));
    for (int i = 0; i < ui->arbreNoms->topLevelItemCount(); ++i)
        if (const QTreeWidgetItem* n = ui->arbreNoms->topLevelItem(i);
            n->checkState(0) == Qt::Checked)
            selection.AjouterNom(octets(n));
    return selection;
}

void FrmPrincipal::CreerLogFinal() {
    if (RelancerSiPerimes())
        return;
    EcrireSortie(vek::FormatsSortie::Texte(), [this](const std::string& chemin) {
        // Le programme du bureau ; s'il ne démarre pas, la fenêtre dit où est le fichier.
        SignalerSortie(chemin, lanceur_.OuvrirDocument(chemin), TextesLogFinal);
    });
}

void FrmPrincipal::EcrireSortie(vek::FormatsSortie format,
                                std::function<void(const std::string&)> suite) {
    if (passeEnCours_) {
        DiffererPendantRegard([this, format, suite] { EcrireSortie(format, suite); });
        return;
    }
    // La sélection est prise au clic, dans les arbres ; la passe n'y touche plus. Les modes
    // sont relus pendant l'écriture : une option validée entre-temps s'applique aux lignes
    // suivantes.
    // La page web de la fenêtre : la page unique, et le dossier découpé par jour au-delà d'une
    // page d'entrées (son sommaire est alors ouvert).
    auto demande = std::make_shared<const vek::DemandeSorties>(vek::DemandeSorties{
        SelectionCochee(), &modes_, nettoyage_, format, 0,
        format.Contient("html") ? vek::Decoupage::AuBesoin : vek::Decoupage::Aucun, std::nullopt});
    LancerPasse<vek::ResultatSorties>(
        [this, demande](std::stop_token arret) {
            return moteur_->EcrireSorties(*demande, *progression_, arret);
        },
        [this, suite = std::move(suite)](vek::Issue<vek::ResultatSorties>& issue) {
            if (!issue.ok())
                return;
            entreesPage_ = issue->entreesPage;
            if (!issue->chemins.empty() && suite)
                suite(issue->chemins.front());
        });
}

void FrmPrincipal::SignalerSortie(const std::string& cheminSortie, bool ouvert,
                                  const TextesSortie& textes) {
    const QString chemin = QDir::toNativeSeparators(QFile::decodeName(cheminSortie.c_str()));
    // Toujours dans la barre d'état : un programme qui démarre puis échoue ne laisse rien voir.
    barreEtat_->SignalerEcriture(textes.barre, chemin, ouvert);
    if (ouvert && !dossierDeSecours_)
        return; // le programme du bureau montre le fichier, là où on l'attend
    QString texte = (dossierDeSecours_ ? textes.ecritEnSecours : textes.ecrit) + chemin;
    if (!ouvert)
        texte += textes.sansProgramme;
    AfficherMessage(texte, vek::Icone::Aucune);
}

// --- lien vers le site ---

void FrmPrincipal::OuvrirSite() {
    lanceur_.OuvrirDocument(std::string(AdresseSiteOuverte));
}

void FrmPrincipal::SoulignerLien(bool souligne) {
    QFont police = ui->lienSite->font();
    if (police.underline() != souligne) {
        police.setUnderline(souligne);
        ui->lienSite->setFont(police);
    }
}

bool FrmPrincipal::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::ShortcutOverride &&
        (objet == ui->cheminJournal || objet == ui->dateDebut || objet == ui->dateFin)) {
        // Les raccourcis des menus l'emportent sur les touches d'édition des champs (Ctrl+D
        // efface un caractère dans un champ de texte sous certains systèmes).
        const auto* touche = static_cast<QKeyEvent*>(evenement);
        const QKeySequence sequence(touche->keyCombination());
        for (const QAction* action :
             {ui->actionOuvrirJournal, ui->actionDateDebut, ui->actionDateFin, ui->actionQuitter})
            if (action->shortcut() == sequence)
                return true; // non acceptée : le raccourci du menu part
    }
    if (objet == ui->lienSite) {
        if (evenement->type() == QEvent::MouseMove) {
            SoulignerLien(true);
        } else if (evenement->type() == QEvent::MouseButtonRelease) {
            const auto* souris = static_cast<QMouseEvent*>(evenement);
            if (souris->button() == Qt::LeftButton &&
                ui->lienSite->rect().contains(souris->position().toPoint()))
                OuvrirSite();
        }
    } else if (objet == ui->centralwidget && evenement->type() == QEvent::MouseMove) {
        // Seul le fond de la fenêtre compte, pas un autre contrôle (images comprises).
        const auto* souris = static_cast<QMouseEvent*>(evenement);
        if (!ui->centralwidget->childAt(souris->position().toPoint()))
            SoulignerLien(false);
    }
    return QMainWindow::eventFilter(objet, evenement);
}

// --- menus ---

void FrmPrincipal::MontrerOptions() {
    FrmOption::Ouvrir(modes_, &nettoyage_);
}

void FrmPrincipal::LancerInfoSysteme() {
    if (infoSysteme_)
        infoSysteme_();
}

void FrmPrincipal::MontrerAPropos() {
    frmAbout::Afficher(this, infoSysteme_);
}
