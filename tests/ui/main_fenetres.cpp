// Programme des tests de fenêtres : toujours hors écran, sans aucune police de la machine, avec
// un dossier personnel à lui, une seule QApplication pour tous, préparée comme celle du
// programme (polices livrées, textes de Qt en français, aucun réglage de Qt).

#include <gtest/gtest.h>

#include <QApplication>

#include "Apparence.h"
#include "EnvironnementDeTest.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vek::test::PreparerEnvironnementDeTest();
    QApplication application(argc, argv);
    if (!PreparerApparence()) {
        std::fprintf(stderr, "polices ou traduction absentes des ressources\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
