#!/usr/bin/python3
"""fulls_de_calcul.py PROGRAMA [sanitizers]: .xlsx and .ods through the real program, read back
by openpyxl and odfpy, made at test time by them as a school office would, and refused when
broken or hostile. Each check prints nothing; the first that fails ends the script."""
import datetime
import io
import os
import random
import subprocess
import sys
import tempfile
import zipfile

import openpyxl
from odf import teletype
from odf.opendocument import OpenDocumentSpreadsheet, load
from odf.table import CoveredTableCell, Table, TableCell, TableRow
from odf.text import P, S

programa = os.path.abspath(sys.argv[1])
sanitizers = len(sys.argv) > 2 and sys.argv[2] == "sanitizers"
AMPLADES = (45, 30, 5, 15, 12)  # name, address, postal code, town, telephone: on disk
COLUMNES = (0, 1, 3, 2, 4)      # the formats' order: the town before the postal code
CAPCALERA = ["Nom", "Adreça", "Població", "Codi postal", "Telèfon"]


def q2x7(*arguments, estat=0, error=""):
    """Runs the program; its status and whole standard error must be as given."""
    fet = subprocess.run([programa, *arguments], capture_output=True)
    text = fet.stderr.decode()
    if fet.returncode != estat or text != error:
        sys.exit(f"{arguments}: status {fet.returncode}, standard error {text!r}")
    return fet.stdout


def registre(*camps):
    camps = camps + ("",) * (5 - len(camps))
    return b"".join(c.encode("cp1252")[:w].ljust(w, b" ") for c, w in zip(camps, AMPLADES))


def valors(fitxer):
    """The records of a student file as the formats show them, record order to column order."""
    dades = open(fitxer, "rb").read()
    files = []
    for i in range(0, len(dades), 107):
        r, camps, inici = dades[i:i + 107], [], 0
        for w in AMPLADES:
            camps.append(r[inici:inici + w].decode("cp1252").rstrip(" "))
            inici += w
        files.append([camps[c] for c in COLUMNES])
    return files


carpeta = tempfile.mkdtemp()
os.chdir(carpeta)

# Out: what openpyxl and odfpy read is every cell text, values exact, blank records as empty rows,
# the header bold and frozen, the sheet named after the class.
with open("3r B", "wb") as f:
    f.write(registre("Núria Puig", "=HYPERLINK(\"x\")", "08001", "Girona", "+34932112233"))
    f.write(registre(""))
    f.write(registre("  Jordi  Roca", "Major, 1", "17001", "Olot", "003460011122"))
q2x7("exporta", "3r B", "3r B.xlsx")
llibre = openpyxl.load_workbook("3r B.xlsx")
full = llibre.worksheets[0]
assert full.title == "3r B" and llibre.properties.title == "3r B", full.title
assert full.freeze_panes == "A2" and full.auto_filter.ref == "A1:E4", full.freeze_panes
assert [c.value for c in full[1]] == CAPCALERA and all(c.font.b for c in full[1])
esperat = valors("3r B")
for fila, files in zip(full.iter_rows(min_row=2), esperat):
    for cella, valor in zip(fila, files):
        assert (cella.value or "") == valor, (cella.value, valor)
        assert cella.value is None or cella.data_type == "s", cella.data_type
assert full.max_row == 4 and all(c.value is None for c in full[3])
q2x7("exporta", "3r B", "3r B.ods")
taula = load("3r B.ods").spreadsheet.getElementsByType(Table)[0]
assert taula.getAttribute("name") == "3r B"
files = taula.getElementsByType(TableRow)
assert [teletype.extractText(c) for c in files[0].getElementsByType(TableCell)] == CAPCALERA
for fila, valor in zip(files[1:], esperat):
    celles = fila.getElementsByType(TableCell)
    if not any(valor):
        assert not any(teletype.extractText(c) for c in celles)
        continue
    assert [teletype.extractText(c) for c in celles] == valor, [teletype.extractText(c) for c in celles]
    assert all(c.getAttribute("valuetype") == "string" for c in celles if teletype.extractText(c))
amb_nom = "Classe: [A]*?\\" + "x" * 40
os.link("3r B", amb_nom)
q2x7("exporta", amb_nom, "nom.xlsx")
assert openpyxl.load_workbook("nom.xlsx").worksheets[0].title == "Classe_ _A____" + "x" * 17

# The round trip: random files through each format and back, byte for byte.
atzar = random.Random(16)
permesos = [b for b in range(0x20, 0x100) if b not in (0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D)]
for prova in range(60):
    registres = []
    n = 1 + atzar.randrange(12)
    for r in range(n):
        if r < n - 1 and atzar.randrange(4) == 0:
            registres.append(b" " * 107)
            continue
        camps = bytes(atzar.choice(permesos) if atzar.randrange(3) else 0x20 for _ in range(107))
        registres.append(b"A" + camps[1:])
    with open("atzar", "wb") as f:
        f.write(b"".join(registres))
    for format in ("xlsx", "ods"):
        for nom in ("torna", f"atzar.{format}"):
            if os.path.exists(nom):
                os.unlink(nom)
        q2x7("exporta", "atzar", f"atzar.{format}")
        q2x7("importa", f"atzar.{format}", "torna")
        if open("torna", "rb").read() != open("atzar", "rb").read():
            sys.exit(f"round trip {prova} through .{format}: the file came back different")

# In: a school office's .xlsx made by openpyxl: a title row, surnames apart, numbers where a
# spreadsheet guessed them, a formula with its cached value, a date, a second sheet not read.
llibre = openpyxl.Workbook()
full = llibre.active
full.title = "Alumnes"
full.append(["Llista de la classe"])
full.append(["Nom", "Primer cognom", "Segon cognom", "DNI", "CP", "Municipi", "Mòbil", "Alta"])
full.append(["Joan", "Puig", "Ferrer", "1X", 8001, "Vic", 34932112233, datetime.date(2024, 9, 12)])
full.append(["Anna", "Roca", None, None, "08500", "Olot", "=A1", True])
full.append([])
full.append(["Berta", "Vidal", None, None, 17001.0, "Girona", "600 11 22 33"])
llibre.create_sheet("Altres").append(["Nom", "Telèfon"])
llibre.save("secretaria.xlsx")


def reescriu(fitxer, part, canvi):
    """The zip's bytes with one part changed by canvi(bytes of the part)."""
    with zipfile.ZipFile(fitxer) as z:
        parts = {nom: z.read(nom) for nom in z.namelist()}
    parts[part] = canvi(parts[part])
    memoria = io.BytesIO()
    with zipfile.ZipFile(memoria, "w", zipfile.ZIP_DEFLATED) as z:
        for nom, bytes_ in parts.items():
            z.writestr(nom, bytes_)
    return memoria.getvalue()


# openpyxl keeps no formula results: the cached value a spreadsheet would have left.
FULL = "xl/worksheets/sheet1.xml"
amb_valor = reescriu("secretaria.xlsx", FULL, lambda xml: xml.replace(
    b"<f>A1</f><v></v>", b"<f>A1</f><v>934 55 66 77</v>").replace(
    b"<f>A1</f><v/>", b"<f>A1</f><v>934 55 66 77</v>"))
open("secretaria.xlsx", "wb").write(amb_valor)
error = ("línia 1: abans de la capçalera, no s'importa\n"
         "columnes no usades: DNI, Alta\n"
         "línia 3, Codi postal: 8001 completat com 08001\n")
q2x7("importa", "secretaria.xlsx", "de_xlsx", error=error)
assert valors("de_xlsx")[0] == ["Puig Ferrer, Joan", "", "Vic", "08001", "34932112233"], valors("de_xlsx")
assert valors("de_xlsx")[1][0] == "Roca, Anna" and valors("de_xlsx")[1][3] == "08500"
assert valors("de_xlsx")[2] == ["", "", "", "", ""] and valors("de_xlsx")[3][3] == "17001"
# The same by its content, from standard input.
sortida = subprocess.run([programa, "importa", "-", "de_stdin"], stdin=open("secretaria.xlsx", "rb"),
                         capture_output=True)
assert sortida.returncode == 0 and open("de_stdin", "rb").read() == open("de_xlsx", "rb").read()

# The first sheet a person sees: a hidden one (drop-down lists) and a chart sheet before it are
# skipped and named; a hidden row left out and counted; _xHHHH_ escapes decoded; a text cell
# "1E5" kept; dates of a 1904 workbook, and dates written out (t="d"), as the spreadsheet shows.
for epoca, iso in ((openpyxl.utils.datetime.CALENDAR_MAC_1904, False),
                   (openpyxl.utils.datetime.CALENDAR_WINDOWS_1900, True)):
    llibre = openpyxl.Workbook()
    llibre.active.title = "Llistes"
    llibre.active.append(["Sí"])
    llibre.active.sheet_state = "hidden"
    llibre.create_chartsheet("Gràfic")
    full = llibre.create_sheet("Alumnes")
    full.append(["Nom", "Adreça", "Població", "Telèfon"])
    full.append(["Anna", "Major_x0009_3", datetime.date(2023, 3, 15), "1E5"])
    full.append(["Amagada", "", "", ""])
    full.append(["Berta", "_x005F_x0009_", "Olot", "600"])
    full.row_dimensions[3].hidden = True
    llibre.epoch, llibre.iso_dates = epoca, iso
    llibre.save("amagats.xlsx")
    q2x7("importa", "amagats.xlsx", f"amagats{iso}", error=(
        "el full «Llistes» és amagat: no s'importa\n"
        "el full «Gràfic» no és de cel·les (un gràfic): no s'importa\n"
        "1 fila amagada del full: no s'importa\n"
        "línia 2, Adreça: una tabulació, canviada per un espai\n"))
    assert valors(f"amagats{iso}") == [["Anna", "Major 3", "15/03/2023", "", "1E5"],
                                       ["Berta", "_x0009_", "Olot", "", "600"]], valors(f"amagats{iso}")
    del llibre["Alumnes"]
    llibre.save("sense_fulls.xlsx")
    q2x7("importa", "sense_fulls.xlsx", "cap", estat=1, error=(
        "q2x7: sense_fulls.xlsx no es pot llegir com a un full de càlcul .xlsx: no té cap full "
        "de cel·les visible\n"
        "el full «Llistes» és amagat: no s'importa\n"
        "el full «Gràfic» no és de cel·les (un gràfic): no s'importa\n"))

# In: an .ods made by odfpy: floats, a date, repeated columns and rows, a merged cell, spaces.
document = OpenDocumentSpreadsheet()
taula = Table(name="Full1")
def fila(*celles, repetida=1):
    f = TableRow(numberrowsrepeated=repetida) if repetida > 1 else TableRow()
    for c in celles:
        f.addElement(c)
    taula.addElement(f)
def text(t, **atributs):
    c = TableCell(valuetype="string", **atributs)
    p = P()
    parts = t.split("  ")
    for i, tros in enumerate(parts):
        if i:
            p.addElement(S(c=2))
        p.addText(tros)
    c.addElement(p)
    return c
fila(text("Nom i cognoms"), text("Codi postal"), text("Població"), text("Telèfon"))
fila(text("Joan  Puig"), TableCell(valuetype="float", value="8001"), text("Vic"),
     TableCell(valuetype="float", value="34932112233", formula="of:=34932112232+1"))
fila(TableCell(numbercolumnsrepeated=4), repetida=3)
fila(text("Anna Roca", numbercolumnsspanned=2), CoveredTableCell(), text("Reus"),
     TableCell(valuetype="date", datevalue="2024-09-12"))
fila(TableCell(numbercolumnsrepeated=1024), repetida=1048000)
document.spreadsheet.addElement(taula)
document.save("secretaria.ods")
q2x7("importa", "secretaria.ods", "de_ods", error="línia 2, Codi postal: 8001 completat com 08001\n")
assert valors("de_ods") == [["Joan  Puig", "", "Vic", "08001", "34932112233"],
                            ["", "", "", "", ""], ["", "", "", "", ""], ["", "", "", "", ""],
                            ["Anna Roca", "", "Reus", "", "12/09/2024"]], valors("de_ods")

# Which sheet, where each cell goes and what it holds are the readers' own (tests/exchange/
# tst_fulls.cpp); here, through the program, what an import makes of them. An .xls as a school
# program writes it: the sheet of drop-down values before the class, which has no header and is
# named; numbers, a date and a tab mended as in the other formats. The flat OpenDocument (.fods)
# through the .ods reader, by its content whatever its name.
import xlwt
llibre = xlwt.Workbook(encoding="utf-8")
llibre.add_sheet("Llistes").write(0, 0, "Sí")
full = llibre.add_sheet("Alumnes")
for fila, valors_ in enumerate((["Nom", "Codi postal", "Població", "Telèfon", "Alta"],
                                ["Puig Ferrer, Núria", "08001", "Vic", 934445566],
                                ["Martí\tRoca", 8001.0, "Olot", "1E5"])):
    for columna, valor in enumerate(valors_):
        full.write(fila, columna, valor)
full.write(2, 4, datetime.date(2023, 3, 15), xlwt.easyxf(num_format_str="dd/mm/yyyy"))
llibre.save("escola.xls")
q2x7("importa", "escola.xls", "de_xls", error=(
    "el full «Llistes» no té cap capçalera d'alumnes: no s'importa\n"
    "columnes no usades: Alta\n"
    "línia 3, Nom: una tabulació, canviada per un espai\n"
    "línia 3, Codi postal: 8001 completat com 08001\n"))
assert valors("de_xls") == [["Puig Ferrer, Núria", "", "Vic", "08001", "934445566"],
                            ["Martí Roca", "", "Olot", "08001", "1E5"]], valors("de_xls")
# An .xls on which the library overruns its memory (found by the fuzzer): the fault stays in the
# process that reads it, and the import is refused with nothing written.
malmes = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mostres", "malmes.xls")
fet = subprocess.run([programa, "importa", malmes, "res"], capture_output=True)
assert fet.returncode == 1 and fet.stderr.decode().splitlines()[-1] == (
    f"q2x7: {malmes} no es pot llegir com a un full de càlcul .xls: és malmès o tallat"), fet.stderr
assert not os.path.exists("res")
with zipfile.ZipFile("secretaria.ods") as z:
    contingut = z.read("content.xml").decode()
pla = contingut.replace("<office:document-content", '<office:document office:mimetype='
                        '"application/vnd.oasis.opendocument.spreadsheet"', 1).replace(
                        "</office:document-content>", "</office:document>")
for nom in ("secretaria.fods", "secretaria_fods.dat"):
    open(nom, "w").write(pla)
    q2x7("importa", nom, nom + ".classe", error="línia 2, Codi postal: 8001 completat com 08001\n")
    assert valors(nom + ".classe") == valors("de_ods"), valors(nom + ".classe")

# Refused, with nothing written and memory bounded: a damaged zip, a truncated one, a part that
# inflates past the limit or more than a hundredfold, a document type with entities.
def xlsx_amb(full_xml):
    return reescriu("secretaria.xlsx", FULL, lambda _: full_xml)

bo = open("3r B.xlsx", "rb").read()
# Every part marked encrypted: bit 0 of the flags, in each local header and in the directory.
xifrat = bytearray(bo)
for signatura, lloc in ((b"PK\x03\x04", 6), (b"PK\x01\x02", 8)):
    inici = xifrat.find(signatura)
    while inici >= 0:
        xifrat[inici + lloc] |= 1
        inici = xifrat.find(signatura, inici + 4)
# Each hostile input and the reason it is refused with.
dolents = {
    "xifrat.xlsx": (bytes(xifrat), "és xifrat"),
    "malmes.xlsx": (bo[:200] + bytes(len(bo) - 200), "no és un fitxer zip, o és malmès"),
    "tallat.xlsx": (bo[:len(bo) // 2], "no és un fitxer zip, o és malmès"),
    "gran.xlsx": (xlsx_amb(b"<worksheet>" + b" " * (65 << 20) + b"</worksheet>"),
                  "la part xl/worksheets/sheet1.xml faria 65 MiB, i se'n llegeixen 64 com a molt"),
    "bomba.xlsx": (xlsx_amb(b"<worksheet>" + b"<row/>" * (2 << 20) + b"</worksheet>"),
                   "la part xl/worksheets/sheet1.xml es faria "),
    "entitats.xlsx": (xlsx_amb(b'<?xml version="1.0"?><!DOCTYPE w [<!ENTITY a "aaaa">]>'
                               b"<worksheet><sheetData/></worksheet>"),
                      "té una declaració de tipus de document, que cap full de càlcul no necessita"),
}
for nom, (bytes_, motiu) in dolents.items():
    open(nom, "wb").write(bytes_)
    mesura = [] if sanitizers else ["/usr/bin/time", "-f", "%M"]
    fet = subprocess.run([*mesura, programa, "importa", nom, "res"], capture_output=True)
    linies = fet.stderr.decode().splitlines()
    if not sanitizers:
        memoria = int(linies.pop())
        assert memoria < 64 * 1024, f"{nom}: {memoria} KiB"
        linies = [l for l in linies if not l.startswith("Command exited")]
    assert fet.returncode == 1 and len(linies) == 1, (nom, fet.returncode, linies)
    assert linies[0].startswith(f"q2x7: {nom} no es pot llegir com a un full de càlcul .xlsx: "
                                + motiu), linies
    assert not os.path.exists("res"), nom
print("ok")
