#!/usr/bin/env bash
# La recherche de mots (« Trouver la scène ») contre grep -ci et rg -ci (paquet Debian « ripgrep »)
# sur le journal du bench (celui de bench/bench.sh, fabriqué au besoin dans bench/donnees/),
# fichier en cache, dans la même exécution : les trois commandes tour à tour, la meilleure de
# VEK_BENCH_ESSAIS mesures (défaut 5) de chacune.
#
#   - un mot absent du journal (VEK_BENCH_ABSENT, défaut « licorne » : des lettres courantes, que
#     seule la vérification du mot entier écarte) ;
#   - un mot qui se trouve environ 1 000 fois dans les messages (VEK_BENCH_RARE, défaut
#     « zarbert », un nom interpellé dans les messages ; grep et rg le trouvent aussi comme
#     locuteur, d'où leurs comptes plus grands).
#
# La recherche est vek-bench-chercher (la passe du moteur seule, ses lignes trouvées comptées à
# mesure), avec les numéros de ligne et les séances de chaque ligne trouvée. Imprime les temps
# écoulés et processeur, leurs rapports à grep -ci et à rg -ci, et la mémoire de pointe.
# Cibles : pas plus lent que grep -ci (temps écoulé), mémoire de pointe sous 32 Mio ; rg -ci est
# l'objectif, son rapport est donné sans verdict.
#
# Variables d'environnement : celles de bench/bench.sh (VEK_BENCH_LIGNES, VEK_BENCH_LOCUTEURS,
# VEK_BENCH_CHANNELS) ; VEK_BENCH_BUILD, un dossier de construction release déjà construit
# (vek-bench-chercher et vek-generer) à employer tel quel, sans rien construire.
# Code de sortie : 0 si les cibles sont tenues, 1 sinon.

set -euo pipefail

# shellcheck source=bench/commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/commun.sh"
essais=${VEK_BENCH_ESSAIS:-5}
absent=${VEK_BENCH_ABSENT:-licorne}
rare=${VEK_BENCH_RARE:-zarbert}

exiger_time bench-chercher.sh
rg=$(command -v rg || true)
if [[ -z $rg ]]; then
    echo "bench-chercher.sh : rg manque (paquet Debian : apt-get install ripgrep) ; mesuré sans." >&2
fi
dossier_de_travail bench-chercher
construction_release vek-bench-chercher vek-generer
chercher=$construction/bench/vek-bench-chercher
journal_du_bench

# une NOM COMMANDE... : une mesure ; garde le meilleur temps écoulé (ms) et processeur (ms), la
# plus grande mémoire (Kio) et la sortie (le compte).
declare -A ecoule processeur memoire compte
une() {
    local nom=$1 t0 t1 ms cpu kio
    shift
    t0=$(date +%s%N)
    /usr/bin/time -f '%U %S %M' -o "$travail/time.txt" "$@" >"$travail/sortie.txt" 2>/dev/null ||
        true # grep et rg sortent en 1 quand ils ne trouvent rien
    t1=$(date +%s%N)
    ms=$(((t1 - t0) / 1000000))
    # La dernière ligne : time en écrit une de plus quand la commande sort en 1.
    read -r cpu kio < <(tail -n 1 "$travail/time.txt" |
        awk '{ printf "%d %d\n", ($1 + $2) * 1000, $3 }')
    if [[ -z ${ecoule[$nom]:-} || $ms -lt ${ecoule[$nom]} ]]; then ecoule[$nom]=$ms; fi
    if [[ -z ${processeur[$nom]:-} || $cpu -lt ${processeur[$nom]} ]]; then processeur[$nom]=$cpu; fi
    if ((kio > ${memoire[$nom]:-0})); then memoire[$nom]=$kio; fi
    compte[$nom]=$(head -c 40 "$travail/sortie.txt")
    compte[$nom]=${compte[$nom]:-0} # rg -c n'écrit rien quand il ne trouve rien
}

for mot in "$absent" "$rare"; do
    for ((i = 0; i < essais; i++)); do
        une "vek $mot" "$chercher" "$mot" "$journal"
        une "grep $mot" grep -ci "$mot" "$journal"
        if [[ -n $rg ]]; then une "rg $mot" "$rg" -ci "$mot" "$journal"; fi
    done
done

secondes() { awk -v m="$1" 'BEGIN { printf "%.2f", m / 1000 }'; }
rapport() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

echo
printf 'Journal : %s (%d lignes, %.0f Mo)\n' "$journal" "$lignes" \
    "$(awk -v t="$(stat -c %s "$journal")" 'BEGIN { print t / 1e6 }')"
printf 'Meilleure de %d mesures, fichier en cache ; %s cœurs ; charge moyenne : %s.\n' "$essais" \
    "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo '?')"
ko=0
for mot in "$absent" "$rare"; do
    echo
    echo "« $mot »                      trouvées   écoulé (s)  processeur (s)   mémoire"
    for outil in vek grep rg; do
        nom="$outil $mot"
        [[ -n ${ecoule[$nom]:-} ]] || continue
        printf '  %-26s %9s %12s %15s %6.1f Mio\n' \
            "$([[ $outil == vek ]] && echo "vek-bench-chercher" || echo "$outil -ci")" \
            "${compte[$nom]}" "$(secondes "${ecoule[$nom]}")" "$(secondes "${processeur[$nom]}")" \
            "$(awk -v k="${memoire[$nom]}" 'BEGIN { print k / 1024 }')"
    done
    vsGrep=$(rapport "${ecoule[vek $mot]}" "${ecoule[grep $mot]}")
    verdict=OK
    if ! awk -v r="$vsGrep" 'BEGIN { exit !(r <= 1) }'; then verdict=KO; ko=1; fi
    printf '  rapport à grep -ci : %s× écoulé, %s× processeur (cible ≤ 1× écoulé) %s\n' "$vsGrep" \
        "$(rapport "${processeur[vek $mot]}" "${processeur[grep $mot]}")" "$verdict"
    if [[ -n $rg ]]; then
        printf '  rapport à rg -ci :   %s× écoulé, %s× processeur (objectif)\n' \
            "$(rapport "${ecoule[vek $mot]}" "${ecoule[rg $mot]}")" \
            "$(rapport "${processeur[vek $mot]}" "${processeur[rg $mot]}")"
    fi
done
pointe=$(( ${memoire[vek $absent]} > ${memoire[vek $rare]} ? ${memoire[vek $absent]} : ${memoire[vek $rare]} ))
echo
if ((pointe < 32 * 1024)); then verdict=OK; else verdict=KO; ko=1; fi
printf 'Mémoire de pointe de la recherche : %.1f Mio (cible < 32 Mio) %s\n' \
    "$(awk -v k="$pointe" 'BEGIN { print k / 1024 }')" "$verdict"
echo "(rg lit le journal par mmap : sa « mémoire » compte les pages du fichier en cache.)"
exit $ko
