#!/usr/bin/env bash
# Packages a built tree (argument: the build directory) and checks the .deb: its exact file
# list, that its dependencies come from the libraries the programs link (and nothing from the
# build or test tools), and its metadata.
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
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no description"

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
# ... plus the data the loader cannot see; never a build or test tool.
grep -q 'qt6-translations-l10n' <<<"$depends" || fail "Depends lacks qt6-translations-l10n"
if grep -Eq -- '-dev|gtest|benchmark|muparser|xvfb|fp-utils|cmake' <<<"$depends"; then
    fail "Depends names a build or test package: $depends"
fi
echo "check-package: $(basename "$deb") ok"
