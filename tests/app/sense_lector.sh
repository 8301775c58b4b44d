#!/usr/bin/env bash
# Standard error is a pipe whose reader has gone (a pager that was closed) and the toolkit writes
# to it: the program must go on, and end cleanly when told to, its student file intact.
set -u
programa=$1
source "$(dirname "$0")/comu.sh"
prepara_grup
# The read end is closed before the program starts, so its first write meets no reader.
QT_LOGGING_RULES='qt.*=true' python3 - "$programa" "$carpeta/grup" <<'PY' &
import os, signal, sys
signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # Python ignores it, and exec would pass that on
llegir, escriure = os.pipe()
os.close(llegir)
os.dup2(escriure, 2)
os.execv(sys.argv[1], sys.argv[1:])
PY
pid=$!
sleep 1.5
kill -0 $pid 2>/dev/null || { wait $pid; echo "the program ended by itself: $?"; exit 1; }
acaba $pid || { echo "exit status $?"; exit 1; }
[ "$(wc -c < "$carpeta/grup")" -eq 214 ] || { echo "wrong length"; exit 1; }
echo ok
