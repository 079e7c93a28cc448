#pragma once
// « Suivre le journal », côté fenêtre : la case cochée ouvre la vue « En direct » et veille le
// journal ; chaque changement lance un regard (une passe discrète : la recherche de la période,
// qui ne lit que la suite, puis les lignes retenues par les coches et les modes du moment), dont
// la fenêtre montre les lignes dans la vue et les nouveaux nœuds dans les arbres.

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "Date.h"
#include "Fichiers.h"
#include "SuiviJournal.h"

class ArbresSelection;
class ChampsDeDate;
class FrmEnDirect;
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
        QLineEdit* cheminJournal;
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
    // Le programme se termine : plus aucun changement du journal n'arrive à la fenêtre.
    void Couper() { veilleur_.reset(); }
    // La fenêtre principale se ferme : le suivi s'arrête et sa vue se ferme ; ce qui attendait la
    // fin d'un regard ne part plus.
    void Arreter();

private:
    // Un changement du journal : un regard dès que rien ne tourne.
    void Regarder();
    void LancerRegard();
    void MontrerRegard(vek::Issue<LotDirect>& issue);
    void OuvrirVue();

    Liens l_;
    FabriqueVeille veille_;
    QPointer<FrmEnDirect> vue_;
    std::string journal_;
    vek::Periode periode_{};
    std::pair<QString, QString> textes_;
    bool premierRegard_ = false;
    // Change à chaque bascule de la case : un regard lancé par un suivi précédent (case décochée
    // puis recochée, autre journal) le voit à sa fin, et ce qu'il a trouvé n'est pas montré.
    std::uint64_t numero_ = 0;
    bool regardEnAttente_ = false;
    std::optional<vek::EmpreinteFichier> inachevee_; // déjà revue une fois le délai passé
    std::unique_ptr<SuiviJournal> veilleur_;
};
