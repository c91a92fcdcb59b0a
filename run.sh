#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop plotter (arguments go to it).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
exec "$root/build/bin/curvist" "$@"
