#include "DispositionPrincipale.h"

#include "ui_FrmPrincipal.h"

#include <QScreen>
#include <QStatusBar>

#include "DispositionAncree.h"

void PoserDispositionPrincipale(Ui::FrmPrincipal& ui, QMainWindow* fenetre) {
    // À la taille d'origine, chaque contrôle est à la place du plan. Quand la fenêtre grandit,
    // le cadre et les deux arbres (la moitié du gain de largeur chacun) prennent la place ; ce
    // qui est sous les arbres descend avec le bas de la fenêtre, la bordure droite suit le bord.
    using Ancre = DispositionAncree::Ancre;
    ui.centralwidget->resize(428, 538);
    auto* zone = new DispositionAncree(ui.centralwidget);
    const std::pair<QWidget*, Ancre> ancres[] = {
        {ui.cadrePresents, {0, 0, 1, 1}},
        {ui.arbreNoms, {0, 0, 0.5, 1}},
        {ui.arbreChannels, {0.5, 0, 1, 1}},
        {ui.caseTousLesChannels, {0.5, 1, 0.5, 1}},
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
    ui.centralwidget->setLayout(zone);
    auto* cadre = new DispositionAncree(ui.cadrePresents);
    cadre->Ancrer(ui.legendeChannels, {0.5, 0, 0.5, 0});
    cadre->Ancrer(ui.caseToutLeMonde, DispositionAncree::EnBas);
    ui.cadrePresents->setLayout(cadre);

    // Zone cliente de 6420 × 7590 twips, à 15 twips par pixel, plus la ligne du bilan de la
    // recherche, entre le menu et la barre d'état ; centrée sur l'écran.
    fenetre->resize(428, 538 + ui.menubar->sizeHint().height() +
                             fenetre->statusBar()->sizeHint().height());
    if (const QScreen* ecran = fenetre->screen())
        fenetre->move(ecran->availableGeometry().center() - fenetre->rect().center());
}
