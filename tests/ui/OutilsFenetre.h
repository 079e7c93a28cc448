#pragma once
// Banc d'essai de la fenêtre principale : la vraie FrmPrincipal, hors écran, avec un dossier du
// programme temporaire et des services injectés (dialogue d'ouverture, calendrier, boîtes de
// message et questions, lanceur, fin du programme). Aucun vrai dialogue, visualiseur ou navigateur
// ne s'ouvre.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "DossierTemporaire.h"
#include "FrmAnalyse.h"
#include "FrmPrincipal.h"
#include "Lanceur.h"

// Les textes de Qt s'écrivent en clair dans les messages d'échec.
inline void PrintTo(const QString& texte, std::ostream* sortie) {
    *sortie << '"' << texte.toStdString() << '"';
}

namespace vek::test {

// Lanceur qui note les documents au lieu de les ouvrir, et dit ce que le test a choisi (faux :
// aucun visualiseur n'a démarré).
class FauxLanceur final : public LanceurDocument {
public:
    bool OuvrirDocument(const std::string& document) override {
        ouverts.push_back(document);
        return ouvert;
    }
    std::vector<std::string> ouverts;
    bool ouvert = true;
};

struct MessageVu {
    QString texte;
    QString titre;
    Icone icone;
};

// Une ligne datée du journal, mois d'abord, corps à la position 23, terminée par CR LF.
inline std::string Ligne(int jour, int mois, int annee, std::string_view corps,
                         const char* heure = "12:00:00") {
    char entete[32];
    std::snprintf(entete, sizeof entete, "%02d/%02d/%04d %s - ", mois, jour, annee, heure);
    return std::string(entete).append(corps).append("\r\n");
}

// Journal de n lignes datées du 24/12/2001, channels et locuteurs qui tournent.
inline std::string JournalLong(int n) {
    std::string texte;
    texte.reserve(static_cast<std::size_t>(n) * 48);
    for (int i = 0; i < n; ++i)
        texte += Ligne(24, 12, 2001,
                       "[Canal" + std::to_string(i % 7) + "] \"Nom" + std::to_string(i % 13) +
                           "\": message " + std::to_string(i));
    return texte;
}

// La progression que le banc donne aux passes : elle transmet tout à celle de la fenêtre, et
// freine le fil de travail quand le test le demande, au rythme où la fenêtre lit son horloge
// (toutes les 256 mises à jour) et au début de la lecture.
class ProgressionFreinee final : public Progression {
public:
    Progression* fenetre = nullptr;
    std::function<void()> debut;      // sur le fil de travail, quand la lecture commence
    std::function<void()> avancement; // sur le fil de travail, régulièrement

    void Debut() override {
        fenetre->Debut();
        if (debut)
            debut();
    }
    void Maximum(std::uint64_t maximum) override { fenetre->Maximum(maximum); }
    void Valeur(std::uint64_t valeur) override {
        fenetre->Valeur(valeur);
        Freiner();
    }
    void Compteur(std::uint64_t lignes) override {
        fenetre->Compteur(lignes);
        Freiner();
    }
    bool Affichee() const override { return fenetre->Affichee(); }

private:
    void Freiner() {
        if (avancement && ++mises_ % 256 == 1)
            avancement();
    }
    unsigned mises_ = 0;
};

class BancFenetre : public ::testing::Test {
protected:
    // L'horloge des passes du moteur de la fenêtre (nulle : celle de la machine), à poser avant
    // SetUp.
    Horloge* horlogeDesPasses = nullptr;
    void SetUp() override {
        ReglagesMoteur reglages{programme.Chemin()};
        if (horlogeDesPasses)
            reglages.horloge = horlogeDesPasses;
        fenetre = std::make_unique<FrmPrincipal>(lanceur, reglages);
        fenetre->DefinirProgression([this](Progression& deLaFenetre) -> Progression& {
            frein.fenetre = &deLaFenetre;
            return frein;
        });
        fenetre->DefinirDialogueOuverture([this](QWidget*, const DemandeOuverture& demande) {
            dialogues.push_back(demande);
            return reponseDialogue;
        });
        fenetre->DefinirCalendrier([this](std::optional<Date> dateDuChamp) {
            ++appelsCalendrier;
            datesDuChamp.push_back(dateDuChamp);
            return reponseCalendrier;
        });
        fenetre->DefinirAfficheurMessage(
            [this](QWidget*, const QString& texte, const QString& titre, Icone icone) {
                messages.push_back({texte, titre, icone});
            });
        fenetre->DefinirQuestion([this](QWidget*, const QString& texte, const QString&) {
            questions.push_back(texte);
            return reponseQuestion;
        });
        fenetre->DefinirTerminaison([this] { ++terminaisons; });
        fenetre->DefinirInfoSysteme([this] { ++infoSysteme; });
        fenetre->show();
        Activer();
    }

    // Rend la main à la fenêtre principale (comme un clic de l'utilisateur sur elle, après un
    // résumé ou une boîte modale) : ses raccourcis ne valent que quand elle est active.
    void Activer() {
        fenetre->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fenetre.get()));
    }

    void TearDown() override {
        fenetre.reset();
        QApplication::processEvents();
    }

    template <class T> T* Controle(const char* nom) const {
        T* controle = fenetre->findChild<T*>(QString::fromLatin1(nom));
        EXPECT_NE(controle, nullptr) << nom;
        return controle;
    }
    QPushButton* Bouton(const char* nom) const { return Controle<QPushButton>(nom); }
    QLineEdit* Champ(const char* nom) const { return Controle<QLineEdit>(nom); }
    QAction* Menu(const char* nom) const { return Controle<QAction>(nom); }
    QTreeWidget* Arbre(const char* nom) const { return Controle<QTreeWidget>(nom); }

    // Clique ; si le clic lance une passe (sur le fil de travail), attend qu'elle finisse et
    // que la fenêtre en ait montré le résultat. Pendant une passe, le clic seul.
    void Cliquer(const char* nom) const {
        const bool avant = fenetre->PasseEnCours();
        QTest::mouseClick(Bouton(nom), Qt::LeftButton);
        if (!avant)
            AttendreFinDePasse();
    }
    void AttendreFinDePasse() const {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !fenetre->PasseEnCours(); }, 60000))
            << "la passe ne finit pas";
    }

    // Vide le champ puis y tape le texte, touche par touche.
    void Taper(const char* nom, const QString& texte) const {
        QLineEdit* champ = Champ(nom);
        champ->setFocus();
        champ->selectAll();
        QTest::keyClick(champ, Qt::Key_Delete);
        QTest::keyClicks(champ, texte);
    }

    // Écrit un journal dans le dossier de données et le fait choisir au dialogue d'ouverture.
    std::string ChoisirJournal(std::string_view contenu, std::string_view nom = "journal.TXT") {
        const std::string chemin = donnees.Ecrire(nom, contenu);
        reponseDialogue = QString::fromStdString(chemin);
        Cliquer("boutonParcourir");
        Activer();
        return chemin;
    }

    // Textes affichés des nœuds d'un arbre, dans l'ordre.
    QStringList Noeuds(const char* arbre) const {
        QStringList textes;
        QTreeWidget* t = Arbre(arbre);
        for (int i = 0; i < t->topLevelItemCount(); ++i)
            textes << t->topLevelItem(i)->text(0);
        return textes;
    }
    int NoeudsCoches(const char* arbre) const {
        int n = 0;
        QTreeWidget* t = Arbre(arbre);
        for (int i = 0; i < t->topLevelItemCount(); ++i)
            n += t->topLevelItem(i)->checkState(0) == Qt::Checked ? 1 : 0;
        return n;
    }
    void Cocher(const char* arbre, const QString& texte) const {
        QTreeWidget* t = Arbre(arbre);
        for (int i = 0; i < t->topLevelItemCount(); ++i)
            if (t->topLevelItem(i)->text(0) == texte) {
                t->topLevelItem(i)->setCheckState(0, Qt::Checked);
                return;
            }
        ADD_FAILURE() << "nœud introuvable : " << texte.toStdString();
    }

    // Exécute action pendant la prochaine passe longue, quand la barre de progression avance
    // pour la première fois. La passe est freinée (une pause à chaque lecture de l'horloge de la
    // progression de la fenêtre) pour durer bien au-delà de ce moment.
    void PendantLaPasse(std::function<void()> action) {
        frein.avancement = [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); };
        QProgressBar* barre = Controle<QProgressBar>("barreProgression");
        auto connexion = std::make_shared<QMetaObject::Connection>();
        *connexion = QObject::connect(barre, &QProgressBar::valueChanged, barre,
                                      [connexion, action = std::move(action)](int) {
                                          QObject::disconnect(*connexion);
                                          action();
                                      });
    }

    // Comme PendantLaPasse, et la passe est retenue, passé l'avancement qui lance l'action,
    // jusqu'à ce que libre soit vrai (dix secondes au plus) : ce que l'action fait arrive
    // avant la fin de la passe, quelle que soit la lenteur de la machine. Les trois premiers
    // coups de frein durent plus que l'intervalle d'affichage : chacun envoie un avancement,
    // dont au moins un change la barre et lance l'action.
    void PendantLaPasseRetenue(std::function<void()> action,
                               std::shared_ptr<std::atomic<bool>> libre) {
        PendantLaPasse(std::move(action));
        auto coups = std::make_shared<int>(0); // le frein n'est appelé que du fil de travail
        frein.avancement = [libre = std::move(libre), coups] {
            using std::chrono::milliseconds;
            if (++*coups <= 3) {
                std::this_thread::sleep_for(milliseconds(20));
                return;
            }
            for (int i = 0; i < 5000 && !*libre; ++i)
                std::this_thread::sleep_for(milliseconds(2));
            std::this_thread::sleep_for(milliseconds(2));
        };
    }

    ProgressionFreinee frein;
    DossierTemporaire programme; // le dossier du programme
    DossierTemporaire donnees;   // les journaux
    FauxLanceur lanceur;
    std::unique_ptr<FrmPrincipal> fenetre;

    QString reponseDialogue;
    std::vector<DemandeOuverture> dialogues;
    std::optional<Date> reponseCalendrier;
    int appelsCalendrier = 0;
    std::vector<std::optional<Date>> datesDuChamp; // données au calendrier, dans l'ordre
    std::vector<MessageVu> messages;
    std::vector<QString> questions; // posées par une question Oui/Non
    bool reponseQuestion = false;
    int terminaisons = 0;
    int infoSysteme = 0;
};

} // namespace vek::test
