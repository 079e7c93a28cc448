// Le calendrier frmCalendar, seul et depuis la fenêtre principale (vraie boîte modale, pilotée
// par une minuterie pendant qu'elle attend).

#include "OutilsFenetre.h"

#include <QCalendarWidget>
#include <QTableView>

#include "frmCalendar.h"

namespace vek::test {
namespace {

QDate VersQDate(Date d) {
    return {d.annee, d.mois, d.jour};
}

QCalendarWidget* CalendrierDe(QWidget* boite) {
    return boite->findChild<QCalendarWidget*>(QStringLiteral("calendrier"));
}

// Clic ou double-clic sur le jour donné du mois affiché (un jour du milieu du mois, qui
// n'apparaît qu'une fois dans la grille ; la ligne 0 porte les noms des jours).
void CliquerJour(QCalendarWidget* calendrier, int jour, bool doubleClic) {
    auto* vue = calendrier->findChild<QTableView*>();
    ASSERT_NE(vue, nullptr);
    const QAbstractItemModel* modele = vue->model();
    for (int ligne = 1; ligne < modele->rowCount(); ++ligne)
        for (int colonne = 0; colonne < modele->columnCount(); ++colonne) {
            const QModelIndex index = modele->index(ligne, colonne);
            if (modele->data(index).toInt() == jour) {
                // Un vrai double-clic : appui et relâchement, puis le second appui.
                const QPoint centre = vue->visualRect(index).center();
                QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
                if (doubleClic)
                    QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, centre);
                return;
            }
        }
    ADD_FAILURE() << "jour introuvable : " << jour;
}

TEST(Calendrier, BoiteEtBoutons) {
    std::optional<Date> choisie;
    frmCalendar boite(choisie);
    boite.show();
    EXPECT_TRUE(boite.windowTitle().trimmed().isEmpty()); // barre de titre vide
    EXPECT_EQ(boite.size(), QSize(284, 245));
    EXPECT_FALSE(boite.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(boite.windowFlags() & Qt::WindowMinimizeButtonHint);
    // Le calendrier, puis les deux boutons côte à côte en dessous ; rien ne sort de la boîte ni
    // ne se recouvre.
    const auto* calendrier = boite.findChild<QWidget*>(QStringLiteral("calendrier"));
    const auto* annuler = boite.findChild<QPushButton*>(QStringLiteral("boutonAnnuler"));
    const auto* valider = boite.findChild<QPushButton*>(QStringLiteral("boutonValider"));
    ASSERT_TRUE(calendrier && annuler && valider);
    for (const QWidget* w :
         {calendrier, static_cast<const QWidget*>(annuler), static_cast<const QWidget*>(valider)})
        EXPECT_TRUE(boite.rect().contains(w->geometry())) << w->objectName().toStdString();
    EXPECT_LT(calendrier->geometry().bottom(), annuler->geometry().top());
    EXPECT_EQ(annuler->geometry().top(), valider->geometry().top());
    EXPECT_LT(annuler->geometry().right(), valider->geometry().left());
    EXPECT_EQ(annuler->text(), "Annuler");
    EXPECT_EQ(valider->text(), "Valider");
    for (const QPushButton* bouton : {annuler, valider}) {
        EXPECT_FALSE(bouton->isDefault()) << bouton->objectName().toStdString();
        EXPECT_FALSE(bouton->autoDefault()) << bouton->objectName().toStdString();
    }
    // Toujours ouvert sur aujourd'hui.
    EXPECT_EQ(CalendrierDe(&boite)->selectedDate(), VersQDate(Aujourdhui()));
}

struct CasFermeture {
    const char* nom;
    std::optional<QDate> selection; // jour choisi avant de fermer
    std::function<void(frmCalendar&)> fermer;
    std::optional<Date> attendu;
    bool resteOuverte;
};

TEST(Calendrier, ChaqueFaconDeFermer) {
    const CasFermeture cas[] = {
        {"Valider", QDate(2001, 12, 24),
         [](frmCalendar& b) {
             QTest::mouseClick(b.findChild<QPushButton*>("boutonValider"), Qt::LeftButton);
         },
         Date{2001, 12, 24}, false},
        {"Annuler", QDate(2001, 12, 24),
         [](frmCalendar& b) {
             QTest::mouseClick(b.findChild<QPushButton*>("boutonAnnuler"), Qt::LeftButton);
         },
         std::nullopt, false},
        {"fermeture par le système", QDate(2001, 12, 24), [](frmCalendar& b) { b.close(); },
         Date{1999, 9, 9}, false},
        {"1er janvier 1900 validé", QDate(1900, 1, 1),
         [](frmCalendar& b) {
             QTest::mouseClick(b.findChild<QPushButton*>("boutonValider"), Qt::LeftButton);
         },
         std::nullopt, false},
        {"double-clic sur un jour", QDate(2001, 12, 3),
         [](frmCalendar& b) { CliquerJour(CalendrierDe(&b), 14, true); }, Date{2001, 12, 14},
         false},
        {"un simple clic choisit sans fermer", QDate(2001, 12, 3),
         [](frmCalendar& b) { CliquerJour(CalendrierDe(&b), 14, false); }, Date{1999, 9, 9}, true},
        {"Échap ne fait rien", QDate(2001, 12, 24),
         [](frmCalendar& b) { QTest::keyClick(&b, Qt::Key_Escape); }, Date{1999, 9, 9}, true},
        {"Entrée ne fait rien", QDate(2001, 12, 24),
         [](frmCalendar& b) { QTest::keyClick(&b, Qt::Key_Return); }, Date{1999, 9, 9}, true},
        {"Entrée dans la grille ne valide pas", QDate(2001, 12, 24),
         [](frmCalendar& b) {
             QTest::keyClick(CalendrierDe(&b)->findChild<QTableView*>(), Qt::Key_Return);
         },
         Date{1999, 9, 9}, true},
    };
    for (const CasFermeture& c : cas) {
        std::optional<Date> choisie = Date{1999, 9, 9}; // seuls Valider et Annuler la changent
        frmCalendar boite(choisie);
        boite.show();
        if (c.selection)
            CalendrierDe(&boite)->setSelectedDate(*c.selection);
        c.fermer(boite);
        EXPECT_EQ(choisie, c.attendu) << c.nom;
        EXPECT_EQ(boite.isVisible(), c.resteOuverte) << c.nom;
    }
}

// Depuis la fenêtre principale, avec la vraie boîte modale.
class CalendrierDepuisLaFenetre : public BancFenetre {
protected:
    void SetUp() override {
        BancFenetre::SetUp();
        // Le calendrier de la fenêtre, pas celui du banc.
        fenetre->DefinirCalendrier(
            [this](std::optional<Date> date) { return frmCalendar::Choisir(fenetre.get(), date); });
    }

    // Pendant que la boîte attend : note le jour montré, choisit un jour et ferme.
    void Piloter(std::optional<QDate> jour, std::function<void(frmCalendar&)> fermer) {
        QTimer::singleShot(0, qApp, [this, jour, fermer] {
            auto* boite = qobject_cast<frmCalendar*>(QApplication::activeModalWidget());
            ASSERT_NE(boite, nullptr);
            EXPECT_TRUE(boite->isModal());
            jourMontre = CalendrierDe(boite)->selectedDate();
            if (jour)
                CalendrierDe(boite)->setSelectedDate(*jour);
            fermer(*boite);
        });
    }

    static void Valider(frmCalendar& b) { b.findChild<QPushButton*>("boutonValider")->click(); }
    static void Annuler(frmCalendar& b) { b.findChild<QPushButton*>("boutonAnnuler")->click(); }

    QDate jourMontre;
};

TEST_F(CalendrierDepuisLaFenetre, ValiderEcritLaDateEtAppliqueLaRegle) {
    Taper("dateFin", "26/12/2001");
    Piloter(QDate(2001, 12, 24), Valider);
    QTest::keyClick(fenetre.get(), Qt::Key_D, Qt::ControlModifier); // bouton encore inactif
    EXPECT_EQ(jourMontre, VersQDate(Aujourdhui()));                 // le champ de début est vide
    EXPECT_EQ(Champ("dateDebut")->text(), "24/12/2001");
    EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Le calendrier s'ouvre sur la date du champ quand c'en est une (le mois et l'année du journal
// sont là tout de suite), sur aujourd'hui sinon ; Valider sans toucher au jour écrit ce jour-là.
TEST_F(CalendrierDepuisLaFenetre, LeCalendrierSOuvreSurLaDateDuChamp) {
    const QDate aujourdhui = VersQDate(Aujourdhui());
    const struct {
        const char* nom;
        const char* champ;
        QDate montre;
    } cas[] = {
        {"date du champ", "26/12/2001", QDate(2001, 12, 26)},
        {"espaces autour", "  24/12/2001 ", QDate(2001, 12, 24)},
        {"pas une date", "26/13/2001", aujourdhui},
        {"champ vide", "", aujourdhui},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        Taper("dateFin", QString::fromLatin1(c.champ));
        int moisMontre = 0;
        int anneeMontree = 0;
        QTimer::singleShot(0, qApp, [&] {
            auto* boite = qobject_cast<frmCalendar*>(QApplication::activeModalWidget());
            ASSERT_NE(boite, nullptr);
            moisMontre = CalendrierDe(boite)->monthShown();
            anneeMontree = CalendrierDe(boite)->yearShown();
        });
        Piloter(std::nullopt, Valider);
        QTest::keyClick(fenetre.get(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_EQ(jourMontre, c.montre);
        EXPECT_EQ(moisMontre, c.montre.month());
        EXPECT_EQ(anneeMontree, c.montre.year());
        EXPECT_EQ(Champ("dateFin")->text(), c.montre.toString(QStringLiteral("dd/MM/yyyy")));
        Activer();
    }
}

TEST_F(CalendrierDepuisLaFenetre, AnnulerFermerOuPremierJanvier1900VidentLeChamp) {
    const std::vector<std::pair<std::optional<QDate>, std::function<void(frmCalendar&)>>> cas = {
        {QDate(2001, 12, 24), Annuler},
        {QDate(2001, 12, 24), [](frmCalendar& b) { b.close(); }},
        {QDate(1900, 1, 1), Valider},
    };
    Taper("dateFin", "26/12/2001");
    for (const auto& [jour, fermer] : cas) {
        Taper("dateDebut", "20/12/2001");
        ASSERT_TRUE(Bouton("boutonRecherche")->isEnabled());
        Piloter(jour, fermer);
        QTest::keyClick(fenetre.get(), Qt::Key_D, Qt::ControlModifier);
        EXPECT_TRUE(Champ("dateDebut")->text().isEmpty());
        // Un champ vide laisse le bouton de recherche tel qu'il était.
        EXPECT_TRUE(Bouton("boutonRecherche")->isEnabled());
        Activer(); // après la boîte modale, la fenêtre principale reprend la main
    }
}

} // namespace
} // namespace vek::test
