#pragma once
// Banc d'essai de « Suivre le journal » : la vraie fenêtre principale et sa vue « En direct », une
// veille que l'essai réveille lui-même (rien ne dépend du temps, chaque écriture la réveille) et
// une horloge des passes qui peut retenir un regard au milieu de sa lecture, le temps que l'essai
// agisse pendant qu'il tourne.

#include "OutilsFenetre.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "FrmEnDirect.h"
#include "Horloge.h"
#include "VeilleFichier.h"

namespace vek::test {

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
    // Les signaux qu'aucun fil de veille n'a encore pris.
    int NonVus() {
        const std::lock_guard verrou(m_);
        return signaux_ - vus_;
    }
    // Les veilles du suivi encore en vie (0 : plus rien ne peut faire regarder le journal).
    std::atomic<int> veilleurs{0};

private:
    std::mutex m_;
    std::condition_variable cv_;
    int signaux_ = 0, vus_ = 0;
    bool reveil_ = false;
};

class VeilleRelais final : public Veille {
public:
    explicit VeilleRelais(VeilleEssai& v) : v_(v) { ++v_.veilleurs; }
    ~VeilleRelais() override { --v_.veilleurs; }
    VeilleRelais(const VeilleRelais&) = delete;
    VeilleRelais& operator=(const VeilleRelais&) = delete;
    bool Attendre(std::chrono::milliseconds) override { return v_.Attendre(); }
    void Reveiller() override { v_.Reveiller(); }
    bool SignaleLaCroissance() const override { return true; }

private:
    VeilleEssai& v_;
};

// Le journal « vient toujours de changer », et le jeu y touche encore pendant que la recherche
// attend : une dernière ligne sans fin de ligne est toujours laissée pour la suite. Retenue, la
// recherche reste dans cette attente jusqu'à ce que l'essai la libère.
class HorlogeFigee final : public Horloge {
public:
    std::string journal;
    bool tait = false; // le journal s'est tu depuis longtemps
    Instant Maintenant() override {
        return tait ? std::chrono::system_clock::now() + std::chrono::hours(1) : Instant{};
    }
    void Attendre(std::chrono::milliseconds) override {
        {
            std::unique_lock verrou(m_);
            attente_ = retenir_;
            cv_.notify_all();
            cv_.wait(verrou, [this] { return !retenir_; });
            attente_ = false;
        }
        std::filesystem::last_write_time(journal, std::filesystem::last_write_time(journal) +
                                                      std::chrono::seconds(1));
    }
    // La prochaine recherche qui attend une ligne inachevée y reste jusqu'à Liberer.
    void Retenir() {
        const std::lock_guard verrou(m_);
        retenir_ = true;
    }
    void Liberer() {
        const std::lock_guard verrou(m_);
        retenir_ = false;
        cv_.notify_all();
    }
    bool Retient() {
        const std::lock_guard verrou(m_);
        return attente_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool retenir_ = false, attente_ = false;
};

inline std::string L(std::string_view corps) {
    return Ligne(24, 12, 2001, corps);
}

class EnDirect : public BancFenetre {
protected:
    void SetUp() override {
        horlogeDesPasses = &horloge;
        BancFenetre::SetUp();
        fenetre->DefinirVeille(
            [this](const std::string&) { return std::make_unique<VeilleRelais>(veille); });
    }
    void TearDown() override {
        horloge.Liberer(); // un regard retenu ne bloquerait pas la fin de la fenêtre
        BancFenetre::TearDown();
    }
    // Le journal cherché, Aldric coché, tous les channels cochés, puis le suivi.
    void Suivre(const std::string& debut) {
        journal = ChoisirJournal(debut);
        horloge.journal = journal;
        SuivreLeJournalCharge();
    }
    // Le journal déjà chargé (ou les journaux) : la recherche du 24/12/2001, Aldric et tous les
    // channels cochés, puis le suivi et son premier regard.
    void SuivreLeJournalCharge() {
        Taper("dateDebut", "24/12/2001");
        Taper("dateFin", "24/12/2001");
        Cliquer("boutonRecherche");
        Cocher("arbreNoms", "Aldric");
        QTest::mouseClick(Controle<QCheckBox>("caseTousLesChannels"), Qt::LeftButton);
        Controle<QCheckBox>("caseSuivre")->setChecked(true);
        ASSERT_NE(fenetre->EnDirect(), nullptr);
        AttendreRegards(1);
        ouverture = static_cast<int>(Vue().size());
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
    // Le jeu écrit une ligne, puis une autre sans sa fin de ligne (CR LF) ; le regard qui suit est
    // retenu pendant action (il lit encore le journal), puis libéré.
    void PendantUnRegard(const std::function<void()>& action) {
        horloge.Retenir();
        const std::string inachevee = L("[Commerce] \"Aldric\": suite");
        std::ofstream(journal, std::ios::binary | std::ios::app)
            << L("[Commerce] \"Aldric\": vieux") << inachevee.substr(0, inachevee.size() - 2);
        veille.Signaler();
        ASSERT_TRUE(QTest::qWaitFor([&] { return horloge.Retient(); }, 60000))
            << "le regard ne commence pas";
        EXPECT_TRUE(fenetre->PasseEnCours());
        action();
        horloge.Liberer();
    }
    QStringList Vue() const { return fenetre->EnDirect()->Lignes(); }
    // Ce que la vue a montré depuis son ouverture (les dernières lignes de la période mises à
    // part).
    QStringList Suite() const { return Vue().mid(ouverture); }
    QString EtatDeLaVue() const {
        const auto* etat = fenetre->EnDirect()->findChild<QLabel*>("etatEnDirect");
        return etat ? etat->text() : QString();
    }

    VeilleEssai veille;
    HorlogeFigee horloge;
    std::string journal;
    int ouverture = 0; // les lignes montrées à l'ouverture de la vue
};

} // namespace vek::test
