#!/usr/bin/env bash
# The real program's commands, with no display at all: usage errors, CSV, vCard and PDF out,
# read back by programs the project did not write, and CSV in, killed or refused included. Every
# command's standard error is compared whole: it holds the program's Catalan lines and nothing
# else.
set -u
programa=$(realpath "$1")
# The sanitizers' runtime reserves terabytes of address space: no limit on it there.
limit=(prlimit --as=$((64 << 20)))
[ "${2:-}" = sanitizers ] && limit=()
proves=$(cd "$(dirname "$0")/.." && pwd)
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_RUNTIME_DIR
carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"' EXIT
cd "$carpeta"
falla() { echo "$*"; exit 1; }
alumnes() { python3 "$proves/exchange/fitxer_alumnes.py" "$@"; }
# espera STATUS STDERR COMMAND...: the command ends with STATUS and writes exactly STDERR (lines
# joined by \n, "" for none) on standard error; its standard output is left in `sortida`.
espera() {
    local estat=$1 error=$2
    shift 2
    "$@" 2>errors >sortida
    local e=$?
    [ "$e" -eq "$estat" ] || falla "$*: status $e, not $estat; standard error: $(cat errors)"
    [ "$(cat errors)" = "$(printf '%b' "$error")" ] || falla "$*: standard error: $(cat errors)"
}
q="$programa"
alumnes "3r B" 0
cp "3r B" abans

# Usage errors: one line naming the problem, then the hint, status 2 (every problem's words are
# checked in tests/app/tst_linia_ordres.cpp).
pista='\nProveu «q2x7 --help».'
espera 2 "q2x7: opció desconeguda: --bogus$pista" "$q" --bogus
espera 2 "q2x7: format desconegut: doc$pista" "$q" exporta --format doc "3r B"
espera 2 "q2x7: sobra «b»: la finestra obre un sol fitxer$pista" "$q" a b
espera 2 "q2x7-finestra: s'engega amb q2x7; proveu «q2x7 --help»." "$(dirname "$q")/../libexec/q2x7/q2x7-finestra" importa a b
# The launcher sends what does not begin with a command to the window's program, which answers
# the help and the version as well, with no display.
espera 0 "" "$q" "3r B" --version
[ "$(cat sortida)" = "$("$q" --version)" ] || falla "the window's program gives another version"

# CSV: exact bytes, to a file and to standard output.
printf '\xef\xbb\xbfNom;Adreça;Població;Codi postal;Telèfon\r\nNúria Puig i Ferrà;Carrer Major, 12;Girona;17001;972 20 30 40\r\nJordi Casals Roca;Plaça de la Vila, 3;Lleida;25001;973 11 22 33\r\nMarta Soler Pons;Rambla Nova, 45;Tarragona;43001;977 55 66 77\r\n' > esperat.csv
espera 0 "" "$q" exporta "3r B" llista.CSV
cmp llista.CSV esperat.csv || falla "CSV bytes"
espera 0 "" "$q" exporta "3r B"
cmp sortida esperat.csv || falla "CSV on standard output"

# vCard, read by python3-vobject; a name with a comma is "surnames, given name", one without a
# name is named by its number.
espera 0 "" "$q" exporta "3r B" telefons.vcf
cat > esperat.txt <<'TXT'
Núria Puig i Ferrà | Puig i Ferrà;Núria | Carrer Major, 12;Girona;17001 | 972 20 30 40 | 3r B
Jordi Casals Roca | Casals Roca;Jordi | Plaça de la Vila, 3;Lleida;25001 | 973 11 22 33 | 3r B
Marta Soler Pons | Soler Pons;Marta | Rambla Nova, 45;Tarragona;43001 | 977 55 66 77 | 3r B
TXT
/usr/bin/python3 "$proves/exchange/llegeix_vcard.py" telefons.vcf | diff - esperat.txt || falla "vCard"
printf '%-45s%-30s%-5s%-15s%-12s' "Puig Ferrer, Joan" "" "" "" "" "  Anna  Vidal" "" "" "" "" \
    "" "Major, 1" "" "" "600" > noms
espera 0 "" "$q" exporta noms noms.vcf
cat > esperat.txt <<'TXT'
Puig Ferrer, Joan | Puig Ferrer;Joan |  |  | noms
Anna  Vidal | Vidal;Anna |  |  | noms
Alumne 3 | ; | Major, 1;; | 600 | noms
TXT
/usr/bin/python3 "$proves/exchange/llegeix_vcard.py" noms.vcf | diff - esperat.txt || falla "vCard names"
# A name of 45 "é" is 90 octets: its line is folded, never inside a character.
{ printf '\xe9%.0s' $(seq 45); printf '%62s' ''; } > llarg
espera 0 "" "$q" exporta llarg llarg.vcf
/usr/bin/python3 "$proves/exchange/llegeix_vcard.py" llarg.vcf |
    grep -q "^$(printf 'é%.0s' $(seq 45)) |" || falla "folded vCard"

# PDF, read by poppler, made with no desktop session at all: every name, fonts embedded, the
# pages it says it has.
alumnes gran 200 3
espera 0 "" env -i "$q" exporta gran llista.pdf
pdffonts llista.pdf | tail -n +3 | awk '{ if ($(NF-4) != "yes") exit 1 }' || falla "fonts not embedded"
pagines=$(pdfinfo llista.pdf | awk '/^Pages:/ {print $2}')
pdftotext llista.pdf text.txt
grep -qx "Pàgina $pagines de $pagines" text.txt || falla "last page is not $pagines of $pagines"
[ "$(grep -c "^Pàgina [0-9]* de $pagines$" text.txt)" -eq "$pagines" ] || falla "page feet"
"$q" exporta gran - --format csv | tail -n +2 | cut -d';' -f1 | while read -r nom; do
    grep -qF "$nom" text.txt || falla "$nom not in the PDF"
done || exit 1
# A class named at any length keeps its heading within the page.
llarg=$(printf 'Classe%.0s' $(seq 33))
cp "3r B" "$llarg"
espera 0 "" "$q" exporta "$llarg" titol.pdf
pdftotext -bbox titol.pdf - | python3 -c '
import re, sys
text = sys.stdin.read()
ample = float(re.search(r"<page width=\"([\d.]+)\"", text).group(1))
fins = max(float(m.group(1)) for m in re.finditer(r"xMax=\"([\d.]+)\"", text))
sys.exit(0 if fins <= ample - 30 else f"the heading runs to {fins} of {ample}")' || exit 1

# Refused: the student file itself by a link or by standard output; nothing changes.
ln -s "3r B" enllac.csv
espera 1 "q2x7: enllac.csv és el mateix fitxer d'alumnes: no s'hi exporta" "$q" exporta "3r B" enllac.csv --format csv
"$q" exporta "3r B" >> "3r B" 2>errors && falla "exported into itself"
[ "$(cat errors)" = "q2x7: la sortida estàndard és el fitxer d'alumnes 3r B: no s'hi exporta" ] || falla "$(cat errors)"
cmp "3r B" abans || falla "student file changed"
# A replaced SORTIDA keeps its mode; one named through a link is written where the link points,
# and the link stays.
chmod 600 llista.CSV
espera 0 "" "$q" exporta "3r B" llista.CSV
[ "$(stat -c %a llista.CSV)" = 600 ] || falla "mode $(stat -c %a llista.CSV)"
mkdir altres && ln -s altres/llista.csv per_enllac.csv && printf 'vell' > altres/llista.csv
espera 0 "" "$q" exporta "3r B" per_enllac.csv
[ -L per_enllac.csv ] && cmp altres/llista.csv esperat.csv || falla "written through the link"
# A file open in the window (its lock held) is exported as saved, with one note.
flock -x "3r B" sleep 2 & sleep 0.3
espera 0 "q2x7: 3r B és obert en un altre programa; s'exporta el que hi ha desat" "$q" exporta "3r B"
cmp sortida esperat.csv || falla "export of a locked file"
wait
# What does not come back from an import is said: a partial last record, records past 32767.
{ cat "3r B"; printf 'Anna'; } > parcial
espera 0 "q2x7: l'últim registre de parcial, el 4, és incomplet (4 de 107 bytes); s'exporta fins on arriba, i una importació el tornaria sencer" "$q" exporta parcial parcial.csv
head -c $((32768 * 107)) /dev/zero | tr '\0' 'x' > massa
espera 0 "q2x7: massa té 32768 registres: s'exporten tots, però una importació no pot tornar els que passen del 32767 (del 32768 al 32768)" "$q" exporta massa massa.csv
[ "$(wc -l < massa.csv)" -eq 32769 ] || falla "every record exported"

# CSV in: the same file back; an existing file refused.
espera 0 "" "$q" importa llista.CSV nou
cmp nou "3r B" || falla "import did not give the file back"
espera 1 "q2x7: nou ja existeix: no s'hi escriu (amb --afegeix, s'hi afegeixen els alumnes al final)" "$q" importa llista.CSV nou
cmp nou "3r B" || falla "existing file changed"
# The class's own CSV onto itself: added again, each student named.
cp "3r B" doble
espera 0 "línia 2: «Núria Puig i Ferrà» ja és a la classe (registre 1)\nlínia 3: «Jordi Casals Roca» ja és a la classe (registre 2)\nlínia 4: «Marta Soler Pons» ja és a la classe (registre 3)" "$q" importa --afegeix llista.CSV doble
[ "$(wc -c < doble)" -eq $((6 * 107)) ] || falla "the list imported twice"
printf 'Nom;Adreça\nAnna;Carrer de la Llarga Avinguda del Mig, 1\n' > tallat.csv
espera 0 "línia 2, Adreça: tallada a 30 caràcters" "$q" importa - tallat < tallat.csv
# The toolkit's words and the system's English never reach the user.
espera 1 "q2x7: no es pot llegir «»: no existeix" "$q" importa "" x
espera 1 "q2x7: no es pot llegir altres: és una carpeta" "$q" importa altres x
# The code page told: N\x9Cria is "Nœria" in Windows-1252, which nothing here tells from Mac Roman.
printf 'Nom\nN\x9Cria\n' > mac.csv
espera 0 "l'entrada no és UTF-8: es llegeix com a Mac Roman" "$q" importa --codificacio mac mac.csv mac
[ "$(head -c 5 mac | od -An -tx1 | tr -d ' ')" = 4efa726961 ] || falla "Mac Roman read: $(head -c 5 mac | od -An -tx1)"
# What is no list is named, not refused for its quotes.
printf '%%PDF-1.4\n' > llista.pdf; printf '\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1' > vella
espera 1 "q2x7: llista.pdf sembla un PDF, no una llista d'alumnes: deseu-la com a .xlsx, .ods o CSV" "$q" importa llista.pdf x
espera 1 "q2x7: vella no es pot llegir com a un full de càlcul .xls: és malmès o tallat" "$q" importa vella x
printf 'Nom\r"Anna\r' > cr.csv
espera 1 "q2x7: línia 2: unes cometes que no es tanquen mai" "$q" importa cr.csv x
# A refusal says its reason first; notes of one kind past 20 are counted in one line.
{ printf 'Nom;CP\n'; for i in $(seq 43); do printf 'Alumne %s;8001\n' "$i"; done; printf '"Zoe\n'; } > molts.csv
espera 1 "q2x7: línia 45: unes cometes que no es tanquen mai\n$(for i in $(seq 2 21); do printf 'línia %s, Codi postal: 8001 completat com 08001\\n' "$i"; done)i 23 més" "$q" importa molts.csv x
# Input is bounded, in all and by the line, within a 64 MiB address space.
espera 1 "q2x7: línia 1: passa d'1 MiB, i cap fila d'alumne no en fa tant" "${limit[@]}" "$q" importa /dev/zero x
yes "" | "${limit[@]}" "$q" importa - x 2>errors && falla "endless input taken"
grep -qx "q2x7: l'entrada passa de 64 MiB, que és el màxim que llegeix una importació (línia [0-9]*)" errors || falla "$(cat errors)"
[ ! -e x ] || falla "a refused import left a file"

# --afegeix: after every record, a partial last one completed with spaces; never into a file of
# another kind, and never through names given the wrong way round.
cp parcial afegit
espera 0 "línia 2: «Anna» ja és a la classe (registre 4)\nlínia 2, Adreça: tallada a 30 caràcters\nl'últim registre de afegit, el 4, tenia 4 de 107 bytes: s'ha completat amb espais" "$q" importa --afegeix tallat.csv afegit
cmp afegit <({ cat parcial; printf '%103s' ''; head -c 107 tallat; }) || falla "append bytes"
cp llista.CSV notes.csv
espera 1 "q2x7: notes.csv sembla un fitxer .csv, no un fitxer d'alumnes: no s'hi afegeix res (l'ordre és «q2x7 importa --afegeix ENTRADA FITXER»)" "$q" importa --afegeix "3r B" notes.csv
cp esperat.csv sense_nom
espera 1 "q2x7: sense_nom sembla un text UTF-8 amb marca d'ordre, com un CSV, no un fitxer d'alumnes: no s'hi afegeix res (l'ordre és «q2x7 importa --afegeix ENTRADA FITXER»)" "$q" importa --afegeix tallat.csv sense_nom
cmp notes.csv llista.CSV && cmp sense_nom esperat.csv || falla "a refused append changed a file"
# Killed half-way, an import leaves no file, not even a hidden one.
{ printf 'Nom\nAnna\n'; sleep 3; } | "$q" importa - mort & pid=$!
sleep 1; kill -KILL $pid; wait $pid 2>/dev/null
[ -z "$(ls -A | grep -i mort)" ] || falla "a killed import left: $(ls -A)"
echo ok
