#pragma once
// Images décoratives dessinées par le projet (sources SVG dans ui/images, rendues en PNG à 1× et
// 2× à la construction et rangées dans les ressources) et curseur en forme de main.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QLabel;

// L'image du dessin nommé d'après sa source (par ex. « banniere.svg »), à la taille demandée en
// pixels logiques pour un écran de la densité donnée : la version 2× sert au-delà de 1×, mise à
// l'échelle si la taille diffère de celle du dessin. Image nulle pour un dessin inconnu.
QPixmap ImageDessin(const QString& nom, QSize taille, qreal densite = 1.0);
// Pose l'image sur le label, à la taille du label et à la densité de son écran.
void PoserImage(QLabel* label, const QString& nom);
// La bannière de la fenêtre principale (« banniere.svg ») : son dessin à la hauteur du label,
// proportions gardées, suivi de son ciel jusqu'au bord droit, quelle que soit la taille du label.
void PoserBanniere(QLabel* label);

// L'icône du programme, à toutes ses tailles rendues (16 à 256 pixels).
QIcon IconeProgramme();

// Main qui pointe, 32 × 32 en noir et blanc, point chaud colonne 5, ligne 0.
QCursor CurseurMain();
