#pragma once
// DlgParties : les parties d'un extrait pour Discord, à coller une à une. Chaque ligne dit la
// partie, sa taille en caractères et porte un bouton « Copier », qui met cette partie dans le
// presse-papiers et la marque « copiée » : l'utilisateur colle la partie 1, puis la 2…

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QPushButton;

// Les parties d'un extrait pour Discord (le fichier écrit, en UTF-8), dans l'ordre.
std::vector<QString> PartiesDiscord(const QString& contenu);

class DlgParties : public QDialog {
    Q_OBJECT

public:
    // contenu : le fichier écrit pour Discord, en UTF-8.
    explicit DlgParties(const QString& contenu, QWidget* parent = nullptr);

    // Montre le dialogue (modal) pour ce contenu.
    static void Montrer(QWidget* parent, const QString& contenu);

    std::size_t NombreParties() const { return parties_.size(); }
    const QString& Partie(std::size_t i) const { return parties_[i]; }
    // Comme un clic sur le bouton « Copier » de la partie i.
    void Copier(std::size_t i);
    bool Copiee(std::size_t i) const { return copiees_[i]; }

private:
    std::vector<QString> parties_;
    std::vector<bool> copiees_;
    std::vector<QLabel*> etats_;
};
