#pragma once
// Polices et fond communs aux boîtes de dialogue : la police décorative d'affichage (avec ses
// familles de repli), la police « MS Sans Serif » et le fond blanc.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QStringList>
#include <QWidget>

// La première famille présente de la liste, sinon une police du genre indiqué choisie par le
// système.
inline QFont PoliceParmi(const QStringList& familles, QFont::StyleHint genre, qreal points,
                         bool gras, bool italique = false) {
    QFont police;
    police.setFamilies(familles);
    police.setStyleHint(genre);
    police.setPointSizeF(points);
    police.setBold(gras);
    police.setItalic(italique);
    return police;
}

// La police décorative d'affichage.
inline QFont PoliceDecorative(qreal points, bool gras) {
    return PoliceParmi({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                        QStringLiteral("URW Gothic"), QStringLiteral("Century Gothic"),
                        QStringLiteral("Avant Garde")},
                       QFont::Fantasy, points, gras);
}

// « MS Sans Serif » et ses remplaçantes.
inline QFont PoliceSansSerif(qreal points, bool gras = false, bool italique = false) {
    return PoliceParmi({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                        QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                        QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")},
                       QFont::SansSerif, points, gras, italique);
}

// « MS Serif » et ses remplaçantes.
inline QFont PoliceSerif(qreal points, bool gras) {
    return PoliceParmi({QStringLiteral("MS Serif"), QStringLiteral("Times New Roman"),
                        QStringLiteral("Liberation Serif"), QStringLiteral("Nimbus Roman"),
                        QStringLiteral("DejaVu Serif")},
                       QFont::Serif, points, gras);
}

// Fond blanc pour la fenêtre et les contrôles qui laissent voir son fond.
inline void PoserFondBlanc(QWidget* fenetre) {
    QPalette palette = fenetre->palette();
    palette.setColor(QPalette::Window, Qt::white);
    fenetre->setPalette(palette);
    fenetre->setAutoFillBackground(true);
}
