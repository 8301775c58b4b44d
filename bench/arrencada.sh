#!/usr/bin/env bash
# Start-up of the window beside the toolkit's bare window, in one X server and in one run: from
# fork until the server maps the first window (bench/arrencada.cpp), for an empty bare window,
# one with a line of text, and q2x7 opening a class of 30. A second q2x7 (an older build, say) is
# timed in the same rounds when given. Prints figures; it asserts nothing.
#   bench/arrencada.sh [VEGADES [ALTRE_Q2X7]]     (default: 40 rounds)
set -euo pipefail
arrel=$(cd "$(dirname "$0")/.." && pwd)
build=$arrel/build
vegades=${1:-40}
carpeta=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$carpeta"' EXIT
cd "$carpeta"
python3 "$arrel/tests/exchange/fitxer_alumnes.py" classe 30 2

# Its own server, so that no window manager or compositor weighs on one program and not another.
exec {pantalla}<> <(:)
Xvfb -displayfd "$pantalla" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 2>/dev/null & xvfb=$!
read -r -t 10 -u "$pantalla" numero || { echo "arrencada.sh: no X server" >&2; exit 1; }
export DISPLAY=:$numero HOME=$carpeta XDG_RUNTIME_DIR=$carpeta/run
mkdir -m 700 run
unset SESSION_MANAGER

ordres=("$build/bench/finestra_nua" -- "$build/bench/finestra_nua" --text
        -- "$build/app/q2x7" classe)
[ $# -ge 2 ] && ordres+=(-- "$(realpath "$2")" classe)
"$build/bench/arrencada" "$vegades" "${ordres[@]}" 2>/dev/null
