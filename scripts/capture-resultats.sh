#!/usr/bin/env bash
# Capture du README : la fenêtre « Résultats » d'une recherche de mots, dans le vrai VEK_Log sous
# Xvfb, piloté par xdotool comme un utilisateur : le journal d'exemple ouvert (Ctrl+O), « chateau »
# tapé dans « Chercher dans le journal », Entrée. Le script écrit docs/capture-resultats.png, puis
# choisit la première séance (Entrée) et vérifie que la recherche de sa période a écrit l'extrait.
#
# Usage : scripts/capture-resultats.sh [DOSSIER_DE_CONSTRUCTION]   (défaut : build/dev, construit)
set -euo pipefail

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
construction=$(realpath -m "${1:-$racine/build/dev}")
[[ -x $construction/app/VEK_Log ]] || { echo "capture-resultats.sh : VEK_Log manque" >&2; exit 1; }

travail=$(mktemp -d)
ecran=:$((90 + RANDOM % 100))
xvfb=
vek=
trap '[[ -n $vek ]] && kill "$vek" 2>/dev/null; [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null; rm -rf "$travail"' EXIT

# Aucune police de la machine ; le programme copié dans un dossier à lui, où il écrit ses
# sorties ; le journal dans le dossier courant, où s'ouvre le dialogue.
mkdir -p "$travail/polices/vide" "$travail/polices/cache" "$travail/personnel" "$travail/jeu" \
    "$travail/programme"
cat >"$travail/fonts.conf" <<FIN
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$travail/polices/vide</dir><cachedir>$travail/polices/cache</cachedir></fontconfig>
FIN
cp "$construction/app/VEK_Log" "$travail/programme/"
cp "$racine/exemples/journal-exemple.txt" "$travail/jeu/"

Xvfb "$ecran" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$ecran
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$travail/jeu" && FONTCONFIG_FILE=$travail/fonts.conf HOME=$travail/personnel \
    XDG_CONFIG_HOME=$travail/personnel/.config "$travail/programme/VEK_Log") &
vek=$!
principale=$(xdotool search --sync --onlyvisible --name '^Cercle des Lanternes Sourdes$')
xdotool windowmove "$principale" 0 0
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
