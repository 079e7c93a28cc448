#!/usr/bin/env bash
# Lance sous wine64, dans un préfixe jetable, les tests construits pour Windows par
# scripts/croise-windows.sh (moteur, plate-forme, ligne de commande, ce qui n'existe que sous
# Windows, et les fenêtres hors écran avec les seules polices livrées), puis, si Xvfb est là, la
# vraie fenêtre sous wine (scripts/essai-wine.sh) et l'installateur (scripts/essai-installateur.sh).
# Le préfixe reçoit d'abord les clés d'essai du registre et une visionneuse factice associée à
# « .txt ». Code de sortie non nul au premier échec.
#
#   scripts/tests-windows.sh [dossier de construction]   (par défaut : build/mingw)
set -euo pipefail

racine=$(cd "$(dirname "$0")/.." && pwd)
dossier=${1:-"$racine/build/mingw"}
wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
if [ -z "$wine" ]; then
    echo "tests-windows.sh : wine64 introuvable (paquet Debian wine64)." >&2
    exit 1
fi
serveur=$(command -v wineserver || echo /usr/lib/wine/wineserver)

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/vek-wine-XXXXXX")
# Locale fixe : wine en tire la page de code ANSI (Windows-1252) et lit en UTF-8 les arguments
# de « reg add ».
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
trap '"$serveur" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
"$wine" wineboot -i >/dev/null 2>&1

# Chemin Windows (lecteur Z:) d'un fichier de la machine.
windows() { printf 'Z:%s' "${1//\//\\}"; }
cle() { "$wine" reg add "$@" /f >/dev/null 2>&1; }
visionneuse=$(windows "$dossier/vek-visionneuse-essai.exe")
cle 'HKLM\Software\Classes\.txt' /ve /d vek.essai
cle 'HKLM\Software\Classes\vek.essai\shell\open\command' /ve /d "\"$visionneuse\" \"%1\""
"$serveur" -w
export VEK_PREFIXE_PREPARE=1
# Les tests liés à Qt trouvent ses DLL dans le dossier déployé (Qt6Test à part, dans le Qt
# construit pour Windows) et le greffon hors écran parmi ses greffons. Wine ne transmet pas les
# variables QT_* : WINEQT_PLUGIN_PATH devient QT_PLUGIN_PATH ; les tests de fenêtres se mettent
# eux-mêmes hors écran et ne voient que les polices livrées.
qt=$("$racine/scripts/qt-windows.sh")
WINEPATH="$(windows "$dossier/VEK_Log");$(windows "$qt/bin")"
WINEQT_PLUGIN_PATH=$(windows "$qt/plugins")
export WINEPATH WINEQT_PLUGIN_PATH

total=0
for t in tests_plateforme tests_moteur tests_extraire tests_windows tests_fenetres tests_dialogues; do
    exe="$dossier/$t.exe"
    [ -f "$exe" ] || { echo "tests-windows.sh : $exe manque." >&2; exit 1; }
    # Borné : un essai de fenêtre bloqué sous wine (rare, vu une fois en quatre passages de
    # tests_fenetres) est relancé une fois, puis compte comme un échec.
    code=0
    sortie=$(timeout 300 "$wine" "$exe" --gtest_brief=1 2>&1) || code=$?
    if [ "$code" -eq 124 ]; then
        echo "tests-windows.sh : $t bloqué sous wine après 300 s ; relancé une fois." >&2
        "$serveur" -k 2>/dev/null || true
        code=0
        sortie=$(timeout 300 "$wine" "$exe" --gtest_brief=1 2>&1) || code=$?
    fi
    if [ "$code" -ne 0 ]; then
        echo "$sortie"
        echo "tests-windows.sh : échec de $t sous wine." >&2
        exit 1
    fi
    n=$(printf '%s\n' "$sortie" | sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from.*/\1/p' | tail -n 1)
    echo "$t : ${n:-?} tests passés sous wine"
    total=$((total + ${n:-0}))
done

# vek-extraire.exe lui-même, sur le journal d'exemple rangé dans un dossier accentué (les
# arguments arrivent en UTF-16 et deviennent des chemins Windows-1252) : le journal final est
# celui de vek-extraire construit pour Linux, à la date d'extraction près.
essai=$(mktemp -d "${TMPDIR:-/tmp}/vek-essai-XXXXXX")
trap '"$serveur" -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$essai"' EXIT
mkdir -p "$essai/Été à Noël" "$essai/linux"
cp "$racine/exemples/journal-exemple.txt" "$essai/Été à Noël/journal.txt"
"$wine" "$dossier/vek-extraire.exe" -q --tous-channels --tout-le-monde --rp \
    --dossier "$(windows "$essai/Été à Noël")" "$(windows "$essai/Été à Noël/journal.txt")" \
    >/dev/null
[ -f "$essai/Été à Noël/LogFinal.txt" ] || {
    echo "tests-windows.sh : vek-extraire.exe n'a pas écrit LogFinal.txt dans le dossier accentué." >&2
    exit 1
}
linux="$racine/build/dev/app/vek-extraire"
if [ -x "$linux" ]; then
    "$linux" -q --tous-channels --tout-le-monde --rp --dossier "$essai/linux" \
        "$essai/Été à Noël/journal.txt" >/dev/null
    if ! diff <(grep -av "LOG extrait le" "$essai/Été à Noël/LogFinal.txt") \
              <(grep -av "LOG extrait le" "$essai/linux/LogFinal.txt") >/dev/null; then
        echo "tests-windows.sh : le journal final de vek-extraire.exe diffère de celui de Linux." >&2
        exit 1
    fi
    echo "vek-extraire.exe : même journal final que sous Linux (dossier accentué)"
fi
echo "Sous wine : $total tests passés."

# La vraie fenêtre et l'installateur, sur un affichage virtuel.
if command -v Xvfb >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1; then
    "$racine/scripts/essai-wine.sh" "$dossier"
    "$racine/scripts/essai-installateur.sh" "$dossier"
else
    echo "tests-windows.sh : Xvfb ou xdotool absent, essais de la vraie fenêtre sautés." >&2
fi
