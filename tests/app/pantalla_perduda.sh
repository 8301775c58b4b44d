#!/usr/bin/env bash
# The X server dies under the program, as when the session is cut or the ssh carrying the window
# drops: the telephone typed on screen must be in the file, and the program must end by itself.
set -u
programa=$1
source "$(dirname "$0")/comu.sh"
prepara_grup

exec {pantalla}<> <(:)
Xvfb -displayfd "$pantalla" -screen 0 1024x768x24 -dpi 96 -nolisten tcp 2>/dev/null & xvfb=$!
read -r -t 10 numero <&"$pantalla" || { echo "no X server"; kill $xvfb; exit 1; }
export DISPLAY=:$numero

"$programa" "$carpeta/grup" 2>"$carpeta/errors" & pid=$!
espera "^Dades alumnes$" || { kill -KILL $pid $xvfb; exit 1; }
sleep 0.8
# Nom, Adreça, Població, then Telèfon in the tab order.
xdotool key Tab Tab Tab ctrl+a
xdotool type --delay 20 "972 11 22 33"
sleep 0.3
{ kill -KILL $xvfb && wait $xvfb; } 2>/dev/null
espera_final $pid 50 || exit 1
wait $pid; estat=$?
cat "$carpeta/errors"
[ $estat -eq 1 ] || { echo "exit status $estat"; exit 1; }
telefon=$(head -c 107 "$carpeta/grup" | tail -c 12)
[ "$telefon" = "972 11 22 33" ] || { echo "record 1 telephone: [$telefon]"; exit 1; }
[ "$(head -c 4 "$carpeta/grup")" = Anna ] || { echo "record 1 name lost"; exit 1; }
[ "$(wc -c < "$carpeta/grup")" -eq 214 ] || { echo "wrong length"; exit 1; }
echo ok
