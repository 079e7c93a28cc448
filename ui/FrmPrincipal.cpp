#include "FrmPrincipal.h"

#include "ui_FrmPrincipal.h"

#include "Apparence.h"
#include "FrmAnalyse.h"
#include "Images.h"
#include "InfoSysteme.h"
#include "ProgressionFenetre.h"
#include "TexteQt.h"
#include "frmCalendar.h"

#include "FrmOption.h"
#include "frmAbout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

namespace {

QString Texte(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Le dialogue d'ouverture de Qt : un nom qui n'existe pas peut être tapé (l'analyse dira alors
// « Fichier introuvable ! ») ; l'annulation rend le texte vide.
QString DialogueOuvertureQt(QWidget* parent, const QString& titre, const QString& filtre,
                            const QString& extension) {
    QFileDialog dialogue(parent, titre, QString(), filtre);
    dialogue.setAcceptMode(QFileDialog::AcceptOpen);
    dialogue.setFileMode(QFileDialog::AnyFile);
    dialogue.setDefaultSuffix(extension);
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialogue.selectedFiles().constFirst());
}

void AfficheurMessageQt(QWidget* parent, const QString& texte, const QString& titre,
                        vek::Icone icone) {
    QMessageBox boite(icone == vek::Icone::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                      titre, texte, QMessageBox::Ok, parent);
    boite.exec();
}

// Services du lanceur d'informations système : ceux du système, et la boîte de message de la
// fenêtre, montrée par-dessus la fenêtre modale active (la boîte « À propos ») s'il y en a une.
class ServicesInfoSystemeFenetre final : public vek::ServicesInfoSystemeNatifs {
public:
    ServicesInfoSystemeFenetre(QWidget* parent, const FrmPrincipal::AfficheurMessage& afficheur)
        : parent_(parent), afficheur_(afficheur) {}
    void Message(std::string_view texte, std::string_view titre) override {
        QWidget* modale = QApplication::activeModalWidget();
        if (afficheur_)
            afficheur_(modale ? modale : parent_, Texte(texte), Texte(titre), vek::Icone::Aucune);
    }

private:
    QWidget* parent_;
    const FrmPrincipal::AfficheurMessage& afficheur_;
};

} // namespace

FrmPrincipal::FrmPrincipal(vek::LanceurDocument& lanceur, std::string repertoire, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::FrmPrincipal>()),
      progression_(std::make_unique<ProgressionFenetre>()),
      module_(std::make_unique<vek::ModuleVEK>(std::move(repertoire))), lanceur_(lanceur),
      dialogue_(DialogueOuvertureQt), calendrier_([this] { return frmCalendar::Choisir(this); }),
      afficheur_(AfficheurMessageQt), terminer_([] { QCoreApplication::exit(0); }),
      infoSysteme_([this] {
          ServicesInfoSystemeFenetre services(this, afficheur_);
          vek::LancerInfoSysteme(vek::RegistreSysteme(), services);
      }) {
    ui->setupUi(this);
    ui->Label6->setText(Texte(AdresseSiteAffichee));

    // Bordure ordinaire redimensionnable, sans bouton d'agrandissement ; rien ne bouge quand on
    // la redimensionne.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    PoserFondBlanc(this);
    PoserPolices();

    // Les séparateurs des menus portent leur nom.
    const QList<QAction*> actionsMenu = ui->mnuMenu->actions();
    const QList<QAction*> actionsAide = ui->mnuQuestion->actions();
    for (QAction* action : actionsMenu)
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("mnutiret1"));
    for (QAction* action : actionsAide)
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("mnutiret2"));

    // Label6 : le lien vers le site des auteurs, avec sa main.
    QPalette bleu = ui->Label6->palette();
    bleu.setColor(QPalette::WindowText, Qt::blue);
    ui->Label6->setPalette(bleu);
    ui->Label6->setCursor(CurseurMain());
    ui->Label6->setMouseTracking(true);
    ui->Label6->installEventFilter(this);
    ui->centralwidget->setMouseTracking(true);
    ui->centralwidget->installEventFilter(this);
    for (QLineEdit* champ : {ui->TxtCheminFichierLOg, ui->TxTDateDeb, ui->TxTDateFin})
        champ->installEventFilter(this);

    PoserImages();
    Connecter();
    Form_Load();

    // La progression de la passe arrive ici, en file d'attente, dans l'ordre d'émission.
    ProgressionFenetre* progression = progression_.get();
    connect(progression, &ProgressionFenetre::MaximumChange, ui->PrgBar, &QProgressBar::setMaximum,
            Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::ValeurChange, this,
        [this](int valeur) {
            QProgressBar* barre = ui->PrgBar;
            barre->setValue(std::clamp(valeur, barre->minimum(), barre->maximum()));
        },
        Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::CompteurChange, this,
        [this](double lignes) { ui->LblCompteur->setText(QString::number(lignes, 'f', 0)); },
        Qt::QueuedConnection);
    connect(
        progression, &ProgressionFenetre::Commence, this,
        [this] {
            if (auDebut_)
                auDebut_();
        },
        Qt::QueuedConnection);

    // Zone cliente de 6420 × 7590 twips, à 15 twips par pixel, centrée sur l'écran.
    resize(428, 506 + ui->menubar->sizeHint().height());
    if (const QScreen* ecran = screen())
        move(ecran->availableGeometry().center() - rect().center());
    ui->TxTDateDeb->setFocus();
}

FrmPrincipal::~FrmPrincipal() {
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
    for (QPushButton* bouton : {ui->CmdRecherche, ui->CmdCreerLog, ui->CmdQuitter})
        bouton->setFont(PoliceDecorative(8.25, true));
    for (QPushButton* bouton : {ui->CmdDateDateDeb, ui->CmdDateFin, ui->CmdCheminLOG})
        bouton->setFont(PoliceSansSerif(12, true));
    ui->Label6->setFont(PoliceSansSerif(12));
}

void FrmPrincipal::PoserImages() {
    PoserImage(ui->Image1, QStringLiteral("banniere.svg"));
    PoserImage(ui->Image2, QStringLiteral("ornement.svg"));
    PoserImage(ui->Image3, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->Image4, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->Image5, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->Image6, QStringLiteral("degrade-horizontal.svg"));
}

void FrmPrincipal::Connecter() {
    connect(ui->CmdCheminLOG, &QPushButton::clicked, this, &FrmPrincipal::CmdCheminLOG_Click);
    connect(ui->mnuOpenLog, &QAction::triggered, this, &FrmPrincipal::mnuOpenLog_Click);
    connect(ui->TxtCheminFichierLOg, &QLineEdit::textChanged, this,
            &FrmPrincipal::TxtCheminFichierLOg_Change);
    connect(ui->CmdDateDateDeb, &QPushButton::clicked, this, &FrmPrincipal::CmdDateDateDeb_Click);
    connect(ui->CmdDateFin, &QPushButton::clicked, this, &FrmPrincipal::CmdDateFin_Click);
    connect(ui->mnuDateDeb, &QAction::triggered, this, &FrmPrincipal::mnuDateDeb_Click);
    connect(ui->mnuDateFin, &QAction::triggered, this, &FrmPrincipal::mnuDateFin_Click);
    connect(ui->TxTDateDeb, &QLineEdit::textChanged, this, &FrmPrincipal::TxTDateDeb_Change);
    connect(ui->TxTDateFin, &QLineEdit::textChanged, this, &FrmPrincipal::TxTDateFin_Change);
    connect(ui->CmdRecherche, &QPushButton::clicked, this, &FrmPrincipal::CmdRecherche_Click);
    connect(ui->CheckTLC, &QCheckBox::clicked, this, &FrmPrincipal::CheckTLC_Click);
    connect(ui->CheckTLM, &QCheckBox::clicked, this, &FrmPrincipal::CheckTLM_Click);
    connect(ui->CmdCreerLog, &QPushButton::clicked, this, &FrmPrincipal::CmdCreerLog_Click);
    connect(ui->mnuExporterPageWeb, &QAction::triggered, this,
            &FrmPrincipal::mnuExporterPageWeb_Click);
    connect(ui->CmdQuitter, &QPushButton::clicked, this, &FrmPrincipal::CmdQuitter_Click);
    connect(ui->mnuQuitter, &QAction::triggered, this, &FrmPrincipal::mnuQuitter_Click);
    connect(ui->mnuOptLog, &QAction::triggered, this, &FrmPrincipal::mnuOptLog_Click);
    connect(ui->mnuSysteme, &QAction::triggered, this, &FrmPrincipal::mnuSysteme_Click);
    connect(ui->mnuAPropos, &QAction::triggered, this, &FrmPrincipal::mnuAPropos_Click);
}

void FrmPrincipal::Form_Load() {
    // Barre de progression 0..50 à 0 ; les trois modes d'extraction éteints. Rien n'est lu sur
    // le disque : chaque exécution part du même état.
    ui->PrgBar->setMinimum(0);
    ui->PrgBar->setMaximum(50);
    ui->PrgBar->setValue(0);
    modes_ = vek::Modes{};
    AppliquerEtatBoutons();
}

// --- état des boutons ---

void FrmPrincipal::AppliquerEtatBoutons() {
    // Pendant une passe, les commandes qui en lanceraient une autre sont montrées inactives ;
    // à la fin chacune reprend l'état que lui donnent les règles.
    ui->CmdRecherche->setEnabled(rechercheActive_ && !passeEnCours_);
    ui->CmdCreerLog->setEnabled(creerLogActive_ && !passeEnCours_);
    // « Exporter en page web… » suit « Créer le fichier log ».
    ui->mnuExporterPageWeb->setEnabled(creerLogActive_ && !passeEnCours_);
    ui->CmdCheminLOG->setEnabled(!passeEnCours_);
}

void FrmPrincipal::ActiverCreerLog() {
    creerLogActive_ = true;
    AppliquerEtatBoutons();
}

template <class T>
void FrmPrincipal::LancerPasse(std::function<vek::Issue<T>(std::stop_token)> passe,
                               std::function<void(vek::Issue<T>&)> suite,
                               std::function<void()> auDebut) {
    if (fil_.joinable())
        fil_.join(); // la passe précédente a fini : son fil n'a plus qu'à sortir
    passeEnCours_ = true;
    AppliquerEtatBoutons();
    auDebut_ = std::move(auDebut);
    progression_->Commencer(frein_);
    fil_ = std::jthread(
        [this, passe = std::move(passe), suite = std::move(suite)](std::stop_token arret) mutable {
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
                [this, issue, suite = std::move(suite)] {
                    if (fil_.joinable())
                        fil_.join();
                    passeEnCours_ = false;
                    auDebut_ = nullptr;
                    if (quitte_)
                        return; // le programme se termine : rien d'autre à montrer
                    AppliquerEtatBoutons();
                    if (suite)
                        suite(*issue);
                    if (!issue->ok())
                        AfficherEchec(issue->Echec());
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

void FrmPrincipal::CmdCheminLOG_Click() {
    if (passeEnCours_)
        return;
    const QString nom =
        dialogue_ ? dialogue_(this, Texte(TitreDialogueJournal), Texte(FiltreDialogueJournal),
                              Texte(ExtensionDialogueJournal))
                  : QString();
    AnalyserJournal(nom);
}

void FrmPrincipal::OuvrirJournal(const QString& chemin) {
    if (passeEnCours_)
        return;
    AnalyserJournal(chemin);
}

void FrmPrincipal::AnalyserJournal(const QString& nom) {
    // Le nom rendu par le dialogue va dans le champ, quel qu'il soit.
    ui->TxtCheminFichierLOg->setText(nom);
    if (nom.isEmpty())
        return;
    const std::size_t ouvertes = analyses_.size();
    const std::string chemin = VersNomFichier(nom);
    LancerPasse<vek::ResumeJournal>(
        [this, chemin](std::stop_token arret) {
            return module_->Analyser(chemin, *progression_, arret);
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
                ui->TxtCheminFichierLOg->clear();
                return;
            }
            if (issue->debut)
                ui->TxTDateDeb->setText(DepuisCp1252(vek::DateCourte(*issue->debut)));
            if (issue->fin)
                ui->TxTDateFin->setText(DepuisCp1252(vek::DateCourte(*issue->fin)));
            DefinirResumeAnalyse(DepuisCp1252(issue->Texte()));
            if (const std::string conseil = issue->Conseil(); !conseil.empty())
                AfficherMessage(Texte(conseil), vek::Icone::Aucune);
        },
        // Le journal est ouvert : la fenêtre de résumé se montre pendant que l'analyse lit.
        [this] {
            Sablier(true);
            OuvrirFenetreAnalyse();
        });
}

void FrmPrincipal::mnuOpenLog_Click() {
    CmdCheminLOG_Click();
}

void FrmPrincipal::TxtCheminFichierLOg_Change() {
    const bool actif = !RognerEspaces(ui->TxtCheminFichierLOg->text()).isEmpty();
    ui->CmdDateDateDeb->setEnabled(actif);
    ui->CmdDateFin->setEnabled(actif);
}

void FrmPrincipal::OuvrirFenetreAnalyse() {
    // Sans propriétaire, non modale : la fenêtre principale reste utilisable. Elle se peint
    // avant que la lecture du journal ne commence.
    auto* fenetre = new FrmAnalyse(nullptr);
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
    const std::optional<vek::Date> date = calendrier_ ? calendrier_() : std::nullopt;
    const QString texte = date ? DepuisCp1252(vek::DateCourte(*date)) : QString();
    (champ == ChampDate::Debut ? ui->TxTDateDeb : ui->TxTDateFin)->setText(texte);
    TraitementEnableCmdRecherche();
}

void FrmPrincipal::CmdDateDateDeb_Click() {
    ChoisirDate(ChampDate::Debut);
}

void FrmPrincipal::CmdDateFin_Click() {
    ChoisirDate(ChampDate::Fin);
}

// Le menu lance le gestionnaire du bouton, même quand le bouton est inactif.
void FrmPrincipal::mnuDateDeb_Click() {
    CmdDateDateDeb_Click();
}

void FrmPrincipal::mnuDateFin_Click() {
    CmdDateFin_Click();
}

void FrmPrincipal::TxTDateDeb_Change() {
    TraitementEnableCmdRecherche();
}

void FrmPrincipal::TxTDateFin_Change() {
    TraitementEnableCmdRecherche();
}

void FrmPrincipal::TraitementEnableCmdRecherche() {
    const QString debut = RognerEspaces(ui->TxTDateDeb->text());
    const QString fin = RognerEspaces(ui->TxTDateFin->text());
    // Un champ vide laisse le bouton tel qu'il est.
    if (debut.isEmpty() || fin.isEmpty())
        return;
    rechercheActive_ =
        vek::ConvertirDate(VersCp1252(debut)).has_value() && vek::ConvertirDate(VersCp1252(fin));
    AppliquerEtatBoutons();
}

// --- recherche ---

bool FrmPrincipal::LireDate(const QString& nomChamp, const QString& texte, vek::Date& date) {
    if (const auto convertie = vek::ConvertirDate(VersCp1252(texte))) {
        date = *convertie;
        return true;
    }
    const QString message =
        texte.isEmpty()
            ? QStringLiteral("Le champ « %1 » est vide : écrivez-y une date sous la forme "
                             "jj/mm/aaaa.")
                  .arg(nomChamp)
            : QStringLiteral("Le champ « %1 » ne contient pas une date : « %2 ». Écrivez-y une "
                             "date sous la forme jj/mm/aaaa.")
                  .arg(nomChamp, texte);
    AfficherMessage(message, vek::Icone::Stop);
    return false;
}

void FrmPrincipal::CmdRecherche_Click() {
    if (passeEnCours_)
        return;
    vek::Date debut;
    vek::Date fin;
    if (!LireDate(QStringLiteral("Date de début"), RognerEspaces(ui->TxTDateDeb->text()), debut) ||
        !LireDate(QStringLiteral("Date de Fin"), RognerEspaces(ui->TxTDateFin->text()), fin))
        return;
    const std::string chemin = VersNomFichier(ui->TxtCheminFichierLOg->text());
    LancerPasse<vek::ResultatRecherche>(
        [this, chemin, debut, fin](std::stop_token arret) {
            return module_->Rechercher(chemin, debut, fin, *progression_, arret);
        },
        [this](vek::Issue<vek::ResultatRecherche>& issue) {
            if (issue.ok())
                RemplirArbres(issue->catalogue);
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
    noeud->setData(0, RoleOctets, Octets(texte));
    noeud->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    noeud->setCheckState(0, Qt::Unchecked);
    return noeud;
}

} // namespace

void FrmPrincipal::RemplirArbres(const vek::Catalogue& catalogue) {
    // Depuis le catalogue que la recherche vient de rendre : « Zone de proximité » puis les
    // channels, et les locuteurs, dans l'ordre de leur première apparition, aucun coché.
    QList<QTreeWidgetItem*> channels{Noeud(vek::TexteZoneProximite)};
    for (std::int16_t i = 1; i <= catalogue.NbChannels; ++i)
        channels.append(Noeud(catalogue.TabChannels[static_cast<std::size_t>(i)]));
    QList<QTreeWidgetItem*> noms;
    for (std::int16_t i = 1; i <= catalogue.NbNoms; ++i)
        noms.append(Noeud(catalogue.TabNoms[static_cast<std::size_t>(i)]));
    ui->TreeViewChannels->clear();
    ui->TreeViewNoms->clear();
    ui->TreeViewChannels->addTopLevelItems(channels);
    ui->TreeViewNoms->addTopLevelItems(noms);
    // Les deux cases « Sélectionnez… » disent l'état des arbres neufs : rien de coché.
    ui->CheckTLC->setChecked(false);
    ui->CheckTLM->setChecked(false);
    ActiverCreerLog();
}

void FrmPrincipal::CocherTout(QTreeWidget* arbre, const QCheckBox* boite) {
    if (boite->checkState() == Qt::PartiallyChecked)
        return; // grisée : rien
    const Qt::CheckState etat = boite->checkState();
    for (int i = 0; i < arbre->topLevelItemCount(); ++i)
        arbre->topLevelItem(i)->setCheckState(0, etat);
}

void FrmPrincipal::CheckTLC_Click() {
    CocherTout(ui->TreeViewChannels, ui->CheckTLC);
}

void FrmPrincipal::CheckTLM_Click() {
    CocherTout(ui->TreeViewNoms, ui->CheckTLM);
}

vek::Selection FrmPrincipal::SelectionCochee() const {
    vek::Selection selection;
    auto octets = [](const QTreeWidgetItem* noeud) {
        return noeud->data(0, RoleOctets).toByteArray().toStdString();
    };
    for (int i = 0; i < ui->TreeViewChannels->topLevelItemCount(); ++i)
        if (const QTreeWidgetItem* n = ui->TreeViewChannels->topLevelItem(i);
            n->checkState(0) == Qt::Checked)
            selection.AjouterChannel(octets(n));
    for (int i = 0; i < ui->TreeViewNoms->topLevelItemCount(); ++i)
        if (const QTreeWidgetItem* n = ui->TreeViewNoms->topLevelItem(i);
            n->checkState(0) == Qt::Checked)
            selection.AjouterNom(octets(n));
    return selection;
}

void FrmPrincipal::CmdCreerLog_Click() {
    if (passeEnCours_)
        return;
    // La sélection est prise au clic, dans les arbres ; la passe n'y touche plus. Les modes
    // sont relus pendant l'écriture : une option validée entre-temps s'applique aux lignes
    // suivantes.
    auto selection = std::make_shared<const vek::Selection>(SelectionCochee());
    LancerPasse<std::string>(
        [this, selection](std::stop_token arret) {
            return module_->EcrireLogFinal(*selection, modes_, *progression_, arret);
        },
        [this](vek::Issue<std::string>& issue) {
            if (!issue.ok())
                return;
            // Le visualiseur du bureau ; s'il ne démarre pas, la fenêtre dit où est le fichier.
            SignalerLogFinal(*issue, lanceur_.OuvrirDocument(*issue));
        });
}

void FrmPrincipal::SignalerLogFinal(const std::string& cheminFinal, std::int16_t ouverture) {
    const bool sansVisualiseur = ouverture <= 32;
    if (!sansVisualiseur && !dossierDeSecours_)
        return; // le visualiseur montre le fichier, là où on l'attend
    const QString chemin = QDir::toNativeSeparators(QFile::decodeName(cheminFinal.c_str()));
    QString texte;
    if (dossierDeSecours_)
        texte = QStringLiteral("Le dossier du programme n'est pas accessible en écriture : le "
                               "fichier log a été écrit dans votre dossier personnel :\n") +
                chemin;
    else
        texte = QStringLiteral("Le fichier log a été écrit :\n") + chemin;
    if (sansVisualiseur)
        texte += QStringLiteral("\n\nAucun visualiseur n'a pu l'ouvrir ; ouvrez-le avec "
                                "l'éditeur de texte de votre choix.");
    AfficherMessage(texte, vek::Icone::Aucune);
}

// --- page web ---

void FrmPrincipal::mnuExporterPageWeb_Click() {
    if (passeEnCours_ || !creerLogActive_)
        return;
    // La sélection des arbres et les modes de « Créer le fichier log », et la même passe : seule
    // la page web s'écrit, puis le navigateur du bureau l'ouvre.
    auto selection = std::make_shared<const vek::Selection>(SelectionCochee());
    LancerPasse<std::vector<std::string>>(
        [this, selection](std::stop_token arret) {
            return module_->EcrireSorties(
                *selection, modes_, vek::FormatsSortie{false, true, false}, *progression_, arret);
        },
        [this](vek::Issue<std::vector<std::string>>& issue) {
            if (!issue.ok() || issue->empty())
                return;
            const std::string& page = issue->front();
            const bool sansNavigateur = lanceur_.OuvrirDocument(page) <= 32;
            if (!sansNavigateur && !dossierDeSecours_)
                return;
            const QString chemin = QDir::toNativeSeparators(QFile::decodeName(page.c_str()));
            QString texte = dossierDeSecours_
                                ? QStringLiteral("Le dossier du programme n'est pas accessible en "
                                                 "écriture : la page web a été écrite dans votre "
                                                 "dossier personnel :\n")
                                : QStringLiteral("La page web a été écrite :\n");
            texte += chemin;
            if (sansNavigateur)
                texte += QStringLiteral("\n\nAucun navigateur n'a pu l'ouvrir ; ouvrez-la avec le "
                                        "navigateur de votre choix.");
            AfficherMessage(texte, vek::Icone::Aucune);
        });
}

// --- fin du programme ---

void FrmPrincipal::Quitter() {
    // Tout de suite : pas de question ; une passe en cours s'arrête à la ligne suivante, les
    // fenêtres de résumé disparaissent avec le programme.
    quitte_ = true;
    // La passe en cours s'arrête à sa ligne suivante ; on attend son fil, qui n'a plus rien
    // à faire que sortir.
    fil_.request_stop();
    if (fil_.joinable())
        fil_.join();
    passeEnCours_ = false;
    Sablier(false);
    for (const QPointer<FrmAnalyse>& fenetre : analyses_)
        if (fenetre)
            fenetre->close();
    hide();
    if (terminer_)
        terminer_();
}

void FrmPrincipal::CmdQuitter_Click() {
    Quitter();
}

void FrmPrincipal::mnuQuitter_Click() {
    CmdQuitter_Click();
}

void FrmPrincipal::closeEvent(QCloseEvent* evenement) {
    // Fermer la fenêtre pendant une passe termine le programme ; sinon le programme vit tant
    // qu'une de ses fenêtres reste ouverte.
    if (passeEnCours_ && !quitte_)
        Quitter();
    evenement->accept();
}

// --- lien vers le site ---

void FrmPrincipal::Label6_Click() {
    lanceur_.OuvrirDocument(std::string(AdresseSiteOuverte));
}

void FrmPrincipal::Label6_MouseMove() {
    QFont police = ui->Label6->font();
    if (!police.underline()) {
        police.setUnderline(true);
        ui->Label6->setFont(police);
    }
}

void FrmPrincipal::Form_MouseMove() {
    QFont police = ui->Label6->font();
    if (police.underline()) {
        police.setUnderline(false);
        ui->Label6->setFont(police);
    }
}

bool FrmPrincipal::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::ShortcutOverride &&
        (objet == ui->TxtCheminFichierLOg || objet == ui->TxTDateDeb || objet == ui->TxTDateFin)) {
        // Les raccourcis des menus l'emportent sur les touches d'édition des champs (Ctrl+D
        // efface un caractère dans un champ de texte sous certains systèmes).
        const auto* touche = static_cast<QKeyEvent*>(evenement);
        const QKeySequence sequence(touche->keyCombination());
        for (const QAction* action :
             {ui->mnuOpenLog, ui->mnuDateDeb, ui->mnuDateFin, ui->mnuQuitter})
            if (action->shortcut() == sequence)
                return true; // non acceptée : le raccourci du menu part
    }
    if (objet == ui->Label6) {
        if (evenement->type() == QEvent::MouseMove) {
            Label6_MouseMove();
        } else if (evenement->type() == QEvent::MouseButtonRelease) {
            const auto* souris = static_cast<QMouseEvent*>(evenement);
            if (souris->button() == Qt::LeftButton &&
                ui->Label6->rect().contains(souris->position().toPoint()))
                Label6_Click();
        }
    } else if (objet == ui->centralwidget && evenement->type() == QEvent::MouseMove) {
        // Seul le fond de la fenêtre compte, pas un autre contrôle (images comprises).
        const auto* souris = static_cast<QMouseEvent*>(evenement);
        if (!ui->centralwidget->childAt(souris->position().toPoint()))
            Form_MouseMove();
    }
    return QMainWindow::eventFilter(objet, evenement);
}

// --- menus ---

void FrmPrincipal::mnuOptLog_Click() {
    FrmOption::Ouvrir(modes_);
}

void FrmPrincipal::mnuSysteme_Click() {
    if (infoSysteme_)
        infoSysteme_();
}

void FrmPrincipal::mnuAPropos_Click() {
    ServicesInfoSystemeFenetre services(this, afficheur_);
    frmAbout::Afficher(this, vek::RegistreSysteme(), services);
}
