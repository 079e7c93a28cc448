#include "BarreEtat.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace {

// Une étiquette qui ne réclame pas la largeur de son texte (la fenêtre ne s'élargit pas pour un
// long chemin) : le texte est raccourci au milieu quand il ne tient pas, entier dans la bulle.
class TexteRaccourci final : public QLabel {
public:
    explicit TexteRaccourci(QWidget* parent) : QLabel(parent) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setTextFormat(Qt::PlainText);
    }

    void Definir(const QString& texte) {
        setText(texte);
        setToolTip(texte);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter peintre(this);
        const QRect zone = contentsRect();
        peintre.drawText(zone, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, zone.width()));
    }
};

} // namespace

BarreEtat::BarreEtat(OuvreurDossier ouvreur, QWidget* parent)
    : QStatusBar(parent), ouvreur_(std::move(ouvreur)) {
    setObjectName(QStringLiteral("barreEtat"));
    setSizeGripEnabled(false);
    auto* texte = new TexteRaccourci(this);
    texte->setObjectName(QStringLiteral("texteBarreEtat"));
    texte_ = texte;
    addWidget(texte_, 1);

    ouvrirDossier_ = new QAction(QStringLiteral("Ouvrir le dossier"), this);
    ouvrirDossier_->setObjectName(QStringLiteral("actionOuvrirDossier"));
    ouvrirDossier_->setVisible(false);
    connect(ouvrirDossier_, &QAction::triggered, this, &BarreEtat::OuvrirDossier);
    auto* bouton = new QToolButton(this);
    bouton->setObjectName(QStringLiteral("boutonOuvrirDossier"));
    bouton->setDefaultAction(ouvrirDossier_);
    bouton->setAutoRaise(true);
    bouton->setFocusPolicy(Qt::NoFocus);
    addPermanentWidget(bouton);
}

BarreEtat::~BarreEtat() = default;

void BarreEtat::Annoncer(const QString& texte) {
    static_cast<TexteRaccourci*>(texte_)->Definir(texte);
    ouvrirDossier_->setVisible(false);
}

void BarreEtat::SignalerEcriture(const Sortie& sortie, const QString& chemin, bool ouvert) {
    // Le programme du bureau peut démarrer puis échouer sans que rien ne revienne ici : le
    // chemin est toujours donné, et ce qui a été demandé est dit tel quel.
    const QString suite =
        ouvert ? QStringLiteral("le %1 du bureau a été chargé de l'ouvrir.").arg(sortie.programme)
               : QStringLiteral("aucun %1 n'a démarré.").arg(sortie.programme);
    static_cast<TexteRaccourci*>(texte_)->Definir(
        QStringLiteral("%1 : %2 — %3").arg(sortie.nature, chemin, suite));
    dossier_ =
        QDir::toNativeSeparators(QFileInfo(QDir::fromNativeSeparators(chemin)).absolutePath());
    ouvrirDossier_->setVisible(true);
}

QString BarreEtat::Texte() const {
    return texte_->text();
}

void BarreEtat::OuvrirDossier() {
    if (dossier_.isEmpty() || !ouvreur_)
        return;
    const QString dossier = dossier_;
    if (!ouvreur_(dossier)) {
        static_cast<TexteRaccourci*>(texte_)->Definir(
            QStringLiteral("Aucun gestionnaire de fichiers n'a pu ouvrir le dossier : %1")
                .arg(dossier));
        // Le bouton reste : le dossier est toujours là, un nouvel essai peut réussir.
    }
}
