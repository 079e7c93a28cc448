#!/usr/bin/env python3
"""Délai entre une ligne ajoutée au journal par un écrivain et son impression par
vek-extraire --suivre : 100 ajouts à intervalles tirés au hasard (graine fixe), médiane et pire.
Puis le temps processeur de vek-extraire pendant un silence du journal.

Utilisation : bench/bench_suivre.py CHEMIN/vek-extraire [DOSSIER_DE_TRAVAIL] [SECONDES_DE_SILENCE]
"""
import os, random, resource, signal, statistics, subprocess, sys, tempfile, time

binaire = sys.argv[1]
travail = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="vek-bench-suivre-")
silence = float(sys.argv[3]) if len(sys.argv) > 3 else 60.0
journal = os.path.join(travail, "Chat.TXT")
with open(journal, "wb") as f:
    f.write(b"12/24/2001 20:00:00 - [Commerce] \"Aldric\": debut\r\n")
p = subprocess.Popen([binaire, "--suivre", "-q", "--tous-channels", "--tout-le-monde",
                      "--debut", "24/12/2001", "--fin", "24/12/2001", "--dossier", travail, journal],
                     stdout=subprocess.PIPE)
time.sleep(0.5)  # la première recherche
alea = random.Random(26)
delais = []
for n in range(100):
    time.sleep(alea.uniform(0.01, 0.3))
    ligne = b"12/24/2001 20:00:00 - [Commerce] \"Aldric\": ajout %d\r\n" % n
    with open(journal, "ab") as f:
        # Le jeu écrit la ligne en deux fois.
        f.write(ligne[:30]); f.flush()
        debut = time.monotonic()
        f.write(ligne[30:])
    lue = p.stdout.readline()
    delais.append(time.monotonic() - debut)
    assert lue.decode().strip().endswith("ajout %d" % n), lue
with open("/proc/%d/stat" % p.pid) as f:
    champs = f.read().split(")")[1].split()
    avant = int(champs[11]) + int(champs[12])
time.sleep(silence)
with open("/proc/%d/stat" % p.pid) as f:
    champs = f.read().split(")")[1].split()
    apres = int(champs[11]) + int(champs[12])
p.send_signal(signal.SIGINT)
reste = p.stdout.read()
code = p.wait()
tic = os.sysconf("SC_CLK_TCK")
delais.sort()
print("ajout -> impression : médiane %.1f ms, pire %.1f ms (100 ajouts)" %
      (statistics.median(delais) * 1000, delais[-1] * 1000))
print("processeur pendant %.0f s de silence : %.3f s (%.2f %% d'un cœur)" %
      (silence, (apres - avant) / tic, 100.0 * (apres - avant) / tic / silence))
print("arrêt par SIGINT : code %d, sortie finale %s" % (code, reste.decode().strip()))
sys.exit(0 if code == 0 and delais[-1] <= 0.25 else 1)
