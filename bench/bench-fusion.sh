#!/usr/bin/env bash
# La fusion de deux journaux contre la recherche d'un seul, dans la même exécution :
#   - deux journaux d'une même scène vue par deux joueurs (vek-generer --scene ; environ
#     450 Mo chacun, l'horloge du second en avance d'une heure et sept secondes), fusionnés et
#     cherchés par vek-extraire --catalogue ;
#   - le journal du bench (celui de bench/bench.sh, 900 Mo) cherché de même ;
#   - l'estimation des horloges et des joueurs seule (vek-bench-estimation).
# Fichiers en cache, la meilleure de VEK_BENCH_ESSAIS mesures (défaut 3) de chaque recherche.
# Cibles : fusion au plus 1,3 × la recherche du journal de 900 Mo (temps écoulé), mémoire de
# pointe sous 64 Mio, estimation sous 0,2 s.
#
# Variables : celles de bench/bench.sh (VEK_BENCH_LIGNES…) ; VEK_BENCH_SCENE, le nombre de
# messages de la scène (défaut 15000000) ; VEK_BENCH_BUILD, un dossier de construction release
# déjà construit (vek-extraire, vek-generer, vek-bench-estimation) à employer tel quel.
# Code de sortie : 0 si les cibles sont tenues, 1 sinon.

set -euo pipefail

# shellcheck source=bench/commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/commun.sh"
essais=${VEK_BENCH_ESSAIS:-3}
scene=${VEK_BENCH_SCENE:-15000000}

exiger_time bench-fusion.sh
dossier_de_travail bench-fusion
construction_release vek-extraire vek-generer vek-bench-estimation
extraire=$construction/app/vek-extraire
journal_du_bench

donnees=$racine/bench/donnees
a=$donnees/scene-$scene-aldric.txt
b=$donnees/scene-$scene-brune.txt
if [[ ! -f $a || ! -f $b ]]; then
    "$construction/bench/vek-generer" --scene "$scene" "$a.partiel" "$b.partiel"
    mv "$a.partiel" "$a"
    mv "$b.partiel" "$b"
fi
cat "$a" "$b" >/dev/null # en cache

# une NOM COMMANDE... : une mesure ; garde le meilleur temps écoulé (ms) et la plus grande
# mémoire (Kio).
declare -A ecoule memoire
une() {
    local nom=$1 t0 t1 ms kio
    shift
    t0=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$travail/time.txt" "$@" >"$travail/sortie-$nom.txt" 2>&1 || {
        echo "bench-fusion.sh : échec de $*" >&2
        cat "$travail/sortie-$nom.txt" >&2
        exit 1
    }
    t1=$(date +%s%N)
    ms=$(((t1 - t0) / 1000000))
    kio=$(tail -n 1 "$travail/time.txt")
    if [[ -z ${ecoule[$nom]:-} || $ms -lt ${ecoule[$nom]} ]]; then ecoule[$nom]=$ms; fi
    if ((kio > ${memoire[$nom]:-0})); then memoire[$nom]=$kio; fi
}

periode=(--debut 01/01/2001 --fin 31/12/2030)
mkdir -p "$travail/un" "$travail/fusion"
for ((i = 0; i < essais; i++)); do
    une un "$extraire" --catalogue -q "${periode[@]}" --dossier "$travail/un" "$journal"
    une fusion "$extraire" --catalogue -q "${periode[@]}" --dossier "$travail/fusion" "$a" "$b"
done

mo() { awk -v t="$(stat -L -c %s "$1")" 'BEGIN { printf "%.0f", t / 1e6 }'; }
nl() { wc -l <"$1"; }
secondes() { awk -v m="$1" 'BEGIN { printf "%.2f", m / 1000 }'; }
echo
printf 'Journal seul : %s Mo ; scène : %s Mo + %s Mo.\n' "$(mo "$journal")" "$(mo "$a")" "$(mo "$b")"
printf 'Meilleure de %d mesures, fichiers en cache ; %s cœurs ; charge moyenne : %s.\n' "$essais" \
    "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo '?')"
la=$(nl "$a")
lb=$(nl "$b")
lf=$(nl "$travail/fusion/LogVEKtemp.txt" 2>/dev/null || echo 0)
printf 'Lignes : %s + %s ; extrait de la fusion : %s (en commun : %s, %.0f %% de chaque journal).\n' \
    "$la" "$lb" "$lf" "$((la + lb - lf))" \
    "$(awk -v c=$((la + lb - lf)) -v t=$(((la + lb) / 2)) 'BEGIN { print 100 * c / t }')"
ko=0
rapport=$(awk -v a="${ecoule[fusion]}" -v b="${ecoule[un]}" 'BEGIN { printf "%.2f", a / b }')
verdict=OK
awk -v r="$rapport" 'BEGIN { exit !(r <= 1.3) }' || { verdict=KO; ko=1; }
printf 'Recherche du journal seul : %s s, %.1f Mio\n' "$(secondes "${ecoule[un]}")" \
    "$(awk -v k="${memoire[un]}" 'BEGIN { print k / 1024 }')"
printf 'Fusion et recherche :       %s s, %.1f Mio\n' "$(secondes "${ecoule[fusion]}")" \
    "$(awk -v k="${memoire[fusion]}" 'BEGIN { print k / 1024 }')"
printf 'Rapport : %s× (cible ≤ 1,3×) %s\n' "$rapport" "$verdict"
verdict=OK
((memoire[fusion] < 64 * 1024)) || { verdict=KO; ko=1; }
printf 'Mémoire de pointe de la fusion : %.1f Mio (cible < 64 Mio) %s\n' \
    "$(awk -v k="${memoire[fusion]}" 'BEGIN { print k / 1024 }')" "$verdict"
"$construction/bench/vek-bench-estimation" "$a" "$b" | tee "$travail/estimation.txt"
estimation=$(sed -n 's/^estimation : \([0-9.]*\) s.*/\1/p' "$travail/estimation.txt")
verdict=OK
awk -v e="$estimation" 'BEGIN { exit !(e < 0.2) }' || { verdict=KO; ko=1; }
printf 'Estimation : %s s (cible < 0,2 s) %s\n' "$estimation" "$verdict"
exit $ko
