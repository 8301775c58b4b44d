#!/usr/bin/env bash
# In a real X server, as a person would: open a student file through the menu and the Open-file
# dialog, change the name on screen, open the dialog again, and end the program with SIGTERM
# while the dialog is up. It must end within two seconds, cleanly, with the name saved.
set -u
programa=$1
carpeta=$(mktemp -d)
trap 'rm -rf "$carpeta"' EXIT
printf '%-107s%-107s' "Anna" "Berta" > "$carpeta/grup"
export carpeta
exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
    cd "$carpeta"
    "$0" & pid=$!
    espera() { for _ in $(seq 50); do xdotool search --name "$1" >/dev/null 2>&1 && return 0; sleep 0.2; done; echo "no window $1"; kill -KILL $pid; exit 1; }
    espera "^Dades alumnes$"
    sleep 0.5
    xdotool key alt+f o
    espera "^Obre$"
    sleep 1
    xdotool type --delay 20 "$carpeta/grup"
    xdotool key Return
    sleep 1.5
    xdotool key ctrl+a
    xdotool type --delay 20 "Clara"
    xdotool key alt+f o
    espera "^Obre$"
    sleep 0.3
    kill -TERM $pid
    for _ in $(seq 20); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then kill -KILL $pid; echo "still running 2 s after SIGTERM"; exit 1; fi
    wait $pid; estat=$?
    echo "exit status $estat"
    nom=$(head -c 45 "$carpeta/grup")
    [ "$nom" = "$(printf "%-45s" Clara)" ] || { echo "record 1 holds: [$nom]"; exit 1; }
    [ "$(wc -c < "$carpeta/grup")" -eq 214 ] || { echo "wrong length"; exit 1; }
    exit $estat
' "$programa"
