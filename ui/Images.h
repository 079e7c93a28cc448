#pragma once
// Images décoratives (SVG dessinés par le projet, dans ui/images) et curseur en forme de main.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QLabel;

// Rend l'image nommée (par ex. « banniere.svg ») à la taille demandée.
QPixmap ImageSvg(const QString& nom, QSize taille);
// Pose l'image sur le label, rendue à la taille du label.
void PoserImage(QLabel* label, const QString& nom);

// L'icône du programme.
QIcon IconeProgramme();

// Main qui pointe, 32 × 32 en noir et blanc, point chaud colonne 5, ligne 0.
QCursor CurseurMain();
