#!/usr/bin/env bash
# Installs a built tree (argument: the build directory) into a temporary prefix, with DESTDIR
# too, and checks the installed copy: the layout, the links, that the programs find what lies
# beside them through the links, and the desktop files with their validators.
set -euo pipefail
build=$(realpath "$1")
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in lib/curvist/curvist lib/curvist/curvist-chm lib/curvist/curvist-plot "lib/curvist/函数作图器说明书.chm" \
    share/applications/org.lumivo.Curvist.desktop share/metainfo/org.lumivo.Curvist.metainfo.xml \
    share/mime/packages/org.lumivo.Curvist.xml share/icons/hicolor/scalable/apps/curvist.svg \
    share/icons/hicolor/48x48/apps/curvist.png share/icons/hicolor/256x256/apps/curvist.png \
    share/man/man1/curvist.1.gz share/man/man1/curvist-plot.1.gz share/doc/curvist/copyright \
    share/doc/curvist/examples/domains.cvx; do
    [ -f "$prefix/$f" ] || fail "missing $f"
done
for p in curvist curvist-plot; do
    [ "$(readlink "$prefix/bin/$p")" = "../lib/curvist/$p" ] || fail "bin/$p is not a link"
done

# Run through the link from elsewhere: the program's folder is the link's target, so the
# display parameters placed there are the ones it draws with.
cd "$tmp"
[ "$("$prefix/bin/curvist-plot" --version)" = "curvist-plot 1.02" ] || fail "--version"
printf '[Coor]\nbShow_X=0\nbShow_Y=0\n[Pane]\nbShow_X=0\nbShow_Y=0\n' >"$tmp/plain.ini"
QT_QPA_PLATFORM=offscreen "$prefix/bin/curvist-plot" -o explicit.png --ini plain.ini x
QT_QPA_PLATFORM=offscreen "$prefix/bin/curvist-plot" -o default.png x
cmp -s explicit.png default.png && fail "the test picture does not show the parameters"
# An installed copy takes its defaults from beside the program, then from the system's
# configuration folders first; it is no portable copy.
[ -e "$prefix/lib/curvist/curvist-portable" ] && fail "the installed copy is marked portable"
export XDG_CONFIG_HOME=$tmp/home-config XDG_CONFIG_DIRS=$tmp/etc-xdg
cp plain.ini "$prefix/lib/curvist/VisParam.ini"
QT_QPA_PLATFORM=offscreen "$prefix/bin/curvist-plot" -o beside.png x
cmp -s explicit.png beside.png || fail "VisParam.ini beside the program was not found"
mkdir -p "$XDG_CONFIG_DIRS/curvist"
printf '[Pane]\nbShow_X=0\nbShow_Y=0\n' >"$XDG_CONFIG_DIRS/curvist/VisParam.ini"
QT_QPA_PLATFORM=offscreen "$prefix/bin/curvist-plot" -o system.png x
QT_QPA_PLATFORM=offscreen "$prefix/bin/curvist-plot" -o system-explicit.png \
    --ini "$XDG_CONFIG_DIRS/curvist/VisParam.ini" x
cmp -s system.png system-explicit.png || fail "the system's VisParam.ini was not found"
[ ! -e "$XDG_CONFIG_HOME" ] || fail "drawing wrote to the user's configuration folder"
# The example documents open.
for f in "$prefix"/share/doc/curvist/examples/*.cvx; do
    "$prefix/bin/curvist-plot" --file "$f" --list >/dev/null || fail "cannot open $f"
done

desktop-file-validate "$prefix/share/applications/org.lumivo.Curvist.desktop" | grep . &&
    fail "desktop-file-validate complains"
appstreamcli validate --no-net --pedantic \
    "$prefix/share/metainfo/org.lumivo.Curvist.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"
# The file type: known by name and, for a document with functions, by content.
update-mime-database "$prefix/share/mime" 2>/dev/null
grep -q '^application/x-curvist:\*\.cvx$' "$prefix/share/mime/globs" || fail "no *.cvx glob"
grep -aq 'application/x-curvist' "$prefix/share/mime/magic" || fail "no content match"

# Any prefix under DESTDIR: the links stay relative to the prefix.
DESTDIR=$tmp/dest cmake --install "$build" --prefix /opt/curvist >/dev/null
[ "$("$tmp/dest/opt/curvist/bin/curvist-plot" --version)" = "curvist-plot 1.02" ] ||
    fail "DESTDIR copy"
# Uninstalling as the README says leaves no file behind.
cmake --install "$build" --prefix "$tmp/again" >/dev/null
xargs -d '\n' rm -f <"$build/install_manifest.txt"
left=$(find "$tmp/again" ! -type d)
[ -z "$left" ] || fail "left after uninstalling: $left"
echo "check-install: ok"
