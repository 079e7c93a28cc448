// vek-essai-fenetre-coupure JOURNAL DOSSIER AJOUT : la vraie fenêtre principale, hors écran, sur
// la route de l'utilisateur qui suit sa partie. Le journal est ouvert, la recherche lancée du
// 24/12/2001 au 25/12/2001, tout coché, « Suivre le journal » ouvre la vue « En direct » ; le jeu
// ajoute au journal les octets d'AJOUT, que la vue montre ; puis « Créer le fichier log » pendant
// le suivi. La veille du journal est celle du programme d'essai : elle se réveille quand il
// écrit, rien ne dépend du temps. Code 0 si la vue a montré les lignes ajoutées et que
// LogFinal.txt les contient.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <condition_variable>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>

#include "Apparence.h"
#include "FrmAnalyse.h"
#include "FrmEnDirect.h"
#include "FrmPrincipal.h"
#include "Lanceur.h"
#include "VeilleFichier.h"

namespace {

class LanceurMuet final : public vek::LanceurDocument {
public:
    bool OuvrirDocument(const std::string&) override { return true; }
};

// Se réveille à chaque écriture du programme d'essai (et quand le suivi s'arrête).
class VeilleEssai final : public vek::Veille {
public:
    static inline std::mutex m;
    static inline std::condition_variable cv;
    static inline int ecritures = 0;
    bool Attendre(std::chrono::milliseconds) override {
        std::unique_lock verrou(m);
        cv.wait(verrou, [this] { return ecritures > vues_ || reveil_; });
        reveil_ = false;
        const bool change = ecritures > vues_;
        vues_ = ecritures;
        return change;
    }
    void Reveiller() override {
        const std::lock_guard verrou(m);
        reveil_ = true;
        cv.notify_all();
    }
    bool SignaleLaCroissance() const override { return true; }
    static void Signaler() {
        const std::lock_guard verrou(m);
        ++ecritures;
        cv.notify_all();
    }

private:
    int vues_ = 0;
    bool reveil_ = false;
};

bool Attendre(const std::function<bool()>& condition) {
    for (int i = 0; i < 60000 && !condition(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    return condition();
}

template <class T> T* Controle(FrmPrincipal& f, const char* nom) {
    return f.findChild<T*>(QString::fromLatin1(nom));
}

// La route de l'utilisateur ; faux (après un message) si une étape ne se fait pas.
bool Suivre(FrmPrincipal& fenetre, const std::string& journal, const std::string& ajout) {
    const auto passeFinie = [&] { return !fenetre.PasseEnCours(); };
    fenetre.OuvrirJournal(QString::fromStdString(journal));
    Attendre(passeFinie);
    for (FrmAnalyse* resume : fenetre.FenetresAnalyse())
        resume->close();
    Controle<QLineEdit>(fenetre, "dateDebut")->setText("24/12/2001");
    Controle<QLineEdit>(fenetre, "dateFin")->setText("25/12/2001");
    Controle<QPushButton>(fenetre, "boutonRecherche")->click();
    Attendre(passeFinie);
    for (const char* nom : {"caseTousLesChannels", "caseToutLeMonde"})
        Controle<QCheckBox>(fenetre, nom)->click();
    Controle<QCheckBox>(fenetre, "caseSuivre")->setChecked(true);
    FrmEnDirect* vue = fenetre.EnDirect();
    if (!vue || !Attendre([&] { return vue->Regards() >= 1 && passeFinie(); })) {
        std::cerr << "le suivi ne commence pas\n";
        return false;
    }
    std::ofstream(journal, std::ios::binary | std::ios::app) << ajout;
    VeilleEssai::Signaler();
    if (!Attendre([&] { return vue->Regards() >= 2 && passeFinie(); }) || vue->Lignes().isEmpty()) {
        std::cerr << "la vue « En direct » ne montre pas les lignes ajoutées\n";
        return false;
    }
    Controle<QPushButton>(fenetre, "boutonCreerLog")->click();
    return Attendre(passeFinie);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 4 || !PreparerApparence()) {
        std::cerr << "usage : vek-essai-fenetre-coupure JOURNAL DOSSIER AJOUT\n";
        return 2;
    }
    std::ifstream f(argv[3], std::ios::binary);
    const std::string ajout{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    LanceurMuet lanceur;
    FrmPrincipal fenetre(lanceur, argv[2]);
    fenetre.DefinirAfficheurMessage([](QWidget*, const QString& texte, const QString&, vek::Icone) {
        std::cerr << "message : " << texte.toStdString() << '\n';
    });
    fenetre.DefinirVeille([](const std::string&) { return std::make_unique<VeilleEssai>(); });
    fenetre.show();
    if (!Suivre(fenetre, argv[1], ajout))
        return 1;
    std::ifstream final(fenetre.Moteur().CheminSortie(vek::NomLogFinal), std::ios::binary);
    const std::string texte{std::istreambuf_iterator<char>(final),
                            std::istreambuf_iterator<char>()};
    const std::string derniere = ajout.substr(ajout.rfind("message"), 11);
    if (texte.find(derniere) == std::string::npos) {
        std::cerr << "LogFinal.txt n'a pas les lignes ajoutées (« " << derniere << " »)\n";
        return 1;
    }
    return 0;
}
