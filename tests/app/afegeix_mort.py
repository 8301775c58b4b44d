#!/usr/bin/env python3
"""afegeix_mort.py PROGRAMA: SIGKILLs `q2x7 importa --afegeix` of 32667 rows onto a file of 100
records at random moments, 200 times. After each kill the file must hold exactly its earlier
10700 bytes or the whole result (32767 records); prints how many of each. A hidden file left
beside it (a kill between naming the new file and renaming it into place) is counted and
removed."""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

proves = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
programa = os.path.abspath(sys.argv[1])
carpeta = tempfile.mkdtemp()
try:
    os.chdir(carpeta)
    alumnes = os.path.join(proves, "exchange", "fitxer_alumnes.py")
    subprocess.run([sys.executable, alumnes, "cent", "100", "4"], check=True)
    subprocess.run([sys.executable, alumnes, "molts", "32667", "5"], check=True)
    subprocess.run([programa, "exporta", "molts", "molts.csv"], check=True)
    abans = open("cent", "rb").read()
    assert len(abans) == 10700
    shutil.copy("cent", "classe")
    subprocess.run([programa, "importa", "--afegeix", "molts.csv", "classe"], check=True)
    tot = open("classe", "rb").read()
    assert len(tot) == 32767 * 107 and tot.startswith(abans)

    # How long one append takes here, so that the kills fall all over it.
    inici = time.perf_counter()
    shutil.copy("cent", "classe")
    subprocess.run([programa, "importa", "--afegeix", "molts.csv", "classe"], check=True)
    durada = time.perf_counter() - inici

    atzar = random.Random(15)
    comptes = {"abans": 0, "sencer": 0, "amagats": 0}
    for prova in range(200):
        shutil.copy("cent", "classe")
        proces = subprocess.Popen([programa, "importa", "--afegeix", "molts.csv", "classe"],
                                  stderr=subprocess.DEVNULL)
        time.sleep(atzar.uniform(0, durada * 1.2))
        proces.kill()
        proces.wait()
        ara = open("classe", "rb").read()
        if ara == abans:
            comptes["abans"] += 1
        elif ara == tot:
            comptes["sencer"] += 1
        else:
            sys.exit(f"kill {prova}: the file holds {len(ara)} bytes, neither before nor whole")
        for nom in os.listdir("."):
            if nom.startswith(".classe."):
                comptes["amagats"] += 1
                os.unlink(nom)
        if sorted(os.listdir(".")) != ["cent", "classe", "molts", "molts.csv"]:
            sys.exit(f"kill {prova}: left {sorted(os.listdir('.'))}")
    print(f"200 kills over {durada * 1000:.0f} ms: {comptes['abans']} left the earlier file, "
          f"{comptes['sencer']} the whole result, {comptes['amagats']} a hidden file beside it")
    if comptes["abans"] == 0 or comptes["sencer"] == 0:
        sys.exit("the kills did not fall both before and after the append")
finally:
    shutil.rmtree(carpeta)
