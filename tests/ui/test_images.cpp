// Les dessins du projet, rendus en PNG à la construction : chacun existe à 1× et 2×, arrive à la
// taille demandée pour chaque densité d'écran, garde ses couleurs, et la version 2× est bien un
// rendu plus fin (pas la 1× agrandie). L'icône existe à toutes ses tailles.

#include <gtest/gtest.h>

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <cmath>
#include <string>

#include "Images.h"
#include "OutilsFenetre.h"

namespace vek::test {
namespace {

struct Dessin {
    const char* cas;
    const char* nom;
    QSize taille; // celle du dessin, en pixels logiques
};

const Dessin kDessins[] = {
    {"Banniere", "banniere.svg", {750, 114}},
    {"Ornement", "ornement.svg", {314, 16}},
    {"DegradeVertical", "degrade-vertical.svg", {5, 278}},
    {"DegradeHorizontal", "degrade-horizontal.svg", {278, 5}},
    {"Icone", "vek-log.svg", {32, 32}},
};

int PixelsOpaques(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return n;
}

class ImagesDessinees : public ::testing::TestWithParam<Dessin> {};

TEST_P(ImagesDessinees, ArriveALaTailleDemandeePourChaqueDensite) {
    const Dessin& d = GetParam();
    const QString nom = QString::fromLatin1(d.nom);
    for (const qreal densite : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        for (const QSize taille : {d.taille, d.taille / 2 + QSize(1, 1)}) {
            const QPixmap image = ImageDessin(nom, taille, densite);
            ASSERT_FALSE(image.isNull()) << d.nom << " à " << densite;
            EXPECT_EQ(image.deviceIndependentSize().toSize(), taille) << d.nom << " à " << densite;
            EXPECT_EQ(image.devicePixelRatio(), densite);
            EXPECT_EQ(image.width(), static_cast<int>(std::lround(taille.width() * densite)));
            EXPECT_GT(PixelsOpaques(image.toImage()), 0) << d.nom << " est vide";
        }
    }
}

TEST_P(ImagesDessinees, La2xEstUnRenduPlusFinQueLa1xAgrandie) {
    const Dessin& d = GetParam();
    const QString nom = QString::fromLatin1(d.nom);
    const QImage fine =
        ImageDessin(nom, d.taille, 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage agrandie = ImageDessin(nom, d.taille, 1.0)
                                .toImage()
                                .scaled(d.taille * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(fine.size(), agrandie.size());
    if (std::string(d.cas).rfind("Degrade", 0) == 0)
        GTEST_SKIP() << "un dégradé sans bord est le même à toute densité";
    EXPECT_NE(fine, agrandie) << d.nom << " : la 2× n'est que la 1× agrandie";
}

INSTANTIATE_TEST_SUITE_P(Dessins, ImagesDessinees, ::testing::ValuesIn(kDessins),
                         [](const auto& cas) { return std::string(cas.param.cas); });

TEST(Images, LesDegradesVontDuBlancAuBleuNuitEtReviennent) {
    const QImage v = ImageDessin(QStringLiteral("degrade-vertical.svg"), QSize(5, 278)).toImage();
    const QImage h = ImageDessin(QStringLiteral("degrade-horizontal.svg"), QSize(278, 5)).toImage();
    const QColor bleuNuit(0x23, 0x28, 0x5A);
    auto proche = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                   std::abs(a.blue() - b.blue()) <=
               12;
    };
    EXPECT_TRUE(proche(v.pixelColor(2, 139), bleuNuit))
        << v.pixelColor(2, 139).name().toStdString();
    EXPECT_TRUE(proche(h.pixelColor(139, 2), bleuNuit))
        << h.pixelColor(139, 2).name().toStdString();
    for (const QColor bord : {v.pixelColor(2, 0), v.pixelColor(2, 277), h.pixelColor(0, 2)})
        EXPECT_TRUE(proche(bord, Qt::white)) << bord.name().toStdString();
}

TEST(Images, UnDessinInconnuNeDonneRien) {
    EXPECT_TRUE(ImageDessin(QStringLiteral("absent.svg"), QSize(10, 10)).isNull());
    EXPECT_TRUE(ImageDessin(QString(), QSize(10, 10), 2.0).isNull());
}

TEST(Images, LIconeDuProgrammeExisteAToutesSesTailles) {
    const QIcon icone = IconeProgramme();
    for (const int n : {16, 32, 48, 64, 128, 256}) {
        const QPixmap p = icone.pixmap(QSize(n, n));
        ASSERT_FALSE(p.isNull()) << n;
        EXPECT_EQ(p.size(), QSize(n, n));
        // Rendue à sa taille, pas réduite depuis une plus grande : les traits tombent sur les
        // pixels, et le coin haut gauche reste transparent.
        EXPECT_EQ(qAlpha(p.toImage().pixel(0, 0)), 0) << n;
        EXPECT_GT(PixelsOpaques(p.toImage()), n * n / 4) << n;
    }
}

TEST_F(BancFenetre, LesLabelsDessinesPortentLeurImageALeurTaille) {
    for (const char* nom :
         {"banniere", "ornement", "bordureGauche", "bordureDroite", "bordureHaut", "bordureBas"}) {
        const QLabel* label = Controle<QLabel>(nom);
        const QPixmap image = label->pixmap();
        ASSERT_FALSE(image.isNull()) << nom;
        EXPECT_EQ(image.deviceIndependentSize().toSize(), label->size()) << nom;
    }
}

} // namespace
} // namespace vek::test
