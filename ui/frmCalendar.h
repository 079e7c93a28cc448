#pragma once
// frmCalendar : choix d'une date sur un calendrier mensuel, boîte modale. Le résultat passe par
// la variable DateChoisie du module : la date choisie, ou la sentinelle du 1er janvier 1900.

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
    // dateChoisie : la variable DateChoisie du module, écrite par Valider et Annuler.
    explicit frmCalendar(vek::Date& dateChoisie, QWidget* parent = nullptr);
    ~frmCalendar() override;

    // Montre la boîte, modale ; rend la date validée, ou rien (annulée, fermée, ou le
    // 1er janvier 1900, qui vaut une annulation).
    static std::optional<vek::Date> Choisir(QWidget* parent);

private slots:
    void CmdValider_Click();
    void CmdsAnnuler_Click();
    void Calendar_DblClick();

protected:
    void keyPressEvent(QKeyEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void Form_Load();

    std::unique_ptr<Ui::frmCalendar> ui;
    vek::Date& dateChoisie_;
    bool doubleClicEnCours_ = false;
};
