#!/usr/bin/env python3
"""Writes a student file: fixed 107-byte Windows-1252 records, fields padded with spaces.

  fitxer_alumnes.py SORTIDA N [LLAVOR]   N students made up from the seed (N=0: three known ones)
"""
import random
import sys

AMPLADES = (45, 30, 5, 15, 12)  # name, address, postal code, town, telephone
NOMS = ["Núria", "Jordi", "Marta", "Àlex", "Pau", "Laia", "Joan", "Mireia", "Òscar", "Èlia"]
COGNOMS = ["Puig", "Ferrà", "Casals", "Roca", "Soler", "Pons", "Vidal", "Martí", "Garcia"]
CARRERS = ["Carrer Major", "Plaça de la Vila", "Rambla Nova", "Avinguda Diagonal", "Passeig"]
POBLES = ["Girona", "Lleida", "Tarragona", "Reus", "Vic", "Olot", "Manresa", "l'Hospitalet"]


def registre(camps):
    return b"".join(
        c.encode("cp1252")[:w].ljust(w, b" ") for c, w in zip(camps, AMPLADES))


def inventat(r):
    nom = f"{r.choice(NOMS)} {r.choice(COGNOMS)} i {r.choice(COGNOMS)}"
    return (nom, f"{r.choice(CARRERS)}, {r.randint(1, 200)}", f"{r.randint(1000, 43999):05d}",
            r.choice(POBLES), f"9{r.randint(10000000, 99999999)}")


def main():
    sortida, n = sys.argv[1], int(sys.argv[2])
    r = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    if n == 0:
        alumnes = [("Núria Puig i Ferrà", "Carrer Major, 12", "17001", "Girona", "972 20 30 40"),
                   ("Jordi Casals Roca", "Plaça de la Vila, 3", "25001", "Lleida", "973 11 22 33"),
                   ("Marta Soler Pons", "Rambla Nova, 45", "43001", "Tarragona", "977 55 66 77")]
    else:
        alumnes = [inventat(r) for _ in range(n)]
    with open(sortida, "wb") as f:
        for a in alumnes:
            f.write(registre(a))


main()
