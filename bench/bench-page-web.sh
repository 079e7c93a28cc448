#!/usr/bin/env bash
# Temps d'affichage de la page web par Chromium sans affichage (paquet Debian « chromium »), du
# lancement du navigateur à sa première capture d'écran, chaque fois avec un profil neuf et vide.
#
# Sur le journal du bench (celui de bench/bench.sh, fabriqué au besoin dans bench/donnees/),
# tout coché :
#   - la page découpée par jour (--decouper jour) : l'écriture (temps, mémoire de pointe), puis
#     l'affichage du sommaire, de la première et de la dernière page, de la plus lourde, et de
#     VEK_BENCH_PAGES pages tirées au hasard (toutes avec VEK_BENCH_PAGES=tout) ; cible : 3 s
#     au plus chacune ;
#   - une page unique de 50 000 entrées (les premières lignes du même journal) ; cible : 5 s.
# Pour comparaison, le même lancement sur une page vide, refait avant chaque page (la machine
# peut être partagée) : chaque temps est le meilleur de VEK_BENCH_ESSAIS lancements (défaut 3),
# donné avec son écart à celui de la page vide.
#
# Variables d'environnement : celles de bench/bench.sh (VEK_BENCH_LIGNES, VEK_BENCH_LOCUTEURS,
# VEK_BENCH_CHANNELS, VEK_BENCH_BUILD), plus VEK_BENCH_PAGES (défaut 20).
# Code de sortie : 0 si les cibles sont tenues, 1 sinon.

set -euo pipefail

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lignes=${VEK_BENCH_LIGNES:-12000000}
locuteurs=${VEK_BENCH_LOCUTEURS:-3000}
channels=${VEK_BENCH_CHANNELS:-30}
tirage=${VEK_BENCH_PAGES:-20}
essais=${VEK_BENCH_ESSAIS:-3}

navigateur=$(command -v chromium || command -v chromium-browser || true)
if [[ -z $navigateur ]]; then
    echo "bench-page-web.sh : Chromium manque (paquet Debian : apt-get install chromium)." >&2
    exit 1
fi
travail=$(mktemp -d "${TMPDIR:-/tmp}/vek-bench-page-XXXXXX")
trap 'rm -rf "$travail"' EXIT

if [[ -n ${VEK_BENCH_BUILD:-} ]]; then
    construction=$(realpath "$VEK_BENCH_BUILD")
else
    construction=$racine/build/release
    (cd "$racine" && cmake --preset release >/dev/null)
fi
cmake --build "$construction" --target vek-extraire vek-generer >/dev/null
extraire=$construction/app/vek-extraire

journal=$racine/bench/donnees/journal-$lignes-$locuteurs-$channels.txt
if [[ ! -f $journal ]]; then
    mkdir -p "$(dirname "$journal")"
    "$construction/bench/vek-generer" --lignes "$lignes" --locuteurs "$locuteurs" \
        --channels "$channels" --graine 12 --debut 01/12/2001 --fin 31/12/2001 \
        --sortie "$journal.partiel"
    mv "$journal.partiel" "$journal"
fi

# afficher PAGE : secondes du lancement de Chromium à la capture écrite.
afficher() {
    local profil capture debut fin
    profil=$(mktemp -d "$travail/profil-XXXXXX")
    capture=$profil.png
    debut=$(date +%s.%N)
    timeout 600 "$navigateur" --headless --no-sandbox --disable-gpu --disable-quic \
        --no-first-run --disable-background-networking --disable-component-update \
        --disable-sync --hide-scrollbars --user-data-dir="$profil" --window-size=1000,1250 \
        --screenshot="$capture" "file://$1" >/dev/null 2>&1 || true
    fin=$(date +%s.%N)
    rm -rf "$profil"
    if [[ ! -s $capture ]]; then
        echo "échec"
        return
    fi
    rm -f "$capture"
    awk -v d="$debut" -v f="$fin" 'BEGIN { printf "%.2f", f - d }'
}

# meilleur PAGE : le meilleur temps de $essais lancements (« échec » si l'un a échoué).
meilleur() {
    local i
    for ((i = 0; i < essais; i++)); do afficher "$1"; echo; done |
        awk '$0 == "échec" { e = 1 } $0 != "échec" && (m == "" || $0 + 0 < m + 0) { m = $0 }
             END { print e ? "échec" : m }'
}

tenu=1
# juger NOM PAGE CIBLE
juger() {
    local t v ok
    v=$(meilleur "$travail/vide.html")
    t=$(meilleur "$2")
    ok=$(awk -v t="$t" -v c="$3" 'BEGIN { print (t != "échec" && t + 0 <= c + 0) ? "oui" : "NON" }')
    [[ $ok == oui ]] || tenu=0
    printf '  %-34s %8s s  (page vide %s s, écart %s s)  %9s octets  (cible %s s : %s)\n' "$1" \
        "$t" "$v" "$(awk -v t="$t" -v v="$v" 'BEGIN { printf "%+.2f", t - v }')" \
        "$(stat -c %s "$2")" "$3" "$ok"
}

echo "<!DOCTYPE html><title>vide</title>" >"$travail/vide.html"

# --- la page découpée par jour ---
mkdir -p "$travail/decoupe"
/usr/bin/time -f '%e %M' -o "$travail/temps" "$extraire" --format html --decouper jour \
    --tous-channels --tout-le-monde -q --dossier "$travail/decoupe" --debut 01/12/2001 \
    --fin 31/12/2001 "$journal" >/dev/null
read -r secondes kio <"$travail/temps"
dossier=$travail/decoupe/LogFinal
pages=$(find "$dossier" -name '*.html' ! -name index.html | sort)
echo "Découpée par jour : $(wc -l <<<"$pages") pages écrites en $secondes s, mémoire de pointe" \
    "$((kio / 1024)) Mio ($(du -sh "$dossier" | cut -f1))"
lourde=$(find "$dossier" -name "*.html" -printf "%s %p\n" | sort -n | tail -1 | cut -d" " -f2-)
choisies=$(
    {
        echo "$dossier/index.html"
        head -1 <<<"$pages"
        tail -1 <<<"$pages"
        echo "$lourde"
        if [[ $tirage == tout ]]; then echo "$pages"; else shuf -n "$tirage" --random-source=<(yes) <<<"$pages"; fi
    } | awk '!vu[$0]++'
)
while read -r page; do
    juger "$(basename "$page")" "$page" 3
done <<<"$choisies"

# --- une page unique de 50 000 entrées ---
# Toutes les lignes du journal ne sont pas des entrées : les premières lignes sont prises en
# nombre croissant jusqu'à 50 000 entrées au moins.
mkdir -p "$travail/unique"
prises=50000
entrees=0
for ((essai = 0; essai < 4 && entrees < 50000; essai++)); do
    head -n "$prises" "$journal" >"$travail/unique/journal.txt"
    "$extraire" --format html --tous-channels --tout-le-monde -q --dossier "$travail/unique" \
        --debut 01/12/2001 --fin 31/12/2001 "$travail/unique/journal.txt" >/dev/null 2>&1
    entrees=$(grep -c '^<p' "$travail/unique/LogFinal.html" || true)
    prises=$((prises * 50000 / (entrees > 0 ? entrees : 1) + 200))
done
echo "Page unique : $entrees entrées"
juger "LogFinal.html" "$travail/unique/LogFinal.html" 5

[[ $tenu == 1 ]] && echo "Cibles tenues." || echo "Cibles NON tenues."
[[ $tenu == 1 ]]
