#!/usr/bin/env bash
# Starts the program in a real X server, checks that its window "Dades alumnes" comes up with its
# icon, then ends it with SIGTERM and passes on its exit status, so that a sanitizer report fails
# the test.
set -u
programa=$1
source "$(dirname "$0")/comu.sh"
sota_x '
    "$0" & pid=$!
    espera "^Dades alumnes$" || { kill -KILL $pid; exit 1; }
    echo "window up"
    id=$(xdotool search --name "^Dades alumnes$" | head -1)
    # The window carries the program'"'"'s icon.
    xprop -id "$id" -f _NET_WM_ICON 32c -len 12 _NET_WM_ICON | grep -q "= 64, 64" ||
        { echo "no icon on the window"; kill -KILL $pid; exit 1; }
    acaba $pid; estat=$?
    echo "exit status $estat"
    exit $estat
'
