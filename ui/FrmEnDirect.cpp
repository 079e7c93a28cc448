#include "FrmEnDirect.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "Apparence.h"
#include "Publication.h"
#include "TexteQt.h"

namespace {

QString Html(const std::string& cp1252) {
    return DepuisCp1252(cp1252).toHtmlEscaped();
}

// L'état du bloc de la ligne provisoire.
constexpr int EtatProvisoire = 1;

const vek::TeintesDesNoms& TeintesOuOctets(const FrmEnDirect::Teintes& teintes) {
    static const vek::TeintesDesNoms parLeursOctets;
    return teintes ? *teintes : parLeursOctets;
}

} // namespace

FrmEnDirect::FrmEnDirect(QWidget* parent)
    : QWidget(parent, Qt::Window), vue_(new QPlainTextEdit(this)), etat_(new QLabel(this)) {
    setObjectName(QStringLiteral("FrmEnDirect"));
    setWindowTitle(QStringLiteral("En direct"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    vue_->setObjectName(QStringLiteral("vueEnDirect"));
    vue_->setReadOnly(true);
    vue_->setMaximumBlockCount(LignesGardees);
    vue_->setFont(PoliceSansSerif(10));
    vue_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    etat_->setObjectName(QStringLiteral("etatEnDirect"));
    etat_->setFont(PoliceSansSerif(8.25));
    etat_->setWordWrap(true);
    auto* disposition = new QVBoxLayout(this);
    disposition->setContentsMargins(6, 6, 6, 6);
    disposition->addWidget(vue_, 1);
    disposition->addWidget(etat_);
    resize(560, 380);
    // La barre suit le texte même quand la vue ne l'a pas encore mis en page (une rafale qui la
    // fait déborder d'un coup) : chaque changement de sa course la ramène en bas.
    QScrollBar* barre = vue_->verticalScrollBar();
    connect(barre, &QScrollBar::valueChanged, this, [this, barre](int valeur) {
        if (!defile_)
            suit_ = valeur >= barre->maximum();
    });
    connect(barre, &QScrollBar::rangeChanged, this, [this] {
        if (suit_)
            Defiler();
    });
}

void FrmEnDirect::Defiler() {
    defile_ = true;
    vue_->verticalScrollBar()->setValue(vue_->verticalScrollBar()->maximum());
    defile_ = false;
}

QString FrmEnDirect::Presenter(const vek::LigneSuivie& l, const vek::TeintesDesNoms& teintes) {
    QString html;
    if (!l.heure.empty())
        html += QStringLiteral("<span style=\"color:#6e7781\">%1</span> ").arg(Html(l.heure));
    if (!l.channel.empty())
        html += QStringLiteral("<span style=\"background:%1;color:#ffffff\"><b>%2</b></span> ")
                    .arg(DepuisUtf8(vek::CouleurTeinteChannel(vek::TeinteChannel(l.channel))),
                         Html(l.channel));
    if (!l.nom.empty()) {
        // Ce que vous avez dit : la couleur de « vous » de la page, pas celle d'un nom.
        const QString couleur = l.genre == vek::GenreEntree::Dit
                                    ? QStringLiteral("#0550ae")
                                    : DepuisUtf8(teintes.Couleur(l.nom));
        html += QStringLiteral("<b style=\"color:%1\">%2</b> : ").arg(couleur, Html(l.nom));
    }
    QString texte = Html(l.texte);
    if (l.genre == vek::GenreEntree::Murmure)
        texte = QStringLiteral("<i>") + texte + QStringLiteral("</i>");
    return html + texte;
}

void FrmEnDirect::Ajouter(const std::vector<vek::LigneSuivie>& lignes, Teintes teintes,
                          bool derniereProvisoire) {
    ++regards_;
    if (!lignes.empty())
        Achever(); // le jeu a écrit après elle
    const vek::TeintesDesNoms& t = TeintesOuOctets(teintes);
    QStringList blocs;
    // Au-delà de ce que la vue garde, les premières lignes ne feraient qu'entrer et sortir.
    const std::size_t premier =
        lignes.size() > LignesGardees ? lignes.size() - LignesGardees : std::size_t{0};
    for (std::size_t i = premier; i < lignes.size(); ++i)
        blocs << Presenter(lignes[i], t);
    if (derniereProvisoire && !blocs.isEmpty()) {
        blocs.back() += MarqueProvisoire();
        provisoire_.emplace(lignes.back(), std::move(teintes));
    }
    AjouterHtml(blocs);
    if (provisoire_ && derniereProvisoire && !blocs.isEmpty())
        vue_->document()->lastBlock().setUserState(EtatProvisoire);
    emit Regarde(static_cast<int>(blocs.size()));
}

QString FrmEnDirect::MarqueProvisoire() {
    return QStringLiteral("<span style=\"color:#8c959f\"> …</span>");
}

void FrmEnDirect::Corriger(const std::optional<vek::LigneSuivie>& ligne, Teintes teintes) {
    if (!provisoire_) {
        // Sa ligne n'est plus dans la vue : la correction arrive comme une ligne de plus.
        if (ligne)
            AjouterHtml({Presenter(*ligne, TeintesOuOctets(teintes))});
        return;
    }
    RemplacerProvisoire(ligne ? std::optional(Presenter(*ligne, TeintesOuOctets(teintes)))
                              : std::nullopt);
}

void FrmEnDirect::Achever() {
    if (provisoire_)
        RemplacerProvisoire(Presenter(provisoire_->first, TeintesOuOctets(provisoire_->second)));
}

void FrmEnDirect::RemplacerProvisoire(const std::optional<QString>& html) {
    provisoire_.reset();
    // Le bloc marqué, parmi les derniers (un message du suivi a pu venir après lui).
    QTextBlock bloc = vue_->document()->lastBlock();
    while (bloc.isValid() && bloc.userState() != EtatProvisoire)
        bloc = bloc.previous();
    if (!bloc.isValid())
        return;
    bloc.setUserState(-1);
    QTextCursor curseur(bloc);
    if (html) {
        curseur.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        curseur.insertHtml(*html);
        return;
    }
    // Retiré avec le saut de ligne qui le sépare de ses voisins.
    if (bloc.previous().isValid()) {
        curseur.setPosition(bloc.previous().position() + bloc.previous().length() - 1);
        curseur.setPosition(bloc.position() + bloc.length() - 1, QTextCursor::KeepAnchor);
    } else {
        curseur.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        if (curseur.position() == bloc.position())
            curseur.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    curseur.removeSelectedText();
}

void FrmEnDirect::Annoncer(const QString& message) {
    AjouterHtml(
        {QStringLiteral("<i style=\"color:#a40e26\">— %1 —</i>").arg(message.toHtmlEscaped())});
}

void FrmEnDirect::DefinirEtat(const QString& texte) {
    etat_->setText(texte);
}

void FrmEnDirect::AjouterHtml(const QStringList& blocs) {
    if (blocs.isEmpty())
        return;
    // Qui est remonté lire garde sa place sans qu'on touche à la barre : la vue pleine perd ses
    // premières lignes et remonte alors d'autant d'elle-même (remettre l'ancienne valeur ferait
    // glisser le texte sous le lecteur).
    for (const QString& bloc : blocs)
        vue_->appendHtml(bloc);
    if (suit_)
        Defiler();
}

QStringList FrmEnDirect::Lignes() const {
    QStringList lignes = vue_->toPlainText().split(QLatin1Char('\n'));
    if (lignes.size() == 1 && lignes.front().isEmpty())
        lignes.clear();
    return lignes;
}

void FrmEnDirect::closeEvent(QCloseEvent* evenement) {
    evenement->accept();
    emit Fermee();
}
