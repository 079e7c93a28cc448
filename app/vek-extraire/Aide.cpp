// Le texte de --help et de --version.

#include "Extraire.h"

#include "Formats.h"
#include "OptionsNettoyage.h"
#include "VersionVEK.h"

#include <algorithm>

namespace vek {

std::string TexteVersion() {
    return "vek-extraire " VEK_VERSION_AFFICHEE;
}

namespace {

// La partie de l'aide qui décrit les formats, tirée de la table des formats.
std::string AideFormats() {
    std::string s = "Formats de sortie :\n"
                    "  --format FORMAT      ce qu'écrit la passe, avec les mêmes lignes et les "
                    "mêmes modes ; répétable\n"
                    "                       pour écrire plusieurs formats en une seule passe (par "
                    "défaut : texte) :\n";
    for (const Format& f : TableDesFormats()) {
        std::string nom(f.nom);
        nom.resize(std::max<std::size_t>(nom.size() + 1, 8), ' ');
        s += "                         " + nom + std::string(f.fichier) + "\n";
        for (std::string_view d = f.description; !d.empty();) {
            const std::size_t fin = std::min(d.find('\n'), d.size());
            s += "                                 " + std::string(d.substr(0, fin)) + "\n";
            d.remove_prefix(std::min(d.size(), fin + 1));
        }
    }
    s += "                       Hors du texte, les cinq octets que Windows-1252 laisse sans\n"
         "                       caractère deviennent U+FFFD.\n"
         "  --taille-message N   la taille d'un message, en caractères, pour discord (2000 par\n"
         "                       défaut ; 4000 pour un compte Nitro) et pour forum (qui n'est\n"
         "                       pas découpé sans elle) : l'extrait est coupé en parties d'au\n"
         "                       plus N caractères, chacune ouverte par « Partie N/M ».\n"
         "  --decouper jour|mois avec --format html : au lieu de LogFinal.html, le dossier\n"
         "                       LogFinal (une page par jour ou par mois, continuée au-delà\n"
         "                       de 5000 entrées, et le sommaire index.html), remplacé en\n"
         "                       entier une fois complet.\n\n";
    return s;
}

} // namespace

std::string TexteAide() {
    return R"(Utilisation :
  vek-extraire [OPTIONS] JOURNAL
  vek-extraire --catalogue [--debut JJ/MM/AAAA] [--fin JJ/MM/AAAA] [--dossier DOSSIER] [-q] JOURNAL
  vek-extraire --analyse JOURNAL
  vek-extraire --sessions [--pause MINUTES] JOURNAL

Extrait d'un journal de discussion de Q7R les conversations d'une période, sans fenêtre, par
les mêmes procédures que le programme « Extracteur de LOG VEK ». Les lignes datées de la
période sont copiées dans LogVEKtemp.txt, puis les lignes des channels et des locuteurs cochés
sont écrites dans LogFinal.txt (ou, avec --format, dans une page web, des lignes JSON, un
extrait pour un forum ou pour Discord), dont le chemin est imprimé sur la sortie standard.

Période :
  --debut DATE         début de la période, inclus ; par défaut, le jour de la première ligne
                       du journal.
  --fin DATE           fin de la période, incluse ; par défaut, le jour de la dernière ligne
                       du journal.
                       DATE s'écrit JJ/MM/AAAA, « JJ/MM/AAAA hh:mm » ou « JJ/MM/AAAA hh:mm:ss »
                       (entre guillemets : l'heure suit une espace). Chaque borne est comprise
                       à la précision écrite : --fin "24/12/2001 23:40" garde 23:40:59.
                       L'heure d'une ligne est lue aux positions 11 à 22, quels que soient les
                       séparateurs (« 21:04:05 - », « [21:04:05] »). Une ligne datée dont
                       l'heure ne se lit pas est gardée si son jour est strictement dans la
                       période ; le jour d'une borne, elle compte pour minuit.
  --session N          la période d'une séance de jeu (voir --sessions), à la minute : son
                       numéro, ou « derniere » pour la plus récente. Sans --debut ni --fin.
  --pause MINUTES      la pause qui sépare deux séances (défaut 30 minutes), avec --sessions
                       ou --session.

Que faire :
  --catalogue          écrit seulement LogVEKtemp.txt et imprime les nœuds des deux arbres,
                       un par ligne : « canal<TAB>texte » pour chaque channel (« Zone de
                       proximité » en premier), puis « nom<TAB>texte » pour chaque locuteur ;
                       dans un texte, une tabulation s'écrit \t, une barre oblique
                       inverse \\ et un autre caractère de contrôle \xHH (son symbole,
                       ␛ par exemple, sur un terminal).
  --analyse            imprime le résumé de l'analyse du journal (date de la première et de
                       la dernière ligne, nombre de lignes) et s'arrête.
  --sessions           imprime les séances de jeu du journal, de la plus ancienne à la plus
                       récente : des suites de lignes datées sans pause de plus de 30 minutes
                       (une pause d'exactement 30 minutes ne les coupe pas). Une ligne par
                       séance, champs séparés par des tabulations : numéro, début, fin, nombre
                       de lignes, puis les trois locuteurs les plus actifs, échappés comme avec
                       --catalogue.
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

)" + AideNettoyage() +
           AideFormats() +
           R"(Autres options :
  --dossier DOSSIER    dossier où écrire LogVEKtemp.txt et les sorties ; par défaut, le
                       dossier du programme.
  --ouvrir             ouvre chaque sortie avec le visualiseur par défaut une fois écrite.
  --suivre             après la recherche, imprime à mesure les lignes retenues que le jeu
                       ajoute au journal, réécrites selon les modes et nettoyées, jusqu'à
                       Ctrl+C ; écrit alors les sorties demandées, de tout ce qui a été lu
                       (code 0).
  -q, --silencieux     n'affiche ni la barre de progression ni les remarques.
  -h, --help           affiche cette aide.
  --version            affiche la version.

Les textes sont en UTF-8 ; ceux de --channel et --nom doivent exister en Windows-1252, la page
de code du journal. Un channel ou un locuteur absent de la période est une erreur : les textes
les plus proches sont alors proposés.

Un seul programme à la fois écrit dans un dossier de sortie : un second refuse aussitôt (code 1)
sans rien toucher. Les sorties ne sont remplacées qu'une fois toutes complètes, et ensemble :
un échec laisse toutes les anciennes. Un programme tué entre deux remplacements est réparé par
l'exécution suivante dans ce dossier, ou dans une copie du dossier, qui le dit ; si des sorties
ont été modifiées depuis, elle ne touche à rien et dit où est chaque fichier. Ctrl+C (ou
SIGTERM, ou SIGHUP) arrête la passe proprement : les fichiers temporaires sont supprimés et les
anciennes sorties sont gardées.

Codes de sortie : 0 succès ; 1 journal vide, illisible ou tronqué pendant la lecture, fichier
impossible à écrire, mémoire insuffisante ou dossier de sortie occupé ; 2 erreur d'utilisation
(option inconnue, argument manquant, date invalide, séance inconnue, format inconnu, taille de
message invalide, nœud introuvable) ; 129, 130 ou 143 arrêt par SIGHUP, SIGINT ou SIGTERM.
)";
}

} // namespace vek
