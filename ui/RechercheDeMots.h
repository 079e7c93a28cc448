#pragma once
// « Chercher dans le journal », depuis la fenêtre principale : Entrée dans le champ cherche la
// requête de mots (la même que vek-extraire --chercher) dans le journal chargé (ou la fusion des
// journaux chargés), dans la période
// des champs de date s'ils en disent une (un champ vide laisse ce côté ouvert). La recherche est
// une passe comme les autres : barre de progression, fenêtre qui répond ; Échap dans le champ
// l'arrête. Une requête mal formée est refusée avec ce que le moteur en dit, sans rien lancer ;
// rien trouvé est dit en un message ; sinon la fenêtre « Résultats » s'ouvre, dont la séance
// choisie devient la période des champs, et la recherche de la période part.

#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

#include "PilotePasses.h"

class BarreEtat;
class ChampsDeDate;
class FrmResultats;
class JournauxDuChamp;
class QLineEdit;
class QWidget;

class RechercheDeMots {
public:
    struct Liens {
        QWidget* principale;
        QLineEdit* champ;                // « Chercher dans le journal »
        const JournauxDuChamp& journaux; // le journal chargé, ou ceux qui sont fusionnés
        ChampsDeDate& dates;
        PilotePasses& passes;
        BarreEtat* barreEtat;
        PilotePasses::Message message;
        std::function<int()> pause;       // la pause des séances, celle des résumés d'analyse
        std::function<void()> rechercher; // la recherche de la période des champs
    };

    explicit RechercheDeMots(const Liens& liens);
    ~RechercheDeMots();
    RechercheDeMots(const RechercheDeMots&) = delete;
    RechercheDeMots& operator=(const RechercheDeMots&) = delete;

    // Entrée dans le champ. Pendant un regard du suivi, après lui ; pendant une autre passe, rien.
    void Lancer();
    // Échap dans le champ : la recherche de mots en cours s'arrête.
    void Arreter();
    // Le programme se termine : la fenêtre « Résultats » se ferme.
    void Fermer();

private:
    // La période des champs de date, ouverte du côté d'un champ vide, et comment la dire ; rien
    // si un champ rempli ne contient pas une date (c'est dit).
    struct Ou {
        std::optional<vek::Periode> periode; // rien : tout le journal
        QString texte;                       // « dans tout le journal », « du … au … »
    };
    std::optional<Ou> PeriodeDesChamps() const;
    void Montrer(vek::Issue<vek::ResultatScene>& issue, const QString& requete, const QString& ou);
    void Ouvrir(vek::ResultatScene resultat, const QString& requete, const QString& ou);

    Liens l_;
    bool enCours_ = false; // la passe en cours est la recherche de mots
    QPointer<FrmResultats> resultats_;
};
