#!/usr/bin/env bash
# Sets up, builds and starts the program.
set -euo pipefail
arrel=$(cd "$(dirname "$0")/.." && pwd)
"$arrel/scripts/setup.sh" q2x7
exec "$arrel/build/app/q2x7"
