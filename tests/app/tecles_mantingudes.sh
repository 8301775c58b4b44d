#!/usr/bin/env bash
# In a real X server, keys really held down: Ctrl+N, Return and Space on the focused "Nou", and
# Ctrl+S each run their command once however long they are held, while a held Page Up walks the
# file back to its first student.
set -u
programa=$1
source "$(dirname "$0")/comu.sh"
prepara_grup
sota_x '
    programa=$0
    obre_grup
    # The key goes up before its modifier, or its last repeats would type a letter.
    mante() { xdotool keydown "$1"; sleep 2; xdotool keyup "${1##*+}"; xdotool keyup "$1"; sleep 0.3; }
    mida() { wc -c < "$carpeta/grup"; }
    mante ctrl+n                  # record 3 on screen, not saved yet
    [ "$(mida)" -eq 214 ] || { echo "Ctrl+N held: $(mida) bytes"; kill -KILL $pid; exit 1; }
    # From "Nom" to "Nou" in the tab order.
    xdotool key Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab
    mante Return                  # saves the blank record 3, record 4 on screen
    [ "$(mida)" -eq 321 ] || { echo "Return held: $(mida) bytes"; kill -KILL $pid; exit 1; }
    mante space                   # saves record 4, record 5 on screen
    [ "$(mida)" -eq 428 ] || { echo "Space held: $(mida) bytes"; kill -KILL $pid; exit 1; }
    mante ctrl+s                  # saves record 5
    [ "$(mida)" -eq 535 ] || { echo "Ctrl+S held: $(mida) bytes"; kill -KILL $pid; exit 1; }
    mante Prior                   # from record 5 back to record 1
    xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
    xdotool key ctrl+a
    xdotool type --delay 20 "Primera"
    acaba $pid || { echo "exit status $?"; exit 1; }
    [ "$(mida)" -eq 535 ] || { echo "after the walk: $(mida) bytes"; exit 1; }
    [ "$(head -c 45 "$carpeta/grup")" = "$(printf "%-45s" Primera)" ] ||
        { echo "Page Up held did not reach record 1"; exit 1; }
    [ "$(tail -c 321 "$carpeta/grup")" = "$(printf "%321s" "")" ] || { echo "records 3-5 not blank"; od -c "$carpeta/grup" | tail -12; exit 1; }
    echo ok
'
