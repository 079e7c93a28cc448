# Ce que partagent les mesures de bench/ (à sourcer) : l'outil de mesure, le dossier de travail,
# la construction release et le journal du bench.
#
#   exiger_time NOM                 /usr/bin/time (paquet Debian « time »), sinon sortie en 1
#   dossier_de_travail NOM          travail : un dossier temporaire, effacé à la sortie
#   construction_release CIBLE…     construction : VEK_BENCH_BUILD tel quel, ou build/release
#                                   configuré et les cibles construites
#   journal_du_bench                journal : celui de bench/bench.sh (fabriqué au besoin dans
#                                   bench/donnees/), lu une fois pour être en cache

# shellcheck disable=SC2034 # les variables servent au script qui source
racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lignes=${VEK_BENCH_LIGNES:-12000000}
locuteurs=${VEK_BENCH_LOCUTEURS:-3000}
channels=${VEK_BENCH_CHANNELS:-30}

exiger_time() {
    if [[ ! -x /usr/bin/time ]]; then
        echo "$1 : /usr/bin/time manque (paquet Debian « time »)." >&2
        exit 1
    fi
}

dossier_de_travail() {
    travail=$(mktemp -d "${TMPDIR:-/tmp}/vek-$1-XXXXXX")
    trap 'rm -rf "$travail"' EXIT
}

construction_release() {
    if [[ -n ${VEK_BENCH_BUILD:-} ]]; then
        construction=$(realpath "$VEK_BENCH_BUILD")
    else
        construction=$racine/build/release
        (cd "$racine" && cmake --preset release >/dev/null)
        cmake --build "$construction" --target "$@" >/dev/null
    fi
}

journal_du_bench() {
    journal=$racine/bench/donnees/journal-$lignes-$locuteurs-$channels.txt
    if [[ ! -f $journal ]]; then
        mkdir -p "$(dirname "$journal")"
        "$construction/bench/vek-generer" --lignes "$lignes" --locuteurs "$locuteurs" \
            --channels "$channels" --graine 12 --debut 01/12/2001 --fin 31/12/2001 \
            --sortie "$journal.partiel"
        mv "$journal.partiel" "$journal"
    fi
    cat "$journal" >/dev/null # en cache
}
