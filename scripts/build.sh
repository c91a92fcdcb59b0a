#!/usr/bin/env bash
# Configures and builds Curvist. BUILD_DIR (default build) and CURVIST_SANITIZE=1 select the tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
sanitize=${CURVIST_SANITIZE:-0}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCURVIST_SANITIZE="$sanitize" >/dev/null
cmake --build "$build" -j "$(nproc)"
