#!/usr/bin/env bash
# The Classe menu of the real program in a real X server, from the keyboard: an export to .xlsx
# read back by openpyxl, and rows a spreadsheet left on the clipboard (put there by xclip)
# pasted after the last student.
set -u
programa=$(realpath "$1")
source "$(dirname "$0")/comu.sh"
prepara_grup
sota_x '
    programa=$0
    falla() { echo "$*"; kill -KILL $pid 2>/dev/null; exit 1; }
    obre_grup

    # Alt+C opens the menu, E its first item: the Save dialog, in the class file'"'"'s folder.
    xdotool key --clearmodifiers alt+c; sleep 0.5; xdotool key e
    espera "^Exporta la classe$" || falla "no Save dialog"
    sleep 0.5
    xdotool key ctrl+a; xdotool type --delay 20 "$carpeta/llista.xlsx"; xdotool key Return
    sleep 1
    xdotool key Return   # the box that says it is done
    sleep 0.5
    /usr/bin/python3 -c "
import openpyxl, sys
full = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
files = [[c.value for c in fila][:1] for fila in full.iter_rows()]
assert files == [[\"Nom\"], [\"Anna\"], [\"Berta\"]], files
assert all(c.data_type == \"s\" for fila in full.iter_rows() for c in fila if c.value)
" "$carpeta/llista.xlsx" || falla "the .xlsx read back"

    # Cells copied in a spreadsheet: a header and a row, tab-separated.
    printf "Telèfon\tNom\n600\tCarla\n" | xclip -selection clipboard
    xdotool key ctrl+shift+v
    sleep 1
    xdotool key Return   # "D'"'"'acord" in the import box
    sleep 0.5
    xdotool key ctrl+q
    espera_final $pid 50 || exit 1
    python3 - "$carpeta/grup" <<PY || exit 1
import sys
dades = open(sys.argv[1], "rb").read()
assert len(dades) == 3 * 107, len(dades)
assert dades[214:259].rstrip() == b"Carla" and dades[309:321].rstrip() == b"600", dades[214:]
PY
'
