#include "ChampsDeDate.h"

#include <QLineEdit>
#include <QPushButton>

#include "Ligne.h"
#include "SuiviRecherche.h"
#include "TexteQt.h"

namespace {

QString NomDuChamp(ChampsDeDate::Champ champ) {
    return champ == ChampsDeDate::Champ::Debut ? QStringLiteral("Date de début")
                                               : QStringLiteral("Date de Fin");
}

} // namespace

ChampsDeDate::ChampsDeDate(QLineEdit* debut, QLineEdit* fin, QPushButton* boutonDebut,
                           QPushButton* boutonFin)
    : debut_(debut), fin_(fin), boutonDebut_(boutonDebut), boutonFin_(boutonFin) {}

std::string ChampsDeDate::Texte(Champ champ) const {
    return std::string(vek::RognerEspaces(VersCp1252(Controle(champ)->text())));
}

QRect ChampsDeDate::ZoneAEcran() const {
    return {debut_->mapToGlobal(QPoint(0, 0)),
            boutonFin_->mapToGlobal(QPoint(boutonFin_->width(), boutonFin_->height()))};
}

std::pair<QString, QString> ChampsDeDate::Textes() const {
    return {debut_->text(), fin_->text()};
}

std::optional<vek::Borne> ChampsDeDate::LireBorne(Champ champ, const Refus& refus) const {
    const std::string texte = Texte(champ);
    if (const auto borne = vek::ConvertirBorne(texte))
        return borne;
    if (refus)
        refus(texte.empty()
                  ? QStringLiteral("Le champ « %1 » est vide. %2.")
                        .arg(NomDuChamp(champ), FormesDeDate())
                  : QStringLiteral("Le champ « %1 » ne contient pas une date : « %2 ». %3.")
                        .arg(NomDuChamp(champ), DepuisCp1252(texte), FormesDeDate()));
    return std::nullopt;
}

std::optional<vek::Periode> ChampsDeDate::LirePeriode(const Refus& refus) const {
    const auto debut = LireBorne(Champ::Debut, refus);
    if (!debut)
        return std::nullopt;
    const auto fin = LireBorne(Champ::Fin, refus);
    if (!fin)
        return std::nullopt;
    return vek::Periode::Entre(*debut, *fin);
}

std::optional<vek::Periode> ChampsDeDate::Periode() const {
    return LirePeriode({});
}

std::optional<bool> ChampsDeDate::RegleRecherche() const {
    for (const Champ champ : {Champ::Debut, Champ::Fin}) {
        const std::string texte = Texte(champ);
        Controle(champ)->setToolTip(texte.empty() || vek::ConvertirBorne(texte) ? QString()
                                                                                : FormesDeDate());
    }
    if (Texte(Champ::Debut).empty() || Texte(Champ::Fin).empty())
        return std::nullopt;
    return Periode().has_value();
}

void ChampsDeDate::ActiverBoutons(const QString& cheminJournal) const {
    const bool actif = !vek::RognerEspaces(VersNomFichier(cheminJournal)).empty();
    boutonDebut_->setEnabled(actif);
    boutonFin_->setEnabled(actif);
}

void ChampsDeDate::Choisir(Champ champ) const {
    QLineEdit* controle = Controle(champ);
    const auto borne = vek::ConvertirBorne(Texte(champ));
    const std::optional<vek::Date> date =
        calendrier_ ? calendrier_(borne ? std::optional(borne->date) : std::nullopt) : std::nullopt;
    controle->setText(date ? JourAvecHeure(controle->text(), *date) : QString());
}
