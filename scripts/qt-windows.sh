#!/usr/bin/env bash
# Rend disponible un Qt 6.4.2 pour Windows 64 bits (mingw-w64, fils posix : Core, Gui, Widgets,
# Test, greffons « windows » et « offscreen ») et écrit sur sa sortie le dossier où il se trouve
# (celui qu'attend -DCMAKE_PREFIX_PATH). Les messages vont sur la sortie d'erreur.
#
#   scripts/qt-windows.sh            le Qt prêt, déballé ou construit au besoin
#   scripts/qt-windows.sh --sources  obtient seulement les sources et écrit la ligne de
#                                    configuration (sans construire)
#
# Deux voies, dans cet ordre :
#  1. l'archive ../shared/qt-mingw/qt-6.4.2-mingw-w64.tar.zst à côté du dépôt (ou
#     $VEK_QT_ARCHIVE), déballée si sa somme SHA-256 est celle de SHA256SUMS ;
#  2. sinon, la même construction depuis le paquet source de Debian (apt-get source qt6-base),
#     avec la même ligne de configuration : une demi-heure environ sur deux cœurs.
# Le résultat va dans un dossier de cache hors de l'arbre des sources :
# $VEK_CACHE_QT, par défaut ${XDG_CACHE_HOME:-~/.cache}/vek-log/qt-6.4.2-mingw-w64.
set -euo pipefail

racine=$(cd "$(dirname "$0")/.." && pwd)
version=6.4.2
partage=${VEK_QT_PARTAGE:-"$racine/../shared/qt-mingw"}
archive=${VEK_QT_ARCHIVE:-"$partage/qt-$version-mingw-w64.tar.zst"}
cache=${VEK_CACHE_QT:-"${XDG_CACHE_HOME:-$HOME/.cache}/vek-log/qt-$version-mingw-w64"}
prefixe="$cache/install"
dire() { echo "qt-windows.sh : $*" >&2; }

# Un Qt déjà en place (déballé ou construit par un passage précédent) sert tel quel : la marque
# n'est posée qu'une fois le dossier complet.
pret() { [ -f "$cache/.pret" ] && [ -f "$prefixe/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; }

deballer() {
    local sommes="$partage/SHA256SUMS" attendue obtenue
    [ -f "$archive" ] || return 1
    attendue=""
    [ -f "$sommes" ] && attendue=$(awk -v n="$(basename "$archive")" '$2 == n {print $1}' "$sommes")
    if [ -z "$attendue" ]; then
        dire "pas de somme pour $(basename "$archive") dans $sommes : archive ignorée."
        return 1
    fi
    obtenue=$(sha256sum "$archive" | cut -d' ' -f1)
    if [ "$obtenue" != "$attendue" ]; then
        dire "somme SHA-256 de $archive inattendue ($obtenue) : archive ignorée."
        return 1
    fi
    dire "déballage de $archive dans $cache"
    rm -rf "$cache.partiel"
    mkdir -p "$cache.partiel"
    tar -I zstd -xf "$archive" -C "$cache.partiel"
    [ -f "$cache.partiel/install/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] || {
        dire "l'archive ne contient pas install/lib/cmake/Qt6Widgets."
        return 1
    }
    touch "$cache.partiel/.pret"
    rm -rf "$cache"
    mv "$cache.partiel" "$cache"
}

# Ajoute, si le système n'en a pas, les dépôts de sources qui répondent à ses dépôts Debian
# (format deb822 de /etc/apt/sources.list.d/debian.sources, ou lignes « deb » de sources.list).
sources_apt() {
    if apt-get source --print-uris qt6-base >/dev/null 2>&1; then return 0; fi
    [ "$(id -u)" -eq 0 ] || { dire "pas de ligne deb-src : ajoutez-en une (root), puis apt-get update."; return 1; }
    local liste
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        liste=/etc/apt/sources.list.d/vek-sources.sources
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$liste"
    else
        liste=/etc/apt/sources.list.d/vek-sources.list
        sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list >"$liste"
    fi
    dire "lignes deb-src ajoutées dans $liste"
    apt-get update -qq
}

# La ligne de configuration de l'archive partagée, reprise telle quelle.
configurer() {
    local src=$1 construction=$2
    mkdir -p "$construction"
    (cd "$construction" && "$src/configure" -prefix "$prefixe" \
        -xplatform win32-g++ -qt-host-path /usr -release -shared -nomake examples -nomake tests \
        -no-opengl -no-dbus -no-icu -no-zstd -no-pkg-config \
        -no-feature-network -no-feature-sql -no-feature-printsupport -no-feature-xml \
        -no-feature-concurrent -no-feature-tabletevent -no-feature-androiddeployqt \
        -no-feature-direct2d1_1 \
        -qt-libpng -qt-zlib -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion \
        -qt-libmd4c \
        -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$racine/cmake/mingw-w64.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
}

construire() {
    local seulement_sources=${1:-0} travail src
    travail="$cache.sources"
    mkdir -p "$travail"
    sources_apt
    (cd "$travail" && { ls -d qt6-base-*/ >/dev/null 2>&1 || apt-get source qt6-base >&2; })
    src=$(cd "$travail" && ls -d "$travail"/qt6-base-"$version"*/ | head -n 1)
    src=${src%/}
    [ -d "$src" ] || { dire "sources de qt6-base introuvables dans $travail."; return 1; }
    dire "sources : $src"
    if [ "$seulement_sources" = 1 ]; then
        configurer "$src" "$travail/construction" >&2
        dire "configuration faite dans $travail/construction (non construit)."
        return 0
    fi
    dire "construction de Qt $version pour Windows (une demi-heure environ sur deux cœurs)"
    configurer "$src" "$travail/construction" >&2
    cmake --build "$travail/construction" -j "${VEK_TACHES:-2}" >&2
    cmake --install "$travail/construction" >&2
    touch "$cache/.pret"
}

if [ "${1:-}" = "--sources" ]; then
    construire 1
    exit 0
fi
if ! pret; then
    deballer || construire
fi
pret || { dire "aucun Qt pour Windows n'a pu être préparé."; exit 1; }
printf '%s\n' "$prefixe"
