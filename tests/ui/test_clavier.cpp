// Le clavier dans la fenêtre principale : la tabulation suit l'ordre de lecture (journal, dates,
// recherche, recherche de mots, arbres, écriture) sans arrêt invisible ; Entrée dans un champ de
// date lance la recherche ; la recherche, les copies pour un forum et pour Discord et « Sans HRP »
// ont leur raccourci, dit dans les menus.

#include "OutilsFenetre.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "BarreEtat.h"
#include "EntreesExport.h"

namespace vek::test {
namespace {

class Clavier : public BancFenetre {
protected:
    // Le journal cherché sur sa journée, tout coché.
    void Chercher() {
        ChoisirJournal(Ligne(24, 12, 2001, "[Commerce] \"Aldric\": bonjour ((HRP : lag))") +
                       Ligne(24, 12, 2001, "[Guilde] \"Bertrand\": salut"));
        Taper("dateDebut", "24/12/2001");
        Taper("dateFin", "24/12/2001");
        Cliquer("boutonRecherche");
        QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
        QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
        Activer();
    }
    // Une touche pour un contrôle de la fenêtre (la fenêtre elle-même, par défaut), puis la
    // passe qu'elle a lancée.
    void Touche(Qt::Key touche, Qt::KeyboardModifiers modificateurs = {},
                QWidget* cible = nullptr) {
        QTest::keyClick(cible ? cible : fenetre.get(), touche, modificateurs);
        AttendreFinDePasse();
    }
};

TEST_F(Clavier, LaTabulationSuitLOrdreDeLectureSansArretInvisible) {
    Chercher();
    Champ("cheminJournal")->setFocus();
    QStringList vus;
    for (int pas = 0; pas < 30; ++pas) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        if (pas > 0 && focus == Champ("cheminJournal"))
            break;
        EXPECT_TRUE(focus->isVisible()) << focus->objectName().toStdString();
        vus << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(vus, QStringList({"cheminJournal", "boutonParcourir", "dateDebut", "boutonDateDebut",
                                "dateFin", "boutonDateFin", "boutonRecherche", "champChercher",
                                "caseSuivre", "arbreNoms", "caseToutLeMonde", "arbreChannels",
                                "caseTousLesChannels", "boutonCreerLog", "boutonQuitter"}));
}

TEST_F(Clavier, AuDemarrageLeFocusEstDansLeCheminEtLesArbresVidesNeLePrennentPas) {
    EXPECT_EQ(QApplication::focusWidget(), Champ("cheminJournal"));
    for (const char* arbre : {"arbreNoms", "arbreChannels"})
        EXPECT_EQ(Arbre(arbre)->focusPolicy(), Qt::NoFocus) << arbre;
}

TEST_F(Clavier, EntreeDansUnChampDeDateLanceLaRecherche) {
    ChoisirJournal(Ligne(24, 12, 2001, "[Commerce] \"Aldric\": a") +
                   Ligne(25, 12, 2001, "[Commerce] \"Bertrand\": b"));
    Taper("dateFin", "24/12/2001");
    Touche(Qt::Key_Return, {}, Champ("dateFin"));
    EXPECT_EQ(Noeuds("arbreNoms"), QStringList({"Aldric"}));
    // Un champ qui n'est pas une date : Entrée dit pourquoi, comme le bouton.
    Taper("dateDebut", "demain");
    Touche(Qt::Key_Enter, {}, Champ("dateDebut"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].texte.contains("Date de début")) << messages[0].texte.toStdString();
}

TEST_F(Clavier, CtrlRCherche) {
    ChoisirJournal(Ligne(24, 12, 2001, "[Commerce] \"Aldric\": a"));
    Touche(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Noeuds("arbreNoms"), QStringList({"Aldric"}));
}

TEST_F(Clavier, LesCopiesEtSansHrpOntLeurRaccourci) {
    Chercher();
    QGuiApplication::clipboard()->clear();
    Touche(Qt::Key_H, Qt::ControlModifier); // Sans HRP
    EXPECT_TRUE(fenetre->Nettoyage().sansHrp);
    EXPECT_TRUE(Menu("actionSansHrp")->isChecked());
    Touche(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    const QString forum = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(forum.contains("bonjour")) << forum.toStdString();
    EXPECT_FALSE(forum.contains("lag")) << "sans HRP";
    // Une scène qui tient en un message Discord va droit dans le presse-papiers.
    auto* exports = fenetre->findChild<EntreesExport*>("entreesExport");
    ASSERT_NE(exports, nullptr);
    int partiesMontrees = 0;
    exports->montrerParties = [&](QWidget*, const QString&) { ++partiesMontrees; };
    Touche(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    const QString discord = QGuiApplication::clipboard()->text();
    EXPECT_EQ(partiesMontrees, 0);
    EXPECT_TRUE(discord.contains("Bertrand")) << discord.toStdString();
    EXPECT_FALSE(discord.contains("Partie")) << "une partie seule, sans en-tête";
    EXPECT_NE(discord, forum);
    EXPECT_TRUE(messages.empty());
    // Ctrl+H une seconde fois rend le HRP.
    Touche(Qt::Key_H, Qt::ControlModifier);
    EXPECT_FALSE(fenetre->Nettoyage().sansHrp);
}

} // namespace
} // namespace vek::test
