#!/usr/bin/env bash
# Starts the program in a real X server and checks that its window "Dades alumnes" comes up.
set -u
programa=$1
exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
    "$0" & pid=$!
    for _ in $(seq 50); do
        if xdotool search --name "^Dades alumnes$" >/dev/null 2>&1; then
            kill $pid; wait $pid 2>/dev/null; echo "window up"; exit 0
        fi
        kill -0 $pid 2>/dev/null || { echo "the program ended"; exit 1; }
        sleep 0.2
    done
    kill $pid; echo "no window"; exit 1
' "$programa"
