#!/usr/bin/env bash
# Installs what building and running need, builds the two programs and the manual, and starts
# the desktop plotter (arguments go to it).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
bash "$root/scripts/setup.sh" run
bash "$root/scripts/build.sh" run
exec "$root/build/bin/curvist" "$@"
