// Boîte des options et boîte « À propos », pilotées hors écran. Les boîtes modales sont ouvertes
// par leur vraie procédure (exec) et manœuvrées depuis la boucle d'événements ; l'outil
// d'informations système et les boîtes de message sont des faux.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>

#include "Apparence.h"
#include "DossierTemporaire.h"
#include "FrmOption.h"
#include "Moteur.h"
#include "OutilsMoteur.h"
#include "frmAbout.h"
#include "ui/EnvironnementDeTest.h"

using vek::test::DossierTemporaire;

namespace {

// Ferme de force une boîte modale restée ouverte (le test échoue au lieu de rester bloqué).
class FiletModal {
public:
    FiletModal() {
        minuterie_.setSingleShot(true);
        QObject::connect(&minuterie_, &QTimer::timeout, [] {
            while (QWidget* w = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "boîte modale restée ouverte : " << w->windowTitle().toStdString();
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->done(0);
                else
                    w->close();
            }
        });
        minuterie_.start(20000);
    }

private:
    QTimer minuterie_;
};

// Agit sur la boîte modale dès qu'elle est montrée.
void QuandModale(std::function<void(QDialog&)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        auto* boite = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(boite, nullptr) << "aucune boîte modale";
        action(*boite);
    });
}

template <class T> T* Controle(QWidget& fenetre, const char* nom) {
    T* c = fenetre.findChild<T*>(QString::fromLatin1(nom));
    EXPECT_NE(c, nullptr) << nom;
    return c;
}

// Touche envoyée comme l'utilisateur la frappe : au contrôle qui a le focus.
void Frapper(QWidget& fenetre, Qt::Key touche) {
    QWidget* cible = fenetre.focusWidget() ? fenetre.focusWidget() : &fenetre;
    QTest::keyClick(cible, touche);
}

// --- Options ---

class BoiteOptions : public ::testing::Test {
protected:
    vek::ModesPartages modes;
    FiletModal filet;

    struct Etat {
        bool date, rp, channel;
        bool operator==(const Etat&) const = default;
    };
    Etat Modes() const {
        const vek::Modes m = modes.Lire();
        return {m.ModeUnlessDate, m.ModeRPName, m.ModeUnlessChannel};
    }
    static Etat Cases(QDialog& boite) {
        return {Controle<QCheckBox>(boite, "caseSansDate")->isChecked(),
                Controle<QCheckBox>(boite, "caseNomRP")->isChecked(),
                Controle<QCheckBox>(boite, "caseSansChannel")->isChecked()};
    }
    // Ouvre la boîte et relève l'état de ses cases, puis la ferme par « Quitter ».
    Etat CasesALOuverture() {
        Etat vu{};
        QuandModale([&](QDialog& boite) {
            vu = Cases(boite);
            Controle<QPushButton>(boite, "boutonQuitter")->click();
        });
        FrmOption::Ouvrir(modes);
        return vu;
    }
};

TEST_F(BoiteOptions, ApresLeDemarrageTroisCasesDecocheesEtLesTextes) {
    bool vue = false;
    QuandModale([&](QDialog& boite) {
        vue = true;
        EXPECT_EQ(Cases(boite), (Etat{false, false, false}));
        EXPECT_EQ(boite.windowTitle(), "Options");
        EXPECT_EQ(boite.parentWidget(), nullptr); // sans fenêtre propriétaire
        EXPECT_EQ(boite.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(Controle<QLabel>(boite, "legendeSansDate")->text(), "Mode Unless Date");
        EXPECT_EQ(Controle<QLabel>(boite, "legendeNomRP")->text(), "Mode RP Name");
        EXPECT_EQ(Controle<QLabel>(boite, "legendeSansChannel")->text(), "Mode Unless Channel");
        EXPECT_EQ(Controle<QLabel>(boite, "explication")->text(),
                  "Permet d'extraire le fichier LOG en omettant :\r\n"
                  " -> La date et l'heure\r\n"
                  " -> Les guillemets entourant le nom \r\n"
                  " -> Le nom du Channel.");
        EXPECT_EQ(Controle<QPushButton>(boite, "boutonQuitter")->text(), "Quitter");
        EXPECT_EQ(Controle<QPushButton>(boite, "boutonValider")->text(), "Valider");
        EXPECT_TRUE(Controle<QPushButton>(boite, "boutonValider")->isDefault());
        EXPECT_FALSE(Controle<QPushButton>(boite, "boutonQuitter")->isDefault());
        // Polices (points à 96 ppp) : rangées décoratives 9,75 pt (13 px), boutons 8,25 pt (11 px)
        // gras, explication en italique.
        const QFont rangee = Controle<QLabel>(boite, "legendeNomRP")->font();
        EXPECT_EQ(rangee.pixelSize(), 13);
        EXPECT_FALSE(rangee.bold());
        const QFont bouton = Controle<QPushButton>(boite, "boutonValider")->font();
        EXPECT_EQ(bouton.pixelSize(), 11);
        EXPECT_TRUE(bouton.bold());
        EXPECT_EQ(bouton.families(), rangee.families());
        const QFont explication = Controle<QLabel>(boite, "explication")->font();
        EXPECT_TRUE(explication.italic());
        EXPECT_EQ(explication.pixelSize(), 11);
        Controle<QPushButton>(boite, "boutonQuitter")->click();
    });
    FrmOption::Ouvrir(modes);
    EXPECT_TRUE(vue);
    EXPECT_EQ(Modes(), (Etat{false, false, false}));
}

TEST_F(BoiteOptions, EntreeValideEtLaReouvertureMontreLEtatValide) {
    modes = vek::Modes{false, false, true};
    QuandModale([&](QDialog& boite) {
        QTest::mouseClick(Controle<QCheckBox>(boite, "caseNomRP"), Qt::LeftButton);
        Frapper(boite, Qt::Key_Return);
    });
    FrmOption::Ouvrir(modes);
    EXPECT_EQ(Modes(), (Etat{false, true, true}));
    EXPECT_EQ(CasesALOuverture(), (Etat{false, true, true}));
}

TEST_F(BoiteOptions, ValiderSansChangementRecopieLesMemesValeurs) {
    for (const Etat depart :
         {Etat{false, false, false}, Etat{true, false, true}, Etat{true, true, true}}) {
        modes = vek::Modes{depart.date, depart.rp, depart.channel};
        QuandModale([](QDialog& boite) { Controle<QPushButton>(boite, "boutonValider")->click(); });
        FrmOption::Ouvrir(modes);
        EXPECT_EQ(Modes(), depart);
    }
}

struct FaconDeFermer {
    const char* nom;
    std::function<void(QDialog&)> fermer;
};

void PrintTo(const FaconDeFermer& cas, std::ostream* sortie) {
    *sortie << cas.nom;
}

class FermetureSansValider : public BoiteOptions,
                             public ::testing::WithParamInterface<FaconDeFermer> {};

TEST_P(FermetureSansValider, NeChangeAucunMode) {
    modes = vek::Modes{false, true, false};
    bool ouverteApresEchap = false;
    QuandModale([&](QDialog& boite) {
        // Tout inverser, puis fermer sans valider.
        for (const char* nom : {"caseSansDate", "caseNomRP", "caseSansChannel"})
            QTest::mouseClick(Controle<QCheckBox>(boite, nom), Qt::LeftButton);
        // Échap ne fait rien : la boîte reste ouverte.
        Frapper(boite, Qt::Key_Escape);
        QApplication::processEvents();
        ouverteApresEchap = boite.isVisible();
        GetParam().fermer(boite);
    });
    FrmOption::Ouvrir(modes);
    EXPECT_TRUE(ouverteApresEchap);
    EXPECT_EQ(Modes(), (Etat{false, true, false}));
    EXPECT_EQ(CasesALOuverture(), (Etat{false, true, false}));
}

INSTANTIATE_TEST_SUITE_P(
    Facons, FermetureSansValider,
    ::testing::Values(FaconDeFermer{"Quitter",
                                    [](QDialog& b) {
                                        Controle<QPushButton>(b, "boutonQuitter")->click();
                                    }},
                      FaconDeFermer{"CaseDeFermeture", [](QDialog& b) { b.close(); }},
                      FaconDeFermer{"EntreeSurQuitter",
                                    [](QDialog& b) {
                                        // Entrée sur le bouton qui a le focus l'active, comme un
                                        // clic.
                                        Controle<QPushButton>(b, "boutonQuitter")->setFocus();
                                        Frapper(b, Qt::Key_Return);
                                    }}),
    [](const ::testing::TestParamInfo<FaconDeFermer>& cas) { return std::string(cas.param.nom); });

TEST_F(BoiteOptions, OrdreDuFocus) {
    std::vector<QString> ordre;
    QuandModale([&](QDialog& boite) {
        boite.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&boite));
        for (int i = 0; i < 9; ++i) {
            ordre.push_back(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                        : QString());
            Frapper(boite, Qt::Key_Tab);
        }
        Controle<QPushButton>(boite, "boutonQuitter")->click();
    });
    FrmOption::Ouvrir(modes);
    EXPECT_EQ(ordre, (std::vector<QString>{"caseSansDate", "caseNomRP", "caseSansChannel",
                                           "caseSansHrp", "caseAnonymiser", "boutonRenommer",
                                           "boutonQuitter", "boutonValider", "caseSansDate"}));
}

// Un clic sur la légende d'une rangée coche sa case, un second la décoche, sans toucher aux
// autres ; « Valider » retient ce que les clics ont fait. Toute case de la boîte (celles
// qu'ajoutera une autre rangée aussi) a une légende qui est sa compagne.
TEST_F(BoiteOptions, UnClicSurLaLegendeBasculeSaCase) {
    const struct {
        const char* legende;
        Etat apres;
    } rangees[] = {
        {"legendeSansDate", {true, false, false}},
        {"legendeNomRP", {false, true, false}},
        {"legendeSansChannel", {false, false, true}},
    };
    for (const auto& r : rangees) {
        SCOPED_TRACE(r.legende);
        Etat apresUnClic{};
        Etat apresDeuxClics{true, true, true};
        QuandModale([&](QDialog& boite) {
            QLabel* legende = Controle<QLabel>(boite, r.legende);
            QTest::mouseClick(legende, Qt::LeftButton, {}, legende->rect().center());
            apresUnClic = Cases(boite);
            QTest::mouseClick(legende, Qt::LeftButton, {}, legende->rect().center());
            apresDeuxClics = Cases(boite);
            QTest::mouseClick(legende, Qt::LeftButton, {}, legende->rect().center());
            Controle<QPushButton>(boite, "boutonValider")->click();
        });
        FrmOption::Ouvrir(modes);
        EXPECT_EQ(apresUnClic, r.apres);
        EXPECT_EQ(apresDeuxClics, Etat{});
        EXPECT_EQ(Modes(), r.apres);
        modes.Publier({});
    }

    QStringList sansLegende;
    QuandModale([&](QDialog& boite) {
        for (QCheckBox* c : boite.findChildren<QCheckBox*>()) {
            bool trouvee = false;
            for (QLabel* l : boite.findChildren<QLabel*>())
                trouvee = trouvee || l->buddy() == c;
            if (!trouvee)
                sansLegende << c->objectName();
        }
        Controle<QPushButton>(boite, "boutonQuitter")->click();
    });
    FrmOption::Ouvrir(modes);
    EXPECT_TRUE(sansLegende.isEmpty()) << sansLegende.join(u' ').toStdString();
}

TEST_F(BoiteOptions, ChaqueOuvertureEstUneBoiteNeuve) {
    QPointer<QDialog> premiere;
    QuandModale([&](QDialog& boite) {
        premiere = &boite;
        Controle<QPushButton>(boite, "boutonQuitter")->click();
    });
    FrmOption::Ouvrir(modes);
    EXPECT_TRUE(premiere.isNull()); // libérée à la fermeture
}

// Une option validée pendant l'écriture du journal final vaut pour les lignes suivantes : la
// vraie boîte est ouverte et validée entre deux lignes (depuis la progression de la passe).
TEST_F(BoiteOptions, ValideePendantLEcritureSAppliqueAuxLignesSuivantes) {
    struct ProgressionOptions final : vek::Progression {
        std::function<void(std::uint64_t)> surValeur;
        void Valeur(std::uint64_t lignes) override { surValeur(lignes); }
    };
    DossierTemporaire dossier;
    vek::Moteur module{vek::test::Reglages(dossier.Chemin())};
    const std::string entete = "12/24/2001 [18:30:05] ";
    dossier.Ecrire("LogVEKtemp.txt", entete + "Aldric vous appelle\r\n" + entete +
                                         "Bob vous appelle\r\n" + entete + "Zoe vous appelle\r\n");
    vek::Selection selection;
    selection.AjouterNom(vek::NomWhisps);
    ProgressionOptions progression;
    progression.surValeur = [&](std::uint64_t lignes) {
        if (lignes == 1) { // une ligne lue et rangée, la deuxième pas encore
            QuandModale([](QDialog& boite) {
                QTest::mouseClick(Controle<QCheckBox>(boite, "caseSansDate"), Qt::LeftButton);
                Controle<QPushButton>(boite, "boutonValider")->click();
            });
            FrmOption::Ouvrir(modes);
        }
    };
    ASSERT_TRUE(vek::test::EcrireLogFinal(module, selection, modes, progression).ok());
    const std::string final = vek::test::LireTout(dossier.Fichier("LogFinal.txt"));
    EXPECT_NE(final.find("\r\n" + entete +
                         "Aldric vous appelle\r\nBob vous appelle\r\nZoe vous "
                         "appelle\r\n"),
              std::string::npos)
        << final;
    EXPECT_TRUE(modes.Lire().ModeUnlessDate);
}

// --- À propos ---

class BoiteAPropos : public ::testing::Test {
protected:
    int infoSysteme = 0; // appels de « Infos système... »
    std::function<void()> lancer = [this] { ++infoSysteme; };
    FiletModal filet;
    // Tient lieu de fenêtre principale ; l'instance partagée disparaît avec elle, chaque test
    // repart donc d'une boîte neuve.
    QWidget principale;
};

const QString Description = QStringLiteral(
    "VEK Log est un extracteur de LOG, qui vous permet de retirer de votre fichier LOG Q7R, les "
    "conversation nécessaires à votre usage. \r\n\r\nAinsi il devient trés aisé de savoir qui a "
    "dit quoi sur quel chan à quelle date :)");

TEST_F(BoiteAPropos, TextesPosesAuChargement) {
    bool vue = false;
    QuandModale([&](QDialog& boite) {
        vue = true;
        EXPECT_EQ(boite.windowTitle(), "À propos de Extracteur de LOG VEK");
        EXPECT_EQ(Controle<QLabel>(boite, "lblTitle")->text(), "Extracteur de LOG VEK");
        EXPECT_EQ(Controle<QLabel>(boite, "lblVersion")->text(), "Version 2.0.4");
        EXPECT_EQ(Controle<QLabel>(boite, "lblDescription")->text(), Description);
        EXPECT_EQ(Controle<QLabel>(boite, "lblDisclaimer")->text(),
                  "Le logiciel a été testé sur tous les Systèmes basés sur Windows, cependant, "
                  "nous ne sommes pas responsables des éventuels mauvais fonctionnement du "
                  "logiciel et des suites possibles ...");
        EXPECT_EQ(Controle<QPushButton>(boite, "cmdSysInfo")->text(), "&Infos système...");
        auto* ok = Controle<QPushButton>(boite, "cmdOK");
        EXPECT_EQ(ok->text(), "OK");
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(boite.focusWidget(), ok);
        // Cadre fixe d'au moins 5730 × 3555 twips ; chaque texte tient dans son étiquette,
        // quelle que soit la police disponible.
        EXPECT_EQ(boite.minimumSize(), boite.maximumSize());
        EXPECT_EQ(boite.width(), 382);
        EXPECT_GE(boite.height(), 237);
        for (const char* nom : {"lblDescription", "lblDisclaimer"}) {
            auto* etiquette = Controle<QLabel>(boite, nom);
            EXPECT_LE(etiquette->heightForWidth(etiquette->width()), etiquette->height()) << nom;
            EXPECT_LE(etiquette->geometry().bottom(), boite.height()) << nom;
        }
        EXPECT_FALSE(boite.windowFlags() & Qt::WindowMinMaxButtonsHint);
        EXPECT_FALSE(Controle<QLabel>(boite, "picIcon")->pixmap().isNull());
        ok->click();
    });
    frmAbout::Afficher(&principale, lancer);
    EXPECT_TRUE(vue);
    EXPECT_EQ(infoSysteme, 0);
}

struct ToucheDeFermeture {
    const char* nom;
    Qt::Key touche;
};

void PrintTo(const ToucheDeFermeture& cas, std::ostream* sortie) {
    *sortie << cas.nom;
}

class FermetureAPropos : public BoiteAPropos,
                         public ::testing::WithParamInterface<ToucheDeFermeture> {};

TEST_P(FermetureAPropos, FermeCommeOK) {
    bool fermee = false;
    QuandModale([&](QDialog& boite) {
        Frapper(boite, GetParam().touche);
        QApplication::processEvents();
        fermee = !boite.isVisible();
    });
    frmAbout::Afficher(&principale, lancer);
    EXPECT_TRUE(fermee);
}

INSTANTIATE_TEST_SUITE_P(Touches, FermetureAPropos,
                         ::testing::Values(ToucheDeFermeture{"Echap", Qt::Key_Escape},
                                           ToucheDeFermeture{"Entree", Qt::Key_Return}),
                         [](const ::testing::TestParamInfo<ToucheDeFermeture>& cas) {
                             return std::string(cas.param.nom);
                         });

TEST_F(BoiteAPropos, InstancePartageeRechargeeAChaqueAffichage) {
    QuandModale([](QDialog& boite) {
        Controle<QLabel>(boite, "lblVersion")->setText("abîmée");
        boite.setWindowTitle("abîmée");
        Controle<QPushButton>(boite, "cmdOK")->click();
    });
    frmAbout::Afficher(&principale, lancer);
    frmAbout* premiere = frmAbout::Instance();
    ASSERT_NE(premiere, nullptr);

    QString version, titre;
    QuandModale([&](QDialog& boite) {
        EXPECT_EQ(&boite, premiere);
        version = Controle<QLabel>(boite, "lblVersion")->text();
        titre = boite.windowTitle();
        Frapper(boite, Qt::Key_Escape);
    });
    frmAbout::Afficher(&principale, lancer);
    EXPECT_EQ(version, "Version 2.0.4");
    EXPECT_EQ(titre, "À propos de Extracteur de LOG VEK");
}

TEST_F(BoiteAPropos, InfosSystemeDemarreLOutilEtLaBoiteResteOuverte) {
    bool ouverte = false;
    QuandModale([&](QDialog& boite) {
        Controle<QPushButton>(boite, "cmdSysInfo")->click();
        QApplication::processEvents();
        ouverte = boite.isVisible();
        Controle<QPushButton>(boite, "cmdOK")->click();
    });
    frmAbout::Afficher(&principale, lancer);
    EXPECT_TRUE(ouverte);
    EXPECT_EQ(infoSysteme, 1);
}

TEST_F(BoiteAPropos, OutilAbsentMessageParDessusLaBoite) {
    struct Vu {
        QWidget* parent;
        QString texte, titre;
    };
    std::vector<Vu> vus;
    ServicesInfoSystemeFenetres fenetres([&](QWidget* parent, const QString& t, const QString& ti) {
        vus.push_back({parent, t, ti});
    });
    QPointer<QDialog> aPropos;
    bool ouverte = false;
    QuandModale([&](QDialog& boite) {
        aPropos = &boite;
        Controle<QPushButton>(boite, "cmdSysInfo")->click();
        QApplication::processEvents();
        ouverte = boite.isVisible();
        Controle<QPushButton>(boite, "cmdOK")->click();
    });
    frmAbout::Afficher(&principale, [&] { vek::LancerInfoSysteme(std::nullopt, fenetres); });
    EXPECT_TRUE(ouverte);
    ASSERT_EQ(vus.size(), 1u);
    EXPECT_EQ(vus[0].parent, aPropos.data());
    EXPECT_EQ(vus[0].texte, "Les informations système ne sont pas disponibles actuellement");
    EXPECT_EQ(vus[0].titre, "Extracteur de LOG VEK");
}

} // namespace

int main(int argc, char** argv) {
    // Hors écran, sans les polices de la machine ni le vrai dossier personnel, quel que soit
    // l'environnement du test.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vek::test::PreparerEnvironnementDeTest();
    QApplication application(argc, argv);
    if (!PreparerApparence())
        return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
