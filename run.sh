#!/usr/bin/env bash
# Construit et lance le programme. Sans affichage, lance l'extracteur en ligne de commande sur
# le journal d'exemple.
set -euo pipefail
cd "$(dirname "$0")"
VEK_AVEC_CROISE=0 ./scripts/dependances.sh
cmake --preset release >/dev/null
# Seulement les deux programmes : ni les tests ni le banc.
cmake --build --preset release -j"$(nproc)" --target VEK_Log vek-extraire
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/release/app/VEK_Log "$@"
fi
echo "Pas d'affichage graphique : lancement de vek-extraire sur exemples/journal-exemple.txt." >&2
sortie="$(mktemp -d)"
./build/release/app/vek-extraire --dossier "$sortie" --tous-channels --tout-le-monde \
  exemples/journal-exemple.txt
echo "Journal final écrit dans $sortie/LogFinal.txt :" >&2
iconv -f WINDOWS-1252 -t UTF-8 "$sortie/LogFinal.txt" | head -40
