#!/usr/bin/env python3
"""fitxer_alumnes.py SORTIDA N [LLAVOR]: a student file of 107-byte Windows-1252 records, padded
with spaces; N made-up students from the seed, or for N=0 the three of the README's picture."""
import random
import sys

AMPLADES = (45, 30, 5, 15, 12)  # name, address, postal code, town, telephone
TRES = [("Núria Puig i Ferrà", "Carrer Major, 12", "17001", "Girona", "972 20 30 40"),
        ("Jordi Casals Roca", "Plaça de la Vila, 3", "25001", "Lleida", "973 11 22 33"),
        ("Marta Soler Pons", "Rambla Nova, 45", "43001", "Tarragona", "977 55 66 77")]
sortida, n = sys.argv[1], int(sys.argv[2])
r = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
tria = lambda camp: r.choice(TRES)[camp].split(" ")[0]
alumnes = TRES if n == 0 else [
    (f"{tria(0)} {tria(0)} i {r.choice(['Ferrà', 'Vidal', 'Martí'])}",
     f"{r.choice(['Carrer Major', 'Rambla Nova', 'Passeig'])}, {r.randint(1, 200)}",
     f"{r.randint(1000, 43999):05d}", tria(3), f"9{r.randint(10000000, 99999999)}")
    for _ in range(n)]
with open(sortida, "wb") as f:
    for a in alumnes:
        f.write(b"".join(c.encode("cp1252")[:w].ljust(w, b" ") for c, w in zip(a, AMPLADES)))
