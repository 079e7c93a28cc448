#!/usr/bin/env bash
# L'installateur Windows sous wine64, dans un préfixe jetable, sur un affichage virtuel (Xvfb) :
# installation silencieuse (/S) dans Program Files, raccourci « Extracteur de LOG VEK » du menu
# Démarrer, démarrage du programme installé jusqu'à sa fenêtre, puis désinstallation silencieuse,
# qui ne laisse ni le dossier ni le raccourci.
#
#   scripts/essai-installateur.sh [dossier de construction]   (par défaut : build/mingw)
set -euo pipefail

racine=$(cd "$(dirname "$0")/.." && pwd)
dossier=${1:-"$racine/build/mingw"}
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
serveur=$(command -v wineserver || echo /usr/lib/wine/wineserver)
installateur=$(ls "$dossier"/VEK_Log-*-win64.exe 2>/dev/null | head -n 1 || true)
[ -f "$installateur" ] || {
    echo "essai-installateur.sh : pas d'installateur dans $dossier (scripts/croise-windows.sh)." >&2
    exit 1
}

essai=$(mktemp -d "${TMPDIR:-/tmp}/vek-essai-installateur-XXXXXX")
WINEPREFIX="$essai/prefixe"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
numero=80
while [ -e "/tmp/.X$numero-lock" ] || [ -e "/tmp/.X11-unix/X$numero" ]; do numero=$((numero + 1)); done
export DISPLAY=":$numero"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
fin() {
    "$serveur" -k || true
    kill "$xvfb" || true
    wait "$xvfb" || true
    rm -rf "$essai"
}
trap fin EXIT
# xdotool, sans ses avertissements sur le focus de Xvfb (sans gestionnaire de fenêtres).
xdo() { xdotool "$@" 2>/dev/null; }
echec() { echo "essai-installateur.sh : $*" >&2; exit 1; }

"$wine" wineboot -i >/dev/null 2>&1
"$serveur" -w
programmes="$WINEPREFIX/drive_c/Program Files/VEK_Log"

# 1. Installation silencieuse.
"$wine" "$installateur" /S >/dev/null 2>&1 || echec "l'installateur a échoué."
"$serveur" -w
for f in VEK_Log.exe vek-extraire.exe Qt6Widgets.dll platforms/qwindows.dll \
         styles/qwindowsvistastyle.dll libstdc++-6.dll Desinstaller.exe; do
    [ -f "$programmes/$f" ] || echec "$f manque à Program Files\\VEK_Log après l'installation."
done
raccourci=$(find "$WINEPREFIX/drive_c" -name 'Extracteur de LOG VEK.lnk' -print -quit)
[ -n "$raccourci" ] || echec "pas de raccourci « Extracteur de LOG VEK » au menu Démarrer."
cle='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VEK_Log'
"$wine" reg query "$cle" /v DisplayName 2>/dev/null | grep -q "Extracteur de LOG VEK" ||
    echec "le programme n'est pas inscrit parmi les programmes à désinstaller."
echo "Installé en silence : Program Files\\VEK_Log, raccourci « ${raccourci#"$WINEPREFIX/drive_c/"} »."

# 2. Le programme installé démarre et montre sa fenêtre ; Ctrl+Q le termine.
(cd "$programmes" && exec "$wine" VEK_Log.exe >/dev/null 2>&1) &
disown
fenetre=""
for _ in $(seq 1 80); do
    fenetre=$(xdo search --name "^Cercle des Lanternes Sourdes\$" 2>/dev/null | tail -n 1 || true)
    [ -n "$fenetre" ] && break
    sleep 0.25
done
[ -n "$fenetre" ] || echec "le programme installé n'a pas ouvert sa fenêtre."
sleep 1
# Un Ctrl+Q perdu (fenêtre pas encore prête) est renvoyé ; rien ne reste à attendre sans fin.
for _ in $(seq 1 10); do
    xdo key --window "$fenetre" ctrl+q 2>/dev/null
    sleep 1
    xdo search --name "^Cercle des Lanternes Sourdes\$" >/dev/null 2>&1 || break
done
timeout 60 "$serveur" -w || { "$serveur" -k; echec "Ctrl+Q n'a pas fermé le programme installé."; }
echo "Le programme installé s'ouvre sur sa fenêtre principale."

# 3. Désinstallation silencieuse : ni dossier, ni raccourci, ni inscription.
"$wine" "$programmes/Desinstaller.exe" /S >/dev/null 2>&1 || echec "le désinstalleur a échoué."
"$serveur" -w
for _ in $(seq 1 40); do [ -e "$programmes/VEK_Log.exe" ] || break; sleep 0.5; done
[ ! -e "$programmes/VEK_Log.exe" ] || echec "VEK_Log.exe est resté après la désinstallation."
[ ! -e "$raccourci" ] || echec "le raccourci du menu Démarrer est resté après la désinstallation."
if "$wine" reg query "$cle" >/dev/null 2>&1; then
    echec "l'inscription du programme est restée après la désinstallation."
fi
echo "Désinstallé en silence : dossier, raccourci et inscription retirés ($(du -k "$installateur" | cut -f1) Kio d'installateur)."
