// Des couleurs distinctes : dans une même sortie (le texte pour un forum, la page, la vue en
// direct), 24 personnes ont 24 couleurs, même quand leurs octets tirent la même teinte.

#include "BancEnDirect.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>

#include <set>

#include "Publication.h"

namespace vek::test {
namespace {

using Couleurs = EnDirect;

// 24 noms (Aldric, que le banc coche, et 23 autres), dont plusieurs tirent la même teinte de
// leurs octets.
std::vector<std::string> VingtQuatreNoms() {
    std::vector<std::string> noms{"Aldric"};
    for (int i = 0; noms.size() < 24; ++i)
        noms.push_back("Perso" + std::to_string(i));
    return noms;
}

// Les couleurs des noms dans le document de la vue en direct.
std::map<QString, QColor> CouleursDeLaVue(const QPlainTextEdit* vue,
                                          const std::vector<std::string>& noms) {
    std::map<QString, QColor> couleurs;
    for (QTextBlock bloc = vue->document()->begin(); bloc.isValid(); bloc = bloc.next())
        for (auto it = bloc.begin(); !it.atEnd(); ++it)
            for (const std::string& nom : noms)
                if (it.fragment().text() == QString::fromStdString(nom))
                    couleurs[it.fragment().text()] =
                        it.fragment().charFormat().foreground().color();
    return couleurs;
}

TEST_F(Couleurs, VingtQuatrePersonnesOntVingtQuatreCouleursDansChaqueSortie) {
    const std::vector<std::string> noms = VingtQuatreNoms();
    std::set<int> teintesDeLeursOctets;
    for (const std::string& nom : noms)
        teintesDeLeursOctets.insert(TeinteNom(nom));
    ASSERT_LT(teintesDeLeursOctets.size(), noms.size()) << "des noms qui se heurtent";
    std::string scene;
    for (const std::string& nom : noms)
        scene += L("[Commerce] \"" + nom + "\": bonsoir");
    Suivre(scene);
    QTest::mouseClick(Controle<QCheckBox>("caseToutLeMonde"), Qt::LeftButton);

    // Le forum : [color=#rrggbb]Nom
    Menu("actionCopierForum")->trigger();
    AttendreFinDePasse();
    const QString forum = QGuiApplication::clipboard()->text();
    std::set<QString> couleursForum;
    QRegularExpression couleurNom(QStringLiteral("\\[color=(#[0-9a-f]{6})\\](Perso|Aldric)"));
    for (auto m = couleurNom.globalMatch(forum); m.hasNext();)
        couleursForum.insert(m.next().captured(1));
    EXPECT_EQ(couleursForum.size(), noms.size()) << forum.toStdString();

    // La page : <u class=nK>Nom
    lanceur.ouvert = true;
    Menu("actionExporterPageWeb")->trigger();
    AttendreFinDePasse();
    const QString page = QString::fromStdString(LireTout(programme.Fichier("LogFinal.html")));
    std::set<QString> classesPage;
    QRegularExpression classeNom(QStringLiteral("<u class=(n\\d+)>(Perso|Aldric)"));
    for (auto m = classeNom.globalMatch(page); m.hasNext();)
        classesPage.insert(m.next().captured(1));
    EXPECT_EQ(classesPage.size(), noms.size());

    // La vue en direct : la scène écrite de nouveau par chacun.
    std::string encore;
    for (const std::string& nom : noms)
        encore += L("[Commerce] \"" + nom + "\": encore");
    Ecrire(encore);
    std::set<QRgb> couleursVue;
    for (const auto& [nom, couleur] : CouleursDeLaVue(fenetre->EnDirect()->Vue(), noms))
        couleursVue.insert(couleur.rgb());
    EXPECT_EQ(couleursVue.size(), noms.size());
}

} // namespace
} // namespace vek::test
