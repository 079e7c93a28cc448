#pragma once
// FrmPrincipal : la fenêtre principale, d'où part chaque opération. Elle pose ses contrôles et
// ses menus, et confie chaque rôle à son unité : le pilotage des passes du moteur (PilotePasses),
// les journaux du champ (JournauxDuChamp), le choix du journal et son analyse (AnalyseDuJournal),
// les champs de date (ChampsDeDate), la recherche de mots (RechercheDeMots), les deux arbres
// (ArbresSelection), les sorties (SortiesFenetre) et la vue en direct (SuiviDirect). Elle relie :
// un clic lance la passe, sa fin remplit les contrôles.

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CommandesDePasse.h"
#include "DialogueJournal.h"
#include "Lanceur.h"
#include "Moteur.h"
#include "PilotePasses.h"
#include "SuiviDirect.h"

namespace Ui {
class FrmPrincipal;
}

class AnalyseDuJournal;
class ArbresSelection;
class BarreEtat;
class ChampsDeDate;
class FrmAnalyse;
class FrmEnDirect;
class JournauxDuChamp;
class RechercheDeMots;
class SortiesFenetre;

// Les deux adresses du site des auteurs : celle que montre lienSite et celle que son clic ouvre.
inline constexpr std::string_view AdresseSiteAffichee = "lanternes.example";
inline constexpr std::string_view AdresseSiteOuverte =
    "https://www.lanternes-sourdes.example.org/vek/";

class FrmPrincipal : public QMainWindow {
    Q_OBJECT

public:
    // Dialogue d'ouverture : rend le nom du fichier choisi, ou le texte vide s'il est annulé.
    using DialogueOuverture =
        std::function<QString(QWidget* parent, const DemandeOuverture& demande)>;
    // Montre le calendrier, ouvert sur la date du champ s'il en contient une ; rend la date
    // validée, rien s'il est fermé sans date.
    using MontrerCalendrier =
        std::function<std::optional<vek::Date>(std::optional<vek::Date> dateDuChamp)>;
    // Boîte de message à un seul bouton OK.
    using AfficheurMessage = std::function<void(QWidget* parent, const QString& texte,
                                                const QString& titre, vek::Icone icone)>;
    using Action = std::function<void()>;
    // Question à deux boutons Oui et Non ; vrai pour Oui.
    using Question =
        std::function<bool(QWidget* parent, const QString& texte, const QString& titre)>;

    // repertoire : le dossier du programme, où s'écrivent l'extrait et le journal final.
    FrmPrincipal(vek::LanceurDocument& lanceur, std::string repertoire, QWidget* parent = nullptr);
    // Les réglages du moteur donnés en entier (les essais y mettent leur horloge).
    FrmPrincipal(vek::LanceurDocument& lanceur, vek::ReglagesMoteur reglages,
                 QWidget* parent = nullptr);
    ~FrmPrincipal() override;

    // Le moteur ; hors d'une passe seulement (pendant une passe, il est au fil de travail).
    vek::Moteur& Moteur() { return passes_->Moteur(); }
    // Les modes d'extraction, tels que la boîte des options les a validés.
    vek::ModesPartages& Modes() { return modes_; }
    // Le nettoyage role-play des passes suivantes (éteint à chaque démarrage).
    vek::ReglagesNettoyage& Nettoyage() { return nettoyage_; }

    // Services remplaçables (les tests y mettent les leurs ; aucun vrai dialogue ne s'ouvre).
    void DefinirDialogueOuverture(DialogueOuverture dialogue);
    void DefinirCalendrier(MontrerCalendrier calendrier);
    void DefinirAfficheurMessage(AfficheurMessage afficheur) { afficheur_ = std::move(afficheur); }
    void DefinirQuestion(Question question) { question_ = std::move(question); }
    void DefinirTerminaison(Action terminer) { terminer_ = std::move(terminer); }
    void DefinirInfoSysteme(Action lancer) { infoSysteme_ = std::move(lancer); }
    // La progression que voit chaque passe, tirée de celle de la fenêtre.
    void DefinirProgression(PilotePasses::ProgressionDesPasses progression);
    // La veille du journal suivi.
    void DefinirVeille(SuiviDirect::FabriqueVeille fabrique);
    // « Quitter » : la passe en cours s'arrête (ses temporaires supprimés), les fenêtres de
    // résumé se ferment, puis la terminaison est appelée. Aussi sur SIGTERM et SIGHUP.
    void Quitter();
    // Le dossier de travail est le dossier personnel de secours (celui du programme n'est pas
    // accessible en écriture) : après chaque journal final, la fenêtre dit où il est allé.
    void DefinirDossierDeSecours(bool secours);
    // La fenêtre « En direct », ouverte par « Suivre le journal » (nulle avant).
    FrmEnDirect* EnDirect() const;

    // Comme si l'utilisateur avait choisi ce journal dans le dialogue d'ouverture : le chemin
    // va dans le champ et l'analyse part.
    void OuvrirJournal(const QString& chemin);
    // Le premier de ces journaux ouvert, les autres ajoutés : l'analyse de leur fusion part.
    void OuvrirJournaux(const QStringList& chemins);
    // Les journaux du champ, tels que les passes les reçoivent.
    vek::Journaux Journaux() const;

    // Une passe est en cours (regard du suivi compris).
    bool PasseEnCours() const { return passes_->EnCours(); }
    // Le programme se termine : toute passe en cours s'arrête.
    bool Quitte() const { return quitte_; }
    // Les fenêtres de résumé encore ouvertes, de la plus ancienne à la plus récente.
    std::vector<FrmAnalyse*> FenetresAnalyse() const;

    // Un court avis dans la barre d'état ; il y reste jusqu'au suivant.
    void AnnoncerDansBarreEtat(const QString& texte);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;

private:
    void PoserApparence();
    void PoserRoles(vek::LanceurDocument& lanceur, vek::ReglagesMoteur reglages);
    void Connecter();
    // Les menus « Option » et « ? ».
    void ConnecterOptions();
    void DeclarerCommandesDePasse();

    // Le bouton logique (selon les règles) et l'état montré (grisé pendant une passe visible).
    void AppliquerEtatBoutons();
    void AppliquerRegleRecherche();
    void AfficherMessage(const QString& texte, vek::Icone icone);

    void LancerRecherche();
    void MontrerRecherche(const vek::ResultatRecherche& resultat,
                          const std::pair<QString, QString>& textes);
    // Après une recherche (ou un regard) qui a échoué.
    void ApresEchec();
    // La ligne du bilan, et la vue en direct, disent si les champs ont changé de période.
    void SuivreChampsDeDate();
    // Des arbres d'une autre période que celle des champs : demande s'il faut relancer la
    // recherche, et la relance ; vrai si elle est relancée (rien ne s'écrit alors).
    bool RelancerSiPerimes();

    std::unique_ptr<Ui::FrmPrincipal> ui;
    BarreEtat* barreEtat_ = nullptr; // à la fenêtre
    CommandesDePasse commandes_{nullptr};
    vek::ModesPartages modes_;
    vek::ReglagesNettoyage nettoyage_;
    bool quitte_ = false;
    bool rechercheActive_ = false; // boutonRecherche selon la règle des dates
    bool creerLogActive_ = false; // boutonCreerLog, activé par une recherche qui trouve des lignes
    std::optional<vek::EmpreinteFichier> extraitArbres_; // l'extrait d'où viennent les arbres

    AfficheurMessage afficheur_;
    Question question_;
    Action terminer_;
    Action infoSysteme_;

    std::unique_ptr<ChampsDeDate> dates_;
    std::unique_ptr<ArbresSelection> arbres_;
    // Les passes, puis ce qui s'en sert : tout part avant elles.
    std::unique_ptr<PilotePasses> passes_;
    JournauxDuChamp* journaux_ = nullptr; // à la fenêtre
    std::unique_ptr<AnalyseDuJournal> analyse_;
    std::unique_ptr<SortiesFenetre> sorties_;
    std::unique_ptr<SuiviDirect> suivi_;
    std::unique_ptr<RechercheDeMots> mots_;
};
