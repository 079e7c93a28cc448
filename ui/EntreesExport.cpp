#include "EntreesExport.h"

#include "DlgParties.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>

QString LireSortieUtf8(const std::string& chemin) {
    QFile fichier(QFile::decodeName(chemin.c_str()));
    if (!fichier.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(fichier.readAll());
}

EntreesExport::EntreesExport(QMenu* menu, QAction* avant, Lancer lancer, QObject* parent)
    : QObject(parent), lancer_(std::move(lancer)), menu_(menu) {
    setObjectName(QStringLiteral("entreesExport"));
    annoncer = [](const QString&) {};
    montrerParties = [](QWidget* dessus, const QString& contenu) {
        DlgParties::Montrer(dessus, contenu);
    };
    for (const vek::Format& format : vek::TableDesFormats()) {
        if (format.entree == vek::EntreeFenetre::Aucune)
            continue;
        auto* action = new QAction(
            QString::fromUtf8(format.legende.data(), static_cast<qsizetype>(format.legende.size())),
            menu);
        action->setObjectName(
            QString::fromUtf8(format.objet.data(), static_cast<qsizetype>(format.objet.size())));
        action->setEnabled(false);
        menu->insertAction(avant, action);
        connect(action, &QAction::triggered, this, [this, &format] { Declencher(format); });
        actions_.push_back(action);
    }
}

void EntreesExport::Activer(bool actives) {
    for (QAction* action : actions_)
        action->setEnabled(actives);
}

void EntreesExport::Declencher(const vek::Format& format) {
    if (!lancer_)
        return;
    lancer_(format, [this, &format](const std::string& chemin) {
        switch (format.entree) {
        case vek::EntreeFenetre::Ouvrir:
            if (ouvrir)
                ouvrir(chemin);
            break;
        case vek::EntreeFenetre::Copier: {
            const QString texte = LireSortieUtf8(chemin);
            QGuiApplication::clipboard()->setText(texte);
            annoncer(QStringLiteral("L'extrait pour un forum est dans le presse-papiers "
                                    "(%1 caractères) : collez-le dans votre message.")
                         .arg(texte.toUcs4().size()));
            break;
        }
        case vek::EntreeFenetre::CopierParParties:
            montrerParties(menu_->parentWidget(), LireSortieUtf8(chemin));
            break;
        case vek::EntreeFenetre::Aucune:
            break;
        }
    });
}
