#include "FrmResultats.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTreeView>
#include <QVBoxLayout>

#include "Apparence.h"
#include "ModeleResultats.h"
#include "ModeleSessions.h"

namespace {

// Peint le HTML d'une rangée (ModeleResultats::RoleHtml) : les mots trouvés en gras, sur le fond
// que le style donne à la rangée (sélection comprise).
class DelegueGras final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* peintre, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        o.text.clear();
        const QStyle* style = o.widget ? o.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &o, peintre, o.widget);
        QTextDocument document;
        document.setDefaultFont(o.font);
        document.setDocumentMargin(0);
        document.setHtml(index.data(ModeleResultats::RoleHtml).toString());
        const QRect zone = style->subElementRect(QStyle::SE_ItemViewItemText, &o, o.widget);
        QAbstractTextDocumentLayout::PaintContext contexte;
        contexte.palette = o.palette;
        if (o.state & QStyle::State_Selected)
            contexte.palette.setColor(QPalette::Text, o.palette.color(QPalette::HighlightedText));
        const qreal marge = (zone.height() - document.size().height()) / 2;
        contexte.clip = QRectF(0, 0, zone.width(), zone.height() - marge);
        peintre->save();
        peintre->translate(QPointF(zone.left(), zone.top() + marge));
        peintre->setClipRect(contexte.clip);
        document.documentLayout()->draw(peintre, contexte);
        peintre->restore();
    }
};

} // namespace

FrmResultats::FrmResultats(QWidget* parent)
    : QDialog(parent), modele_(new ModeleResultats(this)), titre_(new QLabel(this)),
      vue_(new QTreeView(this)), total_(new QLabel(this)),
      boutonChoisir_(new QPushButton(QStringLiteral("Choisir"), this)),
      boutonFermer_(new QPushButton(QStringLiteral("Fermer"), this)) {
    setObjectName(QStringLiteral("FrmResultats"));
    setWindowTitle(QStringLiteral("Résultats"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Fenêtre outil, comme « Analyse :) » ; elle s'agrandit pour les longues lignes.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    PoserFondBlanc(this);
    titre_->setObjectName(QStringLiteral("titre"));
    titre_->setFont(PoliceDecorative(9.75, false));
    titre_->setTextFormat(Qt::PlainText);
    total_->setObjectName(QStringLiteral("total"));
    boutonChoisir_->setObjectName(QStringLiteral("boutonChoisir"));
    boutonFermer_->setObjectName(QStringLiteral("boutonFermer"));
    for (QPushButton* bouton : {boutonChoisir_, boutonFermer_}) {
        bouton->setFont(PoliceDecorative(8.25, false));
        bouton->setMinimumWidth(100);
    }
    boutonChoisir_->setDefault(true); // Entrée dans la liste choisit
    auto* bas = new QHBoxLayout;
    bas->addWidget(total_, 1);
    bas->addWidget(boutonChoisir_);
    bas->addWidget(boutonFermer_);
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(16, 12, 16, 12);
    colonne->addWidget(titre_);
    colonne->addWidget(vue_, 1);
    colonne->addLayout(bas);
    connect(boutonChoisir_, &QPushButton::clicked, this, &FrmResultats::Choisir);
    connect(boutonFermer_, &QPushButton::clicked, this, &QWidget::close);
    PreparerVue();
    resize(600, 360);
}

FrmResultats::~FrmResultats() = default;

void FrmResultats::PreparerVue() {
    vue_->setObjectName(QStringLiteral("vueResultats"));
    vue_->setModel(modele_);
    vue_->setItemDelegate(new DelegueGras(vue_));
    vue_->setHeaderHidden(true);
    vue_->setUniformRowHeights(true); // des milliers de lignes restent légères
    vue_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vue_->setSelectionBehavior(QAbstractItemView::SelectRows);
    vue_->setExpandsOnDoubleClick(false); // le double-clic choisit
    connect(vue_, &QAbstractItemView::doubleClicked, this, &FrmResultats::ChoisirRangee);
    connect(vue_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& courant) {
                boutonChoisir_->setEnabled(modele_->SeanceDe(courant).has_value());
            });
}

void FrmResultats::Definir(const QString& requete, const QString& ou, vek::ResultatScene resultat) {
    titre_->setText(QStringLiteral("« %1 » %2").arg(requete, ou));
    modele_->Definir(std::move(resultat));
    total_->setText(modele_->Total());
    vue_->expandAll();
    boutonChoisir_->setEnabled(false);
    if (modele_->rowCount() > 0)
        vue_->setCurrentIndex(modele_->index(0, 0)); // la première séance
}

void FrmResultats::Choisir() {
    const auto seance = modele_->SeanceDe(vue_->currentIndex());
    if (!seance)
        return;
    emit PeriodeChoisie(TexteBorneSession(seance->debut), TexteBorneSession(seance->fin));
    close();
}

void FrmResultats::ChoisirRangee(const QModelIndex& index) {
    if (!index.isValid())
        return;
    vue_->setCurrentIndex(index);
    Choisir();
}

void FrmResultats::keyPressEvent(QKeyEvent* evenement) {
    // « Fermer » est le bouton d'annulation : Échap l'actionne.
    if (evenement->key() == Qt::Key_Escape) {
        boutonFermer_->click();
        evenement->accept();
        return;
    }
    QDialog::keyPressEvent(evenement);
}
