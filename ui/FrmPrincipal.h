#pragma once
// FrmPrincipal : la fenêtre principale, d'où part chaque opération. Le moteur (vek::Moteur)
// porte la logique des passes (analyse, recherche, journal final), qui tournent sur un fil de
// travail : le fil de la fenêtre ne fait que peindre et répondre, la progression revient par
// signaux en file d'attente. La fenêtre possède ses contrôles : elle bâtit les arbres depuis le
// catalogue rendu, coche tout elle-même et capture la sélection dans ses arbres.

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "CommandesDePasse.h"
#include "DialogueJournal.h"
#include "Lanceur.h"
#include "Moteur.h"

namespace vek {
enum class Icone { Aucune, Stop }; // l'icône d'une boîte de message
}

namespace Ui {
class FrmPrincipal;
}

class QCheckBox;
class QTreeWidget;

class BarreEtat;
class EntreesExport;
class FrmAnalyse;
class FrmEnDirect;
class ProgressionFenetre;
class SuiviJournal;
struct LotDirect;

namespace vek {
class Veille;
}

// Les deux adresses du site des auteurs : celle que montre lienSite et celle que son clic ouvre.
inline constexpr std::string_view AdresseSiteAffichee = "lanternes.example";
inline constexpr std::string_view AdresseSiteOuverte =
    "https://www.lanternes-sourdes.example.org/vek/";

// Le dialogue d'ouverture du journal (CDLG).
inline constexpr std::string_view TitreDialogueJournal = "Chemin du fichier LOG Q7R";
inline constexpr std::string_view FiltreDialogueJournal = "TXT file (*.txt *.TXT)";
inline constexpr std::string_view ExtensionDialogueJournal = "txt";

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
    vek::Moteur& Moteur() { return *moteur_; }
    // Les modes d'extraction, tels que la boîte des options les a validés.
    vek::ModesPartages& Modes() { return modes_; }
    // Le nettoyage role-play des passes suivantes (éteint à chaque démarrage).
    vek::ReglagesNettoyage& Nettoyage() { return nettoyage_; }

    // Services remplaçables (les tests y mettent les leurs ; aucun vrai dialogue ne s'ouvre).
    void DefinirDialogueOuverture(DialogueOuverture dialogue) { dialogue_ = std::move(dialogue); }
    void DefinirCalendrier(MontrerCalendrier calendrier) { calendrier_ = std::move(calendrier); }
    void DefinirAfficheurMessage(AfficheurMessage afficheur) { afficheur_ = std::move(afficheur); }
    void DefinirQuestion(Question question) { question_ = std::move(question); }
    void DefinirTerminaison(Action terminer) { terminer_ = std::move(terminer); }
    // « Quitter » : la passe en cours s'arrête (ses temporaires supprimés), les fenêtres de
    // résumé se ferment, puis la terminaison est appelée. Aussi sur SIGTERM et SIGHUP.
    void Quitter();
    void DefinirInfoSysteme(Action lancer) { infoSysteme_ = std::move(lancer); }
    // Le dossier de travail est le dossier personnel de secours (celui du programme n'est pas
    // accessible en écriture) : après chaque journal final, la fenêtre dit où il est allé.
    void DefinirDossierDeSecours(bool secours) { dossierDeSecours_ = secours; }
    // Appelé régulièrement par le fil de travail pendant une passe (tests : une passe qui dure).
    void DefinirFreinDePasse(Action frein) { frein_ = std::move(frein); }
    // La veille du journal suivi (les tests y mettent une veille qu'ils réveillent eux-mêmes).
    using FabriqueVeille = std::function<std::unique_ptr<vek::Veille>(const std::string& journal)>;
    void DefinirVeille(FabriqueVeille fabrique) { veille_ = std::move(fabrique); }
    // La fenêtre « En direct », ouverte par « Suivre le journal » (nulle avant).
    FrmEnDirect* EnDirect() const;

    // Comme si l'utilisateur avait choisi ce journal dans le dialogue d'ouverture : le chemin
    // va dans le champ et l'analyse part.
    void OuvrirJournal(const QString& chemin);

    // Une recherche ou une écriture du journal final est en cours.
    bool PasseEnCours() const { return passeEnCours_; }
    // Le programme se termine : toute passe en cours s'arrête.
    bool Quitte() const { return quitte_; }
    // Les fenêtres de résumé encore ouvertes, de la plus ancienne à la plus récente.
    std::vector<FrmAnalyse*> FenetresAnalyse() const;

    // Règle du bouton de recherche, appliquée à chaque changement d'un champ de date.
    void AppliquerRegleRecherche();

    // Un court avis dans la barre d'état ; il y reste jusqu'au suivant.
    void AnnoncerDansBarreEtat(const QString& texte);

private slots:
    // Le dialogue d'ouverture, puis l'analyse du journal choisi.
    void ChoisirJournal();
    // Les boutons de date ne servent qu'avec un chemin de journal.
    void ActiverBoutonsDates();
    void LancerRecherche();
    void CreerLogFinal();
    void OuvrirSite();
    void MontrerOptions();
    void LancerInfoSysteme();
    void MontrerAPropos();

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;

private:
    enum class ChampDate { Debut, Fin };

    void EtatInitial();
    void Connecter();
    void PoserImages();
    void PoserPolices();
    // Les arbres et leur cadre grandissent avec la fenêtre ; le reste garde sa place.
    void PoserDisposition();

    // Le bouton logique (selon les règles) et l'état montré (désactivé pendant une passe).
    void AppliquerEtatBoutons();
    void ActiverCreerLog();
    // Les commandes qui lancent une passe, et la règle que chacune suit hors passe.
    void DeclarerCommandesDePasse();
    // Lance une passe sur le fil de travail : boutons de commande inactifs pendant qu'elle
    // dure ; à la fin, sur le fil de la fenêtre, suite puis l'échec éventuel.
    // auDebut : quand la passe a ouvert son fichier et commence à lire.
    template <class T>
    void LancerPasse(std::function<vek::Issue<T>(std::stop_token)> passe,
                     std::function<void(vek::Issue<T>&)> suite, std::function<void()> auDebut = {});
    void AnalyserJournal(const QString& nom);
    void RemplirArbres(const vek::Catalogue& catalogue);
    // Après une recherche qui n'a lu que la suite du journal : les arbres gardent leurs coches,
    // les nouveaux nœuds arrivent décochés (cochés si leur case « Sélectionnez… » l'est).
    void ProlongerArbres(const vek::Catalogue& catalogue);
    void CocherTout(QTreeWidget* arbre, const QCheckBox* boite);
    vek::Selection SelectionCochee() const;
    void Sablier(bool actif);
    void AfficherEchec(const vek::Resultat& resultat);
    void AfficherMessage(const QString& texte, vek::Icone icone);
    struct TextesSortie;
    static const TextesSortie TextesLogFinal, TextesPageWeb;
    // Écrit un format (LogFinal.txt, ou celui d'une entrée d'export) sur le fil de travail pour la
    // sélection et les modes du moment ; suite reçoit, sur le fil de la fenêtre, le fichier écrit.
    void EcrireSortie(vek::FormatsSortie format, std::function<void(const std::string&)> suite);
    // Après une sortie écrite : dit où elle est quand aucun programme ne l'a ouverte ou qu'elle
    // est dans le dossier de secours.
    void SignalerSortie(const std::string& chemin, bool ouvert, const TextesSortie& textes);
    // Lit un champ de date ; faux (et message qui nomme le champ) s'il ne contient pas une date.
    bool LireBorne(const QString& nomChamp, const std::string& texte, vek::Borne& borne);
    // Le bilan de la recherche sous les arbres, ou la raison pour laquelle elle est vide.
    void MontrerBilan(const vek::ResultatRecherche& resultat);
    // Les champs de date disent-ils encore la période d'où viennent les arbres ? La ligne du
    // bilan le dit quand ce n'est plus le cas.
    bool ArbresAJour() const;
    void SuivreChampsDeDate();
    // Des arbres d'une autre période que celle des champs : demande s'il faut relancer la
    // recherche, et la relance ; vrai si elle est relancée (rien ne s'écrit alors).
    bool RelancerSiPerimes();
    void ChoisirDate(ChampDate champ);
    // Le lien vers le site se souligne sous la souris, et plus dès qu'elle passe sur le fond.
    void SoulignerLien(bool souligne);

    // « Suivre le journal » (FrmPrincipalDirect.cpp) : la case cochée ouvre la vue en direct et
    // veille le journal ; chaque changement relance, sur le fil de travail, la recherche de la
    // période (qui ne lit que la suite) puis montre les lignes retenues par les coches du moment.
    void BasculerSuivi(bool actif);
    void RegarderLeJournal();
    void LancerRegard();
    void MontrerRegard(vek::Issue<LotDirect>& issue);
    // La ligne d'état de la vue : le journal suivi et la période que cherchent les regards (celle
    // des arbres quand il y en a), et si les champs de date en disent une autre.
    void MontrerEtatSuivi();
    // Fermer la fenêtre principale : le suivi s'arrête et sa vue se ferme ; ce qui attendait la
    // fin d'un regard ne part plus.
    void ArreterSuivi();
    // À la fin de toute passe : ce qui attendait qu'elle finisse (un regard, une commande).
    void ApresPasse();
    // Pendant un regard du suivi, une commande de l'utilisateur attend sa fin au lieu d'être
    // perdue ; vrai si elle attend.
    bool DiffererPendantRegard(Action commande);

    // Fenêtres de résumé (appelées par les opérations de fenêtre).
    void OuvrirFenetreAnalyse();
    void DefinirResumeAnalyse(const QString& texte);

    std::unique_ptr<Ui::FrmPrincipal> ui;
    std::unique_ptr<ProgressionFenetre> progression_;
    BarreEtat* barreEtat_ = nullptr; // à la fenêtre
    CommandesDePasse commandes_{nullptr};
    std::unique_ptr<vek::Moteur> moteur_;
    std::uint64_t entreesPage_ = 0;    // de la dernière page web écrite
    EntreesExport* exports_ = nullptr; // les entrées de « Menu » tirées de la table des formats
    vek::LanceurDocument& lanceur_;
    bool dossierDeSecours_ = false;
    Action frein_;
    Action auDebut_; // de la passe en cours
    vek::ModesPartages modes_;
    vek::ReglagesNettoyage nettoyage_;
    bool sablier_ = false;

    DialogueOuverture dialogue_;
    MontrerCalendrier calendrier_;
    AfficheurMessage afficheur_;
    Question question_;
    Action terminer_;
    Action infoSysteme_;

    bool rechercheActive_ = false; // boutonRecherche selon la règle des dates
    bool creerLogActive_ = false; // boutonCreerLog, activé par une recherche qui trouve des lignes
    // La période de la recherche d'où viennent les arbres, et les textes des champs d'alors.
    std::optional<vek::Periode> periodeArbres_;
    QString debutArbres_, finArbres_, bilan_;
    bool passeEnCours_ = false;
    bool quitte_ = false;
    std::vector<QPointer<FrmAnalyse>> analyses_;
    // Le suivi du journal : la vue, ce qui est suivi, ce qui attend la fin de la passe.
    FabriqueVeille veille_;
    QPointer<FrmEnDirect> enDirect_;
    std::string journalSuivi_;
    vek::Periode periodeSuivie_{};
    QString debutSuivi_, finSuivi_;
    bool premierRegard_ = false;
    // Change à chaque bascule de la case : un regard lancé par un suivi précédent (case décochée
    // puis recochée, autre journal) le voit à sa fin, et ce qu'il a trouvé n'est pas montré.
    std::uint64_t numeroSuivi_ = 0;
    bool regardEnAttente_ = false;
    bool passeDiscrete_ = false; // un regard du suivi : les commandes restent actives
    std::optional<vek::EmpreinteFichier> inachevee_; // déjà revue une fois le délai passé
    std::vector<Action> commandesEnAttente_;
    // Le fil de la passe en cours ; il s'arrête et se rejoint avant le reste, après la veille.
    std::jthread fil_;
    std::unique_ptr<SuiviJournal> suivi_;
};
