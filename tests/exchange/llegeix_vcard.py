#!/usr/bin/python3
"""Reads a vCard file with a reader the project did not write and prints each card's values:
FN | family;given | street;town;postal code | telephone | categories, one line a card. Fails on
a card that does not parse or a line longer than 75 octets."""
import sys

import vobject

dades = open(sys.argv[1], "rb").read()
for linia in dades.split(b"\r\n"):
    if len(linia) > 75:
        sys.exit(f"line of {len(linia)} octets")
    linia.decode("utf-8")  # a fold never splits a character
for carta in vobject.readComponents(dades.decode("utf-8")):
    assert carta.version.value == "3.0"
    adr = carta.adr.value if hasattr(carta, "adr") else None
    print(" | ".join([
        carta.fn.value,
        f"{carta.n.value.family};{carta.n.value.given}",
        f"{adr.street};{adr.city};{adr.code}" if adr else "",
        carta.tel.value if hasattr(carta, "tel") else "",
        ",".join(carta.categories.value),
    ]))
