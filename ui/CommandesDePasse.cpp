#include "CommandesDePasse.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QWidget>

void CommandesDePasse::Ajouter(std::initializer_list<QObject*> commandes,
                               std::function<bool()> regle) {
    groupes_.push_back({QList<QObject*>(commandes), std::move(regle)});
}

void CommandesDePasse::Appliquer(bool passeEnCours) {
    for (const Groupe& groupe : groupes_) {
        const bool actif = !passeEnCours && (!groupe.regle || groupe.regle());
        for (QObject* commande : groupe.commandes) {
            if (auto* action = qobject_cast<QAction*>(commande)) {
                action->setEnabled(actif);
                continue;
            }
            auto* controle = qobject_cast<QWidget*>(commande);
            if (!controle)
                continue;
            if (!actif && abri_ && controle->window()->focusWidget() == controle)
                abri_->setFocus(Qt::OtherFocusReason);
            controle->setEnabled(actif);
        }
    }
}

void DonnerFocus(QWidget* controle) {
    // OtherFocusReason : un champ de texte ne sélectionne son texte qu'à la tabulation ou par un
    // raccourci.
    if (controle && controle->isEnabled() && controle->isVisible())
        controle->setFocus(Qt::OtherFocusReason);
}
