#include "Images.h"

#include <QBitmap>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>

#include <array>

// Les ressources d'une bibliothèque statique s'enregistrent explicitement.
static void EnregistrerRessources() {
    static const bool fait = [] {
        Q_INIT_RESOURCE(fenetres);
        return true;
    }();
    (void)fait;
}

QPixmap ImageSvg(const QString& nom, QSize taille) {
    EnregistrerRessources();
    QPixmap image(taille);
    image.fill(Qt::transparent);
    QSvgRenderer rendu(QStringLiteral(":/fenetres/") + nom);
    QPainter peintre(&image);
    rendu.render(&peintre);
    return image;
}

QIcon IconeProgramme() {
    QIcon icone;
    for (const int taille : {16, 32, 48, 64})
        icone.addPixmap(ImageSvg(QStringLiteral("vek-log.svg"), QSize(taille, taille)));
    return icone;
}

void PoserImage(QLabel* label, const QString& nom) {
    label->setPixmap(ImageSvg(nom, label->size()));
}

QCursor CurseurMain() {
    // « # » noir, « . » blanc, espace transparent. Le bout de l'index est en haut, colonne 5.
    static constexpr std::array<const char*, 22> dessin = {
        "     ##",           "    #..#",          "    #..#",          "    #..#",
        "    #..#",          "    #..###",        "    #..#..###",     "    #..#..#..##",
        "    #..#..#..#.#",  " ## #..#..#..#..#", "#..##...........#", "#...#...........#",
        " #..............#", "  #.............#", "  #.............#", "   #............#",
        "   #...........#",  "    #..........#",  "    #.........#",   "     #........#",
        "     #........#",   "     ##########",
    };
    QImage traits(32, 32, QImage::Format_Mono);
    QImage masque(32, 32, QImage::Format_Mono);
    // Indice 0 blanc (bit à 0), indice 1 noir (bit à 1), comme QBitmap les attend.
    const QList<QRgb> couleurs = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    traits.setColorTable(couleurs);
    masque.setColorTable(couleurs);
    traits.fill(0);
    masque.fill(0);
    for (int y = 0; y < static_cast<int>(dessin.size()); ++y) {
        const char* ligne = dessin[static_cast<std::size_t>(y)];
        for (int x = 0; ligne[x] != '\0' && x < 32; ++x) {
            if (ligne[x] == ' ')
                continue;
            masque.setPixel(x, y, 1);
            traits.setPixel(x, y, ligne[x] == '#' ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(traits), QBitmap::fromImage(masque), 5, 0);
}
