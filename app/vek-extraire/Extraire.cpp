#include "Extraire.h"

#include "Affichable.h"
#include "OptionsNettoyage.h"
#include "Suivre.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>
#include <tuple>
#include <utility>

#include "Cp1252.h"
#include "Fichiers.h"
#include "Moteur.h"
#include "Noeuds.h"
#include "ProgressionConsole.h"
#include "Publication.h"
#include "SessionsConsole.h"

namespace vek {

namespace {

enum class Mode { Extraction, Catalogue, Analyse, Sessions };

struct Arguments {
    Mode mode = Mode::Extraction;
    bool aide = false;
    bool version = false;
    std::optional<std::string> debut;
    std::optional<std::string> fin;
    std::optional<std::string> dossier;
    std::optional<std::string> session; // --session : un numéro ou « derniere »
    int pause = PauseSessionsParDefaut; // --pause, en minutes
    bool pauseDonnee = false;
    std::vector<std::string> channels;
    std::vector<std::string> noms;
    bool tousChannels = false;
    bool toutLeMonde = false;
    bool ouvrir = false;
    bool silencieux = false;
    bool suivre = false;
    Modes modes;
    ReglagesNettoyage nettoyage;
    FormatsSortie formats;                // --format ; aucun : le texte seul
    std::size_t tailleMessage = 0;        // --taille-message ; 0 : celle de chaque format
    Decoupage decoupe = Decoupage::Aucun; // --decouper
    std::vector<std::string> journaux;
    std::vector<std::string> optionsExtraction; // options propres à l'écriture du journal final
    std::vector<std::string> modesDemandes;     // --catalogue, --analyse, --sessions
    std::optional<std::string> erreur;          // la première erreur d'utilisation
};

std::string Guillemets(std::string_view texte) {
    std::string s = "« ";
    s += texte;
    s += " »";
    return s;
}

void NoterErreur(Arguments& a, std::string message) {
    if (!a.erreur)
        a.erreur = std::move(message);
}

// Les options sans valeur : ce qu'elles allument, et si elles ne servent qu'à l'écriture du
// journal final.
struct OptionDrapeau {
    std::string_view nom;
    bool& (*cible)(Arguments&);
    bool pourExtraction;
};
const OptionDrapeau Drapeaux[] = {
    {"--tous-channels", [](Arguments& a) -> bool& { return a.tousChannels; }, true},
    {"--tout-le-monde", [](Arguments& a) -> bool& { return a.toutLeMonde; }, true},
    {"--sans-date", [](Arguments& a) -> bool& { return a.modes.ModeUnlessDate; }, true},
    {"--rp", [](Arguments& a) -> bool& { return a.modes.ModeRPName; }, true},
    {"--sans-channel", [](Arguments& a) -> bool& { return a.modes.ModeUnlessChannel; }, true},
    {"--sans-hrp", [](Arguments& a) -> bool& { return a.nettoyage.sansHrp; }, true},
    {"--anonymiser", [](Arguments& a) -> bool& { return a.nettoyage.anonymiser; }, true},
    {"--ouvrir", [](Arguments& a) -> bool& { return a.ouvrir; }, true},
    {"--suivre", [](Arguments& a) -> bool& { return a.suivre; }, true},
    {"-q", [](Arguments& a) -> bool& { return a.silencieux; }, false},
    {"--silencieux", [](Arguments& a) -> bool& { return a.silencieux; }, false},
    {"-h", [](Arguments& a) -> bool& { return a.aide; }, false},
    {"--help", [](Arguments& a) -> bool& { return a.aide; }, false},
    {"--aide", [](Arguments& a) -> bool& { return a.aide; }, false},
    {"--version", [](Arguments& a) -> bool& { return a.version; }, false},
};

// Les options à valeur : ce qu'elles attendent (pour le message), où va la valeur.
struct OptionValeur {
    std::string_view nom;
    std::string_view attendu;
    void (*ranger)(Arguments&, std::string);
    bool pourExtraction;
};
// Les formats connus, tirés de la table des formats : « texte, html, json, forum ou discord ».
std::string ListeDesFormats() {
    std::string liste = NomsDesFormats(", ");
    if (const auto virgule = liste.rfind(", "); virgule != std::string::npos)
        liste.replace(virgule, 2, " ou ");
    return liste;
}
const std::string AttenduFormat = "un format : " + ListeDesFormats();

void RangerFormat(Arguments& a, std::string v) {
    if (const int rang = RangFormat(v); rang >= 0)
        a.formats.Ajouter(static_cast<std::size_t>(rang));
    else
        NoterErreur(a, "format inconnu " + Guillemets(v) + " pour --format (" + ListeDesFormats() +
                           ").");
}

// Bornes de --taille-message : un message de quelques lignes au moins, un forum au plus.
constexpr std::size_t TailleMessageMin = 100;
constexpr std::size_t TailleMessageMax = 1000000;

void RangerTailleMessage(Arguments& a, std::string v) {
    std::size_t n = 0;
    bool chiffres = !v.empty() && v.size() <= 8;
    for (const char c : v) {
        chiffres = chiffres && c >= '0' && c <= '9';
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (!chiffres || n < TailleMessageMin || n > TailleMessageMax)
        NoterErreur(a, Guillemets(v) +
                           " n'est pas une taille pour --taille-message (un nombre de "
                           "caractères de " +
                           std::to_string(TailleMessageMin) + " à " +
                           std::to_string(TailleMessageMax) + ").");
    else
        a.tailleMessage = n;
}
void RangerPause(Arguments& a, std::string v) {
    a.pauseDonnee = true;
    if (const auto minutes = LirePause(v))
        a.pause = *minutes;
    else
        NoterErreur(a, Guillemets(v) + " n'est pas une durée pour --pause (un nombre entier de "
                                       "minutes, de 1 à 100000).");
}

void RangerDecoupage(Arguments& a, std::string v) {
    if (v == "jour" || v == "mois")
        a.decoupe = v == "jour" ? Decoupage::Jour : Decoupage::Mois;
    else
        NoterErreur(a, "découpage inconnu " + Guillemets(v) + " pour --decouper (jour ou mois).");
}

const OptionValeur Valeurs[] = {
    {"--debut", "une date JJ/MM/AAAA [hh:mm[:ss]]",
     [](Arguments& a, std::string v) { a.debut = std::move(v); }, false},
    {"--fin", "une date JJ/MM/AAAA [hh:mm[:ss]]",
     [](Arguments& a, std::string v) { a.fin = std::move(v); }, false},
    {"--session", "un numéro de séance ou « derniere »",
     [](Arguments& a, std::string v) { a.session = std::move(v); }, false},
    {"--pause", "une durée en minutes", RangerPause, false},
    {"--dossier", "un dossier", [](Arguments& a, std::string v) { a.dossier = std::move(v); },
     false},
    {"--channel", "le texte d'un channel",
     [](Arguments& a, std::string v) { a.channels.push_back(std::move(v)); }, true},
    {"--nom", "le nom d'un locuteur",
     [](Arguments& a, std::string v) { a.noms.push_back(std::move(v)); }, true},
    {"--renommer", "ANCIEN=NOUVEAU",
     [](Arguments& a, std::string v) {
         if (auto erreur = RangerRenommage(v, a.nettoyage))
             NoterErreur(a, std::move(*erreur));
     },
     true},
    {"--format", AttenduFormat, RangerFormat, true},
    {"--taille-message", "un nombre de caractères", RangerTailleMessage, true},
    {"--decouper", "jour ou mois", RangerDecoupage, true},
};

template <class Option, std::size_t N>
const Option* Trouver(const Option (&options)[N], std::string_view nom) {
    const auto o = std::find_if(std::begin(options), std::end(options),
                                [&](const Option& option) { return option.nom == nom; });
    return o == std::end(options) ? nullptr : o;
}

Arguments LireArguments(const std::vector<std::string>& args) {
    Arguments a;
    bool finOptions = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (finOptions || arg.empty() || arg == "-" || arg[0] != '-') {
            a.journaux.push_back(arg);
            continue;
        }
        if (arg == "--") {
            finOptions = true;
            continue;
        }
        std::string nom = arg;
        std::optional<std::string> valeurJointe;
        if (arg.rfind("--", 0) == 0) {
            const auto egal = arg.find('=');
            if (egal != std::string::npos) {
                nom = arg.substr(0, egal);
                valeurJointe = arg.substr(egal + 1);
            }
        }
        const auto sansValeur = [&] {
            if (valeurJointe)
                NoterErreur(a, "l'option " + nom + " ne prend pas de valeur.");
        };
        if (const OptionDrapeau* o = Trouver(Drapeaux, nom)) {
            sansValeur();
            o->cible(a) = true;
            if (o->pourExtraction)
                a.optionsExtraction.push_back(nom);
        } else if (const OptionValeur* v = Trouver(Valeurs, nom)) {
            // La valeur : jointe par « = » ou l'argument suivant, sauf une autre option.
            if (valeurJointe)
                v->ranger(a, std::move(*valeurJointe));
            else if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0)
                v->ranger(a, args[++i]);
            else
                NoterErreur(a, "l'option " + nom + " attend " + std::string(v->attendu) + ".");
            if (v->pourExtraction)
                a.optionsExtraction.push_back(nom);
        } else if (nom == "--catalogue" || nom == "--analyse" || nom == "--sessions") {
            sansValeur();
            a.mode = nom == "--catalogue" ? Mode::Catalogue
                     : nom == "--analyse" ? Mode::Analyse
                                          : Mode::Sessions;
            a.modesDemandes.push_back(nom);
        } else {
            NoterErreur(a, "option inconnue " + Guillemets(arg) + ".");
        }
    }

    if (a.modesDemandes.size() > 1)
        NoterErreur(a, "--catalogue, --analyse et --sessions ne se combinent pas.");
    if (a.mode == Mode::Analyse || a.mode == Mode::Sessions) {
        const bool sessions = a.mode == Mode::Sessions;
        if (a.debut || a.fin || a.dossier || a.session || !a.optionsExtraction.empty() ||
            (a.pauseDonnee && !sessions))
            NoterErreur(a, sessions ? "--sessions ne prend pas d'autre option que le journal, "
                                      "--pause et -q."
                                    : "--analyse ne prend pas d'autre option que le journal (et "
                                      "-q).");
    } else if (a.session && (a.debut || a.fin)) {
        NoterErreur(a, "--session donne toute la période : ni --debut ni --fin avec elle.");
    } else if (a.pauseDonnee && !a.session) {
        NoterErreur(a, "--pause ne sert qu'avec --sessions ou --session.");
    } else if (a.mode == Mode::Catalogue && !a.optionsExtraction.empty()) {
        NoterErreur(a, "l'option " + a.optionsExtraction.front() +
                           " ne sert qu'à l'écriture de LogFinal.txt, pas avec --catalogue.");
    }
    if (a.decoupe != Decoupage::Aucun && !a.formats.Contient("html"))
        NoterErreur(a, "--decouper découpe la page web : il va avec --format html.");
    if (a.journaux.empty()) {
        NoterErreur(a, "il manque le chemin du journal.");
    } else if (a.journaux.size() > 1) {
        std::string liste;
        for (const auto& j : a.journaux)
            liste += (liste.empty() ? "" : ", ") + Guillemets(j);
        NoterErreur(a, "un seul journal à la fois (reçus : " + liste + ").");
    }
    return a;
}

// Décrit le caractère à la position donnée d'un texte UTF-8 : « ☃ » (U+2603).
std::string DecrireCaractere(std::string_view texte, std::size_t position) {
    const auto premier = static_cast<unsigned char>(texte[position]);
    std::size_t fin = position;
    char32_t c = 0;
    if (!LireCaractereUtf8(texte, fin, c))
        return (premier & 0xC0) == 0x80 || premier >= 0xF8
                   ? "un octet qui n'est pas de l'UTF-8"
                   : "une suite d'octets qui n'est pas de l'UTF-8";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return Guillemets(texte.substr(position, fin - position)) + " (" + code + ")";
}

enum class Arbre { Channels, Noms };

// Une ligne de --catalogue : « genre<TAB>texte », le texte en UTF-8 et échappé.
void EcrireNoeud(std::ostream& sortie, std::string_view genre, std::string_view texte,
                 bool terminal) {
    sortie << genre << '\t';
    EcrireEchappe(sortie, texte, terminal);
    sortie << '\n';
}

struct Demande {
    Arbre arbre;
    std::string option; // --channel ou --nom
    std::string utf8;   // tel que tapé
    std::string cp1252; // converti
};

// Vrai si le journal s'ouvre et n'a pas une ligne ; un journal qui ne s'ouvre pas est laissé à
// la recherche, qui dit pourquoi.
bool JournalVide(const std::string& chemin) {
    LecteurTexte lecteur;
    return lecteur.Ouvrir(chemin) && lecteur.FinFichier() && !lecteur.ErreurLecture();
}

void EcrireResume(std::ostream& out, std::string_view resume) {
    // Les CR LF du résumé deviennent des fins de ligne ; rien n'est rogné.
    std::string texte = Cp1252VersUtf8(resume);
    std::string sortie;
    sortie.reserve(texte.size() + 1);
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') {
            sortie += '\n';
            ++i;
        } else {
            sortie += texte[i];
        }
    }
    out << sortie << '\n';
}

class Execution {
public:
    Execution(Arguments& a, std::ostream& out, std::ostream& err, const ContexteExtraire& c)
        : a_(a), out_(out), err_(err), contexte_(c),
          progression_(err, c.erreurEstTerminal && !a.silencieux) {}

    int Lancer();

private:
    int Usage(const std::string& message) {
        err_ << "vek-extraire : " << message << '\n'
             << "Essayez « vek-extraire --help » pour la liste des options.\n";
        return SortieErreurUsage;
    }
    int Echec(const Resultat& r) {
        progression_.Effacer();
        DireAvis(r.avis); // ce que la passe a repris dans le dossier avant d'échouer
        if (r.interrompu) {
            err_ << "vek-extraire : interrompu ; les fichiers temporaires sont supprimés et "
                    "les anciennes sorties sont gardées.\n";
            const int signal = contexte_.signal ? contexte_.signal->load() : 0;
            return signal > 0 ? 128 + signal : SortieEchecFichier;
        }
        err_ << "vek-extraire : " << r.Message() << '\n';
        return SortieEchecFichier;
    }
    void Avertir(const std::string& message) {
        progression_.Effacer();
        err_ << "vek-extraire : " << message << '\n';
    }
    // Ce que la passe a fait d'elle-même dans le dossier (une validation interrompue reprise).
    void DireAvis(const std::string& avis) {
        if (!avis.empty())
            Avertir(avis);
    }

    // Lance l'analyse ; rien (après un message) si le journal est introuvable ou illisible.
    std::optional<ResumeJournal> Analyser(int& code);
    // Chaque étape rend le code de sortie quand elle arrête l'exécution (après son message).
    // Les textes de --channel et --nom, en Windows-1252 comme ceux des arbres.
    std::optional<int> ConvertirDemandes(std::vector<Demande>& demandes);
    // Les dates de la ligne de commande, ou celles que l'analyse trouve.
    std::optional<int> LirePeriode(std::optional<Borne>& debut, std::optional<Borne>& fin);
    // La période : les bornes données, celles de la séance demandée, ou les dates que l'analyse
    // trouve pour celles qui manquent.
    std::optional<int> FixerPeriode(Periode& periode);
    // Les nœuds nommés, puis les cases « tout cocher » ; la sélection suit l'ordre des arbres.
    std::optional<int> Selectionner(const Noeuds& channels, const Noeuds& noms,
                                    const std::vector<Demande>& demandes, const Periode& periode,
                                    Selection& selection);
    int EcrireSorties(Moteur& moteur, const Selection& selection, std::stop_token arret);

    Arguments& a_;
    std::ostream& out_;
    std::ostream& err_;
    const ContexteExtraire& contexte_;
    ProgressionConsole progression_;
    LanceurSysteme systeme_;
};

std::optional<ResumeJournal> Execution::Analyser(int& code) {
    // Le moteur a besoin d'un dossier même pour la seule analyse : rien n'y est écrit.
    Moteur moteur{ReglagesMoteur{}};
    const std::string& journal = a_.journaux.front();
    const Issue<ResumeJournal> analyse =
        moteur.Analyser({journal, a_.pause}, progression_, contexte_.arret);
    if (!analyse.ok()) {
        code = Echec(analyse.Echec());
        return std::nullopt;
    }
    if (!analyse->existe) {
        Avertir("Fichier introuvable ! Le journal " + Guillemets(journal) + " n'existe pas.");
        code = SortieEchecFichier;
        return std::nullopt;
    }
    if (const std::string conseil = analyse->Conseil(); !conseil.empty())
        Avertir(conseil);
    return *analyse;
}

std::optional<int> Execution::ConvertirDemandes(std::vector<Demande>& demandes) {
    for (const auto& [arbre, option, textes] :
         {std::tuple{Arbre::Channels, "--channel", &a_.channels},
          std::tuple{Arbre::Noms, "--nom", &a_.noms}})
        for (const auto& t : *textes) {
            Demande d{arbre, option, t, {}};
            std::size_t position = 0;
            if (!Utf8VersCp1252(t, d.cp1252, &position))
                return Usage("le texte " + Guillemets(t) + " de " + option + " contient " +
                             DecrireCaractere(t, position) +
                             ", qui n'existe pas en Windows-1252 (la page de code du journal).");
            demandes.push_back(std::move(d));
        }
    return std::nullopt;
}

std::optional<int> Execution::LirePeriode(std::optional<Borne>& debut, std::optional<Borne>& fin) {
    // Dates de la ligne de commande d'abord : une date mal écrite est refusée sans rien lire.
    constexpr std::string_view formes =
        " (formes attendues : JJ/MM/AAAA, JJ/MM/AAAA hh:mm ou JJ/MM/AAAA hh:mm:ss).";
    if (a_.debut && !(debut = ConvertirBorne(*a_.debut)))
        return Usage(Guillemets(*a_.debut) + " n'est pas une date pour --debut" +
                     std::string(formes));
    if (a_.fin && !(fin = ConvertirBorne(*a_.fin)))
        return Usage(Guillemets(*a_.fin) + " n'est pas une date pour --fin" + std::string(formes));
    return std::nullopt;
}

std::optional<int> Execution::FixerPeriode(Periode& periode) {
    std::optional<Borne> debut;
    std::optional<Borne> fin;
    if (auto code = LirePeriode(debut, fin))
        return code;
    if (debut && fin) {
        // Un journal vide se dit de la même façon, dates données ou non.
        if (JournalVide(a_.journaux.front())) {
            Avertir("Le journal est vide : il n'y a rien à extraire.");
            return SortieEchecFichier;
        }
        periode = Periode::Entre(*debut, *fin);
        return std::nullopt;
    }
    // Une date manquante, ou une séance : l'analyse d'abord.
    int code = SortieSucces;
    const auto resume = Analyser(code);
    if (!resume)
        return code;
    if (resume->lignes == 0)
        return SortieEchecFichier; // « Le journal est vide » vient d'être dit
    if (a_.session) {
        std::string erreur;
        const auto session = ChoisirSession(resume->sessions, *a_.session, erreur);
        if (!session)
            return Usage(erreur);
        periode = session->ALaMinute();
        return std::nullopt;
    }
    if (!debut && resume->debut)
        debut = Borne{*resume->debut, 0, Precision::Jour};
    if (!fin && resume->fin)
        fin = Borne{*resume->fin, 0, Precision::Jour};
    if (!debut)
        return Usage("la première ligne du journal n'est pas datée : indiquez la date de "
                     "début avec --debut JJ/MM/AAAA.");
    if (!fin)
        return Usage("la dernière ligne du journal n'est pas datée : indiquez la date de "
                     "fin avec --fin JJ/MM/AAAA.");
    periode = Periode::Entre(*debut, *fin);
    return std::nullopt;
}

std::optional<int> Execution::Selectionner(const Noeuds& channels, const Noeuds& noms,
                                           const std::vector<Demande>& demandes,
                                           const Periode& periode, Selection& selection) {
    std::vector<bool> channelsCoches(channels.size(), a_.tousChannels);
    std::vector<bool> nomsCoches(noms.size(), a_.toutLeMonde);
    bool introuvable = false;
    for (const auto& d : demandes) {
        const bool channel = d.arbre == Arbre::Channels;
        const auto& noeuds = channel ? channels : noms;
        const long i = channel ? TrouverChannel(noeuds, d.cp1252) : TrouverNom(noeuds, d.cp1252);
        if (i >= 0) {
            (channel ? channelsCoches : nomsCoches)[static_cast<std::size_t>(i)] = true;
            continue;
        }
        introuvable = true;
        err_ << "vek-extraire : aucun " << (channel ? "channel " : "locuteur ")
             << Guillemets(d.utf8) << ' ' << TextePeriode(periode) << ".\n";
        const auto proches = PlusProches(noeuds, d.cp1252);
        if (proches.empty()) {
            err_ << "  (aucun " << (channel ? "channel" : "locuteur") << " dans la période)\n";
        } else {
            err_ << "  Les plus proches :";
            for (std::size_t k = 0; k < proches.size(); ++k)
                err_ << (k == 0 ? " " : ", ")
                     << Guillemets(TexteAffichable(Cp1252VersUtf8(proches[k]),
                                                   contexte_.erreurEstTerminal));
            err_ << '\n';
        }
    }
    if (introuvable) {
        err_ << "Essayez « vek-extraire --catalogue » pour la liste des channels et des "
                "locuteurs de la période.\n";
        return SortieErreurUsage;
    }
    for (std::size_t i = 0; i < channels.size(); ++i)
        if (channelsCoches[i])
            selection.AjouterChannel(channels[i]);
    for (std::size_t i = 0; i < noms.size(); ++i)
        if (nomsCoches[i])
            selection.AjouterNom(noms[i]);
    return std::nullopt;
}

int Execution::EcrireSorties(Moteur& moteur, const Selection& selection, std::stop_token arret) {
    const FormatsSortie formats = a_.formats;
    std::string fichiers;
    for (const std::string_view nomFichier : FichiersDesFormats(formats))
        fichiers += (fichiers.empty() ? "" : ", ") + std::string(nomFichier);
    progression_.DefinirEtape("Écriture de " + fichiers);
    const ModesPartages modes(a_.modes);
    const DemandeSorties demande{selection,        &modes,     a_.nettoyage, formats,
                                 a_.tailleMessage, a_.decoupe, std::nullopt};
    const Issue<ResultatSorties> ecriture = moteur.EcrireSorties(demande, progression_, arret);
    progression_.TerminerEtape();
    if (!ecriture.ok())
        return Echec(ecriture.Echec());
    DireAvis(ecriture->avisDossier);
    // Une page unique trop longue est écrite, mais le navigateur peine à la montrer.
    if (formats.Contient("html") && a_.decoupe == Decoupage::Aucun &&
        ecriture->entreesPage > EntreesPageUniqueMax)
        Avertir("la page web tient " + std::to_string(ecriture->entreesPage) +
                " entrées : un navigateur la montre lentement. --decouper jour (ou mois) "
                "l'écrit en une page par jour (ou par mois) dans le dossier LogFinal, avec un "
                "sommaire.");
    for (const std::string& chemin : ecriture->chemins) {
        if (!a_.ouvrir)
            break;
        LanceurDocument& lanceur = contexte_.lanceur != nullptr ? *contexte_.lanceur : systeme_;
        if (!lanceur.OuvrirDocument(chemin))
            Avertir("aucun visualiseur n'a pu ouvrir " + Guillemets(chemin) + ".");
    }
    for (const std::string& chemin : ecriture->chemins)
        out_ << chemin << '\n';
    out_.flush();
    return SortieSucces;
}

int Execution::Lancer() {
    const std::string& journal = a_.journaux.front();

    if (a_.mode == Mode::Analyse) {
        int code = SortieSucces;
        const auto resume = Analyser(code);
        if (!resume)
            return code;
        EcrireResume(out_, resume->Texte());
        return SortieSucces;
    }

    if (a_.mode == Mode::Sessions) {
        int code = SortieSucces;
        const auto resume = Analyser(code);
        if (!resume)
            return code;
        if (resume->sessionsOubliees > 0)
            Avertir("les " + std::to_string(resume->sessionsOubliees) +
                    " plus anciennes séances ne sont pas gardées (seules les " +
                    std::to_string(DetecteurSessions::MaxSessions) + " plus récentes le sont).");
        EcrireSessions(out_, resume->sessions, contexte_.sortieEstTerminal);
        out_.flush();
        return SortieSucces;
    }

    Periode periode;
    std::vector<Demande> demandes;
    if (a_.session || a_.debut || a_.fin) {
        // Les bornes écrites sont vérifiées avant les textes des nœuds, sans rien lire.
        std::optional<Borne> debut, fin;
        if (auto code = LirePeriode(debut, fin))
            return *code;
    }
    if (auto code = ConvertirDemandes(demandes))
        return *code;
    if (auto code = FixerPeriode(periode))
        return *code;
    if (periode.fin < periode.debut && !a_.silencieux)
        Avertir("le début de la période (" + InstantCourt(periode.debut, Precision::Seconde) +
                ") suit sa fin (" + InstantCourt(periode.fin, Precision::Seconde) +
                ") : aucune ligne ne sera retenue.");

    const std::string dossier = a_.dossier ? *a_.dossier : RepertoireProgramme();
    ReglagesMoteur reglagesMoteur;
    reglagesMoteur.dossier = dossier;
    if (contexte_.horloge)
        reglagesMoteur.horloge = contexte_.horloge;
    Moteur moteur(std::move(reglagesMoteur));

    progression_.DefinirEtape("Recherche");
    const Issue<ResultatRecherche> recherche =
        moteur.Rechercher({journal, periode}, progression_, contexte_.arret);
    progression_.TerminerEtape();
    if (!recherche.ok())
        return Echec(recherche.Echec());
    DireAvis(recherche->avisDossier);
    const vek::Catalogue& catalogue = *recherche->catalogue;
    if (catalogue.LimiteChannelsAtteinte)
        Avertir("attention : plus de " + std::to_string(Catalogue::MaxChannels) +
                " channels dans la période, les " + std::to_string(catalogue.ChannelsIgnores()) +
                " suivants sont ignorés.");
    if (catalogue.LimiteNomsAtteinte)
        Avertir("attention : plus de " + std::to_string(Catalogue::MaxNoms) +
                " locuteurs dans la période, les " + std::to_string(catalogue.NomsIgnores()) +
                " suivants sont ignorés.");
    const Noeuds channels = NoeudsChannels(catalogue);
    const Noeuds noms = NoeudsNoms(catalogue);

    if (a_.mode == Mode::Catalogue) {
        for (const auto& n : channels)
            EcrireNoeud(out_, "canal", n, contexte_.sortieEstTerminal);
        for (const auto& n : noms)
            EcrireNoeud(out_, "nom", n, contexte_.sortieEstTerminal);
        out_.flush();
        return SortieSucces;
    }
    Selection selection;
    if (auto code = Selectionner(channels, noms, demandes, periode, selection))
        return *code;
    if (a_.suivre) {
        // Jusqu'à Ctrl+C ; puis les sorties demandées, de tout ce qui a été lu, sans que
        // l'arrêt qui a fini le suivi n'interrompe leur écriture.
        ReglagesSuivi reglages;
        reglages.horloge = contexte_.horloge;
        reglages.terminal = contexte_.sortieEstTerminal;
        reglages.tousChannels = a_.tousChannels;
        reglages.toutLeMonde = a_.toutLeMonde;
        reglages.nettoyage = a_.nettoyage;
        SuivreJournal(moteur, journal, periode, selection, ModesPartages(a_.modes), out_, err_,
                      contexte_.arret, reglages);
        return EcrireSorties(moteur, selection, {});
    }
    return EcrireSorties(moteur, selection, contexte_.arret);
}

} // namespace

int ExecuterExtraire(std::vector<std::string> args, std::ostream& out, std::ostream& err,
                     const ContexteExtraire& contexte) {
    Arguments a = LireArguments(args);
    if (a.aide) {
        out << TexteAide();
        return SortieSucces;
    }
    if (a.version) {
        out << TexteVersion() << '\n';
        return SortieSucces;
    }
    if (a.erreur) {
        err << "vek-extraire : " << *a.erreur << '\n'
            << "Essayez « vek-extraire --help » pour la liste des options.\n";
        return SortieErreurUsage;
    }
    if (contexte.cheminSysteme != nullptr) {
        for (auto& j : a.journaux)
            j = contexte.cheminSysteme(j);
        if (a.dossier)
            a.dossier = contexte.cheminSysteme(*a.dossier);
    }
    try {
        Execution execution(a, out, err, contexte);
        return execution.Lancer();
    } catch (...) {
        // Hors des passes (qui rendent leurs propres échecs) : la mémoire épuisée en imprimant
        // le catalogue, par exemple.
        err << "vek-extraire : " << Resultat::Exception("Impossible de terminer", {}).Message()
            << '\n';
        return SortieEchecFichier;
    }
}

} // namespace vek
