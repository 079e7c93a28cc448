// FrmPrincipal : la fin du programme (« Quitter », SIGTERM, SIGHUP) et la fermeture de la
// fenêtre, qui arrête le suivi du journal sans terminer le programme quand aucune passe ne dure.

#include "FrmPrincipal.h"

#include <QCloseEvent>

#include "FrmAnalyse.h"
#include "SuiviJournal.h"

void FrmPrincipal::Quitter() {
    // Tout de suite : pas de question ; une passe en cours s'arrête à la ligne suivante, les
    // fenêtres de résumé disparaissent avec le programme.
    quitte_ = true;
    suivi_.reset();
    // La passe en cours s'arrête à sa ligne suivante ; on attend son fil, qui n'a plus rien
    // à faire que sortir.
    fil_.request_stop();
    if (fil_.joinable())
        fil_.join();
    passeEnCours_ = false;
    Sablier(false);
    for (const QPointer<FrmAnalyse>& fenetre : analyses_)
        if (fenetre)
            fenetre->close();
    hide();
    if (terminer_)
        terminer_();
}

void FrmPrincipal::closeEvent(QCloseEvent* evenement) {
    // Fermer la fenêtre pendant une passe termine le programme ; sinon le programme vit tant
    // qu'une de ses fenêtres reste ouverte. Un regard du suivi n'est pas une passe : qu'il tourne
    // à cet instant ou non, le suivi s'arrête et sa vue se ferme (rien ne continue, invisible,
    // derrière une fenêtre cachée) ; ce que le regard trouve ensuite n'est pas montré.
    if (passeEnCours_ && !passeDiscrete_ && !quitte_)
        Quitter();
    else if (!quitte_)
        ArreterSuivi();
    evenement->accept();
}
