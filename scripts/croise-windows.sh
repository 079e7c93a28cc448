#!/bin/sh
# Construit pour Windows, depuis Linux, le moteur, la couche plate-forme, vek-extraire et leurs
# tests avec le compilateur croisé mingw-w64 (paquet Debian mingw-w64), avertissements traités
# comme erreurs ; GoogleTest est construit depuis les sources du paquet Debian googletest. Le
# programme à fenêtres (pas de Qt pour mingw ici) et les mesures restent hors de cette
# construction. Vérifie enfin la ressource de version de vek-extraire.exe.
#
#   scripts/croise-windows.sh [dossier de construction]   (par défaut : build/mingw)
#
# Résultat : <dossier>/app/vek-extraire.exe et <dossier>/tests/*.exe (scripts/tests-windows.sh
# les lance sous wine).
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
    -DVEK_BUILD_UI=OFF -DVEK_BUILD_TESTS=ON -DVEK_BUILD_BENCH=OFF
cmake --build "$dossier" -j "${VEK_TACHES:-2}"

exe=$(find "$dossier" -name 'vek-extraire.exe' -print | head -n 1)
if [ -z "$exe" ]; then
    echo "croise-windows.sh : vek-extraire.exe n'a pas été produit." >&2
    exit 1
fi
echo "Programme Windows : $exe"

# La ressource de version : la partie fixe (signature 0xFEEF04BD, version de fichier et de
# produit 2.0.0.4) et les textes UTF-16 du bloc français « 040C04B0 ».
ressource=$(mktemp)
trap 'rm -f "$ressource"' EXIT
x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$ressource"
fixe=$(od -An -tx1 -v "$ressource" | tr -d ' \n')
case $fixe in
    *bd04effe000001000000020004000000000002000400000*) ;;
    *) echo "croise-windows.sh : version 2.0.0.4 absente de la ressource de $exe." >&2; exit 1 ;;
esac
textes=$(iconv -c -f UTF-16LE -t UTF-8 "$ressource" | tr -c '[:print:]' '\n')
for attendu in 040C04B0 "FileVersion" "2.00.0004" "ProductName" "Extracteur de LOG VEK" \
               "InternalName" "vek-extraire" "OriginalFilename" "vek-extraire.exe"; do
    if ! printf '%s\n' "$textes" | grep -qxF -- "$attendu"; then
        echo "croise-windows.sh : « $attendu » manque à la ressource de version de $exe." >&2
        exit 1
    fi
done
echo "Ressource de version vérifiée : 2.00.0004, « Extracteur de LOG VEK », bloc 040C04B0."
