#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite.
set -euo pipefail
arrel=$(cd "$(dirname "$0")/.." && pwd)
"$arrel/scripts/setup.sh"
cd "$arrel/build"
ctest --output-on-failure "$@"
