#include "BarreEtat.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr int LignesMontrees = 2;

// Les lignes d'un avis à la largeur donnée : coupées entre deux mots ; au-delà de maximum, la
// dernière finit par « … » après le dernier mot entier qui tient. Un mot plus long qu'une ligne
// est raccourci à sa fin.
QStringList CouperAuxMots(const QString& texte, const QFontMetrics& mesure, int largeur,
                          int maximum) {
    QStringList lignes;
    QString ligne;
    const QStringList mots = texte.split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < mots.size(); ++i) {
        const QString essai = ligne.isEmpty() ? mots[i] : ligne + u' ' + mots[i];
        if (ligne.isEmpty() || mesure.horizontalAdvance(essai) <= largeur) {
            ligne = essai;
            continue;
        }
        if (lignes.size() + 1 == maximum) {
            // La dernière ligne : les mots qui tiennent avec « … ».
            while (!ligne.isEmpty() && mesure.horizontalAdvance(ligne + u'…') > largeur)
                ligne = ligne.contains(u' ') ? ligne.left(ligne.lastIndexOf(u' ')) : QString();
            lignes << ligne + u'…';
            return lignes;
        }
        lignes << ligne;
        ligne = mots[i];
    }
    if (!ligne.isEmpty())
        lignes << ligne;
    for (QString& l : lignes)
        if (mesure.horizontalAdvance(l) > largeur)
            l = mesure.elidedText(l, Qt::ElideRight, largeur);
    return lignes;
}

// Une étiquette de deux lignes qui ne réclame pas la largeur de son texte (la fenêtre ne
// s'élargit pas pour un long chemin) ; le texte est entier dans la bulle.
class TexteRaccourci final : public QLabel {
public:
    explicit TexteRaccourci(QWidget* parent) : QLabel(parent) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        setTextFormat(Qt::PlainText);
        setFixedHeight(LignesMontrees * fontMetrics().lineSpacing() + 4);
    }

    // chemin : la dernière ligne du texte est un chemin, raccourci au milieu.
    void Definir(const QString& texte, bool chemin) {
        chemin_ = chemin;
        setText(texte);
        setToolTip(texte);
    }

    QStringList Lignes() const {
        const int largeur = contentsRect().width();
        if (!chemin_)
            return CouperAuxMots(text(), fontMetrics(), largeur, LignesMontrees);
        const QString avis = text().section(u'\n', 0, -2);
        QStringList lignes = CouperAuxMots(avis, fontMetrics(), largeur, LignesMontrees - 1);
        lignes << fontMetrics().elidedText(text().section(u'\n', -1), Qt::ElideMiddle, largeur);
        return lignes;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter peintre(this);
        peintre.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, Lignes().join(u'\n'));
    }

private:
    bool chemin_ = false;
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
    static_cast<TexteRaccourci*>(texte_)->Definir(texte, false);
    ouvrirDossier_->setVisible(false);
    boutonDossier_->hide();
}

void BarreEtat::SignalerEcriture(const Sortie& sortie, const QString& chemin, bool ouvert) {
    // Le programme du bureau peut démarrer puis échouer sans que rien ne revienne ici : le
    // chemin est toujours donné, et ce qui a été demandé est dit tel quel.
    static_cast<TexteRaccourci*>(texte_)->Definir(
        (ouvert ? sortie.ouverte : sortie.nonOuverte) + u'\n' + chemin, true);
    dossier_ =
        QDir::toNativeSeparators(QFileInfo(QDir::fromNativeSeparators(chemin)).absolutePath());
    ouvrirDossier_->setVisible(true);
    boutonDossier_->show();
}

QString BarreEtat::Texte() const {
    return texte_->text();
}

QStringList BarreEtat::Lignes() const {
    return static_cast<const TexteRaccourci*>(texte_)->Lignes();
}

void BarreEtat::OuvrirDossier() {
    if (dossier_.isEmpty() || !ouvreur_)
        return;
    const QString dossier = dossier_;
    if (!ouvreur_(dossier)) {
        static_cast<TexteRaccourci*>(texte_)->Definir(
            QStringLiteral("Aucun gestionnaire de fichiers n'a pu ouvrir le dossier :\n%1")
                .arg(dossier),
            true);
        // Le bouton reste : le dossier est toujours là, un nouvel essai peut réussir.
    }
}
