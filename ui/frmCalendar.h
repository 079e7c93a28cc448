#pragma once
// frmCalendar : choix d'une date sur un calendrier mensuel, boîte modale. Le résultat passe par
// une variable de l'appelant : la date choisie, ou rien.

#include <QDialog>

#include <memory>
#include <optional>

#include "Date.h"

namespace Ui {
class frmCalendar;
}

class frmCalendar : public QDialog {
    Q_OBJECT

public:
    // dateChoisie : écrite par Valider (la date) et Annuler (rien) ; une autre fermeture n'y
    // touche pas. dateDuChamp : le jour montré à l'ouverture (celui du champ de date quand il
    // en contient une) ; sans elle, aujourd'hui.
    explicit frmCalendar(std::optional<vek::Date>& dateChoisie,
                         std::optional<vek::Date> dateDuChamp = std::nullopt,
                         QWidget* parent = nullptr);
    ~frmCalendar() override;

    // Montre la boîte, modale ; rend la date validée, ou rien (annulée, fermée, ou le
    // 1er janvier 1900, qui vaut une annulation).
    static std::optional<vek::Date> Choisir(QWidget* parent,
                                            std::optional<vek::Date> dateDuChamp = std::nullopt);

private slots:
    void Valider();
    void Annuler();
    void calendrier_DblClick();

protected:
    void keyPressEvent(QKeyEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void EtatInitial(std::optional<vek::Date> dateDuChamp);

    std::unique_ptr<Ui::frmCalendar> ui;
    std::optional<vek::Date>& dateChoisie_;
    bool doubleClicEnCours_ = false;
};
