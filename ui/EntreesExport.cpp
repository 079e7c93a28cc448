#include "EntreesExport.h"

#include "DlgParties.h"
#include "TexteQt.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
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
    const char* raccourci;
};
constexpr std::array<Entree, 3> Entrees = {{
    {"html", Effet::Ouvrir, "&Exporter en page web…", "actionExporterPageWeb", ""},
    {"forum", Effet::Copier, "Copier pour un forum", "actionCopierForum", "Ctrl+Shift+F"},
    {"discord", Effet::CopierParParties, "Copier pour Discord…", "actionCopierDiscord",
     "Ctrl+Shift+D"},
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
        action->setShortcut(QKeySequence(DepuisUtf8(entree->raccourci)));
        action->setEnabled(false);
        menu->insertAction(avant, action);
        connect(action, &QAction::triggered, this, [this, &format] { Declencher(format); });
        actions_.push_back(action);
    }
}

void EntreesExport::Copier(const QString& texte, const QString& quoi) {
    if (texte.trimmed().isEmpty()) {
        // Des coches qui ne retiennent aucune ligne de la période : le presse-papiers reste tel
        // qu'il était.
        annoncer(QStringLiteral("Aucune ligne retenue par les coches : rien n'a été copié."));
        return;
    }
    QGuiApplication::clipboard()->setText(texte);
    annoncer(QStringLiteral("%1 est dans le presse-papiers (%2 caractères) : collez-le dans "
                            "votre message.")
                 .arg(quoi)
                 .arg(texte.toUcs4().size()));
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
        case Effet::Copier:
            Copier(LireSortieUtf8(chemin), QStringLiteral("L'extrait pour un forum"));
            break;
        case Effet::CopierParParties: {
            // Une partie seule va droit dans le presse-papiers, comme pour un forum.
            const QString contenu = LireSortieUtf8(chemin);
            const std::vector<QString> parties = PartiesDiscord(contenu);
            if (parties.size() <= 1)
                Copier(parties.empty() ? QString() : parties.front(),
                       QStringLiteral("L'extrait pour Discord, en un seul message,"));
            else
                montrerParties(menu_->parentWidget(), contenu);
            break;
        }
        }
    });
}
