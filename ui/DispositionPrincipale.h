#pragma once
// La disposition de la fenêtre principale : la place de chaque contrôle quand la fenêtre change
// de taille, et sa taille et sa place à l'ouverture.

class QMainWindow;

namespace Ui {
class FrmPrincipal;
}

// Pose la disposition sur les contrôles du plan, puis donne à la fenêtre sa taille d'origine,
// centrée sur son écran.
void PoserDispositionPrincipale(Ui::FrmPrincipal& ui, QMainWindow* fenetre);
