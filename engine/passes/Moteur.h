#pragma once
// Le moteur : l'analyse d'un journal, la recherche d'une période (extrait et catalogue) et
// l'écriture des sorties. Chaque passe reçoit une demande et rend un résultat, ou l'échec ; elle
// rend compte à une progression et s'arrête dès que son jeton le demande. Il travaille en octets
// (Windows-1252) et ne connaît aucune fenêtre. Ses lignes viennent d'une source (SourceLignes.h).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Catalogue.h"
#include "Date.h"
#include "Formats.h"
#include "Identite.h"
#include "Nettoyage.h"
#include "Progression.h"
#include "Requete.h"
#include "Selection.h"
#include "Sessions.h"
#include "SourceLignes.h"

#include "Fichiers.h"
#include "Horloge.h"
#include "Validation.h"

namespace vek {

class ComptageEnParallele;
class VerrouDossier;
struct MemoireMoteur;
struct Reprise;

inline constexpr std::string_view NomExtrait = "LogVEKtemp.txt";
// Avec plusieurs journaux, le journal de chaque ligne de l'extrait : un octet par ligne.
inline constexpr std::string_view NomSources = "LogVEKtemp.sources";

// Tous les noms qu'une passe écrit ou supprime dans le dossier de sortie : le fichier de
// travail (l'extrait), le fichier de chaque format du journal final et le dossier découpé, le
// verrou du dossier et l'enregistrement de validation. Le journal n'en est jamais un ; les
// temporaires orphelins ne sont cherchés que sous ces noms.
std::vector<std::string_view> NomsDuDossierDeSortie();

// Les réglages d'un moteur, fixés à sa construction.
struct ReglagesMoteur {
    std::string dossier; // où s'écrivent l'extrait et les sorties
    // Le jeu écrit chaque ligne en deux fois : une dernière ligne sans fin de ligne n'entre dans
    // une passe que si le journal n'a pas changé depuis ce délai, mesuré par cette horloge.
    std::chrono::milliseconds delaiLigneInachevee{300};
    Horloge* horloge = &HorlogeMachine();
    // Tailles (octets) à partir desquelles le comptage des lignes tourne en parallèle de la
    // passe, et l'analyse lit les deux moitiés du journal à la fois.
    std::uint64_t seuilComptageEnParallele = std::uint64_t{16} << 20;
    std::uint64_t seuilAnalyseEnDeux = std::uint64_t{16} << 20;
    // Le système par lequel les sorties prennent leurs noms (Validation.h).
    SystemeValidation* systemeSorties = &SystemeValidation::Reel();
};

struct DemandeAnalyse {
    Journaux journaux;
    int pauseSessions = PauseSessionsParDefaut; // minutes
};

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
    // Plusieurs journaux : chacun, avec son horloge et son joueur, et ce qu'il faut en dire.
    std::vector<JournalDeSource> journaux;
    std::vector<std::string> avisJournaux;
    // Les trois lignes du résumé, jointes par CR LF, en Windows-1252.
    std::string Texte() const;
    // Ce qu'il faut dire à l'utilisateur d'un journal vide ou marqué comme texte Unicode (en
    // UTF-8) ; rien pour un journal ordinaire.
    std::string Conseil() const;
};

struct DemandeRecherche {
    Journaux journaux; // pris rognés de leurs espaces
    // Bornes à la seconde : une ligne dont l'heure ne se lit pas compte pour minuit de son jour.
    Periode periode;
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
    // Où commencent, dans l'extrait, les lignes que cette recherche a écrites (0 : tout).
    std::uint64_t debutSuite = 0;
    // La dernière ligne de la recherche précédente, prise sans fin de ligne, a été prolongée par
    // le jeu : elle a été relue en entier, et remplacée dans l'extrait (à debutSuite).
    bool derniereRelue = false;
    // La ligne relue est de la période : elle est dans l'extrait, à debutSuite.
    bool relueDansLExtrait = false;
    // La dernière ligne de l'extrait n'a pas (encore) de fin de ligne dans le journal.
    bool derniereProvisoire = false;
    // Quand une recherche précédente existait mais n'a pas pu être prolongée : pourquoi tout a
    // été relu (un court avis pour la barre d'état) ; vide sinon.
    std::string avisComplet;
    // Ce que la passe a fait d'elle-même dans le dossier de sortie (une validation qu'un
    // programme tué avait laissée, terminée ou annulée) ; vide sinon.
    std::string avisDossier;
    // Les journaux lus (plusieurs : leurs horloges et leurs joueurs, donnés ou trouvés), et ce
    // qu'il faut en dire (en UTF-8).
    std::vector<JournalDeSource> journaux;
    std::vector<std::string> avisJournaux;
};

struct DemandeSorties {
    Selection selection;
    // Les modes, relus à chaque ligne : une option validée pendant l'écriture s'applique aux
    // lignes suivantes. Nul : aucun mode.
    const ModesPartages* modes = nullptr;
    // Le nettoyage role-play, pour toutes les sorties de la passe ; éteint, rien ne change.
    ReglagesNettoyage nettoyage;
    FormatsSortie formats; // aucun : LogFinal.txt seul
    // La taille d'un message (en caractères) des formats qui se collent par parties : Discord
    // (2000 par défaut), le forum (pas découpé par défaut) ; 0 : celle de chaque format.
    std::size_t tailleMessage = 0;
    // La page web : une seule (LogFinal.html), ou une par jour ou par mois dans LogFinal/.
    Decoupage decoupage = Decoupage::Aucun;
    // La date du jour écrite dans la bannière et l'en-tête des sorties ; rien : celle de la
    // machine.
    std::optional<Date> jour;
    // Le filtre de mots (--filtre) : seules les lignes de l'extrait qui correspondent à cette
    // requête (Correspondance.h) vont dans les sorties, en plus de la sélection ; nul : toutes.
    std::shared_ptr<const Requete> filtre = nullptr;
};

struct ResultatSorties {
    // Les chemins écrits, dans l'ordre de la table des formats (le sommaire du dossier découpé
    // au besoin en tête).
    std::vector<std::string> chemins;
    // Les entrées de la page web écrite (découpée : de toutes ses pages) ; 0 sans page.
    std::uint64_t entreesPage = 0;
    std::string avisDossier; // comme ResultatRecherche::avisDossier
};

// Un moteur par exécution du programme : il se souvient, d'une passe à l'autre, des lignes déjà
// comptées, de la dernière lecture du journal (pour n'en lire ensuite que la suite) et de
// l'extrait que sa dernière recherche a écrit, avec son catalogue.
class Moteur {
public:
    explicit Moteur(ReglagesMoteur reglages);
    ~Moteur();
    Moteur(const Moteur&) = delete;
    Moteur& operator=(const Moteur&) = delete;

    // L'analyse : dates de la première et de la dernière ligne, nombre de lignes, séances. Un
    // fichier présent mais illisible est un échec, signalé avant Debut().
    Issue<ResumeJournal> Analyser(const DemandeAnalyse& demande, Progression& progression,
                                  std::stop_token arret = {});
    // La recherche : copie dans l'extrait chaque ligne datée de la période, en cataloguant
    // channels et locuteurs. Le même journal, seulement prolongé depuis la recherche précédente
    // de la même période, n'est lu que depuis la fin de cette recherche. Un échec laisse
    // l'extrait et le catalogue précédents tels quels.
    Issue<ResultatRecherche> Rechercher(const DemandeRecherche& demande, Progression& progression,
                                        std::stop_token arret = {});
    // Les sorties : les lignes de l'extrait retenues par la sélection, réécrites selon les
    // modes, nettoyées, dans chaque format demandé ; remplacées ensemble une fois toutes
    // complètes et sur le disque (tout ou rien : un échec laisse toutes les anciennes).
    Issue<ResultatSorties> EcrireSorties(const DemandeSorties& demande, Progression& progression,
                                         std::stop_token arret = {});

    // Le catalogue de la dernière recherche réussie.
    const Catalogue& CatalogueCourant() const;
    // Vrai si tout locuteur non vide de l'extrait est dans la sélection : l'extrait n'a pas
    // changé depuis la recherche qui a bâti le catalogue, la table des noms n'a pas débordé, et
    // la sélection contient chaque locuteur du catalogue, mais pas le locuteur vide. Les
    // locuteurs ne sont alors plus cherchés ligne à ligne.
    bool TousLesNomsRetenus(const Selection& selection) const;

    const ReglagesMoteur& Reglages() const { return reglages_; }
    std::string CheminExtrait() const;
    // Le chemin d'un fichier du dossier de sortie (celui d'un format, par exemple).
    std::string CheminSortie(std::string_view fichier) const;

private:
    // Prend le verrou du dossier de sortie pour une passe qui y écrit, reprend un remplacement
    // qu'un programme tué y aurait laissé à moitié (ce qui en a été fait va dans avis), puis
    // supprime les fichiers temporaires orphelins. Un échec si un autre programme y écrit déjà.
    Resultat PrendreLeDossier(VerrouDossier& verrou, std::string& avis);
    // Le nombre de lignes d'un fichier pour la barre : connu (le fichier n'a pas changé depuis
    // qu'il a été lu en entier), compté tout de suite (petit), ou compté en parallèle de la passe
    // (grand : lignes reste vide). Rien à compter quand personne ne voit la barre.
    bool PasseDeComptage(const NomFichier& chemin, const Progression& progression,
                         std::optional<std::uint64_t>& lignes, ComptageEnParallele& comptage,
                         std::string& raison);

    // Rien si la recherche peut prolonger la précédente ; sinon pourquoi elle doit tout relire
    // (vide s'il n'y a pas de recherche précédente à prolonger).
    std::optional<std::string> RaisonDeToutRelire(const SourceLignes& source,
                                                  const Periode& periode,
                                                  const LectureLue* reprise) const;
    // La lecture de la recherche, la source ouverte et le dossier pris : depuis le début, ou
    // d'où repart la suite de la recherche précédente (reprise).
    Resultat LireLaPeriode(SourceLignes& source, const Periode& cherchee, const Reprise* reprise,
                           Progression& progression, std::stop_token arret,
                           ResultatRecherche& resultat);
    // L'analyse de plusieurs journaux fusionnés, ligne à ligne.
    Issue<ResumeJournal> AnalyserFusion(const DemandeAnalyse& demande, Progression& progression,
                                        std::stop_token arret);

    // Les sorties, le dossier pris.
    Issue<ResultatSorties> Ecrire(const DemandeSorties& demande, FormatsSortie formats,
                                  Progression& progression, std::stop_token arret,
                                  ResultatSorties& resultat);

    ReglagesMoteur reglages_;
    std::unique_ptr<MemoireMoteur> memoire_; // Memoire.h
};

// Texte du résumé de l'analyse (les trois lignes jointes par CR LF), en Windows-1252.
std::string ResumeAnalyse(const std::optional<Date>& debut, const std::optional<Date>& fin,
                          std::uint64_t lignes);

} // namespace vek
