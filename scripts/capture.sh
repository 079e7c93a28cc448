#!/usr/bin/env bash
# Capture d'écran du README : la fenêtre principale de VEK_Log à 2× (QT_SCALE_FACTOR=2) sur un
# écran de 1920 × 1080, après une recherche sur le journal d'exemple et l'écriture du journal final
# (la barre d'état dit où il est allé), rendue hors écran (QWidget::grab, aucun affichage
# nécessaire) dans docs/capture-2x.png : elle tient entière à l'écran. La route du soir et la
# fenêtre « Analyse :) » : scripts/capture-soiree.sh.
#
# Usage : scripts/capture.sh [DOSSIER_DE_CONSTRUCTION]   (défaut : build/dev, configuré au besoin)
set -euo pipefail

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
construction=$(realpath -m "${1:-$racine/build/dev}")
sortie=$racine/docs/capture-2x.png

if [[ ! -f $construction/CMakeCache.txt ]]; then
    cmake -S "$racine" -B "$construction" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVEK_WARNINGS_AS_ERRORS=ON >/dev/null
fi
cmake --build "$construction" --target vek-capture >/dev/null

# Le journal d'exemple du projet ; à défaut, un petit journal fabriqué ici (Windows-1252, CR LF,
# date mois d'abord, corps à la position 23).
polices=$(mktemp -d)
travail=$(mktemp -d) # dossier personnel, dossier du programme et résumé jetés
fabrique=
trap 'rm -rf "$polices" "$travail" ${fabrique:+"$fabrique"}' EXIT
dossier=$racine
journal=exemples/journal-exemple.txt
if [[ ! -f $racine/$journal ]]; then
    fabrique=$(mktemp -d)
    dossier=$fabrique
    journal=journal-exemple.txt
    {
        printf '12/24/2001 20:01:12 - [Commerce] "Aldric": je vends une lanterne\r\n'
        printf '12/24/2001 20:02:40 - {B\xe9reng\xe8re}":"bonsoir \xe0 tous\r\n'
        printf '12/24/2001 20:03:05 - Vous avez dit : bonsoir\r\n'
        printf '12/25/2001 09:15:33 - [Guilde] "C\x9clio": r\xe9union ce soir\r\n'
        printf '12/25/2001 09:16:02 - Aldric vous appelle : tu viens ?\r\n'
        printf '12/26/2001 18:45:10 - [Aide] "Fran\xe7ois": o\xf9 est la taverne ?\r\n'
    } >"$dossier/$journal"
fi

# Aucune police de la machine : la capture ne montre que les polices livrées par le programme,
# comme sur toute autre machine.
mkdir -p "$polices/vide" "$polices/cache"
cat >"$polices/fonts.conf" <<FIN
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$polices/vide</dir><cachedir>$polices/cache</cachedir></fontconfig>
FIN

# Un écran de 1920 × 1080 pixels (le greffon hors écran le lit d'un fichier), à 2×.
cat >"$travail/ecran.json" <<FIN
{"screens": [{"name": "1080p", "x": 0, "y": 0, "width": 1920, "height": 1080,
  "logicalDpi": 96, "logicalBaseDpi": 96}]}
FIN

mkdir -p "$(dirname "$sortie")"
mkdir -p "$travail/personnel"
(cd "$dossier" && FONTCONFIG_FILE=$polices/fonts.conf \
    QT_QPA_PLATFORM=offscreen:configfile=$travail/ecran.json QT_SCALE_FACTOR=2 \
    HOME=$travail/personnel XDG_CONFIG_HOME=$travail/personnel/.config \
    "$construction/app/vek-capture" "$journal" "$sortie" "$travail/analyse.png" \
    "$travail/VEK_Log")
echo "Capture écrite : ${sortie#"$racine"/}"
