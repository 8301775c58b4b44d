#!/usr/bin/env bash
# fuzz_fulls.sh FUZZER PROGRAMA: a few seconds of the spreadsheet readers' fuzzer, starting from
# an .xlsx and an .ods the program made.
set -euo pipefail
carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"' EXIT
python3 "$(dirname "$0")/fitxer_alumnes.py" "$carpeta/classe" 3 1
mkdir "$carpeta/corpus"
"$2" exporta "$carpeta/classe" "$carpeta/corpus/classe.xlsx"
"$2" exporta "$carpeta/classe" "$carpeta/corpus/classe.ods"
"$1" "$carpeta/corpus" -max_total_time=5 -seed=1 -max_len=16384
