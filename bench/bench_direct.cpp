// vek-bench-direct : la vraie fenêtre principale, hors écran, qui suit un journal (« Suivre le
// journal », tout coché) ; chaque ligne que la vue « En direct » montre est écrite sur la sortie
// avec l'instant où elle l'a été (horloge monotone, en nanosecondes), pour qu'un écrivain à part
// (bench/bench_direct.py) mesure le délai de son ajout à sa vue.
//
//   QT_QPA_PLATFORM=offscreen vek-bench-direct JOURNAL JJ/MM/AAAA JJ/MM/AAAA
//
// Sortie : « pret » une fois le suivi lancé, puis « vue NANOSECONDES TEXTE » par ligne montrée.
// Tourne jusqu'à SIGTERM.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>

#include <chrono>
#include <cstdio>

#include "Apparence.h"
#include "FrmAnalyse.h"
#include "FrmEnDirect.h"
#include "FrmPrincipal.h"
#include "Lanceur.h"

namespace {

class LanceurMuet final : public vek::LanceurDocument {
public:
    bool OuvrirDocument(const std::string&) override { return true; }
};

void AttendrePasse(FrmPrincipal& fenetre) {
    while (fenetre.PasseEnCours())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 4 || !PreparerApparence()) {
        std::fprintf(stderr, "usage : vek-bench-direct JOURNAL JJ/MM/AAAA JJ/MM/AAAA\n");
        return 2;
    }
    QTemporaryDir dossier;
    LanceurMuet lanceur;
    FrmPrincipal fenetre(lanceur, dossier.path().toStdString());
    fenetre.DefinirAfficheurMessage([](QWidget*, const QString& texte, const QString&, vek::Icone) {
        std::fprintf(stderr, "message : %s\n", texte.toUtf8().constData());
    });
    fenetre.show();
    fenetre.OuvrirJournal(QString::fromLocal8Bit(argv[1]));
    AttendrePasse(fenetre);
    for (FrmAnalyse* resume : fenetre.FenetresAnalyse())
        resume->close();
    fenetre.findChild<QLineEdit*>(QStringLiteral("dateDebut"))->setText(argv[2]);
    fenetre.findChild<QLineEdit*>(QStringLiteral("dateFin"))->setText(argv[3]);
    fenetre.findChild<QPushButton*>(QStringLiteral("boutonRecherche"))->click();
    AttendrePasse(fenetre);
    for (const char* nom : {"caseTousLesChannels", "caseToutLeMonde"})
        fenetre.findChild<QCheckBox*>(QString::fromLatin1(nom))->click();
    fenetre.findChild<QCheckBox*>(QStringLiteral("caseSuivre"))->setChecked(true);
    FrmEnDirect* vue = fenetre.EnDirect();
    if (!vue)
        return 1;
    QObject::connect(vue, &FrmEnDirect::Regarde, vue, [vue](int lignes) {
        const auto t = std::chrono::steady_clock::now().time_since_epoch();
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(t).count();
        QTextBlock bloc = vue->Vue()->document()->lastBlock();
        QStringList textes;
        for (int i = 0; i < lignes && bloc.isValid(); ++i, bloc = bloc.previous())
            textes.prepend(bloc.text());
        for (const QString& texte : textes)
            std::printf("vue %lld %s\n", static_cast<long long>(ns), texte.toUtf8().constData());
        std::fflush(stdout);
    });
    AttendrePasse(fenetre);
    std::printf("pret\n");
    std::fflush(stdout);
    return QApplication::exec();
}
