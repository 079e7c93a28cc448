#include "BarreEtat.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace {

// Une étiquette de deux lignes qui ne réclame pas la largeur de son texte (la fenêtre ne
// s'élargit pas pour un long chemin) : chaque ligne est raccourcie au milieu quand elle ne tient
// pas, le texte est entier dans la bulle.
class TexteRaccourci final : public QLabel {
public:
    explicit TexteRaccourci(QWidget* parent) : QLabel(parent) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        setTextFormat(Qt::PlainText);
        setFixedHeight(2 * fontMetrics().lineSpacing() + 4);
    }

    void Definir(const QString& texte) {
        setText(texte);
        setToolTip(texte);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter peintre(this);
        const QRect zone = contentsRect();
        QStringList lignes = text().split(u'\n');
        for (QString& ligne : lignes)
            ligne = fontMetrics().elidedText(ligne, Qt::ElideMiddle, zone.width());
        peintre.drawText(zone, Qt::AlignLeft | Qt::AlignVCenter, lignes.join(u'\n'));
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
    bouton->hide(); // jusqu'à la première sortie
    boutonDossier_ = bouton;
    addPermanentWidget(bouton);
}

BarreEtat::~BarreEtat() = default;

void BarreEtat::Annoncer(const QString& texte) {
    static_cast<TexteRaccourci*>(texte_)->Definir(texte);
    ouvrirDossier_->setVisible(false);
    boutonDossier_->hide();
}

void BarreEtat::SignalerEcriture(const Sortie& sortie, const QString& chemin, bool ouvert) {
    // Le programme du bureau peut démarrer puis échouer sans que rien ne revienne ici : le
    // chemin est toujours donné, et ce qui a été demandé est dit tel quel.
    static_cast<TexteRaccourci*>(texte_)->Definir((ouvert ? sortie.ouverte : sortie.nonOuverte) +
                                                  u'\n' + chemin);
    dossier_ =
        QDir::toNativeSeparators(QFileInfo(QDir::fromNativeSeparators(chemin)).absolutePath());
    ouvrirDossier_->setVisible(true);
    boutonDossier_->show();
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
            QStringLiteral("Aucun gestionnaire de fichiers n'a pu ouvrir le dossier :\n%1")
                .arg(dossier));
        // Le bouton reste : le dossier est toujours là, un nouvel essai peut réussir.
    }
}
