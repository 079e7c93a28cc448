#!/usr/bin/env python3
"""La vue « En direct » de VEK_Log (vek-bench-direct : la vraie fenêtre, hors écran, qui suit le
journal) contre un écrivain qui ajoute au journal, comme le jeu :
  1. délai d'une ligne ajoutée (écrite en deux fois) à sa vue : 100 ajouts à intervalles tirés
     au hasard (graine fixe), médiane et pire ; cible 250 ms ;
  2. processeur de la fenêtre pendant un silence du journal (défaut 60 s) ; cible < 1 % d'un cœur ;
  3. mémoire pendant une heure de jeu simulée à 5 lignes par seconde (18 000 lignes) : la
     simulation est accélérée, chaque « seconde » écrit ses 5 lignes puis attend que la vue les
     ait montrées, sans pause ; la mémoire résidente est relevée toutes les 10 minutes simulées.
Le processeur est lu dans /proc (temps utilisateur + système), à côté du temps écoulé.

Utilisation : bench/bench_direct.py CHEMIN/vek-bench-direct [DOSSIER_DE_TRAVAIL] [SECONDES_DE_SILENCE]
"""
import os, random, signal, statistics, subprocess, sys, tempfile, time

binaire = sys.argv[1]
travail = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="vek-bench-direct-")
silence = float(sys.argv[3]) if len(sys.argv) > 3 else 60.0
journal = os.path.join(travail, "Chat.TXT")
with open(journal, "wb") as f:
    f.write(b"12/24/2001 20:00:00 - [Commerce] \"Aldric\": debut\r\n")
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
p = subprocess.Popen([binaire, journal, "24/12/2001", "24/12/2001"], stdout=subprocess.PIPE,
                     env=env)
assert p.stdout.readline().strip() == b"pret"

def processeur():
    with open("/proc/%d/stat" % p.pid) as f:
        champs = f.read().split(")")[1].split()
    return (int(champs[11]) + int(champs[12])) / os.sysconf("SC_CLK_TCK")

def residente():
    with open("/proc/%d/status" % p.pid) as f:
        for ligne in f:
            if ligne.startswith("VmRSS:"):
                return int(ligne.split()[1]) / 1024.0

def lire_vue(attendu):
    ligne = p.stdout.readline().decode().split(" ", 2)
    assert ligne[0] == "vue" and ligne[2].strip().endswith(attendu), ligne
    return int(ligne[1]) / 1e9

def ligne_du_jeu(texte):
    return b"12/24/2001 20:00:00 - [Commerce] \"Aldric\": " + texte.encode() + b"\r\n"

# 1. Délai.
alea = random.Random(26)
delais = []
for n in range(100):
    time.sleep(alea.uniform(0.01, 0.3))
    ligne = ligne_du_jeu("ajout %d" % n)
    with open(journal, "ab") as f:
        f.write(ligne[:30]); f.flush()   # le jeu écrit la ligne en deux fois
        f.write(ligne[30:]); f.flush()
        ecrite = time.monotonic()
    delais.append(lire_vue("ajout %d" % n) - ecrite)
delais.sort()
print("ajout -> vue « En direct » : médiane %.1f ms, pire %.1f ms (100 ajouts)" %
      (statistics.median(delais) * 1000, delais[-1] * 1000))

# 2. Silence.
avant, t0 = processeur(), time.monotonic()
time.sleep(silence)
cpu, ecoule = processeur() - avant, time.monotonic() - t0
part_silence = 100.0 * cpu / ecoule
print("processeur pendant %.0f s de silence : %.3f s (%.2f %% d'un cœur)" %
      (ecoule, cpu, part_silence))

# 3. Une heure simulée.
releves = [(0, residente())]
avant, t0 = processeur(), time.monotonic()
for seconde in range(1, 3601):
    with open(journal, "ab") as f:
        for k in range(5):
            f.write(ligne_du_jeu("s%d l%d" % (seconde, k)))
    vues = 0
    while vues < 5:  # un regard peut en montrer plusieurs, ou celles de la seconde précédente
        texte = p.stdout.readline().decode()
        assert texte.startswith("vue "), texte
        vues += 1 if (" s%d l" % seconde) in texte else 0
    if seconde % 600 == 0:
        releves.append((seconde // 60, residente()))
cpu, ecoule = processeur() - avant, time.monotonic() - t0
print("heure simulée (18 000 lignes en %.1f s écoulées, %.1f s de processeur) ; mémoire "
      "résidente :" % (ecoule, cpu))
for minute, mo in releves:
    print("  %2d min : %.1f Mio" % (minute, mo))
p.send_signal(signal.SIGTERM)
p.wait()
croissance = releves[-1][1] - releves[4][1]  # vers 33 min, la vue a atteint ses 10 000 lignes
print("croissance de 40 à 60 min (vue pleine) : %.1f Mio" % croissance)
sys.exit(0 if delais[-1] <= 0.25 and part_silence < 1.0 else 1)
