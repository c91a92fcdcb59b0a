#!/usr/bin/env bash
# Packages a built tree (argument: the build directory) and checks the .deb: its exact file
# list, that its dependencies come from the libraries the programs link (and nothing from the
# build or test tools), its metadata and copyright, the hardening of its programs (when the
# tree was built with it), and what lintian says.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
BUILD_DIR=$build SKIP_BUILD=1 bash "$root/scripts/package.sh" "$out" >/dev/null
deb=$(ls "$out"/curvist_*.deb)
fail() { echo "check-package: $*" >&2; exit 1; }

version=$(sed -n 's/^project(Curvist VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ "$(dpkg-deb -f "$deb" Package)" = curvist ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
# The synopsis, then paragraphs of continuation lines with " ." between them, English and a
# Chinese one; never a ";" line, which is what a CMake list leaves behind.
description=$(dpkg-deb -f "$deb" Description)
[ -n "$description" ] || fail "no description"
if grep -Eq '^ ?;' <<<"$description"; then fail "a description line starts with ';'"; fi
if grep -Eq '^.{81}' <<<"$description"; then fail "a description line is over 80 characters"; fi
[ "$(grep -c '^ \.$' <<<"$description")" -ge 2 ] || fail "the description has no paragraphs"
grep -q '函数' <<<"$description" || fail "the description has no Chinese paragraph"
# Word for word the text in the sources: quotes and semicolons survive CPack.
[ "$(sed '1d; s/^ //; s/^\.$//' <<<"$description")" = "$(cat "$root/res/package/description")" ] ||
    fail "the description differs from res/package/description"

# Files only; directories follow from them.
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sed 's|^\./||' | sort)
expected=$(sort <<'LIST'
usr/bin/curvist
usr/bin/curvist-plot
usr/lib/curvist/curvist
usr/lib/curvist/curvist-chm
usr/lib/curvist/curvist-plot
usr/lib/curvist/函数作图器说明书.chm
usr/share/applications/org.lumivo.Curvist.desktop
usr/share/doc/curvist/changelog.gz
usr/share/doc/curvist/copyright
usr/share/doc/curvist/examples/domains.cvx
usr/share/doc/curvist/examples/log-exp.cvx
usr/share/doc/curvist/examples/rational.cvx
usr/share/doc/curvist/examples/trigonometry.cvx
usr/share/icons/hicolor/128x128/apps/curvist.png
usr/share/icons/hicolor/16x16/apps/curvist.png
usr/share/icons/hicolor/24x24/apps/curvist.png
usr/share/icons/hicolor/256x256/apps/curvist.png
usr/share/icons/hicolor/32x32/apps/curvist.png
usr/share/icons/hicolor/48x48/apps/curvist.png
usr/share/icons/hicolor/64x64/apps/curvist.png
usr/share/icons/hicolor/scalable/apps/curvist.svg
usr/share/man/man1/curvist-plot.1.gz
usr/share/man/man1/curvist.1.gz
usr/share/metainfo/org.lumivo.Curvist.metainfo.xml
usr/share/mime/packages/org.lumivo.Curvist.xml
LIST
)
[ "$files" = "$expected" ] || fail "file list differs:
$(diff <(echo "$expected") <(echo "$files"))"
grep -q '\./usr/bin/curvist -> \.\./lib/curvist/curvist$' <<<"$listing" ||
    fail "usr/bin/curvist is not a link to ../lib/curvist/curvist"

depends=$(dpkg-deb -f "$deb" Depends)
# Found by dpkg-shlibdeps from the programs' own libraries, with versions ...
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libqt6svg6 libchm1 libsleef3; do
    [[ ", $depends" == *", $lib (>= "* ]] || fail "Depends lacks $lib: $depends"
done
# ... plus a Chinese font; never a build or test tool. Qt's translations are welcome, not needed.
grep -q 'fonts-wqy-microhei' <<<"$depends" || fail "Depends lacks a Chinese font"
if grep -Eq -- '-dev|gtest|benchmark|muparser|xvfb|fp-utils|cmake|translations' <<<"$depends"; then
    fail "Depends names a build, test or optional package: $depends"
fi
grep -q 'qt6-translations-l10n' <<<"$(dpkg-deb -f "$deb" Recommends)" ||
    fail "Recommends lacks qt6-translations-l10n"

# The copyright file is machine-readable and names the licence.
dpkg-deb -x "$deb" "$out/root"
copyright=$out/root/usr/share/doc/curvist/copyright
head -n 1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
grep -q '^License: GPL-3.0-or-later$' "$copyright" || fail "the copyright file lacks GPL-3.0-or-later"

# Hardened programs, checked on the files themselves: PIE, full RELRO with BIND_NOW, the stack
# protector and fortified calls.
hardened=$(grep -c '^CURVIST_HARDENED:INTERNAL=ON$' "$build/CMakeCache.txt" || true)
if [ "$hardened" = 1 ]; then
    for program in curvist curvist-plot curvist-chm; do
        elf=$out/root/usr/lib/curvist/$program
        readelf -h "$elf" | grep -q 'Type: *DYN' || fail "$program is not PIE"
        readelf -lW "$elf" | grep -q GNU_RELRO || fail "$program has no RELRO"
        readelf -dW "$elf" | grep -Eq 'BIND_NOW|FLAGS_1.* NOW' || fail "$program has no BIND_NOW"
        symbols=$(readelf -sW --dyn-syms "$elf")
        grep -q '__stack_chk_fail' <<<"$symbols" || fail "$program has no stack protector"
        # Formatting and string copies go through their checked forms (a memcpy of a size
        # known only at run time stays plain, as in any fortified program).
        unchecked=$(awk '$7 == "UND" {sub(/@.*/, "", $8); print $8}' <<<"$symbols" |
            grep -Ex 'v?f?s?n?printf|v?s?n?printf|str(n?cpy|n?cat)|stpn?cpy|gets' || true)
        [ -z "$unchecked" ] || fail "$program calls unfortified $unchecked"
        grep -Eq '__[a-z_]+_chk(@|$| )' <<<"$symbols" && fortified=1
    done
    [ "${fortified:-0}" = 1 ] || fail "no program has a fortified call: no _FORTIFY_SOURCE"
else
    echo "check-package: hardening not checked (this tree is built without it)"
fi

# Debian's own checker: no error, no warning, no hardening tag (in a hardened tree).
if command -v lintian >/dev/null; then
    tags=$(lintian --pedantic --no-cfg "$deb" 2>&1 || true)
    [ "$hardened" = 1 ] || tags=$(grep -v hardening <<<"$tags" || true)
    if grep -Eq '^[EW]: |hardening' <<<"$tags"; then fail "lintian:
$tags"; fi
    [ -z "$tags" ] || echo "check-package: lintian notes:
$tags"
fi
echo "check-package: $(basename "$deb") ok"
