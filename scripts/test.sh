#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. With --sanitizers, builds it again with clang,
# AddressSanitizer, UndefinedBehaviorSanitizer and the fuzz target in build-san/, and runs that.
set -euo pipefail
arrel=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --sanitizers ]; then
    shift
    Q2X7_BUILD=build-san Q2X7_CMAKE_ARGS="-DCMAKE_CXX_COMPILER=clang++ -DQ2X7_SANITIZERS=ON -DQ2X7_BENCH=OFF" \
        "$arrel/scripts/setup.sh"
    cd "$arrel/build-san"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1
    export LSAN_OPTIONS=suppressions=$arrel/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    "$arrel/scripts/setup.sh"
    cd "$arrel/build"
fi
ctest --output-on-failure "$@"
