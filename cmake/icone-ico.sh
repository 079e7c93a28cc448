#!/bin/sh
# Rassemble des images PNG carrées (256 pixels au plus) en une icône Windows (.ico) : l'en-tête,
# une entrée de 16 octets par image, puis les PNG tels quels (forme admise depuis Windows Vista).
#
#   sh cmake/icone-ico.sh sortie.ico icone-16.png icone-32.png ...
set -eu
sortie=$1
shift

# Entier en petit-boutiste sur <n> octets, écrit en échappements octaux pour printf.
octets() {
    v=$1 n=$2 r=""
    while [ "$n" -gt 0 ]; do
        r="$r$(printf '\\%03o' $((v & 255)))"
        v=$((v >> 8))
        n=$((n - 1))
    done
    printf "$r"
}
# Largeur d'un PNG : octets 16 à 19 de son en-tête IHDR, en gros-boutiste.
largeur() { od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}'; }

temporaire="$sortie.partiel"
{
    octets 0 2
    octets 1 2
    octets $# 2
    decalage=$((6 + 16 * $#))
    for png in "$@"; do
        l=$(largeur "$png")
        [ "$l" -le 256 ] || { echo "icone-ico.sh : $png dépasse 256 pixels" >&2; exit 1; }
        taille=$(wc -c <"$png")
        octets $((l % 256)) 1 # 0 veut dire 256
        octets $((l % 256)) 1
        octets 0 1
        octets 0 1
        octets 1 2
        octets 32 2
        octets "$taille" 4
        octets "$decalage" 4
        decalage=$((decalage + taille))
    done
    cat "$@"
} >"$temporaire"
mv "$temporaire" "$sortie"
