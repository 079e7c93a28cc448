#include "DispositionPrincipale.h"

#include "ui_FrmPrincipal.h"

#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>

#include "DispositionAncree.h"

namespace {

using Ancre = DispositionAncree::Ancre;

// Le plan de la fenêtre (6420 × 7590 twips à 15 twips par pixel, plus la ligne du bilan et celle
// de « Chercher dans le journal ») et de sa bande du milieu, les arbres et leur cadre.
constexpr QSize Plan(428, 562);
constexpr QSize PlanMilieu(401, 185);
// Plus basse que le plan, la fenêtre prend autant sur la bannière que sur le milieu, jusqu'à
// cette perte ; les arbres raccourcissent jusqu'à leur hauteur minimale, puis le milieu défile.
constexpr int PerteMaximale = 124;
constexpr int ArbresMinimaux = 40;
// Ce que le cadre de la fenêtre (titre, bords) prend à l'écran, au plus, avant qu'elle s'ouvre.
constexpr int CadreFenetre = 40;

void DisposerPlan(Ui::FrmPrincipal& ui) {
    // Quand la fenêtre s'élargit, la bannière, le chemin, les champs de date et la barre de
    // progression s'étirent, les boutons de droite suivent le bord ; quand elle grandit, le
    // milieu prend la place, et ce qui est sous lui descend avec le bas de la fenêtre. Plus basse
    // que le plan, elle prend sur le milieu, qui défile au besoin.
    ui.centralwidget->resize(Plan);
    auto* zone = new DispositionAncree(ui.centralwidget);
    const std::pair<QWidget*, Ancre> ancres[] = {
        {ui.banniere, {0, 0, 1, 0}},
        {ui.cheminJournal, {0, 0, 1, 0}},
        {ui.boutonParcourir, {1, 0, 1, 0}},
        {ui.dateDebut, {0, 0, 0.5, 0}},
        {ui.dateFin, {0, 0, 0.5, 0}},
        {ui.boutonDateDebut, {0.5, 0, 0.5, 0}},
        {ui.boutonDateFin, {0.5, 0, 0.5, 0}},
        {ui.boutonRecherche, {1, 0, 1, 0}},
        {ui.champChercher, {0, 0, 1, 0}},
        {ui.caseSuivre, {1, 0, 1, 0}},
        {ui.ornement, {0.5, 0, 0.5, 0}},
        {ui.barreProgression, {0, 0, 1, 0}},
        {ui.zoneMilieu, {0, 0, 1, 1}},
        {ui.bilanRecherche, {0, 1, 1, 1}},
        {ui.boutonQuitter, DispositionAncree::EnBas},
        {ui.lienSite, DispositionAncree::EnBas},
        {ui.boutonCreerLog, DispositionAncree::EnBasADroite},
        {ui.bordureBas, {0.5, 1, 0.5, 1}},
        {ui.bordureHaut, {0.5, 0, 0.5, 0}},
        {ui.bordureDroite, {1, 0, 1, 0}},
    };
    for (const auto& [controle, ancre] : ancres)
        zone->Ancrer(controle, ancre);
    // Plus basse que le plan : la bannière perd la moitié de la hauteur perdue (son dessin suit
    // sa hauteur), ce qui est entre elle et le milieu remonte d'autant, le milieu perd l'autre
    // moitié, le bas suit le bas de la fenêtre.
    zone->AncrerPerte(ui.banniere, 0, 0.5);
    QWidget* const entre[] = {ui.legendeJournal,   ui.cheminJournal,  ui.boutonParcourir,
                              ui.legendeDateDebut, ui.dateDebut,      ui.boutonDateDebut,
                              ui.legendeDateFin,   ui.dateFin,        ui.boutonDateFin,
                              ui.boutonRecherche,  ui.champChercher,  ui.ornement,
                              ui.legendeCompteur,  ui.compteurLignes, ui.caseSuivre,
                              ui.barreProgression, ui.bordureHaut};
    for (QWidget* controle : entre)
        zone->AncrerPerte(controle, 0.5, 0.5);
    for (QWidget* const bord :
         {static_cast<QWidget*>(ui.bordureGauche), static_cast<QWidget*>(ui.bordureDroite),
          static_cast<QWidget*>(ui.zoneMilieu)})
        zone->AncrerPerte(bord, 0.5, 1);
    zone->PermettreRetrecir({0, PerteMaximale});
    ui.centralwidget->setLayout(zone);
}

void DisposerMilieu(Ui::FrmPrincipal& ui) {
    // Le milieu suit la zone qui défile ; plus bas que son plan, ses arbres raccourcissent
    // jusqu'à leur hauteur minimale, puis la zone défile. Sa barre de défilement prend sur la
    // largeur des arbres.
    ui.zoneMilieu->setFocusPolicy(Qt::NoFocus); // le focus va aux arbres et aux cases
    ui.zoneMilieu->viewport()->setAutoFillBackground(false);
    ui.milieu->setAutoFillBackground(false);
    ui.milieu->resize(PlanMilieu);
    auto* milieu = new DispositionAncree(ui.milieu);
    milieu->Ancrer(ui.cadrePresents, {0, 0, 1, 1});
    milieu->Ancrer(ui.arbreNoms, {0, 0, 0.5, 1});
    milieu->Ancrer(ui.arbreChannels, {0.5, 0, 1, 1});
    milieu->Ancrer(ui.caseTousLesChannels, {0.5, 1, 0.5, 1});
    const int barre = ui.zoneMilieu->verticalScrollBar()->sizeHint().width();
    milieu->PermettreRetrecir({barre, ui.arbreNoms->height() - ArbresMinimaux});
    ui.milieu->setLayout(milieu);
    auto* cadre = new DispositionAncree(ui.cadrePresents);
    cadre->Ancrer(ui.legendeChannels, {0.5, 0, 0.5, 0});
    cadre->Ancrer(ui.caseToutLeMonde, DispositionAncree::EnBas);
    cadre->PermettreRetrecir({barre, ui.arbreNoms->height() - ArbresMinimaux});
    ui.cadrePresents->setLayout(cadre);
}

} // namespace

void PoserDispositionPrincipale(Ui::FrmPrincipal& ui, QMainWindow* fenetre) {
    DisposerPlan(ui);
    DisposerMilieu(ui);
    // La taille du plan, entre le menu et la barre d'état ; sur un écran trop bas (un grand
    // facteur d'échelle), la hauteur de l'écran, le milieu raccourci. Centrée, entière à l'écran.
    QSize taille(Plan.width(), Plan.height() + ui.menubar->sizeHint().height() +
                                   fenetre->statusBar()->sizeHint().height());
    const QScreen* ecran = fenetre->screen();
    if (!ecran) {
        fenetre->resize(taille);
        return;
    }
    const QRect zone = ecran->availableGeometry();
    taille = taille.boundedTo(zone.size() - QSize(0, CadreFenetre))
                 .expandedTo(fenetre->minimumSizeHint());
    fenetre->resize(taille);
    QPoint coin = zone.center() - QPoint(taille.width() / 2, taille.height() / 2);
    coin.setY(std::max(zone.top() + CadreFenetre / 2,
                       std::min(coin.y(), zone.bottom() - taille.height())));
    fenetre->move(coin);
}
