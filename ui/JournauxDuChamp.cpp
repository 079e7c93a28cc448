#include "JournauxDuChamp.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>

#include "Ligne.h"
#include "TexteQt.h"

JournauxDuChamp::JournauxDuChamp(QLineEdit* champ, QObject* parent)
    : QObject(parent), champ_(champ) {
    // Un texte posé dans le champ, par l'utilisateur ou par un dialogue, est un seul journal.
    connect(champ_, &QLineEdit::textChanged, this, [this](const QString& texte) {
        if (!plusieurs_.chemins.empty()) {
            if (texte == montre_)
                return; // posé par Montrer, qui le dit
            plusieurs_ = {};
            champ_->setReadOnly(false);
            champ_->setToolTip({});
        }
        emit Change();
    });
}

vek::Journaux JournauxDuChamp::Journaux() const {
    if (!plusieurs_.chemins.empty())
        return plusieurs_;
    return vek::Journaux(VersNomFichier(champ_->text()));
}

QString JournauxDuChamp::Premier() const {
    return plusieurs_.chemins.empty() ? champ_->text() : DepuisNomFichier(plusieurs_.Premier());
}

QString JournauxDuChamp::Cle() const {
    if (plusieurs_.chemins.empty())
        return champ_->text();
    QStringList chemins;
    for (const vek::NomFichier& chemin : plusieurs_.chemins)
        chemins << DepuisNomFichier(chemin);
    return chemins.join(u'\n');
}

void JournauxDuChamp::DefinirSeul(const QString& chemin) {
    const bool etaitPlusieurs = !plusieurs_.chemins.empty();
    plusieurs_ = {};
    champ_->setReadOnly(false);
    champ_->setToolTip({});
    montre_.clear();
    if (champ_->text() != chemin)
        champ_->setText(chemin); // le signal du champ dit le changement
    else if (etaitPlusieurs)
        emit Change();
}

std::size_t JournauxDuChamp::Ajouter(const QStringList& chemins) {
    vek::Journaux tous = Journaux();
    if (vek::RognerEspaces(tous.Premier()).empty())
        tous = {}; // un champ vide : aucun journal encore
    const std::size_t avant = tous.chemins.size();
    tous.donnees.resize(avant);
    for (const QString& chemin : chemins) {
        const vek::NomFichier nom(vek::RognerEspaces(VersNomFichier(chemin)));
        // Le même chemin, même d'un fichier absent, n'est qu'un journal.
        if (!nom.empty() &&
            std::find(tous.chemins.begin(), tous.chemins.end(), nom) == tous.chemins.end()) {
            tous.chemins.push_back(nom);
            tous.donnees.emplace_back();
        }
    }
    tous = vek::JournauxDistincts(tous); // un lien vers un journal déjà là
    const std::size_t ajoutes = tous.chemins.size() - std::min(avant, tous.chemins.size());
    if (ajoutes == 0)
        return 0;
    if (tous.chemins.size() == 1) {
        DefinirSeul(DepuisNomFichier(tous.Premier()));
        return ajoutes;
    }
    plusieurs_ = std::move(tous);
    Montrer();
    return ajoutes;
}

void JournauxDuChamp::Retirer(std::size_t rang) {
    if (rang >= plusieurs_.chemins.size())
        return;
    plusieurs_.donnees.resize(plusieurs_.chemins.size());
    plusieurs_.chemins.erase(plusieurs_.chemins.begin() + static_cast<std::ptrdiff_t>(rang));
    plusieurs_.donnees.erase(plusieurs_.donnees.begin() + static_cast<std::ptrdiff_t>(rang));
    if (rang == 0)
        for (vek::DonneesJournal& donnees : plusieurs_.donnees)
            donnees.avance.reset(); // mesurées sur l'ancienne référence
    if (plusieurs_.chemins.size() == 1)
        DefinirSeul(DepuisNomFichier(plusieurs_.Premier()));
    else
        Montrer();
    emit Retire();
}

void JournauxDuChamp::DefinirDonnees(const QString& cle, std::vector<vek::DonneesJournal> donnees) {
    if (cle != Cle() || plusieurs_.chemins.empty())
        return;
    donnees.resize(plusieurs_.chemins.size());
    plusieurs_.donnees = std::move(donnees);
}

void JournauxDuChamp::RemplirMenuRetirer(QMenu* menu) {
    // Les entrées d'avant s'en vont plus tard : celle qui vient d'être choisie est peut-être
    // encore en train d'émettre.
    for (QAction* ancienne : menu->actions()) {
        menu->removeAction(ancienne);
        ancienne->deleteLater();
    }
    for (std::size_t i = 0; i < plusieurs_.chemins.size(); ++i) {
        const QString chemin = DepuisNomFichier(plusieurs_.chemins[i]);
        QAction* action = menu->addAction(QFileInfo(chemin).fileName().replace(u'&', "&&"));
        action->setToolTip(chemin);
        connect(action, &QAction::triggered, this, [this, i] { Retirer(i); });
    }
}

void JournauxDuChamp::EtendreMenuDuChamp(QAction* ajouter, QMenu* retirer) {
    champ_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(champ_, &QWidget::customContextMenuRequested, this, [=, this](const QPoint& point) {
        QMenu* menu = champ_->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        menu->addAction(ajouter);
        menu->addMenu(retirer);
        menu->popup(champ_->mapToGlobal(point));
    });
}

void JournauxDuChamp::Montrer() {
    QStringList noms, chemins;
    for (const vek::NomFichier& chemin : plusieurs_.chemins) {
        chemins << DepuisNomFichier(chemin);
        noms << QFileInfo(chemins.back()).fileName();
    }
    montre_ = noms.join(QStringLiteral(" + "));
    champ_->setReadOnly(true);
    champ_->setToolTip(QStringLiteral("Journaux fusionnés dans l'ordre du temps (le premier est "
                                      "la référence) :\n") +
                       chemins.join(u'\n'));
    champ_->setText(montre_);
    champ_->setCursorPosition(0);
    emit Change();
}
