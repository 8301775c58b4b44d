#!/usr/bin/env bash
# A session's checkpoint, as a session manager of the X protocol sends it when the user saves the
# session: the program must save the student typed on screen and go on running, its window up.
#   punt_de_sessio.sh PROGRAMA GESTOR_SESSIO
set -u
programa=$(realpath "$1")
gestor=$(realpath "$2")
export gestor
source "$(dirname "$0")/comu.sh"
prepara_grup
sota_x '
    programa=$0
    coproc sessio { exec "$gestor" "$programa" "$carpeta/grup"; }
    falla() { echo "$*"; kill -KILL $pid $sessio_PID 2>/dev/null; exit 1; }
    # Each line the manager says, within 10 s.
    diu() { local linia; read -r -t 10 linia <&"${sessio[0]}" && [ "$linia" = "$1" ] ||
            falla "the manager said «${linia:-nothing}», not «$1»"; }

    diu registrat
    pid=$(pgrep -P "$sessio_PID")   # the program, the manager'"'"'s one child
    diu "desat 1"   # the first save the protocol asks of a new client
    espera "^Dades alumnes$" || falla "no window"
    sleep 0.8
    xdotool key ctrl+a; xdotool type --delay 20 "Escrit abans del punt"
    sleep 0.3

    kill -USR1 $sessio_PID   # the checkpoint
    diu "desat 1"
    [ "$(head -c 21 "$carpeta/grup")" = "Escrit abans del punt" ] ||
        falla "the record on screen is not in the file: $(head -c 45 "$carpeta/grup")"
    sleep 0.5
    xdotool search --name "^Dades alumnes$" >/dev/null || falla "the window is gone"

    # Still the same program: a move works, and it ends as always.
    xdotool key Next; sleep 0.3
    kill -TERM $pid
    diu tancat
    diu "acabat 0"
'
