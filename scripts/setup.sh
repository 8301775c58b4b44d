#!/usr/bin/env bash
# Installs what the build needs (only what is missing), then configures and builds: everything,
# or only the targets named as arguments.
set -euo pipefail
arrel=$(cd "$(dirname "$0")/.." && pwd)

paquets=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libbenchmark-dev
         fonts-dejavu-core xvfb xauth xdotool)
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

cmake -S "$arrel" -B "$arrel/build" -G Ninja
cmake --build "$arrel/build" ${1:+--target "$@"}
