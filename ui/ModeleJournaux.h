#pragma once
// Les journaux fusionnés d'une analyse, pour le tableau de la fenêtre « Analyse :) » : chacun
// avec l'avance de son horloge sur celle de la référence (le premier) et son joueur, trouvés par
// la fusion ou donnés par l'utilisateur. L'horloge (sauf celle de la référence) et le joueur se
// changent dans le tableau : une case vidée laisse la fusion les trouver de nouveau.

#include <QAbstractTableModel>

#include <cstdint>
#include <optional>
#include <vector>

#include "SourceLignes.h"

class ModeleJournaux : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Colonne { Journal, Horloge, Joueur, NombreColonnes };

    explicit ModeleJournaux(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // aTrouver : l'analyse lit encore ; les horloges et les joueurs sont à venir.
    void Definir(std::vector<vek::JournalDeSource> journaux, bool aTrouver = false);
    // Ce que l'utilisateur a donné des journaux, par rang (ce qui a été trouvé n'y est pas).
    std::vector<vek::DonneesJournal> Donnees() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& valeur, int role) override;

signals:
    // L'utilisateur a changé l'horloge ou le joueur d'un journal : voici tout ce qu'il a donné.
    void DonneesChangees(std::vector<vek::DonneesJournal> donnees);

private:
    QVariant Texte(const vek::JournalDeSource& j, int rang, int colonne, bool edition) const;

    std::vector<vek::JournalDeSource> journaux_;
    bool aTrouver_ = false;
};

// Une avance d'horloge telle que le tableau la montre : « +1 h 00 min 07 s », « −7 s ».
QString TexteAvance(std::int64_t secondes);
// Une avance telle qu'on la tape : « +1:00:07 », « -0:00:07 », « 3607 », « -7 » (secondes ;
// sans signe, en avance) ; rien si le texte n'en est pas une.
std::optional<std::int64_t> LireAvance(const QString& texte);
