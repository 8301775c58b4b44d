# Shared by the tests that drive the real program in a real X server. Sourced, not run.
comu="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/comu.sh"
export comu

# Runs the bash script $1 in a new X server at 96 dpi, where it has these functions too; the
# program to drive, $programa, is its $0. Not exec'd: the caller's exit trap must still run.
# The server does not reset when its last client goes: a program started just then would find
# it unable to take a connection.
sota_x() {
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -noreset" bash -c 'source "$comu"; '"$1" "$programa"
}

# A folder with "grup", a student file of two students (Anna, Berta), removed at exit.
prepara_grup() {
    carpeta=$(mktemp -d)
    trap 'rm -rf "$carpeta"' EXIT
    printf '%-107s%-107s' "Anna" "Berta" > "$carpeta/grup"
    export carpeta
}

# Waits up to 10 s for a window whose title matches $1.
espera() {
    for _ in $(seq 50); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    echo "no window $1"
    return 1
}

# Starts the program on "grup" and waits for its window; its process id goes in $pid.
obre_grup() {
    "$programa" "$carpeta/grup" & pid=$!
    espera "^Dades alumnes$" || { kill -KILL $pid; exit 1; }
    sleep 0.8
}

# Waits up to $2 tenths of a second for process $1 to end; fails, killing it, if it does not.
espera_final() {
    for _ in $(seq "$2"); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$1"
    echo "still running $(($2 / 10)) s later"
    return 1
}

# Sends SIGTERM to process $1; fails unless it ends within 2 s. Returns its exit status.
acaba() {
    kill -TERM "$1"
    espera_final "$1" 20 || return 1
    wait "$1"
}
