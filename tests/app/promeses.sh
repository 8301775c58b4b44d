#!/usr/bin/env bash
# Edita's promises at their edges, in the real program under a real X server, from the keyboard:
# Desfés after emptying a class (one student, then thirty), Desfés after a blank Nou, Ctrl+F
# tapped again and again, and an import held between its open and its lock while the window
# orders the class. Every step is read back from the file.
set -u
programa=$(realpath "$1")
retard=$(realpath "$2")
source "$(dirname "$0")/comu.sh"
carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"' EXIT
export carpeta retard

python3 - "$carpeta" <<'PY'
import sys
def registre(nom):
    return (nom.ljust(45) + "C. Major, 1".ljust(30) + "17001" + "Girona".ljust(15) + "972000000".ljust(12)).encode("cp1252")
def classe(nom, noms):
    dades = b"".join(registre(n) for n in noms)
    for sufix in ("", ".abans"):
        open(sys.argv[1] + "/" + nom + sufix, "wb").write(dades)
classe("sol", ["Sola, Rut"])
classe("trenta", ["Alumne %02d" % i for i in range(1, 31)])
classe("tres", ["Abad, Pau", "Mas, Joan", "Puig, Marta"])
classe("desordenada", ["Vidal, Ot", "Abad, Pau", "Mas, Joan", "Puig, Marta", "Cases, Anna"])
open(sys.argv[1] + "/nous.csv", "w", encoding="utf-8").write("Nom;Població\nNou, Nil;Reus\nNova, Ona;Vic\n")
PY

sota_x '
    programa=$0
    falla() { echo "$*"; kill -KILL $pid 2>/dev/null; exit 1; }
    # Waits up to 10 s for the condition $1 to hold.
    fins_que() { for _ in $(seq 50); do eval "$1" && return 0; sleep 0.2; done; return 1; }
    mida() { stat -c %s "$carpeta/$1"; }
    igual() { cmp -s "$carpeta/$1" "$carpeta/$1.abans"; }
    obre() {
        "$programa" "$carpeta/$1" & pid=$!
        espera "^Dades alumnes$" || falla "no window on $1"
        sleep 0.8
    }
    surt() { xdotool key --clearmodifiers ctrl+q; espera_final $pid 50 || exit 1; }
    tecla() { xdotool key --clearmodifiers "$@"; }

    # A class of one, emptied and undone; emptied again, it stays empty after Sortir.
    obre sol
    tecla ctrl+shift+Delete
    fins_que "[ \$(mida sol) -eq 0 ]" || falla "no removal"
    tecla ctrl+z
    fins_que "igual sol" || falla "Desfés did not bring the only student back: $(mida sol) bytes"
    tecla ctrl+shift+Delete
    fins_que "[ \$(mida sol) -eq 0 ]" || falla "no second removal"
    surt
    [ "$(mida sol)" -eq 0 ] || falla "Sortir wrote $(mida sol) bytes into the emptied class"

    # Thirty removals, then thirty Ctrl+Z, each read back.
    obre trenta
    for i in $(seq 29 -1 0); do
        tecla ctrl+shift+Delete
        fins_que "[ \$(mida trenta) -eq $((i * 107)) ]" || falla "removal down to $i: $(mida trenta)"
    done
    for i in $(seq 1 30); do
        tecla ctrl+z
        fins_que "[ \$(mida trenta) -eq $((i * 107)) ]" || falla "Ctrl+Z $i: $(mida trenta) bytes"
    done
    igual trenta || falla "thirty Ctrl+Z did not give the class back"
    surt
    igual trenta || falla "the class changed at Sortir"

    # Nou, a name, Nou again on a blank screen: Ctrl+Z takes back the new student.
    obre tres
    tecla ctrl+End; sleep 0.3; tecla ctrl+n; sleep 0.3
    xdotool type --delay 30 "Nova Alumna"; sleep 0.3
    tecla ctrl+n
    fins_que "[ \$(mida tres) -eq 428 ]" || falla "Nou did not save the new student"
    tecla ctrl+z
    fins_que "igual tres" || falla "Ctrl+Z after a blank Nou did not take back the new student"
    surt
    igual tres || falla "the class changed at Sortir: $(mida tres) bytes"

    # Ctrl+F, Escape, Ctrl+F at once: every tap opens the search.
    obre trenta
    visible() { xdotool search --onlyvisible --name "^Cerca un alumne$" >/dev/null 2>&1; }
    for i in $(seq 6); do
        xdotool key --clearmodifiers --delay 0 ctrl+f  # press and release at once
        fins_que visible || falla "tap $i of Ctrl+F opened no search"
        tecla Escape
        fins_que "! visible" || falla "Escape did not close the search"
    done
    surt

    # The import opens the class, then waits before its lock while the window orders it.
    obre desordenada
    Q2X7_ESPERA_FLOCK="$carpeta/espera" LD_PRELOAD="$retard" \
        ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 \
        "$programa" importa --afegeix "$carpeta/nous.csv" "$carpeta/desordenada" \
        2> "$carpeta/error" & importa=$!
    fins_que "[ -e \"\$carpeta/espera.arribat\" ]" || falla "the import never reached its lock"
    tecla alt+c; sleep 0.3; xdotool key o
    fins_que "! igual desordenada" || falla "Ordena per nom changed nothing"
    touch "$carpeta/espera.segueix"
    wait $importa; estat=$?
    [ $estat -eq 1 ] || falla "the import ended with $estat: $(cat "$carpeta/error")"
    grep -q "és obert en un altre programa" "$carpeta/error" ||
        falla "the import did not say the class is open: $(cat "$carpeta/error")"
    surt
    python3 - "$carpeta/desordenada" <<PY || falla "the ordered class"
import sys
dades = open(sys.argv[1], "rb").read()
noms = [dades[i:i + 45].decode("cp1252").strip() for i in range(0, len(dades), 107)]
assert noms == ["Abad, Pau", "Cases, Anna", "Mas, Joan", "Puig, Marta", "Vidal, Ot"], noms
PY
    echo ok
'
