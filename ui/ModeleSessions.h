#pragma once
// Les séances de jeu d'un journal, pour la liste de la fenêtre « Analyse :) » : la plus récente
// en haut, une ligne par séance (jour, début, fin, lignes, locuteurs les plus actifs). Le modèle
// lit les séances à la demande : des milliers de séances ne font pas des milliers de contrôles.

#include <QAbstractTableModel>

#include <optional>
#include <vector>

#include "Sessions.h"

class ModeleSessions : public QAbstractTableModel {
public:
    enum Colonne { Jour, Debut, Fin, Lignes, Locuteurs, NombreColonnes };

    explicit ModeleSessions(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void Definir(std::vector<vek::Session> sessions);
    // La séance de la rangée (la plus récente en 0).
    const vek::Session& Session(int rangee) const;
    // Les rangées du dernier soir : les séances qui finissent à 18 h ou après, le jour où commence
    // la plus récente (la veille si elle commence avant 6 h : la nuit prolonge le soir) ; sans
    // séance ce soir-là, toutes celles de ce jour.
    std::vector<int> RangeesDuDernierSoir() const;
    // La période qui couvre les séances des rangées, à la minute (vide : rien).
    std::optional<vek::Periode> PeriodeDes(const std::vector<int>& rangees) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<vek::Session> sessions_; // de la plus ancienne à la plus récente
};

// Une borne de séance telle que les champs de date la reçoivent, à la minute :
// « 24/12/2001 21:10 ».
QString TexteBorneSession(vek::Instant instant);
