#pragma once
// FrmPrincipal : la fenêtre principale, d'où part chaque opération. Elle reste mince : le module
// (vek::ModuleVEK) porte la logique et pilote ses contrôles par les opérations de fenêtre.

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Lanceur.h"
#include "ModuleVEK.h"
#include "OperationsFenetre.h"

namespace Ui {
class FrmPrincipal;
}

class FrmAnalyse;
class OperationsFenetreQt;

// Les deux adresses du site des auteurs : celle que montre Label6 et celle que son clic ouvre.
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
    using DialogueOuverture = std::function<QString(
        QWidget* parent, const QString& titre, const QString& filtre, const QString& extension)>;
    // Montre le calendrier et écrit dans dateChoisie la date validée (ou la sentinelle).
    using MontrerCalendrier = std::function<void(vek::Date& dateChoisie)>;
    // Boîte de message à un seul bouton OK.
    using AfficheurMessage = std::function<void(QWidget* parent, const QString& texte,
                                                const QString& titre, vek::Icone icone)>;
    using Action = std::function<void()>;

    // repertoire : le dossier du programme, où s'écrivent l'extrait et le journal final.
    FrmPrincipal(vek::LanceurDocument& lanceur, std::string repertoire, QWidget* parent = nullptr);
    ~FrmPrincipal() override;

    vek::ModuleVEK& Module() { return *module_; }
    vek::OperationsFenetre& Operations();

    // Services remplaçables (les tests y mettent les leurs ; aucun vrai dialogue ne s'ouvre).
    void DefinirDialogueOuverture(DialogueOuverture dialogue) { dialogue_ = std::move(dialogue); }
    void DefinirCalendrier(MontrerCalendrier calendrier) { calendrier_ = std::move(calendrier); }
    void DefinirAfficheurMessage(AfficheurMessage afficheur) { afficheur_ = std::move(afficheur); }
    void DefinirTerminaison(Action terminer) { terminer_ = std::move(terminer); }
    void DefinirInfoSysteme(Action lancer) { infoSysteme_ = std::move(lancer); }
    // Le dossier de travail est le dossier personnel de secours (celui du programme n'est pas
    // accessible en écriture) : après chaque journal final, la fenêtre dit où il est allé.
    void DefinirDossierDeSecours(bool secours) { dossierDeSecours_ = secours; }

    // Une recherche ou une écriture du journal final est en cours.
    bool PasseEnCours() const { return passeEnCours_; }
    // Le programme se termine : toute passe en cours s'arrête.
    bool Quitte() const { return quitte_; }
    // Les fenêtres de résumé encore ouvertes, de la plus ancienne à la plus récente.
    std::vector<FrmAnalyse*> FenetresAnalyse() const;

    // Règle du bouton de recherche, appliquée à chaque changement d'un champ de date.
    void TraitementEnableCmdRecherche();

private slots:
    void CmdCheminLOG_Click();
    void mnuOpenLog_Click();
    void TxtCheminFichierLOg_Change();
    void CmdDateDateDeb_Click();
    void CmdDateFin_Click();
    void mnuDateDeb_Click();
    void mnuDateFin_Click();
    void TxTDateDeb_Change();
    void TxTDateFin_Change();
    void CmdRecherche_Click();
    void CheckTLC_Click();
    void CheckTLM_Click();
    void CmdCreerLog_Click();
    void CmdQuitter_Click();
    void mnuQuitter_Click();
    void Label6_Click();
    void Label6_MouseMove();
    void Form_MouseMove();
    void mnuOptLog_Click();
    void mnuSysteme_Click();
    void mnuAPropos_Click();

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;

private:
    friend class OperationsFenetreQt;

    enum class ChampDate { Debut, Fin };

    void Form_Load();
    void Connecter();
    void PoserImages();
    void PoserPolices();

    // Le bouton logique (selon les règles) et l'état montré (désactivé pendant une passe).
    void AppliquerEtatBoutons();
    void ActiverCreerLog();
    // Exécute une passe longue : boutons de commande inactifs pendant qu'elle dure, échec montré.
    template <class Passe> void ExecuterPasse(Passe&& passe);
    void AfficherEchec(const vek::Resultat& resultat);
    void AfficherMessage(const QString& texte, vek::Icone icone);
    // Après un journal final écrit : dit où il est quand aucun visualiseur ne l'a ouvert ou
    // qu'il est dans le dossier de secours.
    void SignalerLogFinal();
    // Lit un champ de date ; faux (et message qui nomme le champ) s'il ne contient pas une date.
    bool LireDate(const QString& nomChamp, const QString& texte, vek::Date& date);
    void ChoisirDate(ChampDate champ);
    void Quitter();

    // Fenêtres de résumé (appelées par les opérations de fenêtre).
    void OuvrirFenetreAnalyse();
    void DefinirResumeAnalyse(const QString& texte);

    std::unique_ptr<Ui::FrmPrincipal> ui;
    std::unique_ptr<OperationsFenetreQt> operations_;
    std::unique_ptr<vek::ModuleVEK> module_;
    vek::LanceurDocument& lanceur_;
    bool dossierDeSecours_ = false;

    DialogueOuverture dialogue_;
    MontrerCalendrier calendrier_;
    AfficheurMessage afficheur_;
    Action terminer_;
    Action infoSysteme_;

    bool rechercheActive_ = false; // CmdRecherche selon la règle des dates
    bool creerLogActive_ = false;  // CmdCreerLog, activé par la première recherche
    bool passeEnCours_ = false;
    bool quitte_ = false;
    std::vector<QPointer<FrmAnalyse>> analyses_;
};
