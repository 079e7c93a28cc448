#pragma once
// Les champs de date de la fenêtre principale et leurs boutons « ... » : la lecture d'une borne
// (le seul endroit où le texte d'un champ devient une date), la période des deux champs, la règle
// du bouton de recherche et le calendrier.

#include <QRect>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "Date.h"

class QLineEdit;
class QPushButton;

class ChampsDeDate {
public:
    enum class Champ { Debut, Fin };

    // Montre le calendrier, ouvert sur la date du champ s'il en contient une ; rend la date
    // validée, rien s'il est fermé sans date.
    using MontrerCalendrier =
        std::function<std::optional<vek::Date>(std::optional<vek::Date> dateDuChamp)>;
    // Dit à l'utilisateur pourquoi un champ ne donne pas de borne (boîte à l'icône d'arrêt).
    using Refus = std::function<void(const QString& message)>;

    ChampsDeDate(QLineEdit* debut, QLineEdit* fin, QPushButton* boutonDebut,
                 QPushButton* boutonFin);

    void DefinirCalendrier(MontrerCalendrier calendrier) { calendrier_ = std::move(calendrier); }

    QLineEdit* Controle(Champ champ) const { return champ == Champ::Debut ? debut_ : fin_; }
    // Le texte d'un champ, en Windows-1252, sans les espaces des deux bouts.
    std::string Texte(Champ champ) const;
    // La place des champs et de leurs boutons, en coordonnées de l'écran (qu'une fenêtre de
    // résumé ne couvre pas).
    QRect ZoneAEcran() const;
    // Les textes des deux champs, tels qu'affichés.
    std::pair<QString, QString> Textes() const;

    // La borne d'un champ ; s'il ne contient pas une date, refus reçoit un message qui nomme le
    // champ et la forme attendue.
    std::optional<vek::Borne> LireBorne(Champ champ, const Refus& refus) const;
    // La période des deux champs, le début lu d'abord (un seul message au plus).
    std::optional<vek::Periode> LirePeriode(const Refus& refus) const;
    // La période des deux champs quand tous deux contiennent une date ; rien sinon, sans message.
    std::optional<vek::Periode> Periode() const;

    // Règle du bouton de recherche, à chaque changement d'un champ : rien quand un champ est vide
    // (le bouton garde son état), sinon vrai si les deux contiennent une date. Un champ qui ne
    // contient pas une date le dit dans son info-bulle.
    std::optional<bool> RegleRecherche() const;
    // Les boutons « ... » ne servent qu'avec un chemin de journal non blanc.
    void ActiverBoutons(const QString& cheminJournal) const;
    // Le calendrier, ouvert sur la date du champ : le jour choisi garde l'heure que le champ
    // porte ; fermé sans date, il vide le champ.
    void Choisir(Champ champ) const;

private:
    QLineEdit* debut_;
    QLineEdit* fin_;
    QPushButton* boutonDebut_;
    QPushButton* boutonFin_;
    MontrerCalendrier calendrier_;
};
