#!/usr/bin/env bash
# Installe les paquets Debian nécessaires quand ils manquent (root ou sudo).
set -euo pipefail

# Construction : compilateur, Qt 6 et ses traductions françaises (rangées dans les ressources),
# rsvg-convert (les dessins SVG rendus en PNG), GoogleTest. Tests des fenêtres : deux jeux de
# polices du système (DejaVu, Liberation), sous lesquels les fenêtres doivent rester identiques ;
# le programme, lui, apporte les siennes.
paquets=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev librsvg2-bin
         qt6-translations-l10n libgtest-dev libgmock-dev fonts-dejavu-core fonts-liberation2)
# Construction croisée pour Windows : mingw-w64, les sources de GoogleTest (construit avec lui),
# zstd (l'archive du Qt pour mingw), nsis (l'installateur) et wine64, qui lance les tests
# construits pour Windows ; Xvfb, xdotool et imagemagick (import) pour la vraie fenêtre sous wine.
[ "${VEK_AVEC_CROISE:-1}" = 1 ] &&
  paquets+=(g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix googletest wine64 zstd nsis xvfb
            xdotool imagemagick)
[ $# -gt 0 ] && paquets+=("$@")

manquants=()
for p in "${paquets[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || manquants+=("$p")
done
[ ${#manquants[@]} -eq 0 ] && exit 0

echo "Installation des paquets manquants : ${manquants[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); elif command -v sudo >/dev/null; then sudo=(sudo); else
  echo "Il faut être root (ou avoir sudo) pour installer : ${manquants[*]}" >&2; exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${manquants[@]}"
