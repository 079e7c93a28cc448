#pragma once
// L'apparence commune des fenêtres : les polices livrées avec le programme, les textes de Qt en
// français et le fond blanc. Les fenêtres sont les mêmes sur toutes les machines, quelles que
// soient les polices qui y sont installées.

#include <QFont>
#include <QString>
#include <QWidget>

// Les deux familles livrées dans les ressources : une linéale en romain, gras et italique (le
// rôle de « MS Sans Serif » et des boutons « ... »), une décorative pour les boutons, les
// rangées d'options, le résumé de l'analyse et le titre de la bannière.
inline const QString FamilleSansSerif = QStringLiteral("Arimo");
inline const QString FamilleDecorative = QStringLiteral("Comic Neue");

// À appeler une fois, juste après la création de QApplication : enregistre les polices des
// ressources, en fait la police par défaut de toutes les fenêtres (menus, arbres, champs, boîtes
// de message et dialogues de Qt compris), installe les traductions françaises de Qt et retire à
// Qt tout fichier de réglages (InterdireReglagesQt). Faux si une police ou la traduction manque
// aux ressources (construction incomplète).
bool PreparerApparence();

// Une police livrée, à la taille en points d'un écran à 96 points par pouce (15 twips par
// pixel) : les textes gardent leurs proportions avec les positions des contrôles, quel que soit
// le réglage de l'écran.
QFont PoliceLivree(const QString& famille, qreal points, bool gras = false, bool italique = false);

inline QFont PoliceDecorative(qreal points, bool gras) {
    return PoliceLivree(FamilleDecorative, points, gras);
}

inline QFont PoliceSansSerif(qreal points, bool gras = false, bool italique = false) {
    return PoliceLivree(FamilleSansSerif, points, gras, italique);
}

// Fond blanc pour la fenêtre et les contrôles qui laissent voir son fond.
void PoserFondBlanc(QWidget* fenetre);
