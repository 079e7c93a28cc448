// La table des options de vek-extraire, et où chacune range sa valeur.

#include "Options.h"

#include <algorithm>

#include "Messages.h"
#include "OptionsFormats.h"
#include "OptionsFusion.h"
#include "OptionsNettoyage.h"
#include "OptionsRecherche.h"
#include "SessionsConsole.h"

namespace vek {

namespace {

// --- où vont les valeurs ---

// Une option sans valeur allume un drapeau, désigné par son chemin dans les arguments :
// Allumer<&Arguments::ecriture, &DemandeEcriture::modes, &Modes::ModeRPName> allume
// a.ecriture.modes.ModeRPName.
template <auto... Chemin> Resultat Allumer(Arguments& a, std::string) {
    (a.*....*Chemin) = true;
    return Resultat::Succes();
}
template <auto Champ> Resultat Garder(Arguments& a, std::string valeur) {
    a.*Champ = std::move(valeur);
    return Resultat::Succes();
}
// Une option répétable : chaque valeur s'ajoute à la liste.
template <auto Champ> Resultat Ajouter(Arguments& a, std::string valeur) {
    (a.*Champ).push_back(std::move(valeur));
    return Resultat::Succes();
}
template <Tache T> Resultat Choisir(Arguments& a, std::string) {
    a.tache = T;
    return Resultat::Succes();
}

Resultat RangerPause(Arguments& a, std::string v) {
    if (const auto minutes = LirePause(v)) {
        a.pause = *minutes;
        return Resultat::Succes();
    }
    return ErreurUtilisation(Guillemets(v) + " n'est pas une durée pour --pause (un nombre entier "
                                             "de minutes, de 1 à 100000).");
}

Resultat RangerRenommer(Arguments& a, std::string v) {
    return RangerRenommage(v, a.ecriture.nettoyage);
}

// Les options de la période servent à l'extraction, au catalogue et à la recherche de mots ;
// --pause aussi aux séances. Le dossier de sortie, aux deux passes qui y écrivent.
constexpr Taches AvecDossier = Tache::Extraction | Tache::Catalogue;
constexpr Taches AvecPeriode = AvecDossier | Tache::Chercher;
constexpr Taches PourLesSeances = AvecPeriode | Tache::Sessions;

using R = Rubrique;
using T = Tache;

// La table : une ligne par option, dans l'ordre de l'aide.
const Option Table[] = {
    // --- la période ---
    {.noms = "--debut",
     .valeur = "DATE",
     .attendu = "une date JJ/MM/AAAA [hh:mm[:ss]]",
     .ranger = Garder<&Arguments::debut>,
     .taches = AvecPeriode,
     .rubrique = R::Periode,
     .aide = "début de la période, inclus ; par défaut, le jour de la première ligne\n"
             "du journal."},
    {.noms = "--fin",
     .valeur = "DATE",
     .attendu = "une date JJ/MM/AAAA [hh:mm[:ss]]",
     .ranger = Garder<&Arguments::fin>,
     .taches = AvecPeriode,
     .rubrique = R::Periode,
     .aide = "fin de la période, incluse ; par défaut, le jour de la dernière ligne\n"
             "du journal.\n"
             "DATE s'écrit JJ/MM/AAAA, « JJ/MM/AAAA hh:mm » ou « JJ/MM/AAAA hh:mm:ss »\n"
             "(entre guillemets : l'heure suit une espace). Chaque borne est comprise\n"
             "à la précision écrite : --fin \"24/12/2001 23:40\" garde 23:40:59.\n"
             "L'heure d'une ligne est lue aux positions 11 à 22, quels que soient les\n"
             "séparateurs (« 21:04:05 - », « [21:04:05] »). Une ligne datée dont\n"
             "l'heure ne se lit pas est gardée si son jour est strictement dans la\n"
             "période ; le jour d'une borne, elle compte pour minuit."},
    {.noms = "--session",
     .valeur = "N",
     .attendu = "un numéro de séance ou « derniere »",
     .ranger = Garder<&Arguments::session>,
     .taches = AvecPeriode,
     .rubrique = R::Periode,
     .aide = "la période d'une séance de jeu (voir --sessions), à la minute : son\n"
             "numéro, ou « derniere » pour la plus récente. Sans --debut ni --fin."},
    {.noms = "--pause",
     .valeur = "MINUTES",
     .attendu = "une durée en minutes",
     .ranger = RangerPause,
     .taches = PourLesSeances,
     .rubrique = R::Periode,
     .aide = "la pause qui sépare deux séances (défaut 30 minutes), avec --sessions,\n"
             "--session ou --chercher."},

    // --- la tâche ---
    {.noms = "--catalogue",
     .ranger = Choisir<T::Catalogue>,
     .taches = T::Catalogue,
     .choisit = T::Catalogue,
     .refus = "l'option {} ne sert qu'à l'écriture de LogFinal.txt, pas avec --catalogue.",
     .refusNomme = true,
     .rubrique = R::QueFaire,
     .aide = "écrit seulement LogVEKtemp.txt et imprime les nœuds des deux arbres,\n"
             "un par ligne : « canal<TAB>texte » pour chaque channel (« Zone de\n"
             "proximité » en premier), puis « nom<TAB>texte » pour chaque locuteur ;\n"
             "dans un texte, une tabulation s'écrit \\t, une barre oblique\n"
             "inverse \\\\ et un autre caractère de contrôle \\xHH (son symbole,\n"
             "␛ par exemple, sur un terminal)."},
    {.noms = "--analyse",
     .ranger = Choisir<T::Analyse>,
     .taches = T::Analyse,
     .choisit = T::Analyse,
     .refus = "--analyse ne prend pas d'autre option que le journal (et -q).",
     .rubrique = R::QueFaire,
     .aide = "imprime le résumé de l'analyse du journal (date de la première et de\n"
             "la dernière ligne, nombre de lignes) et s'arrête."},
    {.noms = "--sessions",
     .ranger = Choisir<T::Sessions>,
     .taches = T::Sessions,
     .choisit = T::Sessions,
     .refus = "--sessions ne prend pas d'autre option que le journal, --pause et -q.",
     .rubrique = R::QueFaire,
     .aide = "imprime les séances de jeu du journal, de la plus ancienne à la plus\n"
             "récente : des suites de lignes datées sans pause de plus de 30 minutes\n"
             "(une pause d'exactement 30 minutes ne les coupe pas). Une ligne par\n"
             "séance, champs séparés par des tabulations : numéro, début, fin, nombre\n"
             "de lignes, puis les trois locuteurs les plus actifs, échappés comme avec\n"
             "--catalogue."},

    // --- la recherche de mots ---
    {.noms = "--chercher",
     .valeur = "REQUÊTE",
     .attendu = "une requête (des mots, \"une phrase\", -mot, de:NOM, channel:TAG)",
     .ranger = RangerChercher,
     .taches = T::Chercher,
     .choisit = T::Chercher,
     .refus = "l'option {} ne sert pas avec --chercher.",
     .refusNomme = true,
     .rubrique = R::Chercher,
     .aide = "imprime chaque ligne du journal qui correspond à REQUÊTE, dans\n"
             "l'ordre du journal : « JJ/MM/AAAA hh:mm:ss  [Channel] Nom : message\n"
             "— séance N », les mots trouvés en gras sur un terminal ; puis une ligne\n"
             "par séance où il y en a : « Séance 12 — 24/12/2001 21:04 → 23:40 :\n"
             "5 résultats ». Tout le journal, ou la période de --debut, --fin ou\n"
             "--session ; les séances sont celles de --sessions (et de --pause).\n"
             "Code 0 si une ligne est trouvée, 3 sinon."},
    {.noms = "--json",
     .ranger = Allumer<&Arguments::json>,
     .taches = T::Chercher,
     .rubrique = R::Chercher,
     .aide = "avec --chercher : un objet JSON par ligne trouvée, une ligne chacun,\n"
             "sans le résumé des séances : date (AAAA-MM-JJ), heure (ou null),\n"
             "genre, channel (null sans channel), nom, texte (le message), ligne\n"
             "(la ligne du journal, en UTF-8), numero (son numéro de ligne dans son\n"
             "journal, depuis 1), seance (son numéro de --sessions, null sans heure\n"
             "lisible) ; avec plusieurs journaux, source (le nom du fichier du\n"
             "journal d'où vient la ligne)."},
    {.noms = "--filtre",
     .valeur = "REQUÊTE",
     .attendu = "une requête (des mots, \"une phrase\", -mot, de:NOM, channel:TAG)",
     .ranger = RangerFiltre,
     .rubrique = R::Chercher,
     .aide = "n'écrit, dans LogFinal.txt et chaque format, que les lignes retenues\n"
             "qui correspondent aussi à REQUÊTE (--suivre n'imprime qu'elles) : par\n"
             "exemple, avec --tous-channels --tout-le-monde sur six mois, toutes les\n"
             "lignes qui parlent du dragon."},

    // --- ce qui est coché ---
    {.noms = "--channel",
     .valeur = "TEXTE",
     .attendu = "le texte d'un channel",
     .ranger = Ajouter<&Arguments::channels>,
     .rubrique = R::Coches,
     .aide = "coche le channel TEXTE, par exemple « [Commerce] » ou « Zone de\n"
             "proximité » ; la casse et les crochets peuvent être omis. Répétable."},
    {.noms = "--nom",
     .valeur = "TEXTE",
     .attendu = "le nom d'un locuteur",
     .ranger = Ajouter<&Arguments::noms>,
     .rubrique = R::Coches,
     .aide = "coche le locuteur TEXTE, écrit exactement (« Aldric » et « aldric »\n"
             "sont deux locuteurs) ; les espaces de tête de « Vous (ce que vous\n"
             "avez dit) » et « Vos Whisps reçus » peuvent être omis. Répétable."},
    {.noms = "--tous-channels",
     .ranger = Allumer<&Arguments::tousChannels>,
     .rubrique = R::Coches,
     .aide = "coche tous les channels, « Zone de proximité » comprise."},
    {.noms = "--tout-le-monde",
     .ranger = Allumer<&Arguments::toutLeMonde>,
     .rubrique = R::Coches,
     .aide = "coche tous les locuteurs."},

    // --- les modes d'extraction ---
    {.noms = "--sans-date",
     .ranger = Allumer<&Arguments::ecriture, &DemandeEcriture::modes, &Modes::ModeUnlessDate>,
     .rubrique = R::Modes,
     .aide = "retire la date et l'heure de chaque ligne (Mode Unless Date)."},
    {.noms = "--rp",
     .ranger = Allumer<&Arguments::ecriture, &DemandeEcriture::modes, &Modes::ModeRPName>,
     .rubrique = R::Modes,
     .aide = "retire les guillemets autour des noms (Mode RP Name)."},
    {.noms = "--sans-channel",
     .ranger = Allumer<&Arguments::ecriture, &DemandeEcriture::modes, &Modes::ModeUnlessChannel>,
     .rubrique = R::Modes,
     .aide = "retire le tag du channel (Mode Unless Channel)."},

    // --- le nettoyage role-play ---
    {.noms = "--sans-hrp",
     .ranger =
         Allumer<&Arguments::ecriture, &DemandeEcriture::nettoyage, &ReglagesNettoyage::sansHrp>,
     .rubrique = R::Nettoyage,
     .aide = "retire le texte hors role-play (HRP) des messages ; seul le message est\n"
             "lu, jamais le tag ni le nom :\n"
             "- une ligne dont le message est tout entier HRP disparaît : rogné, il\n"
             "  s'ouvre par (( et se ferme par le )) qui lui répond, ou il commence,\n"
             "  casse ignorée, par HRP, [HRP] ou (HRP) suivi d'une espace, de « : »,\n"
             "  de « - » ou de la fin (« HRPG » n'en est pas un) ;\n"
             "- dans un autre message, chaque ((…)) est retiré, les espaces autour\n"
             "  réduites à une ; les parenthèses imbriquées en font partie\n"
             "  (« ((a (b) c)) » est une seule partie) ; un (( jamais fermé retire\n"
             "  la fin du message ; s'il ne reste que des espaces, la ligne disparaît.\n"
             "Par exemple « ((brb)) » et « HRP : on reprend demain ? » disparaissent,\n"
             "« Salut ((lag)) à tous » devient « Salut à tous », et « ((brb)) *Il\n"
             "sourit.* ((phone)) » devient « *Il sourit.* ». En JSON,\n"
             "« hrp_retire »: true marque une ligne dont du texte a été retiré."},
    {.noms = "--renommer",
     .valeur = "A=N",
     .attendu = "ANCIEN=NOUVEAU",
     .ranger = RangerRenommer,
     .rubrique = R::Nettoyage,
     .aide = "remplace le locuteur A par N sur chaque ligne retenue, et A partout où\n"
             "il forme un mot entier dans les messages (lettres et chiffres, accents\n"
             "compris, bornent un mot : « Aldric » n'est pas touché dans\n"
             "« Aldricson »). Répétable ; deux anciens noms peuvent donner le même\n"
             "nouveau (un second personnage et le principal). Le catalogue et les\n"
             "nœuds cochés restent ceux des anciens noms."},
    {.noms = "--anonymiser",
     .ranger =
         Allumer<&Arguments::ecriture, &DemandeEcriture::nettoyage, &ReglagesNettoyage::anonymiser>,
     .rubrique = R::Nettoyage,
     .aide = "remplace chaque autre locuteur par « Personne 1 », « Personne 2 »…,\n"
             "dans l'ordre de première apparition dans l'extrait, à sa place de\n"
             "locuteur et en mot entier dans les messages, dans chaque sortie (les\n"
             "personnes et les filtres de la page compris). Ni les lignes du joueur\n"
             "(« Vous avez dit », murmures reçus d'un inconnu de l'extrait), ni les\n"
             "noms de --renommer ne sont anonymisés ; les tags des channels restent."},

    // --- les formats de sortie ---
    {.noms = "--format",
     .valeur = "FORMAT",
     .attendu = AttenduFormat(),
     .ranger = RangerFormat,
     .rubrique = R::Formats,
     .aide = "ce qu'écrit la passe, avec les mêmes lignes et les mêmes modes ; répétable\n"
             "pour écrire plusieurs formats en une seule passe (par défaut : texte) :",
     .suite = AideDesFormats},
    {.noms = "--taille-message",
     .valeur = "N",
     .attendu = "un nombre de caractères",
     .ranger = RangerTailleMessage,
     .rubrique = R::Formats,
     .aide = "la taille d'un message, en caractères, pour discord (2000 par\n"
             "défaut ; 4000 pour un compte Nitro) et pour forum (qui n'est\n"
             "pas découpé sans elle) : l'extrait est coupé en parties d'au\n"
             "plus N caractères, chacune ouverte par « Partie N/M »."},
    {.noms = "--decouper",
     .valeur = "jour|mois",
     .attendu = "jour ou mois",
     .ranger = RangerDecoupage,
     .rubrique = R::Formats,
     .aide = "avec --format html : au lieu de LogFinal.html, le dossier\n"
             "LogFinal (une page par jour ou par mois, continuée au-delà\n"
             "de 5000 entrées, et le sommaire index.html), remplacé en\n"
             "entier une fois complet."},

    // --- plusieurs journaux ---
    {.noms = "--decalage",
     .valeur = "FICHIER=±S",
     .attendu = "FICHIER=±SECONDES ou FICHIER=±hh:mm:ss",
     .ranger = RangerDecalage,
     .taches = Taches::Toutes(),
     .rubrique = R::Journaux,
     .aide = "l'avance de l'horloge du journal FICHIER sur celle du premier,\n"
             "au lieu de celle que la fusion trouve (+3607, -12, +1:00:07).\n"
             "Répétable, un journal par fois."},
    {.noms = "--joueur",
     .valeur = "FICHIER=NOM",
     .attendu = "FICHIER=NOM",
     .ranger = RangerJoueur,
     .taches = Taches::Toutes(),
     .rubrique = R::Journaux,
     .aide = "le personnage du joueur du journal FICHIER, au lieu de celui que\n"
             "la fusion trouve (le locuteur dont les autres journaux répètent\n"
             "les « Vous avez dit »). Répétable."},

    // --- le reste ---
    {.noms = "--dossier",
     .valeur = "DOSSIER",
     .attendu = "un dossier",
     .ranger = Garder<&Arguments::dossier>,
     .taches = AvecDossier,
     .rubrique = R::Autres,
     .aide = "dossier où écrire LogVEKtemp.txt et les sorties ; par défaut, le\n"
             "dossier du programme."},
    {.noms = "--ouvrir",
     .ranger = Allumer<&Arguments::ouvrir>,
     .rubrique = R::Autres,
     .aide = "ouvre chaque sortie avec le visualiseur par défaut une fois écrite."},
    {.noms = "--suivre",
     .ranger = Allumer<&Arguments::suivre>,
     .rubrique = R::Autres,
     .aide = "après la recherche, imprime à mesure les lignes retenues que le jeu\n"
             "ajoute au journal, réécrites selon les modes et nettoyées, jusqu'à\n"
             "Ctrl+C ; écrit alors les sorties demandées, de tout ce qui a été lu\n"
             "(code 0)."},
    {.noms = "-q, --silencieux",
     .ranger = Allumer<&Arguments::silencieux>,
     .taches = Taches::Toutes(),
     .rubrique = R::Autres,
     .aide = "n'affiche ni la barre de progression ni les remarques."},
    {.noms = "-h, --help, --aide",
     .ranger = Allumer<&Arguments::aide>,
     .taches = Taches::Toutes(),
     .rubrique = R::Autres,
     .aide = "affiche cette aide."},
    {.noms = "--version",
     .ranger = Allumer<&Arguments::version>,
     .taches = Taches::Toutes(),
     .rubrique = R::Autres,
     .aide = "affiche la version."},
};

} // namespace

std::span<const Option> TableDesOptions() {
    return Table;
}

std::vector<std::string_view> NomsDe(const Option& option) {
    std::vector<std::string_view> noms;
    for (std::string_view reste = option.noms; !reste.empty();) {
        const std::size_t virgule = std::min(reste.find(", "), reste.size());
        noms.push_back(reste.substr(0, virgule));
        reste.remove_prefix(std::min(reste.size(), virgule + 2));
    }
    return noms;
}

const Option* TrouverOption(std::string_view nom) {
    for (const Option& o : TableDesOptions()) {
        const auto noms = NomsDe(o);
        if (std::find(noms.begin(), noms.end(), nom) != noms.end())
            return &o;
    }
    return nullptr;
}

const Option* OptionDeLaTache(Tache tache) {
    for (const Option& o : TableDesOptions())
        if (o.choisit == tache)
            return &o;
    return nullptr;
}

std::optional<std::pair<std::string, std::string>> CouperPaire(std::string_view valeur) {
    const auto egal = valeur.find('=');
    if (egal == std::string_view::npos)
        return std::nullopt;
    return std::pair{std::string(valeur.substr(0, egal)), std::string(valeur.substr(egal + 1))};
}

} // namespace vek
