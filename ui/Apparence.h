#pragma once
// Polices et fond communs aux boîtes de dialogue : la police décorative d'affichage (avec ses
// familles de repli), la police « MS Sans Serif » et le fond blanc.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QStringList>
#include <QWidget>

// La police décorative d'affichage : la première famille présente de la liste, sinon une
// police de fantaisie choisie par le système.
inline QFont PoliceDecorative(qreal points, bool gras) {
    QFont police;
    police.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                        QStringLiteral("URW Gothic"), QStringLiteral("Century Gothic"),
                        QStringLiteral("Avant Garde")});
    police.setStyleHint(QFont::Fantasy);
    police.setPointSizeF(points);
    police.setBold(gras);
    return police;
}

// « MS Sans Serif » et ses remplaçantes.
inline QFont PoliceSansSerif(qreal points, bool gras = false, bool italique = false) {
    QFont police;
    police.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                        QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                        QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    police.setStyleHint(QFont::SansSerif);
    police.setPointSizeF(points);
    police.setBold(gras);
    police.setItalic(italique);
    return police;
}

// Fond blanc pour la fenêtre et les contrôles qui laissent voir son fond.
inline void PoserFondBlanc(QWidget* fenetre) {
    QPalette palette = fenetre->palette();
    palette.setColor(QPalette::Window, Qt::white);
    fenetre->setPalette(palette);
    fenetre->setAutoFillBackground(true);
}
