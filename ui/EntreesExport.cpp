#include "EntreesExport.h"

#include "DlgParties.h"
#include "TexteQt.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>

#include <array>

namespace {

// Ce que fait l'entrée de la fenêtre qui produit un format.
enum class Effet {
    Ouvrir,          // écrit le fichier puis l'ouvre (« Exporter en page web… »)
    Copier,          // écrit le fichier puis met son texte dans le presse-papiers
    CopierParParties // écrit le fichier puis montre ses parties, chacune à copier
};

// Les entrées de « Menu », par nom de format (celui de la table des formats du moteur).
struct Entree {
    std::string_view format;
    Effet effet;
    const char* legende;
    const char* objet;
};
constexpr std::array<Entree, 3> Entrees = {{
    {"html", Effet::Ouvrir, "&Exporter en page web…", "actionExporterPageWeb"},
    {"forum", Effet::Copier, "Copier pour un forum", "actionCopierForum"},
    {"discord", Effet::CopierParParties, "Copier pour Discord…", "actionCopierDiscord"},
}};

const Entree* EntreeDe(const vek::Format& format) {
    for (const Entree& e : Entrees)
        if (e.format == format.nom)
            return &e;
    return nullptr;
}

} // namespace

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
        const Entree* entree = EntreeDe(format);
        if (!entree)
            continue;
        auto* action = new QAction(DepuisUtf8(entree->legende), menu);
        action->setObjectName(DepuisUtf8(entree->objet));
        action->setEnabled(false);
        menu->insertAction(avant, action);
        connect(action, &QAction::triggered, this, [this, &format] { Declencher(format); });
        actions_.push_back(action);
    }
}

void EntreesExport::Declencher(const vek::Format& format) {
    if (!lancer_)
        return;
    lancer_(format, [this, &format](const std::string& chemin) {
        switch (EntreeDe(format)->effet) {
        case Effet::Ouvrir:
            if (ouvrir)
                ouvrir(chemin);
            break;
        case Effet::Copier: {
            const QString texte = LireSortieUtf8(chemin);
            QGuiApplication::clipboard()->setText(texte);
            annoncer(QStringLiteral("L'extrait pour un forum est dans le presse-papiers "
                                    "(%1 caractères) : collez-le dans votre message.")
                         .arg(texte.toUcs4().size()));
            break;
        }
        case Effet::CopierParParties:
            montrerParties(menu_->parentWidget(), LireSortieUtf8(chemin));
            break;
        }
    });
}
