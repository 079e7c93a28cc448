# Le début commun des scripts de capture (à sourcer) : le vrai VEK_Log sous Xvfb, sans aucune
# police de la machine, copié dans un dossier à lui (où il écrit ses sorties), les journaux dans
# $travail/jeu (le dossier courant du programme, où s'ouvre le dialogue).
#
#   preparer_capture NOM_DU_SCRIPT [PROGRAMME…]   racine, construction ($1 du script, défaut
#                                                 build/dev), travail, l'écran Xvfb démarré ;
#                                                 chaque PROGRAMME (relatif à construction) doit
#                                                 exister, en plus de app/VEK_Log
#   lancer_vek [ARGUMENTS…]                        VEK_Log lancé, principale : sa fenêtre, en 0,0

# shellcheck disable=SC2034 # les variables servent au script qui source
racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
travail=
xvfb=
vek=

preparer_capture() {
    local nom=$1 programme
    shift
    for programme in app/VEK_Log "$@"; do
        [[ -x $construction/$programme ]] || { echo "$nom : $programme manque" >&2; exit 1; }
    done
    travail=$(mktemp -d)
    trap '[[ -n $vek ]] && kill "$vek" 2>/dev/null; [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null; rm -rf "$travail"' EXIT
    mkdir -p "$travail/polices/vide" "$travail/polices/cache" "$travail/personnel" \
        "$travail/jeu" "$travail/programme"
    cat >"$travail/fonts.conf" <<FIN
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$travail/polices/vide</dir><cachedir>$travail/polices/cache</cachedir></fontconfig>
FIN
    cp "$construction/app/VEK_Log" "$travail/programme/"
    local ecran=:$((90 + RANDOM % 100))
    Xvfb "$ecran" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$ecran
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

lancer_vek() {
    (cd "$travail/jeu" && FONTCONFIG_FILE=$travail/fonts.conf HOME=$travail/personnel \
        XDG_CONFIG_HOME=$travail/personnel/.config "$travail/programme/VEK_Log" "$@") &
    vek=$!
    principale=$(xdotool search --sync --onlyvisible --name '^Cercle des Lanternes Sourdes$')
    xdotool windowmove "$principale" 0 0
}
