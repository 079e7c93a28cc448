#include "DlgParties.h"

#include "Parties.h"
#include "TexteQt.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

std::vector<QString> PartiesDiscord(const QString& contenu) {
    const QByteArray utf8 = contenu.toUtf8();
    std::vector<QString> parties;
    for (const std::string_view partie : vek::DecouperParties(
             std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))))
        parties.push_back(DepuisUtf8(partie));
    return parties;
}

DlgParties::DlgParties(const QString& contenu, QWidget* parent)
    : QDialog(parent), parties_(PartiesDiscord(contenu)) {
    setWindowTitle(QStringLiteral("Copier pour Discord"));
    copiees_.assign(parties_.size(), false);

    auto* disposition = new QVBoxLayout(this);
    auto* consigne = new QLabel(
        parties_.empty() ? QStringLiteral("Aucune ligne retenue : il n'y a rien à coller.")
                         : QStringLiteral("Collez les parties dans l'ordre, un message chacune : "
                                          "« Copier » met la partie dans le presse-papiers."),
        this);
    consigne->setWordWrap(true);
    disposition->addWidget(consigne);

    auto* zone = new QScrollArea(this);
    auto* liste = new QWidget(zone);
    auto* grille = new QGridLayout(liste);
    for (std::size_t i = 0; i < parties_.size(); ++i) {
        const int ligne = static_cast<int>(i);
        const auto caracteres = parties_[i].toUcs4().size();
        grille->addWidget(
            new QLabel(QStringLiteral("Partie %1/%2").arg(i + 1).arg(parties_.size()), liste),
            ligne, 0);
        grille->addWidget(new QLabel(QStringLiteral("%1 caractères").arg(caracteres), liste), ligne,
                          1);
        auto* bouton = new QPushButton(QStringLiteral("Copier"), liste);
        bouton->setObjectName(QStringLiteral("copier%1").arg(i + 1));
        connect(bouton, &QPushButton::clicked, this, [this, i] { Copier(i); });
        grille->addWidget(bouton, ligne, 2);
        auto* etat = new QLabel(liste);
        etats_.push_back(etat);
        grille->addWidget(etat, ligne, 3);
    }
    zone->setWidget(liste);
    zone->setWidgetResizable(true);
    disposition->addWidget(zone);

    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    boutons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    disposition->addWidget(boutons);
    resize(420, 360);
}

void DlgParties::Copier(std::size_t i) {
    if (i >= parties_.size())
        return;
    QGuiApplication::clipboard()->setText(parties_[i]);
    copiees_[i] = true;
    etats_[i]->setText(QStringLiteral("copiée"));
}

void DlgParties::Montrer(QWidget* parent, const QString& contenu) {
    DlgParties dialogue(contenu, parent);
    dialogue.exec();
}
