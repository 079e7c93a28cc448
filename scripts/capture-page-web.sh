#!/usr/bin/env bash
# Capture d'écran du README : une page du dossier que « vek-extraire --format html --decouper
# jour --tous-channels --tout-le-monde » tire du journal d'exemple (liens entre les pages,
# sommaire des jours, filtres, personnes, graphique d'activité), rendue sans affichage par
# Chromium (paquet Debian « chromium »), dans docs/capture-page-web.png.
#
# Usage : scripts/capture-page-web.sh [DOSSIER_DE_CONSTRUCTION]   (défaut : build/dev, configuré au besoin)
set -euo pipefail

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
construction=$(realpath -m "${1:-$racine/build/dev}")
sortie=$racine/docs/capture-page-web.png

navigateur=$(command -v chromium || command -v chromium-browser || true)
if [[ -z $navigateur ]]; then
    echo "capture-page-web.sh : Chromium manque (paquet Debian : apt-get install chromium)." >&2
    exit 1
fi

if [[ ! -f $construction/CMakeCache.txt ]]; then
    cmake -S "$racine" -B "$construction" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVEK_WARNINGS_AS_ERRORS=ON >/dev/null
fi
cmake --build "$construction" --target vek-extraire >/dev/null

travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
"$construction/app/vek-extraire" --format html --decouper jour --tous-channels --tout-le-monde \
    -q --dossier "$travail" "$racine/exemples/journal-exemple.txt" >/dev/null

# Un profil jetable : rien du navigateur de la machine n'est lu ni écrit. Sans bac à sable : le
# script peut tourner en root.
mkdir -p "$(dirname "$sortie")"
"$navigateur" --headless --no-sandbox --disable-gpu --disable-quic --hide-scrollbars \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$travail/profil" --window-size=1000,1250 --screenshot="$sortie" \
    "file://$travail/LogFinal/2001-12-24.html" >/dev/null 2>&1
echo "Capture écrite : ${sortie#"$racine"/}"
