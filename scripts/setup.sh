#!/usr/bin/env bash
# Installs the Debian packages Curvist needs, but only those missing.
#   setup.sh run      building and running the two programs and the manual
#   setup.sh package  all of that, plus what builds the Debian package (scripts/package.sh)
#   setup.sh test     all of that, plus the tests, benchmarks and package checks (the default)
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
# What cpack needs for the .deb: dpkg-shlibdeps finds the libraries' packages, file finds the
# programs to strip and to give to it, dpkg-buildflags gives the hardening flags.
package_packages=(dpkg-dev file)
# The runtime of the distribution's own clang: libFuzzer and the sanitizers live in a package
# named after clang's major version, so ask which version "clang" stands for here.
clang_runtime() {
    local depends version
    depends=$(dpkg-query -W -f='${Depends}' clang 2>/dev/null || apt-cache depends clang 2>/dev/null)
    version=$(grep -o 'clang-[0-9][0-9]*' <<<"$depends" | head -n 1)
    [ -n "$version" ] && echo "libclang-rt-${version#clang-}-dev"
}
# GoogleTest, Google Benchmark and muparser (a reference in the benchmarks), MPFR (the exact
# oracle of the interval and derivative tests), a headless X server, the desktop-file
# validators, lintian for the package check, and clang with libFuzzer
# for the fuzz targets, and clang-format for the format check.
test_packages=(
    libgtest-dev libgmock-dev libbenchmark-dev libmuparser-dev libmpfr-dev
    xvfb xauth
    desktop-file-utils appstream shared-mime-info lintian
    clang clang-format
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive "$@"
    elif command -v sudo >/dev/null; then
        sudo DEBIAN_FRONTEND=noninteractive "$@"
    else
        echo "Need root or sudo to run: $*" >&2
        exit 1
    fi
}

case "$set_name" in
run) packages=("${run_packages[@]}") ;;
package) packages=("${run_packages[@]}" "${package_packages[@]}") ;;
test)
    # A fresh machine may not have the package lists yet.
    runtime=$(clang_runtime) || { as_root apt-get update -qq && runtime=$(clang_runtime); } || {
        echo "setup.sh: cannot tell which clang this distribution has" >&2
        exit 1
    }
    packages=("${run_packages[@]}" "${package_packages[@]}" "${test_packages[@]}" "$runtime")
    ;;
*)
    echo "usage: setup.sh [run|package|test]" >&2
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
as_root apt-get update -qq
as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
