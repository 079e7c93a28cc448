#!/usr/bin/env bash
# Compare, octet pour octet (md5), les sorties de deux vek-extraire sur les mêmes journaux : les
# huit jeux de modes, chaque format, nettoyage éteint et allumé, dossier découpé compris, plus
# --analyse, --sessions et --catalogue. Sert à prouver qu'une réorganisation ne change rien.
# Usage : scripts/comparer-sorties.sh VEK_AVANT VEK_APRES JOURNAL...
# Imprime une ligne par cas et le bilan ; code 0 si tout est identique.
set -euo pipefail
avant=$1 apres=$2
shift 2
travail=$(mktemp -d "${TMPDIR:-/tmp}/vek-comparer-XXXXXX")
trap 'rm -rf "$travail"' EXIT
modes=("" "--sans-date" "--rp" "--sans-channel" "--sans-date --rp" "--sans-date --sans-channel"
       "--rp --sans-channel" "--sans-date --rp --sans-channel")
nettoyages=("" "--sans-hrp --anonymiser --renommer Aldric=Aldo")
tous=(--format texte --format html --format json --format forum --format discord)
cas=0 differents=0

# Lance les deux programmes avec les mêmes arguments, chacun dans son dossier, et compare tout ce
# qu'ils écrivent (dossier de sortie, sortie standard, code de sortie).
comparer() {
    local nom=$1
    shift
    local somme=()
    for cote in avant apres; do
        local bin=$avant
        [[ $cote == apres ]] && bin=$apres
        # Le même dossier pour les deux : les chemins imprimés sont les mêmes.
        local d="$travail/course"
        rm -rf "$d" && mkdir -p "$d/sortie"
        set +e
        "$bin" -q --dossier "$d/sortie" "$@" >"$d/stdout" 2>"$d/stderr"
        echo "code $?" >>"$d/stdout"
        set -e
        # L'avis de la ligne de commande sur les dossiers temporaires n'entre pas en compte.
        somme+=("$( (cd "$d" && find sortie -type f ! -name 'LogVEK.verrou' -print0 | sort -z |
            xargs -0 -r md5sum; md5sum stdout) | md5sum | cut -c1-32)")
        rm -rf "${travail:?}/$cote" && mv "$d" "$travail/$cote"
    done
    cas=$((cas + 1))
    if [[ ${somme[0]} == "${somme[1]}" ]]; then
        echo "identique  $nom"
    else
        differents=$((differents + 1))
        echo "DIFFÉRENT  $nom"
        diff -r "$travail/avant" "$travail/apres" | head -20 || true
    fi
}

for journal in "$@"; do
    j=$(basename "$journal")
    for option in --analyse --sessions; do
        comparer "$j $option" "$option" "$journal"
    done
    comparer "$j --catalogue" --catalogue "$journal"
    for m in "${modes[@]}"; do
        for n in "${nettoyages[@]}"; do
            # shellcheck disable=SC2086
            comparer "$j cinq formats [$m] [$n]" --tous-channels --tout-le-monde $m $n "${tous[@]}" \
                "$journal"
        done
    done
    for n in "${nettoyages[@]}"; do
        # shellcheck disable=SC2086
        comparer "$j dossier découpé [$n]" --tous-channels --tout-le-monde $n --format html \
            --decouper jour "$journal"
    done
    comparer "$j un channel et un nom" --channel "Zone de proximité" --nom Aldric "$journal"
done
echo "$cas cas, $differents différents"
[[ $differents == 0 ]]
