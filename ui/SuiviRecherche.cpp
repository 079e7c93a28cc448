#include "SuiviRecherche.h"

#include "TexteQt.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace {

QString Compte(std::uint64_t n, const char* singulier, const char* pluriel) {
    return NombreGroupe(n) + QLatin1Char(' ') + DepuisUtf8(n == 1 ? singulier : pluriel);
}

QString Periode(const vek::Periode& periode) {
    return DepuisCp1252(vek::TextePeriode(periode));
}

} // namespace

QString NombreGroupe(std::uint64_t n) {
    QString chiffres = QString::number(n);
    for (qsizetype i = chiffres.size() - 3; i > 0; i -= 3)
        chiffres.insert(i, QChar(0x00A0));
    return chiffres;
}

QString BilanRecherche(const vek::ResultatRecherche& r) {
    const std::size_t channels = r.catalogue ? r.catalogue->NombreChannels() : 0;
    const std::size_t noms = r.catalogue ? r.catalogue->NombreNoms() : 0;
    return QStringLiteral("Recherche ") + Periode(r.periode) + QStringLiteral(" : ") +
           Compte(r.lignesRetenues, "ligne", "lignes") + QStringLiteral(", ") +
           Compte(channels, "channel", "channels") + QStringLiteral(", ") +
           Compte(noms, "personne", "personnes");
}

QString BilanEtLimites(const vek::ResultatRecherche& r) {
    QString bilan = BilanRecherche(r);
    if (const QString limites = TexteLimites(*r.catalogue); !limites.isEmpty())
        bilan += QLatin1Char('\n') + limites;
    return bilan;
}

std::optional<QString> RaisonRechercheVide(const vek::ResultatRecherche& r) {
    if (r.lignesRetenues > 0)
        return std::nullopt;
    if (r.periode.fin < r.periode.debut)
        return QStringLiteral("La période %1 est inversée : son début vient après sa fin. Aucune "
                              "ligne ne peut s'y trouver ; échangez les deux dates.")
            .arg(Periode(r.periode));
    if (r.lignesDatees == 0)
        return QStringLiteral("Le journal n'a aucune ligne datée (une date mm/jj/aaaa en tête de "
                              "ligne) : ce n'est pas un journal de discussion du jeu, ou il est "
                              "vide. Il n'y a rien à extraire.");
    return QStringLiteral("Aucune ligne datée du journal ne tombe dans la période %1. Choisissez "
                          "une autre période : la fenêtre « Analyse :) » donne les dates du "
                          "journal et ses séances de jeu.")
        .arg(Periode(r.periode));
}

QString TexteLimites(const vek::Catalogue& c) {
    QStringList parties;
    const auto partie = [&parties](bool atteinte, std::size_t max, std::size_t ignores,
                                   const char* genre, const char* laisse) {
        if (!atteinte)
            return;
        const QString combien = ignores >= vek::Catalogue::MaxIgnores
                                    ? QStringLiteral("au moins ") + NombreGroupe(ignores)
                                    : NombreGroupe(ignores);
        parties << QStringLiteral("%1 %2 au plus, %3 autres %4")
                       .arg(NombreGroupe(max), DepuisUtf8(genre), combien, DepuisUtf8(laisse));
    };
    partie(c.LimiteChannelsAtteinte, vek::Catalogue::MaxChannels, c.ChannelsIgnores(), "channels",
           "laissés de côté");
    partie(c.LimiteNomsAtteinte, vek::Catalogue::MaxNoms, c.NomsIgnores(), "personnes",
           "laissées de côté");
    if (parties.isEmpty())
        return {};
    return QStringLiteral("Limite atteinte : ") + parties.join(QStringLiteral(" ; ")) +
           QLatin1Char('.');
}

QString TexteArbresPerimes(const vek::Periode& periode) {
    return QStringLiteral("Les arbres viennent de la recherche ") + Periode(periode) +
           QStringLiteral(" : la période des champs a changé, relancez la recherche.");
}

QString QuestionArbresPerimes(const vek::Periode& periode) {
    return QStringLiteral("Les arbres viennent de la recherche ") + Periode(periode) +
           QStringLiteral(" : relancer la recherche pour la nouvelle période ?");
}

void TrierNoeuds(std::vector<std::string_view>& noeuds) {
    static constexpr std::string_view Premiers[] = {vek::TexteZoneProximite, vek::NomVous,
                                                    vek::NomWhisps};
    const auto rangPremier = [](std::string_view texte) {
        const auto* p = std::find(std::begin(Premiers), std::end(Premiers), texte);
        return static_cast<int>(p - std::begin(Premiers));
    };
    QCollator collation{QLocale(QLocale::French, QLocale::France)};
    collation.setCaseSensitivity(Qt::CaseInsensitive);
    struct Cle {
        int premier;
        QString texte;
        std::string_view noeud;
    };
    std::vector<Cle> cles;
    cles.reserve(noeuds.size());
    for (std::string_view n : noeuds)
        cles.push_back({rangPremier(n), DepuisCp1252(n), n});
    std::stable_sort(cles.begin(), cles.end(), [&collation](const Cle& a, const Cle& b) {
        if (a.premier != b.premier)
            return a.premier < b.premier;
        const int ordre = collation.compare(a.texte, b.texte);
        // À égalité pour la collation (même nom, casse différente), l'ordre des octets.
        return ordre != 0 ? ordre < 0 : a.noeud < b.noeud;
    });
    for (std::size_t i = 0; i < cles.size(); ++i)
        noeuds[i] = cles[i].noeud;
}

QString FormesDeDate() {
    return QStringLiteral("Forme attendue : jj/mm/aaaa, jj/mm/aaaa hh:mm ou jj/mm/aaaa hh:mm:ss");
}

QString JourAvecHeure(const QString& ancien, vek::Date jour) {
    QString texte = DepuisCp1252(vek::DateCourte(jour));
    const auto borne = vek::ConvertirBorne(VersCp1252(ancien));
    if (borne && borne->precision != vek::Precision::Jour) {
        const QString heure = ancien.trimmed().section(QLatin1Char(' '), 1).trimmed();
        texte += QLatin1Char(' ') + heure;
    }
    return texte;
}
