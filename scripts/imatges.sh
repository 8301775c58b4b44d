#!/usr/bin/env bash
# Regenerates the README's pictures of the two windows from the real program in a real X server
# (Xvfb, 96 dpi), with a small student file: docs/dades_alumnes.png and docs/crear_fitxer.png;
# the Classe menu open, its export dialog, the box after an import and the search dialog:
# docs/menu_classe.png, docs/exporta.png, docs/importacio.png and docs/cerca.png; and the first page of that file's class list as
# "q2x7 exporta" prints it: docs/llista.png.
# The file lies where a teacher keeps one, /home/mestra/Documents, on a /home of its own that only
# this script sees (a private mount namespace), so that nothing of the machine's /home is touched.
set -euo pipefail
arrel=$(cd "$(dirname "$0")/.." && pwd)
"$arrel/scripts/setup.sh" q2x7
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
if [ -z "${Q2X7_CASA_PROPIA:-}" ]; then
    exec $sudo env Q2X7_CASA_PROPIA=1 unshare -m "$0" "$@"
fi
mount -t tmpfs -o mode=0755 tmpfs /home
if ! command -v import >/dev/null; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends imagemagick
fi

carpeta=/home/mestra/Documents
mkdir -p "$carpeta"
export HOME=/home/mestra
# Three students, each field in Windows-1252 and padded to its width.
camp() { printf '%s' "$1" | iconv -f UTF-8 -t WINDOWS-1252 | LC_ALL=C xargs -0 printf "%-$2s"; }
alumne() { camp "$1" 45; camp "$2" 30; camp "$3" 5; camp "$4" 15; camp "$5" 12; }
{
    alumne "Núria Puig i Ferrà" "Carrer Major, 12" "17001" "Girona" "972 20 30 40"
    alumne "Jordi Casals Roca" "Plaça de la Vila, 3" "25001" "Lleida" "973 11 22 33"
    alumne "Marta Soler Pons" "Rambla Nova, 45" "43001" "Tarragona" "977 55 66 77"
} > "$carpeta/3r B"
[ "$(wc -c < "$carpeta/3r B")" -eq 321 ]

export carpeta arrel
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
    set -e
    cd "$carpeta"
    "$arrel/build/app/q2x7" "$carpeta/3r B" & pid=$!
    espera() { for _ in $(seq 50); do id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] && return 0; sleep 0.2; done; return 1; }
    espera "^Dades alumnes$"
    sleep 1
    import -window "$id" "$arrel/docs/dades_alumnes.png"
    # The menu is a window of its own: the screen is taken and cut to the main window and below.
    finestra=$(xdotool search --name "^Dades alumnes$" | head -1)
    eval "$(xdotool getwindowgeometry --shell "$finestra")"
    xdotool key --clearmodifiers alt+c
    sleep 0.8
    import -window root -crop "$((WIDTH + 2))x$((HEIGHT + 2))+$((X - 1))+$((Y - 1))" +repage \
        "$arrel/docs/menu_classe.png"
    xdotool key e
    espera "^Exporta la classe$"
    sleep 1
    import -window "$id" "$arrel/docs/exporta.png"
    xdotool key Escape
    sleep 0.5
    # A list from the school office, one address too long for its field.
    printf "Nom;Primer cognom;Adreça;CP;Municipi\nPau;Vidal;Carrer de la Llarga Avinguda del Mig, 1;8500;Vic\nLaia;Roca;Major, 3;17800;Olot\n" \
        > "$carpeta/nous.csv"
    xdotool key ctrl+i
    sleep 1.5
    xdotool key ctrl+a; xdotool type --delay 20 "$carpeta/nous.csv"; xdotool key Return
    espera "^q2x7$"
    sleep 1
    import -window "$id" "$arrel/docs/importacio.png"
    xdotool key Return
    sleep 0.5
    xdotool key ctrl+f
    espera "^Cerca un alumne$"
    sleep 0.5
    xdotool type --delay 40 "puig"
    sleep 0.5
    import -window "$id" "$arrel/docs/cerca.png"
    xdotool key Escape
    sleep 0.5
    # Crear closes the file first: last.
    xdotool key ctrl+shift+n
    espera "^Crear fitxer$"
    sleep 1
    import -window "$id" "$arrel/docs/crear_fitxer.png"
    xdotool key Escape
    sleep 0.3
    kill -TERM $pid
    wait $pid
'
# The class list, as a page of paper looks on a screen.
"$arrel/build/app/q2x7" exporta "$carpeta/3r B" "$carpeta/3r B.pdf"
pdftoppm -r 80 -f 1 -l 1 -singlefile -png "$carpeta/3r B.pdf" "$arrel/docs/llista"
echo "docs/dades_alumnes.png, docs/crear_fitxer.png, docs/menu_classe.png, docs/exporta.png," \
    "docs/importacio.png, docs/cerca.png and docs/llista.png regenerated"
