#pragma once
// Le moteur : l'analyse d'un journal, la recherche d'une période (extrait et catalogue) et
// l'écriture du journal final. Il travaille en octets (Windows-1252) et ne connaît aucune
// fenêtre : l'appelant donne ses entrées, une progression et un jeton d'arrêt, et reçoit ce qui
// a été trouvé ou l'échec.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Catalogue.h"
#include "Comptage.h"
#include "Date.h"
#include "Formats.h"
#include "Ligne.h"
#include "Nettoyage.h"
#include "Progression.h"
#include "Selection.h"
#include "Sessions.h"

#include "Fichiers.h"
#include "Horloge.h"
#include "Validation.h"
#include "Verrou.h"

namespace vek {

class ChaineDeLots;

inline constexpr std::string_view NomExtrait = "LogVEKtemp.txt";
inline constexpr std::string_view NomLogFinal = "LogFinal.txt";
inline constexpr std::string_view TitreApplication = "Extracteur de LOG VEK";
inline constexpr std::string_view TitreMessages = "Cercles des Lanternes Sourdes";
inline constexpr std::string_view AdresseContact = "contact@lanternes-sourdes.example.org";

// Tous les noms qu'une passe écrit ou supprime dans le dossier de sortie : le fichier de
// travail (l'extrait), le fichier de chaque format du journal final, le verrou du dossier et
// l'enregistrement de validation. Le journal n'en est jamais un ; les temporaires orphelins ne
// sont cherchés que sous ces noms.
std::vector<std::string_view> NomsDuDossierDeSortie();

// Ce que l'analyse trouve : les dates de la première et de la dernière ligne, et le nombre de
// lignes. Un journal absent n'est pas un échec : existe est faux et rien n'est lu.
struct ResumeJournal {
    // La marque d'ordre des octets qui ouvre un texte Unicode : le jeu écrit ses journaux en
    // Windows-1252, sans marque.
    enum class Marque { Aucune, Utf8, Utf16PetitBoutiste, Utf16GrandBoutiste };
    bool existe = true;
    Marque marque = Marque::Aucune;
    std::optional<Date> debut;
    std::optional<Date> fin;
    std::uint64_t lignes = 0;
    // Les séances de jeu, de la plus ancienne à la plus récente, et combien des plus anciennes
    // ont été oubliées (au-delà de DetecteurSessions::MaxSessions).
    std::vector<Session> sessions;
    std::uint64_t sessionsOubliees = 0;
    // Les trois lignes du résumé, jointes par CR LF, en Windows-1252.
    std::string Texte() const;
    // Ce qu'il faut dire à l'utilisateur d'un journal vide ou marqué comme texte Unicode (en
    // UTF-8) ; rien pour un journal ordinaire.
    std::string Conseil() const;
};

// Ce que la recherche trouve : le catalogue des channels et des locuteurs de la période, et
// l'extrait écrit (son chemin et son identité sur le disque, quand le système la donne).
struct ResultatRecherche {
    // Partagé avec le moteur : ses textes, qui peuvent être démesurés, ne sont pas recopiés.
    std::shared_ptr<const Catalogue> catalogue;
    std::string extrait;
    std::optional<EmpreinteFichier> empreinte;
    std::uint64_t lignesLues = 0;
    std::uint64_t lignesRetenues = 0;
    // Lignes datées du journal, dans la période ou non : zéro dit un journal sans aucune date.
    std::uint64_t lignesDatees = 0;
    Periode periode; // la période cherchée
    // Vrai si seule la suite du journal, ajoutée depuis la recherche précédente, a été lue :
    // l'extrait et le catalogue en ont été prolongés.
    bool suite = false;
    // Quand une recherche précédente existait mais n'a pas pu être prolongée : pourquoi tout a
    // été relu (un court avis pour la barre d'état) ; vide sinon.
    std::string avisComplet;
};

// Le moteur : un objet par exécution du programme (il se souvient des fichiers déjà comptés
// et du catalogue de la dernière recherche). Trois passes, chacune donnée ce qu'il lui faut et
// rendant ce qu'elle a trouvé ; chacune rend compte à sa progression et s'arrête dès que son
// jeton le demande. Aucune ne touche une fenêtre.
class ModuleVEK {
public:
    // repertoire : le dossier où s'écrivent l'extrait et le journal final.
    explicit ModuleVEK(std::string repertoire);

    // --- réglages ---
    // Le journal final se passe de chercher les locuteurs dans la sélection quand elle les
    // contient tous et que l'extrait est celui d'où vient le catalogue (voir TousLesNomsRetenus).
    bool RaccourciToutRetenu = true;
    // Taille (octets) à partir de laquelle la passe de comptage tourne en parallèle de la passe
    // principale ; en dessous, elle la précède.
    std::uint64_t SeuilComptageEnParallele = std::uint64_t{16} << 20;
    // La taille d'un message (en caractères) des formats qui se collent par parties : Discord
    // (2000 par défaut), le forum (pas découpé par défaut) ; 0 : celle de chaque format.
    std::size_t TailleMessage = 0;
    // La page web : une seule (LogFinal.html), ou une par jour ou par mois dans LogFinal/.
    Decoupage Decoupe = Decoupage::Aucun;
    // Le nettoyage role-play des passes du journal final, à côté des modes : lu au début de
    // chaque passe, il vaut pour toutes ses sorties. Éteint, chaque sortie est inchangée.
    ReglagesNettoyage Nettoyage;
    // Les entrées de la dernière page web écrite (découpée : de toutes ses pages).
    std::uint64_t EntreesPage = 0;
    // La date du jour écrite dans la bannière du journal final (remplaçable pour les tests).
    std::function<Date()> DateDuJour = Aujourdhui;
    // Taille (octets) à partir de laquelle l'analyse lit les deux moitiés du journal à la fois
    // (sur une machine à plusieurs cœurs).
    std::uint64_t SeuilAnalyseEnDeux = std::uint64_t{16} << 20;
    // La pause (minutes) au-delà de laquelle l'analyse ouvre une nouvelle séance.
    int PauseSessions = PauseSessionsParDefaut;
    // Le jeu écrit chaque ligne en deux fois : une dernière ligne sans fin de ligne n'entre dans
    // la recherche que si le journal n'a pas changé depuis ce délai (sinon elle est laissée pour
    // la recherche suivante). L'horloge qui le mesure est remplaçable pour les tests.
    std::chrono::milliseconds DelaiLigneInachevee{300};
    Horloge* HorlogeDesPasses = &HorlogeMachine();
    // Le système par lequel les sorties prennent leurs noms (remplaçable pour les tests).
    SystemeValidation* SystemeDesSorties = &SystemeValidation::Reel();

    // --- les trois passes ---
    // L'analyse : dates de la première et de la dernière ligne, nombre de lignes, séances. Un
    // fichier présent mais illisible est un échec, signalé avant Debut().
    Issue<ResumeJournal> Analyser(const NomFichier& chemin, Progression& progression,
                                  std::stop_token arret = {});
    // La recherche : copie dans l'extrait chaque ligne datée entre debut et fin inclus, en
    // cataloguant channels et locuteurs. Le chemin est pris rogné de ses espaces. Un journal
    // illisible ou un extrait impossible à ouvrir ne change rien (catalogue, ancien extrait) ;
    // un échec en cours de route laisse le catalogue tel quel et supprime l'extrait entamé.
    // Les bornes sont à la seconde : une ligne dont l'heure (positions 11 à 22) ne se lit pas
    // compte pour minuit de son jour. Une période de jours entiers ne lit aucune heure.
    Issue<ResultatRecherche> Rechercher(const NomFichier& chemin, const Periode& periode,
                                        Progression& progression, std::stop_token arret = {});
    Issue<ResultatRecherche> Rechercher(const NomFichier& chemin, Date debut, Date fin,
                                        Progression& progression, std::stop_token arret = {}) {
        return Rechercher(chemin, Periode::Jours(debut, fin), progression, arret);
    }
    // Le journal final : bannière, lignes de l'extrait retenues par la sélection et réécrites
    // selon les modes (relus à chaque ligne : une option validée pendant l'écriture s'applique
    // aux lignes suivantes), pied. L'ancien n'est remplacé qu'une fois le nouveau complet.
    // Rend le chemin écrit.
    Issue<std::string> EcrireLogFinal(const Selection& selection, const ModesPartages& modes,
                                      Progression& progression, std::stop_token arret = {});
    // La même passe, qui écrit dans le même dossier les formats demandés (ceux de la table des
    // formats : LogFinal.txt, la page web, les lignes JSON, le forum, Discord), remplacés
    // ensemble une fois tous complets et sur le disque (tout ou rien : un échec laisse toutes les
    // anciennes sorties). Rend les chemins écrits, dans l'ordre de la table.
    Issue<std::vector<std::string>> EcrireSorties(const Selection& selection,
                                                  const ModesPartages& modes, FormatsSortie formats,
                                                  Progression& progression,
                                                  std::stop_token arret = {});

    // Le catalogue de la dernière recherche réussie.
    const Catalogue& CatalogueCourant() const { return *catalogue_; }
    // Vrai si tout locuteur non vide de l'extrait est dans la sélection : l'extrait n'a pas
    // changé depuis la recherche qui a bâti le catalogue, la table des noms n'a pas débordé, et
    // la sélection contient chaque locuteur du catalogue, mais pas le locuteur vide.
    bool TousLesNomsRetenus(const Selection& selection, const NomFichier& cheminExtrait) const;

    // Ce que la dernière passe a fait d'elle-même dans le dossier et qu'il faut dire (une
    // validation interrompue terminée ou annulée) ; vide sinon. Lu une fois, il est oublié.
    std::string PrendreAvis() { return std::exchange(avis_, {}); }

    const std::string& Repertoire() const { return repertoire_; }
    std::string CheminExtrait() const;
    std::string CheminLogFinal() const;
    // Le chemin d'un fichier du dossier de sortie (celui d'un format, par exemple).
    std::string CheminSortie(std::string_view fichier) const;

private:
    // Nombre de lignes d'un fichier déjà lu en entier (le journal par l'analyse ou la recherche,
    // l'extrait par la recherche qui l'a écrit) : la passe de comptage suivante s'en passe tant
    // que le fichier n'a pas changé.
    struct CompteConnu {
        std::string chemin;
        EmpreinteFichier empreinte;
        std::uint64_t lignes = 0;
    };
    std::optional<std::uint64_t> LignesConnues(const NomFichier& chemin,
                                               const std::optional<EmpreinteFichier>& e) const;
    void MemoriserLignes(const NomFichier& chemin, const std::optional<EmpreinteFichier>& e,
                         std::uint64_t lignes);
    // Passe de comptage d'un fichier ouvert. Un compte connu pour le fichier inchangé est repris
    // (le fichier reste ouvert, prêt pour la passe principale). Un petit fichier est lu jusqu'au
    // bout puis fermé. Un grand fichier est compté par comptage, en parallèle de la passe
    // principale : lignes reste vide et le fichier reste ouvert. Sans barre de progression
    // visible, rien n'est compté. Faux en cas d'erreur de lecture.
    // Prend le verrou du dossier de sortie pour une passe qui y écrit, reprend un remplacement
    // qu'un programme tué y aurait laissé à moitié (ce qui en a été fait va dans avis_), puis
    // supprime les fichiers temporaires orphelins. Un échec si un autre programme y écrit déjà.
    Resultat PrendreLeDossier(VerrouDossier& verrou);
    bool PasseDeComptage(LecteurTexte& fichier, const NomFichier& chemin,
                         const std::optional<EmpreinteFichier>& e, const Progression& progression,
                         std::optional<std::uint64_t>& lignes, ComptageEnParallele& comptage);

    // Ce que la dernière recherche réussie a lu du journal, pour n'en lire ensuite que la suite.
    struct LectureFaite {
        std::string chemin;
        EmpreinteFichier identite; // le journal à l'ouverture
        std::uint64_t fin = 0;     // fin de ce qui a été lu (une ligne inachevée exclue)
        std::string queue;         // les octets (64 Kio au plus) juste avant fin
        Periode periode;
        bool apresLaFin = false;        // une ligne lue était datée après la fin de la période
        std::uint64_t prochainRang = 0; // rang de catalogue à donner à la ligne suivante
        std::uint64_t lus = 0, retenues = 0, datees = 0;
    };
    // Rien si la recherche peut prolonger la précédente ; sinon pourquoi elle doit tout relire
    // (vide s'il n'y a pas de recherche précédente à prolonger).
    std::optional<std::string> RaisonDeToutRelire(const std::string& chemin,
                                                  const Periode& periode) const;
    Issue<ResultatRecherche> RechercherSuite(const std::string& chemin, const Periode& periode,
                                             Progression& progression, std::stop_token arret);
    // Note, après une recherche réussie, de quoi la prolonger.
    void NoterLecture(LectureFaite lecture);

    std::vector<CompteConnu> comptes_;
    std::optional<LectureFaite> lectureFaite_;
    std::shared_ptr<const Catalogue> catalogue_ = std::make_shared<const Catalogue>();
    std::optional<EmpreinteFichier> empreinteCatalogue_; // extrait d'où vient le catalogue
    // La période de la recherche qui a écrit cet extrait.
    std::optional<std::pair<Date, Date>> periodeCatalogue_;
    std::string repertoire_;
    std::string avis_;
};

// Texte du résumé de l'analyse (les trois lignes jointes par CR LF), en Windows-1252.
std::string ResumeAnalyse(const std::optional<Date>& debut, const std::optional<Date>& fin,
                          std::uint64_t lignes);

} // namespace vek
