// vek-bench-fenetre : les trois passes lancées depuis la vraie fenêtre principale, hors écran,
// sur un grand journal (celui que fabrique bench/bench.sh dans bench/donnees/), contre la même
// recherche par la ligne de commande.
//
//   vek-bench-fenetre JOURNAL VEK_EXTRAIRE [--debut JJ/MM/AAAA] [--fin JJ/MM/AAAA] [--essais N]
//
// Mesures (meilleure de N, défaut 3, fichier en cache, sans extrait précédent à remplacer) :
//   - durée de « vek-extraire --catalogue -q » et durée de la recherche lancée par boutonRecherche,
//     jusqu'aux arbres remplis, en alternance ; cible : la fenêtre en 1,1 fois le temps de la
//     ligne de commande au plus ;
//   - pendant l'analyse, la recherche et l'écriture du journal final, avec un menu ouvert au
//     milieu de la passe, le plus grand écart entre deux peintures de la fenêtre principale (on
//     lui en demande une toutes les 10 ms) ; cible : 50 ms.
// Code de sortie : 0 si les cibles sont tenues, 1 sinon, 2 pour une erreur d'usage.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include <unistd.h>

#include "Apparence.h"
#include "FrmAnalyse.h"
#include "FrmPrincipal.h"
#include "Lanceur.h"

namespace {

using Horloge = std::chrono::steady_clock;

class LanceurMuet final : public vek::LanceurDocument {
public:
    bool OuvrirDocument(const std::string&) override { return true; }
};

// Note l'instant de chaque peinture de la fenêtre principale.
class Peintures final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* evenement) override {
        if (active && evenement->type() == QEvent::Paint)
            instants.push_back(Horloge::now());
        return false;
    }
    std::vector<Horloge::time_point> instants;
    bool active = false;
};

double Ms(Horloge::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void MettreEnCache(const QString& chemin) {
    std::ifstream f(chemin.toStdString(), std::ios::binary);
    std::vector<char> tampon(1 << 20);
    while (f.read(tampon.data(), static_cast<std::streamsize>(tampon.size())))
        ;
}

struct Mesure {
    double ms = 0;
    double ecartMax = 0; // entre deux peintures de la fenêtre principale
    std::size_t peintures = 0;
    bool menuOuvert = false; // le menu s'est ouvert pendant la passe
};

// Lance une passe et attend sa fin. Avec peinture : ouvre le menu « Menu » 100 ms plus tard et
// demande une peinture de la fenêtre toutes les 10 ms ; sans, la fenêtre reste au repos (la
// durée de la passe se compare alors à la ligne de commande).
Mesure MesurerPasse(FrmPrincipal& fenetre, const std::function<void()>& lancer,
                    bool peinture = true) {
    Peintures peintures;
    QWidget* fond = fenetre.centralWidget();
    fond->installEventFilter(&peintures);
    QTimer rafraichir;
    QObject::connect(&rafraichir, &QTimer::timeout, fond, [fond] { fond->update(); });
    if (peinture)
        rafraichir.start(10);
    QMenu* menu = fenetre.findChild<QMenu*>(QStringLiteral("menuPrincipal"));
    Mesure m;
    QTimer::singleShot(100, &fenetre, [&] {
        if (!peinture || !fenetre.PasseEnCours())
            return;
        menu->popup(fenetre.mapToGlobal(QPoint(10, 10)));
        m.menuOuvert = true;
    });
    peintures.active = true;
    const auto t0 = Horloge::now();
    lancer();
    while (fenetre.PasseEnCours())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const auto t1 = Horloge::now();
    peintures.active = false;
    rafraichir.stop();
    menu->close();
    fond->removeEventFilter(&peintures);
    QApplication::processEvents();

    m.ms = Ms(t1 - t0);
    m.peintures = peintures.instants.size();
    auto precedent = t0;
    for (const auto instant : peintures.instants) {
        m.ecartMax = std::max(m.ecartMax, Ms(instant - precedent));
        precedent = instant;
    }
    m.ecartMax = std::max(m.ecartMax, Ms(t1 - precedent));
    return m;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PreparerApparence();
    QStringList args = QApplication::arguments();
    args.removeFirst();
    QString debut = QStringLiteral("01/12/2001");
    QString fin = QStringLiteral("31/12/2001");
    int essais = 3;
    QStringList positionnels;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == "--debut" && i + 1 < args.size())
            debut = args[++i];
        else if (args[i] == "--fin" && i + 1 < args.size())
            fin = args[++i];
        else if (args[i] == "--essais" && i + 1 < args.size())
            essais = std::max(1, args[++i].toInt());
        else
            positionnels << args[i];
    }
    if (positionnels.size() != 2) {
        std::fprintf(stderr, "usage : vek-bench-fenetre JOURNAL VEK_EXTRAIRE [--debut JJ/MM/AAAA] "
                             "[--fin JJ/MM/AAAA] [--essais N]\n");
        return 2;
    }
    const QString journal = positionnels[0];
    const QString extraire = positionnels[1];

    QTemporaryDir dossierLigne;
    QTemporaryDir dossierFenetre;
    LanceurMuet lanceur;
    FrmPrincipal fenetre(lanceur, dossierFenetre.path().toStdString());
    QString echec;
    fenetre.DefinirAfficheurMessage(
        [&](QWidget*, const QString& texte, const QString&, vek::Icone) { echec = texte; });
    fenetre.DefinirTerminaison([] {});
    fenetre.show();
    auto* recherche = fenetre.findChild<QPushButton*>(QStringLiteral("boutonRecherche"));
    auto* creer = fenetre.findChild<QPushButton*>(QStringLiteral("boutonCreerLog"));
    QApplication::processEvents();

    MettreEnCache(journal);
    // Les dates de la période, comme l'analyse les aurait écrites.
    fenetre.findChild<QLineEdit*>(QStringLiteral("cheminJournal"))->setText(journal);
    fenetre.findChild<QLineEdit*>(QStringLiteral("dateDebut"))->setText(debut);
    fenetre.findChild<QLineEdit*>(QStringLiteral("dateFin"))->setText(fin);
    QApplication::processEvents();

    // 1. La recherche, en alternance avec la ligne de commande, chacune sans extrait précédent
    //    à remplacer et sans écriture en attente de l'autre ; la fenêtre au repos.
    std::vector<double> ligne;
    std::vector<Mesure> recherchesSeules;
    for (int essai = 0; essai < essais; ++essai) {
        QFile::remove(dossierLigne.filePath(QStringLiteral("LogVEKtemp.txt")));
        QFile::remove(dossierFenetre.filePath(QStringLiteral("LogVEKtemp.txt")));
        ::sync();
        QProcess processus;
        processus.setStandardOutputFile(QProcess::nullDevice());
        const auto t0 = Horloge::now();
        processus.start(extraire, {"--catalogue", "-q", "--debut", debut, "--fin", fin, "--dossier",
                                   dossierLigne.path(), journal});
        if (!processus.waitForFinished(-1) || processus.exitCode() != 0) {
            std::fprintf(stderr, "vek-bench-fenetre : échec de %s : %s\n", qPrintable(extraire),
                         processus.readAllStandardError().constData());
            return 1;
        }
        ligne.push_back(Ms(Horloge::now() - t0));
        ::sync();
        recherchesSeules.push_back(MesurerPasse(
            fenetre, [&] { recherche->click(); }, false));
    }

    // 2. Les trois passes, un menu ouvert au milieu de chacune.
    std::vector<Mesure> analyses, recherches, ecritures;
    for (int essai = 0; essai < essais; ++essai) {
        QFile::remove(dossierFenetre.filePath(QStringLiteral("LogVEKtemp.txt")));
        ::sync();
        analyses.push_back(MesurerPasse(fenetre, [&] { fenetre.OuvrirJournal(journal); }));
        for (FrmAnalyse* resume : fenetre.FenetresAnalyse())
            resume->close();
        fenetre.findChild<QLineEdit*>(QStringLiteral("dateDebut"))->setText(debut);
        fenetre.findChild<QLineEdit*>(QStringLiteral("dateFin"))->setText(fin);
        recherches.push_back(MesurerPasse(fenetre, [&] { recherche->click(); }));
        for (const char* nom : {"caseTousLesChannels", "caseToutLeMonde"})
            fenetre.findChild<QCheckBox*>(QString::fromLatin1(nom))->click();
        ::sync();
        ecritures.push_back(MesurerPasse(fenetre, [&] { creer->click(); }));
        if (!echec.isEmpty()) {
            std::fprintf(stderr, "vek-bench-fenetre : %s\n", qPrintable(echec));
            return 1;
        }
    }

    auto meilleure = [](const std::vector<Mesure>& v) {
        return *std::min_element(v.begin(), v.end(),
                                 [](const Mesure& a, const Mesure& b) { return a.ms < b.ms; });
    };
    auto ecartMax = [](const std::vector<Mesure>& v) {
        double e = 0;
        for (const Mesure& m : v)
            e = std::max(e, m.ecartMax);
        return e;
    };
    auto menus = [](const std::vector<Mesure>& v) {
        return std::all_of(v.begin(), v.end(), [](const Mesure& m) { return m.menuOuvert; });
    };
    const double meilleureLigne = *std::min_element(ligne.begin(), ligne.end());
    const Mesure rechercheMeilleure = meilleure(recherchesSeules);
    const double rapport = meilleureLigne > 0 ? rechercheMeilleure.ms / meilleureLigne : 0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    const QString lignes = fenetre.findChild<QLabel*>(QStringLiteral("compteurLignes"))->text();
    const int noms =
        fenetre.findChild<QTreeWidget*>(QStringLiteral("arbreNoms"))->topLevelItemCount();
    bool ok = rapport <= 1.1;
    std::printf("Journal : %s (%s lignes, %d locuteurs dans la période)\n", qPrintable(journal),
                qPrintable(lignes), noms);
    std::printf("Meilleure de %d mesures, fichier en cache.\n\n", essais);
    std::printf("vek-extraire --catalogue -q        %8.0f ms\n", meilleureLigne);
    std::printf("FrmPrincipal, recherche au repos   %8.0f ms   × %.2f   (cible ≤ 1,1) %s\n",
                rechercheMeilleure.ms, rapport, rapport <= 1.1 ? "OK" : "KO");
    std::printf("\nPlus grand écart entre deux peintures, menu ouvert en cours de passe "
                "(cible ≤ 50 ms) :\n");
    const std::pair<const char*, const std::vector<Mesure>*> passes[] = {
        {"analyse", &analyses}, {"recherche", &recherches}, {"journal final", &ecritures}};
    for (const auto& [nom, mesures] : passes) {
        const double e = ecartMax(*mesures);
        const bool passeOk = e <= 50.0;
        ok = ok && passeOk;
        std::printf("  %-14s %8.1f ms   (passe : %.0f ms, %zu peintures%s) %s\n", nom, e,
                    meilleure(*mesures).ms, meilleure(*mesures).peintures,
                    menus(*mesures) ? ", menu ouvert" : ", passe trop courte pour le menu",
                    passeOk ? "OK" : "KO");
    }
    std::printf("\nMémoire de pointe du processus     %8.1f Mio\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return ok ? 0 : 1;
}
