#!/usr/bin/env bash
# fuzz_fulls.sh FUZZER PROGRAMA: a few seconds of the spreadsheet readers' fuzzer, starting from
# an .xlsx and an .ods the program made, the .ods's content as a flat document, and an .xls.
set -euo pipefail
carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"' EXIT
python3 "$(dirname "$0")/fitxer_alumnes.py" "$carpeta/classe" 3 1
mkdir "$carpeta/corpus"
"$2" exporta "$carpeta/classe" "$carpeta/corpus/classe.xlsx"
"$2" exporta "$carpeta/classe" "$carpeta/corpus/classe.ods"
/usr/bin/python3 -c '
import sys, zipfile, xlwt
corpus = sys.argv[1]
contingut = zipfile.ZipFile(corpus + "/classe.ods").read("content.xml").decode()
open(corpus + "/classe.fods", "w").write(contingut.replace(
    "<office:document-content", "<office:document office:mimetype="
    "\"application/vnd.oasis.opendocument.spreadsheet\"", 1).replace(
    "</office:document-content>", "</office:document>"))
llibre = xlwt.Workbook(encoding="utf-8")
full = llibre.add_sheet("Alumnes")
for fila, valors in enumerate([["Nom", "Població", "Telèfon"], ["Núria", "Vic", 934445566]]):
    for columna, valor in enumerate(valors):
        full.write(fila, columna, valor)
llibre.save(corpus + "/classe.xls")' "$carpeta/corpus"
"$1" "$carpeta/corpus" -max_total_time=5 -seed=1 -max_len=16384
