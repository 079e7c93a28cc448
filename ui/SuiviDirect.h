#pragma once
// « Suivre le journal », côté fenêtre : la case cochée ouvre la vue « En direct » et veille le
// journal par le suivi du moteur (vek::Suiveur) ; chaque changement lance un regard (une passe
// discrète : la recherche de la période, qui ne lit que la suite, puis les lignes retenues par
// les coches et les modes du moment), dont la fenêtre montre les lignes dans la vue (une ligne
// montrée avant que le jeu l'ait achevée y est corrigée en place) et les nouveaux nœuds dans les
// arbres.

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "Date.h"
#include "SuiviJournal.h"

class ArbresSelection;
class ChampsDeDate;
class FrmEnDirect;
class JournauxDuChamp;
class PilotePasses;
class QCheckBox;
class QLineEdit;
class QWidget;

namespace vek {
class ModesPartages;
struct ReglagesNettoyage;
class Veille;
} // namespace vek

class SuiviDirect : public QObject {
    Q_OBJECT

public:
    // La veille du journal suivi (les tests y mettent une veille qu'ils réveillent eux-mêmes).
    using FabriqueVeille = std::function<std::unique_ptr<vek::Veille>(const std::string& journal)>;

    struct Liens {
        QWidget* fenetre; // la fenêtre principale : la vue s'ouvre à sa droite
        QCheckBox* caseSuivre;
        const JournauxDuChamp& journaux; // le journal chargé, ou ceux qui sont fusionnés
        ChampsDeDate& dates;
        ArbresSelection& arbres;
        PilotePasses& passes;
        const vek::ModesPartages& modes;
        const vek::ReglagesNettoyage& nettoyage;
        // Un refus montré à l'utilisateur (boîte à l'icône d'arrêt).
        std::function<void(const QString&)> refuser;
        // Après un regard montré, sa recherche (les commandes d'écriture, le bilan sous les
        // arbres) ; après un regard qui a échoué.
        std::function<void(const vek::ResultatRecherche&)> rechercheMontree;
        std::function<void()> regardEchoue;
    };

    explicit SuiviDirect(const Liens& liens);
    ~SuiviDirect() override;

    void DefinirVeille(FabriqueVeille fabrique) { veille_ = std::move(fabrique); }
    // La vue « En direct » (nulle avant le premier suivi).
    FrmEnDirect* Vue() const;

    // La case : ouvre la vue et veille le journal, ou arrête la veille.
    void Basculer(bool actif);
    // La ligne d'état de la vue : le journal suivi et la période que cherchent les regards (celle
    // des arbres quand il y en a), et si les champs de date en disent une autre.
    void MontrerEtat();
    // Une recherche de la fenêtre a refait l'extrait : le regard suivant part d'un suivi neuf.
    void RechercheFaite() { refaire_ = true; }
    // Le programme se termine : plus aucun changement du journal n'arrive à la fenêtre.
    void Couper() {
        veilleur_.reset();
        actif_ = false;
    }
    // La fenêtre principale se ferme : le suivi s'arrête et sa vue se ferme ; ce qui attendait la
    // fin d'un regard ne part plus.
    void Arreter();

private:
    // Un changement du journal : un regard dès que rien ne tourne.
    void Regarder();
    void LancerRegard();
    // premier : le premier regard d'un suivi du moteur neuf (ce qu'il relit n'est pas un journal
    // remplacé).
    void MontrerRegard(vek::Issue<LotDirect>& issue, bool premier);
    void MontrerLignes(const LotDirect& lot);
    void OuvrirVue();
    // Les journaux suivis, chacun entre guillemets : « a.txt » et « b.txt ».
    QString NomsSuivis() const;

    Liens l_;
    FabriqueVeille veille_;
    QPointer<FrmEnDirect> vue_;
    vek::Journaux journaux_; // suivis ; la veille regarde le premier
    vek::Periode periode_{};
    std::pair<QString, QString> textes_;
    bool actif_ = false; // la case est cochée et le suivi n'est pas coupé
    // Change à chaque bascule de la case : un regard lancé par un suivi précédent (case décochée
    // puis recochée, autre journal) le voit à sa fin, et ce qu'il a trouvé n'est pas montré.
    std::uint64_t numero_ = 0;
    bool regardEnAttente_ = false;
    // Le suivi du moteur et le fil qui attend le journal pour lui, sur periodeSuivie_ ; nul avant
    // le premier regard, et quand le regard suivant doit en partir d'un neuf (refaire_).
    std::unique_ptr<SuiviJournal> veilleur_;
    vek::Periode periodeSuivie_{};
    bool refaire_ = false;
};
