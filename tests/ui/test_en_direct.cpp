// « Suivre le journal » : la fenêtre « En direct » montre exactement les lignes retenues que le
// jeu ajoute, avec les coches du moment (un changement vaut dès la ligne suivante) ; un journal
// remplacé, tronqué ou réécrit est dit dans la vue et le suivi reprend du nouveau fichier. La
// veille est celle de l'essai : rien ne dépend du temps, chaque écriture la réveille.

#include "OutilsFenetre.h"

#include <QPlainTextEdit>
#include <QScrollBar>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "FrmEnDirect.h"
#include "Publication.h"
#include "VeilleFichier.h"

namespace vek::test {
namespace {

// Une veille que l'essai réveille lui-même : sans signal, elle attend indéfiniment (aucun coup
// d'œil périodique ne vient troubler l'essai).
class VeilleEssai {
public:
    void Signaler() {
        const std::lock_guard verrou(m_);
        ++signaux_;
        cv_.notify_all();
    }
    bool Attendre() {
        std::unique_lock verrou(m_);
        cv_.wait(verrou, [this] { return signaux_ > vus_ || reveil_; });
        reveil_ = false;
        if (signaux_ == vus_)
            return false;
        vus_ = signaux_;
        return true;
    }
    void Reveiller() {
        const std::lock_guard verrou(m_);
        reveil_ = true;
        cv_.notify_all();
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    int signaux_ = 0, vus_ = 0;
    bool reveil_ = false;
};

class VeilleRelais final : public Veille {
public:
    explicit VeilleRelais(VeilleEssai& v) : v_(v) {}
    bool Attendre(std::chrono::milliseconds) override { return v_.Attendre(); }
    void Reveiller() override { v_.Reveiller(); }
    bool SignaleLaCroissance() const override { return true; }

private:
    VeilleEssai& v_;
};

// Le journal « vient toujours de changer », et le jeu y touche encore pendant que la recherche
// attend : une dernière ligne sans fin de ligne est toujours laissée pour la suite.
class HorlogeFigee final : public Horloge {
public:
    std::string journal;
    bool tait = false; // le journal s'est tu depuis longtemps
    Instant Maintenant() override {
        return tait ? std::chrono::system_clock::now() + std::chrono::hours(1) : Instant{};
    }
    void Attendre(std::chrono::milliseconds) override {
        std::filesystem::last_write_time(journal, std::filesystem::last_write_time(journal) +
                                                      std::chrono::seconds(1));
    }
};

class EnDirect : public BancFenetre {
protected:
    void SetUp() override {
        BancFenetre::SetUp();
        fenetre->Module().HorlogeDesPasses = &horloge;
        fenetre->DefinirVeille(
            [this](const std::string&) { return std::make_unique<VeilleRelais>(veille); });
    }
    // Le journal cherché, Aldric coché, tous les channels cochés, puis le suivi.
    void Suivre(const std::string& debut) {
        journal = ChoisirJournal(debut);
        horloge.journal = journal;
        Taper("dateDebut", "24/12/2001");
        Taper("dateFin", "24/12/2001");
        Cliquer("boutonRecherche");
        Cocher("arbreNoms", "Aldric");
        QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
        Controle<QCheckBox>("caseSuivre")->setChecked(true);
        ASSERT_NE(fenetre->EnDirect(), nullptr);
        AttendreRegards(1);
    }
    void AttendreRegards(int n) const {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return fenetre->EnDirect()->Regards() >= n && !fenetre->PasseEnCours(); }, 60000))
            << "le regard ne vient pas";
    }
    // Le jeu écrit ; la veille le signale ; la vue a montré le regard qui suit.
    void Ecrire(const std::string& octets) {
        const int avant = fenetre->EnDirect()->Regards();
        std::ofstream(journal, std::ios::binary | std::ios::app) << octets;
        veille.Signaler();
        AttendreRegards(avant + 1);
    }
    QStringList Vue() const { return fenetre->EnDirect()->Lignes(); }

    VeilleEssai veille;
    HorlogeFigee horloge;
    std::string journal;
};

std::string L(std::string_view corps) {
    return Ligne(24, 12, 2001, corps);
}

TEST_F(EnDirect, MontreExactementLesLignesRetenuesEtUneCocheValeDesLaLigneSuivante) {
    Suivre(L("[Commerce] \"Aldric\": avant") + L("[Guilde] \"Bertrand\": avant"));
    EXPECT_TRUE(Vue().isEmpty()); // ce qui précède le suivi n'y est pas
    QTreeWidget* noms = Arbre("arbreNoms");
    noms->setCurrentItem(noms->topLevelItem(1)); // Bertrand

    Ecrire(L("[Commerce] \"Aldric\": un") + L("[Guilde] \"Bertrand\": deux") +
           L("[Aide] \"Cyprien\": trois"));
    EXPECT_EQ(Vue(), QStringList({"12:00:00 [Commerce] Aldric : un"}));
    // Les nouveaux nœuds sont dans les arbres : [Aide] coché (« tous les channels » l'est),
    // Cyprien non.
    EXPECT_TRUE(Noeuds("arbreChannels").contains("[Aide]"));
    EXPECT_TRUE(Noeuds("arbreNoms").contains("Cyprien"));
    EXPECT_EQ(NoeudsCoches("arbreChannels"), Arbre("arbreChannels")->topLevelItemCount());
    EXPECT_EQ(NoeudsCoches("arbreNoms"), 1);
    // L'arbre n'a pas été refait : le nœud courant reste celui de l'utilisateur.
    ASSERT_NE(noms->currentItem(), nullptr);
    EXPECT_EQ(noms->currentItem()->text(0), "Bertrand");

    Cocher("arbreNoms", "Bertrand");
    Ecrire(L("[Guilde] \"Bertrand\": quatre"));
    Arbre("arbreNoms")->topLevelItem(0)->setCheckState(0, Qt::Unchecked); // Aldric
    // Le jeu écrit une ligne en deux fois : la moitié n'est jamais montrée.
    const std::string ligne = L("[Guilde] \"Bertrand\": six");
    Ecrire(L("[Commerce] \"Aldric\": cinq") + ligne.substr(0, 30));
    EXPECT_EQ(Vue().size(), 2);
    Ecrire(ligne.substr(30));
    EXPECT_EQ(Vue(),
              QStringList({"12:00:00 [Commerce] Aldric : un", "12:00:00 [Guilde] Bertrand : quatre",
                           "12:00:00 [Guilde] Bertrand : six"}));

    // Le bilan sous les arbres compte tout ce qui a été lu.
    EXPECT_NE(Controle<QLabel>("bilanRecherche")->text().indexOf(" : 8 lignes"), -1)
        << Controle<QLabel>("bilanRecherche")->text().toStdString();

    // « Créer le fichier log » pendant le suivi : de tout ce qui a été lu, coches du moment.
    Cliquer("boutonCreerLog");
    const std::string logFinal = LireTout(fenetre->Module().CheminLogFinal());
    EXPECT_NE(logFinal.find("six"), std::string::npos);
    EXPECT_NE(logFinal.find("quatre"), std::string::npos);
    EXPECT_EQ(logFinal.find("cinq"), std::string::npos);
}

// Le nettoyage role-play vaut aussi pour la vue : rien d'hors role-play, aucun vrai nom.
TEST_F(EnDirect, LaVueEstNettoyeeCommeLesSorties) {
    Suivre(L("[Commerce] \"Aldric\": avant") + L("[Guilde] \"Bertrand\": avant"));
    Cocher("arbreNoms", "Bertrand");
    fenetre->Nettoyage().sansHrp = true;
    fenetre->Nettoyage().anonymiser = true;
    Ecrire(L("[Commerce] \"Aldric\": ((brb)) salut Bertrand") +
           L("[Guilde] \"Bertrand\": HRP : lag"));
    EXPECT_EQ(Vue(), QStringList({"12:00:00 [Commerce] Personne 1 : salut Personne 2"}));
}

TEST_F(EnDirect, UneDerniereLigneSansFinEstMontreeUneFoisQueLeJournalSEstTu) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    const std::string ligne = L("[Commerce] \"Aldric\": la fin");
    // La dernière ligne du jeu, sans CR LF : le jeu y touche encore pendant la recherche.
    std::ofstream(journal, std::ios::binary | std::ios::app) << ligne.substr(0, ligne.size() - 2);
    const auto date = std::filesystem::last_write_time(journal);
    int avant = fenetre->EnDirect()->Regards();
    veille.Signaler();
    AttendreRegards(avant + 1);
    EXPECT_TRUE(Vue().isEmpty());
    // Puis il n'écrit plus rien : le journal est tel que la veille l'a vu, et le coup d'œil
    // suivant y revient quand même.
    std::filesystem::last_write_time(journal, date);
    horloge.tait = true;
    avant = fenetre->EnDirect()->Regards();
    veille.Signaler();
    AttendreRegards(avant + 1);
    EXPECT_EQ(Vue(), QStringList({"12:00:00 [Commerce] Aldric : la fin"}));
}

struct CasChangement {
    const char* nom;
    void (*changer)(const std::string& journal, DossierTemporaire& donnees);
    const char* raison; // dans le message de la vue
};

void Renommer(const std::string& journal, DossierTemporaire& donnees) {
    std::filesystem::rename(donnees.Ecrire("autre.TXT", L("[Commerce] \"Aldric\": nouveau")),
                            journal);
}
void Tronquer(const std::string& journal, DossierTemporaire&) {
    std::ofstream(journal, std::ios::binary | std::ios::trunc)
        << L("[Commerce] \"Aldric\": nouveau");
}
void ReecrirePlusLong(const std::string& journal, DossierTemporaire&) {
    std::ofstream(journal, std::ios::binary | std::ios::trunc)
        << L("[Commerce] \"Aldric\": autre début, plus long que l'ancien journal")
        << L("[Guilde] \"Bertrand\": du remplissage pour dépasser l'ancienne fin")
        << L("[Commerce] \"Aldric\": nouveau");
}

class ChangementSuivi : public EnDirect, public ::testing::WithParamInterface<CasChangement> {};

TEST_P(ChangementSuivi, EstDitDansLaVueEtLeSuiviReprendDuNouveauFichier) {
    Suivre(L("[Commerce] \"Aldric\": avant") + L("[Guilde] \"Bertrand\": avant"));
    Ecrire(L("[Commerce] \"Aldric\": un"));
    const int avant = fenetre->EnDirect()->Regards();
    GetParam().changer(journal, donnees);
    veille.Signaler();
    AttendreRegards(avant + 1);
    const QStringList vue = Vue();
    ASSERT_GE(vue.size(), 3) << vue.join('\n').toStdString();
    EXPECT_EQ(vue.front(), "12:00:00 [Commerce] Aldric : un"); // rien de perdu
    EXPECT_NE(vue.at(1).indexOf(QString::fromUtf8(GetParam().raison)), -1)
        << vue.at(1).toStdString();
    EXPECT_EQ(vue.back(), "12:00:00 [Commerce] Aldric : nouveau");
    EXPECT_EQ(Controle<QCheckBox>("caseSuivre")->isChecked(), true);
    // Et le suivi continue sur le nouveau fichier.
    Ecrire(L("[Commerce] \"Aldric\": encore"));
    EXPECT_EQ(Vue().back(), "12:00:00 [Commerce] Aldric : encore");
}

INSTANTIATE_TEST_SUITE_P(
    Journal, ChangementSuivi,
    ::testing::Values(CasChangement{"RemplaceParRenommage", Renommer, "remplacé"},
                      CasChangement{"Tronque", Tronquer, "raccourci"},
                      CasChangement{"ReecritEnPlacePlusLong", ReecrirePlusLong, "changé"}),
    [](const auto& cas) { return std::string(cas.param.nom); });

TEST_F(EnDirect, FermerLaVueArreteLeSuivi) {
    Suivre(L("[Commerce] \"Aldric\": avant"));
    fenetre->EnDirect()->close();
    EXPECT_FALSE(Controle<QCheckBox>("caseSuivre")->isChecked());
    std::ofstream(journal, std::ios::binary | std::ios::app) << L("[Commerce] \"Aldric\": un");
    veille.Signaler(); // plus personne ne veille : rien n'arrive
    QApplication::processEvents();
    EXPECT_FALSE(fenetre->PasseEnCours());
    EXPECT_TRUE(Vue().isEmpty());
}

// ---------------------------------------------------------------------------------------------
// La vue elle-même

QString Latin1(std::string_view texte) {
    return QString::fromLatin1(texte.data(), static_cast<qsizetype>(texte.size()));
}

LigneDirecte Direct(int i) {
    return {GenreEntree::Channel, "21:00:00", "[Guilde]", "Nom" + std::to_string(i % 7),
            "message " + std::to_string(i)};
}

TEST_F(EnDirect, LaVueSuitLaSceneSaufSiLUtilisateurEstRemonte) {
    FrmEnDirect vue;
    vue.show();
    std::vector<LigneDirecte> lignes;
    for (int i = 0; i < 300; ++i)
        lignes.push_back(Direct(i));
    vue.Ajouter(lignes);
    QScrollBar* barre = vue.Vue()->verticalScrollBar();
    ASSERT_GT(barre->maximum(), 0);
    EXPECT_EQ(barre->value(), barre->maximum());
    barre->setValue(10); // l'utilisateur remonte lire
    vue.Ajouter({Direct(300), Direct(301)});
    EXPECT_EQ(barre->value(), 10);
    barre->setValue(barre->maximum());
    vue.Ajouter({Direct(302)});
    EXPECT_EQ(barre->value(), barre->maximum());
}

TEST_F(EnDirect, LaVueGardeLesDixMilleDernieresLignes) {
    FrmEnDirect vue;
    std::vector<LigneDirecte> lignes;
    for (int i = 0; i < FrmEnDirect::LignesGardees + 5; ++i)
        lignes.push_back(Direct(i));
    vue.Ajouter(lignes);
    vue.Ajouter({Direct(-1)});
    const QStringList vues = vue.Lignes();
    ASSERT_EQ(vues.size(), FrmEnDirect::LignesGardees);
    EXPECT_TRUE(vues.front().endsWith("message 6"));
    EXPECT_TRUE(vues.back().endsWith("message -1"));
}

TEST_F(EnDirect, LeNomALaCouleurDeLaPageWebEtLesTextesSontEchappes) {
    LigneDirecte l{GenreEntree::Channel, "21:00:00", "[Guilde]", "Aldric", "<b>&</b>"};
    const QString html = FrmEnDirect::Presenter(l);
    EXPECT_NE(html.indexOf(Latin1(CouleurNom("Aldric"))), -1) << html.toStdString();
    EXPECT_NE(html.indexOf(Latin1(CouleurTeinteChannel(TeinteChannel("[Guilde]")))), -1);
    EXPECT_EQ(html.indexOf("<b>&</b>"), -1); // le texte du journal n'est jamais du HTML
    EXPECT_NE(html.indexOf("&lt;b&gt;&amp;&lt;/b&gt;"), -1);
}

} // namespace
} // namespace vek::test
