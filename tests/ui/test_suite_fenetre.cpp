// La fenêtre et un journal qui grandit : une nouvelle recherche sur la même période ne lit que
// la suite, garde les coches et fait arriver les nouveaux nœuds ; un journal remplacé fait tout
// relire, et la barre d'état dit pourquoi.

#include "OutilsFenetre.h"

#include <QCheckBox>
#include <QStatusBar>

#include <filesystem>
#include <fstream>

#include "BarreEtat.h"

namespace vek::test {
namespace {

using SuiteFenetre = BancFenetre;

Qt::CheckState Coche(QTreeWidget* arbre, const QString& texte) {
    for (int i = 0; i < arbre->topLevelItemCount(); ++i)
        if (arbre->topLevelItem(i)->text(0) == texte)
            return arbre->topLevelItem(i)->checkState(0);
    ADD_FAILURE() << "nœud introuvable : " << texte.toStdString();
    return Qt::PartiallyChecked;
}

TEST_F(SuiteFenetre, LesCochesRestentEtLesNouveauxNoeudsArrivent) {
    const std::string journal = ChoisirJournal(Ligne(24, 12, 2001, "[Commerce] \"Aldric\": a") +
                                               Ligne(24, 12, 2001, "[Guilde] \"Bertrand\": b"));
    Taper("dateDebut", "24/12/2001");
    Taper("dateFin", "24/12/2001");
    Cliquer("boutonRecherche");
    Cocher("arbreNoms", "Aldric");
    QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
    Arbre("arbreChannels")->topLevelItem(1)->setCheckState(0, Qt::Unchecked); // [Commerce]
    const QString avant = qobject_cast<BarreEtat*>(fenetre->statusBar())->Texte();

    std::ofstream(journal, std::ios::binary | std::ios::app)
        << Ligne(24, 12, 2001, "[Aide] \"Cyprien\": c");
    Cliquer("boutonRecherche");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Noeuds("arbreChannels"),
              QStringList({"Zone de proximité", "[Aide]", "[Commerce]", "[Guilde]"}));
    EXPECT_EQ(Coche(Arbre("arbreChannels"), "[Commerce]"), Qt::Unchecked); // décoché, resté
    EXPECT_EQ(Coche(Arbre("arbreChannels"), "[Guilde]"), Qt::Checked);
    EXPECT_EQ(Coche(Arbre("arbreChannels"), "[Aide]"), Qt::Checked); // « tous » est coché
    EXPECT_EQ(Coche(Arbre("arbreNoms"), "Aldric"), Qt::Checked);
    EXPECT_EQ(Coche(Arbre("arbreNoms"), "Cyprien"), Qt::Unchecked);
    EXPECT_TRUE(Controle<QCheckBox>("caseTousLesChannels")->isChecked());
    EXPECT_EQ(qobject_cast<BarreEtat*>(fenetre->statusBar())->Texte(), avant);

    // Remplacé par un autre fichier : tout est relu, les arbres repartent décochés, et la
    // barre d'état dit pourquoi.
    const std::string autre = donnees.Ecrire("autre.TXT", Ligne(24, 12, 2001, "[Aide] \"D\": d"));
    std::filesystem::rename(autre, journal);
    Cliquer("boutonRecherche");
    EXPECT_NE(qobject_cast<BarreEtat*>(fenetre->statusBar())->Texte().indexOf("remplacé"), -1)
        << qobject_cast<BarreEtat*>(fenetre->statusBar())->Texte().toStdString();
    EXPECT_EQ(Noeuds("arbreNoms"), QStringList({"D"}));
    EXPECT_EQ(Coche(Arbre("arbreNoms"), "D"), Qt::Unchecked);
}

} // namespace
} // namespace vek::test
