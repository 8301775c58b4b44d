#!/usr/bin/env bash
# Starts the program in a real X server, checks that its window "Dades alumnes" comes up with its
# icon, then
# ends it with SIGTERM and passes on its exit status, so that a sanitizer report fails the test.
set -u
programa=$1
exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
    "$0" & pid=$!
    for _ in $(seq 100); do
        if id=$(xdotool search --name "^Dades alumnes$" 2>/dev/null | head -1) && [ -n "$id" ]; then
            echo "window up"
            # The window carries the program'"'"'s icon.
            xprop -id "$id" -f _NET_WM_ICON 32c -len 12 _NET_WM_ICON | grep -q "= 256, 256" ||
                { echo "no icon on the window"; kill -KILL $pid; exit 1; }
            kill -TERM $pid
            for _ in $(seq 100); do
                kill -0 $pid 2>/dev/null || break
                sleep 0.1
            done
            kill -0 $pid 2>/dev/null && { kill -KILL $pid; echo "did not end"; exit 1; }
            wait $pid; estat=$?; echo "exit status $estat"; exit $estat
        fi
        kill -0 $pid 2>/dev/null || { echo "the program ended"; exit 1; }
        sleep 0.2
    done
    kill $pid; echo "no window"; exit 1
' "$programa"
