#pragma once
// L'état du module et ses procédures : recherche, arbres, capture, journal final, analyse.
// Un objet par exécution du programme ; les tests en créent un neuf à chaque cas.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "Comptage.h"
#include "Date.h"
#include "Ligne.h"
#include "Selection.h"

#include "Fichiers.h"
#include "Lanceur.h"
#include "OperationsFenetre.h"

namespace vek {

class ChaineDeLots;

inline constexpr std::string_view NomExtrait = "LogVEKtemp.txt";
inline constexpr std::string_view NomLogFinal = "LogFinal.txt";
inline constexpr std::string_view TitreApplication = "Extracteur de LOG VEK";
inline constexpr std::string_view TitreMessages = "Cercles des Lanternes Sourdes";
inline constexpr std::string_view AdresseContact = "contact@lanternes-sourdes.example.org";

// Issue d'une passe. En cas d'échec, les textes sont en UTF-8, sauf le chemin, dans
// l'encodage des noms de fichiers du système.
struct Resultat {
    bool ok = true;
    bool interrompu = false; // le programme se termine : la passe s'est arrêtée
    std::string action;      // « Impossible de lire le journal », …
    std::string fichier;
    std::string raison;

    static Resultat Succes() { return {}; }
    static Resultat Echec(std::string action, std::string fichier, std::string raison);
    static Resultat Interruption();
    // « action « fichier » : raison. »
    std::string Message() const;
};

class ModuleVEK {
public:
    ModuleVEK(OperationsFenetre& fenetre, LanceurDocument& lanceur, std::string repertoire);

    // --- état du module ---
    Catalogue catalogue;
    Selection selection;
    ModesPartages modes; // ModeUnlessDate, ModeRPName, ModeUnlessChannel
    Date DateChoisie = DateSentinelle;
    // Le journal final se passe de chercher les locuteurs dans la sélection quand elle les
    // contient tous et que l'extrait est celui d'où vient le catalogue (voir TousLesNomsRetenus).
    bool RaccourciToutRetenu = true;
    // Taille (octets) à partir de laquelle la passe de comptage tourne en parallèle de la passe
    // principale ; en dessous, elle la précède.
    std::uint64_t SeuilComptageEnParallele = std::uint64_t{16} << 20;
    // La date du jour écrite dans la bannière du journal final (remplaçable pour les tests).
    std::function<Date()> DateDuJour = Aujourdhui;

    // --- recherche ---
    // Lit le chemin dans TxtCheminFichierLOg (rogné) et copie dans l'extrait chaque ligne datée
    // entre debut et fin inclus, en cataloguant channels et locuteurs. Un journal illisible ou un
    // extrait impossible à ouvrir ne change rien (catalogue, arbres, ancien extrait) ; un échec
    // en cours de route laisse catalogue et arbres tels quels et supprime l'extrait entamé.
    Resultat RechercherPeriode(Date debut, Date fin);
    void RemplirArbres();
    // CheckTLC / CheckTLM : coche ou décoche chaque nœud de l'arbre selon la case.
    void CocherSelonCase(CaseACocher caseACocher, Arbre arbre);

    // --- journal final ---
    void CapturerSelection();
    Resultat CmdCreerLog(); // capture puis CreerLogFinal
    Resultat CreerLogFinal();
    // Vrai si tout locuteur non vide de l'extrait est dans la sélection : l'extrait n'a pas
    // changé depuis la recherche qui a bâti le catalogue, la table des noms n'a pas débordé, et
    // la sélection contient chaque locuteur du catalogue, mais pas le locuteur vide.
    bool TousLesNomsRetenus(const std::string& cheminExtrait) const;
    bool TraiterLigne(std::string& ligne);

    // --- analyse ---
    // Fichier absent : message « Fichier introuvable ! » et chemin vidé. Sinon fenêtre de résumé
    // et champs de date préremplis. Un fichier présent mais illisible donne un échec.
    Resultat AnalyserFichierLog(const std::string& chemin);

    // AfficherCalendrier : montre le calendrier (fourni par la fenêtre) et copie la date
    // choisie dans la variable de l'appelant quand ce n'est pas la sentinelle.
    template <class MontrerCalendrier>
    void AfficherCalendrier(Date& date, MontrerCalendrier&& montrer) {
        DateChoisie = DateSentinelle;
        montrer(DateChoisie);
        if (DateChoisie != DateSentinelle)
            date = DateChoisie;
    }

    const std::string& Repertoire() const { return repertoire_; }
    std::string CheminExtrait() const;
    std::string CheminLogFinal() const;
    OperationsFenetre& Fenetre() { return fenetre_; }
    LanceurDocument& Lanceur() { return lanceur_; }

    // Code rendu par le lanceur pour le dernier journal final écrit (32 ou moins : aucun
    // visualiseur n'a pu l'ouvrir) ; vide tant qu'aucune écriture n'a abouti.
    std::optional<std::int16_t> OuvertureDernierLogFinal() const { return ouvertureLogFinal_; }

private:
    // Nombre de lignes d'un fichier déjà lu en entier (le journal par l'analyse ou la recherche,
    // l'extrait par la recherche qui l'a écrit) : la passe de comptage suivante s'en passe tant
    // que le fichier n'a pas changé.
    struct CompteConnu {
        std::string chemin;
        EmpreinteFichier empreinte;
        std::uint64_t lignes = 0;
    };
    std::optional<std::uint64_t> LignesConnues(const std::string& chemin,
                                               const std::optional<EmpreinteFichier>& e) const;
    void MemoriserLignes(const std::string& chemin, const std::optional<EmpreinteFichier>& e,
                         std::uint64_t lignes);
    // Passe de comptage d'un fichier ouvert. Un compte connu pour le fichier inchangé est repris
    // (le fichier reste ouvert, prêt pour la passe principale). Un petit fichier est lu jusqu'au
    // bout puis fermé. Un grand fichier est compté par comptage, en parallèle de la passe
    // principale : lignes reste vide et le fichier reste ouvert. Sans barre de progression
    // visible, rien n'est compté. Faux en cas d'erreur de lecture.
    bool PasseDeComptage(LecteurTexte& fichier, const std::string& chemin,
                         const std::optional<EmpreinteFichier>& e,
                         std::optional<std::uint64_t>& lignes, ComptageEnParallele& comptage);
    std::vector<CompteConnu> comptes_;
    // Pendant que la passe attend ses fils de travail (disque lent), la fenêtre continue de
    // traiter ses événements ; interrompu passe à vrai si le programme se termine.
    void FaireVivreLaFenetre(ChaineDeLots& chaine, bool& interrompu);
    std::optional<EmpreinteFichier> empreinteCatalogue_; // extrait d'où vient le catalogue

    OperationsFenetre& fenetre_;
    LanceurDocument& lanceur_;
    std::string repertoire_;
    std::optional<std::int16_t> ouvertureLogFinal_;
    TravailReecriture travail_; // zones de travail de la réécriture
};

// Texte du résumé de l'analyse (les trois lignes jointes par CR LF), en Windows-1252.
std::string ResumeAnalyse(const std::optional<Date>& debut, const std::optional<Date>& fin,
                          double lignes);

} // namespace vek
