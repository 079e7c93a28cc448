// Le dialogue d'ouverture du journal (filtres, colonnes en français et assez larges, dossier du
// journal du champ) et ce que le programme laisse sur le disque : rien hors de ses sorties, pas
// même les réglages des dialogues de Qt.

#include "OutilsFenetre.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTreeView>

#include <filesystem>

#include "DialogueJournal.h"
#include "EnvironnementDeTest.h"
#include "FrmOption.h"
#include "frmCalendar.h"

namespace vek::test {
namespace {

namespace fs = std::filesystem;

const QString FiltreJournal = QStringLiteral("TXT file (*.txt *.TXT)");

// Un dossier de journaux : un journal .TXT de 17 Kio, un .log, un sous-dossier.
class DialogueJournal : public ::testing::Test {
protected:
    void SetUp() override {
        journal = donnees.Ecrire("journal.TXT", std::string(17500, 'x'));
        donnees.Ecrire("notes.log", "x");
        fs::create_directory(donnees.Fichier("Archives"));
    }

    // Le dialogue tel que la fenêtre le demande, montré, son dossier lu.
    std::unique_ptr<QFileDialog> Montrer(const QString& cheminActuel) {
        std::unique_ptr<QFileDialog> dialogue(
            CreerDialogueJournal(nullptr, {QStringLiteral("Chemin du fichier LOG Q7R"),
                                           {FiltreJournal, FiltreTousLesFichiers},
                                           QStringLiteral("txt"),
                                           cheminActuel}));
        dialogue->show();
        vue = dialogue->findChild<QTreeView*>(QStringLiteral("treeView"));
        EXPECT_NE(vue, nullptr);
        return dialogue;
    }

    // Les noms montrés, une fois la lecture du dossier faite (elle se fait sur un autre fil).
    QStringList NomsMontres(int attendus) const {
        QStringList noms;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return vue->model()->rowCount(vue->rootIndex()) >= attendus; }, 10000));
        QTest::qWait(50); // les dernières entrées et le filtre
        for (int i = 0; i < vue->model()->rowCount(vue->rootIndex()); ++i)
            noms << vue->model()->index(i, 0, vue->rootIndex()).data().toString();
        noms.sort();
        return noms;
    }

    DossierTemporaire donnees;
    std::string journal;
    QTreeView* vue = nullptr;
};

TEST_F(DialogueJournal, LeFiltreDuJournalPuisTousLesFichiers) {
    const auto dialogue = Montrer(QString::fromStdString(journal));
    EXPECT_EQ(dialogue->nameFilters(), QStringList({FiltreJournal, "Tous les fichiers (*)"}));
    EXPECT_EQ(dialogue->selectedNameFilter(), FiltreJournal);
    EXPECT_EQ(NomsMontres(2), QStringList({"Archives", "journal.TXT"}));
    // Un journal nommé .log se choisit sans taper son nom.
    dialogue->selectNameFilter(FiltreTousLesFichiers);
    EXPECT_EQ(NomsMontres(3), QStringList({"Archives", "journal.TXT", "notes.log"}));
}

TEST_F(DialogueJournal, SOuvreDansLeDossierDuJournalDuChamp) {
    const QString dossier = QDir(QString::fromStdString(donnees.Chemin())).canonicalPath();
    {
        const auto dialogue = Montrer(QString::fromStdString(journal));
        EXPECT_EQ(QDir(dialogue->directory()).canonicalPath(), dossier);
        ASSERT_EQ(dialogue->selectedFiles().size(), 1);
        EXPECT_TRUE(dialogue->selectedFiles()[0].endsWith("journal.TXT"));
    }
    {
        // Un journal effacé depuis : son dossier, sans choix.
        const auto dialogue = Montrer(QString::fromStdString(donnees.Fichier("parti.txt")));
        EXPECT_EQ(QDir(dialogue->directory()).canonicalPath(), dossier);
    }
    {
        // Un dossier qui n'existe pas n'est pas pris.
        const auto dialogue =
            Montrer(QString::fromStdString(donnees.Fichier("nulle/part/journal.txt")));
        EXPECT_NE(QDir(dialogue->directory()).absolutePath(),
                  QString::fromStdString(donnees.Fichier("nulle/part")));
    }
}

// Chaque colonne en français, et assez large pour ses titres et ses textes, sans barre de
// défilement horizontale, avec les polices livrées.
TEST_F(DialogueJournal, ColonnesEnFrancaisQuiNeCoupentAucunTexte) {
    const auto dialogue = Montrer(QString::fromStdString(journal));
    dialogue->selectNameFilter(FiltreTousLesFichiers);
    ASSERT_EQ(NomsMontres(3).size(), 3);
    QHeaderView* entete = vue->header();
    const QFontMetrics mesureEntete(entete->font());
    const QFontMetrics mesure(vue->font());
    const int margeEntete = 2 * entete->style()->pixelMetric(QStyle::PM_HeaderMargin) +
                            entete->style()->pixelMetric(QStyle::PM_HeaderMarkSize);
    for (int colonne = 0; colonne < entete->count(); ++colonne) {
        const QString titre = vue->model()->headerData(colonne, Qt::Horizontal).toString();
        SCOPED_TRACE(titre.toStdString());
        EXPECT_EQ(
            titre,
            QStringList({"Nom", "Taille", "Type", "Date de modification"}).value(colonne, titre));
        EXPECT_FALSE(entete->isSectionHidden(colonne));
        EXPECT_LE(mesureEntete.horizontalAdvance(titre) + margeEntete,
                  entete->sectionSize(colonne));
        for (int ligne = 0; ligne < vue->model()->rowCount(vue->rootIndex()); ++ligne) {
            const QModelIndex index = vue->model()->index(ligne, colonne, vue->rootIndex());
            const QString texte = index.data().toString();
            SCOPED_TRACE(texte.toStdString());
            const int icone = colonne == 0 ? vue->iconSize().width() + 4 : 0;
            EXPECT_LE(mesure.horizontalAdvance(texte) + icone + 8, entete->sectionSize(colonne));
            // En français quelle que soit la langue du système (ici C.UTF-8).
            const QString nom = vue->model()->index(ligne, 0, vue->rootIndex()).data().toString();
            if (colonne == 1 && nom == "journal.TXT") {
                EXPECT_EQ(texte, "17,09 Kio");
            } else if (colonne == 2) {
                const qsizetype rang =
                    QStringList({"Archives", "journal.TXT", "notes.log"}).indexOf(nom);
                EXPECT_EQ(texte,
                          QStringList({"Dossier", "Fichier TXT", "Fichier LOG"}).value(rang));
            } else if (colonne == 3) {
                const QRegularExpression forme(QStringLiteral(R"(^\d\d/\d\d/\d{4} \d\d:\d\d$)"));
                EXPECT_TRUE(forme.match(texte).hasMatch());
            }
        }
    }
    EXPECT_EQ(vue->horizontalScrollBar()->maximum(), 0) << "colonnes plus larges que la vue";
}

// La route entière (vrai dialogue d'ouverture, recherche, options, calendrier, journal final,
// page web) avec HOME et XDG_CONFIG_HOME sur un dossier vide : il l'est toujours à la fin.
using RienHorsDesSorties = BancFenetre;

QStringList Contenu(const fs::path& dossier) {
    QStringList trouves;
    std::error_code ec;
    for (const auto& entree : fs::recursive_directory_iterator(dossier, ec))
        trouves << QString::fromStdString(entree.path().string());
    return trouves;
}

template <class T> void QuandModale(std::function<void(T&)> action) {
    QTimer::singleShot(0, qApp, [action = std::move(action)] {
        auto* boite = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(boite, nullptr) << "aucune boîte modale";
        action(*boite);
    });
}

TEST_F(RienHorsDesSorties, LaRouteNEcritRienDansLeDossierPersonnel) {
    const fs::path personnel = DossierPersonnelDeTest();
    ASSERT_FALSE(personnel.empty());
    EXPECT_EQ(qEnvironmentVariable("HOME"), QString::fromStdString(personnel.string()));
    EXPECT_TRUE(qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(qEnvironmentVariable("HOME")));

    fenetre->DefinirDialogueOuverture(OuvrirDialogueJournal);
    fenetre->DefinirCalendrier(
        [this](std::optional<Date> date) { return frmCalendar::Choisir(fenetre.get(), date); });
    const std::string journal =
        donnees.Ecrire("journal.TXT", Ligne(24, 12, 2001, "[Commerce] \"Aldric\": bonjour") +
                                          Ligne(26, 12, 2001, "[Guilde] \"Aldric\": salut"));
    for (int fois = 0; fois < 2; ++fois) { // deux dialogues : le premier aurait écrit en partant
        QuandModale<QFileDialog>([&](QFileDialog& dialogue) {
            dialogue.selectFile(QString::fromStdString(journal));
            QMetaObject::invokeMethod(&dialogue, "accept");
        });
        Cliquer("boutonParcourir");
        Activer();
    }
    ASSERT_EQ(Champ("cheminJournal")->text(), QString::fromStdString(journal));
    QuandModale<frmCalendar>([](frmCalendar& boite) {
        boite.findChild<QPushButton*>(QStringLiteral("boutonValider"))->click();
    });
    Bouton("boutonDateDebut")->click();
    Activer();
    QuandModale<QDialog>([](QDialog& boite) {
        boite.findChild<QPushButton*>(QStringLiteral("boutonValider"))->click();
    });
    Menu("actionOptionsLog")->trigger();
    Activer();
    Cliquer("boutonRecherche");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);
    Cliquer("boutonCreerLog");
    Menu("actionExporterPageWeb")->trigger();
    AttendreFinDePasse();
    EXPECT_EQ(lanceur.ouverts.size(), 2u);
    fenetre.reset();
    QApplication::processEvents();

    EXPECT_TRUE(Contenu(personnel).isEmpty()) << Contenu(personnel).join(u'\n').toStdString();
}

} // namespace
} // namespace vek::test
