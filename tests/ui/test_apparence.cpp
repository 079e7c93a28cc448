// Les textes de chaque fenêtre tiennent dans leurs contrôles, mesurés avec la police de chaque
// contrôle (les polices livrées : ce programme de test ne voit aucune police de la machine), et
// les textes de Qt sont en français.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <QTreeWidget>

#include "Apparence.h"
#include "FrmOption.h"
#include "OutilsFenetre.h"
#include "frmAbout.h"
#include "frmCalendar.h"

namespace vek::test {
namespace {

// Un texte qui déborde : la fenêtre, le contrôle et la mesure.
struct Debordement {
    QString controle;
    QString texte;
    QString detail;
};

QString SansAcces(QString texte) {
    texte.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    texte.remove(QLatin1Char('&'));
    texte.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return texte;
}

// Encre d'un bloc de lignes posé dans zone selon l'alignement (comme QPainter::drawText le
// pose) : chaque ligne doit tenir en largeur, et l'encre de la première à la dernière en hauteur.
std::optional<QString> HorsDeZone(const QFontMetrics& mesure, const QRect& zone,
                                  Qt::Alignment alignement, const QStringList& lignes) {
    const int hauteurBloc =
        static_cast<int>(lignes.size()) * mesure.lineSpacing() - mesure.leading();
    int y = zone.top();
    if (alignement & Qt::AlignVCenter)
        y += (zone.height() - hauteurBloc) / 2;
    else if (alignement & Qt::AlignBottom)
        y += zone.height() - hauteurBloc;
    for (const QString& ligne : lignes) {
        const QRect encre = mesure.tightBoundingRect(ligne);
        const int largeur = std::max(mesure.horizontalAdvance(ligne), encre.right() + 1);
        if (largeur > zone.width())
            return QStringLiteral("%1 px de large pour %2").arg(largeur).arg(zone.width());
        const int ligneBase = y + mesure.ascent();
        if (!ligne.trimmed().isEmpty() &&
            (ligneBase + encre.top() < zone.top() || ligneBase + encre.bottom() > zone.bottom()))
            return QStringLiteral("encre de %1 à %2 pour une zone de %3 à %4")
                .arg(ligneBase + encre.top())
                .arg(ligneBase + encre.bottom())
                .arg(zone.top())
                .arg(zone.bottom());
        y += mesure.lineSpacing();
    }
    return std::nullopt;
}

std::optional<QString> Deborde(QLabel* label) {
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return std::nullopt;
    const QFontMetrics mesure(label->font());
    QRect zone = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                -label->margin());
    if (label->wordWrap()) {
        const QRect besoin = mesure.boundingRect(
            zone, static_cast<int>(label->alignment()) | Qt::TextWordWrap, label->text());
        if (besoin.height() > zone.height() || besoin.width() > zone.width())
            return QStringLiteral("%1 × %2 px pour %3 × %4")
                .arg(besoin.width())
                .arg(besoin.height())
                .arg(zone.width())
                .arg(zone.height());
        return std::nullopt;
    }
    return HorsDeZone(mesure, zone, label->alignment(), label->text().split(QLatin1Char('\n')));
}

std::optional<QString> Deborde(QAbstractButton* bouton) {
    if (bouton->text().isEmpty())
        return std::nullopt;
    QStyleOptionButton option;
    option.initFrom(bouton);
    option.text = bouton->text();
    const bool coche = qobject_cast<QCheckBox*>(bouton) != nullptr;
    const QRect zone = bouton->style()->subElementRect(
        coche ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, bouton);
    const Qt::Alignment alignement = coche ? (Qt::AlignLeft | Qt::AlignVCenter) : Qt::AlignCenter;
    return HorsDeZone(QFontMetrics(bouton->font()), zone, alignement, {SansAcces(bouton->text())});
}

// Chaque texte visible d'une fenêtre ouverte : étiquettes, boutons, cases, nœuds des arbres,
// champs de saisie (hauteur d'une ligne, et largeur d'une date pour les champs de date).
std::vector<Debordement> Debordements(QWidget* fenetre) {
    std::vector<Debordement> trouves;
    auto noter = [&](QWidget* w, const QString& texte, const std::optional<QString>& detail) {
        if (detail)
            trouves.push_back(
                {fenetre->objectName() + QLatin1Char('/') + w->objectName(), texte, *detail});
    };
    for (QLabel* label : fenetre->findChildren<QLabel*>())
        if (label->isVisibleTo(fenetre))
            noter(label, label->text(), Deborde(label));
    for (QAbstractButton* bouton : fenetre->findChildren<QAbstractButton*>())
        if (bouton->isVisibleTo(fenetre) && !bouton->inherits("QToolButton"))
            noter(bouton, bouton->text(), Deborde(bouton));
    for (QLineEdit* champ : fenetre->findChildren<QLineEdit*>()) {
        if (!champ->isVisibleTo(fenetre) || champ->objectName().isEmpty())
            continue;
        QStyleOptionFrame option;
        option.initFrom(champ);
        option.lineWidth = champ->hasFrame() ? 1 : 0;
        const QRect zone =
            champ->style()->subElementRect(QStyle::SE_LineEditContents, &option, champ);
        const QString exemple = champ->objectName().startsWith(QStringLiteral("date"))
                                    ? QStringLiteral("28/09/2001")
                                    : QStringLiteral("Ég");
        noter(champ, exemple,
              HorsDeZone(QFontMetrics(champ->font()), zone, Qt::AlignLeft | Qt::AlignVCenter,
                         {exemple}));
    }
    for (QTreeWidget* arbre : fenetre->findChildren<QTreeWidget*>()) {
        const QFontMetrics mesure(arbre->font());
        for (int i = 0; i < arbre->topLevelItemCount(); ++i) {
            QTreeWidgetItem* noeud = arbre->topLevelItem(i);
            const int hauteur = arbre->visualItemRect(noeud).height();
            if (hauteur < mesure.height())
                noter(arbre, noeud->text(0),
                      QStringLiteral("nœud de %1 px pour une ligne de %2")
                          .arg(hauteur)
                          .arg(mesure.height()));
        }
    }
    return trouves;
}

std::string Rapport(const std::vector<Debordement>& trouves) {
    std::string texte;
    for (const Debordement& d : trouves)
        texte += (d.controle + QStringLiteral(" « ") + d.texte + QStringLiteral(" » : ") + d.detail)
                     .toStdString() +
                 "\n";
    return texte;
}

// Journal aux noms et channels longs, aux dates les plus larges (mercredi, septembre).
std::string JournalLarge() {
    std::string texte;
    texte += Ligne(26, 9, 2001, "[Commerce] \"Aldric\": je vends une lanterne");
    texte += Ligne(26, 9, 2001, "[Guilde des Lanternes] \"B\xe9reng\xe8re de Montfaucon\": salut");
    texte += Ligne(26, 9, 2001, "{Fran\xe7ois}\":\"bonsoir \xe0 tous");
    texte += Ligne(26, 9, 2001, "Vous avez dit : bonsoir");
    texte += Ligne(26, 9, 2001, "Aldric vous appelle : tu viens ?");
    return texte;
}

using Apparence = BancFenetre;

TEST_F(Apparence, LesFenetresNeConnaissentQueLesPolicesLivrees) {
    // Ce programme ne voit aucune police du système : toute famille qui résout ailleurs que
    // dans les deux familles livrées trahirait un contrôle qui dépend de la machine.
    for (QWidget* w : fenetre->findChildren<QWidget*>()) {
        const QString famille = QFontInfo(w->font()).family();
        EXPECT_TRUE(famille == FamilleSansSerif || famille == FamilleDecorative)
            << w->objectName().toStdString() << " : " << famille.toStdString();
    }
    EXPECT_EQ(QFontInfo(Bouton("boutonRecherche")->font()).family(), FamilleDecorative);
    EXPECT_TRUE(QFontInfo(Bouton("boutonRecherche")->font()).bold());
    EXPECT_EQ(QFontInfo(QApplication::font("QMenu")).family(), FamilleSansSerif);
}

TEST_F(Apparence, ChaqueTexteDeLaFenetrePrincipaleTientDansSonControle) {
    ChoisirJournal(JournalLarge());
    for (FrmAnalyse* resume : fenetre->FenetresAnalyse())
        resume->close();
    Activer();
    Cliquer("boutonRecherche");
    ASSERT_GT(Arbre("arbreNoms")->topLevelItemCount(), 3);
    fenetre->findChild<QLabel*>(QStringLiteral("compteurLignes"))
        ->setText(QStringLiteral("4294967296"));
    const auto trouves = Debordements(fenetre.get());
    EXPECT_TRUE(trouves.empty()) << Rapport(trouves);
}

TEST_F(Apparence, LeResumeDeLAnalyseTientSurTroisLignesSansCoupure) {
    ChoisirJournal(JournalLarge());
    const std::vector<FrmAnalyse*> resumes = fenetre->FenetresAnalyse();
    ASSERT_EQ(resumes.size(), 1u);
    FrmAnalyse* resume = resumes.front();
    // Le plus large : mercredi, septembre, et dix chiffres de lignes.
    resume->DefinirResume(QStringLiteral("Date de début du traitement : mercredi 26 septembre 2001"
                                         "\r\nDate de fin de traitement : mercredi 26 septembre "
                                         "2001\r\nNombre de lignes à analyser : 4294967296"));
    auto* texte = resume->findChild<QLabel*>(QStringLiteral("resume"));
    EXPECT_FALSE(texte->wordWrap()); // trois lignes, jamais un mot seul sur la sienne
    auto trouves = Debordements(resume);
    EXPECT_TRUE(trouves.empty()) << Rapport(trouves);
    // Le texte d'attente d'avant la lecture tient aussi.
    FrmAnalyse attente;
    attente.show();
    trouves = Debordements(&attente);
    EXPECT_TRUE(trouves.empty()) << Rapport(trouves);
}

TEST(ApparenceDialogues, ChaqueTexteDesBoitesTientDansSonControle) {
    // Calendrier, options et « À propos », ouverts par leurs vraies procédures ; chacun est
    // mesuré ouvert, puis fermé.
    std::vector<Debordement> trouves;
    auto mesurerPuisFermer = [&trouves] {
        QWidget* boite = QApplication::activeModalWidget();
        if (!boite) {
            ADD_FAILURE() << "aucune boîte ouverte";
            return;
        }
        const auto ici = Debordements(boite);
        trouves.insert(trouves.end(), ici.begin(), ici.end());
        qobject_cast<QDialog*>(boite)->reject();
    };

    QTimer::singleShot(0, mesurerPuisFermer);
    frmCalendar::Choisir(nullptr);

    QTimer::singleShot(0, mesurerPuisFermer);
    ModesPartages modes;
    FrmOption boiteOptions(modes);
    boiteOptions.exec();

    QWidget principale;
    QTimer::singleShot(0, mesurerPuisFermer);
    frmAbout::Afficher(&principale, {});

    EXPECT_TRUE(trouves.empty()) << Rapport(trouves);
}

TEST(ApparenceDialogues, LaBarreDuCalendrierResteVide) {
    QString titre = QStringLiteral("?");
    QTimer::singleShot(0, [&titre] {
        QWidget* boite = QApplication::activeModalWidget();
        titre = boite ? boite->windowTitle() : QString();
        if (boite)
            qobject_cast<QDialog*>(boite)->reject();
    });
    frmCalendar::Choisir(nullptr);
    // Un titre vide ferait écrire à Qt le nom du programme (« VEK_Log ») dans la barre.
    EXPECT_FALSE(titre.isEmpty());
    EXPECT_TRUE(titre.trimmed().isEmpty()) << titre.toStdString();
}

TEST(ApparenceDialogues, LesTextesDeQtSontEnFrancais) {
    // Dialogue d'ouverture (non natif, celui que Qt dessine), menu contextuel d'un champ.
    QFileDialog dialogue(nullptr, QStringLiteral("Chemin du fichier LOG Q7R"));
    dialogue.setOption(QFileDialog::DontUseNativeDialog);
    dialogue.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList textes;
    for (QLabel* l : dialogue.findChildren<QLabel*>())
        textes << l->text();
    for (QAbstractButton* b : dialogue.findChildren<QAbstractButton*>())
        textes << b->text();
    const QString tout = textes.join(QLatin1Char('|'));
    for (const char* anglais : {"Look in", "File name", "Files of type", "&Open", "Cancel"})
        EXPECT_FALSE(tout.contains(QString::fromLatin1(anglais)))
            << anglais << " dans " << tout.toStdString();
    EXPECT_TRUE(tout.contains(QStringLiteral("Annuler"))) << tout.toStdString();
    EXPECT_TRUE(tout.contains(QStringLiteral("Nom de fichier"))) << tout.toStdString();

    QLineEdit champ;
    champ.setText(QStringLiteral("texte"));
    std::unique_ptr<QMenu> menu(champ.createStandardContextMenu());
    QStringList entrees;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            entrees << SansAcces(a->text()).section(QLatin1Char('\t'), 0, 0);
    EXPECT_TRUE(entrees.contains(QStringLiteral("Copier")))
        << entrees.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(entrees.contains(QStringLiteral("Coller")))
        << entrees.join(QLatin1Char('|')).toStdString();
}

} // namespace
} // namespace vek::test
