#!/usr/bin/env bash
# The real program's commands, with no display at all: usage errors, CSV, vCard and PDF out,
# read back by programs the project did not write, and CSV in, killed or refused included.
set -u
programa=$(realpath "$1")
proves=$(cd "$(dirname "$0")/.." && pwd)
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"' EXIT
cd "$carpeta"
falla() { echo "$*"; exit 1; }
python3 "$proves/exchange/fitxer_alumnes.py" "3r B" 0
cp "3r B" abans

# Usage errors: one line naming the problem, then the hint, status 2.
for ordre in "--bogus" "exporta" "exporta 3r\ B llista.txt" "exporta --format doc 3r\ B" \
    "importa x.csv" "a b"; do
    eval "\"$programa\" $ordre" 2>errors >/dev/null; estat=$?
    [ $estat -eq 2 ] || falla "$ordre: status $estat"
    [ "$(wc -l < errors)" -eq 2 ] && [ "$(sed -n 2p errors)" = "Proveu «q2x7 --help»." ] ||
        falla "$ordre: $(cat errors)"
done

# CSV: exact bytes, to a file and to standard output.
"$programa" exporta "3r B" llista.CSV || falla "CSV export"
printf '\xef\xbb\xbfNom;Adreça;Població;Codi postal;Telèfon\r\nNúria Puig i Ferrà;Carrer Major, 12;Girona;17001;972 20 30 40\r\nJordi Casals Roca;Plaça de la Vila, 3;Lleida;25001;973 11 22 33\r\nMarta Soler Pons;Rambla Nova, 45;Tarragona;43001;977 55 66 77\r\n' > esperat.csv
cmp llista.CSV esperat.csv || falla "CSV bytes"

# vCard, read by python3-vobject.
"$programa" exporta "3r B" telefons.vcf || falla "vCard export"
cat > esperat.txt <<'TXT'
Núria Puig i Ferrà | Puig i Ferrà;Núria | Carrer Major, 12;Girona;17001 | 972 20 30 40 | 3r B
Jordi Casals Roca | Casals Roca;Jordi | Plaça de la Vila, 3;Lleida;25001 | 973 11 22 33 | 3r B
Marta Soler Pons | Soler Pons;Marta | Rambla Nova, 45;Tarragona;43001 | 977 55 66 77 | 3r B
TXT
/usr/bin/python3 "$proves/exchange/llegeix_vcard.py" telefons.vcf | diff - esperat.txt || falla "vCard"
# A name of 45 "é" is 90 octets: its line is folded, never inside a character.
{ printf '\xe9%.0s' $(seq 45); printf '%62s' ''; } > llarg
"$programa" exporta llarg llarg.vcf && /usr/bin/python3 "$proves/exchange/llegeix_vcard.py" llarg.vcf |
    grep -q "^$(printf 'é%.0s' $(seq 45)) |" || falla "folded vCard"

# PDF, read by poppler: every name, fonts embedded, the pages it says it has.
python3 "$proves/exchange/fitxer_alumnes.py" gran 200 3
"$programa" exporta gran llista.pdf 2>/dev/null || falla "PDF export"
pdffonts llista.pdf | tail -n +3 | awk '{ if ($(NF-4) != "yes") exit 1 }' || falla "fonts not embedded"
pagines=$(pdfinfo llista.pdf | awk '/^Pages:/ {print $2}')
pdftotext llista.pdf text.txt
grep -qx "Pàgina $pagines de $pagines" text.txt || falla "last page is not $pagines of $pagines"
[ "$(grep -c "^Pàgina [0-9]* de $pagines$" text.txt)" -eq "$pagines" ] || falla "page feet"
"$programa" exporta gran - --format csv | tail -n +2 | cut -d';' -f1 | while read -r nom; do
    grep -qF "$nom" text.txt || falla "$nom not in the PDF"
done || exit 1

# Refused: the student file itself by a link; an export that cannot write keeps the old one.
ln -s "3r B" enllac.csv
"$programa" exporta "3r B" enllac.csv --format csv 2>/dev/null && falla "exported over itself"
cmp "3r B" abans || falla "student file changed"
# A file open in the window (its lock held) is exported as saved, with one note; on standard
# output when no SORTIDA is named.
flock -x "3r B" sleep 2 & sleep 0.3
"$programa" exporta "3r B" 2>nota | cmp - esperat.csv || falla "export of a locked file"
grep -q "és obert en un altre programa" nota || falla "no note: $(cat nota)"
wait

# CSV in: the same file back; an existing file refused.
"$programa" importa llista.CSV nou || falla "import"
cmp nou "3r B" || falla "import did not give the file back"
"$programa" importa llista.CSV nou 2>/dev/null && falla "import over an existing file"
cmp nou "3r B" || falla "existing file changed"
printf 'Nom;Adreça\nAnna;Carrer de la Llarga Avinguda del Mig, 1\n' | "$programa" importa - tallat 2>avisos
[ "$(cat avisos)" = "línia 2, Adreça: tallada a 30 caràcters" ] || falla "warning: $(cat avisos)"
# Killed half-way, an import leaves no file, not even a hidden one.
{ printf 'Nom\nAnna\n'; sleep 3; } | "$programa" importa - mort & pid=$!
sleep 1; kill -KILL $pid; wait $pid 2>/dev/null
[ -z "$(ls -A | grep -i mort)" ] || falla "a killed import left: $(ls -A)"
echo ok
