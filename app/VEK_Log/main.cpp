// VEK_Log : le programme à fenêtres. Il ouvre FrmPrincipal, sa seule fenêtre principale, et
// tourne jusqu'à « Quitter » ou la fermeture de sa dernière fenêtre. Aucun argument n'est lu.

#include <QApplication>

#include "Apparence.h"
#include "Fichiers.h"
#include "FrmPrincipal.h"
#include "Images.h"
#include "Lanceur.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Polices livrées et textes de Qt en français : une ressource manquante n'empêche pas de
    // travailler, les fenêtres prennent alors les polices de la machine.
    PreparerApparence();
    QApplication::setWindowIcon(IconeProgramme());

    vek::LanceurSysteme lanceur;
    // Le dossier du programme, ou le dossier personnel quand celui-ci n'est pas accessible en
    // écriture : la fenêtre le dit alors après chaque journal final.
    const std::string dossier = vek::RepertoireProgramme();
    FrmPrincipal fenetre(lanceur, dossier);
    fenetre.DefinirDossierDeSecours(dossier != vek::RepertoireExecutable());
    fenetre.show();
    return QApplication::exec();
}
