// vek-capture : rend la fenêtre principale hors écran après une recherche sur un journal et
// l'écriture du journal final (la barre d'état dit où il est allé), et l'enregistre en PNG (la
// capture d'écran du README) ; en option, rend aussi la fenêtre de résumé de l'analyse
// (FrmAnalyse) de ce journal.
//
//   QT_QPA_PLATFORM=offscreen vek-capture JOURNAL SORTIE.png [ANALYSE.png [DOSSIER]]
//
// Le dossier du programme est DOSSIER (créé au besoin ; deux rendus avec le même DOSSIER
// montrent le même chemin), sinon un dossier temporaire ; aucun dialogue ni visualiseur ne
// s'ouvre.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

#include "Apparence.h"
#include "FrmAnalyse.h"
#include "FrmPrincipal.h"
#include "Lanceur.h"

namespace {

class LanceurMuet final : public vek::LanceurDocument {
public:
    bool OuvrirDocument(const std::string&) override { return true; }
};

// La route principale : choisir le journal (analyse, dont le résumé est rendu dans
// sortieAnalyse), lancer la recherche, cocher, écrire le journal final. Faux si elle échoue.
bool SuivreLaRoute(FrmPrincipal& fenetre, const QString& sortieAnalyse, const bool& echec) {
    // Les passes tournent sur un fil de travail : on attend que la fenêtre en ait montré la fin.
    auto attendre = [&fenetre] {
        while (fenetre.PasseEnCours())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
    };

    fenetre.findChild<QPushButton*>(QStringLiteral("boutonParcourir"))->click();
    attendre();
    for (FrmAnalyse* resume : fenetre.FenetresAnalyse()) {
        if (!sortieAnalyse.isEmpty() && !resume->grab().save(sortieAnalyse, "PNG")) {
            std::fprintf(stderr, "vek-capture : impossible d'écrire %s\n",
                         sortieAnalyse.toLocal8Bit().constData());
            return false;
        }
        resume->close();
    }
    auto* recherche = fenetre.findChild<QPushButton*>(QStringLiteral("boutonRecherche"));
    if (echec || !recherche->isEnabled()) {
        std::fprintf(stderr, "vek-capture : le journal n'a pas donné deux dates.\n");
        return false;
    }
    recherche->click();
    attendre();
    fenetre.findChild<QCheckBox*>(QStringLiteral("caseTousLesChannels"))->click();
    auto* noms = fenetre.findChild<QTreeWidget*>(QStringLiteral("arbreNoms"));
    for (int i = 0; i < noms->topLevelItemCount(); i += 2)
        noms->topLevelItem(i)->setCheckState(0, Qt::Checked);
    fenetre.findChild<QPushButton*>(QStringLiteral("boutonCreerLog"))->click();
    attendre();

    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (!PreparerApparence()) {
        std::fprintf(stderr, "vek-capture : polices ou traduction absentes des ressources\n");
        return 1;
    }
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3 || arguments.size() > 5) {
        std::fprintf(stderr, "usage : vek-capture JOURNAL SORTIE.png [ANALYSE.png [DOSSIER]]\n");
        return 2;
    }
    const QString journal = arguments.at(1);
    const QString sortie = arguments.at(2);
    const QString sortieAnalyse = arguments.size() >= 4 ? arguments.at(3) : QString();

    QTemporaryDir temporaire;
    const QString dossier = arguments.size() == 5 ? arguments.at(4) : temporaire.path();
    if (!QDir().mkpath(dossier)) {
        std::fprintf(stderr, "vek-capture : impossible de créer %s\n",
                     dossier.toLocal8Bit().constData());
        return 1;
    }
    LanceurMuet lanceur;
    FrmPrincipal fenetre(lanceur, QDir(dossier).absolutePath().toStdString());
    bool echec = false;
    fenetre.DefinirDialogueOuverture([&](QWidget*, const DemandeOuverture&) { return journal; });
    fenetre.DefinirAfficheurMessage(
        [&](QWidget*, const QString& texte, const QString&, vek::Icone) {
            std::fprintf(stderr, "%s\n", texte.toLocal8Bit().constData());
            echec = true;
        });
    fenetre.DefinirTerminaison([] {});
    fenetre.show();

    if (!SuivreLaRoute(fenetre, sortieAnalyse, echec))
        return 1;
    if (echec || !fenetre.grab().save(sortie, "PNG")) {
        std::fprintf(stderr, "vek-capture : impossible d'écrire %s\n",
                     sortie.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
