#pragma once
// Les deux arbres de la fenêtre principale, « Présents » et « Channels », et ce qu'ils montrent :
// remplis depuis le catalogue d'une recherche, prolongés par une recherche qui n'a lu que la suite
// du journal, cochés en entier par leur case « Sélectionnez… » ; la sélection capturée dans leurs
// coches ; la recherche d'où ils viennent (sa période, les textes des champs de date d'alors) et
// son bilan, dans la ligne sous eux.
//
// Chaque nœud porte les octets exacts de son texte (Windows-1252) : la sélection rend au moteur
// ces octets, pas un réencodage du texte affiché.

#include <QString>

#include <optional>
#include <utility>

#include "Catalogue.h"
#include "Date.h"
#include "Selection.h"
#include "Suiveur.h"

class ChampsDeDate;
class QCheckBox;
class QLabel;
class QTreeWidget;

class ArbresSelection {
public:
    enum class Arbre { Noms, Channels };
    struct Controles {
        QTreeWidget* noms;
        QTreeWidget* channels;
        QCheckBox* toutLeMonde;
        QCheckBox* tousLesChannels;
        QLabel* bilan;
    };

    explicit ArbresSelection(const Controles& controles);

    // Les arbres refaits d'un catalogue (« Zone de proximité » puis les channels, et les
    // locuteurs, triés à la française, les pseudo-nœuds en tête) : les coches des nœuds encore là
    // gardées par nom (octets exacts) et les deux cases dans leur état ; un nœud nouveau est
    // coché si sa case « Sélectionnez… » l'est.
    void Prolonger(const vek::Catalogue& catalogue);
    // Après une suite : seuls les nœuds que les arbres n'ont pas encore y sont ajoutés, à leur
    // place, dans l'état de leur case ; les autres ne bougent pas (coches, défilement, nœud
    // courant).
    void AjouterNouveaux(const vek::Catalogue& catalogue);
    // Coche ou décoche tout l'arbre selon sa case (grisée : rien).
    void CocherTout(Arbre arbre);
    // La sélection des nœuds cochés.
    vek::Selection Selection() const;
    // La sélection d'un regard du suivi, prise sur le fil de la fenêtre : les coches de
    // l'instant, et les nœuds que le catalogue du regard apportera, retenus d'avance quand leur
    // case « Sélectionnez… » est cochée (ils arriveront cochés dans les arbres) ; la première
    // ligne d'un nouveau locuteur ou d'un nouveau channel est ainsi montrée.
    vek::SelectionSuivie SelectionAVenir() const;
    // Pourquoi les coches ne peuvent retenir aucune ligne (personne, ou ni channel ni « Vos
    // Whisps reçus ») ; rien quand une ligne peut l'être.
    std::optional<QString> RienARetenir() const;

    // La recherche d'où viennent les arbres : sa période et les textes des champs quand elle est
    // partie ; puis son bilan.
    void NoterRecherche(const vek::Periode& periode, std::pair<QString, QString> textes);
    void NoterBilan(const QString& bilan) {
        bilan_ = bilan;
        perdu_.clear();
    }
    // L'extrait d'où viennent les arbres n'est plus : la ligne sous eux le dit, quelle que soit
    // la période des champs, jusqu'à la recherche suivante.
    void NoterExtraitPerdu(const QString& raison) { perdu_ = raison; }
    const std::optional<vek::Periode>& Periode() const { return periode_; }
    // Les champs de date disent-ils encore la période des arbres ? Vrai tant qu'il n'y a pas
    // d'arbres.
    bool AJour(const ChampsDeDate& champs) const;
    // La ligne sous les arbres : le bilan, ou que la période des champs n'est plus la leur.
    void MontrerBilan(const ChampsDeDate& champs) const;

private:
    // Les arbres neufs d'un catalogue, rien de coché, ni les deux cases.
    void Remplir(const vek::Catalogue& catalogue);
    QTreeWidget* Controle(Arbre arbre) const;
    QCheckBox* Case(Arbre arbre) const;
    // Un arbre vide n'est pas un arrêt de la tabulation : le focus n'y serait pas visible.
    void PoserFocus() const;

    Controles c_;
    std::optional<vek::Periode> periode_;
    std::pair<QString, QString> textes_;
    QString bilan_;
    QString perdu_;
};
