#include "ModeleJournaux.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cstdlib>

#include "LigneFusion.h"
#include "TexteQt.h"

namespace {

// La forme qu'on tape : « +1:00:07 ».
QString AvanceAEditer(std::int64_t s) {
    const std::int64_t a = std::llabs(s);
    return QStringLiteral("%1%2:%3:%4")
        .arg(QChar(s < 0 ? u'-' : u'+'))
        .arg(a / 3600)
        .arg(a / 60 % 60, 2, 10, QChar(u'0'))
        .arg(a % 60, 2, 10, QChar(u'0'));
}

} // namespace

QString TexteAvance(std::int64_t secondes) {
    return (secondes < 0 ? QStringLiteral("\u2212") : QStringLiteral("+")) +
           DepuisUtf8(vek::DureeLisible(std::llabs(secondes)));
}

std::optional<std::int64_t> LireAvance(const QString& texte) {
    static const QRegularExpression forme(
        QStringLiteral("^\\s*([-+\u2212]?)\\s*(?:(\\d{1,6})|(\\d{1,6}):(\\d\\d):(\\d\\d))\\s*$"));
    const QRegularExpressionMatch m = forme.match(texte);
    if (!m.hasMatch())
        return std::nullopt;
    std::int64_t total = 0;
    if (!m.captured(2).isEmpty()) {
        total = m.captured(2).toLongLong();
    } else {
        const int minutes = m.captured(4).toInt(), secondes = m.captured(5).toInt();
        if (minutes > 59 || secondes > 59)
            return std::nullopt;
        total = m.captured(3).toLongLong() * 3600 + minutes * 60 + secondes;
    }
    return m.captured(1).isEmpty() || m.captured(1) == u"+" ? total : -total;
}

void ModeleJournaux::Definir(std::vector<vek::JournalDeSource> journaux, bool aTrouver) {
    beginResetModel();
    journaux_ = std::move(journaux);
    aTrouver_ = aTrouver;
    endResetModel();
}

std::vector<vek::DonneesJournal> ModeleJournaux::Donnees() const {
    std::vector<vek::DonneesJournal> donnees;
    for (const vek::JournalDeSource& j : journaux_)
        donnees.push_back(
            {j.avanceDonnee ? j.avance : std::nullopt, j.joueurDonne ? j.joueur : std::nullopt});
    return donnees;
}

int ModeleJournaux::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(journaux_.size());
}

int ModeleJournaux::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : NombreColonnes;
}

QVariant ModeleJournaux::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const vek::JournalDeSource& j = journaux_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return Texte(j, index.row(), index.column(), role == Qt::EditRole);
    if (role == Qt::ToolTipRole && index.column() == Journal)
        return DepuisNomFichier(j.chemin);
    if (role == Qt::ToolTipRole && index.column() == Horloge && index.row() > 0)
        return (j.avance && !j.avanceDonnee
                    ? QStringLiteral("Trouvée sur %1 messages en commun. ").arg(j.communs)
                    : QString()) +
               QStringLiteral("L'avance de son horloge sur celle du premier journal ; tapez "
                              "+h:mm:ss ou -h:mm:ss (ou des secondes), ou videz la case pour "
                              "qu'elle soit trouvée.");
    if (role == Qt::ToolTipRole && index.column() == Joueur)
        return QStringLiteral("Le joueur dont c'est le journal (ses « Vous avez dit ») ; videz "
                              "la case pour qu'il soit trouvé.");
    return {};
}

QVariant ModeleJournaux::Texte(const vek::JournalDeSource& j, int rang, int colonne,
                               bool edition) const {
    switch (colonne) {
    case Journal:
        return QFileInfo(DepuisNomFichier(j.chemin)).fileName();
    case Horloge:
        if (aTrouver_ && !edition)
            return rang == 0 ? QStringLiteral("référence") : QStringLiteral("…");
        if (rang == 0)
            return edition ? QVariant() : QStringLiteral("référence");
        if (!j.avance)
            return edition ? QString() : QStringLiteral("inconnue (aucun message commun)");
        if (edition)
            return AvanceAEditer(*j.avance);
        return TexteAvance(*j.avance) +
               (j.avanceDonnee ? QStringLiteral(", donnée") : QStringLiteral(", trouvée"));
    case Joueur:
        if (aTrouver_ && !edition)
            return QStringLiteral("…");
        if (!j.joueur)
            return edition ? QString() : QStringLiteral("inconnu");
        if (edition)
            return DepuisCp1252(*j.joueur);
        return DepuisCp1252(*j.joueur) +
               (j.joueurDonne ? QStringLiteral(", donné") : QStringLiteral(", trouvé"));
    }
    return {};
}

QVariant ModeleJournaux::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Journal:
        return QStringLiteral("Journal");
    case Horloge:
        return QStringLiteral("Horloge");
    case Joueur:
        return QStringLiteral("Joueur");
    }
    return {};
}

Qt::ItemFlags ModeleJournaux::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && !aTrouver_ &&
        (index.column() == Joueur || (index.column() == Horloge && index.row() > 0)))
        f |= Qt::ItemIsEditable;
    return f;
}

bool ModeleJournaux::setData(const QModelIndex& index, const QVariant& valeur, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    vek::JournalDeSource& j = journaux_[static_cast<std::size_t>(index.row())];
    const QString texte = valeur.toString().trimmed();
    if (index.column() == Horloge) {
        const auto avance = LireAvance(texte);
        if (!texte.isEmpty() && !avance)
            return false; // illisible : la case garde ce qu'elle disait
        if (texte.isEmpty() ? !j.avanceDonnee : (j.avanceDonnee && j.avance == avance))
            return false;
        j.avanceDonnee = avance.has_value();
        if (avance)
            j.avance = avance;
    } else {
        const std::string nom = VersCp1252(texte);
        if (texte.isEmpty() ? !j.joueurDonne : (j.joueurDonne && j.joueur == nom))
            return false;
        j.joueurDonne = !texte.isEmpty();
        if (j.joueurDonne)
            j.joueur = nom;
    }
    emit dataChanged(index, index);
    emit DonneesChangees(Donnees());
    return true;
}
