// Le texte de --help, tiré de la table des options, et celui de --version.

#include "Extraire.h"

#include "Options.h"
#include "VersionVEK.h"

#include <algorithm>

namespace vek {

std::string TexteVersion() {
    return "vek-extraire " VEK_VERSION_AFFICHEE;
}

namespace {

// Ce qui précède les options : comment appeler le programme, ce qu'il fait.
constexpr std::string_view Introduction = R"(Utilisation :
  vek-extraire [OPTIONS] JOURNAL [JOURNAL…]
  vek-extraire --catalogue [--debut JJ/MM/AAAA] [--fin JJ/MM/AAAA] [--dossier DOSSIER] [-q] JOURNAL
  vek-extraire --analyse JOURNAL
  vek-extraire --sessions [--pause MINUTES] JOURNAL
  vek-extraire --chercher REQUÊTE [--debut DATE] [--fin DATE] [--json] JOURNAL [JOURNAL…]

Extrait d'un journal de discussion de Q7R les conversations d'une période, sans fenêtre, par
les mêmes procédures que le programme « Extracteur de LOG VEK ». Les lignes datées de la
période sont copiées dans LogVEKtemp.txt, puis les lignes des channels et des locuteurs cochés
sont écrites dans LogFinal.txt (ou, avec --format, dans une page web, des lignes JSON, un
extrait pour un forum ou pour Discord), dont le chemin est imprimé sur la sortie standard.

)";

// Le titre de chaque rubrique, et ce qui la suit.
struct TexteRubrique {
    std::string_view titre;
    std::string_view apres = {};
};
constexpr TexteRubrique Rubriques[] = {
    {"Période :"},
    {"Que faire :", "  (sans aucune de ces options ni --chercher, écrit LogFinal.txt)\n"},
    {"Chercher des mots :",
     "  Une REQUÊTE (entre guillemets pour l'interpréteur de commandes) :\n"
     "    mariee dragon     chaque mot, dans n'importe quel ordre, au début d'un mot\n"
     "                      du message (« mari » trouve « Mariée », pas « démariage ») ;\n"
     "    \"le château\"      ces mots à la suite, dans cet ordre ;\n"
     "    -mot, -\"phrase\"   écarte les lignes qui les contiennent ;\n"
     "    de:NOM            le locuteur (de:Vous : ce que vous avez dit) ;\n"
     "    channel:TAG       le channel, sans ses crochets, casse ignorée.\n"
     "  Casse et accents sont ignorés (é è ê ë → e, à â → a, ç → c, œ → oe, æ → ae).\n"
     "  Seul le message est cherché, jamais la date, le tag ou le nom, sauf par de:\n"
     "  et channel:. Une requête mal formée (guillemet jamais fermé, « - » seul, rien\n"
     "  que des exclusions) est refusée, code 2, avec ce qu'il faut corriger.\n"},
    {"Plusieurs journaux (ceux des personnages d'une même scène, ou de plusieurs joueurs) :",
     "  Chaque passe lit alors leur fusion : les lignes de tous, dans l'ordre du temps du\n"
     "  premier journal (la référence : son horloge et son joueur, « Vous », sont ceux des\n"
     "  sorties), chaque message une fois (même genre, même tag à la casse près, même\n"
     "  locuteur, même message, à deux secondes près). Ce que le joueur d'un autre journal a\n"
     "  dit s'écrit {Nom}\":\"… ; ses lignes privées (murmures reçus, messages du jeu) sont\n"
     "  laissées de côté. L'avance de chaque horloge et chaque joueur sont trouvés, et dits.\n"},
    {"Ce qui est coché :"},
    {"Modes d'extraction :"},
    {"Nettoyage role-play (éteint par défaut ; il vaut pour chaque format) :"},
    {"Formats de sortie :"},
    {"Autres options :"},
};

// Ce qui suit les options : les textes, les sorties, les codes de sortie.
constexpr std::string_view Conclusion =
    R"(Les textes sont en UTF-8 ; ceux de --channel et --nom doivent exister en Windows-1252, la page
de code du journal. Un channel ou un locuteur absent de la période est une erreur : les textes
les plus proches sont alors proposés.

Un seul programme à la fois écrit dans un dossier de sortie : un second refuse aussitôt (code 1)
sans rien toucher. Les sorties ne sont remplacées qu'une fois toutes complètes, et ensemble :
un échec laisse toutes les anciennes. Un programme tué entre deux remplacements est réparé par
l'exécution suivante dans ce dossier, ou dans une copie du dossier, qui le dit ; si des sorties
ont été modifiées depuis, elle ne touche à rien et dit où est chaque fichier. Ctrl+C (ou
SIGTERM, ou SIGHUP) arrête la passe proprement : les fichiers temporaires sont supprimés et les
anciennes sorties sont gardées.

Codes de sortie : 0 succès (avec --chercher : au moins une ligne trouvée) ; 1 journal vide,
illisible ou tronqué pendant la lecture, fichier impossible à écrire, mémoire insuffisante ou
dossier de sortie occupé ; 2 erreur d'utilisation (option inconnue, argument manquant, date
invalide, séance inconnue, format inconnu, taille de message invalide, nœud introuvable, requête
mal formée) ; 3 --chercher a lu tout le journal sans rien trouver (ni 1 ni 2 : rien trouvé n'est
pas un échec) ; 129, 130 ou 143 arrêt par SIGHUP, SIGINT ou SIGTERM.
)";

// Les lignes d'aide d'une option : ses noms et sa valeur, puis son texte, aligné.
std::string AideOption(const Option& o) {
    constexpr std::size_t Retrait = 23;
    std::string tete = "  " + std::string(o.noms);
    if (!o.valeur.empty())
        tete += " " + std::string(o.valeur);
    // Alignée en caractères, pas en octets : « REQUÊTE » en a un de plus.
    const auto largeur =
        static_cast<std::size_t>(std::count_if(tete.begin(), tete.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    tete.append(largeur < Retrait ? Retrait - largeur : 1, ' ');
    std::string texte(o.aide);
    if (o.suite != nullptr)
        texte += "\n" + o.suite();
    std::string s;
    for (std::string_view reste = texte; !reste.empty();) {
        const std::size_t fin = std::min(reste.find('\n'), reste.size());
        s += (s.empty() ? tete : std::string(Retrait, ' ')) + std::string(reste.substr(0, fin));
        s += '\n';
        reste.remove_prefix(std::min(reste.size(), fin + 1));
    }
    return s;
}

} // namespace

std::string TexteAide() {
    std::string s(Introduction);
    const auto options = TableDesOptions();
    for (std::size_t r = 0; r < std::size(Rubriques); ++r) {
        s += std::string(Rubriques[r].titre) + "\n";
        for (const Option& o : options)
            if (static_cast<std::size_t>(o.rubrique) == r)
                s += AideOption(o);
        s += std::string(Rubriques[r].apres) + "\n";
    }
    return s + std::string(Conclusion);
}

} // namespace vek
