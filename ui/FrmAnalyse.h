#pragma once
// FrmAnalyse : fenêtre de résumé d'une analyse de journal, non modale et sans propriétaire.
// Chaque analyse ouvre la sienne ; « Fermer » (ou Échap) la ferme et la décharge.

#include <QDialog>

#include <memory>

namespace Ui {
class FrmAnalyse;
}

class FrmAnalyse : public QDialog {
    Q_OBJECT

public:
    explicit FrmAnalyse(QWidget* parent = nullptr);
    ~FrmAnalyse() override;

    // Légende de resume ; CR LF y passe à la ligne.
    void DefinirResume(const QString& texte);
    QString Resume() const;

private slots:
    void Fermer();

protected:
    void keyPressEvent(QKeyEvent* evenement) override;

private:
    std::unique_ptr<Ui::FrmAnalyse> ui;
};
