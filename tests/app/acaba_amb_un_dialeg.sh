#!/usr/bin/env bash
# In a real X server, as a person would: open a student file through the menu and the Open-file
# dialog, change the name on screen, open the dialog again, and end the program with SIGTERM
# while the dialog is up. It must end within two seconds, cleanly, with the name saved.
set -u
programa=$1
source "$(dirname "$0")/comu.sh"
prepara_grup
sota_x '
    cd "$carpeta"
    "$0" & pid=$!
    obre_el_dialeg() { xdotool key alt+f o; espera "^Obre$" || { kill -KILL $pid; exit 1; }; }
    espera "^Dades alumnes$" || { kill -KILL $pid; exit 1; }
    sleep 0.5
    obre_el_dialeg
    sleep 1
    xdotool type --delay 20 "$carpeta/grup"
    xdotool key Return
    sleep 1.5
    xdotool key ctrl+a
    xdotool type --delay 20 "Clara"
    obre_el_dialeg
    sleep 0.3
    acaba $pid; estat=$?
    echo "exit status $estat"
    nom=$(head -c 45 "$carpeta/grup")
    [ "$nom" = "$(printf "%-45s" Clara)" ] || { echo "record 1 holds: [$nom]"; exit 1; }
    [ "$(wc -c < "$carpeta/grup")" -eq 214 ] || { echo "wrong length"; exit 1; }
    exit $estat
'
