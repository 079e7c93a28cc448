#pragma once
// Les lignes qu'une recherche de mots a trouvées, pour la fenêtre « Résultats » : un nœud par
// séance (sa période et son nombre de résultats), de la plus ancienne à la plus récente, puis ses
// lignes « hh:mm:ss  [Channel] Nom : message », les mots trouvés en gras. Les lignes sans heure
// lisible, qui n'appartiennent à aucune séance, ont leur nœud à la fin. Le modèle lit les lignes
// à la demande : des milliers de résultats ne font pas des milliers de contrôles.

#include <QAbstractItemModel>

#include <optional>
#include <vector>

#include "TrouverScene.h"

class ModeleResultats : public QAbstractItemModel {
public:
    // Le texte d'une rangée en HTML, les mots trouvés entre <b> et </b> (DisplayRole : le même
    // texte, brut).
    static constexpr int RoleHtml = Qt::UserRole + 1;

    explicit ModeleResultats(QObject* parent = nullptr) : QAbstractItemModel(parent) {}

    void Definir(vek::ResultatScene resultat);
    const vek::ResultatScene& Resultat() const { return resultat_; }
    // La séance d'un nœud de séance, ou celle d'une ligne ; rien hors séance.
    std::optional<vek::SeanceTrouvee> SeanceDe(const QModelIndex& index) const;
    // « 14 résultats dans 5 séances, sur 200 lignes lues » ; avec plus de résultats que de lignes
    // gardées, combien sont montrés.
    QString Total() const;

    QModelIndex index(int rangee, int colonne, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Groupe {
        std::optional<vek::SeanceTrouvee> seance; // rien : les lignes sans heure lisible
        std::vector<std::size_t> lignes;          // leurs rangs dans resultat_.lignes
    };
    QVariant Donnee(const Groupe& groupe, int role) const;

    vek::ResultatScene resultat_;
    std::vector<Groupe> groupes_;
};

// « Séance 12 — 24/12/2001 21:04 → 23:40 : 5 résultats » (la date de la fin n'est écrite que si
// elle n'est pas celle du début).
QString TexteSeance(const vek::SeanceTrouvee& seance);
