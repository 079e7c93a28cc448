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

construction=$(realpath -m "${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/dev}")
# shellcheck source=scripts/capture-commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/capture-commun.sh"
preparer_capture capture-soiree.sh
cp "$racine/exemples/journal-exemple.txt" "$travail/jeu/"
lancer_vek
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
