#!/usr/bin/env bash
# In a real X server: "q2x7 FITXER" shows the file's first student, ready to edit; a name that is
# not an existing file brings the disk error and creates nothing.
set -u
programa=$1
source "$(dirname "$0")/comu.sh"
prepara_grup
sota_x '
    programa=$0
    obre_grup
    xdotool key ctrl+a
    xdotool type --delay 20 "Clara"
    acaba $pid || { echo "exit status $?"; exit 1; }
    [ "$(head -c 45 "$carpeta/grup")" = "$(printf "%-45s" Clara)" ] || { echo "record 1 not edited"; exit 1; }

    "$0" "$carpeta/cap" & pid=$!
    espera "^q2x7$" || { kill -KILL $pid; exit 1; }
    acaba $pid || { echo "exit status $?"; exit 1; }
    [ ! -e "$carpeta/cap" ] || { echo "a file was created"; exit 1; }
    echo ok
'
