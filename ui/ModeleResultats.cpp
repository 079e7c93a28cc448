#include "ModeleResultats.h"

#include <QFileInfo>

#include <functional>
#include <map>

#include "Enregistrement.h"
#include "Ligne.h"
#include "TexteQt.h"

namespace {

// Un morceau du texte d'une ligne trouvée, en gras ou non.
struct Morceau {
    QString texte;
    bool gras = false;
};

// Un texte du journal tel qu'il se montre : ses caractères de contrôle par leur symbole.
QString Montrable(std::string_view cp1252) {
    QString texte = DepuisCp1252(cp1252);
    for (QChar& c : texte)
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F)
            c = QChar(0x2421);
    return texte;
}

QString Pluriel(std::uint64_t n, const char* mot) {
    return QStringLiteral("%1 %2%3").arg(n).arg(DepuisUtf8(mot),
                                                n > 1 ? QStringLiteral("s") : QString());
}

// Le message, ses mots trouvés en gras (les passages sont en octets de la ligne ; un message qui
// n'est pas une partie de la ligne n'en a pas).
void AjouterMessage(const vek::LigneTrouvee& t, std::string_view message,
                    std::vector<Morceau>& morceaux) {
    const char* const ligne = t.ligne.data();
    const bool dedans =
        std::less_equal<const char*>()(ligne, message.data()) &&
        std::less_equal<const char*>()(message.data() + message.size(), ligne + t.ligne.size());
    const std::size_t debut = dedans ? static_cast<std::size_t>(message.data() - ligne) : 0;
    std::size_t fait = 0; // dans le message
    for (const vek::Passage& p : dedans ? t.passages : std::vector<vek::Passage>{}) {
        if (p.debut < debut + fait)
            continue;
        const std::size_t a = p.debut - debut;
        if (a >= message.size())
            break;
        const std::size_t b = std::min(message.size(), a + p.longueur);
        morceaux.push_back({Montrable(message.substr(fait, a - fait))});
        morceaux.push_back({Montrable(message.substr(a, b - a)), true});
        fait = b;
    }
    morceaux.push_back({Montrable(message.substr(fait))});
}

// « 21:04:05  [Guilde] Aldric : la mariée arrive », lu comme la correspondance lit la ligne :
// l'heure (la date sans elle), le tag d'un message de channel, le locuteur et le message. Une
// ligne qui n'a pas la forme régulière de son genre montre son corps après le tag.
std::vector<Morceau> MorceauxDeLigne(const vek::LigneTrouvee& t) {
    QString tete =
        t.seconde
            ? DepuisCp1252(vek::InstantCourt({t.date, *t.seconde}, vek::Precision::Seconde)).mid(11)
            : DepuisCp1252(vek::DateCourte(t.date));
    tete += QStringLiteral("  ");
    std::string tampon;
    const std::string_view corps = vek::CorpsDeLigne(t.ligne);
    const vek::Parole parole = vek::LireParole(corps, vek::AnalyserCorps(corps, tampon));
    if (parole.genre == vek::GenreEntree::Channel)
        tete += Montrable(parole.channel) + u' ';
    if (parole.reguliere && !parole.nom.empty()) {
        tete += Montrable(parole.nom).trimmed();
        if (parole.genre == vek::GenreEntree::Murmure)
            tete += QStringLiteral(" (murmure)");
        tete += QStringLiteral(" : ");
    }
    std::vector<Morceau> morceaux{{tete}};
    AjouterMessage(t, vek::RognerEspaces(parole.message), morceaux);
    return morceaux;
}

QString Brut(const std::vector<Morceau>& morceaux) {
    QString texte;
    for (const Morceau& m : morceaux)
        texte += m.texte;
    return texte;
}

// Le HTML d'une rangée : les espaces gardés (aucun ne se fond dans un autre), le gras.
QString Html(const std::vector<Morceau>& morceaux) {
    QString html;
    for (const Morceau& m : morceaux) {
        const QString texte = m.texte.toHtmlEscaped().replace(u' ', QStringLiteral("&nbsp;"));
        html += m.gras ? QStringLiteral("<b>%1</b>").arg(texte) : texte;
    }
    return html;
}

} // namespace

void ModeleResultats::Definir(vek::ResultatScene resultat) {
    beginResetModel();
    resultat_ = std::move(resultat);
    groupes_.clear();
    std::map<std::uint64_t, std::size_t> rangs; // numéro de séance → groupe
    for (const vek::SeanceTrouvee& s : resultat_.seances) {
        rangs.emplace(s.numero, groupes_.size());
        groupes_.push_back({s, {}});
    }
    std::optional<std::size_t> horsSeance;
    for (std::size_t i = 0; i < resultat_.lignes.size(); ++i) {
        const auto rang = rangs.find(resultat_.lignes[i].seance);
        if (rang != rangs.end()) {
            groupes_[rang->second].lignes.push_back(i);
            continue;
        }
        if (!horsSeance) {
            horsSeance = groupes_.size();
            groupes_.push_back({std::nullopt, {}});
        }
        groupes_[*horsSeance].lignes.push_back(i);
    }
    endResetModel();
}

std::optional<vek::SeanceTrouvee> ModeleResultats::SeanceDe(const QModelIndex& index) const {
    if (!index.isValid())
        return std::nullopt;
    const std::size_t groupe =
        index.internalId() == 0 ? static_cast<std::size_t>(index.row()) : index.internalId() - 1;
    return groupe < groupes_.size() ? groupes_[groupe].seance : std::nullopt;
}

QString ModeleResultats::Total() const {
    QString total = Pluriel(resultat_.trouvees, "résultat");
    if (!resultat_.seances.empty())
        total += QStringLiteral(" dans ") + Pluriel(resultat_.seances.size(), "séance");
    total += QStringLiteral(", sur ") + Pluriel(resultat_.lignesLues, "ligne") +
             (resultat_.lignesLues > 1 ? QStringLiteral(" lues") : QStringLiteral(" lue"));
    if (resultat_.trouvees > resultat_.lignes.size())
        total += QStringLiteral(" (les %1 premiers montrés)").arg(resultat_.lignes.size());
    return total;
}

QModelIndex ModeleResultats::index(int rangee, int colonne, const QModelIndex& parent) const {
    if (!hasIndex(rangee, colonne, parent))
        return {};
    // Une séance porte 0 ; une ligne, le rang de sa séance plus un.
    return createIndex(rangee, colonne,
                       parent.isValid() ? static_cast<quintptr>(parent.row()) + 1 : quintptr{0});
}

QModelIndex ModeleResultats::parent(const QModelIndex& index) const {
    if (!index.isValid() || index.internalId() == 0)
        return {};
    return createIndex(static_cast<int>(index.internalId() - 1), 0, quintptr{0});
}

int ModeleResultats::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(groupes_.size());
    if (parent.internalId() != 0 || parent.column() != 0)
        return 0;
    return static_cast<int>(groupes_[static_cast<std::size_t>(parent.row())].lignes.size());
}

int ModeleResultats::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ModeleResultats::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (index.internalId() == 0)
        return Donnee(groupes_[static_cast<std::size_t>(index.row())], role);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != RoleHtml)
        return {};
    const Groupe& groupe = groupes_[index.internalId() - 1];
    const vek::LigneTrouvee& ligne =
        resultat_.lignes[groupe.lignes[static_cast<std::size_t>(index.row())]];
    const auto morceaux = MorceauxDeLigne(ligne);
    if (role == RoleHtml)
        return Html(morceaux);
    // Plusieurs journaux fusionnés : l'info-bulle dit de quel journal vient la ligne.
    if (role == Qt::ToolTipRole && resultat_.journaux.size() > 1 &&
        ligne.source < resultat_.journaux.size())
        return Brut(morceaux) +
               QStringLiteral("\n« %1 », ligne %2")
                   .arg(QFileInfo(DepuisNomFichier(resultat_.journaux[ligne.source])).fileName())
                   .arg(ligne.numero);
    return Brut(morceaux);
}

QVariant ModeleResultats::Donnee(const Groupe& groupe, int role) const {
    if (role != Qt::DisplayRole && role != RoleHtml)
        return {};
    const QString texte = groupe.seance ? TexteSeance(*groupe.seance)
                                        : QStringLiteral("Sans heure lisible : ") +
                                              Pluriel(groupe.lignes.size(), "résultat");
    return role == RoleHtml ? QStringLiteral("<b>%1</b>").arg(texte.toHtmlEscaped()) : texte;
}

QString TexteSeance(const vek::SeanceTrouvee& seance) {
    const QString fin = DepuisCp1252(vek::InstantCourt(seance.fin, vek::Precision::Minute));
    return QStringLiteral("Séance %1 — %2 → %3 : %4")
        .arg(seance.numero)
        .arg(DepuisCp1252(vek::InstantCourt(seance.debut, vek::Precision::Minute)),
             seance.fin.date == seance.debut.date ? fin.mid(11) : fin,
             Pluriel(seance.resultats, "résultat"));
}
