#!/usr/bin/env bash
# Takes the start page's picture of the main window from the built program, under its own
# Xvfb display, and puts on it the numbered marks that the page explains. Redo it whenever the
# window changes.
# Usage: res/manual/images/screenshot.sh build/bin
#        (needs Xvfb, openbox, xdotool, ImageMagick and fonts-wqy-microhei)
set -euo pipefail
bin=$(cd "${1:?folder of curvist and curvist-plot}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
width=760
height=520
tmp=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$tmp"
}
trap cleanup EXIT

# A display number nobody uses.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 "${width}x${height}x24" -nolisten tcp &
pids+=($!)
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox &
pids+=($!)

# A document of three functions; the user's own settings and recent files stay out of it.
"$bin/curvist-plot" --save "$tmp/示例.cvx" 'sin(x)' 'x^2/4-2' '1/x'
mkdir -p "$tmp/config"
XDG_CONFIG_HOME="$tmp/config" HOME="$tmp" LANG=C.UTF-8 "$bin/curvist" "$tmp/示例.cvx" &
pids+=($!)
win=$(timeout 20 xdotool search --sync --onlyvisible --name '示例' | head -n 1)
sleep 2
# Select the first function, so that the panel shows its properties.
xdotool mousemove --window "$win" 40 70 click 1 mousemove --window "$win" 400 300
sleep 1
import -window "$win" "$tmp/shot.png"

read -r w h < <(identify -format '%w %h\n' "$tmp/shot.png")
args=(-font "$font" -pointsize 12)
mark() { # a numbered red disc
    args+=(-fill '#c00000' -draw "circle $1,$2 $(($1 + 8)),$2"
           -fill white -annotate "+$(($1 - 3))+$(($2 + 5))" "$3")
}
mark 400 11 1
mark 400 36 2
mark 185 "$((h - 60))" 3
mark "$((w - 60))" 110 4
mark 180 "$((h - 11))" 5
convert "$tmp/shot.png" "${args[@]}" "$here/window.png"
echo "$here/window.png: ${w}x${h}"
