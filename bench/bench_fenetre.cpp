// vek-bench-fenetre : la recherche lancée depuis la vraie fenêtre principale, hors écran, contre
// la même recherche par la ligne de commande, sur un grand journal (celui que fabrique
// bench/bench.sh dans bench/donnees/).
//
//   vek-bench-fenetre JOURNAL VEK_EXTRAIRE [--debut JJ/MM/AAAA] [--fin JJ/MM/AAAA] [--essais N]
//
// Mesures (meilleure de N, défaut 5, fichier en cache, les deux programmes en alternance, chacun
// sans extrait précédent à remplacer) :
//   - durée de « vek-extraire --catalogue -q » et durée du clic sur CmdRecherche ; cible : la
//     fenêtre en 1,1 fois le temps de la ligne de commande au plus ;
//   - pendant la passe principale, le plus grand écart entre deux passages de la boucle
//     d'événements (une sonde se redépose un événement à chaque passage) ; cible : 50 ms.
// Code de sortie : 0 si les deux cibles sont tenues, 1 sinon, 2 pour une erreur d'usage.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "Apparence.h"
#include "FrmPrincipal.h"
#include "Lanceur.h"

namespace {

using Horloge = std::chrono::steady_clock;

class LanceurMuet final : public vek::LanceurDocument {
public:
    std::int16_t OuvrirDocument(const std::string&) override { return 42; }
};

// Note l'instant de chaque passage de la boucle d'événements : chaque événement reçu en redépose
// un, traité au passage suivant.
class Sonde final : public QObject {
public:
    void Armer() {
        passages.clear();
        active = true;
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }
    void Desarmer() {
        active = false;
        QCoreApplication::sendPostedEvents(this, QEvent::User);
    }
    bool event(QEvent* evenement) override {
        if (evenement->type() != QEvent::User)
            return QObject::event(evenement);
        if (active) {
            passages.push_back(Horloge::now());
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        }
        return true;
    }
    std::vector<Horloge::time_point> passages;
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
    double ecartMax = 0; // entre deux passages de la boucle d'événements
    double ecartFin = 0; // du dernier passage à la fin du clic (arbres compris)
    std::size_t passages = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PreparerApparence();
    QStringList args = QApplication::arguments();
    args.removeFirst();
    QString debut = QStringLiteral("01/12/2001");
    QString fin = QStringLiteral("31/12/2001");
    int essais = 5;
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
    fenetre.findChild<QLineEdit*>(QStringLiteral("TxtCheminFichierLOg"))->setText(journal);
    fenetre.findChild<QLineEdit*>(QStringLiteral("TxTDateDeb"))->setText(debut);
    fenetre.findChild<QLineEdit*>(QStringLiteral("TxTDateFin"))->setText(fin);
    auto* recherche = fenetre.findChild<QPushButton*>(QStringLiteral("CmdRecherche"));
    QApplication::processEvents();

    MettreEnCache(journal);
    std::vector<double> ligne;
    std::vector<Mesure> fenetres;
    Sonde sonde;
    for (int essai = 0; essai < essais; ++essai) {
        // Chaque recherche part du même état : l'extrait précédent (aussi gros que la période)
        // est supprimé hors mesure, des deux côtés.
        QFile::remove(dossierLigne.filePath(QStringLiteral("LogVEKtemp.txt")));
        QFile::remove(dossierFenetre.filePath(QStringLiteral("LogVEKtemp.txt")));
        // Les écritures de la mesure précédente partent sur le disque avant la suivante, pour
        // qu'aucune des deux ne paie celles de l'autre.
        ::sync();

        // La ligne de commande.
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

        // La fenêtre.
        ::sync();
        sonde.Armer();
        const auto t1 = Horloge::now();
        recherche->click();
        // La passe tourne sur un fil de travail ; la fenêtre vit pendant ce temps.
        while (fenetre.PasseEnCours())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const auto t2 = Horloge::now();
        sonde.Desarmer();
        if (!echec.isEmpty()) {
            std::fprintf(stderr, "vek-bench-fenetre : %s\n", qPrintable(echec));
            return 1;
        }
        Mesure m;
        m.ms = Ms(t2 - t1);
        m.passages = sonde.passages.size();
        for (std::size_t i = 1; i < sonde.passages.size(); ++i)
            m.ecartMax = std::max(m.ecartMax, Ms(sonde.passages[i] - sonde.passages[i - 1]));
        if (!sonde.passages.empty())
            m.ecartFin = Ms(t2 - sonde.passages.back());
        fenetres.push_back(m);
        QApplication::processEvents();
    }

    const double meilleureLigne = *std::min_element(ligne.begin(), ligne.end());
    const Mesure meilleure =
        *std::min_element(fenetres.begin(), fenetres.end(),
                          [](const Mesure& a, const Mesure& b) { return a.ms < b.ms; });
    double ecartMax = 0;
    for (const Mesure& m : fenetres)
        ecartMax = std::max(ecartMax, m.ecartMax);
    const double rapport = meilleureLigne > 0 ? meilleure.ms / meilleureLigne : 0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    const QString lignes = fenetre.findChild<QLabel*>(QStringLiteral("LblCompteur"))->text();
    const int noms =
        fenetre.findChild<QTreeWidget*>(QStringLiteral("TreeViewNoms"))->topLevelItemCount();
    const bool rapportOk = rapport <= 1.1;
    const bool ecartOk = ecartMax <= 50.0;
    std::printf("Journal : %s (%s lignes, %d locuteurs dans la période)\n", qPrintable(journal),
                qPrintable(lignes), noms);
    std::printf("Meilleure de %d mesures, en alternance, fichier en cache.\n\n", essais);
    std::printf("vek-extraire --catalogue -q        %8.0f ms\n", meilleureLigne);
    std::printf("FrmPrincipal, clic CmdRecherche    %8.0f ms   × %.2f   (cible ≤ 1,1) %s\n",
                meilleure.ms, rapport, rapportOk ? "OK" : "KO");
    std::printf("Passages de la boucle d'événements %8zu      (meilleure mesure)\n",
                meilleure.passages);
    std::printf("Plus grand écart entre deux        %8.1f ms  (toutes mesures ; cible ≤ 50) %s\n",
                ecartMax, ecartOk ? "OK" : "KO");
    std::printf("Dernier passage → fin de la passe  %8.1f ms  (arbres remplis compris)\n",
                meilleure.ecartFin);
    std::printf("Mémoire de pointe du processus     %8.1f Mio\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return rapportOk && ecartOk ? 0 : 1;
}
