#!/usr/bin/env bash
# Capture du README : la fenêtre « Résultats » d'une recherche de mots, dans le vrai VEK_Log sous
# Xvfb, piloté par xdotool comme un utilisateur : le journal d'exemple ouvert (Ctrl+O), « chateau »
# tapé dans « Chercher dans le journal », Entrée. Le script écrit docs/capture-resultats.png, puis
# choisit la première séance (Entrée) et vérifie que la recherche de sa période a écrit l'extrait.
#
# Usage : scripts/capture-resultats.sh [DOSSIER_DE_CONSTRUCTION]   (défaut : build/dev, construit)
set -euo pipefail

construction=$(realpath -m "${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/dev}")
# shellcheck source=scripts/capture-commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/capture-commun.sh"
preparer_capture capture-resultats.sh
cp "$racine/exemples/journal-exemple.txt" "$travail/jeu/"
lancer_vek
sleep 1

# Le journal : Ctrl+O, son nom dans le dialogue, Entrée ; le résumé de l'analyse fermé (Échap).
xdotool windowfocus --sync "$principale" key ctrl+o
dialogue=$(xdotool search --sync --onlyvisible --name '^Chemin du fichier LOG Q7R$')
xdotool windowfocus --sync "$dialogue" mousemove --window "$dialogue" 20 20
xdotool type --delay 20 journal-exemple.txt
sleep 0.3
xdotool key Return
analyse=$(xdotool search --sync --onlyvisible --name '^Analyse')
sleep 1
xdotool windowfocus --sync "$analyse" key Escape
sleep 0.5

# « Chercher dans le journal » (sous les dates ; le menu prend les 18 premiers pixels), Entrée.
xdotool windowfocus --sync "$principale" mousemove --window "$principale" 200 243 click 1
xdotool type --delay 20 chateau
xdotool key Return
resultats=$(xdotool search --sync --onlyvisible --name '^Résultats$')
sleep 1
mkdir -p "$racine/docs"
import -window "$resultats" "$racine/docs/capture-resultats.png"

# La première séance choisie (Entrée) : sa période cherchée, l'extrait écrit.
xdotool windowfocus --sync "$resultats" key Return
sleep 2
extrait=$travail/programme/LogVEKtemp.txt
if ! iconv -f CP1252 -t UTF-8 "$extrait" 2>/dev/null | grep -q 'le château est pris'; then
    echo "capture-resultats.sh : la séance choisie n'a pas été cherchée" >&2
    exit 1
fi
echo "Séance vérifiée : $(grep -c . "$extrait") lignes dans l'extrait."
echo "Capture écrite : docs/capture-resultats.png"
