#!/usr/bin/env bash
# Imprimeix… of the real program in a real X server, to a real CUPS queue: a cupsd of the test's
# own (on a socket in its folder) with a cups-pdf queue; a class of 30 printed from the window
# lands as a PDF, read back by pdftotext, every name in order.
set -u
programa=$(realpath "$1")
proves=$(cd "$(dirname "$0")/.." && pwd)
source "$(dirname "$0")/comu.sh"
prepara_grup
cups="$carpeta/cups"
mkdir -p "$cups/spool" "$cups/tmp" "$cups/cache" "$cups/state"
# The filters run as another user: they must reach the queue's folders.
chmod 0755 "$carpeta" "$cups"
chmod 1777 "$cups/tmp"
cat > "$cups/cupsd.conf" <<CONF
Listen $cups/cups.sock
LogLevel warn
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
cat > "$cups/cups-files.conf" <<CONF
ServerRoot $cups
RequestRoot $cups/spool
TempDir $cups/tmp
CacheDir $cups/cache
StateDir $cups/state
ErrorLog $cups/error_log
AccessLog $cups/access_log
PageLog $cups/page_log
Printcap $cups/printcap
ServerBin /usr/lib/cups
DataDir /usr/share/cups
CONF
cupsd -c "$cups/cupsd.conf" -s "$cups/cups-files.conf"
export CUPS_SERVER="$cups/cups.sock"
atura_cups() {
    pkill -f "cupsd -[cC] $cups" 2>/dev/null
    for _ in $(seq 30); do pgrep -f "cupsd -[cC] $cups" >/dev/null || break; sleep 0.1; done
    rm -rf "$carpeta"
}
trap atura_cups EXIT
for _ in $(seq 50); do [ -S "$cups/cups.sock" ] && break; sleep 0.1; done
# The queue's PostScript goes through pdftocairo, which keeps the text that pdftotext reads.
lpadmin -p classe -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo 2>/dev/null || { echo "no queue"; exit 1; }
lpadmin -d classe
# cups-pdf writes into the home of the job's owner.
sortida="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
mkdir -p "$sortida"
abans=$(ls "$sortida" | sort)
python3 "$proves/exchange/fitxer_alumnes.py" "$carpeta/grup" 30 5
"$programa" exporta "$carpeta/grup" - | tail -n +2 | cut -d";" -f1 > "$carpeta/noms"

sota_x '
    programa=$0
    obre_grup
    xdotool key ctrl+p
    espera "^Vista pr" || { kill -KILL $pid; exit 1; }
    sleep 1
    # The preview'"'"'s toolbar: its last button prints, into the print dialog, where Return prints.
    id=$(xdotool search --onlyvisible --name "^Vista pr" | head -1)
    xdotool mousemove --window "$id" 673 18 click 1
    sleep 1.5
    xdotool key Return
    sleep 1
    xdotool key ctrl+q
    espera_final $pid 50
'
# Until the queue has finished the job and the file is whole.
for _ in $(seq 150); do
    nou=$(comm -13 <(echo "$abans") <(ls "$sortida" | sort) | head -1)
    [ -n "$nou" ] && [ -z "$(lpstat -o classe 2>/dev/null)" ] && break
    sleep 0.2
done
[ -n "$nou" ] || { echo "nothing printed"; tail -5 "$cups/error_log"; exit 1; }
sleep 0.5
pdftotext -layout "$sortida/$nou" "$carpeta/imprès.txt"
rm -f "$sortida/$nou"
# Every name, in the file's order.
python3 - "$carpeta/noms" "$carpeta/imprès.txt" <<'PY' || exit 1
import sys
noms = [n for n in open(sys.argv[1], encoding="utf-8").read().splitlines() if n]
text = open(sys.argv[2], encoding="utf-8").read()
lloc = 0
for nom in noms:
    trobat = text.find(nom, lloc)
    if trobat < 0:
        sys.exit(f"{nom!r} not printed after position {lloc}")
    lloc = trobat + len(nom)
assert len(noms) == 30, len(noms)
PY
echo ok
