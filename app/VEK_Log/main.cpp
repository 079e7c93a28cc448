// VEK_Log : le programme à fenêtres. Il ouvre FrmPrincipal, sa seule fenêtre principale, et
// tourne jusqu'à « Quitter » ou la fermeture de sa dernière fenêtre. Aucun argument n'est lu.

#include <QApplication>

#include "Fichiers.h"
#include "FrmPrincipal.h"
#include "Images.h"
#include "Lanceur.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(IconeProgramme());

    vek::LanceurSysteme lanceur;
    FrmPrincipal fenetre(lanceur, vek::RepertoireProgramme());
    fenetre.show();
    return QApplication::exec();
}
