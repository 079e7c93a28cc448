#include "ModeleSessions.h"

#include "TexteQt.h"

#include <algorithm>

namespace {

// Le soir commence à 18 h ; la nuit qui le prolonge finit à 6 h.
constexpr int HeureDuSoir = 18 * 3600;
constexpr int HeureDeNuit = 6 * 3600;

vek::Date Veille(vek::Date jour) {
    if (--jour.jour > 0)
        return jour;
    if (--jour.mois == 0) {
        jour.mois = 12;
        --jour.annee;
    }
    jour.jour = vek::JoursDansMois(jour.annee, jour.mois);
    return jour;
}

QString HeureMinute(vek::Instant instant) {
    return QString::asprintf("%02d:%02d", instant.seconde / 3600, instant.seconde / 60 % 60);
}

} // namespace

void ModeleSessions::Definir(std::vector<vek::Session> sessions) {
    beginResetModel();
    sessions_ = std::move(sessions);
    endResetModel();
}

const vek::Session& ModeleSessions::Session(int rangee) const {
    return sessions_[sessions_.size() - 1 - static_cast<std::size_t>(rangee)];
}

int ModeleSessions::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(sessions_.size());
}

int ModeleSessions::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : NombreColonnes;
}

QVariant ModeleSessions::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const vek::Session& s = Session(index.row());
    if (role == Qt::TextAlignmentRole && index.column() == Lignes)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Jour:
        return DepuisCp1252(vek::DateCourte(s.debut.date));
    case Debut:
        return HeureMinute(s.debut);
    case Fin:
        // Une séance qui passe minuit dit le jour de sa fin.
        return s.fin.date == s.debut.date ? HeureMinute(s.fin)
                                          : HeureMinute(s.fin) + QStringLiteral(" le ") +
                                                DepuisCp1252(vek::DateCourte(s.fin.date)).left(5);
    case Lignes:
        return QString::number(s.lignes);
    case Locuteurs: {
        QStringList noms;
        for (const std::string& nom : s.locuteurs)
            noms << DepuisCp1252(nom).trimmed();
        return noms.join(QStringLiteral(", "));
    }
    default:
        return {};
    }
}

QVariant ModeleSessions::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const Titres[] = {"Jour", "Début", "Fin", "Lignes", "Les plus actifs"};
    return section >= 0 && section < NombreColonnes ? DepuisUtf8(Titres[section]) : QVariant();
}

std::vector<int> ModeleSessions::RangeesDuDernierSoir() const {
    if (sessions_.empty())
        return {};
    const vek::Instant derniere = sessions_.back().debut;
    vek::Date jour = derniere.date;
    if (derniere.seconde < HeureDeNuit)
        jour = Veille(jour);
    const vek::Instant soir{jour, HeureDuSoir};
    std::vector<int> rangees;
    for (int r = 0; r < rowCount(); ++r)
        if (Session(r).fin >= soir)
            rangees.push_back(r);
    if (rangees.empty())
        for (int r = 0; r < rowCount(); ++r)
            if (Session(r).debut.date == jour)
                rangees.push_back(r);
    return rangees;
}

std::optional<vek::Periode> ModeleSessions::PeriodeDes(const std::vector<int>& rangees) const {
    std::optional<vek::Periode> periode;
    for (const int r : rangees) {
        if (r < 0 || r >= rowCount())
            continue;
        const vek::Periode p = Session(r).ALaMinute();
        if (!periode)
            periode = p;
        periode->debut = std::min(periode->debut, p.debut);
        periode->fin = std::max(periode->fin, p.fin);
    }
    return periode;
}

QString TexteBorneSession(vek::Instant instant) {
    return DepuisCp1252(vek::InstantCourt(instant, vek::Precision::Minute));
}
