// VEK_Log : le programme à fenêtres. Il ouvre FrmPrincipal, sa seule fenêtre principale, et
// tourne jusqu'à « Quitter » ou la fermeture de sa dernière fenêtre.
//
//   VEK_Log [JOURNAL…]
//
// Un journal donné (« Ouvrir avec » du gestionnaire de fichiers) est pris comme s'il avait été
// choisi dans le dialogue d'ouverture : l'analyse part et remplit les dates. Plusieurs : le
// premier est ouvert, les autres ajoutés, et leur fusion est analysée.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "Apparence.h"
#include "Fichiers.h"
#include "FrmPrincipal.h"
#include "Images.h"
#include "Lanceur.h"
#include "Signaux.h"

int main(int argc, char* argv[]) {
    PreparerSignauxDeFin();
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
    // SIGTERM, SIGHUP (fin de session) : comme « Quitter », avec le code 128 + signal.
    QuitterSurSignal([&fenetre](int code) {
        fenetre.DefinirTerminaison([code] { QCoreApplication::exit(code); });
        fenetre.Quitter();
    });
    fenetre.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        // Plusieurs journaux : le premier ouvert, les autres ajoutés (leur fusion est analysée).
        QStringList journaux;
        for (const QString& argument : arguments.mid(1))
            journaux << QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath());
        QTimer::singleShot(0, &fenetre, [&fenetre, journaux] { fenetre.OuvrirJournaux(journaux); });
    }
    return QApplication::exec();
}
