#include "DialogueJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QSettings>
#include <QSplitter>
#include <QTreeView>

#include <algorithm>
#include <memory>

namespace {

// Réglages de Qt : rien n'est lu, rien n'est écrit.
bool LireAucunReglage(QIODevice&, QSettings::SettingsMap&) {
    return true;
}

bool EcrireAucunReglage(QIODevice&, const QSettings::SettingsMap&) {
    return false;
}

// Les colonnes du dialogue : nom, taille, type, date de modification.
enum Colonne { Nom, Taille, Type, Modification };

const QLocale& Francais() {
    static const QLocale francais(QLocale::French, QLocale::France);
    return francais;
}

QString TexteTaille(qint64 octets) {
    return Francais().formattedDataSize(octets);
}

QString TexteDate(const QDateTime& date) {
    return Francais().toString(date, QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString TexteType(const QFileInfo& info) {
    if (info.isRoot())
        return QStringLiteral("Lecteur");
    if (info.isDir())
        return QStringLiteral("Dossier");
    const QString extension = info.suffix();
    return extension.isEmpty() ? QStringLiteral("Fichier")
                               : QStringLiteral("Fichier %1").arg(extension.toUpper());
}

// Les colonnes en français quelle que soit la langue du système : Qt écrit la taille et la date
// selon la langue du système (« 13.96 KiB », « 9 Dec 2026 »), et le type selon les traductions
// présentes (« Folder »).
class ColonnesEnFrancais final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QIdentityProxyModel::headerData(section, orientation, role);
        switch (section) {
        case Nom:
            return QStringLiteral("Nom");
        case Taille:
            return QStringLiteral("Taille");
        case Type:
            return QStringLiteral("Type");
        case Modification:
            return QStringLiteral("Date de modification");
        default:
            return QIdentityProxyModel::headerData(section, orientation, role);
        }
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* fichiers = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !fichiers || index.column() == Nom)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = fichiers->fileInfo(mapToSource(index));
        switch (index.column()) {
        case Taille:
            return info.isDir() ? QString() : TexteTaille(info.size());
        case Type:
            return TexteType(info);
        case Modification:
            return TexteDate(info.lastModified());
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }
};

// Les textes les plus larges que chaque colonne montre d'ordinaire : nom d'un journal, taille
// d'un gros journal, type, date et heure de modification.
QStringList TextesUsuels(int colonne) {
    switch (colonne) {
    case Nom:
        return {QStringLiteral("Journal de discussion du 24-12-2001.TXT")};
    case Taille:
        return {TexteTaille(qint64(1023) * 1024 * 1024 * 1024 + 987654321),
                TexteTaille(999 * 1024 + 1000)};
    case Type:
        return {QStringLiteral("Dossier"), QStringLiteral("Fichier HTML")};
    default:
        return {TexteDate(QDateTime(QDate(2026, 12, 28), QTime(23, 58)))};
    }
}

// Largeur des colonnes : chaque titre avec sa flèche de tri, chaque texte usuel avec l'icône
// et les marges de la vue ; puis la taille du dialogue qui les montre toutes.
void DimensionnerColonnes(QFileDialog& dialogue) {
    auto* vue = dialogue.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!vue)
        return;
    QHeaderView* entete = vue->header();
    const QFontMetrics mesureEntete(entete->font());
    const QFontMetrics mesure(vue->font());
    const int marge = 3 * mesure.averageCharWidth() + 8;
    int total = 0;
    for (int colonne = 0; colonne < entete->count(); ++colonne) {
        const QString titre = vue->model()->headerData(colonne, Qt::Horizontal).toString();
        int largeur = mesureEntete.horizontalAdvance(titre) + marge + 16; // flèche de tri
        for (const QString& texte : TextesUsuels(colonne))
            largeur = std::max(largeur, mesure.horizontalAdvance(texte) + marge +
                                            (colonne == Nom ? vue->iconSize().width() + 8 : 0));
        entete->resizeSection(colonne, largeur);
        total += largeur;
    }
    const int barreLaterale = 150;
    if (auto* separation = dialogue.findChild<QSplitter*>(QStringLiteral("splitter")))
        separation->setSizes({barreLaterale, total + 40});
    dialogue.resize(std::max(dialogue.sizeHint().width(), barreLaterale + total + 90),
                    std::max(dialogue.sizeHint().height(), 420));
}

} // namespace

void InterdireReglagesQt() {
    // Les fichiers de réglages de Qt (ceux des dialogues : historique, dernier dossier,
    // colonnes, sous le nom « QtProject ») sont rangés dans un dossier des ressources, où rien
    // ne peut être créé ni lu : ils ne laissent aucun fichier et n'en reprennent aucun d'un autre
    // programme. Le format par défaut, pour tout autre réglage, ne lit ni n'écrit rien.
    static const QSettings::Format aucun = QSettings::registerFormat(
        QStringLiteral("vek-aucun"), LireAucunReglage, EcrireAucunReglage);
    const QString nullePart = QStringLiteral(":/vek-aucun-reglage");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat, aucun})
        for (const QSettings::Scope portee : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, portee, nullePart);
    QSettings::setDefaultFormat(aucun);
}

namespace {

// Ce qui change d'une ouverture à l'autre : titre, filtres, extension, dossier du journal.
void PreparerDialogue(QFileDialog& dialogue, const DemandeOuverture& demande) {
    dialogue.setWindowTitle(demande.titre);
    dialogue.setDefaultSuffix(demande.extension);
    dialogue.setNameFilters(demande.filtres);
    if (!demande.filtres.isEmpty())
        dialogue.selectNameFilter(demande.filtres.constFirst());
    // Le dossier du journal du champ, et ce journal choisi d'avance.
    const QString actuel = demande.cheminActuel.trimmed();
    if (actuel.isEmpty())
        return;
    const QFileInfo journal(QDir::fromNativeSeparators(actuel));
    if (!journal.absoluteDir().exists())
        return;
    dialogue.setDirectory(journal.absolutePath());
    if (journal.isFile())
        dialogue.selectFile(journal.fileName());
}

} // namespace

QFileDialog* CreerDialogueJournal(QWidget* parent, const DemandeOuverture& demande) {
    auto* dialogue = new QFileDialog(parent);
    // Le dialogue de Qt, pas celui du bureau : ses textes sont ceux du programme et il ne tient
    // aucune liste de fichiers récents.
    dialogue->setOption(QFileDialog::DontUseNativeDialog);
    dialogue->setProxyModel(new ColonnesEnFrancais(dialogue));
    dialogue->setAcceptMode(QFileDialog::AcceptOpen);
    dialogue->setFileMode(QFileDialog::AnyFile);
    dialogue->setViewMode(QFileDialog::Detail);
    PreparerDialogue(*dialogue, demande);
    DimensionnerColonnes(*dialogue);
    return dialogue;
}

QString OuvrirDialogueJournal(QWidget* parent, const DemandeOuverture& demande) {
#ifdef Q_OS_WIN
    // Sous Windows, les réglages natifs de Qt sont dans le registre, où aucun chemin ne se
    // déplace : le dialogue écrirait son état en se détruisant. Un seul dialogue sert donc
    // toute l'exécution, sans parent, jamais détruit (le système le reprend à la fin).
    Q_UNUSED(parent);
    static QFileDialog* const dialogue = [&demande] {
        QFileDialog* unique = CreerDialogueJournal(nullptr, demande);
        unique->setWindowModality(Qt::ApplicationModal);
        return unique;
    }();
    PreparerDialogue(*dialogue, demande);
    const bool choisi = dialogue->exec() == QDialog::Accepted;
    const QStringList choisis = dialogue->selectedFiles();
    dialogue->hide();
#else
    const std::unique_ptr<QFileDialog> dialogue(CreerDialogueJournal(parent, demande));
    const bool choisi = dialogue->exec() == QDialog::Accepted;
    const QStringList choisis = dialogue->selectedFiles();
#endif
    if (!choisi || choisis.isEmpty())
        return {};
    return QDir::toNativeSeparators(choisis.constFirst());
}
