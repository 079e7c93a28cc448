#pragma once
// Les journaux chargés dans la fenêtre principale, tels que les montre le champ du journal. Avec
// un seul, rien ne change : le champ est son chemin, que l'utilisateur peut taper. « Ajouter un
// journal… » y en joint d'autres, fusionnés dans l'ordre du temps par les passes (le premier est
// la référence : son horloge et son joueur sont ceux des sorties) ; le champ, alors en lecture
// seule, dit leurs noms, et son info-bulle leurs chemins. Chacun peut être retiré ; un texte
// posé dans le champ (par l'utilisateur ou par un dialogue) revient à ce seul journal.
// L'horloge et le joueur donnés pour chaque journal y sont gardés pour les passes suivantes.

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

#include "SourceLignes.h"

class QAction;
class QLineEdit;
class QMenu;

class JournauxDuChamp : public QObject {
    Q_OBJECT

public:
    explicit JournauxDuChamp(QLineEdit* champ, QObject* parent = nullptr);

    // Les journaux des passes ; un seul : le chemin du champ, tel qu'il est écrit.
    vek::Journaux Journaux() const;
    std::size_t Nombre() const { return Journaux().chemins.size(); }
    // Le premier journal, tel que le champ le dit quand il est seul.
    QString Premier() const;
    // Ces journaux, dans leur ordre, en un texte : deux clés égales, les mêmes journaux.
    QString Cle() const;

    // Un seul journal (vide : aucun), comme si son chemin avait été tapé.
    void DefinirSeul(const QString& chemin);
    // Ajoute ceux qui n'y sont pas déjà (le même fichier, par le même chemin ou par un lien,
    // n'est qu'un journal) ; rend combien ont été ajoutés.
    std::size_t Ajouter(const QStringList& chemins);
    // Retire le journal de ce rang ; le premier retiré, le suivant devient la référence et les
    // horloges données, mesurées sur l'ancienne, sont oubliées.
    void Retirer(std::size_t rang);
    // Ce que l'utilisateur donne des journaux, par rang, pour les passes suivantes, si ces
    // journaux sont encore ceux du champ (cle).
    void DefinirDonnees(const QString& cle, std::vector<vek::DonneesJournal> donnees);

    // Le menu « Retirer un journal » : une entrée par journal quand il y en a plusieurs.
    void RemplirMenuRetirer(QMenu* menu);
    // Le menu contextuel du champ : celui de l'édition, puis « Ajouter un journal… » et
    // « Retirer un journal » (une fois pour toutes).
    void EtendreMenuDuChamp(QAction* ajouter, QMenu* retirer);

signals:
    // Les journaux du champ ont changé (ajout, retrait, texte posé).
    void Change();
    // L'utilisateur a retiré un journal (après Change).
    void Retire();

private:
    void Montrer();

    QLineEdit* champ_;
    vek::Journaux plusieurs_; // deux ou plus ; sinon, le champ seul
    QString montre_;          // le texte posé par Montrer
};
