#!/usr/bin/env bash
# Capture du README : la fenêtre « En direct » de VEK_Log qui suit le journal d'exemple pendant
# qu'un script y ajoute une scène, ligne à ligne, comme le jeu. Le vrai programme tourne sous
# Xvfb (sa veille est celle du système) ; xdotool lance la recherche, coche tout et « Suivre le
# journal » ; import prend l'écran, rogné aux deux fenêtres, dans docs/capture-en-direct.png.
#
# Usage : scripts/capture-en-direct.sh [DOSSIER_DE_CONSTRUCTION]   (défaut : build/dev)
set -euo pipefail

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
construction=$(realpath -m "${1:-$racine/build/dev}")
sortie=$racine/docs/capture-en-direct.png
cmake --build "$construction" --target VEK_Log >/dev/null

travail=$(mktemp -d)
ecran=:$((90 + RANDOM % 100))
xvfb=
vek=
trap '[[ -n $vek ]] && kill "$vek" 2>/dev/null; [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null; rm -rf "$travail"' EXIT

# Aucune police de la machine : seules les polices livrées par le programme.
mkdir -p "$travail/polices/vide" "$travail/polices/cache" "$travail/personnel" "$travail/jeu"
cat >"$travail/fonts.conf" <<FIN
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$travail/polices/vide</dir><cachedir>$travail/polices/cache</cachedir></fontconfig>
FIN
journal=$travail/jeu/Chat.TXT
cp "$racine/exemples/journal-exemple.txt" "$journal"

Xvfb "$ecran" -screen 0 1100x700x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$ecran
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$travail" && FONTCONFIG_FILE=$travail/fonts.conf HOME=$travail/personnel \
    XDG_CONFIG_HOME=$travail/personnel/.config "$construction/app/VEK_Log" "$journal") &
vek=$!
principale=$(xdotool search --sync --onlyvisible --name '^Cercle des Lanternes Sourdes$')
sleep 1
# La fenêtre « Analyse :) » hors du cadre de la capture.
for analyse in $(xdotool search --onlyvisible --name '^Analyse' || true); do
    xdotool windowmove "$analyse" 1200 700
done
xdotool windowmove "$principale" 0 0
sleep 0.5
# Les contrôles à leur place, menu compris (polices livrées : la même place partout).
cliquer() { xdotool mousemove --window "$principale" "$1" "$2" click 1; sleep 0.8; }
cliquer 348 210 # « Lancer la recherche »
sleep 1
cliquer 39 486  # « Sélectionnez tout le monde »
cliquer 239 486 # « Sélectionnez tous les channels »
cliquer 295 289 # « Suivre le journal »
direct=$(xdotool search --sync --onlyvisible --name '^En direct$')
xdotool windowmove "$direct" 436 0 windowsize "$direct" 660 440
sleep 0.5

# La scène, écrite ligne à ligne comme le jeu (Windows-1252, CR LF, en deux fois).
ecrire() {
    local ligne LC_ALL=C
    ligne=$(printf '12/27/2001 %s - %s\r' "$1" "$2" | iconv -f UTF-8 -t WINDOWS-1252)
    printf '%s' "${ligne:0:25}" >>"$journal"
    sleep 0.05
    printf '%s\n' "${ligne:25}" >>"$journal"
    sleep 0.4
}
ecrire 23:41:02 '[Guilde] "Éloïse": Tout le monde est là ? On part pour la crypte.'
ecrire 23:41:15 '[Guilde] "Aldric": Prêt. J'"'"'ai les lanternes.'
ecrire 23:41:40 '{Jérôme}":"*pousse la grille rouillée*'
ecrire 23:42:05 'Vous avez dit : Je reste en arrière, je couvre la sortie.'
ecrire 23:42:31 '[Commerce] "Cœlio": Qui vend des potions de soin ?'
ecrire 23:42:58 '[Guilde] "Éloïse": Silence… j'"'"'entends quelque chose.'
ecrire 23:43:20 'Aldric vous appelle : viens voir, il y a une porte cachée'
ecrire 23:43:41 '[Guilde] "Jérôme": Une porte ! Par ici.'
# Le jeu cale au milieu d'une ligne : la vue la montre suivie d'un « … » gris (la capture), puis
# la corrige en place quand il l'achève.
ligne=$(printf '12/27/2001 23:44:02 - [Guilde] "Aldric": Attendez, je vois des traces\r' |
    LC_ALL=C iconv -f UTF-8 -t WINDOWS-1252)
LC_ALL=C printf '%s' "${ligne:0:57}" >>"$journal"
sleep 1.5
mkdir -p "$(dirname "$sortie")"
import -window root -crop 1100x600+0+0 "$sortie"
echo "Capture écrite : ${sortie#"$racine"/}"
LC_ALL=C printf '%s\n' "${ligne:57}" >>"$journal"
sleep 1.5
if [[ -n ${VEK_CAPTURE_APRES:-} ]]; then
    import -window root -crop 1100x600+0+0 "$VEK_CAPTURE_APRES"
fi
