// Ce que la fenêtre dit et montre autour d'une passe : la barre d'état après chaque sortie
// écrite, les commandes grisées pendant une passe (boutons et menus) et le focus, qui suit la
// route sans jamais sélectionner le texte d'un champ.

#include "OutilsFenetre.h"

#include <QDir>
#include <QStatusBar>

#include <filesystem>
#include <stdexcept>

#include "BarreEtat.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "SystemeValidationEssai.h"

namespace vek::test {
namespace {

using Moments = BancFenetre;

std::string JournalCourt() {
    return Ligne(24, 12, 2001, "[Commerce] \"Aldric\": bonjour") +
           Ligne(25, 12, 2001, "[Guilde] \"B\xE9reng\xE8re\": salut") +
           Ligne(26, 12, 2001, "[Guilde] \"Aldric\": \xE0 demain");
}

// Le texte de la barre d'état, entier.
QString TexteBarre(FrmPrincipal& fenetre) {
    auto* barre = qobject_cast<BarreEtat*>(fenetre.statusBar());
    return barre ? barre->Texte() : QString();
}

// Après chaque sortie, la barre dit son chemin complet et si un programme du bureau a été
// chargé de l'ouvrir ; « Ouvrir le dossier » ouvre le dossier de la sortie. La boîte de message
// ne vient que quand aucun programme n'a démarré.
TEST_F(Moments, LaBarreDEtatDitOuEstAlleeChaqueSortie) {
    const struct {
        const char* nom;
        const char* commande; // bouton ou entrée de menu
        const char* fichier;
        bool ouvert;
        const char* dit;
    } cas[] = {
        {"journal final ouvert", "boutonCreerLog", "LogFinal.txt", true,
         "Fichier log écrit et confié au visualiseur du bureau :\n%1"},
        {"journal final sans visualiseur", "boutonCreerLog", "LogFinal.txt", false,
         "Fichier log écrit ; aucun visualiseur n'a démarré :\n%1"},
        {"page web ouverte", "actionExporterPageWeb", "LogFinal.html", true,
         "Page web écrite et confiée au navigateur du bureau :\n%1"},
        {"page web sans navigateur", "actionExporterPageWeb", "LogFinal.html", false,
         "Page web écrite ; aucun navigateur n'a démarré :\n%1"},
    };
    ASSERT_NE(qobject_cast<BarreEtat*>(fenetre->statusBar()), nullptr);
    EXPECT_TRUE(fenetre->statusBar()->isVisible());
    auto* ouvrirDossier = fenetre->findChild<QAction*>(QStringLiteral("actionOuvrirDossier"));
    ASSERT_NE(ouvrirDossier, nullptr);
    auto* boutonDossier = fenetre->findChild<QWidget*>(QStringLiteral("boutonOuvrirDossier"));
    ASSERT_NE(boutonDossier, nullptr);
    EXPECT_FALSE(ouvrirDossier->isVisible()); // rien d'écrit encore
    EXPECT_FALSE(boutonDossier->isVisible());
    EXPECT_EQ(ouvrirDossier->text(), "Ouvrir le dossier");
    auto* texte = fenetre->findChild<QLabel*>(QStringLiteral("texteBarreEtat"));
    ASSERT_NE(texte, nullptr);

    ChoisirJournal(JournalCourt());
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    const QString dossier = QDir::toNativeSeparators(QString::fromStdString(programme.Chemin()));
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        lanceur.ouvert = c.ouvert;
        messages.clear();
        if (std::string(c.commande).starts_with("action")) {
            Menu(c.commande)->trigger();
            AttendreFinDePasse();
        } else {
            Cliquer(c.commande);
        }
        const QString chemin =
            QDir::toNativeSeparators(QString::fromStdString(programme.Fichier(c.fichier)));
        EXPECT_EQ(TexteBarre(*fenetre), QString(c.dit).arg(chemin));
        // Chaque ligne se lit entière dans la barre, le chemin compris.
        for (const QString& ligne : TexteBarre(*fenetre).split(u'\n'))
            EXPECT_LE(texte->fontMetrics().horizontalAdvance(ligne), texte->contentsRect().width())
                << ligne.toStdString();
        EXPECT_EQ(messages.size(), c.ouvert ? 0u : 1u);
        EXPECT_TRUE(ouvrirDossier->isVisible());
        EXPECT_TRUE(boutonDossier->isVisible());

        lanceur.ouverts.clear();
        lanceur.ouvert = true;
        ouvrirDossier->trigger();
        ASSERT_EQ(lanceur.ouverts.size(), 1u);
        EXPECT_EQ(std::filesystem::path(lanceur.ouverts[0]),
                  std::filesystem::path(programme.Chemin()));
        EXPECT_EQ(TexteBarre(*fenetre), QString(c.dit).arg(chemin)); // rien à redire
    }

    // Aucun gestionnaire de fichiers : la barre le dit, le bouton reste pour un autre essai.
    lanceur.ouvert = false;
    ouvrirDossier->trigger();
    EXPECT_EQ(TexteBarre(*fenetre),
              "Aucun gestionnaire de fichiers n'a pu ouvrir le dossier :\n" + dossier);
    EXPECT_TRUE(ouvrirDossier->isVisible());
}

// Les avis des autres commandes passent par la même barre ; un long texte ne fait pas grandir
// la fenêtre (il est raccourci à l'écran, entier dans sa bulle).
TEST_F(Moments, UnAvisRemplaceLeTexteSansElargirLaFenetre) {
    const int largeur = fenetre->width();
    const QString longTexte = QStringLiteral("Recherche complète : ") + QString(300, u'x');
    fenetre->AnnoncerDansBarreEtat(longTexte);
    QApplication::processEvents();
    EXPECT_EQ(TexteBarre(*fenetre), longTexte);
    EXPECT_EQ(fenetre->width(), largeur);
    EXPECT_LE(fenetre->minimumSizeHint().width(), largeur);
    auto* texte = fenetre->findChild<QLabel*>(QStringLiteral("texteBarreEtat"));
    ASSERT_NE(texte, nullptr);
    EXPECT_EQ(texte->toolTip(), longTexte);
    EXPECT_FALSE(fenetre->findChild<QAction*>(QStringLiteral("actionOuvrirDossier"))->isVisible());
    EXPECT_FALSE(fenetre->findChild<QWidget*>(QStringLiteral("boutonOuvrirDossier"))->isVisible());
}

// Une validation qu'un programme arrêté a laissée à moitié dans le dossier : la recherche qui
// prend le dossier la termine, et la barre d'état le dit comme la boîte, même quand la recherche
// y dit aussi quelque chose d'elle-même. Une sortie modifiée depuis : rien n'est touché, et la
// barre dit où est chaque fichier.
TEST_F(Moments, LaBarreDEtatDitLaValidationReprise) {
    const std::string journal = donnees.Ecrire("avant.txt", JournalCourt());
    for (const bool modifiee : {false, true}) {
        SCOPED_TRACE(modifiee ? "sortie modifiée depuis" : "reprise terminée");
        {
            test::SystemeDEssai arret;
            arret.apresEchange = [](std::size_t) { throw std::runtime_error("arrêt"); };
            Moteur autre{test::Reglages(programme.Chemin(), arret)};
            Progression p;
            ASSERT_TRUE(test::Chercher(autre, journal, {2001, 12, 24}, {2001, 12, 26}, p).ok());
            for (const char* nom : {"LogFinal.txt", "LogFinal.html", "LogFinal.jsonl"})
                programme.Ecrire(nom, "ancien");
            Selection selection;
            selection.AjouterChannel("[Commerce]");
            const ModesPartages modes;
            ASSERT_FALSE(test::Ecrire(autre, selection, modes,
                                      FormatsSortie::De({"texte", "html", "json"}), p)
                             .ok());
        }
        if (modifiee)
            programme.Ecrire("LogFinal.txt", "retouché à la main");
        messages.clear();
        ChoisirJournal(JournalCourt());
        Cliquer("boutonRecherche");
        const QString barre = TexteBarre(*fenetre);
        EXPECT_TRUE(barre.contains(modifiee ? "n'a pas pu être repris sans risque"
                                            : "a été terminé : « LogFinal.txt », "
                                              "« LogFinal.html », « LogFinal.jsonl »"))
            << barre.toStdString();
        if (modifiee) {
            EXPECT_TRUE(barre.contains("« LogFinal.txt » est la nouvelle sortie, modifiée depuis"))
                << barre.toStdString();
        }
        // La boîte dit la même chose ; la barre y ajoute ce que la recherche a dit d'elle-même.
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(barre.startsWith(messages[0].texte)) << barre.toStdString();
    }
}

// Les dessins de la fenêtre gardent leur place : la barre s'ajoute sous la zone de 428 × 506.
TEST_F(Moments, LaBarreDEtatSAjouteSousLaZoneDesControles) {
    const QWidget* zone = fenetre->centralWidget();
    EXPECT_GE(zone->height(), 506);
    EXPECT_LE(zone->geometry().bottom(), fenetre->statusBar()->geometry().top());
}

// Pendant une passe, chaque commande qui en lancerait une autre est grisée avec son bouton,
// menus compris ; le calendrier et les options restent. À la fin, chacune suit sa règle.
TEST_F(Moments, PendantUnePasseLesEntreesDeMenuQuiLancentUnePasseSontGrisees) {
    ChoisirJournal(JournalLong(300), "court.txt");
    Cliquer("boutonRecherche"); // active « Créer le fichier log » et « Exporter en page web… »
    ChoisirJournal(JournalLong(5000), "long.txt");
    const char* grisees[] = {"actionOuvrirJournal", "actionExporterPageWeb"};
    const char* actives[] = {"actionDateDebut", "actionDateFin", "actionOptionsLog",
                             "actionQuitter"};
    for (const char* nom : grisees)
        EXPECT_TRUE(Menu(nom)->isEnabled()) << nom;
    QStringList actifsPendant;
    QStringList inactifsPendant;
    std::size_t dialoguesPendant = 0;
    PendantLaPasse([&] {
        for (const char* nom : grisees)
            if (Menu(nom)->isEnabled())
                actifsPendant << nom;
        for (const char* nom : actives)
            if (!Menu(nom)->isEnabled())
                inactifsPendant << nom;
        const std::size_t avant = dialogues.size();
        QTest::keyClick(fenetre.get(), Qt::Key_O, Qt::ControlModifier);
        dialoguesPendant = dialogues.size() - avant;
    });
    Cliquer("boutonRecherche");
    EXPECT_TRUE(actifsPendant.isEmpty()) << actifsPendant.join(u' ').toStdString();
    EXPECT_TRUE(inactifsPendant.isEmpty()) << inactifsPendant.join(u' ').toStdString();
    EXPECT_EQ(dialoguesPendant, 0u);
    for (const char* nom : grisees)
        EXPECT_TRUE(Menu(nom)->isEnabled()) << nom;
}

// Aucun champ n'a de texte sélectionné par le programme.
QStringList ChampsSelectionnes(const FrmPrincipal& fenetre) {
    QStringList noms;
    for (const QLineEdit* champ : fenetre.findChildren<QLineEdit*>())
        if (champ->hasSelectedText())
            noms << champ->objectName();
    return noms;
}

QString NomDuFocus(const FrmPrincipal& fenetre) {
    return fenetre.focusWidget() ? fenetre.focusWidget()->objectName() : QStringLiteral("(aucun)");
}

// Après l'analyse, le focus va à « Lancer la recherche » ; après la recherche, à l'arbre des
// présents ; pendant les passes et après, aucun texte de champ n'est sélectionné.
TEST_F(Moments, LeFocusSuitLaRouteSansSelectionnerDeTexte) {
    ChoisirJournal(JournalLong(3000));
    EXPECT_EQ(NomDuFocus(*fenetre), "boutonRecherche");
    EXPECT_TRUE(ChampsSelectionnes(*fenetre).isEmpty());

    QStringList selectionnesPendant;
    QString focusPendant;
    PendantLaPasse([&] {
        selectionnesPendant = ChampsSelectionnes(*fenetre);
        focusPendant = NomDuFocus(*fenetre);
    });
    Bouton("boutonRecherche")->setFocus(Qt::MouseFocusReason);
    Cliquer("boutonRecherche");
    EXPECT_TRUE(selectionnesPendant.isEmpty()) << selectionnesPendant.join(u' ').toStdString();
    EXPECT_FALSE(focusPendant.startsWith("date") || focusPendant == "cheminJournal")
        << focusPendant.toStdString();
    EXPECT_EQ(NomDuFocus(*fenetre), "arbreNoms");
    EXPECT_TRUE(ChampsSelectionnes(*fenetre).isEmpty());

    // Une touche égarée après la recherche n'efface aucune date.
    QTest::keyClick(fenetre->focusWidget(), Qt::Key_X);
    EXPECT_EQ(Champ("dateDebut")->text(), "24/12/2001");
    EXPECT_EQ(Champ("dateFin")->text(), "24/12/2001");

    // Le journal final : le focus revient à « Créer le fichier log ».
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    Bouton("boutonCreerLog")->setFocus(Qt::MouseFocusReason);
    Cliquer("boutonCreerLog");
    EXPECT_EQ(NomDuFocus(*fenetre), "boutonCreerLog");
    EXPECT_TRUE(ChampsSelectionnes(*fenetre).isEmpty());
}

} // namespace
} // namespace vek::test
