#!/bin/sh
# Construit pour Windows, depuis Linux, avec le compilateur croisé mingw-w64 (paquet Debian
# mingw-w64) et un Qt pour mingw (scripts/qt-windows.sh), avertissements traités comme erreurs :
# VEK_Log.exe (ressource de version, icône, polices et traductions françaises dans ses
# ressources), vek-extraire.exe et les tests (GoogleTest construit depuis les sources du paquet
# Debian googletest ; tests_fenetres et tests_dialogues compris). Puis :
#   - <dossier>/VEK_Log/ : le dossier déployé, qui se suffit à lui-même (les deux programmes, les
#     DLL de Qt et d'exécution de gcc, platforms/qwindows.dll, styles/qwindowsvistastyle.dll) ;
#   - <dossier>/VEK_Log-2.0.4-win64.exe (installateur NSIS en français) et .zip (portable).
# Vérifie enfin les ressources de version des deux programmes.
#
#   scripts/croise-windows.sh [dossier de construction]   (par défaut : build/mingw)
#
# scripts/tests-windows.sh lance ensuite les tests sous wine. VEK_TACHES : tâches de compilation
# en parallèle (2 par défaut). ccache sert s'il est installé.
set -eu

racine=$(cd "$(dirname "$0")/.." && pwd)
dossier=${1:-"$racine/build/mingw"}

for outil in x86_64-w64-mingw32-g++-posix rsvg-convert makensis; do
    if ! command -v "$outil" >/dev/null 2>&1; then
        echo "croise-windows.sh : $outil introuvable (scripts/dependances.sh)." >&2
        exit 1
    fi
done
qt=$("$racine/scripts/qt-windows.sh")
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
    export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
fi

cmake -S "$racine" -B "$dossier" -G Ninja \
    --toolchain "$racine/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DVEK_WARNINGS_AS_ERRORS=ON \
    -DVEK_BUILD_UI=ON -DVEK_BUILD_TESTS=ON -DVEK_BUILD_BENCH=OFF
cmake --build "$dossier" -j "${VEK_TACHES:-2}"

# Vérifie la ressource de version d'un programme : la partie fixe (signature 0xFEEF04BD, version
# de fichier et de produit 2.0.0.4) et les textes UTF-16 du bloc français « 040C04B0 ».
verifier_ressource() {
    exe=$1 nom=$2
    ressource=$(mktemp)
    x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$ressource"
    fixe=$(od -An -tx1 -v "$ressource" | tr -d ' \n')
    case $fixe in
        *bd04effe000001000000020004000000000002000400000*) ;;
        *) echo "croise-windows.sh : version 2.0.0.4 absente de la ressource de $exe." >&2; exit 1 ;;
    esac
    textes=$(iconv -c -f UTF-16LE -t UTF-8 "$ressource" | tr -c '[:print:]' '\n')
    rm -f "$ressource"
    for attendu in 040C04B0 "FileVersion" "2.00.0004" "ProductName" "Extracteur de LOG VEK" \
                   "InternalName" "$nom" "OriginalFilename" "$nom.exe"; do
        if ! printf '%s\n' "$textes" | grep -qxF -- "$attendu"; then
            echo "croise-windows.sh : « $attendu » manque à la ressource de version de $exe." >&2
            exit 1
        fi
    done
    echo "Ressource de version de $nom.exe vérifiée : 2.00.0004, « Extracteur de LOG VEK », bloc 040C04B0."
}

for nom in vek-extraire VEK_Log; do
    exe="$dossier/$nom.exe"
    [ -f "$exe" ] || { echo "croise-windows.sh : $exe n'a pas été produit." >&2; exit 1; }
    verifier_ressource "$exe" "$nom"
done
# L'icône de VEK_Log.exe : un groupe d'icônes (type 14), IDI_ICON1, dans ses ressources.
if ! x86_64-w64-mingw32-objdump -p "$dossier/VEK_Log.exe" |
        sed -n '/Resource Directory section/,$p' | grep -q "Entry: ID: 0x00000e"; then
    echo "croise-windows.sh : VEK_Log.exe n'a pas d'icône." >&2
    exit 1
fi

# Le dossier déployé, refait à neuf.
deploye="$dossier/VEK_Log"
rm -rf "$deploye"
cmake --install "$dossier" --prefix "$deploye" --strip >/dev/null
for f in VEK_Log.exe vek-extraire.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
         platforms/qwindows.dll styles/qwindowsvistastyle.dll \
         libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    [ -f "$deploye/$f" ] || { echo "croise-windows.sh : $f manque à $deploye." >&2; exit 1; }
done
echo "Dossier déployé : $deploye"

# L'installateur et l'archive portable.
(cd "$dossier" && cpack -G "NSIS;ZIP" >/dev/null)
for paquet in "$dossier"/VEK_Log-*-win64.exe "$dossier"/VEK_Log-*-win64.zip; do
    [ -f "$paquet" ] || { echo "croise-windows.sh : $paquet n'a pas été produit." >&2; exit 1; }
    echo "Paquet : $paquet ($(du -k "$paquet" | cut -f1) Kio)"
done
