#include "RechercheDeMots.h"

#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#include "BarreEtat.h"
#include "ChampsDeDate.h"
#include "FrmAnalyse.h"
#include "FrmResultats.h"
#include "JournauxDuChamp.h"
#include "Requete.h"
#include "TexteQt.h"

namespace {

// Le début et la fin de la période la plus large : un champ de date vide laisse ce côté ouvert.
constexpr vek::Instant Tout{vek::Date{1, 1, 1}, 0};
constexpr vek::Instant Jamais{vek::Date{9999, 12, 31}, vek::SecondesParJour - 1};

} // namespace

RechercheDeMots::RechercheDeMots(const Liens& liens) : l_(liens) {
    l_.champ->setPlaceholderText(
        QStringLiteral("Chercher dans le journal : mots, \"phrase\", -mot, de:Nom, channel:Tag"));
    l_.champ->setToolTip(QStringLiteral(
        "Entrée cherche dans le journal, dans la période des dates si elles sont remplies, les "
        "lignes dont le message contient chaque mot (au début d'un de ses mots, casse et accents "
        "ignorés) ; \"le château\" cherche une phrase, -mot écarte, de:Aldric choisit le "
        "locuteur, channel:Guilde le channel, et Échap arrête la recherche."));
    l_.champ->setAccessibleName(QStringLiteral("Chercher dans le journal"));
    QObject::connect(l_.champ, &QLineEdit::returnPressed, l_.principale, [this] { Lancer(); });
    auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), l_.champ);
    echap->setContext(Qt::WidgetShortcut);
    QObject::connect(echap, &QShortcut::activated, l_.principale, [this] { Arreter(); });
}

RechercheDeMots::~RechercheDeMots() {
    delete resultats_.data();
}

void RechercheDeMots::Lancer() {
    if (l_.passes.Differer([this] { Lancer(); }) || l_.passes.EnCours())
        return;
    const QString texte = l_.champ->text().trimmed();
    auto requete = vek::AnalyserRequete(texte.toStdString());
    if (!requete.ok()) {
        l_.message(TexteEchec(requete.Echec()), vek::Icone::Stop);
        return;
    }
    if (l_.journaux.Premier().trimmed().isEmpty()) {
        l_.message(QStringLiteral("Choisissez d'abord le journal où chercher (« ... » au bout de "
                                  "« Charger le fichier LOG »)."),
                   vek::Icone::Stop);
        return;
    }
    const auto ou = PeriodeDesChamps();
    if (!ou)
        return;
    Fermer(); // les résultats d'une autre requête
    vek::DemandeScene demande;
    demande.journaux = l_.journaux.Journaux();
    demande.requete = std::move(*requete);
    demande.periode = ou->periode;
    demande.pauseSessions = l_.pause ? l_.pause() : vek::PauseSessionsParDefaut;
    enCours_ = true;
    l_.passes.Chercher(std::move(demande),
                       [this, texte, ou = ou->texte](vek::Issue<vek::ResultatScene>& issue) {
                           enCours_ = false;
                           Montrer(issue, texte, ou);
                       });
}

void RechercheDeMots::Arreter() {
    if (enCours_)
        l_.passes.Interrompre();
}

std::optional<RechercheDeMots::Ou> RechercheDeMots::PeriodeDesChamps() const {
    using Champ = ChampsDeDate::Champ;
    const auto refus = [this](const QString& texte) { l_.message(texte, vek::Icone::Stop); };
    std::optional<vek::Borne> bornes[2];
    for (const Champ champ : {Champ::Debut, Champ::Fin}) {
        if (l_.dates.Texte(champ).empty())
            continue;
        auto& borne = bornes[champ == Champ::Debut ? 0 : 1];
        borne = l_.dates.LireBorne(champ, refus);
        if (!borne)
            return std::nullopt;
    }
    const auto [debut, fin] = l_.dates.Textes();
    const auto& [premiere, derniere] = bornes;
    if (!premiere && !derniere)
        return Ou{std::nullopt, QStringLiteral("dans tout le journal")};
    const vek::Periode periode{premiere ? premiere->Premier() : Tout,
                               derniere ? derniere->Dernier() : Jamais};
    if (!derniere)
        return Ou{periode, QStringLiteral("à partir du %1").arg(debut.trimmed())};
    if (!premiere)
        return Ou{periode, QStringLiteral("jusqu'au %1").arg(fin.trimmed())};
    return Ou{periode, QStringLiteral("du %1 au %2").arg(debut.trimmed(), fin.trimmed())};
}

void RechercheDeMots::Montrer(vek::Issue<vek::ResultatScene>& issue, const QString& requete,
                              const QString& ou) {
    // Un échec est dit par le pilote ; un arrêt demandé, seulement dans la barre d'état.
    if (!issue.ok()) {
        if (issue.Echec().interrompu)
            l_.barreEtat->Annoncer(QStringLiteral("Recherche de « %1 » arrêtée.").arg(requete));
        return;
    }
    if (issue->trouvees == 0) {
        l_.message(QStringLiteral("Aucune ligne ne correspond à « %1 » %2.").arg(requete, ou),
                   vek::Icone::Aucune);
        return;
    }
    Ouvrir(std::move(*issue), requete, ou);
}

void RechercheDeMots::Ouvrir(vek::ResultatScene resultat, const QString& requete,
                             const QString& ou) {
    // Non modale, à côté de la fenêtre principale et pas sur ses champs de date.
    QWidget* principale = l_.principale;
    auto* fenetre = new FrmResultats(principale);
    fenetre->Definir(requete, ou, std::move(resultat));
    fenetre->winId(); // sa fenêtre du système existe : son cadre compte dans sa place
    const QRect ecran = principale->screen() ? principale->screen()->availableGeometry() : QRect();
    fenetre->move(FrmAnalyse::Placer(principale->frameGeometry(), l_.dates.ZoneAEcran(),
                                     fenetre->frameGeometry().size(), ecran, 0));
    QObject::connect(fenetre, &FrmResultats::PeriodeChoisie, principale,
                     [this](const QString& debut, const QString& fin) {
                         l_.dates.Controle(ChampsDeDate::Champ::Debut)->setText(debut);
                         l_.dates.Controle(ChampsDeDate::Champ::Fin)->setText(fin);
                         l_.rechercher();
                     });
    resultats_ = fenetre;
    fenetre->show();
}

void RechercheDeMots::Fermer() {
    if (resultats_)
        resultats_->close();
}
