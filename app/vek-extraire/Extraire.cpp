#include "Extraire.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>
#include <tuple>
#include <utility>

#include "Cp1252.h"
#include "Fichiers.h"
#include "ModuleVEK.h"
#include "ProgressionConsole.h"
#include "Publication.h"
#include "VersionVEK.h"

namespace vek {

namespace {

constexpr std::size_t MaxSuggestions = 5;

enum class Mode { Extraction, Catalogue, Analyse };

struct Arguments {
    Mode mode = Mode::Extraction;
    bool aide = false;
    bool version = false;
    std::optional<std::string> debut;
    std::optional<std::string> fin;
    std::optional<std::string> dossier;
    std::vector<std::string> channels;
    std::vector<std::string> noms;
    bool tousChannels = false;
    bool toutLeMonde = false;
    bool ouvrir = false;
    bool silencieux = false;
    Modes modes;
    FormatsSortie formats{false, false, false}; // --format ; aucun : le texte seul
    std::vector<std::string> journaux;
    std::vector<std::string> optionsExtraction; // options propres à l'écriture du journal final
    std::vector<std::string> modesDemandes;     // --catalogue, --analyse
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
        // Valeur d'une option : jointe par « = » ou l'argument suivant, sauf une autre option.
        const auto valeur = [&](std::string_view attendu) -> std::optional<std::string> {
            if (valeurJointe)
                return valeurJointe;
            if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0)
                return args[++i];
            NoterErreur(a, "l'option " + nom + " attend " + std::string(attendu) + ".");
            return std::nullopt;
        };
        const auto drapeau = [&](bool& cible) {
            if (valeurJointe)
                NoterErreur(a, "l'option " + nom + " ne prend pas de valeur.");
            cible = true;
        };
        bool ignore = false;
        if (nom == "--debut") {
            if (auto v = valeur("une date JJ/MM/AAAA"))
                a.debut = std::move(*v);
        } else if (nom == "--fin") {
            if (auto v = valeur("une date JJ/MM/AAAA"))
                a.fin = std::move(*v);
        } else if (nom == "--dossier") {
            if (auto v = valeur("un dossier"))
                a.dossier = std::move(*v);
        } else if (nom == "--channel") {
            if (auto v = valeur("le texte d'un channel"))
                a.channels.push_back(std::move(*v));
            a.optionsExtraction.push_back(nom);
        } else if (nom == "--nom") {
            if (auto v = valeur("le nom d'un locuteur"))
                a.noms.push_back(std::move(*v));
            a.optionsExtraction.push_back(nom);
        } else if (nom == "--catalogue") {
            drapeau(ignore);
            a.mode = Mode::Catalogue;
            a.modesDemandes.push_back(nom);
        } else if (nom == "--analyse") {
            drapeau(ignore);
            a.mode = Mode::Analyse;
            a.modesDemandes.push_back(nom);
        } else if (nom == "--tous-channels") {
            drapeau(a.tousChannels);
            a.optionsExtraction.push_back(nom);
        } else if (nom == "--tout-le-monde") {
            drapeau(a.toutLeMonde);
            a.optionsExtraction.push_back(nom);
        } else if (nom == "--sans-date") {
            drapeau(a.modes.ModeUnlessDate);
            a.optionsExtraction.push_back(nom);
        } else if (nom == "--rp") {
            drapeau(a.modes.ModeRPName);
            a.optionsExtraction.push_back(nom);
        } else if (nom == "--sans-channel") {
            drapeau(a.modes.ModeUnlessChannel);
            a.optionsExtraction.push_back(nom);
        } else if (nom == "--format") {
            if (auto v = valeur("un format : texte, html ou json")) {
                if (*v == "texte")
                    a.formats.texte = true;
                else if (*v == "html")
                    a.formats.html = true;
                else if (*v == "json")
                    a.formats.json = true;
                else
                    NoterErreur(a, "format inconnu " + Guillemets(*v) +
                                       " pour --format (texte, html ou json).");
            }
            a.optionsExtraction.push_back(nom);
        } else if (nom == "--ouvrir") {
            drapeau(a.ouvrir);
            a.optionsExtraction.push_back(nom);
        } else if (nom == "-q" || nom == "--silencieux") {
            drapeau(a.silencieux);
        } else if (nom == "-h" || nom == "--help" || nom == "--aide") {
            drapeau(a.aide);
        } else if (nom == "--version") {
            drapeau(a.version);
        } else {
            NoterErreur(a, "option inconnue " + Guillemets(arg) + ".");
        }
    }

    if (a.modesDemandes.size() > 1)
        NoterErreur(a, "--catalogue et --analyse ne se combinent pas.");
    if (a.mode == Mode::Analyse) {
        if (a.debut || a.fin || a.dossier || !a.optionsExtraction.empty())
            NoterErreur(a, "--analyse ne prend pas d'autre option que le journal (et -q).");
    } else if (a.mode == Mode::Catalogue && !a.optionsExtraction.empty()) {
        NoterErreur(a, "l'option " + a.optionsExtraction.front() +
                           " ne sert qu'à l'écriture de LogFinal.txt, pas avec --catalogue.");
    }
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

std::string Majuscules(std::string_view texte) {
    std::string sortie;
    MettreEnMajuscules(texte, sortie);
    return sortie;
}

// Les textes des nœuds d'un arbre, désignés dans le catalogue.
using Noeuds = std::vector<std::string_view>;

// Indice (à partir de 0) du nœud de channel qui porte le texte, ou -1. Un channel est unique
// sans égard à la casse ; les crochets peuvent être omis.
long TrouverChannel(const Noeuds& noeuds, std::string_view texte) {
    const auto chercher = [&](std::string_view t) -> long {
        for (std::size_t i = 0; i < noeuds.size(); ++i)
            if (noeuds[i] == t)
                return static_cast<long>(i);
        const std::string maj = Majuscules(t);
        for (std::size_t i = 0; i < noeuds.size(); ++i)
            if (Majuscules(noeuds[i]) == maj)
                return static_cast<long>(i);
        return -1;
    };
    long i = chercher(texte);
    if (i < 0 && !texte.empty() && texte.front() != '[')
        i = chercher("[" + std::string(texte) + "]");
    return i;
}

// Indice du nœud de locuteur qui porte exactement le texte, ou -1 ; à défaut, le seul nœud
// dont le texte sans ses espaces aux bouts est le même (« Vos Whisps reçus »).
long TrouverNom(const Noeuds& noeuds, std::string_view texte) {
    for (std::size_t i = 0; i < noeuds.size(); ++i)
        if (noeuds[i] == texte)
            return static_cast<long>(i);
    long trouve = -1;
    for (std::size_t i = 0; i < noeuds.size(); ++i) {
        if (RognerEspaces(noeuds[i]) == RognerEspaces(texte)) {
            if (trouve >= 0)
                return -1; // ambigu
            trouve = static_cast<long>(i);
        }
    }
    return trouve;
}

// Les textes des nœuds les plus proches, casse ignorée, du plus proche au moins proche (ordre
// de l'arbre à égalité) : d'abord ceux qui contiennent le texte cherché, puis par distance
// d'édition.
Noeuds PlusProches(const Noeuds& noeuds, std::string_view texte) {
    const std::string maj = Majuscules(RognerEspaces(texte));
    std::vector<std::pair<std::size_t, std::size_t>> distances; // (rang, indice)
    distances.reserve(noeuds.size());
    for (std::size_t i = 0; i < noeuds.size(); ++i) {
        const std::string candidat = Majuscules(noeuds[i]);
        const bool contient = !maj.empty() && candidat.find(maj) != std::string::npos;
        // La distance ne compare que les premiers octets : sur des noms très longs, elle coûterait
        // le produit des longueurs, pour chaque nœud.
        constexpr std::size_t Compares = 64;
        distances.emplace_back(
            contient ? 0
                     : 1 + DistanceEdition(std::string_view(maj).substr(0, Compares),
                                           std::string_view(candidat).substr(0, Compares)),
            i);
    }
    std::stable_sort(distances.begin(), distances.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    Noeuds resultat;
    for (std::size_t k = 0; k < distances.size() && k < MaxSuggestions; ++k)
        resultat.push_back(noeuds[distances[k].second]);
    return resultat;
}

enum class Arbre { Channels, Noms };

// Une ligne de --catalogue : « genre<TAB>texte », le texte en UTF-8, ses tabulations et ses
// barres obliques inverses écrites « \t » et « \\ » pour que la ligne se lise sans ambiguïté.
// Le texte passe par morceaux : un nom démesuré n'est pas copié en entier.
void EcrireNoeud(std::ostream& sortie, std::string_view genre, std::string_view texte) {
    sortie << genre << '\t';
    constexpr std::size_t Morceau = std::size_t{1} << 16;
    std::string echappe;
    for (std::size_t debut = 0; debut < texte.size(); debut += Morceau) {
        echappe.clear();
        for (const char c : Cp1252VersUtf8(texte.substr(debut, Morceau))) {
            if (c == '\t')
                echappe += "\\t";
            else if (c == '\\')
                echappe += "\\\\";
            else
                echappe += c;
        }
        sortie << echappe;
    }
    sortie << '\n';
}

struct Demande {
    Arbre arbre;
    std::string option; // --channel ou --nom
    std::string utf8;   // tel que tapé
    std::string cp1252; // converti
};

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

    // Lance l'analyse ; rien (après un message) si le journal est introuvable ou illisible.
    std::optional<ResumeJournal> Analyser(int& code);
    // Chaque étape rend le code de sortie quand elle arrête l'exécution (après son message).
    // Les textes de --channel et --nom, en Windows-1252 comme ceux des arbres.
    std::optional<int> ConvertirDemandes(std::vector<Demande>& demandes);
    // Les dates de la ligne de commande, ou celles que l'analyse trouve.
    std::optional<int> LirePeriode(std::optional<Date>& debut, std::optional<Date>& fin);
    // Les nœuds nommés, puis les cases « tout cocher » ; la sélection suit l'ordre des arbres.
    std::optional<int> Selectionner(const Noeuds& channels, const Noeuds& noms,
                                    const std::vector<Demande>& demandes, Date debut, Date fin,
                                    Selection& selection);
    int EcrireSorties(ModuleVEK& module, const Selection& selection);

    Arguments& a_;
    std::ostream& out_;
    std::ostream& err_;
    const ContexteExtraire& contexte_;
    ProgressionConsole progression_;
    LanceurSysteme systeme_;
};

std::optional<ResumeJournal> Execution::Analyser(int& code) {
    // Le moteur a besoin d'un dossier même pour la seule analyse : rien n'y est écrit.
    ModuleVEK module{std::string()};
    const std::string& journal = a_.journaux.front();
    const Issue<ResumeJournal> analyse = module.Analyser(journal, progression_, contexte_.arret);
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

std::optional<int> Execution::LirePeriode(std::optional<Date>& debut, std::optional<Date>& fin) {
    // Dates de la ligne de commande d'abord : une date mal écrite est refusée sans rien lire.
    if (a_.debut && !(debut = ConvertirDate(*a_.debut)))
        return Usage(Guillemets(*a_.debut) +
                     " n'est pas une date pour --debut (forme attendue : JJ/MM/AAAA).");
    if (a_.fin && !(fin = ConvertirDate(*a_.fin)))
        return Usage(Guillemets(*a_.fin) +
                     " n'est pas une date pour --fin (forme attendue : JJ/MM/AAAA).");
    return std::nullopt;
}

std::optional<int> Execution::Selectionner(const Noeuds& channels, const Noeuds& noms,
                                           const std::vector<Demande>& demandes, Date debut,
                                           Date fin, Selection& selection) {
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
             << Guillemets(d.utf8) << " du " << DateCourte(debut) << " au " << DateCourte(fin)
             << ".\n";
        const auto proches = PlusProches(noeuds, d.cp1252);
        if (proches.empty()) {
            err_ << "  (aucun " << (channel ? "channel" : "locuteur") << " dans la période)\n";
        } else {
            err_ << "  Les plus proches :";
            for (std::size_t k = 0; k < proches.size(); ++k)
                err_ << (k == 0 ? " " : ", ") << Guillemets(Cp1252VersUtf8(proches[k]));
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

int Execution::EcrireSorties(ModuleVEK& module, const Selection& selection) {
    const FormatsSortie formats = a_.formats.Aucun() ? FormatsSortie{} : a_.formats;
    std::string fichiers;
    for (auto [demande, nomFichier] :
         {std::pair{formats.texte, NomLogFinal}, std::pair{formats.html, NomPageWeb},
          std::pair{formats.json, NomLignesJson}})
        if (demande)
            fichiers += (fichiers.empty() ? "" : ", ") + std::string(nomFichier);
    progression_.DefinirEtape("Écriture de " + fichiers);
    const ModesPartages modes(a_.modes);
    const Issue<std::vector<std::string>> ecriture =
        module.EcrireSorties(selection, modes, formats, progression_, contexte_.arret);
    progression_.TerminerEtape();
    if (!ecriture.ok())
        return Echec(ecriture.Echec());
    for (const std::string& chemin : *ecriture) {
        if (!a_.ouvrir)
            break;
        LanceurDocument& lanceur = contexte_.lanceur != nullptr ? *contexte_.lanceur : systeme_;
        if (!lanceur.OuvrirDocument(chemin))
            Avertir("aucun visualiseur n'a pu ouvrir " + Guillemets(chemin) + ".");
    }
    for (const std::string& chemin : *ecriture)
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

    std::optional<Date> debut;
    std::optional<Date> fin;
    std::vector<Demande> demandes;
    if (auto code = LirePeriode(debut, fin))
        return *code;
    if (auto code = ConvertirDemandes(demandes))
        return *code;

    // Une date manquante : celle que l'analyse trouve.
    if (!debut || !fin) {
        int code = SortieSucces;
        const auto resume = Analyser(code);
        if (!resume)
            return code;
        if (resume->lignes == 0)
            return SortieEchecFichier; // « Le journal est vide » vient d'être dit
        if (!debut && !(debut = resume->debut))
            return Usage("la première ligne du journal n'est pas datée : indiquez la date de "
                         "début avec --debut JJ/MM/AAAA.");
        if (!fin && !(fin = resume->fin))
            return Usage("la dernière ligne du journal n'est pas datée : indiquez la date de "
                         "fin avec --fin JJ/MM/AAAA.");
    }
    if (*fin < *debut && !a_.silencieux)
        Avertir("la date de début (" + DateCourte(*debut) + ") suit la date de fin (" +
                DateCourte(*fin) + ") : aucune ligne ne sera retenue.");

    const std::string dossier = a_.dossier ? *a_.dossier : RepertoireProgramme();
    ModuleVEK module(dossier);

    progression_.DefinirEtape("Recherche");
    const Issue<ResultatRecherche> recherche =
        module.Rechercher(journal, *debut, *fin, progression_, contexte_.arret);
    progression_.TerminerEtape();
    if (!recherche.ok())
        return Echec(recherche.Echec());
    const vek::Catalogue& catalogue = *recherche->catalogue;
    if (catalogue.LimiteChannelsAtteinte)
        Avertir("attention : plus de " + std::to_string(Catalogue::MaxChannels) +
                " channels dans la période, les suivants sont ignorés.");
    if (catalogue.LimiteNomsAtteinte)
        Avertir("attention : plus de " + std::to_string(Catalogue::MaxNoms) +
                " locuteurs dans la période, les suivants sont ignorés.");
    const Noeuds channels = NoeudsChannels(catalogue);
    const Noeuds noms = NoeudsNoms(catalogue);

    if (a_.mode == Mode::Catalogue) {
        for (const auto& n : channels)
            EcrireNoeud(out_, "canal", n);
        for (const auto& n : noms)
            EcrireNoeud(out_, "nom", n);
        out_.flush();
        return SortieSucces;
    }
    Selection selection;
    if (auto code = Selectionner(channels, noms, demandes, *debut, *fin, selection))
        return *code;
    return EcrireSorties(module, selection);
}

} // namespace

std::size_t DistanceEdition(std::string_view a, std::string_view b) {
    std::vector<std::size_t> precedente(b.size() + 1);
    std::vector<std::size_t> courante(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        precedente[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        courante[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t remplacement = precedente[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            courante[j] = std::min({precedente[j] + 1, courante[j - 1] + 1, remplacement});
        }
        std::swap(precedente, courante);
    }
    return precedente[b.size()];
}

std::string TexteVersion() {
    return "vek-extraire " VEK_VERSION_AFFICHEE;
}

std::string TexteAide() {
    return R"(Utilisation :
  vek-extraire [OPTIONS] JOURNAL
  vek-extraire --catalogue [--debut JJ/MM/AAAA] [--fin JJ/MM/AAAA] [--dossier DOSSIER] [-q] JOURNAL
  vek-extraire --analyse JOURNAL

Extrait d'un journal de discussion de Q7R les conversations d'une période, sans fenêtre, par
les mêmes procédures que le programme « Extracteur de LOG VEK ». Les lignes datées de la
période sont copiées dans LogVEKtemp.txt, puis les lignes des channels et des locuteurs cochés
sont écrites dans LogFinal.txt (ou, avec --format, dans une page web ou des lignes JSON), dont
le chemin est imprimé sur la sortie standard.

Période :
  --debut JJ/MM/AAAA   premier jour de la période, inclus ; par défaut, la date de la
                       première ligne du journal.
  --fin JJ/MM/AAAA     dernier jour de la période, inclus ; par défaut, la date de la
                       dernière ligne du journal.

Que faire :
  --catalogue          écrit seulement LogVEKtemp.txt et imprime les nœuds des deux arbres,
                       un par ligne : « canal<TAB>texte » pour chaque channel (« Zone de
                       proximité » en premier), puis « nom<TAB>texte » pour chaque locuteur ;
                       dans un texte, une tabulation s'écrit \t et une barre oblique
                       inverse \\.
  --analyse            imprime le résumé de l'analyse du journal (date de la première et de
                       la dernière ligne, nombre de lignes) et s'arrête.
  (sans l'un ni l'autre, écrit LogFinal.txt)

Ce qui est coché :
  --channel TEXTE      coche le channel TEXTE, par exemple « [Commerce] » ou « Zone de
                       proximité » ; la casse et les crochets peuvent être omis. Répétable.
  --nom TEXTE          coche le locuteur TEXTE, écrit exactement (« Aldric » et « aldric »
                       sont deux locuteurs) ; les espaces de tête de « Vous (ce que vous
                       avez dit) » et « Vos Whisps reçus » peuvent être omis. Répétable.
  --tous-channels      coche tous les channels, « Zone de proximité » comprise.
  --tout-le-monde      coche tous les locuteurs.

Modes d'extraction :
  --sans-date          retire la date et l'heure de chaque ligne (Mode Unless Date).
  --rp                 retire les guillemets autour des noms (Mode RP Name).
  --sans-channel       retire le tag du channel (Mode Unless Channel).

Formats de sortie :
  --format FORMAT      ce qu'écrit la passe, avec les mêmes lignes et les mêmes modes ; répétable
                       pour écrire plusieurs formats en une seule passe (par défaut : texte) :
                         texte  LogFinal.txt, en Windows-1252 ;
                         html   LogFinal.html, une page web en UTF-8 qui se suffit à elle-même
                                (styles compris, sans script) : un titre par jour, l'heure, le
                                channel en badge de couleur, chaque nom dans sa propre couleur ;
                         json   LogFinal.jsonl, un objet JSON par ligne retenue, en UTF-8 :
                                date (AAAA-MM-JJ, ou null), heure, genre (channel, proximite,
                                dit, murmure, appel ou autre), channel, nom, texte (le message
                                après les modes) et ligne (la ligne de LogFinal.txt) ; date,
                                heure, channel et nom sont ceux du journal, quels que soient
                                les modes.
                       Dans les deux derniers, les cinq octets que Windows-1252 laisse sans
                       caractère deviennent U+FFFD.

Autres options :
  --dossier DOSSIER    dossier où écrire LogVEKtemp.txt et les sorties ; par défaut, le
                       dossier du programme.
  --ouvrir             ouvre chaque sortie avec le visualiseur par défaut une fois écrite.
  -q, --silencieux     n'affiche ni la barre de progression ni les remarques.
  -h, --help           affiche cette aide.
  --version            affiche la version.

Les textes sont en UTF-8 ; ceux de --channel et --nom doivent exister en Windows-1252, la page
de code du journal. Un channel ou un locuteur absent de la période est une erreur : les textes
les plus proches sont alors proposés.

Un seul programme à la fois écrit dans un dossier de sortie : un second refuse aussitôt (code 1)
sans rien toucher. Chaque sortie n'est remplacée qu'une fois complète. Ctrl+C (ou SIGTERM)
arrête la passe proprement : les fichiers temporaires sont supprimés et les anciennes sorties
sont gardées.

Codes de sortie : 0 succès ; 1 journal illisible ou tronqué pendant la lecture, fichier
impossible à écrire, mémoire insuffisante ou dossier de sortie occupé ; 2 erreur d'utilisation
(option inconnue, argument manquant, date invalide, format inconnu, nœud introuvable) ; 130 ou 143 arrêt par
SIGINT ou SIGTERM.
)";
}

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
