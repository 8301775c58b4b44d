#!/usr/bin/env bash
# Whole-process figures of the exchange commands on a full student file (32767 records), beside
# iconv converting the same bytes, all measured in one run: the median wall time of several runs
# and the peak memory of one. Prints figures; it asserts nothing.
#   bench/intercanvi.sh [PROGRAMA]     (default: build/app/q2x7)
set -euo pipefail
arrel=$(cd "$(dirname "$0")/.." && pwd)
programa=$(realpath "${1:-$arrel/build/app/q2x7}")
carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"' EXIT
cd "$carpeta"
python3 "$arrel/tests/exchange/fitxer_alumnes.py" ple 32767 1
python3 "$arrel/tests/exchange/fitxer_alumnes.py" classe 30 2
python3 "$arrel/tests/exchange/fitxer_alumnes.py" gran 32000 3
"$programa" exporta ple ple.csv
"$programa" exporta classe classe.csv
unset DISPLAY WAYLAND_DISPLAY

mesura() {  # name, runs, command...
    local nom=$1 vegades=$2
    shift 2
    local temps
    temps=$(python3 - "$vegades" "$@" <<'PY'
import statistics, subprocess, sys, time
vegades, ordre = int(sys.argv[1]), sys.argv[2:]
mostres = []
for _ in range(vegades):
    inici = time.perf_counter()
    subprocess.run(ordre, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mostres.append(time.perf_counter() - inici)
print(f"{statistics.median(mostres) * 1000:.1f}")
PY
)
    local memoria
    memoria=$(/usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1)
    printf '%-34s %10s ms %8s MiB\n' "$nom" "$temps" "$(awk "BEGIN {printf \"%.1f\", $memoria / 1024}")"
}

printf '%-34s %13s %12s\n' case "wall (median)" "peak memory"
mesura "iconv WINDOWS-1252 to UTF-8" 21 iconv -f WINDOWS-1252 -t UTF-8 ple
mesura "q2x7 --version (start alone)" 21 "$programa" --version
mesura "exporta CSV, full file" 21 "$programa" exporta ple -
mesura "exporta vCard, full file" 11 "$programa" exporta ple --format vcf
mesura "importa CSV, full file" 11 sh -c "rm -f nou; exec \"$programa\" importa ple.csv nou"
# Each run adds 30 students to the same file: 22 runs stay within 32767 records.
mesura "importa --afegeix 30 onto 32000" 21 "$programa" importa --afegeix classe.csv gran
mesura "exporta .xlsx, full file" 11 "$programa" exporta ple ple.xlsx
mesura "  libxlsxwriter alone (the floor)" 11 "$(dirname "$programa")/../bench/xlsxwriter_nu" ple nu.xlsx
mesura "exporta .ods, full file" 11 "$programa" exporta ple ple.ods
mesura "importa .xlsx, full file" 11 sh -c "rm -f nou; exec \"$programa\" importa ple.xlsx nou"
mesura "  its XML read alone (the floor)" 11 "$(dirname "$programa")/../bench/xml_nu" ple.xlsx xl/worksheets/sheet1.xml
mesura "importa .ods, full file" 11 sh -c "rm -f nou; exec \"$programa\" importa ple.ods nou"
mesura "  its XML read alone (the floor)" 11 "$(dirname "$programa")/../bench/xml_nu" ple.ods content.xml
"$programa" exporta classe classe.xlsx
"$programa" exporta classe classe.ods
mesura "exporta .xlsx, 30 students" 11 "$programa" exporta classe classe.xlsx
mesura "importa .xlsx, 30 students" 11 sh -c "rm -f nou; exec \"$programa\" importa classe.xlsx nou"
mesura "exporta .ods, 30 students" 11 "$programa" exporta classe classe.ods
mesura "importa .ods, 30 students" 11 sh -c "rm -f nou; exec \"$programa\" importa classe.ods nou"
mesura "exporta PDF, full file" 5 "$programa" exporta ple ple.pdf
mesura "exporta PDF, 30 students" 11 "$programa" exporta classe classe.pdf
echo "PDF of the full file: $(pdfinfo ple.pdf | awk '/^Pages:/ {print $2}') pages"
# The same work done by a headless office suite, where one is installed (not by the set-up).
if command -v soffice >/dev/null; then
    mkdir -p oficina
    oficina() {  # name, filter, file
        mesura "office suite: $1" 3 soffice --headless --norestore -env:UserInstallation=file://$PWD/perfil \
            --infilter=CSV:59,34,76,1 --convert-to "$2" --outdir oficina "$3"
    }
    oficina "the CSV to PDF" pdf ple.csv
    echo "its PDF: $(pdfinfo oficina/ple.pdf | awk '/^Pages:/ {print $2}') pages"
    oficina "the CSV to .xlsx" xlsx ple.csv
    oficina "the CSV to .ods" ods ple.csv
    mesura "office suite: the .xlsx to CSV" 3 soffice --headless --norestore -env:UserInstallation=file://$PWD/perfil \
        --convert-to csv --outdir oficina ple.xlsx
    mesura "office suite: the .ods to CSV" 3 soffice --headless --norestore -env:UserInstallation=file://$PWD/perfil \
        --convert-to csv --outdir oficina ple.ods
fi
