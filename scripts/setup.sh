#!/usr/bin/env bash
# Installs the Debian packages Curvist needs, but only those missing.
#   setup.sh run    building and running the two programs and the manual
#   setup.sh test   all of that, plus the tests, benchmarks and package checks (the default)
set -euo pipefail
set_name=${1:-test}

# Compilers and Qt; the manual's compiler chmcmd (Free Pascal) and chmlib, which reads it back;
# SLEEF, the evaluators' vectorised elementary functions; the fonts the window draws with; Qt's
# own Chinese texts for its standard dialogs.
run_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libsleef-dev
    fonts-wqy-microhei fonts-liberation2 qt6-translations-l10n
    fp-utils-3.2.2 libchm-dev
)
# GoogleTest, Google Benchmark and muparser (a reference in the benchmarks), MPFR (the exact
# oracle of the interval and derivative tests), a headless X
# server, the desktop-file validators, the tools that build and check the .deb, and clang with
# libFuzzer for the fuzz targets, and clang-format for the format check.
test_packages=(
    libgtest-dev libgmock-dev libbenchmark-dev libmuparser-dev libmpfr-dev
    xvfb xauth
    desktop-file-utils appstream shared-mime-info
    dpkg-dev file
    clang libclang-rt-14-dev clang-format
)

case "$set_name" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
    echo "usage: setup.sh [run|test]" >&2
    exit 1
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
