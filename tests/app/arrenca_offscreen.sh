#!/usr/bin/env bash
# Starts the program, lets it settle, asks it to end as a shutdown would, and passes on its exit
# status: a crash or a sanitizer report fails the test.
set -u
programa=$1
"$programa" & pid=$!
sleep 1.5
kill -0 $pid 2>/dev/null || { wait $pid; echo "the program ended by itself: $?"; exit 1; }
kill -TERM $pid
for _ in $(seq 100); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
    kill -KILL $pid; echo "still running 10 s after SIGTERM"; exit 1
fi
wait $pid
estat=$?
echo "exit status $estat"
exit $estat
