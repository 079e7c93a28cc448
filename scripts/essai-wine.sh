#!/usr/bin/env bash
# La vraie fenêtre de VEK_Log.exe sous wine64, sur un affichage virtuel (Xvfb) avec le greffon
# « windows » de Qt : la route principale au clavier et à la souris (xdotool), comme un joueur.
#   1. Ctrl+O, le dialogue d'ouverture de Windows : le journal d'exemple ;
#   2. l'analyse (fenêtre « Analyse :) », fermée par Entrée) ;
#   3. « Lancer la recherche » ; 4. « Sélectionnez tout le monde », « Sélectionnez tous les
#   channels » ; 5. « Créer le fichier log ».
# LogFinal.txt doit être, octet pour octet, celui de vek-extraire construit pour Linux sur le
# même journal (tout coché, sans mode). Une capture de la fenêtre cochée est laissée.
#
#   scripts/essai-wine.sh [dossier de construction] [capture.png]
#     (par défaut : build/mingw ; la capture va dans le dossier d'essai, effacé à la fin, si
#      aucun fichier n'est donné — docs/capture-wine.png pour le README)
set -euo pipefail

racine=$(cd "$(dirname "$0")/.." && pwd)
dossier=${1:-"$racine/build/mingw"}
capture=${2:-}
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
serveur=$(command -v wineserver || echo /usr/lib/wine/wineserver)
linux="$racine/build/dev/app/vek-extraire"
for outil in Xvfb xdotool import; do
    command -v "$outil" >/dev/null || { echo "essai-wine.sh : $outil introuvable." >&2; exit 1; }
done
[ -x "$linux" ] || { echo "essai-wine.sh : $linux manque (./test.sh dev)." >&2; exit 1; }
[ -f "$dossier/VEK_Log/VEK_Log.exe" ] || {
    echo "essai-wine.sh : $dossier/VEK_Log manque (scripts/croise-windows.sh)." >&2; exit 1; }

essai=$(mktemp -d "${TMPDIR:-/tmp}/vek-essai-wine-XXXXXX")
WINEPREFIX="$essai/prefixe"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
# Un affichage libre, le premier à partir de :80.
numero=80
while [ -e "/tmp/.X$numero-lock" ] || [ -e "/tmp/.X11-unix/X$numero" ]; do numero=$((numero + 1)); done
export DISPLAY=":$numero"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
fin() {
    "$serveur" -k || true
    kill "$xvfb" || true
    wait "$xvfb" || true
    rm -rf "$essai"
}
trap fin EXIT
# xdotool, sans ses avertissements sur le focus de Xvfb (sans gestionnaire de fenêtres).
xdo() { xdotool "$@" 2>/dev/null; }
echec() {
    import -window root "$essai/echec.png" || true
    [ -n "$capture" ] && cp "$essai/echec.png" "${capture%.png}-echec.png" || true
    echo "essai-wine.sh : $*" >&2
    exit 1
}

# Attend une fenêtre par son titre (20 s au plus) et écrit son identifiant.
attendre() {
    local titre=$1 w
    for _ in $(seq 1 80); do
        w=$(xdo search --name "^$titre\$" 2>/dev/null | tail -n 1 || true)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.25
    done
    return 1
}
# Un clic dans la fenêtre principale, en pixels de sa zone cliente (barre de menus comprise).
cliquer() { xdo mousemove --window "$principale" "$1" "$2" click 1; sleep "${3:-1}"; }

"$wine" wineboot -i >/dev/null 2>&1
"$serveur" -w
cp -r "$dossier/VEK_Log" "$essai/VEK_Log"
cp "$racine/exemples/journal-exemple.txt" "$essai/journal-exemple.txt"
(cd "$essai/VEK_Log" && exec "$wine" VEK_Log.exe >/dev/null 2>&1) &
disown

principale=$(attendre "Cercle des Lanternes Sourdes") || echec "la fenêtre principale ne s'est pas ouverte."
sleep 2
xdo key --window "$principale" ctrl+o
attendre "Chemin du fichier LOG Q7R" >/dev/null || echec "le dialogue d'ouverture ne s'est pas ouvert."
sleep 1
xdo type --delay 15 "Z:${essai//\//\\}\\journal-exemple.txt" 2>/dev/null
xdo key Return 2>/dev/null
analyse=$(attendre "Analyse :)") || echec "l'analyse ne s'est pas ouverte."
sleep 1
# « Fermer », en bas à droite de la fenêtre d'analyse (sous wine, elle peut recouvrir la principale).
xdo key --window "$analyse" Escape
for _ in $(seq 1 12); do xdo search --name "^Analyse :\)\$" >/dev/null || break; sleep 0.25; done
if xdo search --name "^Analyse :\)\$" >/dev/null; then
    # Wine la pose sur la principale : son bouton « Fermer », en bas à droite de la fenêtre.
    eval "$(xdotool getwindowgeometry --shell "$analyse" 2>/dev/null)"
    xdo mousemove $((X + WIDTH - 69)) $((Y + HEIGHT - 24)) click 1
    for _ in $(seq 1 12); do xdo search --name "^Analyse :\)\$" >/dev/null || break; sleep 0.25; done
fi
sleep 1
# Positions tirées de FrmPrincipal.ui, plus les 19 pixels de la barre de menus. Le premier clic
# rend la main à la fenêtre principale.
cliquer 30 300
cliquer 348 211 0                 # « Lancer la recherche »
# Au premier passage, l'extrait ne prend son nom qu'une fois la recherche finie ; les arbres se
# remplissent juste après.
extrait="$essai/VEK_Log/LogVEKtemp.txt"
for _ in $(seq 1 120); do [ -f "$extrait" ] && break; sleep 0.25; done
[ -f "$extrait" ] || echec "la recherche n'a pas écrit LogVEKtemp.txt dans $essai/VEK_Log."
sleep 1.5
cliquer 40 487                    # « Sélectionnez tout le monde »
cliquer 240 487                   # « Sélectionnez tous les channels »
import -window "$principale" "$essai/capture.png"
cliquer 340 558 3                 # « Créer le fichier log »
final="$essai/VEK_Log/LogFinal.txt"
for _ in $(seq 1 40); do [ -f "$final" ] && break; sleep 0.5; done
[ -f "$final" ] || echec "LogFinal.txt n'a pas été écrit dans $essai/VEK_Log."
# Sans visualiseur de texte dans le préfixe, la fenêtre donne le chemin du journal final.
attendre "Cercles des Lanternes Sourdes" >/dev/null || echec "aucun message après le journal final."

mkdir -p "$essai/linux"
"$linux" -q --tous-channels --tout-le-monde --dossier "$essai/linux" "$essai/journal-exemple.txt" \
    >/dev/null
# La bannière date l'extraction : la comparaison entière vaut quand les deux tombent le même jour.
if ! cmp -s "$final" "$essai/linux/LogFinal.txt"; then
    if diff <(grep -av "LOG extrait le" "$final") <(grep -av "LOG extrait le" "$essai/linux/LogFinal.txt") \
        >/dev/null && [ "$(date +%d)" != "$(date -r "$final" +%d)" ]; then
        echo "essai-wine.sh : journal final identique, à la date d'extraction près (minuit passé)."
    else
        cp "$final" "${TMPDIR:-/tmp}/LogFinal-wine.txt"
        echec "LogFinal.txt de la fenêtre sous wine diffère de celui de Linux (${TMPDIR:-/tmp}/LogFinal-wine.txt)."
    fi
fi
[ -n "$capture" ] && cp "$essai/capture.png" "$capture"
echo "VEK_Log.exe sous wine : route principale parcourue, LogFinal.txt identique à celui de Linux ($(wc -c <"$final") octets)."
