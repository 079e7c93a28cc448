#!/bin/sh
# Construit pour Windows, depuis Linux, le moteur, la couche plate-forme et vek-extraire avec le
# compilateur croisé mingw-w64 (paquet Debian mingw-w64), avertissements traités comme erreurs.
# Le programme à fenêtres, les tests et les mesures restent hors de cette construction.
#
#   scripts/croise-windows.sh [dossier de construction]   (par défaut : build/mingw)
#
# Résultat : <dossier>/app/vek-extraire.exe (avec sa ressource de version).
set -eu

racine=$(cd "$(dirname "$0")/.." && pwd)
dossier=${1:-"$racine/build/mingw"}

if ! command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1; then
    echo "croise-windows.sh : x86_64-w64-mingw32-g++ introuvable (paquet mingw-w64)." >&2
    exit 1
fi

cmake -S "$racine" -B "$dossier" -G Ninja \
    --toolchain "$racine/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DVEK_WARNINGS_AS_ERRORS=ON \
    -DVEK_BUILD_UI=OFF -DVEK_BUILD_TESTS=OFF -DVEK_BUILD_BENCH=OFF
cmake --build "$dossier" -j "${VEK_TACHES:-2}"

exe=$(find "$dossier" -name 'vek-extraire.exe' -print | head -n 1)
if [ -z "$exe" ]; then
    echo "croise-windows.sh : vek-extraire.exe n'a pas été produit." >&2
    exit 1
fi
echo "Programme Windows : $exe"
