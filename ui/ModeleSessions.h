#pragma once
// Les séances de jeu d'un journal, pour la liste de la fenêtre « Analyse :) » : la plus récente
// en haut, une ligne par séance (jour, début, fin, lignes, locuteurs les plus actifs). Le modèle
// lit les séances à la demande : des milliers de séances ne font pas des milliers de contrôles.

#include <QAbstractTableModel>

#include <vector>

#include "Sessions.h"

class ModeleSessions : public QAbstractTableModel {
public:
    enum Colonne { Jour, Debut, Fin, Lignes, Locuteurs, NombreColonnes };

    explicit ModeleSessions(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void Definir(std::vector<vek::Session> sessions);
    // La séance de la rangée (la plus récente en 0).
    const vek::Session& Session(int rangee) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<vek::Session> sessions_; // de la plus ancienne à la plus récente
};

// Les bornes d'une séance telles que les champs de date les reçoivent, à la minute :
// « 24/12/2001 21:10 ».
QString TexteDebutSession(const vek::Session& session);
QString TexteFinSession(const vek::Session& session);
