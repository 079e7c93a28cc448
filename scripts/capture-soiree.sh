#!/usr/bin/env bash
# Captures du README, et la route qu'elles montrent : « la scène du soir à trois personnages,
# sans HRP, sur un forum et sur Discord », dans le vrai VEK_Log sous Xvfb, piloté par xdotool
# comme un utilisateur : huit clics (marqués « clic » ci-dessous) et trois raccourcis. Le script
# vérifie ce qui est écrit (les trois personnages, rien d'autre, pas de HRP, une seule partie pour
# Discord) et écrit docs/capture-analyse.png (« Ce soir » sélectionné) et docs/capture-soiree.png
# (la fenêtre au bout de la route).
#
# Usage : scripts/capture-soiree.sh [DOSSIER_DE_CONSTRUCTION]   (défaut : build/dev, construit)
set -euo pipefail

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
construction=$(realpath -m "${1:-$racine/build/dev}")
[[ -x $construction/app/VEK_Log ]] || { echo "capture-soiree.sh : VEK_Log manque" >&2; exit 1; }

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
# Un clic à une place de la fenêtre (polices livrées : la même place partout ; le menu prend les
# 18 premiers pixels).
clic() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.8; }
touches() {
    xdotool windowfocus --sync "$principale" mousemove --window "$principale" 200 250
    xdotool key "$@"
    sleep 0.8
}

clic "$principale" 380 154 # 1. « ... » au bout de « Charger le fichier LOG »
dialogue=$(xdotool search --sync --onlyvisible --name '^Chemin du fichier LOG Q7R$')
# 2. le journal dans le dialogue (un double-clic ; ici son nom et Entrée, plus sûr à l'aveugle)
xdotool windowfocus --sync "$dialogue" mousemove --window "$dialogue" 20 20
xdotool type --delay 20 journal-exemple.txt
sleep 0.3
xdotool key Return
analyse=$(xdotool search --sync --onlyvisible --name '^Analyse')
sleep 1
clic "$analyse" 176 278 # 3. « Ce soir »
mkdir -p "$racine/docs"
import -window "$analyse" "$racine/docs/capture-analyse.png"
clic "$analyse" 280 278 # 4. « Choisir » : la période, la fenêtre fermée, la recherche lancée
sleep 1
clic "$principale" 34 404 # 5. Aldric
clic "$principale" 34 418 # 6. Éloïse
clic "$principale" 34 432 # 7. Gaël
clic "$principale" 239 486 # 8. « Sélectionnez tous les channels »
touches ctrl+h            # « Sans HRP »
touches ctrl+shift+f      # « Copier pour un forum »
touches ctrl+shift+d      # « Copier pour Discord… » : une partie, droit dans le presse-papiers
sleep 1
import -window "$principale" "$racine/docs/capture-soiree.png"

# Ce qui a été écrit : les trois personnages de la soirée, sans HRP, Discord en une partie.
forum=$(iconv -f UTF-8 -t UTF-8 "$travail/programme/LogFinal-forum.txt")
discord=$(cat "$travail/programme/LogFinal-discord.txt")
for nom in Aldric Éloïse Gaël; do
    grep -q "$nom" <<<"$forum" || { echo "capture-soiree.sh : $nom manque au forum" >&2; exit 1; }
done
for absent in Agnès Hélène Jérôme 'Partie 1/1'; do
    if grep -q "$absent" <<<"$forum$discord"; then
        echo "capture-soiree.sh : « $absent » ne devrait pas y être" >&2
        exit 1
    fi
done
echo "Route vérifiée : $(grep -c . <<<"$forum") lignes pour le forum, Discord en une partie."
echo "Captures écrites : docs/capture-analyse.png, docs/capture-soiree.png"
