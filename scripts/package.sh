#!/usr/bin/env bash
# Builds the Debian package curvist_<version>_<arch>.deb into OUT_DIR (default: the repository).
# BUILD_DIR (default build-package) is configured for the two programs and the manual, with
# Debian's hardening flags; SKIP_BUILD=1 packages a tree that is already built (the package
# check of the tests). A package whose control data is broken is never left in OUT_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-package}
out=$(realpath -m "${1:-$root}")
fail() { echo "package.sh: $*" >&2; exit 1; }

bash "$root/scripts/setup.sh" package
if [ "${SKIP_BUILD:-0}" != 1 ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCURVIST_TESTS=OFF -DCURVIST_BENCH=OFF -DCURVIST_SANITIZE=OFF -DCURVIST_HARDEN=ON >/dev/null
    cmake --build "$build" -j "$(nproc)" --target curvist curvist-plot curvist-chm \
        curvist_manual curvist_man_pages
fi
# Without these cpack still makes a package, with a Depends field that lacks every library.
for tool in dpkg-shlibdeps file; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/setup.sh package"
done

mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch")
deb=$(ls "$scratch"/curvist_*.deb)

# Every Qt library a program links must be in Depends, found through the package that holds it.
depends=$(dpkg-deb -f "$deb" Depends)
dpkg-deb -x "$deb" "$scratch/root"
for program in "$scratch"/root/usr/lib/curvist/curvist*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    for lib in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(libQt6[^]]*\)\]/\1/p'); do
        path=$(/sbin/ldconfig -p | awk -v l="$lib" '$1 == l && /x86-64|x32|64/ {print $NF; exit}')
        [ -n "$path" ] || path=$(/sbin/ldconfig -p | awk -v l="$lib" '$1 == l {print $NF; exit}')
        owner=$(dpkg -S "$(realpath "$path")" 2>/dev/null | head -n 1 | cut -d: -f1)
        [ -n "$owner" ] || fail "no package holds $lib"
        [[ ", $depends" == *", $owner "* || ", $depends," == *", $owner,"* ]] ||
            fail "$(basename "$program") links $lib but Depends lacks $owner: $depends"
    done
done
# Debian's control-file format: a line starting with ";" or wider than 80 columns is broken.
if dpkg-deb -f "$deb" Description | grep -Eq '^ ?;|^.{81}'; then
    fail "the description is not in Debian's format:
$(dpkg-deb -f "$deb" Description)"
fi
mv "$deb" "$out"/
ls "$out"/curvist_*.deb
