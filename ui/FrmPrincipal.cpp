#include "FrmPrincipal.h"

#include "ui_FrmPrincipal.h"

#include "AnalyseDuJournal.h"
#include "Apparence.h"
#include "ArbresSelection.h"
#include "BarreEtat.h"
#include "ChampsDeDate.h"
#include "DispositionPrincipale.h"
#include "DlgRenommer.h"
#include "FrmAnalyse.h"
#include "FrmEnDirect.h"
#include "FrmOption.h"
#include "Images.h"
#include "InfoSysteme.h"
#include "JournauxDuChamp.h"
#include "LienSite.h"
#include "RechercheDeMots.h"
#include "SortiesFenetre.h"
#include "SuiviRecherche.h"
#include "TexteQt.h"
#include "frmAbout.h"
#include "frmCalendar.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSignalBlocker>

namespace {

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
    : QMainWindow(parent), ui(std::make_unique<Ui::FrmPrincipal>()), afficheur_(AfficheurMessageQt),
      question_(QuestionQt), terminer_([] { QCoreApplication::exit(0); }) {
    infoSysteme_ = [this] {
        ServicesInfoSystemeFenetres services(
            [this](QWidget* dessus, const QString& texte, const QString& titre) {
                if (afficheur_)
                    afficheur_(dessus, texte, titre, vek::Icone::Aucune);
            },
            this);
        vek::LancerInfoSysteme(vek::CheminOutilInfoSysteme(), services);
    };
    ui->setupUi(this);
    // Le focus attend sur le fond de la fenêtre quand une passe grise le contrôle qui l'avait.
    commandes_ = CommandesDePasse(ui->centralwidget);
    barreEtat_ = new BarreEtat(
        [&lanceur](const QString& dossier) {
            return lanceur.OuvrirDocument(VersNomFichier(dossier));
        },
        this);
    setStatusBar(barreEtat_);
    PoserApparence();
    new LienSite(ui->lienSite, ui->centralwidget,
                 [&lanceur] { lanceur.OuvrirDocument(std::string(AdresseSiteOuverte)); });
    PoserRoles(lanceur, std::move(reglages));
    PoserDispositionPrincipale(*ui, this);
    Connecter();
    DeclarerCommandesDePasse();

    // Barre de progression 0..50 à 0 ; les trois modes d'extraction éteints. Rien n'est lu sur
    // le disque : chaque exécution part du même état.
    ui->barreProgression->setRange(0, 50);
    ui->barreProgression->setValue(0);
    modes_ = vek::Modes{};
    AppliquerEtatBoutons();
    ui->cheminJournal->setFocus(); // la route commence par le journal
}

FrmPrincipal::~FrmPrincipal() {
    // Le suivi, puis la passe en cours (arrêtée à sa ligne suivante), avant le reste.
    suivi_.reset();
    passes_.reset();
}

void FrmPrincipal::PoserApparence() {
    ui->lienSite->setText(DepuisUtf8(AdresseSiteAffichee));
    // Bordure ordinaire redimensionnable, sans bouton d'agrandissement ; le milieu grandit avec
    // elle, et la bannière et les champs s'étirent (DispositionPrincipale).
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    PoserFondBlanc(this);
    // La linéale livrée pour la fenêtre (le rôle de « MS Sans Serif »), la police décorative en
    // gras pour les trois grands boutons, la linéale 12 points grasse pour les boutons « ... »
    // et le lien.
    setFont(PoliceSansSerif(8.25));
    for (QPushButton* bouton : {ui->boutonRecherche, ui->boutonCreerLog, ui->boutonQuitter})
        bouton->setFont(PoliceDecorative(8.25, true));
    for (QPushButton* bouton : {ui->boutonDateDebut, ui->boutonDateFin, ui->boutonParcourir})
        bouton->setFont(PoliceSansSerif(12, true));
    ui->lienSite->setFont(PoliceSansSerif(12));
    PoserBanniere(ui->banniere);
    PoserImage(ui->ornement, QStringLiteral("ornement.svg"));
    PoserImage(ui->bordureGauche, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->bordureDroite, QStringLiteral("degrade-vertical.svg"));
    PoserImage(ui->bordureHaut, QStringLiteral("degrade-horizontal.svg"));
    PoserImage(ui->bordureBas, QStringLiteral("degrade-horizontal.svg"));
    for (QLineEdit* champ : {ui->cheminJournal, ui->dateDebut, ui->dateFin, ui->champChercher})
        champ->installEventFilter(this);
}

void FrmPrincipal::PoserRoles(vek::LanceurDocument& lanceur, vek::ReglagesMoteur reglages) {
    const auto message = [this](const QString& texte, vek::Icone icone) {
        AfficherMessage(texte, icone);
    };
    dates_ = std::make_unique<ChampsDeDate>(ui->dateDebut, ui->dateFin, ui->boutonDateDebut,
                                            ui->boutonDateFin);
    dates_->DefinirCalendrier([this](std::optional<vek::Date> dateDuChamp) {
        return frmCalendar::Choisir(this, dateDuChamp);
    });
    arbres_ = std::make_unique<ArbresSelection>(
        ArbresSelection::Controles{ui->arbreNoms, ui->arbreChannels, ui->caseToutLeMonde,
                                   ui->caseTousLesChannels, ui->bilanRecherche});
    passes_ = std::make_unique<PilotePasses>(
        std::move(reglages), PilotePasses::Affichage{ui->barreProgression, ui->compteurLignes,
                                                     ui->centralwidget, barreEtat_});
    passes_->message = message;
    passes_->etatChange = [this] { AppliquerEtatBoutons(); };
    journaux_ = new JournauxDuChamp(ui->cheminJournal, this);
    analyse_ = std::make_unique<AnalyseDuJournal>(
        AnalyseDuJournal::Liens{this, *journaux_, *dates_, ui->boutonRecherche, *passes_, message,
                                [this] { LancerRecherche(); }});
    // Les entrées d'export, tirées de la table des formats, avant le séparateur de « Menu ».
    QAction* separateur = nullptr;
    for (QAction* action : ui->menuPrincipal->actions())
        if (action->isSeparator() && !separateur)
            separateur = action;
    sorties_ = std::make_unique<SortiesFenetre>(SortiesFenetre::Liens{
        ui->menuPrincipal, separateur, barreEtat_, lanceur, *passes_, *arbres_, modes_, nettoyage_,
        message, [this] { return creerLogActive_; }, [this] { return !RelancerSiPerimes(); }});
    suivi_ = std::make_unique<SuiviDirect>(SuiviDirect::Liens{
        this, ui->caseSuivre, *journaux_, *dates_, *arbres_, *passes_, modes_, nettoyage_,
        [this](const QString& texte) { AfficherMessage(texte, vek::Icone::Stop); },
        [this](const vek::ResultatRecherche& resultat) {
            extraitArbres_ = resultat.empreinte;
            creerLogActive_ = resultat.lignesRetenues > 0;
            AppliquerEtatBoutons();
            SuivreChampsDeDate();
        },
        [this] { ApresEchec(); }});
    mots_ = std::make_unique<RechercheDeMots>(RechercheDeMots::Liens{
        this, ui->champChercher, *journaux_, *dates_, *passes_, barreEtat_, message,
        [this] { return analyse_->Pause(); }, [this] { LancerRecherche(); }});
}

void FrmPrincipal::Connecter() {
    // Le menu lance ce que lance le bouton, même quand le bouton est inactif.
    using Champ = ChampsDeDate::Champ;
    const auto debut = [this] {
        dates_->Choisir(Champ::Debut);
        AppliquerRegleRecherche();
    };
    const auto fin = [this] {
        dates_->Choisir(Champ::Fin);
        AppliquerRegleRecherche();
    };
    const auto choisirJournal = [this] { analyse_->Choisir(); };
    connect(ui->boutonParcourir, &QPushButton::clicked, this, choisirJournal);
    connect(ui->actionOuvrirJournal, &QAction::triggered, this, choisirJournal);
    connect(ui->actionAjouterJournal, &QAction::triggered, this, [this] { analyse_->Ajouter(); });
    // « Retirer un journal » : une entrée par journal, à partir de deux ; le retrait se voit au
    // champ, et ceux qui restent sont analysés de nouveau.
    ui->menuRetirerJournal->menuAction()->setObjectName(QStringLiteral("actionRetirerJournal"));
    connect(journaux_, &JournauxDuChamp::Change, this, [this] {
        journaux_->RemplirMenuRetirer(ui->menuRetirerJournal);
        mots_->Fermer(); // ses séances sont celles d'autres journaux
        AppliquerEtatBoutons();
    });
    connect(journaux_, &JournauxDuChamp::Retire, this, [this] { analyse_->Reanalyser(); });
    journaux_->RemplirMenuRetirer(ui->menuRetirerJournal);
    journaux_->EtendreMenuDuChamp(ui->actionAjouterJournal, ui->menuRetirerJournal);
    connect(ui->cheminJournal, &QLineEdit::textChanged, this,
            [this](const QString& chemin) { dates_->ActiverBoutons(chemin); });
    connect(ui->boutonDateDebut, &QPushButton::clicked, this, debut);
    connect(ui->boutonDateFin, &QPushButton::clicked, this, fin);
    connect(ui->actionDateDebut, &QAction::triggered, this, debut);
    connect(ui->actionDateFin, &QAction::triggered, this, fin);
    for (QLineEdit* champ : {ui->dateDebut, ui->dateFin})
        connect(champ, &QLineEdit::textChanged, this, &FrmPrincipal::AppliquerRegleRecherche);
    // Entrée dans un champ de date lance la recherche, comme le bouton et Ctrl+R.
    connect(ui->boutonRecherche, &QPushButton::clicked, this, &FrmPrincipal::LancerRecherche);
    connect(ui->actionRecherche, &QAction::triggered, this, &FrmPrincipal::LancerRecherche);
    for (QLineEdit* champ : {ui->dateDebut, ui->dateFin})
        connect(champ, &QLineEdit::returnPressed, this, &FrmPrincipal::LancerRecherche);
    connect(ui->caseTousLesChannels, &QCheckBox::clicked, this,
            [this] { arbres_->CocherTout(ArbresSelection::Arbre::Channels); });
    connect(ui->caseToutLeMonde, &QCheckBox::clicked, this,
            [this] { arbres_->CocherTout(ArbresSelection::Arbre::Noms); });
    connect(ui->boutonCreerLog, &QPushButton::clicked, this, [this] { sorties_->CreerLogFinal(); });
    connect(ui->caseSuivre, &QCheckBox::toggled, suivi_.get(), &SuiviDirect::Basculer);
    connect(ui->boutonQuitter, &QPushButton::clicked, this, &FrmPrincipal::Quitter);
    connect(ui->actionQuitter, &QAction::triggered, this, &FrmPrincipal::Quitter);
    ConnecterOptions();
}

void FrmPrincipal::ConnecterOptions() {
    // « Sans HRP » du menu et la case de la boîte des options disent le même réglage.
    const auto montrerSansHrp = [this] {
        const QSignalBlocker bloque(ui->actionSansHrp);
        ui->actionSansHrp->setChecked(nettoyage_.sansHrp);
    };
    connect(ui->actionOptionsLog, &QAction::triggered, this, [this, montrerSansHrp] {
        FrmOption::Ouvrir(modes_, &nettoyage_);
        montrerSansHrp();
    });
    connect(ui->menuOptions, &QMenu::aboutToShow, this, montrerSansHrp);
    connect(ui->actionSansHrp, &QAction::toggled, this,
            [this](bool sans) { nettoyage_.sansHrp = sans; });
    connect(ui->actionRenommer, &QAction::triggered, this,
            [this] { DlgRenommer::Ouvrir(nettoyage_, this); });
    connect(ui->actionInfoSysteme, &QAction::triggered, this, [this] {
        if (infoSysteme_)
            infoSysteme_();
    });
    connect(ui->actionAPropos, &QAction::triggered, this,
            [this] { frmAbout::Afficher(this, infoSysteme_); });
}

void FrmPrincipal::DeclarerCommandesDePasse() {
    // Chaque ligne : un bouton, les entrées de menu qui font ce qu'il fait, et leur règle.
    commandes_.Ajouter({ui->boutonParcourir, ui->actionOuvrirJournal, ui->actionAjouterJournal},
                       [] { return true; });
    commandes_.Ajouter({ui->menuRetirerJournal->menuAction()},
                       [this] { return journaux_->Journaux().chemins.size() > 1; });
    commandes_.Ajouter({ui->boutonRecherche, ui->actionRecherche},
                       [this] { return rechercheActive_; });
    // Les entrées d'export (page web, forum, Discord) suivent « Créer le fichier log ».
    std::vector<QObject*> creerLog{ui->boutonCreerLog};
    for (QAction* action : sorties_->Actions())
        creerLog.push_back(action);
    commandes_.Ajouter(creerLog, [this] { return creerLogActive_; });
}

// --- services ---

void FrmPrincipal::DefinirDialogueOuverture(DialogueOuverture dialogue) {
    analyse_->DefinirDialogue(std::move(dialogue));
}

void FrmPrincipal::DefinirCalendrier(MontrerCalendrier calendrier) {
    dates_->DefinirCalendrier(std::move(calendrier));
}

void FrmPrincipal::DefinirProgression(PilotePasses::ProgressionDesPasses progression) {
    passes_->DefinirProgression(std::move(progression));
}

void FrmPrincipal::DefinirVeille(SuiviDirect::FabriqueVeille fabrique) {
    suivi_->DefinirVeille(std::move(fabrique));
}

void FrmPrincipal::DefinirDossierDeSecours(bool secours) {
    sorties_->DefinirDossierDeSecours(secours);
}

FrmEnDirect* FrmPrincipal::EnDirect() const {
    return suivi_->Vue();
}

std::vector<FrmAnalyse*> FrmPrincipal::FenetresAnalyse() const {
    return analyse_->Resumes();
}

// --- état des commandes ---

void FrmPrincipal::AppliquerEtatBoutons() {
    // Pendant une passe, les commandes qui en lanceraient une autre sont grisées, boutons et
    // menus ; à la fin chacune reprend l'état que lui donne sa règle. Un regard du suivi ne grise
    // rien : une commande lancée pendant qu'il dure attend sa fin.
    commandes_.Appliquer(passes_->EnCours() && !passes_->Discrete());
}

void FrmPrincipal::AppliquerRegleRecherche() {
    const std::optional<bool> active = dates_->RegleRecherche();
    SuivreChampsDeDate();
    if (!active)
        return; // un champ vide laisse le bouton tel qu'il est
    rechercheActive_ = *active;
    AppliquerEtatBoutons();
}

void FrmPrincipal::AnnoncerDansBarreEtat(const QString& texte) {
    barreEtat_->Annoncer(texte);
}

void FrmPrincipal::AfficherMessage(const QString& texte, vek::Icone icone) {
    if (afficheur_)
        afficheur_(this, texte, DepuisCp1252(vek::TitreMessages), icone);
}

void FrmPrincipal::OuvrirJournal(const QString& chemin) {
    analyse_->Ouvrir({chemin});
}

void FrmPrincipal::OuvrirJournaux(const QStringList& chemins) {
    analyse_->Ouvrir(chemins);
}

vek::Journaux FrmPrincipal::Journaux() const {
    return journaux_->Journaux();
}

// --- recherche ---

void FrmPrincipal::LancerRecherche() {
    if (passes_->Differer([this] { LancerRecherche(); }) || passes_->EnCours())
        return;
    const auto periode = dates_->LirePeriode(
        [this](const QString& refus) { AfficherMessage(refus, vek::Icone::Stop); });
    if (!periode)
        return;
    passes_->Rechercher(
        journaux_->Journaux(), *periode,
        [this, textes = dates_->Textes()](vek::Issue<vek::ResultatRecherche>& issue) {
            if (issue.ok())
                MontrerRecherche(*issue, textes);
            else
                ApresEchec();
        });
}

void FrmPrincipal::MontrerRecherche(const vek::ResultatRecherche& resultat,
                                    const std::pair<QString, QString>& textes) {
    // Les coches restent par nom, d'une recherche à l'autre (une suite ou une autre période).
    suivi_->RechercheFaite();
    arbres_->NoterRecherche(resultat.periode, textes);
    arbres_->Prolonger(*resultat.catalogue);
    extraitArbres_ = resultat.empreinte;
    if (!resultat.avisComplet.empty())
        AnnoncerDansBarreEtat(DepuisUtf8(resultat.avisComplet));
    // « Créer le fichier log » n'écrit que depuis une recherche qui a trouvé des lignes.
    const auto vide = RaisonRechercheVide(resultat);
    creerLogActive_ = !vide;
    AppliquerEtatBoutons();
    arbres_->NoterBilan(BilanEtLimites(resultat));
    SuivreChampsDeDate();
    if (vide)
        AfficherMessage(*vide, vek::Icone::Aucune);
    else if (resultat.catalogue->LimiteChannelsAtteinte || resultat.catalogue->LimiteNomsAtteinte)
        AfficherMessage(TexteLimites(*resultat.catalogue), vek::Icone::Aucune);
    // La suite de la route : cocher les présents.
    DonnerFocus(ui->arbreNoms);
}

void FrmPrincipal::ApresEchec() {
    // Une recherche qui échoue peut emporter l'extrait d'où viennent les arbres : sans lui, rien
    // ne s'écrit depuis eux (une écriture accuserait à tort un autre programme de l'avoir changé).
    if (!arbres_->Periode() || passes_->ExtraitInchange(extraitArbres_))
        return;
    creerLogActive_ = false;
    AppliquerEtatBoutons();
    arbres_->NoterExtraitPerdu(QStringLiteral("La dernière recherche a échoué et n'a pas laissé "
                                              "l'extrait d'où viennent ces arbres : relancez-la "
                                              "avant d'écrire."));
    SuivreChampsDeDate();
}

void FrmPrincipal::SuivreChampsDeDate() {
    suivi_->MontrerEtat(); // la vue en direct dit aussi si les champs ont changé de période
    arbres_->MontrerBilan(*dates_);
}

bool FrmPrincipal::RelancerSiPerimes() {
    if (arbres_->AJour(*dates_) || !question_ ||
        !question_(this, QuestionArbresPerimes(*arbres_->Periode()),
                   DepuisCp1252(vek::TitreMessages)))
        return false;
    LancerRecherche();
    return true;
}

// --- clavier et fin ---

bool FrmPrincipal::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::ShortcutOverride) {
        // Les raccourcis des menus l'emportent sur les touches d'édition des champs (Ctrl+D
        // efface un caractère dans un champ de texte sous certains systèmes).
        const auto* touche = static_cast<QKeyEvent*>(evenement);
        const QKeySequence sequence(touche->keyCombination());
        for (const QAction* menu : ui->menubar->actions())
            for (const QAction* action : menu->menu()->actions())
                if (!action->shortcut().isEmpty() && action->shortcut() == sequence)
                    return true; // non acceptée : le raccourci du menu part
    }
    return QMainWindow::eventFilter(objet, evenement);
}

void FrmPrincipal::Quitter() {
    // Tout de suite : pas de question ; une passe en cours s'arrête à la ligne suivante (son fil
    // est attendu), les fenêtres de résumé disparaissent avec le programme.
    quitte_ = true;
    suivi_->Couper();
    passes_->Arreter();
    analyse_->FermerTout();
    mots_->Fermer();
    hide();
    if (terminer_)
        terminer_();
}

void FrmPrincipal::closeEvent(QCloseEvent* evenement) {
    // Fermer la fenêtre pendant une passe termine le programme ; sinon le programme vit tant
    // qu'une de ses fenêtres reste ouverte. Un regard du suivi n'est pas une passe : qu'il tourne
    // à cet instant ou non, le suivi s'arrête et sa vue se ferme (rien ne continue, invisible,
    // derrière une fenêtre cachée) ; ce que le regard trouve ensuite n'est pas montré.
    if (passes_->EnCours() && !passes_->Discrete() && !quitte_)
        Quitter();
    else if (!quitte_)
        suivi_->Arreter();
    evenement->accept();
}
