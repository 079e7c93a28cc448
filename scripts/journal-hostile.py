#!/usr/bin/env python3
"""Écrit un journal hostile (Windows-1252 et pire) pour comparer des sorties : octets de contrôle,
NUL, octets sans caractère, fins de ligne CR seul et LF seul, dates impossibles, heures illisibles,
tags sans crochet fermant, guillemets dépareillés, lignes démesurées, balises des formats.
Usage : scripts/journal-hostile.py FICHIER [GRAINE]"""
import random
import sys

sortie, graine = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 7
r = random.Random(graine)
noms = [b"Aldric", b"\xc9lo\xefse", b"C\x9clio", b"Brune", b"[b]x[/b]", b"@everyone", b"A\"b",
        b"Tristan", b"Ysolde", b"*gras*", b"\x00nul", b"\x81\x8d\x8f\x90\x9d"]
tags = [b"[Commerce]", b"[Guilde]", b"[Taverne]", b"[March\xe9]", b"[sans fin", b"[]", b"[[x]]"]
textes = [b"salut ((hrp)) \xe0 tous", b"HRP : lag", b"\x1b[31mrouge\x07", b"<script>x</script>",
          b"[url=http://x]y[/url]", b"https://exemple.org/a_b", b"`code` ~~barr\xe9~~ > cite",
          b"Aldric vous appelle : viens", b"\x80\x81\x82\x98\x99", b"c\x9cur et \x8cuvre", b"",
          b"   ", b"Mari\xe9e le soir", b"((jamais ferm\xe9", b"<@123> <#4> <@&5> @here"]
fins = [b"\r\n"] * 8 + [b"\n", b"\r"]
lignes = []
jour, seconde = 20, 0
for i in range(6000):
    seconde += r.choice([1, 2, 5, 30, 600, 2400])
    while seconde >= 86400:
        seconde -= 86400
        jour += 1
    date = b"12/%02d/2001" % jour
    heure = b" %02d:%02d:%02d - " % (seconde // 3600, seconde // 60 % 60, seconde % 60)
    sorte = r.random()
    if sorte < 0.03:
        entete = r.choice([b"13/45/2001", b"12/32/2001", b"ab/cd/efgh", b"12-24-2001"]) + heure
    elif sorte < 0.06:
        entete = date + r.choice([b" 25:61:99 - ", b" xx:yy:zz - ", b" [21:04:05] ", b""])
    else:
        entete = date + heure
    texte = r.choice(textes)
    nom = r.choice(noms)
    corps = r.choice([
        r.choice(tags) + b' "' + nom + b'": ' + texte,
        b"{" + nom + b'}":' + b'"' + texte,
        b'"' + nom + b'": ' + texte,
        b"Vous avez dit : " + texte,
        nom + b" vous appelle : " + texte,
        texte,
    ])
    if r.random() < 0.002:
        corps += b"x" * r.choice([70000, 300000, 2100000])
    lignes.append(entete + corps + r.choice(fins))
lignes.append(b"12/31/2001 23:59:59 - [Commerce] \"Aldric\": derni\xe8re sans fin")
with open(sortie, "wb") as f:
    f.write(b"".join(lignes))
