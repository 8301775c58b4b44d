#!/usr/bin/env bash
# Installs what the build needs (only what is missing), then configures and builds: everything,
# or only the targets named as arguments.
set -euo pipefail
arrel=$(cd "$(dirname "$0")/.." && pwd)

paquets=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev qt6-translations-l10n
         libbenchmark-dev libcsv-dev libxlsxwriter-dev libquazip1-qt6-dev libfreexl-dev libfontconfig-dev libxcb1-dev libsm-dev
         python3-vobject python3-openpyxl python3-odf python3-xlwt poppler-utils time fonts-dejavu-core fonts-liberation2 librsvg2-bin desktop-file-utils
         appstream dpkg-dev lintian devscripts xvfb xauth xdotool x11-utils xclip
         cups printer-driver-cups-pdf)
falten=()
for paquet in "${paquets[@]}"; do
    dpkg-query -W -f='${Status}' "$paquet" 2>/dev/null | grep -q "install ok installed" ||
        falten+=("$paquet")
done
if ((${#falten[@]})); then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${falten[@]}"
fi

# Q2X7_BUILD names another build folder, Q2X7_CMAKE_ARGS adds options (the sanitizer build).
carpeta="$arrel/${Q2X7_BUILD:-build}"
# shellcheck disable=SC2086
cmake -S "$arrel" -B "$carpeta" -G Ninja ${Q2X7_CMAKE_ARGS:-}
cmake --build "$carpeta" ${1:+--target "$@"}
