#!/usr/bin/env bash
# Mesures de vitesse et de mémoire de vek-extraire sur un grand journal fabriqué.
#
# Construit vek-extraire et vek-generer en preset release, fabrique au besoin le journal dans
# bench/donnees/ (ignoré par git ; ~900 Mo pour 12 millions de lignes), puis chronomètre côte à
# côte, fichier en cache, la meilleure de plusieurs mesures :
#   wc -l ; vek-extraire --catalogue ; le même filtre de dates écrit en awk ; l'extraction
#   complète (tout coché, les trois modes) ; tout coché sans mode, en LogFinal.txt, en page web
#   (--format html), en lignes JSON (--format json), pour un forum (--format forum), pour Discord
#   (--format discord), puis les cinq en une passe ; nettoyé (--sans-hrp --anonymiser), en
#   LogFinal.txt puis les cinq formats ; vek-extraire --analyse (qui trouve aussi les séances de
#   jeu) et --sessions ; une recherche d'une soirée à la minute contre celle de son jour entier
#   (la première ne doit pas lire plus que la seconde).
# Imprime les temps, leurs rapports à wc -l et la mémoire de pointe (/usr/bin/time -v). Le temps
# d'écriture d'une sortie est celui de l'extraction moins celui de --catalogue (la même
# recherche, sans écriture) ; rapporté aux octets écrits, chaque format vise 1,5 fois au plus le
# coût par octet de LogFinal.txt.
#
# Variables d'environnement :
#   VEK_BENCH_LIGNES     lignes du journal (défaut 12000000 ; 200000 pour un essai rapide)
#   VEK_BENCH_LOCUTEURS  locuteurs distincts (défaut 3000)
#   VEK_BENCH_CHANNELS   channels (défaut 30)
#   VEK_BENCH_ESSAIS     mesures par commande, la meilleure est gardée (défaut 3)
#   VEK_BENCH_BUILD      dossier de construction à employer au lieu du preset release
#   VEK_BENCH_MEMOIRE_CHAUDE=1 (root) : sur une machine virtuelle qui rend à son hôte la mémoire
#                        libérée (page_reporting), suspend ce renvoi le temps des mesures et touche
#                        d'abord 8 Gio. Sans cela, chaque page d'un fichier écrit coûte un défaut
#                        chez l'hôte : les temps d'écriture grossissent au prorata des octets et
#                        varient d'une mesure à l'autre (ce que mesure alors l'hôte, pas le
#                        programme).
#
# Code de sortie : 0 si toutes les cibles sont tenues, 1 sinon (ou en cas d'échec).

set -euo pipefail

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lignes=${VEK_BENCH_LIGNES:-12000000}
locuteurs=${VEK_BENCH_LOCUTEURS:-3000}
channels=${VEK_BENCH_CHANNELS:-30}
essais=${VEK_BENCH_ESSAIS:-3}
debut=01/12/2001
fin=31/12/2001

if [[ ! -x /usr/bin/time ]]; then
    echo "bench.sh : /usr/bin/time manque (paquet Debian « time » : apt-get install time)." >&2
    exit 1
fi
awk_cmd=$(command -v mawk || command -v awk)
travail=$(mktemp -d "${TMPDIR:-/tmp}/vek-bench-XXXXXX")
renvoi=/sys/module/page_reporting/parameters/page_reporting_order
ordreRenvoi=""
retablir() {
    rm -rf "$travail"
    if [[ -n $ordreRenvoi ]]; then echo "$ordreRenvoi" >"$renvoi"; fi
}
trap retablir EXIT

# --- construction ---
if [[ -n ${VEK_BENCH_BUILD:-} ]]; then
    construction=$VEK_BENCH_BUILD
    cmake -S "$racine" -B "$construction" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVEK_WARNINGS_AS_ERRORS=ON -DVEK_BUILD_UI=OFF -DVEK_BUILD_TESTS=OFF >/dev/null ||
        { echo "bench.sh : la configuration a échoué." >&2; exit 1; }
else
    construction=$racine/build/release
    (cd "$racine" && cmake --preset release >/dev/null) ||
        { echo "bench.sh : la configuration a échoué." >&2; exit 1; }
fi
if ! cmake --build "$construction" --target vek-extraire vek-generer >"$travail/construction.txt" 2>&1; then
    cat "$travail/construction.txt" >&2
    echo "bench.sh : la construction a échoué." >&2
    exit 1
fi
extraire=$construction/app/vek-extraire
generer=$construction/bench/vek-generer

# --- le journal ---
donnees=$racine/bench/donnees
mkdir -p "$donnees"
journal=$donnees/journal-$lignes-$locuteurs-$channels.txt
if [[ ! -f $journal ]]; then
    echo "Fabrication de $journal ..."
    "$generer" --lignes "$lignes" --locuteurs "$locuteurs" --channels "$channels" \
        --graine 12 --debut "$debut" --fin "$fin" --sortie "$journal.partiel"
    mv "$journal.partiel" "$journal"
fi
taille=$(stat -c %s "$journal")

mkdir -p "$travail/catalogue" "$travail/complet" "$travail/texte" "$travail/html" "$travail/json"

cat "$journal" >/dev/null # en cache

# La mémoire de la machine virtuelle, gardée chaude sur demande (voir VEK_BENCH_MEMOIRE_CHAUDE).
memoireChaude=non
if [[ ${VEK_BENCH_MEMOIRE_CHAUDE:-0} == 1 && -w $renvoi ]]; then
    ordreRenvoi=$(cat "$renvoi")
    echo 11 >"$renvoi" # au-delà du plus grand ordre : plus rien n'est rendu à l'hôte
    dd if=/dev/zero of="$travail/chaud" bs=1M count=8192 status=none
    rm -f "$travail/chaud"
    memoireChaude=oui
fi

# mesurer NOM FICHIER_DE_SORTIE [--vider DOSSIER] COMMANDE... : meilleur temps (s) et mémoire de
# pointe (Kio). Le temps processeur (utilisateur + système) est noté à côté : sur une machine
# chargée, il dit ce que le temps écoulé ne dit plus. Avec --vider, le dossier de sortie est vidé
# avant chaque mesure, hors du temps mesuré : chacune écrit ses fichiers à neuf, au lieu que la
# première les crée et que les suivantes paient en plus la libération des anciens.
declare -A temps memoire processeur
mesurer() {
    local nom=$1 sortie=$2 vider=""
    shift 2
    if [[ $1 == --vider ]]; then
        vider=$2
        shift 2
    fi
    local meilleur="" pointe=0 cpu="" i t0 t1 ms kio c
    for ((i = 0; i < essais; i++)); do
        if [[ -n $vider ]]; then rm -f "$vider"/*; fi
        sync # les écritures de la mesure précédente ne pèsent pas sur celle-ci
        t0=$(date +%s%N)
        if ! /usr/bin/time -v -o "$travail/time.txt" "$@" >"$sortie" 2>"$travail/err.txt"; then
            echo "bench.sh : échec de « $nom » :" >&2
            cat "$travail/err.txt" >&2
            exit 1
        fi
        t1=$(date +%s%N)
        ms=$(((t1 - t0) / 1000000))
        if [[ -z $meilleur || $ms -lt $meilleur ]]; then meilleur=$ms; fi
        kio=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$travail/time.txt")
        if ((kio > pointe)); then pointe=$kio; fi
        c=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%d", s * 1000 }' \
            "$travail/time.txt")
        if [[ -z $cpu || $c -lt $cpu ]]; then cpu=$c; fi
    done
    temps[$nom]=$meilleur
    memoire[$nom]=$pointe
    processeur[$nom]=$cpu
}

filtre='substr($0, 3, 1) == "/" {
    d = substr($0, 7, 4) substr($0, 1, 2) substr($0, 4, 2)
    if (d >= "20011201" && d <= "20011231") print
}'

mesurer wc /dev/null wc -l "$journal"
mesurer catalogue /dev/null --vider "$travail/catalogue" \
    "$extraire" --catalogue -q --debut "$debut" --fin "$fin" \
    --dossier "$travail/catalogue" "$journal"
mesurer awk "$travail/awk.txt" "$awk_cmd" "$filtre" "$journal"
mesurer complet /dev/null --vider "$travail/complet" \
    "$extraire" --debut "$debut" --fin "$fin" --tous-channels \
    --tout-le-monde --sans-date --rp --sans-channel -q --dossier "$travail/complet" "$journal"
# Tout coché, sans mode : le texte, puis chacun des autres formats des mêmes lignes, puis les cinq
# en une passe. Chaque sortie est supprimée après sa mesure (plusieurs Go à eux tous).
declare -A taillesSortie
mkdir -p "$travail/forum" "$travail/discord" "$travail/tous"
for format in texte html json forum discord; do
    mesurer "$format" /dev/null --vider "$travail/$format" \
        "$extraire" --debut "$debut" --fin "$fin" --tous-channels \
        --tout-le-monde --format "$format" -q --dossier "$travail/$format" "$journal"
    taillesSortie[$format]=$(stat -c %s "$travail/$format"/LogFinal* | awk '{ s += $1 } END { print s }')
    rm -f "$travail/$format"/LogFinal*
done
mesurer tous /dev/null --vider "$travail/tous" \
    "$extraire" --debut "$debut" --fin "$fin" --tous-channels --tout-le-monde --format texte \
    --format html --format json --format forum --format discord -q --dossier "$travail/tous" \
    "$journal"
taillesSortie[tous]=$(stat -c %s "$travail/tous"/LogFinal* | awk '{ s += $1 } END { print s }')
rm -f "$travail/tous"/LogFinal*
# Le nettoyage role-play, tout coché : texte hors role-play retiré, chaque locuteur anonymisé
# (LogFinal.txt, puis les cinq formats en une passe).
mesurer nettoye /dev/null --vider "$travail/texte" \
    "$extraire" --debut "$debut" --fin "$fin" --tous-channels --tout-le-monde --sans-hrp \
    --anonymiser -q --dossier "$travail/texte" "$journal"
rm -f "$travail/texte"/LogFinal*
mesurer nettoyeTous /dev/null --vider "$travail/tous" \
    "$extraire" --debut "$debut" --fin "$fin" --tous-channels --tout-le-monde --format texte \
    --format html --format json --format forum --format discord --sans-hrp --anonymiser -q \
    --dossier "$travail/tous" "$journal"
rm -f "$travail/tous"/LogFinal*
mesurer analyse /dev/null "$extraire" --analyse "$journal"
mesurer sessions /dev/null "$extraire" --sessions "$journal"
mkdir -p "$travail/jour" "$travail/minutes"
mesurer jour /dev/null --vider "$travail/jour" "$extraire" --catalogue -q --debut 15/12/2001 \
    --fin 15/12/2001 --dossier "$travail/jour" "$journal"
mesurer minutes /dev/null --vider "$travail/minutes" "$extraire" --catalogue -q \
    --debut "15/12/2001 21:10" --fin "15/12/2001 23:40" --dossier "$travail/minutes" "$journal"

# Une ligne démesurée de 100 Mo, sans fin de ligne, de forme irrégulière (le nom cité deux fois :
# la réécriture passe par la voie générale), tout cochée, les trois modes.
geant=$travail/geant.txt
{
    printf '12/24/2001 00:13:47 - [Commerce] "Celio": '
    head -c 100000000 /dev/zero | tr '\0' 'a'
    printf ' "Celio" [Commerce]'
} >"$geant"
mkdir -p "$travail/geant"
essaisGeant=$essais
essais=1
mesurer geant /dev/null "$extraire" --tous-channels --tout-le-monde --sans-date --rp \
    --sans-channel -q --dossier "$travail/geant" "$geant"
essais=$essaisGeant
rm -f "$geant"

# --- résultats ---
echo
printf 'Journal : %s (%d lignes, %.0f Mo)\n' "$journal" "$lignes" "$(awk -v t="$taille" 'BEGIN { print t / 1e6 }')"
printf 'Meilleure de %d mesures, fichier en cache ; charge moyenne : %s.\n' "$essais" \
    "$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo '?')"
if [[ $memoireChaude == oui ]]; then
    echo "Mémoire de la machine virtuelle gardée chaude (renvoi à l'hôte suspendu)."
elif [[ -r $renvoi ]] && (($(cat "$renvoi") <= 10)); then
    echo "Machine virtuelle qui rend sa mémoire libérée à l'hôte : les temps d'écriture en"
    echo "dépendent (VEK_BENCH_MEMOIRE_CHAUDE=1 pour mesurer le programme seul)."
fi
echo
# Largeur à l'écran d'un texte UTF-8 (printf compte des octets).
largeur() { printf '%s' "$1" | LC_ALL=C awk '{ n += gsub(/[^\200-\277]/, "") } END { print n }'; }
echo "                                             ------ écoulé -------              ---- processeur ---"
echo "Commande                                      temps (s)    × wc -l      mémoire  temps (s)  × wc -l   cible"
ko=0
ligne() {
    local nom=$1 libelle=$2 cible=$3
    local t=${temps[$nom]} base=${temps[wc]} verdict=""
    ((base > 0)) || base=1
    local rapport
    rapport=$(awk -v t="$t" -v b="$base" 'BEGIN { printf "%.1f", t / b }')
    if [[ -n $cible ]]; then
        if awk -v r="$rapport" -v c="$cible" 'BEGIN { exit !(r <= c) }'; then
            verdict="≤ ${cible}× OK"
        else
            verdict="≤ ${cible}× KO"
            ko=1
        fi
    fi
    printf '%s%*s %10.2f %10s %8.1f Mio %10.2f %8s   %s\n' "$libelle" \
        $((44 - $(largeur "$libelle"))) "" "$(awk -v t="$t" 'BEGIN { print t / 1000 }')" \
        "$rapport" "$(awk -v k="${memoire[$nom]}" 'BEGIN { print k / 1024 }')" \
        "$(awk -v c="${processeur[$nom]}" 'BEGIN { print c / 1000 }')" \
        "$(awk -v c="${processeur[$nom]}" -v b="${processeur[wc]}" \
            'BEGIN { if (b > 0) printf "%.1f", c / b; else print "-" }')" "$verdict"
}
ligne wc "wc -l" ""
ligne catalogue "vek-extraire --catalogue (recherche)" 4
ligne awk "$(basename "$awk_cmd") (même filtre de dates)" ""
ligne complet "vek-extraire tout coché, trois modes" 10
ligne texte "tout coché, LogFinal.txt" ""
ligne html "tout coché, --format html" ""
ligne json "tout coché, --format json" ""
ligne forum "tout coché, --format forum" ""
ligne discord "tout coché, --format discord" ""
ligne tous "tout coché, les cinq formats" ""
ligne nettoye "tout coché, --sans-hrp --anonymiser" 12
ligne nettoyeTous "les cinq, --sans-hrp --anonymiser" ""
ligne analyse "vek-extraire --analyse (et séances)" 2
ligne sessions "vek-extraire --sessions" 2
ligne jour "--catalogue, un jour entier" ""
ligne minutes "--catalogue, 21:10 à 23:40 du même jour" ""

# Le temps d'écriture de chaque sortie (l'extraction moins la recherche seule), rapporté aux
# octets écrits : chaque format vise au plus 1,5 fois le coût par octet de LogFinal.txt.
echo
ecritureTexte=$((temps[texte] - temps[catalogue]))
((ecritureTexte > 0)) || ecritureTexte=1
for format in html json forum discord tous; do
    ecriture=$((temps[$format] - temps[catalogue]))
    rapport=$(awk -v e="$ecriture" -v t="$ecritureTexte" -v o="${taillesSortie[$format]}" \
        -v ot="${taillesSortie[texte]}" 'BEGIN { printf "%.2f", (e / o) / (t / ot) }')
    verdict=""
    if [[ $format != tous ]]; then
        if awk -v r="$rapport" 'BEGIN { exit !(r <= 1.5) }'; then verdict=OK; else verdict=KO; ko=1; fi
        verdict="(cible ≤ 1,5×) $verdict"
    fi
    printf 'Écriture %-7s : %.2f s (%.0f Mo) contre %.2f s (%.0f Mo) pour LogFinal.txt : %s× par octet %s\n' \
        "$format" "$(awk -v t="$ecriture" 'BEGIN { print t / 1000 }')" \
        "$(awk -v o="${taillesSortie[$format]}" 'BEGIN { print o / 1e6 }')" \
        "$(awk -v t="$ecritureTexte" 'BEGIN { print t / 1000 }')" \
        "$(awk -v o="${taillesSortie[texte]}" 'BEGIN { print o / 1e6 }')" "$rapport" "$verdict"
done

# Une période à la minute lit le journal comme une période de jours : pas plus de travail (à 10 %
# près, le bruit de la mesure). Le temps processeur en juge : sur une machine partagée, le temps
# écoulé de deux passes d'une demi-seconde dit surtout la charge des autres.
rapportMinutes=$(awk -v m="${processeur[minutes]}" -v j="${processeur[jour]}" 'BEGIN { printf "%.2f", m / (j > 0 ? j : 1) }')
if awk -v r="$rapportMinutes" 'BEGIN { exit !(r <= 1.1) }'; then verdict=OK; else verdict=KO; ko=1; fi
printf 'Soirée à la minute contre jour entier (processeur) : %s× (cible ≤ 1,1×) %s\n' "$rapportMinutes" "$verdict"

pointe=0
for nom in catalogue complet texte html json forum discord tous analyse sessions jour minutes; do
    if ((memoire[$nom] > pointe)); then pointe=${memoire[$nom]}; fi
done
echo
if ((pointe < 64 * 1024)); then
    printf 'Mémoire de pointe de vek-extraire : %.1f Mio (cible < 64 Mio) OK\n' "$(awk -v k="$pointe" 'BEGIN { print k / 1024 }')"
else
    printf 'Mémoire de pointe de vek-extraire : %.1f Mio (cible < 64 Mio) KO\n' "$(awk -v k="$pointe" 'BEGIN { print k / 1024 }')"
    ko=1
fi
kioGeant=${memoire[geant]}
if ((kioGeant < 300 * 1024)); then verdict=OK; else verdict=KO; ko=1; fi
printf 'Ligne de 100 Mo, trois modes : %.1f Mio de pointe en %.2f s (cible < 300 Mio) %s\n' \
    "$(awk -v k="$kioGeant" 'BEGIN { print k / 1024 }')" \
    "$(awk -v t="${temps[geant]}" 'BEGIN { print t / 1000 }')" "$verdict"
if cmp -s "$travail/awk.txt" "$travail/catalogue/LogVEKtemp.txt"; then
    echo "LogVEKtemp.txt est identique à la sortie du filtre awk."
else
    echo "ATTENTION : LogVEKtemp.txt diffère de la sortie du filtre awk."
    ko=1
fi
exit $ko
