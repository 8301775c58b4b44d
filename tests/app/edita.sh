#!/usr/bin/env bash
# The Edita menu of the real program in a real X server, from the keyboard: Ctrl+F finds a
# student, Enter goes there, Ctrl+Maj+Supr removes it and Ctrl+Z puts it back, each read back
# from the file; then an ordering of a full class killed at varied moments, which must leave the
# class as it was or ordered, never a mix.
set -u
programa=$(realpath "$1")
vegades=${2:-50}
source "$(dirname "$0")/comu.sh"
carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"' EXIT
export carpeta vegades

# A class of 30 with "Puig Ferrer, Marta" at 23, and a full one of 32767 in no order.
python3 - "$carpeta" <<'PY'
import random, sys
def registre(nom, telefon=""):
    return (nom.ljust(45) + "".ljust(30) + "".ljust(5) + "".ljust(15) + telefon.ljust(12)).encode("cp1252")
random.seed(7)
noms = ["Alumne %02d" % i for i in range(1, 31)]
noms[22] = "Puig Ferrer, Marta"
open(sys.argv[1] + "/grup", "wb").write(b"".join(registre(n) for n in noms))
lletres = "ABCÇDEFGHIJLMNÑOPQRSTUVXZàéèíòóú"
ple = [registre("".join(random.choice(lletres) for _ in range(8)) + ", " + str(i), str(i))
       for i in range(32767)]
open(sys.argv[1] + "/ple", "wb").write(b"".join(ple))
PY
cp "$carpeta/grup" "$carpeta/grup.abans"

sota_x '
    programa=$0
    falla() { echo "$*"; kill -KILL $pid 2>/dev/null; exit 1; }
    # Waits up to 10 s for the condition $1 to hold.
    fins_que() { for _ in $(seq 50); do eval "$1" && return 0; sleep 0.2; done; return 1; }
    mida() { stat -c %s "$1"; }
    obre_grup

    xdotool key --clearmodifiers ctrl+f
    espera "^Cerca un alumne$" || falla "no search dialog"
    sleep 0.3
    xdotool type --delay 30 "puig fe"; sleep 0.3; xdotool key Return
    finestra=$(xdotool search --name "^Dades alumnes$" | head -1)
    fins_que "[ \$(xdotool getwindowfocus) = $finestra ]" || falla "the focus is not back"
    xdotool key --clearmodifiers ctrl+shift+Delete
    fins_que "[ \$(mida \"\$carpeta/grup\") -eq $((29 * 107)) ]" || falla "no removal"
    python3 - "$carpeta/grup" <<PY || falla "the removal"
import sys
dades = open(sys.argv[1], "rb").read()
assert len(dades) == 29 * 107, len(dades)
assert b"Puig Ferrer" not in dades
assert dades[22 * 107:22 * 107 + 9] == b"Alumne 24", dades[22 * 107:22 * 107 + 20]
PY
    xdotool key --clearmodifiers ctrl+z
    fins_que "cmp -s \"\$carpeta/grup\" \"\$carpeta/grup.abans\"" ||
        falla "Desfés did not bring back the bytes"
    xdotool key ctrl+q
    espera_final $pid 50 || exit 1
    cmp -s "$carpeta/grup" "$carpeta/grup.abans" || falla "the file changed at the end"

    # Ordena per nom, to have the ordered class to compare with.
    cp "$carpeta/ple" "$carpeta/ple.abans"
    ordena() {
        "$programa" "$carpeta/ple" & pid=$!
        espera "^Dades alumnes$" || falla "no window"
        sleep 0.3
        xdotool key --clearmodifiers alt+c; sleep 0.3; xdotool key o
    }
    ordena
    fins_que "! cmp -s \"\$carpeta/ple\" \"\$carpeta/ple.abans\"" || falla "Ordena per nom changed nothing"
    xdotool key ctrl+q
    espera_final $pid 50 || exit 1
    cp "$carpeta/ple" "$carpeta/ple.despres"

    abans=0; despres=0
    for i in $(seq "$vegades"); do
        cp "$carpeta/ple.abans" "$carpeta/ple"
        ordena
        sleep "0.$(printf %03d $(( (i * 7) % 120 )))"
        kill -KILL $pid; wait $pid 2>/dev/null
        if cmp -s "$carpeta/ple" "$carpeta/ple.abans"; then abans=$((abans + 1))
        elif cmp -s "$carpeta/ple" "$carpeta/ple.despres"; then despres=$((despres + 1))
        else falla "killed at $i: the class is neither as it was nor ordered"
        fi
    done
    echo "killed $vegades times: $abans as it was, $despres ordered"
    [ "$(ls -A "$carpeta" | grep -c "^\.")" -eq 0 ] || falla "files left behind: $(ls -A "$carpeta")"
'
