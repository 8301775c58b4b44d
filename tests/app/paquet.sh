#!/usr/bin/env bash
# Makes the Debian package from the build folder and checks its control fields and files.
set -euo pipefail
build=$1
sortida=$(mktemp -d)
trap 'rm -rf "$sortida"' EXIT
(cd "$build" && cpack -G DEB -B "$sortida" >/dev/null)
deb=$(ls "$sortida"/q2x7_*.deb)
falla() { echo "$*"; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = q2x7 ] || falla "Package"
[ -n "$(dpkg-deb -f "$deb" Version)" ] || falla "Version"
depends=$(dpkg-deb -f "$deb" Depends)
for paquet in qt6-translations-l10n fonts-liberation2 libqt6widgets6 libqt6core6 libc6; do
    grep -q "\b$paquet\b" <<<"$depends" || falla "Depends lacks $paquet: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || falla "Maintainer"

fitxers=$(dpkg-deb -c "$deb" | awk '{print $6}')
for cami in ./usr/bin/q2x7 \
    ./usr/libexec/q2x7/q2x7-ordres \
    ./usr/libexec/q2x7/q2x7-finestra \
    ./usr/libexec/q2x7/q2x7-lectors.so \
    ./usr/libexec/q2x7/q2x7-impressio.so \
    ./usr/share/applications/org.q2x7.q2x7.desktop \
    ./usr/share/metainfo/org.q2x7.q2x7.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/org.q2x7.q2x7.svg \
    ./usr/share/icons/hicolor/48x48/apps/org.q2x7.q2x7.png \
    ./usr/share/icons/hicolor/64x64/apps/org.q2x7.q2x7.png \
    ./usr/share/icons/hicolor/128x128/apps/org.q2x7.q2x7.png \
    ./usr/share/icons/hicolor/256x256/apps/org.q2x7.q2x7.png \
    ./usr/share/man/man1/q2x7.1.gz \
    ./usr/share/doc/q2x7/changelog.gz \
    ./usr/share/bash-completion/completions/q2x7 \
    ./usr/share/doc/q2x7/copyright; do
    grep -qxF "$cami" <<<"$fitxers" || falla "missing $cami"
done
# Nothing of the tests or benchmarks goes in.
! grep -qE 'tst_|bench_|fuzz_|main_window_|record_' <<<"$fitxers" || falla "test files packed"

# The licence lives in copyright only.
! grep -q LICENSE <<<"$fitxers" || falla "a licence file besides copyright"

dpkg-deb -x "$deb" "$sortida/arbre"
zcat "$sortida/arbre/usr/share/doc/q2x7/changelog.gz" | head -1 |
    grep -qF "q2x7 ($(dpkg-deb -f "$deb" Version))" || falla "changelog does not name the version"

# What a distribution's archive checks: no error or warning, however pedantic, and the hardening
# its own packages have (control-flow integrity aside: the C start-up objects here lack it).
informe=$(lintian --pedantic -I -E "$deb" 2>/dev/null) || falla "lintian failed: $informe"
[ -z "$informe" ] || falla "lintian: $informe"
for binari in usr/bin/q2x7 usr/libexec/q2x7/q2x7-ordres usr/libexec/q2x7/q2x7-finestra \
    usr/libexec/q2x7/q2x7-lectors.so usr/libexec/q2x7/q2x7-impressio.so; do
    readelf -S "$sortida/arbre/$binari" | grep -qE '\.symtab|\.comment|\.note ' &&
        falla "$binari not stripped of what is not needed"
    # The module's calls of the C library have no size to check (app/lintian-overrides).
    comprova=(hardening-check --nocfprotection)
    [[ $binari == *.so ]] && comprova+=(--nofortify)
    "${comprova[@]}" "$sortida/arbre/$binari" >/dev/null ||
        falla "hardening: $("${comprova[@]}" "$sortida/arbre/$binari")"
done
# The installed launcher finds both programs under libexec (a PDF goes through both).
resposta=$("$sortida/arbre/usr/bin/q2x7" exporta /dev/null x.pdf 2>&1) || true
grep -q "no és un fitxer d'alumnes" <<<"$resposta" ||
    falla "the installed q2x7 does not reach q2x7-finestra: $resposta"
"$sortida/arbre/usr/bin/q2x7" --version | grep -qx "q2x7 $(dpkg-deb -f "$deb" Version)" ||
    falla "--version does not match the package"
echo "package ok: $(basename "$deb")"
