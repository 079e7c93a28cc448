#!/usr/bin/env bash
# Capture du README : deux journaux d'une même scène (vek-generer --scene : Aldric, et Brune dont
# l'horloge avance d'une heure et sept secondes) ouverts ensemble par « VEK_Log a.txt b.txt »,
# dans le vrai VEK_Log sous Xvfb. La capture montre la fenêtre principale (les deux journaux dans
# le champ) et la fenêtre d'analyse de leur fusion (l'horloge et le joueur de chacun). Puis le
# script lance la recherche (Ctrl+R) et vérifie que l'extrait mêle les deux journaux.
#
# Usage : scripts/capture-fusion.sh [DOSSIER_DE_CONSTRUCTION]   (défaut : build/dev, construit)
set -euo pipefail

construction=$(realpath -m "${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/dev}")
# shellcheck source=scripts/capture-commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/capture-commun.sh"
preparer_capture capture-fusion.sh bench/vek-generer
"$construction/bench/vek-generer" --scene 600 "$travail/jeu/aldric.txt" "$travail/jeu/brune.txt"
lancer_vek aldric.txt brune.txt
analyse=$(xdotool search --sync --onlyvisible --name '^Analyse')
sleep 1
eval "$(xdotool getwindowgeometry --shell "$principale")"
xdotool windowmove "$analyse" $((WIDTH + 8)) 0
sleep 1

# Les deux fenêtres côte à côte : la capture couvre leur ensemble.
largeur=0
hauteur=0
for fenetre in "$principale" "$analyse"; do
    eval "$(xdotool getwindowgeometry --shell "$fenetre")"
    ((X + WIDTH > largeur)) && largeur=$((X + WIDTH))
    ((Y + HEIGHT > hauteur)) && hauteur=$((Y + HEIGHT))
done
mkdir -p "$racine/docs"
import -window root -crop "$((largeur + 8))x$((hauteur + 8))+0+0" +repage \
    "$racine/docs/capture-fusion.png"

# La recherche de la période que l'analyse a posée : l'extrait vient des deux journaux.
xdotool windowfocus --sync "$analyse" key Escape
sleep 0.5
xdotool windowfocus --sync "$principale" mousemove --window "$principale" 200 250 key ctrl+r
sleep 3
extrait=$travail/programme/LogVEKtemp.txt
sources=$travail/programme/LogVEKtemp.sources
if [[ ! -s $extrait || ! -s $sources ]]; then
    echo "capture-fusion.sh : la recherche n'a pas écrit l'extrait d'une fusion" >&2
    exit 1
fi
echo "Fusion vérifiée : $(grep -c . "$extrait") lignes dans l'extrait (aldric.txt :" \
    "$(wc -l <"$travail/jeu/aldric.txt"), brune.txt : $(wc -l <"$travail/jeu/brune.txt"))."
echo "Capture écrite : docs/capture-fusion.png"
