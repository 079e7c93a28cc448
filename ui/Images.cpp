#include "Images.h"

#include <QBitmap>
#include <QFileInfo>
#include <QLabel>

#include <array>
#include <cmath>

namespace {

// Le PNG rendu d'un dessin : « :/fenetres/banniere.png », ou « banniere@2x.png » au-delà de 1×.
QPixmap ChargerRendu(const QString& nom, bool double_densite) {
    const QString base = QStringLiteral(":/fenetres/") + QFileInfo(nom).completeBaseName();
    QPixmap image;
    if (double_densite)
        image.load(base + QStringLiteral("@2x.png"), "PNG");
    if (image.isNull())
        image.load(base + QStringLiteral(".png"), "PNG");
    return image;
}

} // namespace

QPixmap ImageDessin(const QString& nom, QSize taille, qreal densite) {
    if (densite <= 0)
        densite = 1.0;
    QPixmap image = ChargerRendu(nom, densite > 1.0);
    if (image.isNull() || taille.isEmpty())
        return image;
    const QSize pixels(static_cast<int>(std::lround(taille.width() * densite)),
                       static_cast<int>(std::lround(taille.height() * densite)));
    if (image.size() != pixels)
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(densite);
    return image;
}

QIcon IconeProgramme() {
    QIcon icone;
    for (const int taille : {16, 32, 48, 64, 128, 256})
        icone.addFile(QStringLiteral(":/fenetres/vek-log-%1.png").arg(taille),
                      QSize(taille, taille));
    return icone;
}

void PoserImage(QLabel* label, const QString& nom) {
    label->setPixmap(ImageDessin(nom, label->size(), label->devicePixelRatioF()));
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
