#include "Images.h"

#include <QBitmap>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLinearGradient>

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

namespace {

// Redessine la bannière à chaque changement de hauteur de son label.
class Banniere final : public QObject {
public:
    explicit Banniere(QLabel* label) : QObject(label), label_(label) {
        label->installEventFilter(this);
        Poser();
    }

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (objet == label_ && evenement->type() == QEvent::Resize)
            Poser();
        return QObject::eventFilter(objet, evenement);
    }

private:
    static constexpr QSize Dessin{750, 114};
    void Poser() {
        const int hauteur = label_->height();
        if (hauteur <= 0 || hauteur == hauteur_)
            return;
        hauteur_ = hauteur;
        const int largeur =
            static_cast<int>(std::lround(double(Dessin.width()) * hauteur / Dessin.height()));
        label_->setPixmap(ImageDessin(QStringLiteral("banniere.svg"), QSize(largeur, hauteur),
                                      label_->devicePixelRatioF()));
    }
    QLabel* label_;
    int hauteur_ = 0;
};

} // namespace

void PoserBanniere(QLabel* label) {
    // Au-delà du dessin, le ciel de celui-ci (les mêmes couleurs, du haut vers le bas).
    QLinearGradient ciel(0, 0, 0, 1);
    ciel.setCoordinateMode(QGradient::ObjectMode);
    ciel.setColorAt(0, QColor(0x0B, 0x10, 0x30));
    ciel.setColorAt(0.7, QColor(0x23, 0x28, 0x5A));
    ciel.setColorAt(1, QColor(0x3A, 0x2F, 0x5C));
    QPalette palette = label->palette();
    palette.setBrush(QPalette::Window, ciel);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    new Banniere(label);
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
