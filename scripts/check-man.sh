#!/usr/bin/env bash
# Checks the manual pages against the programs of a build tree (argument: the build directory):
# every option that --help lists has its entry under OPTIONS and every entry there is an option
# --help lists; every picture format curvist-plot writes here is named for -o, and every format
# named there is written.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check-man: $*" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

# Options as --help lists them: each word at the start of an indented line that begins with "-".
help_options() { "$1" --help | grep -oE '^ +-[-a-z]+|  --[a-z]+' | tr -d ' ' | sort -u; }
# Options as a page lists them: the tags of the entries under OPTIONS.
man_options() {
    sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$1" | grep -A1 '^\.TP' | grep -v '^\.TP\|^--' |
        sed 's/\\-/-/g' | grep -oE '(^|[ "])-[-a-z]+' | tr -d ' "' | sort -u
}
for program in curvist curvist-plot; do
    page=$root/res/man/$program.1
    from_help=$(help_options "$build/bin/$program")
    from_page=$(man_options "$page")
    [ -n "$from_help" ] || fail "$program --help lists no option"
    # Both take -h for --help, and "--" ends the desktop program's options; neither has a line
    # of its own in --help.
    from_help=$(printf '%s\n-h\n' "$from_help" | sort -u)
    if [ "$program" = curvist ]; then from_help=$(printf '%s\n--\n' "$from_help" | sort -u); fi
    [ "$from_help" = "$from_page" ] || fail "$program.1 and --help differ:
$(diff <(echo "$from_help") <(echo "$from_page"))"
done

# The formats: what a refused extension's message lists, against the -o entry of the page.
page=$root/res/man/curvist-plot.1
entry=$(sed -n '/^\.BI \\-o /,/^\.TP/p' "$page" | tr '\n' ' ')
refused=$("$build/bin/curvist-plot" -o "$tmp/x.nosuch" x 2>&1 >/dev/null) && fail "-o x.nosuch was taken"
written=$(grep -oE '\.[a-z0-9]+' <<<"$refused" | grep -v '^\.nosuch$' | sort -u)
[ -n "$written" ] || fail "curvist-plot names no format"
for ext in $written; do
    grep -q -- "\\$ext\b" <<<"$entry" || fail "curvist-plot.1 does not name $ext for -o"
done
# Every format the page promises without a plugin is written.
promised=$(sed 's/(for instance.*//' <<<"$entry" | grep -oE '\.[a-z]{3,4}\b' | sort -u)
for ext in $promised; do
    "$build/bin/curvist-plot" -o "$tmp/plot$ext" --size 40x30 x >/dev/null 2>&1 &&
        [ -s "$tmp/plot$ext" ] || fail "curvist-plot does not write $ext"
done
echo "check-man: ok"
