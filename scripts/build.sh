#!/usr/bin/env bash
# Configures and builds Curvist. BUILD_DIR (default build) and CURVIST_SANITIZE=1 select the tree;
# CURVIST_WERROR=1 makes every compiler warning an error.
#   build.sh run    only the two programs and the manual (no tests, no benchmarks)
#   build.sh test   everything (the default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
sanitize=${CURVIST_SANITIZE:-0}
werror=${CURVIST_WERROR:-0}
case "${1:-test}" in
run)
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCURVIST_SANITIZE="$sanitize" -DCURVIST_WERROR="$werror" -DCURVIST_TESTS=OFF -DCURVIST_BENCH=OFF >/dev/null
    cmake --build "$build" -j "$(nproc)" --target curvist curvist-plot curvist_manual
    ;;
test)
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCURVIST_SANITIZE="$sanitize" -DCURVIST_WERROR="$werror" -DCURVIST_TESTS=ON -DCURVIST_BENCH=ON >/dev/null
    cmake --build "$build" -j "$(nproc)"
    ;;
*)
    echo "usage: build.sh [run|test]" >&2
    exit 1
    ;;
esac
