#!/usr/bin/env bash
# Builds the Debian package curvist_<version>_<arch>.deb into OUT_DIR (default: the repository).
# BUILD_DIR (default build-package) is configured for the two programs and the manual when it is
# new; SKIP_BUILD=1 packages a tree that is already built (the package check of the tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-package}
out=$(realpath -m "${1:-$root}")
if [ "${SKIP_BUILD:-0}" != 1 ]; then
    bash "$root/scripts/setup.sh" run
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCURVIST_TESTS=OFF -DCURVIST_BENCH=OFF >/dev/null
    fi
    cmake --build "$build" -j "$(nproc)" --target curvist curvist-plot curvist_manual \
        curvist_man_pages
fi
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch" >/dev/null)
mv "$scratch"/curvist_*.deb "$out"/
ls "$out"/curvist_*.deb
